#include "overlay/panel_values.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(LeadingInteger, ReadsTheNumberATextStartsWith) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"", 0},
      {"  42", 42},
      {"\t\n7", 7},
      {"+7", 7},
      {"-35", -35},
      {"12abc", 12},
      {"12 34", 12},
      {"abc", 0},
      {"-", 0},
      {" - 5", 0},  // the sign must touch the digits
      {"+-5", 0},
      {"007", 7},
      {"-0", 0},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MAX},
      {"-2147483648", INT_MIN},
      {"-2147483649", INT_MIN},
      {"-99999999999", INT_MIN},
      {"99999999999999999999999999999999", INT_MAX},  // far beyond 64 bits too
      {"00000000000000000000000000000012", 12},       // leading zeros are no overflow
      {"4000\xef\xbc\x90", 4000},                     // a full-width digit is not a digit
  };
  for (const Case& c : cases) EXPECT_EQ(leadingInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ClampToBounds, KeepsValuesInsideAndPullsOthersToTheNearestBound) {
  EXPECT_EQ(clampToBounds(0, 1, 4000), 1);
  EXPECT_EQ(clampToBounds(5000, 1, 4000), 4000);
  EXPECT_EQ(clampToBounds(-35, -20, 20), -20);
  EXPECT_EQ(clampToBounds(INT_MIN, 0, 900), 0);
  EXPECT_EQ(clampToBounds(INT_MAX, 0, 900), 900);
  EXPECT_EQ(clampToBounds(17, -20, 20), 17);
  EXPECT_EQ(clampToBounds(1, 1, 4), 1);
  EXPECT_EQ(clampToBounds(4, 1, 4), 4);
}

TEST(SettleFieldText, StoresTheClampedNumberAndItsCanonicalText) {
  struct Case {
    NumericValue value;
    const char* typed;
    int expected;
    const char* shown;
  };
  const Case cases[] = {
      {NumericValue::Circle1Radius, "5000", 4000, "4000"},
      {NumericValue::Circle1Radius, "0", 1, "1"},
      {NumericValue::Circle2Radius, "", 1, "1"},
      {NumericValue::Circle3Radius, "12abc", 12, "12"},
      {NumericValue::CrosshairLength, "007", 7, "7"},
      {NumericValue::Circle2Thickness, "0", 1, "1"},
      {NumericValue::CrosshairThickness, "9", 4, "4"},
      {NumericValue::CrosshairAngle, "", 0, "0"},
      {NumericValue::CrosshairAngle, "901", 900, "900"},
      {NumericValue::OffsetHorizontal, "-35", -20, "-20"},
      {NumericValue::OffsetVertical, "+5", 5, "5"},
      {NumericValue::OffsetVertical, "2147483648", 20, "20"},
  };
  for (const Case& c : cases) {
    OverlayRecords records;
    records.circle1.radius = 150;  // a neighbour that must not move
    records.circle1.radiusText = "150x";
    numericValue(records, c.value) = 77;
    numericText(records, c.value) = c.typed;

    settleFieldText(records, c.value);

    EXPECT_EQ(numericValue(records, c.value), c.expected) << c.typed;
    EXPECT_EQ(numericText(records, c.value), c.shown) << c.typed;
    if (c.value != NumericValue::Circle1Radius) {
      EXPECT_EQ(records.circle1.radius, 150);
      EXPECT_EQ(records.circle1.radiusText, "150x");
    }
  }
}

TEST(WriteTextsFromValues, WritesEveryValueAsPlainDecimal) {
  OverlayRecords records;
  for (const NumericValueInfo& info : numericValueTable()) numericText(records, info.value) = "stale";
  records.circle1.radius = 4000;
  records.crosshair.angle = 450;  // tenths: shown as 450, not 45.0
  records.centerOffset.vertical = -7;
  records.centerOffset.horizontal = 0;

  writeTextsFromValues(records);

  EXPECT_EQ(records.circle1.radiusText, "4000");
  EXPECT_EQ(records.crosshair.angleText, "450");
  EXPECT_EQ(records.centerOffset.verticalText, "-7");
  EXPECT_EQ(records.centerOffset.horizontalText, "0");
  for (const NumericValueInfo& info : numericValueTable())
    EXPECT_EQ(numericText(records, info.value), std::to_string(numericValue(records, info.value)));
}
