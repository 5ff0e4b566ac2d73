// Windows bitmap files (BMP) to and from Bitmap pictures.
//
// Reading takes a complete file, file header first: 1, 4, 8, 16, 24 and
// 32 bits per pixel, bottom-up and top-down rows, uncompressed (BI_RGB) and
// bit-field masks (BI_BITFIELDS, 16 and 32 bits), with the 12-byte OS/2 core
// header, the 40-byte info header and its 52, 56, 108 (V4) and 124 (V5) byte
// successors. Compressed files (RLE, JPEG, PNG) are refused, and so is any file
// whose headers, palette or pixel data do not hold together. Every pixel comes
// out 0x00BBGGRR with a zero top byte; alpha is not kept.
//
// Writing produces uncompressed bottom-up files of 24 or 32 bits per pixel.
#pragma once

#include <string>
#include <string_view>

#include "Bitmap.h"

namespace tempora {

// On failure these return false, leave `out` unchanged and, when `why` is
// given, store a short reason there ("pixel data beyond the end of the file").
bool DecodeBmp(std::string_view file, Bitmap& out, std::string* why = nullptr);
bool LoadBmpFile(const std::string& utf8Path, Bitmap& out, std::string* why = nullptr);

enum class BmpDepth { Bits24 = 24, Bits32 = 32 };

// A complete BMP file of the picture; the top byte of each pixel is not
// stored (32-bit files get 0 there).
std::string EncodeBmp(const Bitmap& picture, BmpDepth depth = BmpDepth::Bits24);

}  // namespace tempora
