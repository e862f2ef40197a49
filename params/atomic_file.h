#pragma once

#include <filesystem>
#include <string_view>

// Replaces the contents of `file` with `content` so that, whatever happens,
// the file holds either its old contents or the complete new ones: the bytes
// go to a temporary file in the same folder, are flushed to the disk, and the
// temporary file is then renamed over `file`. On any failure the temporary
// file is removed, `file` is left untouched and false is returned.
bool replaceFileContents(const std::filesystem::path& file, std::string_view content);
