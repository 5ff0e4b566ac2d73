// Skin packages: the file layout, the readers of every window, the check for
// skin authors and the skinpack tool.
#include "display/SupFun.h"

#include "core/Bmp.h"
#include "core/FileSys.h"

#include "../../tools/skinpack/SkinPack.cpp"

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace tempora;

namespace {

constexpr uint32_t kKey = Bitmap::kKeyColor;

// Every pixel tells where it lies, so a cut shows exactly which rectangle it
// came from. Never magenta.
uint32_t Code(int x, int y) {
    return static_cast<uint32_t>((x & 0xFF) | (y & 0xFF) << 8 | ((x >> 8) | (y >> 8) << 4) << 16);
}

Bitmap CodedPicture(int w, int h) {
    Bitmap pic;
    pic.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            pic.At(x, y) = Code(x, y);
    return pic;
}

// The picture shows the rectangle (left, top) of the coded picture; pixels
// beyond `covered` columns/rows of it are magenta.
void ExpectCut(const Bitmap& pic, TSkinRect r, int coveredW, int coveredH) {
    ASSERT_EQ(pic.Width(), r.width);
    ASSERT_EQ(pic.Height(), r.height);
    for (int y = 0; y < r.height; ++y) {
        for (int x = 0; x < r.width; ++x) {
            const bool covered = x < coveredW && y < coveredH;
            ASSERT_EQ(pic.At(x, y), covered ? Code(r.left + x, r.top + y) : kKey)
                << "at " << x << "," << y;
        }
    }
}

const std::string kVer = "[VER]\r\nSkinVer=1.0\r\n";

std::string Package(const std::string& keys, const Bitmap& picture) {
    return MakeSkinPackage(keys, EncodeBmp(picture));
}

// A full window skin in the default layout with its own colours.
std::string GoodKeys() {
    return kVer +
           "[BAR]\r\nLEDBkColor=1\r\nLEDDarkColor=2\r\nLEDFontColor=3\r\nLEDBorderColor=4\r\n"
           "FontColor=5\r\n[MENU]\r\nIconBarColor1=6\r\nIconBarColor2=7\r\nSelectionColor1=8\r\n"
           "SelectionColor2=9\r\nSelectionFrameColor=10\r\n";
}

void Le64(std::string& s, size_t at, uint64_t v) {
    for (int i = 0; i < 8; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

bool SameBar(const TBarSkin& a, const TBarSkin& b) {
    return a.width == b.width && a.height == b.height && a.background == b.background &&
           a.btnMenu.up == b.btnMenu.up && a.btnMenu.hot == b.btnMenu.hot &&
           a.btnMin.up == b.btnMin.up && a.btnMin.hot == b.btnMin.hot &&
           a.ledBkColor == b.ledBkColor && a.ledDarkColor == b.ledDarkColor &&
           a.ledFontColor == b.ledFontColor && a.ledBorderColor == b.ledBorderColor &&
           a.fontColor == b.fontColor && a.menu == b.menu;
}

class SkinReader : public ::testing::Test {
protected:
    std::string DataDir() const { return dir_.Path().string() + "/"; }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(WriteFileAtomic(path, bytes));
        return path;
    }
    bool ScratchLeft() const { return FileExists(DataDir() + kSkinScratchName); }

    test::TempDir dir_;
    const Bitmap picture_ = CodedPicture(340, 620);
};

}  // namespace

TEST(SkinPackage, LayoutRoundTripsIgnoringReservedAndTrailingBytes) {
    const std::string bmp = EncodeBmp(CodedPicture(3, 2));
    std::string file = MakeSkinPackage(kVer, bmp);
    ASSERT_EQ(file.size(), 20 + kVer.size() + bmp.size());
    EXPECT_EQ(file.substr(0, 4), std::string(4, '\0'));
    file.replace(0, 4, "\xDE\xAD\xBE\xEF");
    file += "trailing bytes";
    std::string_view keys, picture;
    ASSERT_TRUE(SplitSkinPackage(file, keys, picture));
    EXPECT_EQ(keys, kVer);
    EXPECT_EQ(picture, bmp);

    TSkinPackage parsed;
    ASSERT_TRUE(ParseSkinPackage(file, parsed));
    EXPECT_EQ(parsed.keys, kVer);
    EXPECT_EQ(parsed.picture, CodedPicture(3, 2));

    const std::string empty = MakeSkinPackage("", bmp);
    ASSERT_TRUE(SplitSkinPackage(empty, keys, picture));
    EXPECT_EQ(keys, "");
}

TEST(SkinPackage, DamagedLayoutsAreRefused) {
    const std::string good = Package(kVer, CodedPicture(2, 2));
    const size_t n2At = 12 + kVer.size();
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"empty", ""},
        {"no key list length", good.substr(0, 11)},
        {"key list cut short", good.substr(0, 12 + kVer.size() - 1)},
        {"no picture length", good.substr(0, n2At + 7)},
        {"picture cut short", good.substr(0, good.size() - 1)},
    };
    for (uint64_t n1 : {uint64_t{1} << 31, ~uint64_t{0}, uint64_t{kVer.size() + 1}}) {
        std::string bad = good;
        Le64(bad, 4, n1);
        cases.push_back({"key list length past the end or overflowing", bad});
    }
    for (uint64_t n2 : {~uint64_t{0}, ~uint64_t{0} - n2At, uint64_t{good.size()}}) {
        std::string bad = good;
        Le64(bad, n2At, n2);
        cases.push_back({"picture length past the end or overflowing", bad});
    }
    for (const Case& c : cases) {
        std::string_view keys, picture;
        std::string why;
        EXPECT_FALSE(SplitSkinPackage(c.bytes, keys, picture, &why)) << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
        TSkinPackage parsed;
        EXPECT_FALSE(ParseSkinPackage(c.bytes, parsed)) << c.name;
    }
}

