#include "SmoothCtrls_win.h"

#include <windows.h>

#include <vector>

#include "core/Encoding.h"

namespace tempora {

namespace {

std::string ReadInstallValue(const wchar_t* name) {
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        bytes == 0)
        return {};
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1);
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, buffer.data(),
                     &bytes) != ERROR_SUCCESS)
        return {};
    return WideToUtf8(buffer.data());
}

std::string LoginName() {
    wchar_t name[256 + 1];
    DWORD size = 256 + 1;
    return GetUserNameW(name, &size) ? WideToUtf8(name) : std::string();
}

}  // namespace

TWinSystemLabels::TWinSystemLabels()
    : owner_(ReadInstallValue(L"RegisteredOwner")),
      organization_(ReadInstallValue(L"RegisteredOrganization")) {
    if (owner_.empty())
        owner_ = LoginName();
}

}  // namespace tempora
