#include "LunarCal.Grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/Text.h"

namespace tempora {

namespace {

constexpr uint32_t kHintLabelColor = 0x0000FF;
constexpr int kHintMargin = 5;
// Where the hint goes from the pointer over a day.
constexpr int kHintOffset = 16;
// A festival rectangle wider than this many characters still cuts texts there.
constexpr int kMaxFestivalChars = 128;
constexpr int kMinFontSize = 5, kMaxFontSize = 1000;
// Holiday badges: a side of 3/10 of the smaller cell side within these
// bounds, shrunk down to the smallest when a corner is crowded.
constexpr int kMinBadge = 8, kMaxBadge = 16;

int RoundEven(double v) {
    const double f = std::floor(v);
    const double d = v - f;
    double r = f;
    if (d > 0.5 || (d == 0.5 && std::fmod(f, 2.0) != 0))
        r = f + 1;
    return static_cast<int>(std::clamp(r, -1e9, 1e9));
}

// The platform's MulDiv: a * b / c rounded half away from zero.
int MulDiv(int a, int b, int c) {
    const int64_t p = int64_t{a} * b;
    const int64_t q = (std::abs(p) * 2 + c) / (2 * int64_t{c});
    return static_cast<int>(p < 0 ? -q : q);
}

// The classic scheme's colours for the system colours the grid starts with.
uint32_t ClassicSysColor(int index) {
    switch (index) {
        case 2:  // active caption
            return 0x6A240A;
        case 5:  // window
            return 0xFFFFFF;
        case 19:  // inactive caption text
            return 0xC8D0D4;
        default:  // window text and the rest
            return 0x000000;
    }
}

TFontSpec MakeFont(const char* name, uint8_t charset, uint32_t color, int size, int ppi,
                   bool bold = false, bool italic = false) {
    TFontSpec f;
    f.Name = name;
    f.Charset = charset;
    f.Color = color;
    f.Height = FontHeightOfSize(size, ppi);
    f.Bold = bold;
    f.Italic = italic;
    return f;
}

// Half-way between a colour and the background: badges of other months'
// days step back like their numbers.
uint32_t Mix(uint32_t a, uint32_t b) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF)) / 2) << shift;
    return out;
}

TCalRect Offset(TCalRect r, int dx, int dy) {
    r.left += dx;
    r.top += dy;
    return r;
}

TCalRect Inflate(TCalRect r, int dx, int dy) {
    return {r.left - dx, r.top - dy, r.width + 2 * dx, r.height + 2 * dy};
}

TCalRect Intersect(const TCalRect& a, const TCalRect& b) {
    const int l = std::max(a.left, b.left), t = std::max(a.top, b.top);
    const int r = std::min(a.Right(), b.Right()), bo = std::min(a.Bottom(), b.Bottom());
    return {l, t, std::max(r - l, 0), std::max(bo - t, 0)};
}

TCalRect Union(const TCalRect& a, const TCalRect& b) {
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    const int l = std::min(a.left, b.left), t = std::min(a.top, b.top);
    return {l, t, std::max(a.Right(), b.Right()) - l, std::max(a.Bottom(), b.Bottom()) - t};
}

// Days since 1899-12-30 of the first day of 1900 and of 2101: the range the
// grid shows.
const TDateTime kFirstDate = EncodeDate(1900, 1, 1);
const TDateTime kEndDate = EncodeDate(2101, 1, 1);

}  // namespace

int FontHeightOfSize(int size, int pixelsPerInch) {
    return -MulDiv(size, pixelsPerInch, 72);
}

int FontSizeOfHeight(int height, int pixelsPerInch) {
    // Height 0 is the default 12-pixel font.
    return MulDiv(height == 0 ? 12 : std::abs(height), 72, std::max(pixelsPerInch, 1));
}

std::string CutFestivalText(std::string_view text, int maxBytes) {
    if (static_cast<int64_t>(GbkLength(text)) <= maxBytes)
        return std::string(text);
    // Whole characters up to maxBytes - 2 bytes, so a double-byte character
    // that would straddle the limit goes entirely.
    const int64_t limit = int64_t{maxBytes} - 2;
    int64_t bytes = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t len = Utf8SequenceLength(text, pos);
        const int64_t b = static_cast<int64_t>(GbkLength(text.substr(pos, len)));
        if (bytes + b > limit)
            break;
        bytes += b;
        pos += len;
    }
    return std::string(text.substr(0, pos)) + "…";
}

// --- TLunarCalColors ----------------------------------------------------------

TLunarCalColors::TLunarCalColors(TLunarCal& owner, int ppi)
    : owner_(owner),
      titleFont_(MakeFont("Arial Black", 134, 0xFFFFFF, 14, ppi, true)),
      weekFont_(MakeFont("宋体", 134, clActiveCaption, 12, ppi)),
      dayFont_(MakeFont("Arial Black", 1, clWindowText, 10, ppi, true)),
      lunarFont_(MakeFont("宋体", 134, clWindowText, 8, ppi)),
      ftvFont_(MakeFont("宋体", 134, 0x0000FF, 8, ppi)),
      backMonthFont_(MakeFont("Times New Roman", 1, 0xC0C0C0, 240, ppi, true, true)) {}