TEST(SkinPackage, CutCopiesUnscaledAndKeysWhatThePictureDoesNotCover) {
    const Bitmap pic = CodedPicture(40, 30);
    Bitmap out;
    ASSERT_TRUE(Cut(pic, out, 5, 7, 10, 4));
    ExpectCut(out, {5, 7, 10, 4}, 10, 4);
    ASSERT_TRUE(Cut(pic, out, 35, 27, 10, 6));  // over the right and bottom edges
    ExpectCut(out, {35, 27, 10, 6}, 5, 3);

    ASSERT_TRUE(Cut(pic, out, -3, -2, 6, 4));  // over the left and top edges
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(out.At(x, y), x >= 3 && y >= 2 ? Code(x - 3, y - 2) : kKey);

    ASSERT_TRUE(Cut(pic, out, 1000, 1000, 3, 3));
    EXPECT_EQ(out, [] {
        Bitmap all;
        all.Create(3, 3, kKey);
        return all;
    }());
    ASSERT_TRUE(Cut(pic, out, 0, 0, 0, 0));
    EXPECT_TRUE(out.Empty());

    const Bitmap before = CodedPicture(2, 2);
    for (TSkinRect r :
         {TSkinRect{0, 0, -1, 5}, TSkinRect{0, 0, 5, -1}, TSkinRect{0, 0, kMaxCutSide + 1, 1},
          TSkinRect{0, 0, 2048, 2049}, TSkinRect{INT32_MAX, INT32_MIN, 5, 5}}) {
        out = before;
        const bool ok = Cut(pic, out, r);
        if (r.left == INT32_MAX) {
            EXPECT_TRUE(ok);  // far away, but a fair size: all see-through
            EXPECT_EQ(out.Width(), 5);
        } else {
            EXPECT_FALSE(ok) << r.width << "x" << r.height;
            EXPECT_EQ(out, before);
        }
    }
}

