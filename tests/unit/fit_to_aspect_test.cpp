#include "video/fit_to_aspect.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

static std::ostream& operator<<(std::ostream& out, const IntRect& r) {
  return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr float fourByThree = 4.0f / 3.0f;
constexpr float sixteenByNine = 16.0f / 9.0f;

struct FitCase {
  IntRect rect;
  float ratio;
  IntRect expected;
};

}  // namespace

TEST(FitToAspect, CentresTheLargestRectangleOfTheRatio) {
  const FitCase cases[] = {
      // Too tall: bars above and below; 884 / (4/3 as a float) comes out
      // 663 only in single precision, in double it would give 681 at the bottom.
      {{0, 0, 884, 701}, fourByThree, {0, 19, 884, 682}},
      {{0, 0, 884, 701}, sixteenByNine, {0, 101, 884, 599}},
      // Too wide: bars left and right.
      {{0, 0, 1000, 600}, fourByThree, {100, 0, 900, 600}},
      // Not equal in double, but the single-precision margin is 0.
      {{0, 0, 800, 600}, fourByThree, {0, 0, 800, 600}},
      {{0, 0, 1920, 1080}, sixteenByNine, {0, 0, 1920, 1080}},
      // An offset rectangle keeps its place; odd margins truncate each edge.
      {{10, 20, 1010, 620}, fourByThree, {110, 20, 910, 620}},
      {{0, 0, 6, 3}, 1.0f, {1, 0, 4, 3}},
      // An exact ratio in double comes back as it is.
      {{0, 0, 200, 100}, 2.0f, {0, 0, 200, 100}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fitToAspect(c.rect, c.ratio), c.expected) << c.rect << " at " << c.ratio;
}

TEST(FitToAspect, DegenerateRectanglesNeitherCrashNorGrow) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  const FitCase cases[] = {
      // No height: "too wide" without limit, the width closes to the middle.
      {{0, 0, 800, 0}, fourByThree, {400, 0, 400, 0}},
      // No width: "too tall", the height closes to the middle.
      {{0, 0, 0, 600}, fourByThree, {0, 300, 0, 300}},
      // Nothing at all: width / height is NaN, fitted as too tall with margin 0.
      {{0, 0, 0, 0}, fourByThree, {0, 0, 0, 0}},
      {{7, 9, 7, 9}, sixteenByNine, {7, 9, 7, 9}},
      // Ratios that describe no shape leave the rectangle alone.
      {{0, 0, 884, 701}, nan, {0, 0, 884, 701}},
      {{0, 0, 884, 701}, 0.0f, {0, 0, 884, 701}},
      {{0, 0, 884, 701}, -1.5f, {0, 0, 884, 701}},
      {{0, 0, 884, 701}, inf, {0, 0, 884, 701}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(fitToAspect(c.rect, c.ratio), c.expected) << c.rect << " at " << c.ratio;

  // The widest possible rectangle: its width does not fit in an int. The
  // result must stay inside it and keep its order rather than wrap around.
  const IntRect huge = fitToAspect({small, 0, big, 1000}, fourByThree);
  EXPECT_LE(huge.left, huge.right);
  EXPECT_GT(huge.left, small);
  EXPECT_LT(huge.right, big);
  EXPECT_NEAR(static_cast<double>(huge.right) - huge.left, 1000 * 4.0 / 3.0, 256.0);  // float steps at 2^31
  EXPECT_EQ(huge.top, 0);
  EXPECT_EQ(huge.bottom, 1000);
}
