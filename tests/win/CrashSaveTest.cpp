// Saves that survive a crash: another program saves skin.ini, War.lst,
// Marks.rec and TimeCheck.lst through the program's own writers in a loop and
// is killed at random moments; after every kill each file is exactly its old
// or its new version, and the temporary files neither pile up nor stop the
// next save. TEMPORA_CRASH_SECONDS sets how long it runs (default 40 s).
#include "helpers/CrashSaveFiles.h"

#include "core/FileSys.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace tempora::crashsave;

namespace {

struct Saver {
    PROCESS_INFORMATION pi{};
    bool Start(const std::wstring& args) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"CrashSaver.exe " + args;
        return CreateProcessW(L"CrashSaver.exe", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &si, &pi) != FALSE;
    }
    ~Saver() {
        if (pi.hProcess) {
            TerminateProcess(pi.hProcess, 9);
            WaitForSingleObject(pi.hProcess, 10000);
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
    }
};

std::string ReadAll(const fs::path& path) {
    std::string bytes;
    tempora::ReadFileBytes(path.string(), bytes);
    return bytes;
}

// Waits `us` microseconds without giving up the processor, so that the kill
// lands anywhere inside a save rather than on scheduler ticks.
void SpinFor(long long us) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(us);
    while (std::chrono::steady_clock::now() < end) {
    }
}

}  // namespace

TEST(CrashSave, EveryKillLeavesEachFileWholeOldOrNew) {
    const fs::path folder = fs::temp_directory_path() / "tempora-crash-save";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file(fs::path(TEMPORA_SOURCE_DIR) / "data" / "skin.ini", folder / "skin.ini");
    const std::string dir = folder.string() + "\\";

    const std::wstring mappingName = L"TemporaCrashSave" + std::to_wstring(GetCurrentProcessId());
    const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              sizeof(SaveState), mappingName.c_str());
    ASSERT_NE(mapping, nullptr);
    auto* state = static_cast<SaveState*>(
        MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SaveState)));
    ASSERT_NE(state, nullptr);

    const std::string skinBase = ReadAll(folder / "skin.ini");
    for (int file = 0; file < kFileCount; ++file)
        ASSERT_TRUE(Save(file, 0, dir)) << kFileNames[file];

    // The folder's closing backslash doubled, so that it does not escape the quote.
    const auto saverArgs = [&](long first) {
        return L"\"" + folder.wstring() + L"\\\\\" " + mappingName + L" " + std::to_wstring(first);
    };

    std::set<std::string> allowed;
    for (const char* name : kFileNames) {
        allowed.insert(name);
        allowed.insert(std::string(name) + kTempSuffix);
    }

    const char* secondsVar = std::getenv("TEMPORA_CRASH_SECONDS");
    const int seconds = secondsVar ? std::atoi(secondsVar) : 40;
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    // Each kill picks a file, waits for its save to begin and lands up to half
    // a round of four saves later; the first run, killed after half a second,
    // times a round.
    long long spanUs = 500000;

    int kills = 0, killsInSave[kFileCount] = {}, newAfterKill[kFileCount] = {};
    int tempsLeft = 0;  // kills after which a temporary file lay beside its target
    long next = 1;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < end) {
        Saver saver;
        ASSERT_TRUE(saver.Start(saverArgs(next)));
        // Kill only once it saves: a kill during the start proves nothing. The
        // wait gives the processor up meanwhile, for the saver to start.
        const ULONGLONG giveUp = GetTickCount64() + 20000;
        while (state->saving == 0 && state->writing[kSkinIni] < next) {
            ASSERT_LT(GetTickCount64(), giveUp) << "the saver never began to save";
            ASSERT_EQ(WaitForSingleObject(saver.pi.hProcess, 1), WAIT_TIMEOUT)
                << "the saver ended by itself";
        }
        if (kills == 0) {
            SpinFor(spanUs);
        } else {
            const LONG target = std::uniform_int_distribution<LONG>(1, kFileCount)(random);
            while (state->saving != target) {
                ASSERT_LT(GetTickCount64(), giveUp) << "the saver stopped saving";
            }
            SpinFor(std::uniform_int_distribution<long long>(0, spanUs)(random));
        }
        ASSERT_TRUE(TerminateProcess(saver.pi.hProcess, 9));
        ASSERT_EQ(WaitForSingleObject(saver.pi.hProcess, 10000), WAIT_OBJECT_0);
        ++kills;

        const int inSave = state->saving - 1;
        if (inSave >= 0)
            ++killsInSave[inSave];
        for (int file = 0; file < kFileCount; ++file) {
            const std::string bytes = ReadAll(folder / kFileNames[file]);
            if (bytes == Expected(file, state->saved[file], skinBase))
                continue;
            ASSERT_EQ(inSave, file)
                << kFileNames[file] << " changed outside its save: " << bytes.size()
                << " bytes after kill " << kills;
            const std::string newer = Expected(file, state->writing[file], skinBase);
            ASSERT_TRUE(bytes == newer)
                << kFileNames[file] << " is neither the old nor the new version after kill "
                << kills << ": " << bytes.size() << " bytes, the new version has " << newer.size();
            state->saved[file] = state->writing[file];  // renamed, but killed before it noted so
            ++newAfterKill[file];
        }
        state->saving = 0;
        bool tempLeft = false;
        for (const auto& entry : fs::directory_iterator(folder)) {
            ASSERT_TRUE(allowed.count(entry.path().filename().string()))
                << "stray file " << entry.path().filename();
            tempLeft = tempLeft || entry.path().extension() == kTempSuffix;
        }
        tempsLeft += tempLeft;
        ASSERT_EQ(state->failures, 0) << "a save failed after kill " << kills;

        long newest = 0;
        for (const LONG g : state->writing)
            newest = std::max<long>(newest, g);
        if (kills == 1)
            spanUs = spanUs / 2 / (newest - next + 1);
        next = newest + 1;
    }

    std::printf(
        "[ crash-save ] %d kills in %d s (seed %u), %d left a temporary file; kills inside "
        "a save:",
        kills, seconds, seed, tempsLeft);
    for (int file = 0; file < kFileCount; ++file)
        std::printf(" %s %d (new %d)", kFileNames[file], killsInSave[file], newAfterKill[file]);
    std::printf("\n");
    for (int file = 0; file < kFileCount; ++file)
        EXPECT_GT(killsInSave[file], 0) << "no kill landed inside a save of " << kFileNames[file];
    // The next save must cope with the temporary file a kill leaves.
    EXPECT_GT(tempsLeft, 0) << "no kill left a temporary file behind";

    // A clean round after all those kills saves every file and leaves no
    // temporary file behind.
    Saver last;
    ASSERT_TRUE(last.Start(saverArgs(next) + L" once"));
    ASSERT_EQ(WaitForSingleObject(last.pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(last.pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    for (int file = 0; file < kFileCount; ++file)
        EXPECT_EQ(ReadAll(folder / kFileNames[file]), Expected(file, next, skinBase))
            << kFileNames[file];
    for (const auto& entry : fs::directory_iterator(folder))
        EXPECT_NE(entry.path().extension(), kTempSuffix)
            << "temporary file left after a clean save: " << entry.path().filename();

    UnmapViewOfFile(state);
    CloseHandle(mapping);
    std::error_code ec;
    fs::remove_all(folder, ec);
}