TEST(SkinPackage, VersionMustBeExactlyOnePointZero) {
    struct Case {
        std::string keys;
        bool window, clock;
    } cases[] = {
        {"[VER]\nSkinVer=1.0", true, false},     {"[ver]\nskinver = 1.0 ", true, false},
        {"[VER]\nSkinVer=\"1.0\"", true, false}, {"[VER]\nClockVer=1.0", false, true},
        {"[VER]\nSkinVer=1.00", false, false},   {"[VER]\nSkinVer=1.0a", false, false},
        {"[VER]\nSkinVer=1", false, false},      {"[VER]\nSkinVer=", false, false},
        {"[VER]\nSkinVer=1,0", false, false},    {"[BAR]\nSkinVer=1.0", false, false},
        {"SkinVer=1.0", false, false},
    };
    for (const Case& c : cases) {
        const TIniFile keys("x", c.keys);
        EXPECT_EQ(SkinVersionOk(keys, TSkinKind::Window), c.window) << c.keys;
        EXPECT_EQ(SkinVersionOk(keys, TSkinKind::Clock), c.clock) << c.keys;
    }
}

TEST_F(SkinReader, KeyListWithoutSectionsDressesTheBarWithTheDefaults) {
    const std::string path = Write("plain.sk", Package(kVer, picture_));
    TBarSkin bar;
    ASSERT_EQ(ReadBarSkin(DataDir(), path, bar), TSkinResult::Applied);
    EXPECT_EQ(bar.width, 332);
    EXPECT_EQ(bar.height, 34);
    ExpectCut(bar.background, {0, 0, 332, 34}, 332, 34);
    ExpectCut(bar.btnMenu.up, {0, 584, 43, 26}, 43, 26);
    ExpectCut(bar.btnMenu.hot, {43, 584, 43, 26}, 43, 26);
    ExpectCut(bar.btnMin.up, {86, 584, 26, 9}, 26, 9);
    ExpectCut(bar.btnMin.hot, {112, 584, 26, 9}, 26, 9);
    EXPECT_EQ(bar.ledBkColor, 0u);
    EXPECT_EQ(bar.ledFontColor, 0x00FFFFu);
    EXPECT_EQ(bar.ledDarkColor, 0x373737u);
    EXPECT_EQ(bar.ledBorderColor, 0xD08130u);
    EXPECT_EQ(bar.fontColor, 0u);
    EXPECT_EQ(bar.menu, TSkinMenu{});
    EXPECT_EQ(bar.menu.selectionFrameColor, 12937777u);
    EXPECT_EQ(bar.btnMenu.place, (TSkinRect{8, 4, 43, 27}));
    EXPECT_EQ(bar.btnMin.place, (TSkinRect{296, 1, 26, 9}));
    EXPECT_EQ(bar.panel, (TSkinRect{53, 4, 116, 26}));
    EXPECT_EQ(bar.led, (TSkinRect{54, 5, 114, 24}));
    EXPECT_EQ(bar.dateLine, (TSkinRect{173, 12, 154, 20}));
    EXPECT_FALSE(ScratchLeft());
}

TEST_F(SkinReader, SectionsAndKeysInAnyCase) {
    const std::string keys = kVer +
                             "[bar]\nbarbkleft=2\nBARBKTOP=3\nBarBkWidth=300\nBarBkHeight=40\n"
                             "ledbkcolor=255\nLEDFontColor=-1\nLEDDarkColor=abc\n"
                             "[Button]\nMenuBtnUpLeft=10\nMenuBtnUpTop=500\nMenuBtnUpWidth=43\n"
                             "MenuBtnUpHeight=27\nminbtnhotleft=338\n"
                             "[menu]\nselectionframecolor=123\n";
    const std::string path = Write("mixed.sk", Package(keys, picture_));
    TBarSkin bar;
    ASSERT_EQ(ReadBarSkin(DataDir(), path, bar), TSkinResult::Applied);
    EXPECT_EQ(bar.width, 300);
    EXPECT_EQ(bar.height, 40);
    ExpectCut(bar.background, {2, 3, 300, 40}, 300, 40);
    ExpectCut(bar.btnMenu.up, {10, 500, 43, 27}, 43, 27);
    ExpectCut(bar.btnMin.hot, {338, 584, 26, 9}, 2, 9);  // past the picture's right edge
    EXPECT_EQ(bar.ledBkColor, 255u);
    EXPECT_EQ(bar.ledFontColor, 0xFFFFFFu);  // the top byte goes
    EXPECT_EQ(bar.ledDarkColor, 0x373737u);  // no integer: the default
    EXPECT_EQ(bar.menu.selectionFrameColor, 123u);
    EXPECT_EQ(bar.menu.iconBarColorStart, 16113325u);
}

