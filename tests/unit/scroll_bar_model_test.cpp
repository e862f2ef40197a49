#include "video/scroll_bar_model.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ScrollBarModel, KeepsPageAndPositionByThePlatformRules) {
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  struct Case {
    ScrollInfo given;
    unsigned page;
    int position;
    int highest;
    bool visible;
  };
  const Case cases[] = {
      // The video window's bars at level 1: the page covers 0..127.
      {{0, 127, 128, 5}, 128, 0, 0, false},
      // A page larger than the range is cut to the range.
      {{0, 127, 200, 5}, 128, 0, 0, false},
      // The position stays between nMin and nMax - nPage + 1.
      {{0, 127, 64, 100}, 64, 64, 64, true},
      {{0, 127, 64, -3}, 64, 0, 64, true},
      {{0, 127, 16, 112}, 16, 112, 112, true},
      // Without a page the thumb can reach nMax.
      {{0, 127, 0, 500}, 0, 127, 127, true},
      {{10, 20, 5, 0}, 5, 10, 16, true},
      // A single position or a reversed range leaves nothing to scroll.
      {{5, 5, 0, 9}, 0, 5, 5, false},
      {{20, 10, 4, 15}, 0, 20, 20, false},
      // The widest range does not overflow.
      {{small, big, std::numeric_limits<unsigned>::max(), 0},
       std::numeric_limits<unsigned>::max(),
       small + 1,
       small + 1,
       true},
  };
  for (const auto& c : cases) {
    ScrollBarModel bar;
    bar.setInfo(c.given);
    const ScrollInfo& kept = bar.info();
    SCOPED_TRACE(testing::Message() << "min " << c.given.nMin << " max " << c.given.nMax << " page "
                                    << c.given.nPage << " pos " << c.given.nPos);
    EXPECT_EQ(kept.nMin, c.given.nMin);
    EXPECT_EQ(kept.nMax, c.given.nMax);
    EXPECT_EQ(kept.nPage, c.page);
    EXPECT_EQ(kept.nPos, c.position);
    EXPECT_EQ(bar.highestPosition(), c.highest);
    EXPECT_EQ(bar.visible(), c.visible);
  }
}
