// The program started in-process, as Main_win.cpp starts it, on a data folder
// of the test's own, and ended before that folder goes.
//
// Two parts, usable alone or together:
//   TempDataDir  an empty folder under %TEMP% named after the running test,
//                removed with the object (WriteIni, File, CopyShipped).
//   AppRun       owns one TClockApp: Start(options) creates its windows
//                hidden, wires its parts and shows the bar unless told not
//                to; Stop() (and the destructor) ends it with its windows,
//                threads and popup.
// AppFixture is the GoogleTest fixture made of both, with an optional fake
// clock that stays installed until the program has ended:
//
//     class BarTest : public test::AppFixture {};
//     TEST_F(BarTest, Something) {
//         WriteIni("[BAR]\r\nLeft=100\r\n");
//         TClockApp& app = StartApp();              // Options(), shown
//         ...
//     }
//
// Options() gives AppOptions with the program and data folder both set to
// the test's folder; change fields (makePlayer, timeSync, magnetCursor, …)
// before StartApp(o). A fixture that needs a fake time calls UseClock(…) in
// its constructor or SetUp; the clock is uninstalled after the program
// ended, so no tick of a closing program reads a clock that is gone.
// Members are destroyed in reverse order: the program first, then the clock,
// then the folder.
#pragma once

#include "app/ClockApp_win.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "win/DataDir_win.h"

#include "WinTestUtil.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace tempora::test {

class TempDataDir {
public:
    // <parent>\<prefix><test name>\, empty (the prefix is UTF-8); the parent is %TEMP% unless a
    // test needs a folder a Unix process beside Wine can find too (Z:\tmp).
    explicit TempDataDir(
        const std::string& prefix = "tempora-",
        const std::filesystem::path& parent = std::filesystem::temp_directory_path()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = prefix + (info ? info->name() : "test");
        for (char& c : name) {
            if (c == '/' || c == '\\')
                c = '-';  // parameterised tests name themselves "Case/0"
        }
        path_ = parent / Utf8ToWide(name);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        std::filesystem::create_directories(path_);
    }
    ~TempDataDir() {
        // A program started from here may still be on its way out.
        WaitFor(
            [&] {
                std::error_code ec;
                std::filesystem::remove_all(path_, ec);
                return !ec;
            },
            5000);
    }
    TempDataDir(const TempDataDir&) = delete;
    TempDataDir& operator=(const TempDataDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder as the program takes it: UTF-8, ending in "\".
    std::string Dir() const { return WideToUtf8(path_.wstring()) + "\\"; }
    std::string File(const std::string& name) const { return Dir() + name; }
    // Writes a data file through the program's own writer.
    void Write(const std::string& name, const std::string& bytes) const {
        ASSERT_TRUE(WriteFileAtomic(File(name), bytes)) << name;
    }
    void WriteIni(const std::string& text) const { Write("skin.ini", text); }
    // Copies a file or folder of the shipped data (as the build laid it
    // beside the tests) into the folder under the same name.
    void CopyShipped(const std::string& name) const {
        namespace fs = std::filesystem;
        const fs::path from = fs::path(Utf8ToWide(ProgramDir())) / Utf8ToWide(name);
        std::error_code ec;
        fs::copy(from, path_ / Utf8ToWide(name),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        ASSERT_FALSE(ec) << name << ": " << ec.message();
    }

private:
    std::filesystem::path path_;
};

class AppRun {
public:
    AppRun() = default;
    ~AppRun() { Stop(); }
    AppRun(const AppRun&) = delete;
    AppRun& operator=(const AppRun&) = delete;

    // Ends a program still running, then starts one with `options` as Main
    // does: created hidden, initialised, and then shown unless `show` is
    // false (the bar's windows exist either way).
    TClockApp& Start(const AppOptions& options, bool show = true) {
        Stop();
        app_ = std::make_unique<TClockApp>(options);
        EXPECT_TRUE(app_->CreateHidden());
        app_->Initialise();
        if (show)
            app_->Show();
        return *app_;
    }
    // Ends the program and hands its last messages out, so that nothing of it
    // reaches the next test.
    void Stop() {
        if (!app_)
            return;
        app_.reset();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    bool Running() const { return app_ != nullptr; }
    TClockApp& App() const { return *app_; }
    TClockApp* operator->() const { return app_.get(); }

private:
    std::unique_ptr<TClockApp> app_;
};

class AppFixture : public ::testing::Test {
protected:
    explicit AppFixture(
        const std::string& folderPrefix = "tempora-app-",
        const std::filesystem::path& folderParent = std::filesystem::temp_directory_path())
        : data_(folderPrefix, folderParent) {}
    ~AppFixture() override {
        run_.Stop();
        if (clock_)
            ClockSource::Install(nullptr);
    }
    void TearDown() override { run_.Stop(); }

    // The test's data folder, ending in "\".
    std::string Data() const { return data_.Dir(); }
    const TempDataDir& Folder() const { return data_; }
    void WriteIni(const std::string& text) const { data_.WriteIni(text); }

    // The program and its data in the test's folder, everything else as Main
    // leaves it.
    AppOptions Options() const {
        AppOptions o;
        o.programDir = o.dataDir = Data();
        return o;
    }
    TClockApp& StartApp(const AppOptions& options, bool show = true) {
        return run_.Start(options, show);
    }
    TClockApp& StartApp() { return run_.Start(Options()); }
    void StopApp() { run_.Stop(); }
    TClockApp& App() const { return run_.App(); }

    // Installs a fake clock at `utcMillis`, `offsetMinutes` east of UTC, for
    // the rest of the test.
    FakeClock& UseClock(int64_t utcMillis, int offsetMinutes = 480) {
        clock_.emplace(utcMillis, offsetMinutes);
        ClockSource::Install(&*clock_);
        return *clock_;
    }

    // Hands out this thread's messages for `ms`.
    static void PumpFor(DWORD ms) {
        WaitFor([] { return false; }, ms);
    }

private:
    // Declared in the order they are needed; destroyed the other way round.
    TempDataDir data_;
    std::optional<FakeClock> clock_;
    AppRun run_;
};

}  // namespace tempora::test
