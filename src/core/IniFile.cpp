#include "IniFile.h"

#include "Encoding.h"
#include "FileSys.h"
#include "LineFile.h"
#include "Text.h"

#include <cstring>

namespace tempora {

namespace {

// The section named by a header line, or false when the line is no header.
bool SectionOf(const std::string& line, std::string& name) {
    const std::string_view t = TrimBlanks(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    const size_t close = t.find(']');
    if (close == std::string_view::npos)
        return false;
    name = TrimBlanks(t.substr(1, close - 1));
    return true;
}

// Splits "key=value"; comment lines and lines without "=" are no entries.
bool EntryOf(const std::string& line, std::string& key, std::string& value) {
    const std::string_view t = TrimBlanks(line);
    if (t.empty() || t[0] == ';' || t[0] == '[')
        return false;
    const size_t eq = t.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = TrimBlanks(t.substr(0, eq));
    value = TrimBlanks(t.substr(eq + 1));
    return !key.empty();
}

}  // namespace

TIniFile::TIniFile(std::string path) : path_(std::move(path)) {
    std::string raw;
    if (ReadFileBytes(path_, raw))
        lines_ = SplitLines(raw);
}

TIniFile::TIniFile(std::string path, const std::string& bytes)
    : path_(std::move(path)), lines_(SplitLines(bytes)) {}

bool TIniFile::Find(const std::string& section, const std::string& key, std::string& raw) const {
    const std::string gbkSection = Utf8ToGbk(section), gbkKey = Utf8ToGbk(key);
    bool inSection = false;
    std::string name, k, v;
    for (const std::string& line : lines_) {
        if (SectionOf(line, name)) {
            inSection = EqualsNoCase(name, gbkSection);
        } else if (inSection && EntryOf(line, k, v) && EqualsNoCase(k, gbkKey)) {
            raw = v;
            return true;
        }
    }
    return false;
}

bool TIniFile::SectionExists(const std::string& section) const {
    const std::string gbkSection = Utf8ToGbk(section);
    std::string name;
    for (const std::string& line : lines_) {
        if (SectionOf(line, name) && EqualsNoCase(name, gbkSection))
            return true;
    }
    return false;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
    std::string raw;
    return Find(section, key, raw);
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    std::string raw;
    if (!Find(section, key, raw))
        return def;
    // A value in matching double quotes is read without them.
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"')
        raw = raw.substr(1, raw.size() - 2);
    std::string text = GbkToUtf8(raw);
    // Cut at kMaxText characters, never inside a UTF-8 sequence.
    size_t end = 0;
    for (size_t chars = 0; chars < kMaxText && end < text.size(); ++chars)
        end += Utf8SequenceLength(text, end);
    text.resize(end);
    return text;
}

bool TIniFile::ParseInteger(const std::string& text, int32_t& out) {
    std::string_view digits = text;
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
        digits.remove_prefix(1);
    int base = 10;
    if (digits.starts_with('$')) {
        base = 16;
        digits.remove_prefix(1);
    } else if (digits.starts_with("0x") || digits.starts_with("0X")) {
        base = 16;
        digits.remove_prefix(2);
    }
    uint64_t magnitude = 0;
    // Hexadecimal may spell the full unsigned 32 bits (colours, masks).
    if (!ParseUnsigned(digits, magnitude, base) ||
        magnitude > (base == 16 ? 0xFFFFFFFFu : 0x80000000u)) {
        return false;
    }
    int64_t value = static_cast<int64_t>(magnitude);
    if (negative)
        value = -value;
    if (base == 16 && !negative && value > INT32_MAX)
        value -= 0x100000000LL;
    if (value > INT32_MAX || value < INT32_MIN)
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key,
                              int32_t def) const {
    std::string raw;
    int32_t value;
    return Find(section, key, raw) && ParseInteger(raw, value) ? value : def;
}

bool TIniFile::ReadBool(const std::string& section, const std::string& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::string TIniFile::WithValue(const std::string& bytes, const std::string& section,
                                const std::string& key, const std::string& value) {
    const std::string gbkSection = Utf8ToGbk(section), gbkKey = Utf8ToGbk(key);
    std::string gbkValue = Utf8ToGbk(value);
    // One line per key: a line break in a value would split it into garbage.
    for (char& c : gbkValue) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const std::string entry = gbkKey + "=" + gbkValue;
    std::vector<std::string> lines = SplitLines(bytes);
    bool inSection = false, done = false;
    size_t insertAt = std::string::npos;  // after the last entry of the section
    std::string name, k, v;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        if (SectionOf(lines[i], name)) {
            if (inSection)
                break;
            inSection = EqualsNoCase(name, gbkSection);
            if (inSection)
                insertAt = i + 1;
        } else if (inSection) {
            if (EntryOf(lines[i], k, v) && EqualsNoCase(k, gbkKey)) {
                lines[i] = entry;
                done = true;
            } else if (!TrimBlanks(lines[i]).empty()) {
                insertAt = i + 1;
            }
        }
    }
    if (!done) {
        if (insertAt != std::string::npos) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
        } else {
            if (!lines.empty() && !TrimBlanks(lines.back()).empty())
                lines.emplace_back();
            lines.push_back("[" + gbkSection + "]");
            lines.push_back(entry);
        }
    }
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
    // Start from the file as it is now, not as it was when this object was made.
    std::string raw;
    if (!ReadFileBytes(path_, raw) && (FileExists(path_) || DirectoryExists(path_))) {
        throw EIniWriteError(path_);
    }
    const std::string text = WithValue(raw, section, key, value);
    if (!WriteFileAtomic(path_, text))
        throw EIniWriteError(path_);
    lines_ = SplitLines(text);
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

}  // namespace tempora
