#include "overlay/overlay_records.h"

#include <gtest/gtest.h>

TEST(ColorToScalar, TakesRedFromTheLowByte) {
  struct Case {
    std::uint32_t color;
    cv::Scalar expected;
  };
  const Case cases[] = {
      {0x00FF00, {0, 255, 0, 0}},
      {0xFF00FF, {255, 0, 255, 0}},
      {0x0000FF, {0, 0, 255, 0}},
      {0x123456, {0x12, 0x34, 0x56, 0}},
      {0xAB000000, {0, 0, 0, 0}},  // the high byte is never a channel
  };
  for (const auto& c : cases) EXPECT_EQ(colorToScalar(c.color), c.expected) << std::hex << c.color;
}

TEST(NumericValueTable, RowsAreInFileOrderAndReachTheirRecordFields) {
  OverlayRecords records;
  const auto& table = numericValueTable();
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(table[i].value), i);
    numericValue(records, table[i].value) = static_cast<int>(i) + 100;
    numericText(records, table[i].value) = std::to_string(i);
  }
  EXPECT_EQ(records.circle1.radius, 100);
  EXPECT_EQ(records.circle2.thickness, 103);
  EXPECT_EQ(records.crosshair.angle, 108);
  EXPECT_EQ(records.centerOffset.horizontal, 110);
  EXPECT_EQ(records.crosshair.lengthText, "6");
  EXPECT_EQ(records.centerOffset.verticalText, "9");
  EXPECT_EQ(numericValueInfo(NumericValue::OffsetVertical).lowerBound, -20);
}
