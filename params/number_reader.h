#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reads decimal numbers one after another, each after optional white space,
// the way the parameter files are read. The grammar is fixed and does not
// follow the C or C++ locale, so a decimal comma in the user's locale never
// changes what a file means.
//
// The input is streamed through a small buffer: a hostile file (megabytes of
// digits, binary data, a directory) costs at most one pass and constant memory.
class NumberReader {
 public:
  // std::nullopt when the file cannot be opened for reading.
  static std::optional<NumberReader> open(const std::filesystem::path& file);
  explicit NumberReader(std::string_view text);

  // Optional sign and decimal digits, up to the first non-digit; the value
  // must fit 32 bits. std::nullopt when there is no such number here.
  std::optional<int> readInt();
  // Optional sign, digits with an optional '.' and fraction, an optional
  // exponent (e or E, optional sign, digits), up to the first character that
  // cannot continue it; must lie within the float range, so 1e39 and values
  // too small for even a subnormal float give std::nullopt, as do the words
  // nan and inf.
  std::optional<float> readFloat();

 private:
  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  explicit NumberReader(std::FILE* file);

  // The byte `ahead` places after the read position, or -1 past the end.
  int peek(std::size_t ahead = 0);
  void advance() { ++position_; }
  void skipWhitespace();
  bool refill();
  // Consumes bytes while `keep` holds for them, a buffer at a time; returns how many.
  template <typename Keep>
  std::size_t skipWhile(Keep keep);
  // Appends digits to `digits` up to its limit and counts those beyond it.
  struct DigitRun {
    std::size_t kept = 0;
    std::size_t dropped = 0;
  };
  DigitRun takeDigits(std::string& digits, bool& droppedNonZero);

  std::unique_ptr<std::FILE, FileCloser> file_;
  std::vector<char> buffer_;
  std::size_t position_ = 0;
  std::size_t end_ = 0;
};
