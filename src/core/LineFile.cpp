#include "LineFile.h"

#include "Encoding.h"
#include "FileSys.h"

namespace tempora {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text, start, i - start);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text, start, std::string::npos);
    return lines;
}

bool ReadLineFile(const std::string& path, std::vector<std::string>& utf8Lines) {
    utf8Lines.clear();
    std::string raw;
    if (!ReadFileBytes(path, raw))
        return false;
    utf8Lines = SplitLines(GbkToUtf8(raw));
    return true;
}

bool WriteLineFile(const std::string& path, const std::vector<std::string>& utf8Lines) {
    std::string text;
    for (const std::string& line : utf8Lines) {
        text += line;
        text += "\r\n";
    }
    return WriteFileAtomic(path, Utf8ToGbk(text));
}

}  // namespace tempora
