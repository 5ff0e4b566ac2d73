#include "display/myLEDFont.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace tempora {

namespace {

// The lit polygons of each digit, in drawing order; "-" lights the middle bar.
constexpr const char* kDigitSegments[10] = {"012345", "12",     "01643", "01623",   "5612",
                                            "05623",  "054326", "012",   "0123456", "650123"};
constexpr const char* kMinusSegments = "6";

// Coordinates just past what a picture accepts: polygons beyond are dropped.
constexpr int64_t kCoordLimit = int64_t{Bitmap::kMaxCoord} + 1;

bool IsMark(char c) {
    return c == '.' || c == ':';
}

// One character cell of the text with the marks that follow it.
struct Cell {
    unsigned char ch = 0;  // the first byte of the character
    bool point = false;
    bool colon = false;
};

// Reads the cell at `pos` and the marks after it. Marks before the first
// character belong to none and are skipped. A UTF-8 sequence is one
// character; a byte that fits no sequence is one of its own.
bool NextCell(std::string_view text, size_t& pos, Cell& cell) {
    while (pos < text.size() && IsMark(text[pos]))
        ++pos;
    if (pos >= text.size())
        return false;
    cell = Cell{static_cast<unsigned char>(text[pos])};
    size_t length = 1;
    if (cell.ch >= 0xC0) {
        const size_t want = cell.ch >= 0xF0 ? 4 : cell.ch >= 0xE0 ? 3 : 2;
        while (length < want && pos + length < text.size() &&
               (static_cast<unsigned char>(text[pos + length]) & 0xC0) == 0x80)
            ++length;
    }
    pos += length;
    for (; pos < text.size() && IsMark(text[pos]); ++pos) {
        if (text[pos] == '.')
            cell.point = true;
        else
            cell.colon = true;
    }
    return true;
}

int64_t CellCount(std::string_view text) {
    int64_t n = 0;
    size_t pos = 0;
    Cell cell;
    while (NextCell(text, pos, cell))
        ++n;
    return n;
}

// The cells that carry a mark and have another cell after them: each
// widens the gap after it by the mark space.
int64_t MarkedGaps(std::string_view text) {
    int64_t n = 0;
    size_t pos = 0;
    Cell cell;
    bool marked = false;
    while (NextCell(text, pos, cell)) {
        n += marked ? 1 : 0;
        marked = cell.point || cell.colon;
    }
    return n;
}

int ClampToInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// Whether any pixel of the polygon, outline included, lies in a w x h picture.
bool Touches(std::span<const Bitmap::Point> points, int w, int h) {
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (const Bitmap::Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    return maxX >= 0 && minX < w && maxY >= 0 && minY < h;
}

}  // namespace

TLEDFontNum::CellPolygons TLEDFontNum::CellGeometry(int64_t x, int64_t y, int wordWidth,
                                                    int wordHeight, int thick, int markShift) {
    const auto P = [](int64_t px, int64_t py) {
        return Bitmap::Point{static_cast<int>(std::clamp(px, -kCoordLimit, kCoordLimit)),
                             static_cast<int>(std::clamp(py, -kCoordLimit, kCoordLimit))};
    };
    // Quadrilaterals repeat their last corner to fill the six vertices.
    const auto quad = [](Bitmap::Point a, Bitmap::Point b, Bitmap::Point c, Bitmap::Point d) {
        return Polygon{a, b, c, d, d, d};
    };
    const int64_t W = wordWidth, H = wordHeight, T = thick;
    const int64_t m = (H - 1) / 2;
    const int64_t q = (H + 1) / 4;
    // The cell's y is halved with the height here, unlike everywhere else:
    // that is where the lower colon dot sits.
    const int64_t r = (y + H + 1) / 2 + (T - 1) / 2 + q;

    CellPolygons p;
    p[kTopBar] = quad(P(x + 2, y), P(x + T + 1, y + T - 1), P(x + W - 2 * T - 2, y + T - 1),
                      P(x + W - T - 3, y));
    p[kUpperRight] = quad(P(x + W - T - 1, y + 1), P(x + W - 2 * T, y + T),
                          P(x + W - 2 * T, y + m - T), P(x + W - T - 1, y + m - 1));
    p[kLowerRight] = quad(P(x + W - T - 1, y + m + 1), P(x + W - 2 * T, y + m + T),
                          P(x + W - 2 * T, y + H - T - 1), P(x + W - T - 1, y + H - 2));
    p[kBottomBar] = quad(P(x + W - T - 3, y + H - 1), P(x + W - 2 * T - 2, y + H - T),
                         P(x + T + 1, y + H - T), P(x + 2, y + H - 1));
    p[kLowerLeft] = quad(P(x, y + H - 2), P(x + T - 1, y + H - T - 1), P(x + T - 1, y + m + T),
                         P(x, y + m + 1));
    p[kUpperLeft] =
        quad(P(x, y + m - 1), P(x + T - 1, y + m - T), P(x + T - 1, y + T), P(x, y + 1));
    if (T == 1) {
        // A one-pixel stroke makes the middle bar a line.
        const Bitmap::Point a = P(x + 2, y + m), b = P(x + W - 4, y + m);
        p[kMiddleBar] = {a, a, a, b, b, b};
    } else {
        p[kMiddleBar] = {P(x + T, y + m - T + 2), P(x + 2, y + m),
                         P(x + T, y + m + T - 2), P(x + W - 2 * T - 1, y + m + T - 2),
                         P(x + W - T - 3, y + m), P(x + W - 2 * T - 1, y + m - T + 2)};
    }
    const int64_t mx = x + markShift;  // the marks' column
    const Bitmap::Point pointStart = P(mx + W - T + 1, y + H - T);
    p[kPoint] = {pointStart,           P(mx + W - T + 1, y + H),
                 P(mx + W + 1, y + H), P(mx + W + 1, y + H - T),
                 pointStart,           pointStart};
    p[kColonUpper] = quad(P(mx + W - T + 1, y + q - 1), P(mx + W + 1, y + q - 1),
                          P(mx + W + 1, y + q + T - 1), P(mx + W - T + 1, y + q + T - 1));
    p[kColonLower] = quad(P(mx + W - T + 1, r - T), P(mx + W + 1, r - T), P(mx + W + 1, r),
                          P(mx + W - T + 1, r));
    return p;
}

void TLEDFontNum::DrawPolygons(const PolygonSink& draw) const {
    const int w = Width(), h = Height();
    const uint32_t light = lightColor_ & 0xFFFFFF, dark = darkColor_ & 0xFFFFFF;
    const bool drawDark = drawDarkColor_ && darkColor_ != bgColor_;
    const bool drawLight = lightColor_ != bgColor_;
    const auto emit = [&](const Polygon& polygon, uint32_t color) {
        if (Touches(polygon, w, h))
            draw(polygon, color);
    };
    // Cells step by a fixed amount; once one lies past the picture in the
    // direction of travel, so do all after it.
    const int64_t step = int64_t{wordWidth_} + space_;
    const int64_t reach =
        std::abs(int64_t{wordWidth_}) + 2 * std::abs(int64_t{thick_}) + 4 + markSpace_;
    const int64_t y = offSetY_;
    int64_t x = offSetX_;
    bool first = true;
    size_t pos = 0;
    Cell cell;
    bool marked = false;  // the cell before carries a mark
    while (NextCell(text_, pos, cell)) {
        if (!first)
            x += step + (marked ? markSpace_ : 0);
        first = false;
        marked = cell.point || cell.colon;
        if ((step > 0 && x - reach > w) || (step < 0 && x + reach < 0))
            break;
        const CellPolygons polygons =
            CellGeometry(x, y, wordWidth_, wordHeight_, thick_, markSpace_ / 2);
        if (drawDark) {
            for (const Polygon& polygon : polygons)
                emit(polygon, dark);
        }
        if (!drawLight)
            continue;
        const bool digit = cell.ch >= '0' && cell.ch <= '9';
        const char* segments = digit            ? kDigitSegments[cell.ch - '0']
                               : cell.ch == '-' ? kMinusSegments
                                                : "";
        for (const char* s = segments; *s; ++s)
            emit(polygons[*s - '0'], light);
        // Marks light up only after a digit; a repeated mark would only
        // redraw the same pixels.
        if (digit && cell.point)
            emit(polygons[kPoint], light);
        if (digit && cell.colon) {
            emit(polygons[kColonUpper], light);
            emit(polygons[kColonLower], light);
        }
    }
}

bool TLEDFontNum::Render() {
    if (!visible_)
        return false;
    const uint32_t background = bgColor_ & 0xFFFFFF;
    if (picture_.Width() == Width() && picture_.Height() == Height()) {
        picture_.Fill(background);
    } else if (!picture_.Create(Width(), Height(), background)) {
        picture_ = Bitmap();  // a control too big for a picture shows nothing
    }
    DrawPolygons([this](std::span<const Bitmap::Point> points, uint32_t color) {
        picture_.Polygon(points, color, color);
    });
    return true;
}

void TLEDFontNum::Paint() {
    if (Render())
        FitAfterRender();
}

void TLEDFontNum::PaintTo(Bitmap& parent) {
    Paint();
    CopyTo(parent);
}

void TLEDFontNum::CopyTo(Bitmap& parent) const {
    if (visible_)
        parent.CopyRect(Left(), Top(), picture_, 0, 0, picture_.Width(), picture_.Height());
}

void TLEDFontNum::RenderNow() {
    if (!Render())
        return;
    if (OnRendered)
        OnRendered();
    FitAfterRender();
}

int64_t TLEDFontNum::FittedWidth() const {
    const int64_t n = CellCount(text_);
    return n * wordWidth_ + (n - 1) * space_ + MarkedGaps(text_) * markSpace_ +
           2 * int64_t{offSetX_};
}

void TLEDFontNum::Fit(int64_t width) {
    SetBounds(Left(), Top(), ClampToInt(width), ClampToInt(2 * int64_t{offSetY_} + wordHeight_));
}

// After a rendering the control keeps its size when its width is one more
// than the text needs: a control made 47 wide for "00" (which needs 46)
// stays as it was made.
void TLEDFontNum::FitAfterRender() {
    if (!autoSize_)
        return;
    const int64_t width = FittedWidth();
    if (Width() != width + 1)
        Fit(width);
}

void TLEDFontNum::InvalidateArea(Rect area) {
    if (OnInvalidate && area.width > 0 && area.height > 0)
        OnInvalidate(area);
}

void TLEDFontNum::Invalidate() {
    if (visible_)
        InvalidateArea(bounds_);
}

void TLEDFontNum::SetOffSetX(int value) {
    if (value == offSetX_)
        return;
    offSetX_ = value;
    Invalidate();
}

void TLEDFontNum::SetOffSetY(int value) {
    if (value == offSetY_)
        return;
    offSetY_ = value;
    Invalidate();
}

void TLEDFontNum::SetWordWidth(int value) {
    if (value == wordWidth_ || value <= 2 * int64_t{thick_})
        return;
    wordWidth_ = value;
    Invalidate();
}

void TLEDFontNum::SetWordHeight(int value) {
    if (value == wordHeight_ || value < 4 * int64_t{thick_})
        return;
    // The middle bar needs a middle row: the height is kept odd.
    const int stored = value % 2 == 0 ? value + 1 : value;
    if (stored == wordHeight_)
        return;
    wordHeight_ = stored;
    Invalidate();
}

void TLEDFontNum::SetThick(int value) {
    if (value == thick_ || 2 * int64_t{value} >= wordWidth_ ||
        4 * int64_t{value} - 1 >= wordHeight_)
        return;
    thick_ = value;
    Invalidate();
}

void TLEDFontNum::SetSpace(int value) {
    if (value == space_)
        return;
    space_ = value;
    Invalidate();
}

void TLEDFontNum::SetMarkSpace(int value) {
    if (value == markSpace_ || value < 0)
        return;
    markSpace_ = value;
    Invalidate();
}

void TLEDFontNum::SetText(std::string_view value) {
    if (value == text_)
        return;
    text_ = value;
    RenderNow();
}

void TLEDFontNum::SetBGColor(uint32_t value) {
    if (value == bgColor_)
        return;
    bgColor_ = value;
    Invalidate();
}

void TLEDFontNum::SetLightColor(uint32_t value) {
    if (value == lightColor_)
        return;
    lightColor_ = value;
    Invalidate();
}

void TLEDFontNum::SetDarkColor(uint32_t value) {
    if (value == darkColor_)
        return;
    darkColor_ = value;
    Invalidate();
}

// Turning it on fits the width exactly, without the one pixel of slack that a
// rendering allows.
void TLEDFontNum::SetAutoSize(bool value) {
    if (value == autoSize_)
        return;
    autoSize_ = value;
    if (autoSize_) {
        const int64_t width = FittedWidth();
        if (Width() != width)
            Fit(width);
    }
}

void TLEDFontNum::SetDrawDarkColor(bool value) {
    if (value == drawDarkColor_)
        return;
    drawDarkColor_ = value;
    RenderNow();
}

void TLEDFontNum::SetBounds(int left, int top, int width, int height) {
    const Rect next{left, top, std::max(width, 0), std::max(height, 0)};
    if (next == bounds_)
        return;
    const Rect old = bounds_;
    bounds_ = next;
    if (visible_) {
        InvalidateArea(old);
        InvalidateArea(bounds_);
    }
}

void TLEDFontNum::SetVisible(bool value) {
    if (value == visible_)
        return;
    visible_ = value;
    InvalidateArea(bounds_);
}

bool TLEDFontNum::HitTest(int x, int y) const {
    return visible_ && x >= Left() && y >= Top() && int64_t{x} - Left() < Width() &&
           int64_t{y} - Top() < Height();
}

int BarLedInkWidth(const TLEDCell& cell) {
    constexpr int kCells = 6;
    // A cell's last columns belong to the point and colon marks, which the
    // last digit of the time does not have: its ink ends with the segments.
    const TLEDFontNum::CellPolygons polygons =
        TLEDFontNum::CellGeometry(0, 0, cell.wordWidth, cell.wordHeight, cell.thick);
    int ink = 0;
    for (int p = TLEDFontNum::kTopBar; p <= TLEDFontNum::kMiddleBar; ++p) {
        for (const Bitmap::Point& v : polygons[static_cast<size_t>(p)])
            ink = std::max(ink, static_cast<int>(v.x) + 1);
    }
    return (kCells - 1) * (cell.wordWidth + cell.space) + 2 * cell.markSpace + ink;
}

void SetUpBarLed(TLEDFontNum& led, int left, int top, int width, int height, const TLEDCell& cell) {
    led.SetAutoSize(false);
    led.SetBounds(left, top, width, height);
    // The thickness is checked against the cell's size: a cell growing
    // takes its size first, one shrinking its stroke.
    if (cell.thick > led.Thick()) {
        led.SetWordWidth(cell.wordWidth);
        led.SetWordHeight(cell.wordHeight);
        led.SetThick(cell.thick);
    } else {
        led.SetThick(cell.thick);
        led.SetWordWidth(cell.wordWidth);
        led.SetWordHeight(cell.wordHeight);
    }
    led.SetSpace(cell.space);
    led.SetMarkSpace(cell.markSpace);
    led.SetOffSetX((width - BarLedInkWidth(cell)) / 2);
    led.SetOffSetY((height - led.WordHeight()) / 2);
    led.SetDrawDarkColor(false);
    led.SetText("00:00:00");
}

void SetUpCountdownLed(TLEDFontNum& led, int left, int top, uint32_t back, uint32_t lit) {
    led.SetBounds(left, top, 58, 39);
    led.SetWordWidth(23);
    led.SetWordHeight(31);
    led.SetThick(5);
    led.SetSpace(4);
    led.SetBGColor(back);
    led.SetLightColor(lit);
    led.SetDarkColor(back);
    led.SetDrawDarkColor(false);
    led.SetText("10");
    led.Paint();
}

}  // namespace tempora
