#include "cdinput/dunmarra.h"

#include "tests/cdinput/alsa_config.h"

namespace kv::test {
namespace {

using Values = std::vector<long>;

class SelectCDInputExport : public AlsaConfigTest {};

TEST_F(SelectCDInputExport, SelectsTheCDOnTheDefaultCard) {
  useAlsaConfig(fakeCardDevice() + "ctl.default { type lentaro_fake }\n");
  setFakeCard({fakeEnumeration("Input Source", {0, 2}, {"Mic", "CD", "Line"})});

  EXPECT_EQ(SelectCDInput(), 0);
  EXPECT_EQ(fakeValues("Input Source"), (Values{1, 1}));
}

TEST_F(SelectCDInputExport, UsesTheFirstCardWhenThereIsNoDefault) {
  useAlsaConfig(fakeCardDevice() + "ctl.hw { @args [ CARD ] @args.CARD { type string } type lentaro_fake }\n");
  setFakeCard({fakeSwitch("Mic Capture Switch", {1}), fakeSwitch("CD Capture Switch", {0, 0})});

  EXPECT_EQ(SelectCDInput(), 0);
  EXPECT_EQ(fakeValues("CD Capture Switch"), (Values{1, 1}));
  EXPECT_EQ(fakeValues("Mic Capture Switch"), Values{1});
}

TEST_F(SelectCDInputExport, WithoutASoundCardReportsWhyAndWritesNothing) {
  useAlsaConfig("# no sound card\n");

  EXPECT_LT(SelectCDInput(), 0);
}

}  // namespace
}  // namespace kv::test
