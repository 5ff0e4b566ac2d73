// The settings file format: "[Section]" lines, "Key=Value" lines, names
// compared without regard to case, GBK text. Every object reads the file once
// when made; every write re-reads the file, changes one line and replaces the
// file atomically, so that other lines (and other writers' keys) survive.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace tempora {

class EIniWriteError : public std::runtime_error {
public:
    explicit EIniWriteError(const std::string& path)
        : std::runtime_error("Unable to write to " + path) {}
};

class TIniFile {
public:
    explicit TIniFile(std::string path);
    // A reader over settings text already in memory (GBK bytes); writes go to `path`.
    TIniFile(std::string path, const std::string& bytes);

    const std::string& FileName() const { return path_; }

    // Texts longer than kMaxText characters are cut there.
    static constexpr size_t kMaxText = 2047;

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // Decimal, or hexadecimal after "0x" or "$"; anything else, or a value
    // beyond 32 bits, gives the default.
    int32_t ReadInteger(const std::string& section, const std::string& key, int32_t def) const;
    // Read as an integer: non-zero is true, a non-number gives the default.
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;

    // Throw EIniWriteError when the file cannot be written.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    static bool ParseInteger(const std::string& text, int32_t& out);
    // The file text `bytes` with one key set: the key's line replaced, or
    // added at the end of its section, or a new section appended.
    static std::string WithValue(const std::string& bytes, const std::string& section,
                                 const std::string& key, const std::string& value);

private:
    bool Find(const std::string& section, const std::string& key, std::string& raw) const;

    std::string path_;
    std::vector<std::string> lines_;  // raw GBK lines
};

}  // namespace tempora
