#include "display/SmoothCtrls.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/ClockSource.h"

using namespace tempora;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBack = 0x202020;

// The stand-in glyphs, remembering every text drawn and its font.
class RecordingGlyphs final : public TGlyphRasterizer {
public:
    TSize Measure(const TFontSpec& font, int scale, std::string_view text) override {
        return inner.Measure(font, scale, text);
    }
    void Draw(const TFontSpec& font, int scale, std::string_view text,
              TCoverageMask& grey) override {
        drawn.emplace_back(text);
        fonts.push_back(font);
        inner.Draw(font, scale, text, grey);
    }
    TBlockGlyphs inner;
    std::vector<std::string> drawn;
    std::vector<TFontSpec> fonts;
};

class StubLabels final : public TSystemLabels {
public:
    std::string RegisteredOwner() const override { return "张三"; }
    std::string RegisteredOrganization() const override { return "某公司"; }
    std::string AppTitle() const override { return "嘀嗒桌面时钟"; }
};

struct Box {
    int left = -1, top = -1, right = -1, bottom = -1;  // inclusive; -1 when empty
    bool operator==(const Box&) const = default;
};

// Where the pixels of exactly `colour` lie.
Box InkBox(const Bitmap& pic, uint32_t color) {
    Box b;
    for (int y = 0; y < pic.Height(); ++y) {
        for (int x = 0; x < pic.Width(); ++x) {
            if (pic.At(x, y) != color)
                continue;
            if (b.left < 0) {
                b = {x, y, x, y};
            } else {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.bottom = y;
            }
        }
    }
    return b;
}

using Timers = std::vector<std::pair<TFadeTimer, unsigned>>;

// A 50 x 20 transparent line at 5, 5 of a 60 x 30 parent, white text
// without shadow, still, lines "A", "B", "C".
class FadeText : public ::testing::Test {
protected:
    void SetUp() override {
        background.Create(60, 30, kBack);
        screen = background;
        fade.OnSetTimer = [this](TFadeTimer t, unsigned ms) { timers.emplace_back(t, ms); };
        fade.OnInvalidate = [this](bool now) {
            if (now) {
                ++paintsNow;
                fade.Paint(screen);
            } else {
                ++invalidations;
            }
        };
        fade.SetParentBackground(&background);
        fade.SetBounds(5, 5, 50, 20);
        fade.SetTransparent(true);
        fade.SetQuality(tqNone);
        TFontSpec white;
        white.Color = kWhite;
        fade.SetFont(white);
        fade.SetActive(false);
        fade.Lines() = {"A", "B", "C"};
    }

    // Ticks the fade timer while it runs; the progress after each tick.
    std::vector<int> RunFade() {
        std::vector<int> seen;
        for (int i = 0; i < 1000 && fade.FadeTimerRunning(); ++i) {
            fade.OnFadeTimer();
            seen.push_back(fade.Progress());
        }
        return seen;
    }

    void AddColorFonts() {
        TFontSpec red, green;
        red.Color = 0x0000FF;
        green.Color = 0x00FF00;
        fade.Fonts().Add({"FontCN", red, {}});
        fade.Fonts().Add({"FontAD", green, {}});
    }

    RecordingGlyphs glyphs;
    TFadeText fade{glyphs};
    Timers timers;
    int invalidations = 0, paintsNow = 0;
    Bitmap background, screen;
};

}  // namespace

TEST_F(FadeText, FadeRunsTwentySixTicksAt600ms) {
    fade.Loaded();
    timers.clear();
    fade.ShowLine(0);
    EXPECT_EQ(timers, (Timers{{TFadeTimer::Fade, 25}}));  // the line timer is off
    EXPECT_EQ(fade.Progress(), 0);

    std::vector<int> expected;
    for (int p = 10; p <= 250; p += 10)
        expected.push_back(p);
    expected.push_back(255);
    EXPECT_EQ(RunFade(), expected);
    EXPECT_EQ(timers.back(), (std::pair{TFadeTimer::Fade, 0u}));
    EXPECT_EQ(paintsNow, 26);  // every step painted at once
    fade.OnFadeTimer();        // a tick still queued after the stop
    EXPECT_EQ(paintsNow, 26);

    // A new line starts from 0 again, even in the middle of a fade.
    fade.ShowLine(1);
    for (int i = 0; i < 5; ++i)
        fade.OnFadeTimer();
    EXPECT_EQ(fade.Progress(), 50);
    fade.ShowLine(2);
    fade.OnFadeTimer();
    EXPECT_EQ(fade.Progress(), 10);
}

