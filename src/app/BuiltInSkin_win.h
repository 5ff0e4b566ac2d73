// The look of the bar when no skin package applies.
#pragma once

#include "app/BarFace.h"

namespace tempora {

// A dark glass strip with rounded ends and two buttons, drawn with GDI at
// 100 % and scaled to `scale`.
TBarSkin BuiltInBarSkin(TScale scale = {});

}  // namespace tempora
