#pragma once

#include "platform/scroll_code.h"

// A standard window scroll bar as the zoom and pan code sees it: the range,
// the page (the thumb's share of the range) and the position, kept by the
// same rules as the platform's own bars, so the pan arithmetic can be
// written and checked against it without any widget.
struct ScrollInfo {
  int nMin = 0;
  int nMax = 100;
  unsigned nPage = 0;
  int nPos = 0;
};

class ScrollBarModel {
 public:
  // Stores `info` the way the platform does: the page is limited to the
  // size of the range, the position clamped between nMin and the highest
  // position.
  void setInfo(const ScrollInfo& info);
  const ScrollInfo& info() const { return info_; }
  // Hidden while the page covers the whole range, so there is nothing to scroll.
  bool visible() const;
  // The last position at which the thumb still fits: nMax - nPage + 1 (nMax
  // for a page of 0), never below nMin.
  int highestPosition() const;

 private:
  ScrollInfo info_;
};
