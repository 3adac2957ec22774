#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessara {

// Whole-file helpers. Failures throw Error with the system's own text.
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
// Writes a temporary file beside the target and renames it over the target,
// so a crash or a full disk never leaves a half-written file.
void WriteFileAtomic(const std::string& path, std::string_view bytes);
// Splits text into lines at CR LF, LF or CR; a final line end adds no line.
std::vector<std::string> SplitLines(std::string_view text);
std::string JoinPath(const std::string& dir, const std::string& name);
std::string ErrnoText(int err);

}  // namespace tessara
