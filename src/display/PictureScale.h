// Resizing skin pictures to a display scale without losing the see-through
// colour.
//
// A pixel of the key colour is a hole, not a colour: it must never be mixed
// into a drawn pixel (a pink fringe), and a drawn shape must not get holes.
// So every target pixel is filtered from the drawn source pixels alone
// (premultiplied by their coverage) and is drawn when they cover at least
// half of it, see-through otherwise. Each axis is filtered on its own:
// shrinking averages the source area a target pixel covers; growing by a
// whole factor repeats pixels (hard-edged skin art stays sharp); any other
// growth interpolates linearly between the nearest pixel centres.
#pragma once

#include <cstdint>

#include "core/Bitmap.h"

namespace tempora {

// `source` resized to width x height. A drawn target pixel never has the key
// colour (an average that lands on it is nudged to 0xFE00FF). An empty source
// or target size gives an empty picture; a size Bitmap refuses gives an
// empty picture too.
Bitmap ScalePicture(const Bitmap& source, int width, int height, uint32_t key = Bitmap::kKeyColor);

}  // namespace tempora