TEST_F(SkinReader, BadPackagesLeaveTheBarAsItWasAndNoScratchFile) {
    TBarSkin bar;
    ASSERT_EQ(ReadBarSkin(DataDir(), Write("good.sk", Package(GoodKeys(), picture_)), bar),
              TSkinResult::Applied);
    ASSERT_EQ(bar.ledBkColor, 1u);
    const TBarSkin before = bar;

    const std::string good = Package(GoodKeys(), picture_);
    std::string overflow = good;
    Le64(overflow, 4, ~uint64_t{0} - 3);
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 131 + 7);
    struct Case {
        const char* name;
        std::string bytes;
        TSkinResult expected;
    } cases[] = {
        {"truncated", good.substr(0, good.size() / 2), TSkinResult::Damaged},
        {"length overflows", overflow, TSkinResult::Damaged},
        {"picture not a BMP", MakeSkinPackage(GoodKeys(), "GIF89a not a bitmap at all"),
         TSkinResult::Damaged},
        {"binary key list", Package(binary, picture_), TSkinResult::Rejected},
        {"version 1.00", Package("[VER]\nSkinVer=1.00\n[BAR]\nLEDBkColor=9", picture_),
         TSkinResult::Rejected},
        {"huge rectangle", Package(kVer + "[BAR]\nBarBkWidth=100000\n", picture_),
         TSkinResult::Damaged},
        {"negative button", Package(kVer + "[BUTTON]\nMinBtnUpHeight=-9\n", picture_),
         TSkinResult::Damaged},
        {"empty background", Package(kVer + "[BAR]\nBarBkHeight=0\n", picture_),
         TSkinResult::Damaged},
    };
    for (const Case& c : cases) {
        // A scratch file left by an earlier crash goes too.
        Write(kSkinScratchName, "left over");
        std::string why;
        EXPECT_EQ(ReadBarSkin(DataDir(), Write("bad.sk", c.bytes), bar, &why), c.expected)
            << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
        EXPECT_TRUE(SameBar(bar, before)) << c.name;
        EXPECT_FALSE(ScratchLeft()) << c.name;
    }

    Write(kSkinScratchName, "left over");
    EXPECT_EQ(ReadBarSkin(DataDir(), DataDir() + "none.sk", bar), TSkinResult::Missing);
    EXPECT_EQ(ReadBarSkin(DataDir(), DataDir(), bar), TSkinResult::Missing);  // SkinFile empty
    EXPECT_TRUE(SameBar(bar, before));
    EXPECT_FALSE(ScratchLeft());
}

TEST_F(SkinReader, CalendarWeatherAndDialogFrameSections) {
    const std::string path =
        Write("all.sk", Package(kVer + "[CALENDAR]\nFontColor=77\nMarkColor=5\n"
                                       "[BUTTON]\nMonthBtnUpLeft=200\n"
                                       "[WEATHER]\nFontColor=88\n"
                                       "[WIN]\nCaptionColor=99\n"
                                       "[MENU]\nIconBarColor2=42\n",
                                picture_));
    TCalendarSkin cal;
    ASSERT_EQ(ReadCalendarSkin(DataDir(), path, cal), TSkinResult::Applied);
    ExpectCut(cal.background, {0, 34, 332, 390}, 332, 390);
    ExpectCut(cal.btnYearUp, {138, 584, 11, 11}, 11, 11);
    ExpectCut(cal.btnMonthUp, {200, 584, 11, 11}, 11, 11);
    EXPECT_EQ(cal.fontColor, 77u);
    EXPECT_EQ(cal.markColor, 5u);
    EXPECT_EQ(cal.dayBackColor, 0xFDF7EAu);
    EXPECT_EQ(cal.weekBackColor, 0xFCF1DAu);
    EXPECT_EQ(cal.hightlightBackColor, 0xE4BA5Fu);
    EXPECT_EQ(cal.menu.iconBarColorStop, 42u);

    TWeatherSkin weather;
    ASSERT_EQ(ReadWeatherSkin(DataDir(), path, weather), TSkinResult::Applied);
    ExpectCut(weather.background, {0, 424, 332, 160}, 332, 160);
    ExpectCut(weather.btnGNGUp, {138, 584, 11, 11}, 11, 11);
    EXPECT_EQ(weather.fontColor, 88u);
    EXPECT_EQ(weather.menu.iconBarColorStop, 42u);

    TWinSkin win;
    ASSERT_EQ(ReadWinSkin(DataDir(), path, win), TSkinResult::Applied);
    ExpectCut(win.frame, {0, 0, 100, 50}, 100, 50);
    ExpectCut(win.closeUp, {0, 50, 43, 17}, 43, 17);
    ExpectCut(win.closeHot, {43, 50, 43, 17}, 43, 17);
    EXPECT_EQ(win.captionColor, 99u);

    TWeatherSkin defaults;
    ASSERT_EQ(ReadWeatherSkin(DataDir(), Write("w.sk", Package(kVer, picture_)), defaults),
              TSkinResult::Applied);
    EXPECT_EQ(defaults.fontColor, 0xFFFFFFu);
    EXPECT_FALSE(ScratchLeft());
}