TEST_F(FadeText, FadeStepPaintsTheBlendIntoTheParentPicture) {
    fade.Loaded();
    fade.ShowLine(0);
    const Box ink = InkBox(fade.DisplayPicture(), kWhite);
    ASSERT_EQ(ink, Box{}) << "nothing changes before the first step";
    fade.OnFadeTimer();
    // "A" (6 x 12) lies at 22, 4, its box's ink one pixel in. At progress 10
    // an ink pixel is 0x20 + floor(10 * (0xFF - 0x20) / 256) = 0x28.
    EXPECT_EQ(screen.At(5 + 23, 5 + 5), 0x282828u);
    EXPECT_EQ(screen.At(5 + 22, 5 + 5), kBack);
    EXPECT_EQ(screen.At(0, 0), kBack);  // outside the control: untouched
    RunFade();
    EXPECT_EQ(screen.At(5 + 23, 5 + 5), kWhite);
}

TEST_F(FadeText, DelaysClampEachOther) {
    fade.SetLineDelay(500);  // FadeDelay 600
    EXPECT_EQ(fade.LineDelay(), 800u);
    fade.SetLineDelay(3500);
    fade.SetFadeDelay(3400);
    EXPECT_EQ(fade.FadeDelay(), 3300u);
    fade.SetFadeDelay(10);
    EXPECT_EQ(fade.FadeDelay(), 50u);
    fade.SetLineDelay(0);
    EXPECT_EQ(fade.LineDelay(), 250u);
}

TEST_F(FadeText, TheOnlyLineComesRoundOnItsTimerWithoutFadingOrPainting) {
    fade.Lines() = {"A"};
    fade.SetActive(true);
    fade.Loaded();
    RunFade();
    const Bitmap shown = screen;
    const int painted = paintsNow;
    timers.clear();
    fade.OnLineTimer();  // the line comes round again, as every LineDelay
    EXPECT_EQ(fade.LineIndex(), 0);
    EXPECT_EQ(fade.Progress(), 255);
    EXPECT_FALSE(fade.FadeTimerRunning());
    EXPECT_EQ(timers, (Timers{{TFadeTimer::Fade, 0}, {TFadeTimer::Line, fade.LineDelay()}}));
    EXPECT_EQ(paintsNow, painted);
    EXPECT_EQ(screen, shown);
    // An edited line fades in as before.
    fade.Lines() = {"B"};
    fade.OnLineTimer();
    RunFade();
    EXPECT_EQ(paintsNow, painted + 26);
    EXPECT_NE(screen, shown);
}

TEST_F(FadeText, FadeLengthFollowsFadeDelay) {
    fade.Loaded();
    struct Case {
        unsigned lineDelay, fadeDelay;
        size_t ticks;
        int secondStep;
    };
    const Case cases[] = {
        {3500, 50, 3, 254},     // 127 a tick
        {3500, 3000, 128, 4},   // 2 a tick
        {20000, 9000, 256, 2},  // 6375 / 9000 is 0: at least 1, so it still ends
    };
    for (const Case& c : cases) {
        fade.SetLineDelay(c.lineDelay);
        fade.SetFadeDelay(c.fadeDelay);
        fade.ShowLine(static_cast<int>(&c - cases) % 2);  // each case shows another line
        const std::vector<int> seen = RunFade();
        ASSERT_EQ(seen.size(), c.ticks) << c.fadeDelay;
        EXPECT_EQ(seen[1], c.secondStep) << c.fadeDelay;
        EXPECT_EQ(seen.back(), 255);
    }
}

TEST_F(FadeText, LineTimerFollowsActiveAndRestartsWithEveryLine) {
    fade.SetLineDelay(3500);
    fade.SetActive(true);
    EXPECT_TRUE(timers.empty()) << "nothing runs before the control is loaded";
    fade.Loaded();
    EXPECT_EQ(fade.LineIndex(), 0);
    EXPECT_TRUE(fade.LineTimerRunning());
    EXPECT_EQ(timers,
              (Timers{{TFadeTimer::Line, 3500}, {TFadeTimer::Fade, 25}, {TFadeTimer::Line, 3500}}));
    timers.clear();
    fade.OnLineTimer();
    EXPECT_EQ(fade.LineIndex(), 1);
    EXPECT_EQ(timers, (Timers{{TFadeTimer::Fade, 25}, {TFadeTimer::Line, 3500}}));
    timers.clear();
    fade.SetLineDelay(5000);
    EXPECT_EQ(timers, (Timers{{TFadeTimer::Line, 5000}}));
    timers.clear();
    fade.SetActive(false);
    EXPECT_EQ(timers, (Timers{{TFadeTimer::Line, 0}}));
    fade.OnLineTimer();  // queued before the stop
    EXPECT_EQ(fade.LineIndex(), 1);
}

