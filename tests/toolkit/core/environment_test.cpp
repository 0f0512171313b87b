// Metrics, the colour scheme, dates and text rotation.
#include <string>

#include "support/test_support.h"
#include "toolkit/core/environment.h"
#include "toolkit/core/textrot.h"
#include "toolkit/port/headless/control.h"

namespace {

class Environment : public kivo::test::HeadlessTest {};

TEST_F(Environment, MetricsByName) {
  kivo::port::headless::control()->set_screen({1280, 1024, 24});
  EXPECT_EQ(kvsetting("screenxs"), 1280);
  EXPECT_EQ(kvsetting("screenys"), 1024);
  EXPECT_EQ(guimetrics("screenwidth"), 1280);
  EXPECT_EQ(guimetrics("screenys"), 1024);
  const int border = kvsetting("windowbordersize"), caption = kvsetting("windowcaptionheight");
  EXPECT_GT(border, 0);
  EXPECT_GT(caption, 0);
  EXPECT_EQ(kvsetting("maxwindowxs"), 1280 - 2 * border);
  EXPECT_EQ(kvsetting("maxwindowys"), 1024 - caption - border);
  EXPECT_EQ(guimetrics("menuheight"), 20);
  EXPECT_EQ(guimetrics("scrollbarwidth"), 15);
  EXPECT_EQ(guimetrics("statusbarheight"), 13 + 8);
  kivo::core::set_default_font_height_source([] { return 16; });
  EXPECT_EQ(guimetrics("statusbarheight"), 24);
  kivo::core::set_default_font_height_source(nullptr);
}

TEST_F(Environment, UnknownMetricNamesSayWhatWasAsked) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(kvsetting("frobnitz"), 0);
  EXPECT_EQ(guimetrics("frobnitz"), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "get setting: frobnitz\nguimetrics: frobnitz\n");
}

TEST_F(Environment, SchemeWithoutDesktopColoursIsTheFallback) {
  const int expected[] = {0xD0D0D0, 0xE0E0E0, 0x808080, 0xFFFFFF, 0x000000, 0x000000,
                          0x000000, 0x787878, 0xC0C0C0, 0xC0D8FF, 0xF0F0F0};
  for (int role = 0; role < KV_COLOR_ROLES; ++role) EXPECT_EQ(kvcolor(role), expected[role]) << role;
  EXPECT_EQ(kvcolor(11), -1);
  EXPECT_EQ(kvcolor(-1), -1);
}

TEST_F(Environment, SettingTheBackgroundDerivesItsShades) {
  kvsetcolor(0, 0x202020);
  EXPECT_EQ(kvcolor(1), 0x303030);
  EXPECT_EQ(kvcolor(2), 0x000000);
  EXPECT_EQ(kvcolor(8), 0x101010);
  kvsetcolor(0, 0xF8F0A0);
  EXPECT_EQ(kvcolor(1), 0xFFFFB0) << "channels are clamped at 255";
  kvsetcolor(5, 0x123456);
  EXPECT_EQ(kvcolor(5), 0x000000) << "the selected-text role cannot be set";
}

TEST_F(Environment, SaveRestoreAndNamedSchemes) {
  kvcolorscheme_save();
  kvsetcolor(6, 0x112233);
  kvsetcolor(0, 0x404040);
  kvcolorscheme_restore();
  EXPECT_EQ(kvcolor(6), 0x000000);
  EXPECT_EQ(kvcolor(0), 0xD0D0D0);
  kvsetcolor(9, 0x00FF00);
  kvcolorscheme("grey");
  EXPECT_EQ(kvcolor(9), 0xC0D8FF);
  kvsetcolor(9, 0x00FF00);
  kvcolorscheme("standard");
  EXPECT_EQ(kvcolor(9), 0xC0D8FF);
}

