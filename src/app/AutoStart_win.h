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

// True when the user's or the machine-wide value exists.
bool AutoStartOn(const TAutoStartPlace& place = {});

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
