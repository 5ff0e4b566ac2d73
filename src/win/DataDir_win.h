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

// Makes `userDir` (ending in "\") a complete copy of the shipped data of
// `programDir`, everything but the programs and the help file. Files already
// there are kept, so the user's own are never replaced. The copy counts as
// done only once its last file is in place (the marker kDataCopiedMarker is
// written last), so one that was interrupted (the machine turned off, the
// disk full) is resumed at the next call; each file is copied under a
// temporary name and renamed, so none is left half-written. False when the
// copy is not complete.
bool FillDataDir(const std::string& programDir, const std::string& userDir);
inline constexpr char kDataCopiedMarker[] = "DataCopied.ok";

// True when a file can be created in the folder.
bool FolderWritable(const std::string& folder);

}  // namespace tempora