TEST_F(FadeText, WithoutLinesNothingStarts) {
    fade.Loaded();
    fade.ShowLine(1);
    fade.Lines().clear();
    timers.clear();
    fade.ShowLine(0);
    fade.NextLine();
    EXPECT_EQ(fade.LineIndex(), 1);
    EXPECT_TRUE(timers.empty());
    EXPECT_EQ(fade.CurrentText(), "B");
}

TEST_F(FadeText, RepeatCountEndsWithTheEmptyText) {
    int completed = 0;
    fade.OnComplete = [&] { ++completed; };
    fade.SetRepeatCount(1);
    fade.SetActive(true);
    fade.Loaded();
    std::vector<int> shown = {fade.LineIndex()};
    for (int i = 0; i < 3; ++i) {
        fade.OnLineTimer();
        shown.push_back(fade.LineIndex());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, -1}));
    EXPECT_EQ(fade.CurrentText(), "");
    EXPECT_EQ(fade.PreviousText(), "C");
    EXPECT_FALSE(fade.Active());
    EXPECT_FALSE(fade.LineTimerRunning());
    EXPECT_TRUE(fade.FadeTimerRunning());
    EXPECT_EQ(completed, 1);
    fade.OnLineTimer();
    EXPECT_EQ(completed, 1);
    RunFade();
    EXPECT_EQ(InkBox(fade.DisplayPicture(), kWhite), Box{});
}

TEST_F(FadeText, SwitchingOnAtTheLastLineWrapsAndCountsAPass) {
    int completed = 0;
    fade.OnComplete = [&] { ++completed; };
    fade.SetRepeatCount(2);
    fade.Loaded();
    fade.ShowLine(2);
    fade.SetActive(true);
    EXPECT_EQ(fade.LineIndex(), 0);
    fade.OnLineTimer();
    fade.OnLineTimer();
    EXPECT_EQ(fade.LineIndex(), 2);
    EXPECT_EQ(completed, 0);
    fade.OnLineTimer();  // the second pass ends here
    EXPECT_EQ(fade.LineIndex(), -1);
    EXPECT_EQ(completed, 1);
    // A negative index is line 0.
    fade.ShowLine(-5);
    EXPECT_EQ(fade.LineIndex(), 0);
}

TEST_F(FadeText, FontLabelsPickTheirItem) {
    AddColorFonts();
    fade.Loaded();
    struct Case {
        std::string line, drawn;
        uint32_t color;
    };
    const Case cases[] = {
        {"<fontcn>AB", "AB", 0x0000FF},                // any case
        {"<FontAD>x<FontCN>y", "xy", 0x00FF00},        // the later item wins
        {"<FontCN>x<FontCN>", "x<FontCN>", 0x0000FF},  // only the first is taken out
        {"<Nobody>A", "<Nobody>A", 0x0000FF},          // unknown: text; the font carries on
        {"<FontCN", "<FontCN", 0x0000FF},
    };
    for (const Case& c : cases) {
        fade.Lines() = {c.line};
        fade.ShowLine(0);
        EXPECT_EQ(glyphs.drawn.back(), c.drawn) << c.line;
        EXPECT_EQ(glyphs.fonts.back().Color, c.color) << c.line;
    }
    // Reset for every line: an unlabelled line takes the control's font.
    fade.SetLabelEffect(leOnlyALine);
    fade.Lines() = {"<FontAD>A", "B"};
    fade.ShowLine(0);
    fade.ShowLine(1);
    EXPECT_EQ(glyphs.drawn.back(), "B");
    EXPECT_EQ(glyphs.fonts.back().Color, kWhite);
}

