#include "platform/dialog_units.h"

#include <gtest/gtest.h>

#include <limits>

TEST(DialogUnits, AverageWidthIsTheRoundedMeanOfTheFiftyTwoLetters) {
  struct Case {
    int advance;
    int expected;
  };
  const Case cases[] = {
      {52 * 6, 6},  // exactly 6
      {337, 6},     // 6.48
      {338, 7},     // 6.5 rounds up
      {364, 7},    {0, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(averageCharWidth(c.advance), c.expected) << c.advance;
}

TEST(DialogUnits, ConvertWithTheQuarterWidthAndEighthHeightRounded) {
  const DialogBaseUnits base{7, 15};
  struct Case {
    DialogRect rect;
    PixelRect expected;
  };
  const Case cases[] = {
      {{0, 0, 139, 418}, {0, 0, 243, 784}},   // 139*7/4 = 243.25, 418*15/8 = 783.75
      {{67, 40, 55, 14}, {117, 75, 96, 26}},  // 117.25, 75, 96.25, 26.25
      {{1, 1, 2, 4}, {2, 2, 4, 8}},           // 1.75 -> 2, 1.875 -> 2, 3.5 -> 4, 7.5 -> 8
  };
  for (const Case& c : cases) EXPECT_EQ(dialogRectToPixels(c.rect, base), c.expected);
}

TEST(DialogUnits, MulDivRoundsHalvesAwayFromZeroAndNeverOverflows) {
  EXPECT_EQ(mulDivRounded(5, 1, 2), 3);
  EXPECT_EQ(mulDivRounded(-5, 1, 2), -3);
  EXPECT_EQ(mulDivRounded(5, -1, 2), -3);
  EXPECT_EQ(mulDivRounded(7, 3, 0), 0);
  EXPECT_EQ(mulDivRounded(std::numeric_limits<int>::max(), 4, 4), std::numeric_limits<int>::max());
  EXPECT_EQ(mulDivRounded(std::numeric_limits<int>::max(), 8, 4), std::numeric_limits<int>::max());
  EXPECT_EQ(mulDivRounded(std::numeric_limits<int>::min(), 8, 4), std::numeric_limits<int>::min());
}
