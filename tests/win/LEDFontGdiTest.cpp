// The LED digits drawn by GDI itself must match the core's rendering pixel
// for pixel: the same polygons, each a Polygon() call with a solid brush and
// a 1-pixel pen of one colour, into a 32-bit DIB section.
#include "core/Handles_win.h"
#include "win/PictureBlit_win.h"
#include "app/BuiltInSkin_win.h"
#include "app/ClockApp_win.h"
#include "display/myLEDFont.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tempora;

namespace {

Bitmap RenderWithGdi(const TLEDFontNum& led) {
    TDibCanvas canvas(led.Width(), led.Height());
    EXPECT_TRUE(canvas.Ok());
    GdiObject<HBRUSH> background(CreateSolidBrush(led.BGColor() & 0xFFFFFF));
    const RECT all{0, 0, led.Width(), led.Height()};
    FillRect(canvas.Dc(), &all, background.Get());
    led.DrawPolygons([&](std::span<const Bitmap::Point> points, uint32_t color) {
        GdiObject<HBRUSH> brush(CreateSolidBrush(color));
        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
        SelectObjectScope selectBrush(canvas.Dc(), brush.Get());
        SelectObjectScope selectPen(canvas.Dc(), pen.Get());
        std::vector<POINT> vertices;
        for (const Bitmap::Point& p : points)
            vertices.push_back({p.x, p.y});
        EXPECT_TRUE(Polygon(canvas.Dc(), vertices.data(), static_cast<int>(vertices.size())));
    });
    Bitmap out;
    EXPECT_TRUE(ReadPicture(canvas.Dc(), 0, 0, led.Width(), led.Height(), out));
    return out;
}

// The first few differing pixels, or "" when the pictures agree.
std::string Differences(const Bitmap& gdi, const Bitmap& core) {
    if (gdi.Width() != core.Width() || gdi.Height() != core.Height())
        return "sizes differ";
    std::string out;
    int count = 0;
    for (int y = 0; y < gdi.Height(); ++y) {
        for (int x = 0; x < gdi.Width(); ++x) {
            if (gdi.At(x, y) == core.At(x, y))
                continue;
            if (++count <= 10) {
                char line[80];
                snprintf(line, sizeof line, "(%d,%d) gdi %06X core %06X\n", x, y, gdi.At(x, y),
                         core.At(x, y));
                out += line;
            }
        }
    }
    return count ? std::to_string(count) + " pixels differ:\n" + out : "";
}

// Sets a cell size whatever the current one, checking that it took.
void SetCell(TLEDFontNum& led, int width, int height, int thick) {
    led.SetThick(1);
    led.SetWordWidth(width);
    led.SetWordHeight(height);
    led.SetThick(thick);
    ASSERT_EQ(led.WordWidth(), width);
    ASSERT_EQ(led.WordHeight(), height);
    ASSERT_EQ(led.Thick(), thick);
}

void ExpectGdiMatches(TLEDFontNum& led) {
    led.Paint();  // twice: the first may fit the control to the text
    led.Paint();
    ASSERT_GT(led.Width(), 0);
    EXPECT_EQ(Differences(RenderWithGdi(led), led.Picture()), "");
}

}  // namespace

TEST(LEDFontGdi, TheControlsOfTheProgramMatchGdiPolygons) {
    struct Case {
        const char* name;
        std::function<void(TLEDFontNum&)> setup;
    } cases[] = {
        {"the bar as created, in its built-in look",
         [](TLEDFontNum& l) {
             SetUpBarLed(l, 0, 0, 114, 24);
             l.SetBGColor(0);
             l.SetLightColor(BuiltInBarSkin().ledFontColor);
             l.SetDarkColor(3618615);
         }},
        {"the bar in a skin, unlit segments shown",
         [](TLEDFontNum& l) {
             SetUpBarLed(l, 0, 0, 114, 24);
             l.SetBGColor(0);
             l.SetLightColor(0x00FFFF);
             l.SetDarkColor(0x373737);
             l.SetDrawDarkColor(true);
             l.SetText("12:34:56");
         }},
        {"the shutdown countdown",
         [](TLEDFontNum& l) { SetUpCountdownLed(l, 0, 0, 0xFFFFFF, 0x278DE9); }},
        {"every character at the initial values",
         [](TLEDFontNum& l) {
             l.SetDrawDarkColor(true);
             l.SetText("0.1:2.3:4.5:6.7:8.9:- x");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLEDFontNum led;
        c.setup(led);
        ExpectGdiMatches(led);
    }
}

TEST(LEDFontGdi, EveryCellShapeMatchesGdiPolygons) {
    // Strokes 1 to 6, narrow to wide cells, short to tall ones, cells at odd
    // and even rows (the lower colon dot depends on it), and margins that push
    // the first cell partly off the picture.
    int index = 0;
    for (int thick = 1; thick <= 6; ++thick) {
        for (int width : {2 * thick + 1, 2 * thick + 5, 3 * thick + 8}) {
            for (int height : {4 * thick + 1, 4 * thick + 7, 6 * thick + 9}) {
                SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", stroke " +
                             std::to_string(thick));
                TLEDFontNum led;
                SetCell(led, width, height, thick);
                led.SetOffSetX(index % 5 == 0 ? -3 : index % 4);
                led.SetOffSetY(index % 3 == 0 ? -2 : index % 4);
                led.SetSpace(index % 3);
                led.SetBGColor(0x102030);
                led.SetLightColor(0x40F0C0);
                led.SetDarkColor(0x505050);
                led.SetDrawDarkColor(index % 2 == 0);
                led.SetText("8.8:-1 7:0.");
                ExpectGdiMatches(led);
                ++index;
            }
        }
    }
}

TEST(LEDFontGdi, BlitPutsAPicturePartOnADeviceContext) {
    Bitmap picture;
    ASSERT_TRUE(picture.Create(50, 30));
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x)
            picture.At(x, y) = static_cast<uint32_t>(x * 5 | (y * 8) << 8 | (x + y) << 16);
    }
    struct Case {
        const char* name;
        int x, y, srcX, srcY, width, height;
        bool drawn;
    } cases[] = {
        {"whole picture", 0, 0, 0, 0, 50, 30, true},
        {"a part, elsewhere", 3, 4, 5, 7, 20, 10, true},
        {"clipped at the picture's top left", 10, 10, -2, -3, 10, 10, true},
        {"clipped at the bottom right", 0, 0, 45, 25, 20, 20, true},
        {"nothing of the picture", 0, 0, 50, 0, 10, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDibCanvas canvas(64, 48);
        ASSERT_TRUE(canvas.Ok());
        PatBlt(canvas.Dc(), 0, 0, 64, 48, WHITENESS);
        EXPECT_EQ(BlitPicture(canvas.Dc(), c.x, c.y, picture, c.srcX, c.srcY, c.width, c.height),
                  c.drawn);
        Bitmap expected;
        ASSERT_TRUE(expected.Create(64, 48, 0xFFFFFF));
        expected.CopyRect(c.x, c.y, picture, c.srcX, c.srcY, c.width, c.height);
        Bitmap shown;
        ASSERT_TRUE(ReadPicture(canvas.Dc(), 0, 0, 64, 48, shown));
        EXPECT_EQ(Differences(shown, expected), "");
    }
    Bitmap untouched;
    EXPECT_FALSE(ReadPicture(nullptr, 0, 0, 0, 5, untouched));
    EXPECT_TRUE(untouched.Empty());
}
