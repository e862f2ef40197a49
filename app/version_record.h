#pragma once

#include <optional>
#include <string>
#include <string_view>

// The program's version data, kept as "Key=Value" lines in a resource.
struct VersionRecord {
  std::string fileVersion;
  std::string productVersion;
  std::string fileDescription;
  std::string productName;
};

// Nothing when the text lacks a file or product version.
std::optional<VersionRecord> parseVersionRecord(std::string_view text);