TEST_F(SkinReader, ClockStyles) {
    const std::string face =
        "[VER]\nClockVer=1.0\n[Clock]\nClockLeft=10\nClockTop=20\n"
        "ClockWidth=101\nClockHeight=51\n";
    TClockSkin clock;
    ASSERT_EQ(ReadClockSkin(DataDir(), Write("a.cl", Package(face, picture_)), clock),
              TSkinResult::Applied);
    ExpectCut(clock.face, {10, 20, 101, 51}, 101, 51);
    EXPECT_EQ(clock.centerX, 50);  // the middle of the face
    EXPECT_EQ(clock.centerY, 25);
    EXPECT_TRUE(clock.hourHand.Empty());  // no hand rectangles: only the face shows
    EXPECT_TRUE(clock.secondHand.Empty());

    const std::string hands = face +
                              "[CLOCK]\nCenterX=40\nCenterY=-2147483648\nHourHandLeft=1\n"
                              "HourHandTop=2\nHourHandWidth=7\nHourHandHeight=30\n";
    ASSERT_EQ(ReadClockSkin(DataDir(), Write("b.cl", Package(hands, picture_)), clock),
              TSkinResult::Applied);
    ExpectCut(clock.hourHand, {1, 2, 7, 30}, 7, 30);
    EXPECT_EQ(clock.centerX, 40);
    EXPECT_EQ(clock.centerY, -kMaxCutSide);

    // A window skin's version entry does not make a clock style, nor the reverse.
    const TClockSkin before = clock;
    EXPECT_EQ(ReadClockSkin(DataDir(), Write("c.cl", Package(kVer + face, picture_)), clock),
              TSkinResult::Applied);
    EXPECT_EQ(ReadClockSkin(DataDir(), Write("d.cl", Package(kVer, picture_)), clock),
              TSkinResult::Rejected);
    TBarSkin bar;
    EXPECT_EQ(ReadBarSkin(DataDir(), Write("e.sk", Package(face, picture_)), bar),
              TSkinResult::Rejected);
    // No face: a window of no size.
    clock = before;
    EXPECT_EQ(
        ReadClockSkin(DataDir(), Write("f.cl", Package("[VER]\nClockVer=1.0", picture_)), clock),
        TSkinResult::Damaged);
    EXPECT_EQ(clock.face, before.face);
}

TEST_F(SkinReader, KeysAndPictureReadFromAFile) {
    const std::string path = Write("p.sk", Package(GoodKeys(), picture_));
    std::string keys;
    ASSERT_TRUE(ReadSkinKeys(path, keys));
    EXPECT_EQ(keys, GoodKeys());
    Bitmap pic;
    ASSERT_TRUE(ReadSkinPicture(path, pic));
    EXPECT_EQ(pic, picture_);

    const std::string notBmp = Write("n.sk", MakeSkinPackage(GoodKeys(), "not a bmp"));
    EXPECT_TRUE(ReadSkinKeys(notBmp, keys));
    std::string why;
    EXPECT_FALSE(ReadSkinPicture(notBmp, pic, &why));
    EXPECT_EQ(pic, picture_);
    EXPECT_NE(why.find("picture"), std::string::npos) << why;
    EXPECT_FALSE(ReadSkinKeys(DataDir() + "none.sk", keys));
}