void TLunarCalColors::SetColor(uint32_t& field, uint32_t value) {
    if (field == value)
        return;
    field = value;
    owner_.InvalidateAll();
}

void TLunarCalColors::SetFont(TFontSpec& field, const TFontSpec& value) {
    if (field == value)
        return;
    field = value;
    owner_.font_ = dayFont_;
    owner_.InvalidateAll();
}

// --- TCalendarHint ------------------------------------------------------------

TCalendarHint::TCalendarHint(TGlyphRasterizer& glyphs) : smooth_(glyphs) {
    smooth_.SetQuality(tqHigh);
    font_.Height = -12;
}

void TCalendarHint::SetFont(const TFontSpec& font) {
    if (font == font_)
        return;
    font_ = font;
    Layout();
}

void TCalendarHint::SetText(std::string_view text) {
    if (text == text_)
        return;
    text_ = std::string(text);
    Layout();
}

void TCalendarHint::SetAlpha(int alpha) {
    if (alpha >= 0 && alpha <= 255)
        alpha_ = alpha;
}

void TCalendarHint::Layout() {
    lines_.clear();
    const bool labelled = text_.find('=') != std::string::npos;
    size_t pos = 0;
    while (pos < text_.size()) {
        const size_t end = std::min(text_.find_first_of("\r\n", pos), text_.size());
        TLine line;
        line.full = text_.substr(pos, end - pos);
        const size_t eq = line.full.find('=');
        if (labelled && eq != std::string::npos) {
            line.label = std::string(Trim(std::string_view(line.full).substr(0, eq))) + ":";
            line.value = line.full.substr(eq + 1);
        } else {
            line.value = line.full;
        }
        lines_.push_back(std::move(line));
        pos = std::min(text_.find_first_not_of("\r\n", end), text_.size());
    }
    smooth_.SetFont(font_);
    labelWidth_ = 0;
    int widest = 0;
    for (const TLine& line : lines_) {
        if (!line.label.empty())
            labelWidth_ = std::max(labelWidth_, smooth_.TextExtent(line.label).Width);
        widest = std::max(widest, smooth_.TextExtent(line.full).Width);
    }
    lineHeight_ = smooth_.TextExtent("H").Height;
    if (lines_.empty()) {
        width_ = height_ = 0;
        return;
    }
    width_ = widest + 2 * kHintMargin;
    height_ = lineHeight_ * static_cast<int>(lines_.size()) + 2 * kHintMargin;
}

void TCalendarHint::Paint(Bitmap& picture, uint32_t backColor) {
    if (picture.Width() != width_ || picture.Height() != height_)
        picture.Create(width_, height_, backColor);
    else
        picture.Fill(backColor);
    smooth_.SetSurface(&picture);
    int y = kHintMargin;
    for (const TLine& line : lines_) {
        if (!line.label.empty()) {
            TFontSpec red = font_;
            red.Color = kHintLabelColor;
            smooth_.SetFont(red);
            smooth_.PaintText(kHintMargin, y, line.label);
        }
        smooth_.SetFont(font_);
        smooth_.PaintText(kHintMargin + labelWidth_, y, line.value);
        y += lineHeight_;
    }
    smooth_.SetSurface(nullptr);
}

// --- TLunarCal ----------------------------------------------------------------

// The picture painted on: the target itself, or a scratch picture holding
// only the clip, whose top-left is the client point (ox, oy).
struct TLunarCal::TSurface {
    Bitmap* picture = nullptr;
    int ox = 0, oy = 0;
    void Fill(const TCalRect& r, uint32_t color) {
        picture->FillRect(r.left - ox, r.top - oy, r.width, r.height, color);
    }
    void Line(int x0, int y0, int x1, int y1, uint32_t color) {
        picture->DrawLine({x0 - ox, y0 - oy}, {x1 - ox, y1 - oy}, color);
    }
};

TLunarCal::TLunarCal(TGlyphRasterizer& glyphs, int pixelsPerInch)
    : glyphs_(glyphs),
      smooth_(glyphs),
      ppi_(pixelsPerInch > 0 ? pixelsPerInch : 96),
      colors_(*this, ppi_),
      hint_(glyphs),
      hintDate_(std::numeric_limits<double>::quiet_NaN()) {
    font_.Name = "宋体";
    font_.Charset = 134;
    TDateTime today = std::floor(ClockSource::Current().NowLocal());
    if (!(today >= kFirstDate && today < kEndDate))
        today = kFirstDate;
    date_ = today;
    const DateParts d = DecodeDate(date_);
    year_ = d.year;
    month_ = d.month;
    day_ = d.day;
    ComputeFirstCell();
    NewLayout();
}

void TLunarCal::Invalidate(const TCalRect& r) {
    const TCalRect c = Intersect(r, {0, 0, width_, height_});
    if (!c.Empty() && OnInvalidate)
        OnInvalidate(c);
}

void TLunarCal::SetFlag(bool& field, bool on) {
    if (field == on)
        return;
    field = on;
    InvalidateAll();
}

