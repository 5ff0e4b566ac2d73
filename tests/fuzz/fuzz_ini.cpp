// Arbitrary bytes as a settings file: reads of every type must not crash, and
// setting a key must yield text from which that key reads back.
#include "core/IniFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const tempora::TIniFile ini("fuzz.ini", bytes);
    for (const char* section : {"BAR", "skin", "LED", ""}) {
        for (const char* key : {"Left", "SkinFile", "FontName", "Tr", ""}) {
            (void)ini.ReadInteger(section, key, 7);
            (void)ini.ReadBool(section, key, true);
            (void)ini.ReadString(section, key, "d");
        }
    }
    const std::string updated = tempora::TIniFile::WithValue(bytes, "BAR", "Left", "692");
    if (tempora::TIniFile("fuzz.ini", updated).ReadInteger("BAR", "Left", 0) != 692)
        std::abort();
    int32_t v;
    (void)tempora::TIniFile::ParseInteger(bytes, v);
    return 0;
}
