// The skins that ship in data/: every package passes the check that
// `skinpack check` runs, dresses its windows at the sizes their layout
// expects, keeps its texts readable and has no magenta fringe.
#include "display/SupFun.h"

#include "core/FileSys.h"
#include "core/IniFile.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace tempora;

namespace {

const std::string kData = std::string(TEMPORA_SOURCE_DIR) + "/data/";

std::vector<std::string> WindowSkins() {
    std::vector<std::string> paths;
    for (const std::string& name : ListFiles(kData + "Skin", ".sk")) {
        if (!IsSkinVariantName(name))
            paths.push_back(kData + "Skin/" + name);
    }
    return paths;
}

std::string FramePackage() {
    const TIniFile ini(kData + "skin.ini");
    return kData + ini.ReadString("SKIN", "WinFile", "");
}

int R(uint32_t c) {
    return c & 0xFF;
}
int G(uint32_t c) {
    return c >> 8 & 0xFF;
}
int B(uint32_t c) {
    return c >> 16 & 0xFF;
}

// Relative luminance and contrast ratio as the web's accessibility rules
// define them; 4.5 is their threshold for small text.
double Luminance(uint32_t c) {
    const auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(R(c)) + 0.7152 * lin(G(c)) + 0.0722 * lin(B(c));
}
double Contrast(uint32_t a, uint32_t b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The lowest contrast of `text` against any pixel of the rectangle.
double WorstContrast(const Bitmap& pic, TSkinRect r, uint32_t text) {
    double worst = 21;
    for (int y = r.top; y < r.top + r.height; ++y)
        for (int x = r.left; x < r.left + r.width; ++x)
            worst = std::min(worst, Contrast(pic.At(x, y), text));
    return worst;
}

// An edge pixel blended with the see-through magenta shows as a pink
// fringe on any desktop: red and blue well above green, and close together.
void ExpectNoFringe(const Bitmap& pic, const std::string& what) {
    int fringe = 0;
    for (int y = 0; y < pic.Height(); ++y) {
        for (int x = 0; x < pic.Width(); ++x) {
            const uint32_t c = pic.At(x, y);
            if (c == Bitmap::kKeyColor)
                continue;
            bool edge = false;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
                edge = edge || pic.GetPixel(x + dx, y + dy) == Bitmap::kKeyColor;
            if (edge && std::min(R(c), B(c)) - G(c) > 60 && std::abs(R(c) - B(c)) < 80)
                ++fringe;
        }
    }
    EXPECT_EQ(fringe, 0) << what;
}

int Keyed(const Bitmap& pic) {
    return static_cast<int>(
        std::count(pic.Pixels(), pic.Pixels() + pic.Width() * pic.Height(), Bitmap::kKeyColor));
}

}  // namespace

TEST(ShippedSkins, EveryPackagePassesTheCheck) {
    const std::vector<std::string> skins = WindowSkins();
    EXPECT_GE(skins.size(), 3u);
    for (const std::string& path : skins) {
        std::string bytes;
        ASSERT_TRUE(ReadFileBytes(path, bytes)) << path;
        const TSkinCheck check = CheckSkinPackage(
            bytes, {TSkinWindow::Bar, TSkinWindow::Calendar, TSkinWindow::Weather});
        EXPECT_EQ(check.errors, std::vector<std::string>{}) << path;
    }
    std::string frame;
    ASSERT_TRUE(ReadFileBytes(FramePackage(), frame)) << FramePackage();
    EXPECT_EQ(CheckSkinPackage(frame, {TSkinWindow::Win}).errors, std::vector<std::string>{});
}

TEST(ShippedSkins, SkinIniNamesShippedPackages) {
    const TIniFile ini(kData + "skin.ini");
    const std::string skin = ini.ReadString("SKIN", "SkinFile", "");
    EXPECT_TRUE(FileExists(kData + "Skin/" + skin)) << skin;
    EXPECT_TRUE(FileExists(FramePackage())) << FramePackage();
}

TEST(ShippedSkins, WindowSkinsDressEveryWindowReadably) {
    test::TempDir dir;
    const std::string dataDir = dir.Path().string() + "/";
    for (const std::string& path : WindowSkins()) {
        SCOPED_TRACE(path);
        TBarSkin bar;
        ASSERT_EQ(ReadBarSkin(dataDir, path, bar), TSkinResult::Applied);
        EXPECT_EQ(bar.width, 332);
        EXPECT_EQ(bar.height, 34);
        for (const TSkinButton* b : {&bar.btnMenu, &bar.btnMin}) {
            EXPECT_EQ(b->up.Width(), b->place.width);
            EXPECT_EQ(b->up.Height(), b->place.height);
            EXPECT_EQ(b->hot.Width(), b->place.width);
            EXPECT_EQ(b->hot.Height(), b->place.height);
            EXPECT_NE(b->up, b->hot) << "hover must show";
        }
        // Rounded ends: the corners are see-through, the places of the
        // panel and the date line are not.
        EXPECT_EQ(bar.background.At(0, 0), Bitmap::kKeyColor);
        EXPECT_EQ(bar.background.At(331, 33), Bitmap::kKeyColor);
        EXPECT_LT(Keyed(bar.background), 60);
        for (TSkinRect r : {bar.panel, bar.dateLine}) {
            for (int y = r.top; y < r.top + r.height; ++y)
                for (int x = r.left; x < r.left + r.width; ++x)
                    ASSERT_NE(bar.background.At(x, y), Bitmap::kKeyColor) << x << "," << y;
        }
        // The date line's 12-pixel text sits in the middle of its 20 rows;
        // ornaments may run along its first and last row.
        const TSkinRect text{bar.dateLine.left, bar.dateLine.top + 1, bar.dateLine.width,
                             bar.dateLine.height - 2};
        EXPECT_GE(WorstContrast(bar.background, text, bar.fontColor), 4.5);
        EXPECT_GE(Contrast(bar.ledFontColor, bar.ledBkColor), 7.0);
        EXPECT_NE(bar.ledBorderColor, bar.ledBkColor);
        // Black menu texts stay readable on the highlight.
        EXPECT_GE(Contrast(bar.menu.selectionColorStop, 0), 7.0);
        EXPECT_GE(Contrast(bar.menu.selectionColorStart, 0), 7.0);

        TCalendarSkin cal;
        ASSERT_EQ(ReadCalendarSkin(dataDir, path, cal), TSkinResult::Applied);
        EXPECT_EQ(cal.background.Width(), 332);
        EXPECT_EQ(cal.background.Height(), 390);
        EXPECT_EQ(cal.btnYearUp.Width(), 11);
        EXPECT_EQ(cal.btnMonthUp.Height(), 11);
        // The day numbers are drawn dark grey (0x313131) on the day colour.
        EXPECT_GE(Contrast(cal.dayBackColor, 0x313131), 7.0);
        EXPECT_GE(Contrast(cal.weekBackColor, 0x313131), 7.0);
        // The info lines under the grid.
        EXPECT_GE(WorstContrast(cal.background, {8, 320, 316, 64}, cal.fontColor), 4.5);

        TWeatherSkin weather;
        ASSERT_EQ(ReadWeatherSkin(dataDir, path, weather), TSkinResult::Applied);
        EXPECT_EQ(weather.background.Width(), 332);
        EXPECT_EQ(weather.background.Height(), 160);

        for (const Bitmap* pic :
             {&bar.background, &bar.btnMenu.up, &bar.btnMenu.hot, &bar.btnMin.up, &bar.btnMin.hot,
              &cal.background, &cal.btnYearUp, &cal.btnMonthUp, &weather.background})
            ExpectNoFringe(*pic, path);
    }
    EXPECT_FALSE(FileExists(dataDir + kSkinScratchName));
}

TEST(ShippedSkins, DialogFrame) {
    test::TempDir dir;
    TWinSkin win;
    ASSERT_EQ(ReadWinSkin(dir.Path().string() + "/", FramePackage(), win), TSkinResult::Applied);
    EXPECT_EQ(win.frame.Width(), 100);
    EXPECT_EQ(win.frame.Height(), 50);
    EXPECT_EQ(win.closeUp.Width(), 43);
    EXPECT_EQ(win.closeHot.Height(), 17);
    EXPECT_NE(win.closeUp, win.closeHot);
    // The caption strip (top 28 rows) carries the title in the caption colour.
    EXPECT_GE(WorstContrast(win.frame, {10, 4, 80, 22}, win.captionColor), 4.5);
    for (const Bitmap* pic : {&win.frame, &win.closeUp, &win.closeHot})
        ExpectNoFringe(*pic, "frame");
}

namespace {

// Each picture a window takes from a skin, in one list per window.
std::vector<const Bitmap*> PicturesOf(const TBarSkin& s) {
    return {&s.background, &s.btnMenu.up, &s.btnMenu.hot, &s.btnMin.up, &s.btnMin.hot};
}
std::vector<const Bitmap*> PicturesOf(const TCalendarSkin& s) {
    return {&s.background, &s.btnYearUp, &s.btnMonthUp};
}
std::vector<const Bitmap*> PicturesOf(const TWeatherSkin& s) {
    return {&s.background, &s.btnGNGUp};
}
std::vector<const Bitmap*> PicturesOf(const TWinSkin& s) {
    return {&s.frame, &s.closeUp, &s.closeHot};
}
std::vector<const Bitmap*> PicturesOf(const TClockSkin& s) {
    return {&s.face, &s.hourHand, &s.minuteHand, &s.secondHand, &s.centerPoint};
}

// The companion at `percent` passes the check, has no fringe, and is what
// the reader draws from at that scale: the package read at the scale shows
// the companion's own pictures, pixel for pixel.
template <typename T, typename Read>
void ExpectCompanionServes(const std::string& path, int percent, std::vector<TSkinWindow> windows,
                           Read read) {
    const std::string companion = SkinVariantPath(path, percent);
    SCOPED_TRACE(companion);
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(companion, bytes));
    EXPECT_EQ(CheckSkinPackage(bytes, windows).errors, std::vector<std::string>{});
    test::TempDir dir;
    const std::string dataDir = dir.Path().string() + "/";
    T own, scaled;
    ASSERT_EQ(read(dataDir, companion, own, TScale{}), TSkinResult::Applied);
    ASSERT_EQ(read(dataDir, path, scaled, TScale{percent * TScale::kBaseDpi / 100}),
              TSkinResult::Applied);
    const std::vector<const Bitmap*> a = PicturesOf(own), b = PicturesOf(scaled);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_TRUE(*a[i] == *b[i]) << "picture " << i << " is not the companion's";
        ExpectNoFringe(*a[i], companion);
    }
}

}  // namespace

