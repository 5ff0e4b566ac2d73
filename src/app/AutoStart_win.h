// "Windows启动时运行": the clock starts hidden when the user logs on. The
// entry is the user's own Run value, which needs no administrator; a value an
// older installation left in the machine-wide Run key also counts as on.
#pragma once

#include <windows.h>

#include <string>

namespace tempora {

// Where the entries live; tests point it at keys of their own.
struct TAutoStartPlace {
    HKEY userRoot = HKEY_CURRENT_USER;
    HKEY machineRoot = HKEY_LOCAL_MACHINE;
    std::wstring runKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    std::wstring value = L"Tempora";
};

// The text of the entry: the quoted program path and " /hide".
std::wstring AutoStartCommand(const std::wstring& exePath);

// The program a Run value's command starts: the quoted path, or without
// quotes the text up to ".exe" (or to the first blank).
std::wstring AutoStartProgram(const std::wstring& command);

// True when two paths name the same file: compared in full, long form,
// without regard to case.
bool SamePath(const std::wstring& a, const std::wstring& b);

// The path of the running program.
std::wstring ThisProgramPath();

// True when the user's or the machine-wide value starts the program at
// `exePath`; a value that starts another copy, or anything else, is not
// this program's entry.
bool AutoStartOn(const std::wstring& exePath, const TAutoStartPlace& place = {});

// Writes the user's value; false when it cannot be written.
bool SetAutoStartOn(const std::wstring& exePath, const TAutoStartPlace& place = {});

enum class TAutoStartOff {
    Done,              // no entry is left
    MachineValueKept,  // the user's is gone, the machine-wide one needs an administrator
    Failed,            // the user's value could not be removed
};
// Removes the user's value and, where allowed, the machine-wide one.
TAutoStartOff SetAutoStartOff(const TAutoStartPlace& place = {});

}  // namespace tempora