void TLunarCal::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    NewLayout();
    InvalidateAll();
}

void TLunarCal::SetLunarCalStyle(TLunarCalStyle style) {
    if (style == lunarStyle_ || style > csNone)
        return;
    lunarStyle_ = style;
    NewLayout();
    InvalidateAll();
}

void TLunarCal::SetFtvCalStyle(TLunarCalStyle style) {
    if (style == ftvStyle_ || style > csNone)
        return;
    ftvStyle_ = style;
    NewLayout();
    InvalidateAll();
}

void TLunarCal::SetUseISO8601(bool on) {
    if (on == useISO8601_)
        return;
    useISO8601_ = on;
    ComputeFirstCell();
    InvalidateAll();
}

void TLunarCal::SetBackImage(std::shared_ptr<const Bitmap> image) {
    if (image == backImage_)
        return;
    backImage_ = std::move(image);
    // A new picture may sit where the old one was freed.
    dayBackValid_ = false;
    InvalidateAll();
}

void TLunarCal::SetVerticalScale(double scale) {
    if (!(std::fabs(scale) >= 0.001) || scale == verticalScale_)
        return;
    verticalScale_ = scale;
    NewLayout();
    InvalidateAll();
}

void TLunarCal::SetHorizonScale(double scale) {
    if (!(std::fabs(scale) >= 0.001) || scale == horizonScale_)
        return;
    horizonScale_ = scale;
    NewLayout();
    InvalidateAll();
}

void TLunarCal::SetAutoFontSize(bool on) {
    if (on == autoFontSize_)
        return;
    autoFontSize_ = on;
    NewLayout();
    InvalidateAll();
}

void TLunarCal::SetFont(const TFontSpec& font) {
    if (font == font_)
        return;
    font_ = font;
    InvalidateAll();
}

void TLunarCal::SetHolidayLookup(std::function<HolidayInfo(TDateTime)> lookup) {
    holidays_ = std::move(lookup);
    InvalidateAll();
}

HolidayInfo TLunarCal::HolidayAt(TDateTime date) const {
    return holidays_ ? holidays_(date) : HolidayOf(date);
}

void TLunarCal::SetSysColors(std::function<uint32_t(int)> lookup) {
    sysColors_ = std::move(lookup);
    InvalidateAll();
}

uint32_t TLunarCal::ResolveColor(uint32_t color) const {
    if ((color & 0xFF000000) != 0xFF000000)
        return color & 0xFFFFFF;
    const int index = static_cast<int>(color & 0xFFFFFF);
    return (sysColors_ ? sysColors_(index) : ClassicSysColor(index)) & 0xFFFFFF;
}

// --- Layout

int TLunarCal::Fit(std::string_view text, int width, int height) {
    const auto fits = [&](int size) {
        TFontSpec f = font_;
        f.Height = FontHeightOfSize(size, ppi_);
        const TSize s = glyphs_.Measure(f, 1, text);
        return s.Width <= width && s.Height <= height;
    };
    if (!fits(kMinFontSize))
        return kMinFontSize - 1;
    // Extents grow with the size, so the largest fitting size is found by halving.
    int lo = kMinFontSize, hi = kMaxFontSize;
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    return lo;
}

