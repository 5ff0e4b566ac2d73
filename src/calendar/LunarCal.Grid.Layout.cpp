#include "calendar/LunarCal.Grid.Internal.h"

#include "core/Scale.h"

namespace tempora {

using namespace lunar_grid;

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
    const TScale scale{ppi_};
    const int inset = scale.Px(5), gap = scale.Px(1);
    L.prevYear = {L.title.left + inset, top, a.Width, a.Height};
    L.prevMonth = {L.prevYear.Right() + gap, top, a.Width, a.Height};
    L.nextYear = {L.title.Right() - inset - a.Width, top, a.Width, a.Height};
    L.nextMonth = {L.nextYear.left - gap - a.Width, top, a.Width, a.Height};
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

}  // namespace tempora