TEST_F(FadeText, UserLabelsInsertTheirTexts) {
    FakeClock clock(1796861109000LL, 480);  // 2026-12-10 08:05:09 local
    ClockSource::Install(&clock);
    struct Restore {
        ~Restore() { ClockSource::Install(nullptr); }
    } restore;
    const StubLabels system;
    ConfigureBarDateLine(fade);
    fade.Labels().Add({"Who", lsCustom, "某人", nullptr});
    fade.Labels().Add({"Loud", lsCustom, "quiet", [](const TUserLabel& label, std::string& text) {
                           text = label.Name + ":" + text + "!";
                       }});
    fade.Loaded();
    struct Case {
        std::string line, drawn;
    };
    const Case cases[] = {
        {"<Date> <time>", "2026/12/10 8:05:09"},
        {"<Owner>/<Organization>/<AppTitle>", "张三/某公司/嘀嗒桌面时钟"},
        {"<Who>说<Who>", "某人说<Who>"},
        {"<Loud>", "Loud:quiet!"},
        {"a<Center>b", "ab"},
    };
    fade.SetSystemLabels(&system);
    for (const Case& c : cases) {
        fade.Lines() = {c.line};
        fade.ShowLine(0);
        EXPECT_EQ(glyphs.drawn.back(), c.drawn) << c.line;
    }
    fade.SetSystemLabels(nullptr);
    // Without the installation record those labels insert nothing.
    fade.Lines() = {"<Owner>/<Organization>/<AppTitle>"};
    fade.ShowLine(0);
    EXPECT_EQ(glyphs.drawn.back(), "//");
}

TEST_F(FadeText, AlignmentLabelsCarryOverUntilTheNextOne) {
    fade.Labels().Add({"Left", lsLeftJustify, "", nullptr});
    fade.Labels().Add({"Center", lsCenter, "", nullptr});
    fade.Labels().Add({"Right", lsRightJustify, "", nullptr});
    fade.Loaded();
    // "AB" is 12 wide with ink from 1 to 10: left 0, centred 19, right 38.
    const auto inkLeft = [&](const std::string& line) {
        fade.Lines() = {line};
        fade.ShowLine(0);
        RunFade();
        return InkBox(fade.DisplayPicture(), kWhite).left;
    };
    EXPECT_EQ(inkLeft("AB"), 20);
    EXPECT_EQ(inkLeft("<Right>AB"), 39);
    EXPECT_EQ(inkLeft("AB"), 39);
    EXPECT_EQ(inkLeft("<Left>AB"), 1);
    EXPECT_EQ(inkLeft("<Center>AB"), 20);
    EXPECT_EQ(inkLeft("<Right>AB<Left>"),
              39);  // the later label in collection order

    fade.SetLabelEffect(leOnlyALine);
    EXPECT_EQ(inkLeft("<Right>AB"), 39);
    EXPECT_EQ(inkLeft("AB"), 20);
}

TEST_F(FadeText, ShownTextStaysWhenItsLineIsEdited) {
    fade.Loaded();
    fade.ShowLine(0);
    RunFade();
    const Bitmap shown = fade.DisplayPicture();
    fade.BeginUpdate();
    fade.Lines()[0] = "ZZZ";
    fade.EndUpdate();
    fade.Paint(screen);
    EXPECT_EQ(fade.DisplayPicture(), shown);
    EXPECT_EQ(glyphs.drawn.back(), "A");
    fade.ShowLine(0);
    EXPECT_EQ(glyphs.drawn.back(), "ZZZ");
}

TEST_F(FadeText, TransparentPaintShowsTheCurrentBackground) {
    fade.Loaded();
    fade.ShowLine(0);
    RunFade();
    EXPECT_EQ(screen.At(5 + 1, 5 + 1), kBack);
    background.FillRect(0, 0, 60, 30, 0x00A000);
    fade.Paint(screen);
    EXPECT_EQ(screen.At(5 + 1, 5 + 1), 0x00A000u);
    EXPECT_EQ(screen.At(5 + 23, 5 + 5), kWhite);
    EXPECT_EQ(screen.At(4, 4),
              kBack);  // outside the control: the parent's business

    // Until the first step of a new fade, a paint still shows the previous line.
    const Bitmap before = fade.DisplayPicture();
    fade.ShowLine(1);
    fade.Paint(screen);
    EXPECT_EQ(fade.DisplayPicture(), before);
}

