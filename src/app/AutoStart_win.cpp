#include "app/AutoStart_win.h"

namespace tempora {

namespace {

// The value's text (expanded), empty when it is missing or not a string.
std::wstring ValueText(HKEY root, const TAutoStartPlace& place) {
    DWORD bytes = 0;
    if (RegGetValueW(root, place.runKey.c_str(), place.value.c_str(), RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS ||
        bytes == 0) {
        return {};
    }
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegGetValueW(root, place.runKey.c_str(), place.value.c_str(), RRF_RT_REG_SZ, nullptr,
                     text.data(), &bytes) != ERROR_SUCCESS) {
        return {};
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

// The full, long form of a path, or the path as it is when it has none.
std::wstring Normalised(const std::wstring& path) {
    wchar_t full[MAX_PATH * 4] = {};
    const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 4, full, nullptr);
    std::wstring out = n > 0 && n < MAX_PATH * 4 ? std::wstring(full, n) : path;
    wchar_t longer[MAX_PATH * 4] = {};
    const DWORD m = GetLongPathNameW(out.c_str(), longer, MAX_PATH * 4);
    if (m > 0 && m < MAX_PATH * 4)
        out.assign(longer, m);
    return out;
}

bool ValueExists(HKEY root, const TAutoStartPlace& place) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, place.runKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG found =
        RegQueryValueExW(key, place.value.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return found == ERROR_SUCCESS;
}

// True when the value is gone afterwards (or never was there).
bool RemoveValue(HKEY root, const TAutoStartPlace& place) {
    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExW(root, place.runKey.c_str(), 0, KEY_SET_VALUE, &key);
    if (opened != ERROR_SUCCESS)
        return !ValueExists(root, place);
    const LONG removed = RegDeleteValueW(key, place.value.c_str());
    RegCloseKey(key);
    return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
}

}  // namespace

std::wstring AutoStartCommand(const std::wstring& exePath) {
    return L"\"" + exePath + L"\" /hide";
}

std::wstring AutoStartProgram(const std::wstring& command) {
    const size_t start = command.find_first_not_of(L" \t");
    if (start == std::wstring::npos)
        return {};
    if (command[start] == L'"') {
        const size_t end = command.find(L'"', start + 1);
        return end == std::wstring::npos ? std::wstring()
                                         : command.substr(start + 1, end - start - 1);
    }
    std::wstring lower = command;
    CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    const size_t exe = lower.find(L".exe", start);
    if (exe != std::wstring::npos)
        return command.substr(start, exe + 4 - start);
    const size_t blank = command.find_first_of(L" \t", start);
    return command.substr(start, blank == std::wstring::npos ? std::wstring::npos : blank - start);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty())
        return false;
    const std::wstring x = Normalised(a), y = Normalised(b);
    return CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(),
                                static_cast<int>(y.size()), TRUE) == CSTR_EQUAL;
}

std::wstring ThisProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool AutoStartOn(const std::wstring& exePath, const TAutoStartPlace& place) {
    for (HKEY root : {place.userRoot, place.machineRoot}) {
        if (SamePath(AutoStartProgram(ValueText(root, place)), exePath))
            return true;
    }
    return false;
}

bool SetAutoStartOn(const std::wstring& exePath, const TAutoStartPlace& place) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(place.userRoot, place.runKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring command = AutoStartCommand(exePath);
    const LONG set = RegSetValueExW(key, place.value.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(command.c_str()),
                                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

TAutoStartOff SetAutoStartOff(const TAutoStartPlace& place) {
    if (!RemoveValue(place.userRoot, place))
        return TAutoStartOff::Failed;
    if (!RemoveValue(place.machineRoot, place))
        return TAutoStartOff::MachineValueKept;
    return TAutoStartOff::Done;
}

}  // namespace tempora
