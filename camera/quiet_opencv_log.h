#pragma once

#include <opencv2/core/utils/logger.hpp>

// Lowers OpenCV's log level for one scope and restores it after: for calls
// whose failures we handle ourselves, where OpenCV's own messages would only
// be noise on the terminal.
class QuietOpenCvLog {
 public:
  explicit QuietOpenCvLog(cv::utils::logging::LogLevel level = cv::utils::logging::LOG_LEVEL_ERROR)
      : previous_(cv::utils::logging::setLogLevel(level)) {}
  ~QuietOpenCvLog() { cv::utils::logging::setLogLevel(previous_); }
  QuietOpenCvLog(const QuietOpenCvLog&) = delete;
  QuietOpenCvLog& operator=(const QuietOpenCvLog&) = delete;

 private:
  cv::utils::logging::LogLevel previous_;
};