TEST_F(FadeText, UpdatesAreHeldWhileCounting) {
    fade.SetBackColor(1);
    EXPECT_EQ(invalidations, 0) << "not loaded yet";
    fade.Loaded();
    invalidations = 0;
    fade.SetBackColor(2);
    EXPECT_EQ(invalidations, 1);
    fade.SetBackColor(2);  // unchanged
    EXPECT_EQ(invalidations, 1);
    fade.BeginUpdate();
    fade.BeginUpdate();
    fade.SetBackColor(3);
    fade.Fonts().Add({"F", TFontSpec{}, {}});
    fade.EndUpdate();
    fade.SetBackColor(4);
    fade.EndUpdate();
    EXPECT_EQ(invalidations, 1);
    fade.SetBackColor(5);
    fade.Labels().Add({"L", lsCustom, "", nullptr});
    EXPECT_EQ(invalidations, 3);
}

TEST_F(FadeText, BackgroundPictureModes) {
    Bitmap pic;
    pic.Create(2, 2);
    pic.At(0, 0) = 1;
    pic.At(1, 0) = 2;
    pic.At(0, 1) = 3;
    pic.At(1, 1) = 4;
    fade.SetTransparent(false);
    fade.SetBackColor(9);
    fade.SetBackGround(pic);
    fade.SetBounds(0, 0, 5, 4);
    fade.Lines() = {""};
    fade.Loaded();
    using Rows = std::vector<std::vector<uint32_t>>;
    const std::pair<TBackGroundMode, Rows> cases[] = {
        {bmNormal, {{1, 2, 9, 9, 9}, {3, 4, 9, 9, 9}, {9, 9, 9, 9, 9}, {9, 9, 9, 9, 9}}},
        {bmCenter, {{9, 9, 9, 9, 9}, {9, 1, 2, 9, 9}, {9, 3, 4, 9, 9}, {9, 9, 9, 9, 9}}},
        {bmTiled, {{1, 2, 1, 2, 1}, {3, 4, 3, 4, 3}, {1, 2, 1, 2, 1}, {3, 4, 3, 4, 3}}},
        {bmStretched, {{1, 1, 1, 2, 2}, {1, 1, 1, 2, 2}, {3, 3, 3, 4, 4}, {3, 3, 3, 4, 4}}},
    };
    for (const auto& [mode, rows] : cases) {
        fade.SetBackGroundMode(mode);
        Bitmap out;
        out.Create(5, 4);
        fade.Paint(out);
        Rows got(4, std::vector<uint32_t>(5));
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 5; ++x)
                got[y][x] = out.At(x, y);
        }
        EXPECT_EQ(got, rows) << "mode " << int(mode);
    }
}

TEST_F(FadeText, PaintFromAPaintedHandlerIsIgnored) {
    int painted = 0;
    fade.OnPainted = [&] {
        ++painted;
        fade.Paint(screen);
    };
    fade.Paint(screen);  // also performs the loaded step
    EXPECT_TRUE(fade.IsLoaded());
    EXPECT_EQ(painted, 1);
}

TEST(FadeTextBlend, CrossFadeMixesEveryColorByte) {
    struct Case {
        uint32_t old, neu;
        int p;
        uint32_t expected;
    };
    const Case cases[] = {
        {0x000000, 0xFFFFFF, 0, 0x000000},   {0x000000, 0xFFFFFF, 255, 0xFFFFFF},
        {0x000000, 0xFFFFFF, 128, 0x7F7F7F}, {0xFFFFFF, 0x000000, 128, 0x7F7F7F},
        {0x000000, 0xFFFFFF, 1, 0x000000},   {0x0A141E, 0x1E1409, 128, 0x141413},
    };
    for (const Case& c : cases) {
        Bitmap a, b, out;
        a.Create(1, 1, c.old);
        b.Create(1, 1, c.neu);
        CrossFade(a, b, c.p, out);
        EXPECT_EQ(out.At(0, 0), c.expected) << std::hex << c.old << " " << c.neu << " " << c.p;
    }
    Bitmap a, b, out;
    a.Create(4, 2);
    b.Create(3, 5);
    CrossFade(a, b, 100, out);
    EXPECT_EQ(out.Width(), 3);
    EXPECT_EQ(out.Height(), 2);
}

