#include "video/display_image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <opencv2/core/utility.hpp>
#include <vector>

namespace {

// Source index of each of `count` output positions over `sourceCount`.
void nearestIndices(int count, int sourceCount, std::vector<int>& indices) {
  indices.resize(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i)
    indices[static_cast<std::size_t>(i)] =
        static_cast<int>(static_cast<std::int64_t>(i) * sourceCount / count);
}

// Four bytes read per pixel (its three and the next one's first, then masked
// off) are one load instead of three. Only the first `wideReads` output
// pixels take that load: the rest show the row's last pixel, which may end
// its image's buffer, so they are read byte by byte.
void sampleRowBgrToBgrx(const uchar* source, std::uint32_t* out, const std::vector<int>& columns,
                        std::size_t wideReads) {
  for (std::size_t x = 0; x < wideReads; ++x) {
    std::uint32_t bgr = 0;
    std::memcpy(&bgr, source + 3 * static_cast<std::ptrdiff_t>(columns[x]), sizeof bgr);
    out[x] = bgr | 0xFF000000u;
  }
  for (std::size_t x = wideReads; x < columns.size(); ++x) {
    const uchar* p = source + 3 * static_cast<std::ptrdiff_t>(columns[x]);
    out[x] =
        0xFF000000u | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[0];
  }
}

// A reduced frame reads rows far apart, each too short for the processor to
// notice it streams; a frame fresh from the camera is not in the cache, so
// the row wanted a little later is asked for now.
constexpr int rowsAhead = 2;
constexpr std::size_t cacheLine = 64;

void prefetchRow(const cv::Mat& image, int row) {
  const uchar* start = image.ptr(row);
  const std::size_t bytes = static_cast<std::size_t>(image.cols) * image.elemSize();
  for (std::size_t offset = 0; offset < bytes; offset += cacheLine) __builtin_prefetch(start + offset);
}

void sampleRowGrey(const uchar* source, uchar* out, const std::vector<int>& columns) {
  for (std::size_t x = 0; x < columns.size(); ++x) out[x] = source[columns[x]];
}

}  // namespace

int displayTypeFor(int imageType) {
  if (imageType == CV_8UC3) return CV_8UC4;
  if (imageType == CV_8UC1) return CV_8UC1;
  return -1;
}

bool scaleForDisplay(const cv::Mat& image, cv::Mat& display) {
  if (image.empty() || image.dims != 2 || display.empty() || display.dims != 2) return false;
  const int displayType = displayTypeFor(image.type());
  if (displayType < 0 || display.type() != displayType) return false;

  std::vector<int> columns;
  std::vector<int> rows;
  nearestIndices(display.cols, image.cols, columns);
  nearestIndices(display.rows, image.rows, rows);
  // An enlarged picture shows the last image column several times; none of
  // those may read past it.
  const auto wideReads = static_cast<std::size_t>(
      std::lower_bound(columns.begin(), columns.end(), image.cols - 1) - columns.begin());
  // Each output row reads one image row, so rows are independent; any row
  // length and region view is read through its own step, never sheared.
  const std::size_t rowBytes = static_cast<std::size_t>(display.cols) * display.elemSize();
  cv::parallel_for_(cv::Range(0, display.rows), [&](const cv::Range& range) {
    for (int y = range.start; y < range.end; ++y) {
      const int sourceRow = rows[static_cast<std::size_t>(y)];
      // Enlarged pictures repeat rows: the row above is copied, not sampled again.
      if (y > range.start && rows[static_cast<std::size_t>(y) - 1] == sourceRow) {
        std::memcpy(display.ptr(y), display.ptr(y - 1), rowBytes);
        continue;
      }
      const uchar* source = image.ptr(sourceRow);
      if (const int later = y + rowsAhead; later < range.end)
        prefetchRow(image, rows[static_cast<std::size_t>(later)]);
      if (displayType == CV_8UC4)
        sampleRowBgrToBgrx(source, display.ptr<std::uint32_t>(y), columns, wideReads);
      else
        sampleRowGrey(source, display.ptr(y), columns);
    }
  });
  return true;
}