void TLunarCal::NewLayout() {
    TLayout& L = layout_;
    const int W = width_ / 7, H = height_ / 7;
    L.cellWidth = W;
    L.cellHeight = H;
    L.title = {0, 0, width_, 0};
    L.weekRow = {0, 0, width_, H};
    L.dayArea = {0, H, width_, height_ - H};
    // A negative or tiny scale would push a sub-area out of its cell.
    const int g = std::clamp(RoundEven(W / horizonScale_), 0, W);
    const int h = std::clamp(RoundEven(H / verticalScale_), 0, H);
    const TCalRect bottom{0, H - h, W, h};
    const TCalRect right{W - g, 0, g, H};
    const TCalRect rightAbove{W - g, 0, g, H - h};
    const TCalRect none{};
    switch (lunarStyle_) {
        case csBottom:
            L.lunar = bottom;
            switch (ftvStyle_) {
                case csBottom:
                    L.dayNumber = {0, 0, W, H - h};
                    L.festival = bottom;
                    break;
                case csRight:
                    L.dayNumber = {0, 0, W - g, H - h};
                    L.festival = rightAbove;
                    break;
                case csNone:
                    L.dayNumber = {0, 0, W, H - h};
                    L.festival = none;
                    break;
            }
            break;
        case csRight:
            switch (ftvStyle_) {
                case csBottom:
                    L.dayNumber = {0, 0, W - g, H - h};
                    L.lunar = rightAbove;
                    L.festival = bottom;
                    break;
                case csRight:
                    L.dayNumber = {0, 0, W - g, H};
                    L.lunar = L.festival = right;
                    break;
                case csNone:
                    L.dayNumber = {0, 0, W - g, H};
                    L.lunar = right;
                    L.festival = none;
                    break;
            }
            break;
        case csNone:
            L.lunar = none;
            switch (ftvStyle_) {
                case csBottom:
                    L.dayNumber = {0, 0, W, H - h};
                    L.festival = bottom;
                    break;
                case csRight:
                    L.dayNumber = {0, 0, W - g, H};
                    L.festival = right;
                    break;
                case csNone:
                    L.dayNumber = {0, 0, W, H};
                    L.festival = none;
                    break;
            }
            break;
    }

    if (autoFontSize_) {
        const auto setSize = [&](TFontSpec& f, int size) {
            f.Height = FontHeightOfSize(size, ppi_);
        };
        setSize(colors_.backMonthFont_,
                Fit("9", L.dayArea.width, RoundEven(0.9 * L.dayArea.height)));
        setSize(colors_.titleFont_, Fit(FormatDateTime("yyyy年mm月", date_), L.title.width,
                                        RoundEven(0.8 * L.title.height)));
        // The weekday of Date named as the week row names it, so that the
        // names fit their columns.
        const int weekday = DayOfWeek(date_) - 1;
        setSize(colors_.weekFont_,
                Fit(enWeekName_ ? EnglishWeekdayText(weekday, false) : WeekdayText(weekday),
                    RoundEven(0.9 * W), H));
        setSize(colors_.dayFont_,
                Fit(FormatDateTime("dd", date_), L.dayNumber.width, L.dayNumber.height));
        if (!L.lunar.Empty()) {
            setSize(colors_.lunarFont_, lunarStyle_ == csRight && showVertical_
                                            ? Fit("九", L.lunar.width, L.lunar.height / 3)
                                            : Fit("九九九", L.lunar.width, L.lunar.height));
        }
        if (!L.festival.Empty()) {
            int size = 0;
            if (ftvStyle_ != csRight)
                size = Fit("九九九九九九", L.festival.width, L.festival.height);
            else if (showVertical_)
                size = Fit("九", L.festival.width, L.festival.height / 3);
            else
                size = Fit("九九九", L.festival.width, L.festival.height);
            setSize(colors_.ftvFont_, size);
        }
    }

    L.maxFestivalBytes = 6;
    if (!L.festival.Empty() && (ftvStyle_ != csRight || !showVertical_)) {
        TFontSpec f = font_;
        f.Height = colors_.ftvFont_.Height;
        std::string text = "九九九";
        int chars = 3;
        for (;;) {
            const TSize s = glyphs_.Measure(f, 1, text);
            if (s.Width > L.festival.width || s.Height > L.festival.height ||
                chars > kMaxFestivalChars) {
                break;
            }
            text += "九";
            ++chars;
        }
        L.maxFestivalBytes = 2 * chars - 2;
    }

    TFontSpec arrow = colors_.titleFont_;
    const int arrowSize = std::max(FontSizeOfHeight(arrow.Height, ppi_) * 3 / 5, 1);
    arrow.Height = FontHeightOfSize(arrowSize, ppi_);
    const TSize a = glyphs_.Measure(arrow, 1, "《");
    const int top = L.title.top + (L.title.height - a.Height) / 2;
    L.prevYear = {L.title.left + 5, top, a.Width, a.Height};
    L.prevMonth = {L.prevYear.Right() + 1, top, a.Width, a.Height};
    L.nextYear = {L.title.Right() - 5 - a.Width, top, a.Width, a.Height};
    L.nextMonth = {L.nextYear.left - 1 - a.Width, top, a.Width, a.Height};
}

int TLunarCal::CellAt(int x, int y) const {
    const TLayout& L = layout_;
    if (L.cellWidth <= 0 || L.cellHeight <= 0 || !L.dayArea.Contains(x, y))
        return -1;
    const int col = x / L.cellWidth, row = (y - L.dayArea.top) / L.cellHeight;
    if (col > 6 || row > 5)
        return -1;
    return row * 7 + col;
}

TCalRect TLunarCal::CellRect(int index) const {
    const TLayout& L = layout_;
    return {(index % 7) * L.cellWidth, L.dayArea.top + (index / 7) * L.cellHeight, L.cellWidth,
            L.cellHeight};
}

void TLunarCal::ComputeFirstCell() {
    const TDateTime d1 = EncodeDate(year_, month_, 1);
    const int w = useISO8601_ ? DayOfWeekISO(d1) : DayOfWeek(d1);
    firstCell_ = d1 - (w == 1 ? 7 : w - 1);
}

// --- Date

void TLunarCal::SetDate(TDateTime x) {
    if (!(x >= kFirstDate && x < kEndDate))
        return;
    const TDateTime d = std::floor(x);
    if (d == date_)
        return;
    const TDateTime oldFirst = firstCell_, oldDate = date_;
    date_ = d;
    const DateParts p = DecodeDate(d);
    year_ = p.year;
    month_ = p.month;
    day_ = p.day;
    ComputeFirstCell();
    if (OnChange)
        OnChange();
    if (firstCell_ != oldFirst) {
        Invalidate(layout_.title);
        Invalidate(layout_.dayArea);
    } else {
        Invalidate(CellRect(static_cast<int>(oldDate - firstCell_)));
        Invalidate(CellRect(static_cast<int>(date_ - firstCell_)));
    }
}

