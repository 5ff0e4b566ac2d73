// The analog clock's face: hand angles, placing by anchors, the style
// reader's fallback and menu-only mode, composing face, hands and cap, bad
// styles, and the shipped styles.
#include "display/UnitClock.h"

#include "app/Settings.h"

#include "core/Bmp.h"
#include "core/FileSys.h"
#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "TempDir.h"

using namespace tempora;

namespace {

constexpr uint32_t kKey = Bitmap::kKeyColor;
const std::string kData = std::string(TEMPORA_SOURCE_DIR) + "/data/";

// A package picture: a 40 x 40 grey face on magenta corners at (0, 0), a
// 4 x 16 red hour hand at (40, 0), a 4 x 18 green minute hand at (44, 0), a
// 2 x 20 blue second hand at (48, 0) and a 4 x 4 white cap at (50, 0), each
// with magenta at its bottom-left.
Bitmap Sheet() {
    Bitmap b;
    b.Create(60, 40, kKey);
    b.FillRect(2, 2, 36, 36, 0x808080);
    b.FillRect(41, 0, 2, 8, 0x0000FF);
    b.FillRect(45, 0, 2, 9, 0x00FF00);
    b.FillRect(48, 0, 2, 10, 0xFF0000);
    b.FillRect(51, 1, 2, 2, 0xFFFFFF);
    return b;
}

const char kStyleKeys[] =
    "[VER]\r\nClockVer=1.0\r\n[CLOCK]\r\n"
    "ClockLeft=0\r\nClockTop=0\r\nClockWidth=40\r\nClockHeight=40\r\n"
    "HourHandLeft=40\r\nHourHandTop=0\r\nHourHandWidth=4\r\nHourHandHeight=16\r\n"
    "MinuteHandLeft=44\r\nMinuteHandTop=0\r\nMinuteHandWidth=4\r\nMinuteHandHeight=18\r\n"
    "SecondHandLeft=48\r\nSecondHandTop=0\r\nSecondHandWidth=2\r\nSecondHandHeight=20\r\n"
    "CenterPointLeft=50\r\nCenterPointTop=0\r\nCenterPointWidth=4\r\nCenterPointHeight=4\r\n";

std::string Style(const std::string& extraKeys = {}, const Bitmap& sheet = Sheet()) {
    return MakeSkinPackage(kStyleKeys + extraKeys, EncodeBmp(sheet));
}

TClockSkin SkinOf(const std::string& package) {
    TSkinPackage p;
    EXPECT_TRUE(ParseSkinPackage(package, p));
    const TIniFile keys("SkinDone.tmp", p.keys);
    TClockSkin skin;
    EXPECT_TRUE(ClockSkinFrom(keys, p.picture, skin));
    return skin;
}

}  // namespace

TEST(ClockFace, HandAnglesFollowTheTime) {
    const THandAngles a = HandAngles(EncodeTime(15, 37, 20));
    EXPECT_EQ(a.second, -120);
    EXPECT_EQ(a.minute, -222);
    EXPECT_EQ(a.hour, -468);
    const THandAngles midnight = HandAngles(EncodeDateTime(2026, 12, 10, 0, 0, 0));
    EXPECT_EQ(midnight.hour, 0);
    EXPECT_EQ(midnight.minute, 0);
    EXPECT_EQ(midnight.second, 0);
    // The hour hand steps 6 degrees every 12 minutes.
    EXPECT_EQ(HandAngles(EncodeTime(10, 11, 59)).hour, -300);
    EXPECT_EQ(HandAngles(EncodeTime(10, 12, 0)).hour, -306);
}

TEST(ClockFace, AnchorsPlaceTheFarEdge) {
    EXPECT_EQ(AnchoredEdge(-1, 700, 250), 450);  // bottom edge at 700
    EXPECT_EQ(AnchoredEdge(-1, -1, 250), -1);
    EXPECT_EQ(AnchoredEdge(30, 700, 250), 30);
    EXPECT_EQ(AnchoredEdge(0, 700, 250), 0);
}

