#include "calendar/LunarCal.Grid.Internal.h"

namespace tempora {

using namespace lunar_grid;

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

}  // namespace tempora