void TLunarCal::SetYear(int year) {
    year = std::clamp(year, kLunarFirstYear, kLunarLastYear);
    SetDate(EncodeDate(year, month_, std::min(day_, DaysInMonth(year, month_))));
}

void TLunarCal::SetMonth(int month) {
    month = std::clamp(month, 1, 12);
    SetDate(EncodeDate(year_, month, std::min(day_, DaysInMonth(year_, month))));
}

void TLunarCal::MoveDate(int months) {
    const int m = year_ * 12 + (month_ - 1) + months;
    const int y = m / 12, mo = m % 12 + 1;
    if (y < kLunarFirstYear || y > kLunarLastYear)
        return;
    SetDate(EncodeDate(y, mo, std::min(day_, DaysInMonth(y, mo))));
}

bool TLunarCal::SelectCellAt(int x, int y) {
    const int index = CellAt(x, y);
    if (index < 0)
        return false;
    const TDateTime d = CellDate(index);
    if (DecodeDate(d).month != month_)
        return false;
    SetDate(d);
    return true;
}

// --- Input

void TLunarCal::MouseDown(int x, int y) {
    if (layout_.dayArea.Contains(x, y)) {
        MouseDrag(x, y);
        return;
    }
    if (!showArrow_)
        return;
    if (layout_.prevYear.Contains(x, y))
        MoveDate(-12);
    else if (layout_.prevMonth.Contains(x, y))
        MoveDate(-1);
    else if (layout_.nextMonth.Contains(x, y))
        MoveDate(1);
    else if (layout_.nextYear.Contains(x, y))
        MoveDate(12);
}

void TLunarCal::MouseDrag(int x, int y) {
    const int index = CellAt(x, y);
    if (index >= 0 && CellDate(index) != date_)
        SetDate(CellDate(index));
}

bool TLunarCal::KeyDown(int key, bool shiftState) {
    if (shiftState)
        return false;
    switch (key) {
        case ckPageUp:
            MoveDate(-1);
            break;
        case ckPageDown:
            MoveDate(1);
            break;
        case ckHome:
            SetDate(EncodeDate(year_, month_, 1));
            break;
        case ckEnd:
            SetDate(EncodeDate(year_, month_, DaysInMonth(year_, month_)));
            break;
        case ckLeft:
            SetDate(date_ - 1);
            break;
        case ckRight:
            SetDate(date_ + 1);
            break;
        case ckUp:
            SetDate(date_ - 7);
            break;
        case ckDown:
            SetDate(date_ + 7);
            break;
        case ckEnter:
            if (OnClick)
                OnClick();
            break;
        default:
            return false;
    }
    return true;
}

// --- Hint

std::string TLunarCal::HintTextOf(TDateTime day) const {
    std::string text = CalendarHintText(day, ftvList_, useISO8601_);
    const HolidayInfo h = HolidayAt(day);
    if (h.kind != HolidayKind::None)
        text += "\n假日= " + h.name + (h.kind == HolidayKind::DayOff ? " (休)" : " (班)");
    return text;
}

TCalHintRequest TLunarCal::HintAt(int x, int y) {
    if (!showHint_)
        return {};
    const int index = CellAt(x, y);
    if (index >= 0) {
        const TDateTime d = CellDate(index);
        if (d == hintDate_)
            return {TCalHintRequest::Show, 0, 0};
        hintDate_ = d;
        hint_.SetText(HintTextOf(d));
        return {TCalHintRequest::ShowMoved, x + kHintOffset, y + kHintOffset};
    }
    if (showArrow_ && !layout_.dayArea.Contains(x, y)) {
        const char* text = nullptr;
        if (layout_.prevYear.Contains(x, y))
            text = "上一年";
        else if (layout_.prevMonth.Contains(x, y))
            text = "上一月";
        else if (layout_.nextMonth.Contains(x, y))
            text = "下一月";
        else if (layout_.nextYear.Contains(x, y))
            text = "下一年";
        if (text != nullptr) {
            // Back over a day, the hint is made for that day again.
            hintDate_ = std::numeric_limits<double>::quiet_NaN();
            hint_.SetText(text);
            return {TCalHintRequest::ShowMoved, x, y};
        }
    }
    return {};
}

// --- Painting

TSize TLunarCal::Measure(const TFontSpec& font, uint32_t color, std::string_view text) {
    // Measured in the colour it is drawn in, so that the rasteriser sees one
    // font for both.
    TFontSpec f = font;
    f.Color = ResolveColor(color);
    smooth_.SetFont(f);
    smooth_.SetQuality(smoothText_ ? tqHigh : tqNone);
    smooth_.SetEffect({});
    return smooth_.TextExtent(text);
}

void TLunarCal::DrawText(TSurface& s, const TFontSpec& font, uint32_t color, int x, int y,
                         std::string_view text, bool shadow) {
    TFontSpec f = font;
    f.Color = ResolveColor(color);
    smooth_.SetFont(f);
    smooth_.SetQuality(smoothText_ ? tqHigh : tqNone);
    TTextEffect effect;
    // Plain text has no shadow: the shadow is the smooth renderer's.
    effect.Shadow.Enabled = shadow && smoothText_ && shadowFont_;
    smooth_.SetEffect(effect);
    smooth_.PaintText(x - s.ox, y - s.oy, text);
}