TEST(SkinCheck, ReportsWhatAReaderWouldDefaultOrRefuse) {
    const Bitmap pic = CodedPicture(332, 611);
    const std::string full = kVer +
                             "[BUTTON]\nMenuBtnUpHeight=27\nMenuBtnHotHeight=27\n"
                             "[MENU]\nIconBarColor1=16777215\n";
    const TSkinCheck ok = CheckSkinPackage(Package(full, pic), {});
    EXPECT_TRUE(ok.errors.empty()) << ok.errors.front();
    EXPECT_FALSE(ok.notes.empty());

    struct Case {
        const char* name;
        std::string package;
        std::vector<TSkinWindow> windows;
        std::string error;  // part of the one expected message
    } cases[] = {
        {"outside",
         Package(kVer + "[BUTTON]\nMinBtnHotLeft=320\n", pic),
         {TSkinWindow::Bar},
         "BUTTON/MinBtnHot 320,584 26x9 reaches outside the 332x611 picture"},
        {"below",
         Package(kVer, CodedPicture(332, 590)),
         {TSkinWindow::Weather},
         "BUTTON/YearBtnUp 138,584 11x11 reaches outside"},
        {"no integer",
         Package(kVer + "[BAR]\nBarBkTop=3px\n", pic),
         {TSkinWindow::Bar},
         "BAR/BarBkTop: \"3px\" is not an integer"},
        {"colour",
         Package(kVer + "[CALENDAR]\nMarkColor=-5\n", pic),
         {TSkinWindow::Calendar},
         "CALENDAR/MarkColor: -5 is not a colour"},
        {"version",
         Package("[VER]\nSkinVer=1.00\n", pic),
         {TSkinWindow::Bar},
         "VER/SkinVer is \"1.00\"; it must be exactly \"1.0\""},
        {"no version", Package("[BAR]\n", pic), {TSkinWindow::Bar}, "VER/SkinVer is missing"},
        {"not BMP", MakeSkinPackage(kVer, "BMnope"), {TSkinWindow::Bar}, "picture: "},
        {"truncated", Package(kVer, pic).substr(0, 30), {}, "package: "},
        {"empty",
         Package(kVer + "[WEATHER]\nWeatherBkWidth=0\n", pic),
         {TSkinWindow::Weather},
         "the window's picture is empty"},
        {"frame",
         Package(kVer + "[WIN]\nWinWidth=60\n", pic),
         {TSkinWindow::Win},
         "at least 81x40"},
        {"clock centre",
         Package("[VER]\nClockVer=1.0\n[CLOCK]\nClockWidth=9\nClockHeight=9\n"
                 "CenterX=middle\n",
                 pic),
         {},
         "CLOCK/CenterX: \"middle\" is not an integer"},
    };
    for (const Case& c : cases) {
        const TSkinCheck check = CheckSkinPackage(c.package, c.windows);
        bool found = false;
        for (const std::string& e : check.errors)
            found = found || e.find(c.error) != std::string::npos;
        EXPECT_TRUE(found) << c.name << ": " << ::testing::PrintToString(check.errors);
    }

    // A size the readers refuse shows as such, and as the reader's refusal.
    const TSkinCheck huge =
        CheckSkinPackage(Package(kVer + "[BAR]\nBarBkWidth=5000\n", pic), {TSkinWindow::Bar});
    ASSERT_EQ(huge.errors.size(), 2u);
    EXPECT_NE(huge.errors[0].find("size refused"), std::string::npos);
    EXPECT_EQ(huge.errors[1], "the bar reader refuses the package");
}

