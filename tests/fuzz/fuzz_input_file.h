#pragma once

// Fuzz inputs reach the readers the way real files do: written to a file that
// the reader opens by path. Each fuzzing process uses its own pair of files.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

// The reader streams through a 64 KiB buffer. Placing the input just before
// that boundary makes its numbers straddle a refill, where a mistake in
// carrying the unread bytes over would change what is read.
inline constexpr std::size_t readerBufferBytes = 64 * 1024;

class FuzzInputFile {
 public:
  explicit FuzzInputFile(const char* tag)
      : path_(folder() / ("varnix-fuzz-" + std::string(tag) + "-" + std::to_string(::getpid()))) {}
  FuzzInputFile(const FuzzInputFile&) = delete;
  FuzzInputFile& operator=(const FuzzInputFile&) = delete;
  ~FuzzInputFile() { std::remove(path_.c_str()); }

  // Writes `padding` blanks and then the input; aborts if the file cannot be
  // written, since every later result would be meaningless.
  const std::filesystem::path& write(const std::uint8_t* data, std::size_t size, std::size_t padding = 0) {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (file == nullptr) std::abort();
    const std::string blanks(padding, ' ');
    const bool ok = std::fwrite(blanks.data(), 1, blanks.size(), file) == blanks.size() &&
                    std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !ok) std::abort();
    return path_;
  }

 private:
  // Memory-backed where the system has it: the file is rewritten twice per input.
  static std::filesystem::path folder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
  }

  std::filesystem::path path_;
};

// Padding that puts the start of the input a few bytes (chosen by the input
// itself) before the end of the reader's first buffer.
inline std::size_t paddingBeforeBoundary(const std::uint8_t* data, std::size_t size) {
  const std::size_t back = size == 0 ? 1 : 1 + data[0] % 24;
  return readerBufferBytes - back;
}
