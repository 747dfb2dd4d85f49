#include "cdinput/CDInputSelection.h"

#include "cdinput/dunmarra.h"

#include "tests/cdinput/fake_mixer.h"

#include <cerrno>

namespace kv::test {
namespace {

using Sources = std::vector<SourceItem>;

struct SelectionCase {
  const char* what;
  Sources single;
  Sources multi;
  Sources expectedSingle;
  Sources expectedMulti;
};

TEST(CDInputSelection, SelectsEveryChannelOfEachCDSourceOfTheFirstList) {
  const SelectionCase cases[] = {
      {"single-select: exactly the CD ends up selected",
       {source("Mic", {1}), source("Line", {0}), source("CD Audio", {0})},
       {},
       {source("Mic", {0}), source("Line", {0}), source("CD Audio", {1})},
       {}},
      {"single-select stereo, CD at an odd position",
       {source("Mic", {1, 1}), source("cd", {0, 0}), source("Line", {0, 1})},
       {},
       {source("Mic", {0, 0}), source("cd", {1, 1}), source("Line", {0, 0})},
       {}},
      {"single-select with both CD names",
       {source("CD", {0}), source("Mic", {1}), source("CD AUDIO", {0})},
       {},
       {source("CD", {1}), source("Mic", {0}), source("CD AUDIO", {1})},
       {}},
      {"single-select list is used before the multi-select one",
       {source("Mic", {1}), source("CD", {0})},
       {source("CD", {0}), source("Mic", {1})},
       {source("Mic", {0}), source("CD", {1})},
       {source("CD", {0}), source("Mic", {1})}},
      {"multi-select: CD added, Mic stays on",
       {},
       {source("Mic", {1}), source("cd", {0})},
       {},
       {source("Mic", {1}), source("cd", {1})}},
      {"multi-select with a different channel count on each source",
       {},
       {source("Mic", {1, 1}), source("CD", {0}), source("Line", {0, 1, 0, 1}), source("Cd Audio", {0, 1})},
       {},
       {source("Mic", {1, 1}), source("CD", {1}), source("Line", {0, 1, 0, 1}), source("Cd Audio", {1, 1})}},
  };
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeMixer mixer;
    mixer.singleSelect = c.single;
    mixer.multiSelect = c.multi;

    EXPECT_EQ(selectCDInput(mixer), 0);
    EXPECT_EQ(mixer.writes, 1);
    EXPECT_EQ(mixer.singleSelect, c.expectedSingle);
    EXPECT_EQ(mixer.multiSelect, c.expectedMulti);
  }
}

TEST(CDInputSelection, OnlyTheWholeNamesCDAndCDAudioMatchInAnyLetterCase) {
  const std::pair<const char*, bool> names[] = {
      {"CD", true},       {"cd", true},          {"cD", true},        {"CD Audio", true},   {"cd audio", true},
      {"CD AUDIO", true}, {"CD Player", false},  {"CD-Audio", false}, {"CDAudio", false},   {" CD", false},
      {"CD ", false},     {"CD Audio 2", false}, {"Audio CD", false}, {"CD  Audio", false}, {"", false},
  };
  for (const auto& [name, matches] : names) {
    SCOPED_TRACE(std::string("name \"") + name + "\"");
    FakeMixer mixer;
    mixer.multiSelect = {source("Mic", {1}), source(name, {0, 0})};

    if (matches) {
      EXPECT_EQ(selectCDInput(mixer), 0);
      EXPECT_EQ(mixer.multiSelect, (Sources{source("Mic", {1}), source(name, {1, 1})}));
    } else {
      EXPECT_EQ(selectCDInput(mixer), DUNMARRA_NO_CD_SOURCE);
      EXPECT_EQ(mixer.writes, 0);
    }
  }
}

TEST(CDInputSelection, WithoutACDSourceTheSelectionIsLeftAlone) {
  const Sources single = {source("Mic", {1, 1}), source("CD Player", {0, 0}), source("Line", {0, 0})};
  FakeMixer mixer;
  mixer.singleSelect = single;

  EXPECT_EQ(selectCDInput(mixer), DUNMARRA_NO_CD_SOURCE);
  EXPECT_EQ(mixer.writes, 0);
  EXPECT_EQ(mixer.singleSelect, single);
}

TEST(CDInputSelection, AMixerWithoutASourceListGetsNothingWritten) {
  FakeMixer mixer;

  EXPECT_EQ(selectCDInput(mixer), DUNMARRA_NO_SOURCE_LIST);
  EXPECT_EQ(mixer.writes, 0);
}

TEST(CDInputSelection, AFailedOpenOrQueryIsReturnedAndNothingIsWritten) {
  struct FailureCase {
    const char* what;
    int32_t FakeMixer::*result;
  };
  const FailureCase cases[] = {
      {"open", &FakeMixer::openResult},
      {"single-select listing", &FakeMixer::singleListResult},
      {"multi-select listing", &FakeMixer::multiListResult},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeMixer mixer;
    mixer.multiSelect = {source("CD", {0})};
    mixer.*c.result = -EIO;

    EXPECT_EQ(selectCDInput(mixer), -EIO);
    EXPECT_EQ(mixer.writes, 0);
  }
}

TEST(CDInputSelection, AFailedWriteIsReturned) {
  FakeMixer mixer;
  mixer.singleSelect = {source("Mic", {1}), source("CD", {0})};
  mixer.setResult = -EBUSY;

  EXPECT_EQ(selectCDInput(mixer), -EBUSY);
  EXPECT_EQ(mixer.writes, 1);
}

}  // namespace
}  // namespace kv::test
