// The zoom steps of the keyboard and the wheel.
#include "display/zoom_rules.h"

#include <gtest/gtest.h>

namespace tp {
namespace {

struct Step {
  int from;
  bool up;
  std::optional<int> keyboard;  // empty: the key does nothing
  int wheel;
};

TEST(ZoomRulesTest, StepsSkipOneHundredToOneHundredAndTwoAndStopAtTheLimits) {
  const Step kSteps[] = {
      {95, true, 103, 100},            // the keyboard skips 100; the wheel keeps it
      {96, true, 103, 103},            // 101 is skipped both ways
      {97, true, 103, 103},            // 102 too
      {98, true, 103, 103},            // 103 is a step of its own
      {103, true, 108, 108},           //
      {105, false, 99, 100},           // down: the keyboard skips 100, the wheel keeps it
      {106, false, 99, 99},            // 101 down
      {107, false, 99, 99},            // 102 down
      {103, false, 98, 98},            //
      {500, true, std::nullopt, 500},  // the top limit: the wheel re-applies it
      {25, false, std::nullopt, 25},   // the bottom limit
      {499, true, 500, 500},           // a zoom off the steps stops at the limit
      {29, false, 25, 25},             //
      {114, true, 119, 119},           // the screen zoom at 110 pixels per inch
      {800, false, 500, 500},          // a screen zoom above the limit comes back within it
      {800, true, std::nullopt, 800},  // and never goes further up
  };
  for (const Step& step : kSteps) {
    EXPECT_EQ(KeyboardZoom(step.from, step.up), step.keyboard)
        << step.from << (step.up ? " up" : " down");
    EXPECT_EQ(WheelZoom(step.from, step.up), step.wheel)
        << step.from << (step.up ? " up" : " down");
  }
}

TEST(ZoomRulesTest, NoSequenceOfStepsLeavesTheLimits) {
  for (int start : {100, 114, 125, 150, 26, 499}) {
    int keyboard = start;
    int wheel = start;
    // Up and down in long runs and in alternation.
    for (int i = 0; i < 400; ++i) {
      const bool up = (i / 150) % 2 == 0 ? true : (i % 3 != 0);
      keyboard = KeyboardZoom(keyboard, up).value_or(keyboard);
      wheel = WheelZoom(wheel, !up);
      ASSERT_GE(keyboard, kZoomMinimum);
      ASSERT_LE(keyboard, kZoomMaximum);
      ASSERT_GE(wheel, kZoomMinimum);
      ASSERT_LE(wheel, kZoomMaximum);
      ASSERT_FALSE(keyboard >= 100 && keyboard <= 102);
      ASSERT_FALSE(wheel == 101 || wheel == 102);
    }
  }
}

}  // namespace
}  // namespace tp