TEST(ShippedSkins, LargerCompanionsServeTheirScales) {
    std::vector<std::string> clocks;
    for (const std::string& name : ListFiles(kData + "Clock", ".cl")) {
        if (!IsSkinVariantName(name))
            clocks.push_back(kData + "Clock/" + name);
    }
    ASSERT_GE(clocks.size(), 3u);
    for (int percent : kSkinVariantPercents) {
        for (const std::string& path : WindowSkins()) {
            const std::vector<TSkinWindow> all = {TSkinWindow::Bar, TSkinWindow::Calendar,
                                                  TSkinWindow::Weather};
            ExpectCompanionServes<TBarSkin>(
                path, percent, all,
                [](const std::string& d, const std::string& p, TBarSkin& o, TScale s) {
                    return ReadBarSkin(d, p, o, nullptr, s);
                });
            ExpectCompanionServes<TCalendarSkin>(
                path, percent, all,
                [](const std::string& d, const std::string& p, TCalendarSkin& o, TScale s) {
                    return ReadCalendarSkin(d, p, o, nullptr, s);
                });
            ExpectCompanionServes<TWeatherSkin>(
                path, percent, all,
                [](const std::string& d, const std::string& p, TWeatherSkin& o, TScale s) {
                    return ReadWeatherSkin(d, p, o, nullptr, s);
                });
        }
        ExpectCompanionServes<TWinSkin>(FramePackage(), percent, {TSkinWindow::Win},
                                        [](const std::string& d, const std::string& p, TWinSkin& o,
                                           TScale s) { return ReadWinSkin(d, p, o, nullptr, s); });
        for (const std::string& path : clocks) {
            ExpectCompanionServes<TClockSkin>(
                path, percent, {TSkinWindow::Clock},
                [](const std::string& d, const std::string& p, TClockSkin& o, TScale s) {
                    return ReadClockSkin(d, p, o, nullptr, TClockRead::Full, s);
                });
        }
    }
}
