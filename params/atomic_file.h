#pragma once

#include <filesystem>
#include <string_view>

// Replaces the contents of `file` with `content` so that, whatever happens,
// the file holds either its old contents or the complete new ones: the bytes
// go to a temporary file in the same folder, are flushed to the disk, and the
// temporary file is then renamed over `file`. The replacement keeps the old
// file's permission bits, and its owner and group where this process may set
// them; a symbolic link is written through and stays a link. On any failure
// the temporary file is removed, `file` is left untouched and false is
// returned.
//
// An existing file this user may not write is never replaced. Where the
// folder lets no temporary file be made but the file itself is writable, the
// file is truncated and written in place (that one case cannot promise the
// old or the new contents after a crash); false when any step fails.
bool replaceFileContents(const std::filesystem::path& file, std::string_view content);