TCalRect TLunarCal::PlaceText(const TCalRect& area, TLunarCalStyle style, const TFontSpec& font,
                              uint32_t color, std::string& text) {
    if (text.empty() || area.Empty()) {
        text.clear();
        return {};
    }
    if (style == csRight && showVertical_) {
        // One character a line, at most three, the first a third of the way down.
        TCalRect box;
        int y = 0;
        size_t pos = 0;
        for (int line = 0; line < 3 && pos < text.size(); ++line) {
            const size_t len = Utf8SequenceLength(text, pos);
            const TSize sz = Measure(font, color, std::string_view(text).substr(pos, len));
            pos += len;
            if (line == 0)
                y = area.top + area.height / 3 - sz.Height;
            box = Union(box, {area.left + 2, y, sz.Width, sz.Height});
            y += sz.Height;
        }
        text.resize(pos);
        return box;
    }
    const TSize sz = Measure(font, color, text);
    if (style == csRight)
        return {area.left, area.top + (area.height - sz.Height) / 2, sz.Width, sz.Height};
    return {area.left + (area.width - sz.Width) / 2, area.top, sz.Width, sz.Height};
}

void TLunarCal::DrawPlaced(TSurface& s, const TCalRect& box, TLunarCalStyle style,
                           const TFontSpec& font, uint32_t color, std::string_view text,
                           bool shadow) {
    if (text.empty())
        return;
    if (!(style == csRight && showVertical_)) {
        DrawText(s, font, color, box.left, box.top, text, shadow);
        return;
    }
    int y = box.top;
    for (size_t pos = 0; pos < text.size();) {
        const std::string_view ch = text.substr(pos, Utf8SequenceLength(text, pos));
        pos += ch.size();
        DrawText(s, font, color, box.left, y, ch, shadow);
        y += Measure(font, color, ch).Height;
    }
}

std::string TLunarCal::LunarTextOf(TDateTime date, bool& isTerm) const {
    std::string term = SolarTermOfDay(date);
    isTerm = !term.empty();
    if (isTerm)
        return term;
    if (chineseEar_)
        return GanZhiText(GanZhiOf(date).DayCycle);
    const LunarDate l = SolarToLunar(date);
    if (l.Day == 0)
        return {};
    return l.Day == 1 ? LunarMonthText(l.Month, l.IsLeap) : LunarDayText(l.Day);
}

TCellContent TLunarCal::CellContent(int index) {
    return ContentOf(index, std::floor(ClockSource::Current().NowLocal()));
}

TCellContent TLunarCal::ContentOf(int index, TDateTime today) {
    const TLayout& L = layout_;
    const TLunarCalColors& c = colors_;
    const TCalRect cell = CellRect(index);
    TCellContent out;
    out.date = CellDate(index);
    const DateParts p = DecodeDate(out.date);
    out.inMonth = p.month == month_;
    const int n = index % 7 + (useISO8601_ ? 1 : 0);

    out.today = out.date == today;
    const bool isToday = out.today;
    uint32_t color = c.trailingText_;
    if (isToday)
        color = kTodayColor;
    else if (out.inMonth)
        color = n == 0 || n == 7 ? c.sunday_ : n == 6 ? c.saturday_ : c.dayFont_.Color;
    out.dayColor = ResolveColor(color);
    const TCalRect dayArea = Offset(L.dayNumber, cell.left, cell.top);
    if (!dayArea.Empty()) {
        out.dayText = isToday ? "今天" : std::to_string(p.day);
        const TSize sz = Measure(DayFont(isToday), out.dayColor, out.dayText);
        out.day = {dayArea.left + (dayArea.width - sz.Width) / 2,
                   dayArea.top + (dayArea.height - sz.Height) / 2, sz.Width, sz.Height};
    }

    const TCalRect lunarArea = Offset(L.lunar, cell.left, cell.top);
    const TCalRect ftvArea = Offset(L.festival, cell.left, cell.top);
    const FestivalMatch f = ftvArea.Empty() ? FestivalMatch{} : ftvList_.FestivalTextOf(out.date);
    // Sharing one rectangle, a festival pushes the lunar text out.
    const bool shared = !ftvArea.Empty() && lunarStyle_ == ftvStyle_;
    if (!(shared && !f.text.empty())) {
        bool isTerm = false;
        out.lunarText = LunarTextOf(out.date, isTerm);
        out.lunarColor = ResolveColor(!out.inMonth ? c.trailingText_
                                      : isTerm     ? c.lunarTerm_
                                                   : c.lunarFont_.Color);
        out.lunar = PlaceText(lunarArea, lunarStyle_, c.lunarFont_, out.lunarColor, out.lunarText);
    }
    if (!shared || !f.text.empty()) {
        out.festivalText = CutFestivalText(f.text, L.maxFestivalBytes);
        out.festivalColor = ResolveColor(!out.inMonth          ? c.trailingText_
                                         : f.color != kNoColor ? static_cast<uint32_t>(f.color)
                                                               : c.ftvFont_.Color);
        out.festival =
            PlaceText(ftvArea, ftvStyle_, c.ftvFont_, out.festivalColor, out.festivalText);
    }

    out.holiday = HolidayAt(out.date).kind;
    if (out.holiday != HolidayKind::None)
        out.badge = BadgeIn(cell, out);
    return out;
}