TEST(SkinCheck, WindowsFollowTheSections) {
    const Bitmap pic = CodedPicture(332, 611);
    const auto windows = [&](const std::string& keys) {
        std::string names;
        for (const std::string& n : CheckSkinPackage(Package(keys, pic), {}).notes)
            if (n.back() == ':')
                names += n;
        return names;
    };
    EXPECT_EQ(windows(kVer), "bar:calendar:weather:");
    EXPECT_EQ(windows(kVer + "[win]\nWinWidth=100"), "win:");
    EXPECT_EQ(windows(kVer + "[WIN]\n[BAR]\n"), "bar:calendar:weather:");
    EXPECT_EQ(windows("[VER]\nClockVer=1.0\n[clock]\nClockWidth=5"), "clock:");
}

namespace {

struct ToolRun {
    int code;
    std::string out, err;
};

ToolRun SkinPack(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = RunSkinPack(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace

TEST(SkinPackTool, PackUnpackAndCheck) {
    test::TempDir dir;
    const std::string keys = dir.File("keys.ini"), bmp = dir.File("pic.bmp"), sk = dir.File("a.sk");
    ASSERT_TRUE(WriteFileAtomic(keys, kVer));
    ASSERT_TRUE(WriteFileAtomic(bmp, EncodeBmp(CodedPicture(332, 610))));

    ToolRun r = SkinPack({"pack", keys, bmp, sk});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("picture 332x610"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "");

    r = SkinPack({"unpack", sk, dir.File("out")});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(
        SkinPack({"pack", dir.File("out/keys.ini"), dir.File("out/picture.bmp"), dir.File("b.sk")})
            .code,
        0);
    std::string a, b;
    ASSERT_TRUE(ReadFileBytes(sk, a));
    ASSERT_TRUE(ReadFileBytes(dir.File("b.sk"), b));
    EXPECT_EQ(a, b);

    r = SkinPack({"check", sk});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(": OK"), std::string::npos);
    r = SkinPack({"check", sk, "--window", "win", "--window", "bar"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("WIN/Win 0,0 100x50 (default)"), std::string::npos) << r.out;

    // Packing a shorter picture warns, and the check fails.
    ASSERT_TRUE(WriteFileAtomic(bmp, EncodeBmp(CodedPicture(332, 500))));
    r = SkinPack({"pack", keys, bmp, sk});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("warning: BUTTON/MenuBtnUp"), std::string::npos) << r.err;
    r = SkinPack({"check", sk, "--window", "bar"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("error: BUTTON/MenuBtnUp 0,584 43x26 reaches outside"), std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("4 problems"), std::string::npos) << r.out;
}

TEST(SkinPackTool, RefusalsAndExitCodes) {
    test::TempDir dir;
    const std::string keys = dir.File("keys.ini"), notBmp = dir.File("pic.bmp");
    ASSERT_TRUE(WriteFileAtomic(keys, kVer));
    ASSERT_TRUE(WriteFileAtomic(notBmp, "P6 3 2 255 not a BMP"));
    ASSERT_TRUE(WriteFileAtomic(dir.File("bad.sk"), "short"));
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* err;
    } cases[] = {
        {{}, 2, "no command"},
        {{"squash"}, 2, "unknown command"},
        {{"pack", keys}, 2, "pack takes"},
        {{"unpack", dir.File("bad.sk"), ""}, 2, "unpack takes"},
        {{"check"}, 2, "check needs a package"},
        {{"check", dir.File("bad.sk"), "--window", "dock"}, 2, "--window takes"},
        {{"check", dir.File("bad.sk"), dir.File("bad.sk")}, 2, "one package"},
        {{"pack", keys, notBmp, dir.File("x.sk")}, 1, "is no usable BMP file"},
        {{"pack", keys, dir.File("none.bmp"), dir.File("x.sk")}, 1, "cannot read"},
        {{"unpack", dir.File("bad.sk"), dir.File("o")}, 1, "error: package: file too short"},
        {{"check", dir.File("bad.sk")}, 1, "error: package: file too short"},
        {{"check", dir.File("none.sk")}, 1, "cannot read"},
    };
    for (const Case& c : cases) {
        const ToolRun r = SkinPack(c.args);
        EXPECT_EQ(r.code, c.code) << ::testing::PrintToString(c.args);
        EXPECT_NE(r.err.find(c.err), std::string::npos)
            << ::testing::PrintToString(c.args) << ": " << r.err;
    }
    EXPECT_FALSE(FileExists(dir.File("x.sk")));
}