TEST(ClockFace, StyleReaderFallsBackAndReadsMenuOnly) {
    test::TempDir dir;
    const std::string data = dir.File("") + std::string(1, kPathSep);
    const std::string clocks = data + "Clock" + kPathSep;
    ASSERT_TRUE(MakeDirectory(clocks));
    TClockSkin skin;
    std::string used;
    // No style at all: nothing is read.
    EXPECT_EQ(ReadClockStyle(data, clocks + "Gone.cl", skin, &used), TSkinResult::Missing);
    EXPECT_TRUE(skin.face.Empty());

    ASSERT_TRUE(WriteFileAtomic(clocks + "A.cl", "not a package"));
    ASSERT_TRUE(WriteFileAtomic(clocks + "B.cl", Style()));
    ASSERT_TRUE(WriteFileAtomic(clocks + "C.cl", Style("CenterX=7\r\n")));
    ASSERT_TRUE(WriteFileAtomic(clocks + "D.cl",
                                MakeSkinPackage("[VER]\r\nClockVer=1.00\r\n", EncodeBmp(Sheet()))));
    struct {
        const char* configured;
        TSkinResult result;
        const char* used;
    } cases[] = {{"C.cl", TSkinResult::Applied, "C.cl"},
                 {"Gone.cl", TSkinResult::Applied, "B.cl"},
                 {"A.cl", TSkinResult::Applied, "B.cl"},
                 {"", TSkinResult::Applied, "B.cl"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configured);
        TClockSkin s;
        EXPECT_EQ(ReadClockStyle(data, clocks + c.configured, s, &used), c.result);
        EXPECT_EQ(used, clocks + c.used);
        EXPECT_EQ(s.face.Width(), 40);
    }
    EXPECT_FALSE(FileExists(data + kSkinScratchName));

    // Menu-only: the package is checked, the CLOCK section left alone.
    TClockSkin kept;
    kept.centerX = 99;
    EXPECT_EQ(ReadClockSkin(data, clocks + "C.cl", kept, nullptr, TClockRead::MenuOnly),
              TSkinResult::Applied);
    EXPECT_EQ(kept.centerX, 99);
    EXPECT_TRUE(kept.face.Empty());
    EXPECT_EQ(ReadClockSkin(data, clocks + "D.cl", kept, nullptr, TClockRead::MenuOnly),
              TSkinResult::Rejected);
    EXPECT_EQ(ReadClockSkin(data, clocks + "Gone.cl", kept, nullptr, TClockRead::MenuOnly),
              TSkinResult::Missing);
    EXPECT_FALSE(FileExists(data + kSkinScratchName));
}

TEST(ClockFace, ComposesFaceHandsAndCapAboutTheCentre) {
    TClockFace face;
    EXPECT_EQ(face.Width(), TClockFace::kInitialWidth);
    TClockSkin skin = SkinOf(Style("SmoothHands=0\r\n"));
    EXPECT_FALSE(skin.smoothHands);
    EXPECT_TRUE(SkinOf(Style()).smoothHands);

    for (bool smooth : {false, true}) {
        SCOPED_TRACE(smooth ? "smooth" : "plain");
        skin.smoothHands = smooth;
        face.Apply(skin);
        ASSERT_EQ(face.Width(), 40);
        ASSERT_EQ(face.Height(), 40);
        EXPECT_EQ(face.CenterX(), 20);
        // 00:00:00 and again: nothing moves the second time.
        face.SetHands(EncodeTime(0, 0, 0));
        EXPECT_EQ(face.SetHands(EncodeTime(0, 0, 0)), TSkinRect{});
        const Bitmap& p = face.Picture();
        // All three hands point up: the second hand, drawn last, covers the
        // others; the cap covers the pivot; the face's corners stay magenta.
        EXPECT_EQ(p.At(19, 13), 0xFF0000u);
        EXPECT_EQ(p.At(20, 19), 0xFFFFFFu);
        EXPECT_EQ(p.At(0, 0), kKey);
        EXPECT_EQ(p.At(20, 30), 0x808080u);

        // Eleven past: the hour hand stays, the minute and second hands
        // move, and only the part they cover is composed again.
        const TSkinRect changed = face.SetHands(EncodeTime(0, 11, 15));
        EXPECT_GT(changed.width, 0);
        EXPECT_LE(changed.width, 40);
        EXPECT_EQ(face.Angles().second, -90);
        EXPECT_EQ(face.Angles().hour, 0);
        EXPECT_EQ(p.At(27, 19), 0xFF0000u);  // the second hand points to 3
        EXPECT_EQ(p.At(19, 13), 0x0000FFu);  // the hour hand shows again
        EXPECT_EQ(p.At(0, 0), kKey);
    }
}

TEST(ClockFace, BadStylesStillGiveAPictureAndReadNothingOutside) {
    TClockFace face;
    Bitmap tiny;
    tiny.Create(1, 1, 0x808080);
    Bitmap bigHand;
    bigHand.Create(120, 700, 0x00FF00);
    bigHand.At(0, 699) = kKey;
    Bitmap hugeFace;
    hugeFace.Create(3000, 1200, 0x808080);

    struct {
        const char* what;
        const Bitmap& face;
        int centerX, centerY;
        int width, height;
    } cases[] = {
        {"tiny face, big hands", tiny, 0, 0, 1, 1},
        {"centre far outside", tiny, -4096, 8192, 1, 1},
        {"huge face, capped", hugeFace, 1500, 600, TClockFace::kMaxSide, TClockFace::kMaxSide}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool smooth : {true, false}) {
            TClockSkin skin;
            skin.face = c.face;
            skin.hourHand = bigHand;
            skin.minuteHand = bigHand;
            skin.secondHand = bigHand;
            skin.centerPoint = bigHand;
            skin.centerX = c.centerX;
            skin.centerY = c.centerY;
            skin.smoothHands = smooth;
            face.Apply(skin);
            EXPECT_EQ(face.Width(), c.width);
            EXPECT_EQ(face.Height(), c.height);
            face.SetHands(EncodeTime(7, 41, 13));
            face.SetHands(EncodeTime(7, 41, 14));
        }
    }
    // A style with no hands shows its face alone.
    TClockSkin bare;
    bare.face.Create(20, 20, 0x123456);
    bare.centerX = 10;
    bare.centerY = 10;
    face.Apply(bare);
    face.SetHands(EncodeTime(3, 0, 0));
    EXPECT_EQ(face.Picture(), bare.face);
}