TCalRect TLunarCal::BadgeIn(const TCalRect& cell, TCellContent& content) const {
    const int W = cell.width, H = cell.height;
    const int preferred = std::clamp(RoundEven(std::min(W, H) * 0.3), kMinBadge, kMaxBadge);
    // Inside the selection outline, which takes two pixels at the left and
    // top edges and three at the right and bottom.
    constexpr int kLead = 2, kTrail = 3;
    // The top-right corner, else the bottom-right one. A text in the way
    // steps left to make room, as far as the outline; with a pixel of air
    // around each, no text may then touch the badge or another text.
    for (const bool top : {true, false}) {
        for (int side = preferred; side >= kMinBadge; --side) {
            const TCalRect r{cell.Right() - kTrail - side,
                             top ? cell.top + kLead : cell.Bottom() - kTrail - side, side, side};
            if (r.left < cell.left + kLead || r.top < cell.top + kLead)
                continue;
            TCellContent moved = content;
            TCalRect* texts[] = {&moved.day, &moved.lunar, &moved.festival};
            bool ok = true;
            for (TCalRect* t : texts) {
                if (!Inflate(*t, 1, 1).Intersects(r))
                    continue;
                t->left -= t->Right() + 1 - r.left;
                ok = ok && t->left >= cell.left + kLead + 1;
            }
            const TCalRect* was[] = {&content.day, &content.lunar, &content.festival};
            for (int i = 0; i < 3 && ok; ++i) {
                ok = !Inflate(*texts[i], 1, 1).Intersects(r);
                for (int j = i + 1; j < 3 && ok; ++j)
                    ok = was[i]->Intersects(*was[j]) || !texts[i]->Intersects(*texts[j]);
            }
            if (ok) {
                content = moved;
                return r;
            }
        }
    }
    return {};
}

void TLunarCal::PaintCell(TSurface& s, int index, TDateTime today) {
    const TCalRect cell = CellRect(index);
    const TCellContent content = ContentOf(index, today);

    const int32_t mark = ftvList_.MarkColorOf(content.date);
    if (mark >= 0) {
        if (markImage_ && !markImage_->Empty()) {
            s.picture->CopyTransparent(cell.left + 3 - s.ox, cell.Bottom() - 14 - s.oy, *markImage_,
                                       0, 0, markImage_->Width(), markImage_->Height());
        } else {
            // A colour from the marks file may carry stray high bits.
            s.Fill(cell, static_cast<uint32_t>(mark) & 0xFFFFFF);
        }
    }

    if (content.date == date_) {
        // A 2-pixel pen on the rectangle (left + 1, top + 1) - (right - 1, bottom - 1).
        const int l = cell.left, t = cell.top, r = cell.Right() - 1, b = cell.Bottom() - 1;
        s.Fill({l, t, r - l, 2}, kSelectedColor);
        s.Fill({l, b - 2, r - l, 2}, kSelectedColor);
        s.Fill({l, t, 2, b - t}, kSelectedColor);
        s.Fill({r - 2, t, 2, b - t}, kSelectedColor);
    }

    const TLunarCalColors& c = colors_;
    if (!content.dayText.empty()) {
        DrawText(s, DayFont(content.today), content.dayColor, content.day.left, content.day.top,
                 content.dayText, content.inMonth);
    }
    DrawPlaced(s, content.lunar, lunarStyle_, c.lunarFont_, content.lunarColor, content.lunarText,
               false);
    DrawPlaced(s, content.festival, ftvStyle_, c.ftvFont_, content.festivalColor,
               content.festivalText, true);

    if (content.badge.Empty())
        return;
    const bool dayOff = content.holiday == HolidayKind::DayOff;
    uint32_t color = dayOff ? kDayOffColor : kWorkDayColor;
    if (!content.inMonth)
        color = Mix(color, ResolveColor(c.dayBack_));
    const char* text = dayOff ? "休" : "班";
    const TFontSpec font = BadgeFont(content.badge.height);
    const TSize sz = Measure(font, color, text);
    const TCalRect& b = content.badge;
    DrawText(s, font, color, b.left + (b.width - sz.Width) / 2, b.top + (b.height - sz.Height) / 2,
             text, false);
}

TFontSpec TLunarCal::DayFont(bool today) const {
    TFontSpec font = colors_.dayFont_;
    if (today) {
        // 今天 in the day number's size and weight, but in the Chinese face
        // of the lunar texts: a Latin day face may have no such characters.
        font.Name = colors_.lunarFont_.Name;
        font.Charset = colors_.lunarFont_.Charset;
    }
    return font;
}

TFontSpec TLunarCal::BadgeFont(int side) const {
    TFontSpec font = colors_.lunarFont_;
    font.Height = -side;
    font.Bold = true;
    return font;
}

