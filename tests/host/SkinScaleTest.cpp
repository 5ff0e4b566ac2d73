// Skins at a display scale: which picture a reader draws from, and the
// scaled bar's places and digits.
#include "display/SupFun.h"

#include "core/Bmp.h"
#include "core/FileSys.h"
#include "display/myLEDFont.h"

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace tempora;

namespace {

constexpr TScale Percent(int p) {
    return TScale{p * TScale::kBaseDpi / 100};
}

const std::string kData = std::string(TEMPORA_SOURCE_DIR) + "/data/";

}  // namespace

TEST(SkinScale, ChoosesTheCompanionAtOrAboveTheScaleElseTheLargest) {
    struct Case {
        int dpi;
        std::vector<int> available;
        int chosen;
    };
    const Case cases[] = {
        {96, {150, 200}, 100},  {72, {150, 200}, 100},  {120, {150, 200}, 150},
        {144, {150, 200}, 150}, {168, {150, 200}, 200}, {192, {150, 200}, 200},
        {288, {150, 200}, 200}, {106, {150, 200}, 150},  // 110 %: scaled down from 150
        {144, {200}, 200},      {168, {150}, 150},      {192, {150}, 150},
        {144, {}, 100},         {192, {}, 100},         {145, {150, 200}, 200},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseSkinVariant(TScale{c.dpi}, c.available), c.chosen)
            << c.dpi << " dpi of " << c.available.size() << " companions";
    }
}

TEST(SkinScale, CompanionNames) {
    EXPECT_EQ(SkinVariantPath("C:\\T\\Skin\\Dark.sk", 200), "C:\\T\\Skin\\Dark@2x.sk");
    EXPECT_EQ(SkinVariantPath("/t/Clock/Classic.cl", 150), "/t/Clock/Classic@1.5x.cl");
    EXPECT_EQ(SkinVariantPath("/t.d/Frame", 150), "/t.d/Frame@1.5x");
    for (const char* name : {"Dark@2x.sk", "Dark@1.5x.sk", "A.B@2x.cl"})
        EXPECT_TRUE(IsSkinVariantName(name)) << name;
    for (const char* name : {"Dark.sk", "@2x.sk", "Dark@3x.sk", "Dark@2x.sk.bak.sk", "Frame.sk"})
        EXPECT_FALSE(IsSkinVariantName(name)) << name;
}

namespace {

// A bar package whose picture is one colour, its rectangles at `percent`.
std::string BarPackage(int percent, uint32_t colour, int sheetPercent = -1,
                       const char* version = "1.0") {
    const TScale s = Percent(percent);
    const TScale sheet = Percent(sheetPercent < 0 ? percent : sheetPercent);
    std::string keys = std::string("[VER]\nSkinVer=") + version + "\n[BAR]\n";
    const auto rect = [&](const char* prefix, TSkinRect r) {
        const TSkinRect q = ScaleSkinRect(r, s);
        keys += std::string(prefix) + "Left=" + std::to_string(q.left) + "\n" + prefix +
                "Top=" + std::to_string(q.top) + "\n" + prefix +
                "Width=" + std::to_string(q.width) + "\n" + prefix +
                "Height=" + std::to_string(q.height) + "\n";
    };
    rect("BarBk", {0, 0, 332, 34});
    keys += "[BUTTON]\n";
    rect("MenuBtnUp", {0, 40, 43, 27});
    rect("MenuBtnHot", {43, 40, 43, 27});
    rect("MinBtnUp", {86, 40, 26, 9});
    rect("MinBtnHot", {112, 40, 26, 9});
    Bitmap picture;
    picture.Create(sheet.Px(140 * 3), sheet.Px(70), colour);
    return MakeSkinPackage(keys, EncodeBmp(picture));
}

}  // namespace

