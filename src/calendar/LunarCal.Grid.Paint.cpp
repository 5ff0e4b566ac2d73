#include "calendar/LunarCal.Grid.Internal.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/Text.h"

namespace tempora {

using namespace lunar_grid;

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

void TLunarCal::PaintCell(TSurface& s, int index, TDateTime today) {
    const TCalRect cell = CellRect(index);
    const TCellContent content = ContentOf(index, today);

    const int32_t mark = ftvList_->MarkColorOf(content.date);
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
    if (yearNote_) {
        key.note = yearNote_(year_);
        // Quiet: the month number's colour in the day font's face.
        key.noteFont = c.dayFont_;
        key.noteFont.Height = -13;
        key.noteFont.Bold = false;
        key.noteFont.Color = key.font.Color;
    }
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
    if (!key.note.empty()) {
        TSurface s;
        s.picture = &dayBack_;
        s.ox = L.dayArea.left;
        s.oy = L.dayArea.top;
        smooth_.SetSurface(&dayBack_);
        const TSize sz = Measure(key.noteFont, key.noteFont.Color, key.note);
        // Between the last two week rows, where it crosses the fewest day texts.
        DrawText(s, key.noteFont, key.noteFont.Color, L.dayArea.left + (width_ - sz.Width) / 2,
                 L.dayArea.top + L.dayArea.height * 5 / 6 - sz.Height / 2, key.note, false);
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
