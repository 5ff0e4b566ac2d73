// The bar's face, natively: places from the skin, the LED inside its panel,
// partial composing, hover and press, and what a new second repaints.
#include "app/BarFace.h"
#include "core/FileSys.h"
#include "display/SmoothFont.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tempora;

namespace {

const std::string kData = std::string(TEMPORA_SOURCE_DIR) + "/data/";

// The default layout with plain pictures: a grey background, buttons that
// light up when hovered.
TBarSkin PlainSkin() {
    TBarSkin skin;
    skin.background.Create(skin.width, skin.height, 0x404040);
    for (TSkinButton* b : {&skin.btnMenu, &skin.btnMin}) {
        b->up.Create(b->place.width, b->place.height, 0x606060);
        b->hot.Create(b->place.width, b->place.height, 0xC0C0C0);
    }
    skin.ledFontColor = 0x00FFFF;
    return skin;
}

// Every look the bar can wear: the plain one and each shipped skin.
std::vector<TBarSkin> AllSkins() {
    std::vector<TBarSkin> skins;
    skins.push_back(PlainSkin());
    for (const std::string& name : ListFiles(kData + "Skin", ".sk")) {
        TBarSkin skin;
        if (!IsSkinVariantName(name) &&
            ReadBarSkin(::testing::TempDir(), kData + "Skin/" + name, skin) == TSkinResult::Applied)
            skins.push_back(std::move(skin));
    }
    return skins;
}

struct Invalidation {
    TSkinRect area;
    bool now;
    bool operator==(const Invalidation&) const = default;
};

class BarFaceTest : public ::testing::Test {
protected:
    TBlockGlyphs glyphs_;
    TBarFace face_{glyphs_, nullptr};
    std::vector<Invalidation> seen_;

    void SetUp() override {
        face_.OnInvalidate = [this](TSkinRect r, bool now) { seen_.push_back({r, now}); };
    }
};

}  // namespace

TEST_F(BarFaceTest, DigitsStayInsideTheTimePanelInEverySkin) {
    const std::vector<TBarSkin> skins = AllSkins();
    ASSERT_GE(skins.size(), 4u);
    for (const TBarSkin& skin : skins) {
        face_.Apply(skin);
        face_.ShowTime(EncodeDateTime(2024, 2, 10, 8, 8, 8));  // ink from edge to edge
        const TSkinRect panel = face_.Place(TBarPart::Panel);
        const TLEDFontNum& led = face_.LED;
        EXPECT_GE(led.Left(), panel.left + 1);
        EXPECT_GE(led.Top(), panel.top + 1);
        EXPECT_LE(led.Left() + led.Width(), panel.left + panel.width - 1);
        EXPECT_LE(led.Top() + led.Height(), panel.top + panel.height - 1);
        // The panel's frame is whole on every side.
        const Bitmap& pic = face_.Compose({0, 0, face_.Width(), face_.Height()});
        const int right = panel.left + panel.width - 1, bottom = panel.top + panel.height - 1;
        for (int y = panel.top; y <= bottom; ++y) {
            ASSERT_EQ(pic.At(panel.left, y), skin.ledBorderColor) << y;
            ASSERT_EQ(pic.At(right, y), skin.ledBorderColor) << y;
        }
        for (int x = panel.left; x <= right; ++x) {
            ASSERT_EQ(pic.At(x, panel.top), skin.ledBorderColor) << x;
            ASSERT_EQ(pic.At(x, bottom), skin.ledBorderColor) << x;
        }
        // Lit digits show, centred: as much room on the left as on the right.
        int first = -1, last = -1;
        for (int x = panel.left; x <= right; ++x) {
            for (int y = panel.top; y <= bottom; ++y) {
                if (pic.At(x, y) == skin.ledFontColor) {
                    first = first < 0 ? x : first;
                    last = x;
                }
            }
        }
        ASSERT_GE(first, 0);
        EXPECT_LE(std::abs((first - panel.left) - (right - last)), 2);
    }
}

TEST_F(BarFaceTest, PartsAreFoundWhereTheSkinPutsThem) {
    TBarSkin skin = PlainSkin();
    skin.btnMin.place = {300, 2, 20, 8};  // a skin may move a button
    skin.btnMin.up.Create(20, 8, 0x606060);
    face_.Apply(skin);
    const struct {
        int x, y;
        TBarPart part;
    } cases[] = {
        {8, 4, TBarPart::MenuButton},   {50, 30, TBarPart::MenuButton},
        {51, 4, TBarPart::Background},  {300, 2, TBarPart::MinButton},
        {296, 1, TBarPart::Background}, {53, 4, TBarPart::Panel},
        {168, 29, TBarPart::Panel},     {169, 4, TBarPart::Background},
        {173, 12, TBarPart::DateLine},  {326, 31, TBarPart::DateLine},
        {0, 0, TBarPart::Background},   {331, 33, TBarPart::Background},
    };
    for (const auto& c : cases)
        EXPECT_EQ(face_.HitTest(c.x, c.y), c.part) << c.x << "," << c.y;
}