TEST(SkinScale, ReaderDrawsFromTheRightPicture) {
    constexpr uint32_t kBase = 0x112233, kOne5 = 0x445566, kTwo = 0x778899;
    enum class V { None, Good, WrongSize, Damaged, OtherVersion, WrongCut };
    const auto make = [&](int percent, V v) -> std::string {
        const uint32_t colour = percent == 150 ? kOne5 : kTwo;
        switch (v) {
            case V::Good:
                return BarPackage(percent, colour);
            case V::WrongSize:
                return BarPackage(percent, colour, 100);
            case V::Damaged:
                return BarPackage(percent, colour).substr(0, 300);
            case V::OtherVersion:
                return BarPackage(percent, colour, -1, "1.1");
            case V::WrongCut:  // the sheet is right, the rectangles are at 100 %
                return BarPackage(100, colour, percent);
            case V::None:
                break;
        }
        return {};
    };
    struct Case {
        int percent;
        V at150, at200;
        uint32_t from;
    };
    const Case cases[] = {
        {100, V::Good, V::Good, kBase},
        {125, V::Good, V::Good, kOne5},
        {150, V::Good, V::Good, kOne5},
        {175, V::Good, V::Good, kTwo},
        {200, V::Good, V::Good, kTwo},
        {250, V::Good, V::Good, kTwo},
        {110, V::None, V::Good, kTwo},
        {150, V::None, V::None, kBase},
        {200, V::Good, V::None, kOne5},
        // A companion chosen but unusable: the package's own picture, scaled.
        {150, V::WrongSize, V::Good, kBase},
        {150, V::Damaged, V::Good, kBase},
        {150, V::OtherVersion, V::Good, kBase},
        {200, V::Good, V::WrongCut, kBase},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.percent) + " % with companions " +
                     std::to_string(static_cast<int>(c.at150)) + "/" +
                     std::to_string(static_cast<int>(c.at200)));
        test::TempDir dir;
        const std::string path = dir.File("Bar.sk");
        ASSERT_TRUE(WriteFileAtomic(path, BarPackage(100, kBase)));
        for (auto [percent, v] : {std::pair{150, c.at150}, {200, c.at200}}) {
            if (v != V::None) {
                ASSERT_TRUE(WriteFileAtomic(SkinVariantPath(path, percent), make(percent, v)));
            }
        }
        TBarSkin bar;
        const TScale s = Percent(c.percent);
        ASSERT_EQ(ReadBarSkin(dir.Path().string() + "/", path, bar, nullptr, s),
                  TSkinResult::Applied);
        EXPECT_EQ(bar.background.Width(), s.Px(332));
        EXPECT_EQ(bar.background.Height(), s.Px(34));
        EXPECT_EQ(bar.btnMenu.up.Width(), s.Px(43));
        EXPECT_EQ(bar.btnMin.hot.Height(), s.Px(9));
        EXPECT_EQ(bar.background.At(bar.width / 2, bar.height / 2), c.from);
        EXPECT_EQ(bar.btnMin.up.At(0, 0), c.from);
        EXPECT_FALSE(FileExists(dir.Path().string() + "/" + kSkinScratchName));
    }
}

TEST(SkinScale, TooLargeAtTheScaleIsDamagedAndLeavesTheSkin) {
    test::TempDir dir;
    Bitmap picture;
    picture.Create(3000, 40, 0x123456);
    const std::string path = dir.File("Wide.sk");
    ASSERT_TRUE(WriteFileAtomic(
        path, MakeSkinPackage("[VER]\nSkinVer=1.0\n[BAR]\nBarBkWidth=3000\n", EncodeBmp(picture))));
    TBarSkin bar;
    ASSERT_EQ(ReadBarSkin(dir.Path().string() + "/", path, bar, nullptr, Percent(150)),
              TSkinResult::Damaged);
    EXPECT_EQ(bar.width, 332);
    EXPECT_TRUE(bar.background.Empty());
}

