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

// A file is copied under this suffix and renamed into place, so a copy cut
// off half-way never leaves a truncated file under the real name.
constexpr wchar_t kCopySuffix[] = L".copy~";

bool CopyOneFile(const std::wstring& from, const std::wstring& to) {
    if (GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;  // the user's own, or copied before
    const std::wstring temp = to + kCopySuffix;
    if (!CopyFileW(from.c_str(), temp.c_str(), FALSE))
        return false;
    if (MoveFileExW(temp.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temp.c_str());
    return false;
}

// Copies the shipped data (everything but the programs) without replacing
// anything; true when every file is there afterwards.
bool CopyShippedData(const std::wstring& from, const std::wstring& to) {
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((from + L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool complete = true;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            complete = CopyShippedData(from + name + L"\\", to + name + L"\\") && complete;
        } else if (!IsProgramFile(name)) {
            complete = CopyOneFile(from + name, to + name) && complete;
        }
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return complete;
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

bool FillDataDir(const std::string& programDir, const std::string& userDir) {
    const std::string marker = userDir + kDataCopiedMarker;
    if (FileExists(marker))
        return true;
    // A folder without the marker was cut off half-way (or left by a version
    // that did not write it): what is missing is copied now.
    if (!CopyShippedData(Utf8ToWide(programDir), Utf8ToWide(userDir)))
        return false;
    return WriteFileAtomic(marker, "The shipped data was copied here completely.\r\n");
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
    FillDataDir(programDir, userDirUtf8);
    return DirectoryExists(userDirUtf8) ? userDirUtf8 : programDir;
}

}  // namespace tempora