TEST_F(BarFaceTest, HoverAndPressLightAButtonAndRepaintOnlyWhatChanged) {
    face_.Apply(PlainSkin());
    const TSkinRect menu = face_.Place(TBarPart::MenuButton);
    seen_.clear();
    face_.SetHot(TBarPart::Panel);  // only buttons light up
    EXPECT_TRUE(seen_.empty());
    face_.SetHot(TBarPart::MenuButton);
    EXPECT_EQ(seen_, (std::vector<Invalidation>{{{}, false}, {menu, false}}));
    EXPECT_EQ(face_.Compose(menu).At(menu.left + 3, menu.top + 3), 0xC0C0C0u);
    face_.SetPressed(TBarPart::MenuButton);
    face_.SetHot(TBarPart::None);
    EXPECT_EQ(face_.Compose(menu).At(menu.left + 3, menu.top + 3), 0xC0C0C0u);  // still pressed
    face_.SetPressed(TBarPart::None);
    EXPECT_EQ(face_.Compose(menu).At(menu.left + 3, menu.top + 3), 0x606060u);
}

TEST_F(BarFaceTest, ComposingAPartOfTheBarGivesWhatComposingAllGives) {
    face_.Apply(PlainSkin());
    face_.ShowTime(EncodeDateTime(2024, 2, 10, 8, 0, 0));
    face_.SetHot(TBarPart::MinButton);
    const Bitmap whole = face_.Compose({0, 0, face_.Width(), face_.Height()});
    face_.SetHot(TBarPart::None);
    // Areas that reach into a control, across two, and over nothing at all.
    for (TSkinRect area : {TSkinRect{300, 3, 4, 4}, TSkinRect{40, 10, 150, 3},
                           TSkinRect{1, 1, 2, 2}, TSkinRect{0, 0, 332, 34}}) {
        face_.SetHot(TBarPart::MinButton);
        face_.Compose(area);
        EXPECT_EQ(face_.Picture(), whole) << area.left << "," << area.top;
        face_.SetHot(TBarPart::None);
    }
}

TEST_F(BarFaceTest, ANewSecondPushesOnlyTheDigitsAndANewDayTheDateLineToo) {
    face_.Apply(PlainSkin());
    face_.ShowTime(EncodeDateTime(2024, 2, 9, 23, 59, 58));
    const TLEDFontNum& led = face_.LED;
    const TSkinRect digits{led.Left(), led.Top(), led.Width(), led.Height()};
    seen_.clear();
    EXPECT_FALSE(face_.ShowTime(EncodeDateTime(2024, 2, 9, 23, 59, 59)));
    EXPECT_EQ(seen_, (std::vector<Invalidation>{{digits, true}}));
    seen_.clear();
    EXPECT_TRUE(face_.ShowTime(EncodeDateTime(2024, 2, 10, 0, 0, 0)));
    ASSERT_FALSE(seen_.empty());
    EXPECT_EQ(seen_[0], (Invalidation{digits, true}));
    for (size_t i = 1; i < seen_.size(); ++i)
        EXPECT_EQ(seen_[i].area, face_.Place(TBarPart::DateLine));
    EXPECT_EQ(face_.FadeTextDate.Lines()[0], "<FontCN>2024年02月10日 星期六");
}

TEST_F(BarFaceTest, TheDateLineComingRoundAgainPaintsNothing) {
    face_.Apply(PlainSkin());
    face_.ShowTime(EncodeDateTime(2024, 2, 10, 8, 0, 0));
    const auto settle = [&] {
        for (int i = 0; i < 100 && face_.FadeTextDate.FadeTimerRunning(); ++i)
            face_.FadeTextDate.OnFadeTimer();
    };
    settle();
    face_.Compose({0, 0, face_.Width(), face_.Height()});
    seen_.clear();
    face_.FadeTextDate.OnLineTimer();  // every 3.5 s
    settle();
    EXPECT_EQ(face_.FadeTextDate.LineIndex(), 0);
    EXPECT_TRUE(seen_.empty());
}

TEST_F(BarFaceTest, AdLinesFollowTheDateAndANewSetReplacesTheOld) {
    face_.Apply(PlainSkin());
    face_.SetAdLines({"<FontAD>a", "<FontAD>b"});  // stored ads load before the first tick
    face_.ShowTime(EncodeDateTime(2024, 2, 10, 8, 0, 0));
    const std::string date = "<FontCN>2024年02月10日 星期六";
    EXPECT_EQ(face_.FadeTextDate.Lines(),
              (std::vector<std::string>{date, "<FontAD>a", "<FontAD>b"}));
    face_.SetAdLines({"<FontAD>c"});
    EXPECT_EQ(face_.FadeTextDate.Lines(), (std::vector<std::string>{date, "<FontAD>c"}));
    face_.ShowTime(EncodeDateTime(2024, 2, 11, 0, 0, 0));
    EXPECT_EQ(face_.FadeTextDate.Lines(),
              (std::vector<std::string>{"<FontCN>2024年02月11日 星期日", "<FontAD>c"}));
    face_.SetAdLines({});
    EXPECT_EQ(face_.FadeTextDate.Lines().size(), 1u);
}
