#include "params/number_reader.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <string>
#include <vector>

#include "tests/unit/temp_folder.h"

namespace {

std::vector<int> allInts(std::string_view text) {
  NumberReader reader(text);
  std::vector<int> values;
  while (const std::optional<int> value = reader.readInt()) values.push_back(*value);
  return values;
}

std::vector<float> allFloats(std::string_view text) {
  NumberReader reader(text);
  std::vector<float> values;
  while (const std::optional<float> value = reader.readFloat()) values.push_back(*value);
  return values;
}

std::string repeated(char c, std::size_t count) {
  return std::string(count, c);
}

}  // namespace

TEST(NumberReader, IntegersStopAtTheFirstFailingPosition) {
  using namespace std::string_literals;
  struct Case {
    std::string text;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {"150 1 100", {150, 1, 100}},
      {"  \t\n-20\r\n+7\v\f3", {-20, 7, 3}},
      {"12.5 3", {12}},  // the next position fails at the point
      {"2147483647 -2147483648", {2147483647, -2147483648}},
      {"2147483648 1", {}},
      {"-2147483649 1", {}},
      {"99999999999", {}},
      {"000000000000000000042 -0", {42, 0}},
      {"5-3+2", {5, -3, 2}},  // a sign ends the previous number
      {"1,5", {1}},
      {"0x1F", {0}},
      {"+ 5", {}},
      {"--5", {}},
      {"-", {}},
      {"", {}},
      {"   ", {}},
      {"\0 5"s, {}},
      {"\xEF\xBB\xBF"
       "1 2",
       {}},  // a byte-order mark is not white space
  };
  for (const Case& c : cases) EXPECT_EQ(allInts(c.text), c.expected) << "'" << c.text << "'";
}

TEST(NumberReader, FloatsFollowTheDecimalGrammarOnly) {
  const std::string ones = "1" + repeated('0', 1000);
  struct Case {
    std::string text;
    std::vector<float> expected;
  };
  const Case cases[] = {
      {"960 540", {960.0f, 540.0f}},
      {"2.5 7.25", {2.5f, 7.25f}},
      {"1,5 2,5", {1.0f}},
      {"0.1 -3.75e2 1E2 +.5e1", {0.1f, -375.0f, 100.0f, 5.0f}},
      {".5 5.", {0.5f, 5.0f}},
      {"1.5-2.5", {1.5f, -2.5f}},
      {"1e 2", {1.0f}},  // an 'e' without digits is not part of the number
      {"1e+ 2", {1.0f}},
      {"1e5e5", {1e5f}},
      {"nan 1", {}},
      {"inf 1", {}},
      {"-infinity", {}},
      {". 1", {}},
      {"1e39 1", {}},
      {"-1e39", {}},
      {"3.4028235e38", {FLT_MAX}},
      {"3.4028236e38", {}},
      {"1e-40", {1e-40f}},  // subnormal, still a float
      {"1e-50", {}},        // below the smallest float
      {"99999999999999999999", {1e20f}},
      {"16777217 16777219", {16777216.0f, 16777220.0f}},  // ties go to even
      {ones + "e-1000", {1.0f}},
      {"0." + repeated('0', 1000) + "1e1001", {1.0f}},
      {"0e999999999999999999999", {0.0f}},
      {"1e-999999999999999999999", {}},
      {"1e999999999999999999999", {}},
      // Just above the tie between 16777216 and 16777218, far beyond any kept digit.
      {"16777217." + repeated('0', 2000) + "1", {16777218.0f}},
      {"16777217." + repeated('0', 2000), {16777216.0f}},
      {"16777217" + repeated('0', 1000) + "1e-1001", {16777218.0f}},
  };
  for (const Case& c : cases) EXPECT_EQ(allFloats(c.text), c.expected) << "'" << c.text.substr(0, 40) << "'";
}

TEST(NumberReader, NegativeZeroKeepsItsSign) {
  const std::vector<float> values = allFloats("-0 -0.0e5");
  ASSERT_EQ(values.size(), 2u);
  EXPECT_TRUE(std::signbit(values[0]));
  EXPECT_TRUE(std::signbit(values[1]));
}

TEST(NumberReader, NumbersAcrossBufferBoundaries) {
  // The reader refills a 64 KiB buffer; an exponent's look-ahead must survive a refill.
  TempFolder folder;
  for (std::size_t padding = 65530; padding <= 65540; ++padding) {
    writeFile(folder / "n.txt", repeated(' ', padding) + "1e-5 7\n" + repeated('\n', 70000) + "-12.5e+1");
    std::optional<NumberReader> reader = NumberReader::open(folder / "n.txt");
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->readFloat(), 1e-5f) << padding;
    EXPECT_EQ(reader->readFloat(), 7.0f) << padding;
    EXPECT_EQ(reader->readFloat(), -125.0f) << padding;
    EXPECT_EQ(reader->readFloat(), std::nullopt) << padding;
  }
}

TEST(NumberReader, UnreadableInputsGiveNoNumbers) {
  TempFolder folder;
  ASSERT_TRUE(std::filesystem::is_directory(folder.path()));
  EXPECT_FALSE(NumberReader::open(folder / "missing.txt"));
  // A folder opens on Linux, but reading it fails.
  std::optional<NumberReader> directory = NumberReader::open(folder.path());
  ASSERT_TRUE(directory.has_value());
  EXPECT_EQ(directory->readInt(), std::nullopt);
  EXPECT_EQ(directory->readFloat(), std::nullopt);
}
