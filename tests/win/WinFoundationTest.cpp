#include "core/FileSys.h"
#include "win/DataDir_win.h"
#include "win/Gdi_win.h"
#include "core/Handles_win.h"
#include "win/Window_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using namespace tempora;

namespace {
class Probe : public TWindow {
public:
    int created = 0, destroyed = 0;
    bool throwOnText = false;
    bool Make() { return CreateWin(L"TemporaProbe", L"probe", WS_POPUP, 0, 0, 0, 10, 10); }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_CREATE)
            ++created;
        if (msg == WM_GETTEXTLENGTH && throwOnText)
            throw std::runtime_error("probe");
        return TWindow::WndProc(msg, wp, lp);
    }
    void Destroyed() override { ++destroyed; }
};
}  // namespace

TEST(WinFoundation, WindowObjectSeesCreationAndDestruction) {
    Probe p;
    ASSERT_TRUE(p.Make());
    EXPECT_EQ(p.created, 1);
    HWND h = p.Handle();
    ASSERT_TRUE(IsWindow(h));
    DestroyWindow(h);
    EXPECT_EQ(p.destroyed, 1);
    EXPECT_EQ(p.Handle(), nullptr);
    EXPECT_FALSE(IsWindow(h));
}

TEST(WinFoundation, AnExceptionInAHandlerGetsTheDefaultAnswerAndTheWindowLivesOn) {
    Probe p;
    ASSERT_TRUE(p.Make());
    p.throwOnText = true;
    EXPECT_EQ(SendMessageW(p.Handle(), WM_GETTEXTLENGTH, 0, 0), 5);  // "probe"
    EXPECT_TRUE(IsWindow(p.Handle()));
    p.throwOnText = false;
    EXPECT_EQ(GetWindowTextLengthW(p.Handle()), 5);
}

TEST(WinFoundation, OwnersFreeTheirHandleOnceAndHandItOnWhenMoved) {
    GdiObject<HBRUSH> a(CreateSolidBrush(RGB(1, 2, 3)));
    HBRUSH raw = a.Get();
    ASSERT_NE(raw, nullptr);
    GdiObject<HBRUSH> b(std::move(a));
    EXPECT_EQ(a.Get(), nullptr);
    EXPECT_EQ(b.Get(), raw);
    EXPECT_NE(GetObjectType(raw), 0u);
    b = std::move(b);  // self-move keeps it
    EXPECT_NE(GetObjectType(raw), 0u);
    b.Reset();
    EXPECT_EQ(GetObjectType(raw), 0u);  // deleted exactly once, by its last owner

    MenuHandle menu(CreatePopupMenu());
    const HMENU rawMenu = menu.Get();
    ASSERT_TRUE(IsMenu(rawMenu));
    MenuHandle other;
    other = std::move(menu);
    EXPECT_FALSE(menu);
    EXPECT_TRUE(IsMenu(rawMenu));
    other.Reset();
    EXPECT_FALSE(IsMenu(rawMenu));

    // An event: a second handle to it shows when the owner closed its own.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    {
        KernelHandle owner(event);
        KernelHandle taken(owner.Release());
        EXPECT_FALSE(owner);
        EXPECT_EQ(taken.Get(), event);
    }
    EXPECT_FALSE(SetEvent(event));  // closed when `taken` went

    FileHandle none(
        CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(none);  // INVALID_HANDLE_VALUE counts as empty for files
}

TEST(WinFoundation, BackBufferCopiesWhatWasDrawnInOneTransfer) {
    WindowDc screen(nullptr);
    ASSERT_TRUE(screen);
    MemoryDc target(CreateCompatibleDC(screen.Get()));
    GdiObject<HBITMAP> bits(CreateCompatibleBitmap(screen.Get(), 8, 8));
    SelectObjectScope select(target.Get(), bits.Get());
    BackBuffer buffer(target.Get(), 8, 8);
    ASSERT_TRUE(buffer.Ok());
    const RECT all{0, 0, 8, 8};
    GdiObject<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(buffer.Dc(), &all, red.Get());
    EXPECT_NE(GetPixel(target.Get(), 3, 3), RGB(255, 0, 0));
    ASSERT_TRUE(buffer.CopyTo(target.Get()));
    EXPECT_EQ(GetPixel(target.Get(), 3, 3), RGB(255, 0, 0));
}

TEST(WinFoundation, FontsOfInstalledAndMissingFaces) {
    EXPECT_TRUE(FontInstalled(L"宋体"));  // the prefix maps it to a CJK font
    EXPECT_FALSE(FontInstalled(L"No Such Face 12345"));
    GdiObject<HFONT> font(MakeFont(L"宋体", 9, FW_BOLD));
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(font.Get(), sizeof lf, &lf));
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfHeight, -12);  // 9 pt at 96 dpi
}

// The first start from a read-only program folder copies the shipped data
// into the user's folder. A copy cut off half-way (here: only the settings
// and a half-written skin arrived) is completed at the next start, and the
// user's own files are never replaced; once complete it is left alone.
TEST(WinFoundation, AnInterruptedCopyOfTheShippedDataIsCompletedLater) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "tempora-datadir";
    fs::remove_all(root);
    const std::string program = (root / "program").string() + "\\";
    const std::string user = (root / "user").string() + "\\";
    fs::create_directories(root / "program" / "Skin");
    fs::create_directories(root / "user" / "Skin");
    for (const char* name : {"skin.ini", "Holiday.lst", "Skin\\DarkGlass.sk", "Tempora.exe",
                             "PopupMsg.exe", "TemporaHelp.chm"})
        ASSERT_TRUE(WriteFileAtomic(program + name, std::string("shipped ") + name));

    ASSERT_TRUE(WriteFileAtomic(user + "skin.ini", "the user's"));
    ASSERT_TRUE(WriteFileAtomic(user + "Skin\\DarkGlass.sk.copy~", "shipp"));

    EXPECT_TRUE(FillDataDir(program, user));
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(user + "skin.ini", bytes));
    EXPECT_EQ(bytes, "the user's");
    for (const char* name : {"Holiday.lst", "Skin\\DarkGlass.sk"}) {
        ASSERT_TRUE(ReadFileBytes(user + name, bytes)) << name;
        EXPECT_EQ(bytes, std::string("shipped ") + name);
    }
    for (const char* name :
         {"Tempora.exe", "PopupMsg.exe", "TemporaHelp.chm", "Skin\\DarkGlass.sk.copy~"})
        EXPECT_FALSE(FileExists(user + name)) << name;

    // Complete: what the user removes later stays removed.
    ASSERT_TRUE(RemoveFile(user + "Holiday.lst"));
    EXPECT_TRUE(FillDataDir(program, user));
    EXPECT_FALSE(FileExists(user + "Holiday.lst"));
    std::error_code ec;
    fs::remove_all(root, ec);
}
