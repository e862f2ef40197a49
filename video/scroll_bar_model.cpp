#include "video/scroll_bar_model.h"

#include <algorithm>
#include <cstdint>

void ScrollBarModel::setInfo(const ScrollInfo& info) {
  info_ = info;
  // 64 bits: a range from INT_MIN to INT_MAX has 2^32 positions.
  const std::int64_t rangeSize = std::max<std::int64_t>(std::int64_t{info.nMax} - info.nMin + 1, 0);
  if (info_.nPage > rangeSize) info_.nPage = static_cast<unsigned>(rangeSize);
  info_.nPos = std::clamp(info.nPos, info.nMin, highestPosition());
}

bool ScrollBarModel::visible() const {
  return highestPosition() > info_.nMin;
}

int ScrollBarModel::highestPosition() const {
  const std::int64_t thumbExtra = info_.nPage > 0 ? std::int64_t{info_.nPage} - 1 : 0;
  const std::int64_t highest = std::int64_t{info_.nMax} - thumbExtra;
  return static_cast<int>(std::max<std::int64_t>(highest, info_.nMin));
}
