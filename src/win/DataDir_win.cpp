#include "win/DataDir_win.h"

#include "core/Encoding.h"
#include "core/FileSys.h"

#include <windows.h>
#include <shlobj.h>

namespace tempora {

namespace {

bool IsProgramFile(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos)
        return false;
    std::wstring ext = name.substr(dot);
    CharLowerW(ext.data());
    return ext == L".exe" || ext == L".dll" || ext == L".chm" || ext == L".pdb";
}

// Copies the shipped data (everything but the programs) without overwriting.
void CopyShippedData(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((from + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CopyShippedData(from + name + L"\\", to + name + L"\\");
        } else if (!IsProgramFile(name)) {
            CopyFileW((from + name).c_str(), (to + name).c_str(), TRUE);
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

}  // namespace

std::string ProgramDir() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.resize(path.rfind(L'\\') + 1);
    return WideToUtf8(path);
}

bool FolderWritable(const std::string& folder) {
    const std::wstring probe = Utf8ToWide(folder) + L"~tempora-write-probe.tmp";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

std::string ResolveDataDir(const std::string& programDir) {
    if (FolderWritable(programDir))
        return programDir;
    wchar_t appData[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData))) {
        return programDir;
    }
    const std::wstring userDir = std::wstring(appData) + L"\\Tempora\\";
    const std::string userDirUtf8 = WideToUtf8(userDir);
    if (!DirectoryExists(userDirUtf8))
        CopyShippedData(Utf8ToWide(programDir), userDir);
    return DirectoryExists(userDirUtf8) ? userDirUtf8 : programDir;
}

}  // namespace tempora