namespace {

// An edge pixel blended with magenta would show pink on any desktop.
bool Pinkish(uint32_t c) {
    const int r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
    return c != kKey && r > g + 60 && b > g + 60 && std::abs(r - b) < 60;
}

}  // namespace

TEST(ClockFace, ShippedStylesReadCleanlyAndShowNoFringe) {
    const std::vector<std::string> names = ListFiles(kData + "Clock", ".cl");
    ASSERT_GE(names.size(), 3u);
    test::TempDir dir;
    const std::string scratch = dir.File("") + std::string(1, kPathSep);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string path = kData + "Clock/" + name;
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(path, bytes));
        const TSkinCheck check = CheckSkinPackage(bytes, {TSkinWindow::Clock});
        EXPECT_TRUE(check.errors.empty()) << check.errors.front();
        TClockSkin skin;
        ASSERT_EQ(ReadClockSkin(scratch, path, skin), TSkinResult::Applied);
        EXPECT_TRUE(skin.smoothHands);
        // Hands drawn pointing to 12 about the picture's centre: each
        // reaches further above its middle than below it.
        for (const Bitmap* hand : {&skin.hourHand, &skin.minuteHand, &skin.secondHand}) {
            ASSERT_FALSE(hand->Empty());
            EXPECT_EQ(hand->At(0, hand->Height() - 1), kKey);
            int top = hand->Height(), bottom = -1;
            for (int y = 0; y < hand->Height(); ++y)
                for (int x = 0; x < hand->Width(); ++x)
                    if (hand->At(x, y) != kKey) {
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            EXPECT_GT(hand->Height() / 2 - top, bottom - hand->Height() / 2);
        }
        TClockFace face;
        face.Apply(skin);
        face.SetHands(EncodeTime(10, 8, 30));
        const Bitmap& p = face.Picture();
        int pink = 0;
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                pink += Pinkish(p.At(x, y));
        EXPECT_EQ(pink, 0);
        // The window's outline is the face's: the hands change no
        // see-through pixel.
        for (int y = 0; y < p.Height(); ++y)
            for (int x = 0; x < p.Width(); ++x)
                ASSERT_EQ(p.At(x, y) == kKey, skin.face.At(x, y) == kKey) << x << "," << y;
    }
}

TEST(ClockViewPlace, BesideTheBarOrWhereTheUserLeftIt) {
    struct {
        const char* ini;
        int barTop;
        int left, top, bottomAnchor;
    } cases[] = {
        {"", 512, 900, 546, -1},  // 512 is not below the middle of 1024
        {"", 700, 900, -1, 700},  // a low bar: the clock's bottom edge at its top
        {"[CHILD]\r\nLeft=40\r\n", 700, 40, -1, 700},
        {"[CHILD]\r\nTop=-5\r\n", 100, 900, -5, -1},
        {"[CHILD]\r\nTop=300\r\nLeft=5000\r\n", 700, 1180, 300, 700},
        {"[CHILD]\r\nLeft=-20\r\n", 0, 0, 34, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        const TIniFile ini("skin.ini", c.ini);
        const ClockViewPlace p = PlaceClockView(ini, 900, c.barTop, 34, {0, 1024, 0, 1280});
        EXPECT_EQ(p.left, c.left);
        EXPECT_EQ(p.top, c.top);
        EXPECT_EQ(p.bottomAnchor, c.bottomAnchor);
    }
    // A bar on a second monitor below the primary one (y 1024 … 2048) at 1300
    // is in that monitor's upper half; on a monitor left of the primary one a
    // saved left edge stays there.
    const ClockViewPlace second =
        PlaceClockView(TIniFile("skin.ini", ""), 900, 1300, 34, {1024, 1024, 0, 1280});
    EXPECT_EQ(second.top, 1334);
    EXPECT_EQ(second.bottomAnchor, -1);
    const ClockViewPlace left = PlaceClockView(TIniFile("skin.ini", "[CHILD]\r\nLeft=-1500\r\n"),
                                               -1800, 100, 34, {0, 1080, -1920, 3200});
    EXPECT_EQ(left.left, -1500);
}
