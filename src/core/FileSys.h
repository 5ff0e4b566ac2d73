// File access by UTF-8 path, the same on Linux and Windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tempora {

// Files bigger than this are refused by ReadFileBytes: no data file of the
// program comes near it, and a runaway file must not exhaust memory.
inline constexpr size_t kMaxDataFileBytes = 64u << 20;

bool ReadFileBytes(const std::string& path, std::string& out);
// Writes `bytes` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`, so that a crash leaves either the old or the new file.
// A file the user marked read-only is never replaced (false): Windows refuses
// to, and Wine's rename would not, so the writer asks first wherever it runs.
bool WriteFileAtomic(const std::string& path, std::string_view bytes);
bool FileExists(const std::string& path);  // a regular file
bool DirectoryExists(const std::string& path);
bool MakeDirectory(const std::string& path);  // true when it exists afterwards
bool RemoveFile(const std::string& path);
// Names (not paths) of the regular files in a folder whose names end with
// `suffix` (compared without regard to ASCII case), sorted.
std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix);

// The folder separator of the platform.
#ifdef _WIN32
inline constexpr char kPathSep = '\\';
#else
inline constexpr char kPathSep = '/';
#endif

}  // namespace tempora
