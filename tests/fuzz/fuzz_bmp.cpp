// Decodes arbitrary bytes as a BMP file; whatever decodes must survive a write
// and read back unchanged in both written depths.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tempora::Bitmap pic;
    if (!tempora::DecodeBmp(std::string_view(reinterpret_cast<const char*>(data), size), pic)) {
        return 0;
    }
    for (tempora::BmpDepth depth : {tempora::BmpDepth::Bits24, tempora::BmpDepth::Bits32}) {
        tempora::Bitmap again;
        if (!tempora::DecodeBmp(tempora::EncodeBmp(pic, depth), again) || !(again == pic)) {
            __builtin_trap();
        }
    }
    return 0;
}