void TLunarCal::PaintWeekRow(TSurface& s) {
    const TLayout& L = layout_;
    const TLunarCalColors& c = colors_;
    s.Fill(L.weekRow, ResolveColor(c.weekBack_));
    for (int col = 0; col < 7; ++col) {
        const int n = col + (useISO8601_ ? 1 : 0);
        const uint32_t color = n == 0 || n == 7 ? c.sunday_
                               : n == 6         ? c.saturday_
                                                : c.weekFont_.Color;
        const std::string text = enWeekName_ ? EnglishWeekdayText(n, false) : WeekdayText(n);
        const TSize sz = Measure(c.weekFont_, color, text);
        DrawText(s, c.weekFont_, color, col * L.cellWidth + (L.cellWidth - sz.Width) / 2,
                 (L.cellHeight - sz.Height) / 2, text, false);
    }
    if (!showGrid_) {
        const int y = L.weekRow.Bottom() - 2;
        s.Line(2, y, L.weekRow.Right() - 2, y, ResolveColor(c.weekFont_.Color));
    }
}

void TLunarCal::UpdateDayBack() {
    const TLayout& L = layout_;
    const TLunarCalColors& c = colors_;
    TDayBackKey key;
    key.width = L.dayArea.width;
    key.height = L.dayArea.height;
    key.controlWidth = width_;
    key.color = ResolveColor(c.dayBack_);
    key.image = showBackImage_ ? backImage_.get() : nullptr;
    key.month = showBackMonth_ ? month_ : 0;
    key.font = c.backMonthFont_;
    key.font.Color = ResolveColor(key.font.Color);
    key.smooth = smoothText_;
    if (dayBackValid_ && key == dayBackKey_)
        return;
    dayBackKey_ = key;
    dayBackValid_ = dayBack_.Create(key.width, key.height, key.color);
    if (!dayBackValid_)
        return;
    if (key.image != nullptr && !key.image->Empty()) {
        dayBack_.StretchRect(0, 0, key.width, key.height, *key.image, 0, 0, key.image->Width(),
                             key.image->Height());
    }
    if (key.month != 0) {
        TSurface s;
        s.picture = &dayBack_;
        s.ox = L.dayArea.left;
        s.oy = L.dayArea.top;
        smooth_.SetSurface(&dayBack_);
        const std::string text = std::to_string(key.month);
        const TSize sz = Measure(key.font, key.font.Color, text);
        // Centred on the control's width, as the day area is as wide.
        DrawText(s, key.font, key.font.Color, L.dayArea.left + (width_ - sz.Width) / 2,
                 L.dayArea.top + (L.dayArea.height - sz.Height) / 2, text, false);
    }
}

void TLunarCal::Paint(Bitmap& picture, const TCalRect& clip) {
    if (picture.Width() != width_ || picture.Height() != height_)
        picture.Create(width_, height_);
    const TCalRect full{0, 0, width_, height_};
    const TCalRect c = Intersect(clip, full);
    if (c.Empty())
        return;
    TSurface s;
    if (c == full) {
        s.picture = &picture;
    } else {
        scratch_.Create(c.width, c.height);
        s.picture = &scratch_;
        s.ox = c.left;
        s.oy = c.top;
    }
    smooth_.SetSurface(s.picture);
    const TLayout& L = layout_;
    const TLunarCalColors& colors = colors_;

    if (c.Intersects(L.weekRow))
        PaintWeekRow(s);

    if (c.Intersects(L.dayArea)) {
        UpdateDayBack();
        s.picture->CopyRect(L.dayArea.left - s.ox, L.dayArea.top - s.oy, dayBack_, 0, 0,
                            dayBack_.Width(), dayBack_.Height());
        smooth_.SetSurface(s.picture);
    }

    if (showBorder_) {
        const uint32_t b = ResolveColor(colors.border_);
        s.Fill({0, 0, width_, 1}, b);
        s.Fill({0, height_ - 1, width_, 1}, b);
        s.Fill({0, 0, 1, height_}, b);
        s.Fill({width_ - 1, 0, 1, height_}, b);
    }
    if (showGrid_) {
        const uint32_t g = ResolveColor(colors.grid_);
        for (int k = 1; k <= 6; ++k)
            s.Line(k * L.cellWidth, L.weekRow.top, k * L.cellWidth, L.dayArea.Bottom(), g);
        for (int k = 0; k <= 5; ++k) {
            const int y = L.weekRow.Bottom() + k * L.cellHeight;
            s.Line(L.dayArea.left, y, L.dayArea.Right(), y, g);
        }
    }

    if (L.cellWidth > 0 && L.cellHeight > 0) {
        const TDateTime today = std::floor(ClockSource::Current().NowLocal());
        for (int i = 0; i < 42; ++i) {
            // Texts and shadows may stray into the next cell, so the cells
            // around the clip are drawn too and the clip keeps their part.
            if (Inflate(CellRect(i), L.cellWidth, L.cellHeight).Intersects(c))
                PaintCell(s, i, today);
        }
    }

    smooth_.SetSurface(nullptr);
    if (s.picture == &scratch_)
        picture.CopyRect(c.left, c.top, scratch_, 0, 0, c.width, c.height);
}

}  // namespace tempora
