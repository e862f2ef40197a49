#include "params/number_reader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr std::size_t bufferSize = 64 * 1024;

// Enough significant digits to round any decimal to the nearest float
// correctly; digits beyond these only matter as "something non-zero follows".
constexpr std::size_t keptDigits = 800;

// Exponents are saturated here: far beyond the float range either way, yet
// small enough that the arithmetic on them never overflows.
constexpr std::int64_t exponentLimit = 1'000'000'000;

bool isDigit(int c) {
  return c >= '0' && c <= '9';
}

bool isZero(int c) {
  return c == '0';
}

// White space of the C locale; the files are plain ASCII.
bool isSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::int64_t saturatedExponent(std::int64_t value) {
  return std::clamp(value, -exponentLimit, exponentLimit);
}

}  // namespace

std::optional<NumberReader> NumberReader::open(const std::filesystem::path& file) {
  std::FILE* handle = std::fopen(file.c_str(), "rb");
  if (handle == nullptr) return std::nullopt;
  return NumberReader(handle);
}

NumberReader::NumberReader(std::FILE* file) : file_(file), buffer_(bufferSize) {}

NumberReader::NumberReader(std::string_view text) : buffer_(text.begin(), text.end()), end_(text.size()) {}

bool NumberReader::refill() {
  if (!file_) return false;
  // Keep what is still unread at the front, then fill up behind it.
  std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(position_),
            buffer_.begin() + static_cast<std::ptrdiff_t>(end_), buffer_.begin());
  end_ -= position_;
  position_ = 0;
  const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_.get());
  end_ += got;
  // A read error (reading a directory gives EISDIR) counts as the end of the input.
  if (got == 0) file_.reset();
  return got > 0;
}

int NumberReader::peek(std::size_t ahead) {
  while (position_ + ahead >= end_) {
    if (!refill()) return -1;
  }
  return static_cast<unsigned char>(buffer_[position_ + ahead]);
}

template <typename Keep>
std::size_t NumberReader::skipWhile(Keep keep) {
  std::size_t skipped = 0;
  while (position_ < end_ || refill()) {
    const char* begin = buffer_.data() + position_;
    const char* stop = buffer_.data() + end_;
    const char* first =
        std::find_if_not(begin, stop, [&](char c) { return keep(static_cast<unsigned char>(c)); });
    const auto count = static_cast<std::size_t>(first - begin);
    position_ += count;
    skipped += count;
    if (first != stop) break;
  }
  return skipped;
}

void NumberReader::skipWhitespace() {
  skipWhile(isSpace);
}

NumberReader::DigitRun NumberReader::takeDigits(std::string& digits, bool& droppedNonZero) {
  DigitRun run;
  for (int c = peek(); isDigit(c) && digits.size() < keptDigits; c = peek()) {
    digits.push_back(static_cast<char>(c));
    ++run.kept;
    advance();
  }
  run.dropped = skipWhile([&](int c) {
    droppedNonZero = droppedNonZero || (c > '0' && c <= '9');
    return isDigit(c);
  });
  return run;
}

std::optional<int> NumberReader::readInt() {
  skipWhitespace();
  bool negative = false;
  if (peek() == '+' || peek() == '-') {
    negative = peek() == '-';
    advance();
  }
  if (!isDigit(peek())) return std::nullopt;
  skipWhile(isZero);

  std::int64_t magnitude = 0;
  int significantDigits = 0;
  for (int c = peek(); isDigit(c); c = peek()) {
    // Eleven significant digits never fit 32 bits; the reading ends here, so
    // there is no need to look at the rest of the digits.
    if (++significantDigits > 10) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    advance();
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<float> NumberReader::readFloat() {
  skipWhitespace();
  bool negative = false;
  if (peek() == '+' || peek() == '-') {
    negative = peek() == '-';
    advance();
  }

  // The number is kept as <digits> * 10^decimalExponent, with at most
  // keptDigits significant digits, while it streams past: its length in the
  // file never matters.
  std::string digits;
  bool droppedNonZero = false;
  std::int64_t decimalExponent = 0;

  // Leading zeros carry no value; a dropped whole-number digit still scales it up.
  std::size_t digitCount = skipWhile(isZero);
  const DigitRun whole = takeDigits(digits, droppedNonZero);
  digitCount += whole.kept + whole.dropped;
  decimalExponent = saturatedExponent(decimalExponent + static_cast<std::int64_t>(whole.dropped));

  if (peek() == '.') {
    advance();
    if (digits.empty()) {
      // Zeros right after the point scale the value down.
      const std::size_t zeros = skipWhile(isZero);
      digitCount += zeros;
      decimalExponent = saturatedExponent(decimalExponent - static_cast<std::int64_t>(zeros));
    }
    const DigitRun fraction = takeDigits(digits, droppedNonZero);
    digitCount += fraction.kept + fraction.dropped;
    decimalExponent = saturatedExponent(decimalExponent - static_cast<std::int64_t>(fraction.kept));
  }
  if (digitCount == 0) return std::nullopt;

  // The exponent belongs to the number only when digits follow the letter;
  // otherwise the number ends before the 'e', where the next value would fail.
  if (peek() == 'e' || peek() == 'E') {
    const std::size_t signLength = (peek(1) == '+' || peek(1) == '-') ? 1 : 0;
    if (isDigit(peek(1 + signLength))) {
      const bool negativeExponent = peek(1) == '-';
      for (std::size_t i = 0; i < 1 + signLength; ++i) advance();
      skipWhile(isZero);
      std::int64_t exponent = 0;
      for (int c = peek(); isDigit(c) && exponent < exponentLimit; c = peek()) {
        exponent = saturatedExponent(exponent * 10 + (c - '0'));
        advance();
      }
      skipWhile(isDigit);  // beyond the limit the value is out of range anyway
      decimalExponent = saturatedExponent(decimalExponent + (negativeExponent ? -exponent : exponent));
    }
  }

  if (digits.empty()) return negative ? -0.0f : 0.0f;
  // A non-zero digit beyond the kept ones only has to push the value off an
  // exact tie, which one more non-zero digit in the next place does.
  if (droppedNonZero) {
    digits.push_back('1');
    --decimalExponent;
  }
  std::string compact = (negative ? "-" : "") + digits + "e" + std::to_string(decimalExponent);

  float value = 0.0f;
  const auto [end, error] = std::from_chars(compact.data(), compact.data() + compact.size(), value);
  if (error != std::errc() || end != compact.data() + compact.size()) return std::nullopt;
  return value;
}
