#ifdef _WIN32

#include "SkinPack.h"
#include "core/Encoding.h"

#include <windows.h>

#include <sstream>

namespace {

// A console gets the text as UTF-16, whatever its code page; a file or pipe
// gets the UTF-8 bytes.
void Emit(DWORD stdHandle, const std::string& utf8) {
    const HANDLE h = GetStdHandle(stdHandle);
    if (h == nullptr || h == INVALID_HANDLE_VALUE || utf8.empty())
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(h, &mode)) {
        const std::wstring wide = tempora::Utf8ToWide(utf8);
        WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(tempora::WideToUtf8(argv[i]));
    std::ostringstream out, err;
    const int code = tempora::RunSkinPack(args, out, err);
    Emit(STD_OUTPUT_HANDLE, out.str());
    Emit(STD_ERROR_HANDLE, err.str());
    return code;
}

#endif
