#include "overlay/panel_values.h"

#include <climits>
#include <cstdint>

namespace {

// The C locale's white space; the fields never see anything else worth skipping.
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

int leadingInteger(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The magnitude stops growing once past the limit, so no run of digits,
  // however long, can overflow the accumulator.
  const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
  std::int64_t magnitude = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) magnitude = limit;
  }
  return static_cast<int>(negative ? -magnitude : magnitude);
}

int clampToBounds(int value, int lowerBound, int upperBound) {
  if (value < lowerBound) return lowerBound;
  if (value > upperBound) return upperBound;
  return value;
}

std::string valueText(int value) {
  return std::to_string(value);
}

void writeTextsFromValues(OverlayRecords& records) {
  for (const NumericValueInfo& info : numericValueTable())
    numericText(records, info.value) = valueText(numericValue(records, info.value));
}

void settleFieldText(OverlayRecords& records, NumericValue value) {
  const NumericValueInfo& info = numericValueInfo(value);
  const int settled =
      clampToBounds(leadingInteger(numericText(records, value)), info.lowerBound, info.upperBound);
  numericValue(records, value) = settled;
  numericText(records, value) = valueText(settled);
}