namespace {

// The shipped bar skins and a plain one, read at `s`.
std::map<std::string, TBarSkin> BarsAt(TScale s, const std::string& dataDir) {
    std::map<std::string, TBarSkin> bars;
    TBarSkin plain;
    plain.background.Create(332, 34, 0x202020);
    bars["plain"] = ScaledBarSkin(plain, s);
    for (const std::string& name : ListFiles(kData + "Skin", ".sk")) {
        if (IsSkinVariantName(name))
            continue;
        TBarSkin skin;
        EXPECT_EQ(ReadBarSkin(dataDir, kData + "Skin/" + name, skin, nullptr, s),
                  TSkinResult::Applied);
        bars[name] = std::move(skin);
    }
    return bars;
}

bool Inside(const TSkinRect& inner, const TSkinRect& outer) {
    return inner.width > 0 && inner.height > 0 && inner.left >= outer.left &&
           inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

}  // namespace

TEST(SkinScale, BarPlacesAndDigitsFitAtEveryScale) {
    test::TempDir dir;
    for (int percent : {100, 125, 150, 175, 200}) {
        const TScale s = Percent(percent);
        for (const auto& [name, bar] : BarsAt(s, dir.Path().string() + "/")) {
            SCOPED_TRACE(name + " at " + std::to_string(percent) + " %");
            EXPECT_EQ(bar.width, s.Px(332));
            EXPECT_EQ(bar.height, s.Px(34));
            EXPECT_EQ(bar.background.Width(), bar.width);
            const TSkinRect all{0, 0, bar.width, bar.height};
            for (const TSkinRect& r :
                 {bar.btnMenu.place, bar.btnMin.place, bar.panel, bar.dateLine})
                EXPECT_TRUE(Inside(r, all)) << r.left << "," << r.top << " " << r.width;
            EXPECT_TRUE(Inside(bar.led, bar.panel));

            // The digits take the scaled cell and their ink stays inside
            // the LED, with room on every side.
            TLEDFontNum led;
            SetUpBarLed(led, bar.led.left, bar.led.top, bar.led.width, bar.led.height, bar.ledCell);
            EXPECT_EQ(led.WordWidth(), bar.ledCell.wordWidth);
            EXPECT_EQ(led.Thick(), bar.ledCell.thick);
            EXPECT_EQ(led.Space(), bar.ledCell.space);
            EXPECT_EQ(led.MarkSpace(), bar.ledCell.markSpace);
            EXPECT_GE(led.OffSetX(), 0);
            EXPECT_GE(led.OffSetY(), 0);
            EXPECT_LE(led.OffSetX() + BarLedInkWidth(bar.ledCell), bar.led.width);
            EXPECT_LE(led.OffSetY() + led.WordHeight(), bar.led.height);
            // Larger scales draw larger digits.
            EXPECT_GE(led.WordHeight(), s.Px(19) - 1);
        }
    }
}

TEST(SkinScale, LEDCellKeys) {
    struct Case {
        const char* keys;
        TLEDCell cell;  // what the bar takes
        bool error;     // what the check says
    };
    const TLEDCell def;
    const Case cases[] = {
        {"", def, false},
        {"LEDWordWidth=14\nLEDMarkSpace=4\n", {14, 19, 3, 3, 4}, false},
        {"LEDThick=2\nLEDWordHeight=17\n", {15, 17, 2, 3, 0}, false},
        {"LEDMarkSpace=5\n", {15, 19, 3, 3, 5}, false},  // 90 + 10 + 12 = 112
        {"LEDWordWidth=19\nLEDSpace=5\n", def, true},    // 5 * 24 + 16 > 114
        {"LEDMarkSpace=7\n", def, true},                 // 90 + 14 + 12 > 114
        {"LEDThick=8\n", def, true},                     // 2 * 8 >= 15
        {"LEDWordHeight=30\n", def, true},               // taller than the LED
        {"LEDMarkSpace=-1\n", def, true},
        {"LEDSpace=-2\n", def, true},
        {"LEDThick=0\n", def, true},
    };
    const Bitmap picture = [] {
        Bitmap p;
        p.Create(340, 620, 0x101010);
        return p;
    }();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        const std::string keys = std::string("[VER]\nSkinVer=1.0\n[BAR]\n") + c.keys;
        TBarSkin bar;
        ASSERT_TRUE(BarSkinFrom(TIniFile("x", keys), picture, bar));
        EXPECT_EQ(bar.ledCell, c.cell);
        const TSkinCheck check =
            CheckSkinPackage(MakeSkinPackage(keys, EncodeBmp(picture)), {TSkinWindow::Bar});
        EXPECT_EQ(!check.errors.empty(), c.error);
    }
}