TEST(FadeTextNames, DuplicateNamesAreRefused) {
    TBlockGlyphs glyphs;
    TFadeText fade(glyphs);
    fade.Fonts().Add({"FontCN", {}, {}});
    fade.Fonts().Add({"FontAD", {}, {}});
    try {
        fade.Fonts().Add({"fontcn", {}, {}});
        FAIL() << "no exception";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Duplicate string!");
    }
    EXPECT_THROW(fade.Fonts().Set(1, {"FONTCN", {}, {}}), std::invalid_argument);
    fade.Fonts().Set(0, {"fontCN", {}, {}});  // renaming an item to itself is fine
    EXPECT_EQ(fade.Fonts().Count(), 2);
    EXPECT_EQ(fade.Fonts()[1].Name, "FontAD");
    EXPECT_EQ(fade.Fonts().IndexOf("FONTAD"), 1);
    fade.Labels().Add({"Date", lsDate, "", nullptr});
    EXPECT_THROW(fade.Labels().Add({"DATE", lsTime, "", nullptr}), std::invalid_argument);
    EXPECT_EQ(fade.Labels().Count(), 1);
}

TEST(FadeTextBar, DateLineIsConfiguredAsTheBarNeedsIt) {
    TBlockGlyphs glyphs;
    TFadeText fade(glyphs);
    ConfigureBarDateLine(fade);
    SetBarDateLineColor(fade, 0x00FFFF);
    EXPECT_FALSE(fade.Active());
    EXPECT_EQ(fade.Lines(), std::vector<std::string>{""});
    EXPECT_EQ(fade.LineDelay(), 3500u);
    EXPECT_EQ(fade.FadeDelay(), 600u);
    EXPECT_TRUE(fade.Transparent());
    EXPECT_EQ(fade.Quality(), tqNone);
    EXPECT_EQ(fade.Left(), 173);
    EXPECT_EQ(fade.Top(), 12);
    EXPECT_EQ(fade.Width(), 154);
    EXPECT_EQ(fade.Height(), 20);
    ASSERT_EQ(fade.Fonts().Count(), 2);
    const TFontLabel& cn = fade.Fonts()[0];
    const TFontLabel& ad = fade.Fonts()[1];
    EXPECT_EQ(cn.Name, "FontCN");
    EXPECT_EQ(cn.Font.Name, "宋体");
    EXPECT_EQ(cn.Font.Height, -12);
    EXPECT_EQ(cn.Font.Color, 0x00FFFFu);
    EXPECT_TRUE(cn.Effect.Shadow.Enabled);
    EXPECT_EQ(cn.Effect.Shadow.OffsetX, 1);
    EXPECT_EQ(cn.Effect.Shadow.Blur, 80);
    EXPECT_EQ(ad.Name, "FontAD");
    EXPECT_TRUE(ad.Font.Underline);
    EXPECT_EQ(ad.Font.Color, 0x00FFFFu);
    EXPECT_FALSE(ad.Effect.Shadow.Enabled);
    std::vector<std::string> names;
    for (int i = 0; i < fade.Labels().Count(); ++i)
        names.push_back(fade.Labels()[i].Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Left", "Center", "Right", "Owner", "Organization",
                                               "AppTitle", "Date", "Time"}));
    EXPECT_EQ(fade.Labels()[6].Style, lsDate);
}

TEST(FadeTextBar, DateShadowCentresTheLineOnePixelWider) {
    TBlockGlyphs glyphs;
    TFadeText fade(glyphs);
    ConfigureBarDateLine(fade);
    Bitmap bar;
    bar.Create(332, 34, kBack);
    fade.SetParentBackground(&bar);
    fade.Loaded();
    const auto inkOf = [&](const std::string& line) {
        fade.Lines()[0] = line;
        fade.ShowLine(0);
        for (int i = 0; i < 26; ++i)
            fade.OnFadeTimer();
        Bitmap screen = bar;
        fade.Paint(screen);
        return InkBox(fade.DisplayPicture(), kWhite);
    };
    // "AB" is 12 x 12, with the shadow 13 x 13: at (154 - 13) / 2 = 70,
    // (20 - 13) / 2 = 3; the glyph boxes' ink starts one pixel in.
    const Box date = inkOf("<FontCN>AB");
    EXPECT_EQ(date.left, 71);
    EXPECT_EQ(date.top, 4);
    // The advertisement font has no shadow: at 71, 4, its underline from the left
    // edge.
    const Box ad = inkOf("<FontAD>AB");
    EXPECT_EQ(ad.left, 71);
    EXPECT_EQ(ad.top, 5);
}
