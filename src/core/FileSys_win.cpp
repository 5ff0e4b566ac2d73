#include "FileSys.h"
#include "Encoding.h"

#include <windows.h>

#include "core/Handles_win.h"

#include <algorithm>

namespace tempora {

namespace {

DWORD Attributes(const std::string& path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str());
}
}  // namespace

bool ReadFileBytes(const std::string& path, std::string& out) {
    out.clear();
    FileHandle f(CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.Get(), &size) ||
        static_cast<uint64_t>(size.QuadPart) > kMaxDataFileBytes) {
        return false;
    }
    out.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!out.empty() &&
        (!ReadFile(f.Get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr) ||
         got != out.size())) {
        out.clear();
        return false;
    }
    return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes) {
    const std::wstring target = Utf8ToWide(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const std::wstring tmp = target + L".tmp~";
    bool ok;
    {
        FileHandle f(CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!f)
            return false;
        DWORD written = 0;
        ok = bytes.empty() || (WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                         &written, nullptr) &&
                               written == bytes.size());
        ok = ok && FlushFileBuffers(f.Get());
    }
    ok = ok && MoveFileExW(tmp.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileW(tmp.c_str());
    return ok;
}

bool FileExists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const std::string& path) {
    return CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) || DirectoryExists(path);
}

bool RemoveFile(const std::string& path) {
    return DeleteFileW(Utf8ToWide(path).c_str()) != 0;
}

std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix) {
    std::vector<std::string> names;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
        pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW fd;
    const FindHandle find(FindFirstFileW(Utf8ToWide(pattern).c_str(), &fd));
    if (!find)
        return names;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string name = WideToUtf8(fd.cFileName);
        if (name.size() < suffix.size())
            continue;
        const std::string_view tail(name.data() + name.size() - suffix.size(), suffix.size());
        if (CompareStringOrdinal(Utf8ToWide(tail).c_str(), -1, Utf8ToWide(suffix).c_str(), -1,
                                 TRUE) == CSTR_EQUAL) {
            names.push_back(name);
        }
    } while (FindNextFileW(find.Get(), &fd));
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tempora
