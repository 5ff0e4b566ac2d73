#include "ToolMain.h"

#include "Encoding.h"

#include <windows.h>

#include <sstream>

namespace tempora {

namespace {

void Emit(DWORD stdHandle, const std::string& utf8) {
    const HANDLE h = GetStdHandle(stdHandle);
    if (h == nullptr || h == INVALID_HANDLE_VALUE || utf8.empty())
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(h, &mode)) {
        const std::wstring wide = Utf8ToWide(utf8);
        WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

std::string ExeDir() {
    std::wstring exe(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, exe.data(), static_cast<DWORD>(exe.size()));
        if (n == 0)
            return ".";
        if (n < exe.size()) {
            exe.resize(n);
            break;
        }
        exe.resize(exe.size() * 2);
    }
    const size_t slash = exe.find_last_of(L"\\/");
    return slash == std::wstring::npos ? "." : WideToUtf8(exe.substr(0, slash));
}

}  // namespace

int RunTool(int argc, wchar_t** argv, const ToolBody& body) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(WideToUtf8(argv[i]));
    std::ostringstream out, err;
    const int code = body(args, ExeDir(), out, err);
    Emit(STD_OUTPUT_HANDLE, out.str());
    Emit(STD_ERROR_HANDLE, err.str());
    return code;
}

}  // namespace tempora