TEST_F(Environment, LowColourDisplaysUseStrongSelectionColours) {
  kivo::port::headless::control()->set_screen({800, 600, 8});
  kivo::core::reset_colour_scheme();
  EXPECT_EQ(kvdisplaydepth(), 8);
  EXPECT_EQ(kvcolor(9), 0x000080);
  EXPECT_EQ(kvcolor(5), 0xFFFFFF);
  kvcolorscheme("grey");
  EXPECT_EQ(kvcolor(9), 0x000080);
}

TEST_F(Environment, SystemColourNames) {
  EXPECT_EQ(kvsyscolor("grey"), 0xD0D0D0);
  EXPECT_EQ(kvsyscolor("darkc0c0c0"), 0xC0C0C0);
  EXPECT_EQ(kvsyscolor("white"), -1);
  EXPECT_EQ(kvsyscolor("black"), -1);
  EXPECT_EQ(kvsyscolor("nonsense"), -1);
}

TEST(Colours, RgbAndAdjust) {
  EXPECT_EQ(kvrgb(0x12, 0x34, 0x56), 0x123456);
  EXPECT_EQ(kvrgb(0x112, 0x134, 0x156), 0x123456) << "only the low bytes count";
  EXPECT_EQ(kvcolor_adjust(0x10F0FF, 32), 0x30FFFF);
  EXPECT_EQ(kvcolor_adjust(0x10F0FF, -32), 0x00D0DF);
}

TEST(Dates, LeapYearsAndDayNumbers) {
  EXPECT_FALSE(kvleapyear(1900));
  EXPECT_TRUE(kvleapyear(2000));
  EXPECT_TRUE(kvleapyear(2024));
  EXPECT_FALSE(kvleapyear(2023));
  EXPECT_EQ(kvdaynumber(1, 1, 1), 1);
  EXPECT_EQ(kvdaynumber(2000, 3, 1) - kvdaynumber(2000, 2, 28), 2);
  EXPECT_EQ(kvdaynumber(1900, 3, 1) - kvdaynumber(1900, 2, 28), 1);
  EXPECT_EQ(kvdaynumber(2001, 1, 1) - kvdaynumber(2000, 1, 1), 366);
  EXPECT_EQ(kvdaynumber(2000, 1, 1), 730120);  // days from 1-01-01 to 2000-01-01, counting both
  // Consecutive days of a whole leap and a whole common year have consecutive numbers.
  for (int year : {2023, 2024}) {
    int previous = kvdaynumber(year, 1, 1);
    const int days[] = {31, kvleapyear(year) ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int month = 1; month <= 12; ++month)
      for (int day = (month == 1 ? 2 : 1); day <= days[month - 1]; ++day) {
        int n = kvdaynumber(year, month, day);
        ASSERT_EQ(n, previous + 1) << year << "-" << month << "-" << day;
        previous = n;
      }
  }
}

TEST(Dates, LocalTimeFieldsAreInRange) {
  EXPECT_GE(kvyear(), 2024);
  EXPECT_GE(kvmonth(), 1);
  EXPECT_LE(kvmonth(), 12);
  EXPECT_GE(kvday(), 1);
  EXPECT_LE(kvday(), 31);
  EXPECT_LE(kvhour(), 23);
  EXPECT_LE(kvminute(), 59);
  EXPECT_LE(kvsecond(), 60);
  EXPECT_LT(kvmillipart(), 1000);
}

TEST(TextRotation, Rot13AndRot18) {
  std::string a = "abc XYZ 09!";
  kvrot13(a);
  EXPECT_EQ(a, "nop KLM 09!");
  std::string b = "abc09";
  kvrot18(b);
  EXPECT_EQ(b, "nop54");
  kvrot18(b);
  EXPECT_EQ(b, "abc09") << "rot18 is its own inverse";
  char c[] = "Hello, World 2026";
  kvrot18(c);
  kvrot18(c);
  EXPECT_STREQ(c, "Hello, World 2026");
}

}  // namespace
