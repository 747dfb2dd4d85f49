#include "cdinput/AlsaMixer.h"

#include "cdinput/CDInputSelection.h"
#include "cdinput/dunmarra.h"

#include "tests/cdinput/alsa_config.h"
#include "tests/cdinput/fake_mixer.h"

#include <cerrno>

namespace kv::test {
namespace {

using Values = std::vector<long>;

class AlsaMixerOnFakeCard : public AlsaConfigTest {
 protected:
  void SetUp() override {
    AlsaConfigTest::SetUp();
    useAlsaConfig(fakeCardDevice());
  }
};

struct CardCase {
  const char* what;
  std::vector<FakeControl> card;
  int32_t result;
  std::vector<Values> valuesAfter;  // of each control, in card order
};

TEST_F(AlsaMixerOnFakeCard, SelectsTheCDOnEachKindOfCaptureMixer) {
  const CardCase cases[] = {
      {"enumerated input source: CD on both channels, capture switch untouched",
       {fakeEnumeration("Input Source", {0, 1}, {"Mic", "Line", "CD"}), fakeSwitch("Capture Switch", {1, 0})},
       0,
       {{2, 2}, {1, 0}}},
      {"capture source split into exclusive switches: CD selected, other switches kept",
       {fakeEnumeration("Capture Source", {0, 2}, {"Mic", "CD", "Line"}), fakeSwitch("Aux Capture Switch", {1}),
        fakeSwitch("Capture Switch", {1, 1})},
       0,
       {{1, 1}, {1}, {1, 1}}},
      {"capture switches of different channel counts: CD ones on, the others kept",
       {fakeSwitch("Mic Capture Switch", {1, 1}), fakeSwitch("CD Capture Switch", {0}),
        fakeSwitch("Line Capture Switch", {0, 1}), fakeSwitch("CD Audio Capture Switch", {0, 1})},
       0,
       {{1, 1}, {1}, {0, 1}, {1, 1}}},
      {"no CD source: nothing changes",
       {fakeSwitch("Mic Capture Switch", {1}), fakeSwitch("CD Player Capture Switch", {0})},
       DUNMARRA_NO_CD_SOURCE,
       {{1}, {0}}},
      {"no capture source list at all",
       {fakeSwitch("Master Playback Switch", {1, 1}), fakeSwitch("Mic Playback Switch", {0})},
       DUNMARRA_NO_SOURCE_LIST,
       {{1, 1}, {0}}},
      {"the card refuses the write",
       {fakeSwitch("Mic Capture Switch", {1}), rejectingWrites(fakeSwitch("CD Capture Switch", {0, 0}))},
       -EIO,
       {{1}, {0, 0}}},
  };
  for (const CardCase& c : cases) {
    SCOPED_TRACE(c.what);
    setFakeCard(c.card);
    AlsaMixer mixer({"lentaro_fake"});

    EXPECT_EQ(selectCDInput(mixer), c.result);
    for (std::size_t i = 0; i < c.card.size(); ++i)
      EXPECT_EQ(fakeValues(c.card[i].name), c.valuesAfter[i]) << c.card[i].name;
  }
}

TEST_F(AlsaMixerOnFakeCard, ListsEachSourceWithItsOwnChannels) {
  setFakeCard({fakeEnumeration("Input Source", {1, 1}, {"Mic", "CD Audio"}), fakeSwitch("Mic Capture Switch", {1, 0}),
               fakeSwitch("CD Capture Switch", {1})});
  AlsaMixer mixer({"lentaro_fake"});
  ASSERT_EQ(mixer.open(), 0);

  std::vector<SourceItem> items;
  ASSERT_EQ(mixer.listItems(SourceList::SingleSelect, items), 0);
  EXPECT_EQ(items, (std::vector<SourceItem>{source("Mic", {0, 0}), source("CD Audio", {1, 1})}));
  ASSERT_EQ(mixer.listItems(SourceList::MultiSelect, items), 0);
  EXPECT_EQ(items, (std::vector<SourceItem>{source("CD", {1}), source("Mic", {1, 0})}));
}

TEST_F(AlsaMixerOnFakeCard, OpensTheFirstDeviceThatOpens) {
  setFakeCard({fakeSwitch("CD Capture Switch", {0})});

  AlsaMixer none({"no_such_card", "no_other_card"});
  EXPECT_LT(none.open(), 0);
  std::vector<SourceItem> items;
  EXPECT_LT(none.listItems(SourceList::MultiSelect, items), 0);

  AlsaMixer fallback({"no_such_card", "lentaro_fake"});
  EXPECT_EQ(selectCDInput(fallback), 0);
  EXPECT_EQ(fakeValues("CD Capture Switch"), Values{1});
}

// Reads, never writes: the machine's mixer settings belong to its user.
TEST(AlsaMixerOnThisMachine, ListsTheCaptureSourcesOfTheDefaultCard) {
  AlsaMixer mixer;
  if (mixer.open() != 0) GTEST_SKIP() << "no sound card opens on this machine";

  std::vector<SourceItem> single;
  ASSERT_EQ(mixer.listItems(SourceList::SingleSelect, single), 0);
  for (const SourceItem& item : single) ASSERT_EQ(item.channels.size(), single.front().channels.size()) << item.name;
  for (std::size_t channel = 0; !single.empty() && channel < single.front().channels.size(); ++channel) {
    int selected = 0;
    for (const SourceItem& item : single) selected += item.channels[channel];
    EXPECT_EQ(selected, 1) << "channel " << channel;
  }

  std::vector<SourceItem> multi;
  ASSERT_EQ(mixer.listItems(SourceList::MultiSelect, multi), 0);
  for (const SourceItem& item : multi) {
    EXPECT_FALSE(item.name.empty());
    EXPECT_FALSE(item.channels.empty()) << item.name;
  }
}

}  // namespace
}  // namespace kv::test
