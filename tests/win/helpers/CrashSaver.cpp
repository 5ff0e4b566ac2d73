// Saves the program's data files over and over through the program's own
// writers, for the test that kills it in the middle:
//   CrashSaver.exe FOLDER MAPPING FIRST          generations FIRST, FIRST+1, ... until killed
//   CrashSaver.exe FOLDER MAPPING FIRST once     generation FIRST of each file, then exit
// FOLDER ends in "\"; MAPPING names the test's SaveState block. The exit
// code is the number of saves that failed.
#include "CrashSaveFiles.h"

#include "core/Encoding.h"

#include <windows.h>

#include <cwchar>
#include <string>

using namespace tempora::crashsave;

int wmain(int argc, wchar_t** argv) {
    if (argc < 4)
        return -1;
    const std::string dir = tempora::WideToUtf8(argv[1]);
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, argv[2]);
    if (!mapping)
        return -1;
    auto* state = static_cast<SaveState*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SaveState)));
    if (!state)
        return -1;
    const bool once = argc > 4 && std::wcscmp(argv[4], L"once") == 0;
    for (long g = std::wcstol(argv[3], nullptr, 10);; ++g) {
        for (int file = 0; file < kFileCount; ++file) {
            state->writing[file] = g;
            state->saving = file + 1;
            if (!Save(file, g, dir))
                InterlockedIncrement(&state->failures);
            else
                state->saved[file] = g;
            state->saving = 0;
        }
        if (once)
            return static_cast<int>(state->failures);
    }
}
