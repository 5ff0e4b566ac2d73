// Where the program and its data live.
#pragma once

#include <string>

namespace tempora {

// The folder of the running executable, ending in "\".
std::string ProgramDir();

// The data directory, ending in "\": the program's folder while it is
// writable, so that the program stays portable; otherwise the user's own
// %APPDATA%\Tempora\, filled on first use with a copy of the shipped data, so
// that settings, tasks and marks are never lost silently.
std::string ResolveDataDir(const std::string& programDir);

// True when a file can be created in the folder.
bool FolderWritable(const std::string& folder);

}  // namespace tempora
