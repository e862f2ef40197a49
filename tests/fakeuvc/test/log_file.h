#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// The lines the fake camera appends to FAKEUVC_LOG from the moment this is
// made; earlier runs and tests leave theirs before it.
class LogTail {
 public:
  LogTail() {
    const char* path = std::getenv("FAKEUVC_LOG");
    path_ = path != nullptr ? path : "";
    start_ = size();
  }

  bool configured() const { return !path_.empty(); }

  std::vector<std::string> lines() const {
    std::ifstream file(path_, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(start_));
    std::vector<std::string> result;
    for (std::string line; std::getline(file, line);) result.push_back(line);
    return result;
  }

  // The lines that start with `prefix`.
  std::vector<std::string> lines(const std::string& prefix) const {
    std::vector<std::string> result;
    for (const std::string& line : lines())
      if (line.rfind(prefix, 0) == 0) result.push_back(line);
    return result;
  }

 private:
  std::size_t size() const {
    std::ifstream file(path_, std::ios::binary | std::ios::ate);
    return file ? static_cast<std::size_t>(file.tellg()) : 0;
  }

  std::string path_;
  std::size_t start_ = 0;
};
