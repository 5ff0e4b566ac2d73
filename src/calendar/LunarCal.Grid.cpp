#include "calendar/LunarCal.Grid.Internal.h"

#include <limits>
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/Text.h"

namespace tempora {

using namespace lunar_grid;

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

void TLunarCal::SetPixelsPerInch(int pixelsPerInch) {
    pixelsPerInch = pixelsPerInch > 0 ? pixelsPerInch : 96;
    if (pixelsPerInch == ppi_)
        return;
    for (TFontSpec* f : {&colors_.titleFont_, &colors_.weekFont_, &colors_.dayFont_,
                         &colors_.lunarFont_, &colors_.ftvFont_, &colors_.backMonthFont_}) {
        f->Height = FontHeightOfSize(FontSizeOfHeight(f->Height, ppi_), pixelsPerInch);
    }
    ppi_ = pixelsPerInch;
    NewLayout();
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

void TLunarCal::SetHolidayNotes(std::function<std::string(TDateTime)> dayNote,
                                std::function<std::string(int year)> yearNote) {
    dayNote_ = std::move(dayNote);
    yearNote_ = std::move(yearNote);
    InvalidateAll();
}

HolidayInfo TLunarCal::HolidayAt(TDateTime date) const {
    return holidays_ ? holidays_(date) : HolidayInfo{};
}

void TLunarCal::ShareFtvList(TFestivalList& list) {
    ftvList_ = &list;
    InvalidateAll();
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

}  // namespace tempora
