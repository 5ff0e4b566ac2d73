#include "app/AutoStart_win.h"

namespace tempora {

namespace {

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

bool AutoStartOn(const TAutoStartPlace& place) {
    return ValueExists(place.userRoot, place) || ValueExists(place.machineRoot, place);
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
