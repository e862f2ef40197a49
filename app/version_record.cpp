#include "app/version_record.h"

namespace {

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t\r");
  return s.substr(first, last - first + 1);
}

}  // namespace

std::optional<VersionRecord> parseVersionRecord(std::string_view text) {
  VersionRecord record;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = trim(line.substr(0, equals));
    const std::string value(trim(line.substr(equals + 1)));
    if (key == "FileVersion")
      record.fileVersion = value;
    else if (key == "ProductVersion")
      record.productVersion = value;
    else if (key == "FileDescription")
      record.fileDescription = value;
    else if (key == "ProductName")
      record.productName = value;
  }
  if (record.fileVersion.empty() || record.productVersion.empty()) return std::nullopt;
  return record;
}
