// Line files: GBK text with CR LF line ends, read and written whole.
#pragma once

#include <string>
#include <vector>

namespace tempora {

// Splits at CR LF, lone LF or lone CR; a final line end adds no empty line.
// Returns false (and no lines) when the file cannot be read.
bool ReadLineFile(const std::string& path, std::vector<std::string>& utf8Lines);
// Writes every line followed by CR LF, atomically.
bool WriteLineFile(const std::string& path, const std::vector<std::string>& utf8Lines);

std::vector<std::string> SplitLines(const std::string& text);

}  // namespace tempora
