#include "calendar/LunarCal.Grid.Internal.h"

#include <limits>

#include "core/Text.h"

namespace tempora {

using namespace lunar_grid;

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

std::string TLunarCal::HintTextOf(TDateTime day) const {
    std::string text = CalendarHintText(day, *ftvList_, useISO8601_);
    const HolidayInfo h = HolidayAt(day);
    if (h.kind != HolidayKind::None)
        text += "\n假日= " + h.name + (h.kind == HolidayKind::DayOff ? " (休)" : " (班)");
    if (dayNote_) {
        const std::string note = dayNote_(day);
        if (!note.empty())
            text += "\n" + note;
    }
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

}  // namespace tempora
