#include "Bmp.h"

#include <cstdint>

#include "FileSys.h"

namespace tempora {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kCoreHeaderSize = 12;
constexpr size_t kInfoHeaderSize = 40;
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

uint32_t Le16(std::string_view d, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(d[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8;
}

uint32_t Le32(std::string_view d, size_t at) {
    return Le16(d, at) | Le16(d, at + 2) << 16;
}

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

bool Fail(std::string* why, const char* reason) {
    if (why)
        *why = reason;
    return false;
}

// One colour channel of a 16- or 32-bit pixel under a bit-field mask.
class Channel {
public:
    // False for a mask whose bits are not contiguous.
    bool Set(uint32_t mask) {
        mask_ = mask;
        shift_ = 0;
        bits_ = 0;
        if (mask == 0)
            return true;
        while (!((mask >> shift_) & 1))
            ++shift_;
        const uint32_t field = mask >> shift_;
        while (bits_ < 32 && ((field >> bits_) & 1))
            ++bits_;
        return bits_ == 32 || (field >> bits_) == 0;
    }
    // Widened to 8 bits as the platform's DIB code does: fields of 8 bits or
    // more keep their top 8 bits, narrower ones repeat their top bits once
    // below themselves (5 bits: v << 3 | v >> 2).
    uint32_t Extract(uint32_t pixel) const {
        if (bits_ == 0)
            return 0;
        const uint32_t v = (pixel & mask_) >> shift_;
        if (bits_ >= 8)
            return v >> (bits_ - 8);
        const uint32_t top = v << (8 - bits_);
        return (top | top >> bits_) & 0xFF;
    }

private:
    uint32_t mask_ = 0;
    int shift_ = 0;
    int bits_ = 0;
};

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return r | g << 8 | b << 16;
}

struct Header {
    int64_t width = 0;
    int64_t height = 0;  // always positive here; topDown says the row order
    bool topDown = false;
    uint32_t bpp = 0;
    uint32_t compression = kBiRgb;
    size_t paletteAt = 0;  // offset of the first palette entry
    size_t paletteEntrySize = 4;
    uint64_t paletteEntries = 0;    // 0 unless bpp <= 8
    uint32_t masks[3] = {0, 0, 0};  // red, green, blue
};

bool ParseHeader(std::string_view d, Header& h, std::string* why) {
    if (d.size() < kFileHeaderSize + 4)
        return Fail(why, "file too short");
    if (d[0] != 'B' || d[1] != 'M')
        return Fail(why, "not a BMP file");
    const uint32_t headerSize = Le32(d, kFileHeaderSize);
    const size_t info = kFileHeaderSize;
    if (headerSize == kCoreHeaderSize) {
        if (d.size() < info + kCoreHeaderSize)
            return Fail(why, "file too short");
        h.width = Le16(d, info + 4);
        h.height = Le16(d, info + 6);
        h.bpp = Le16(d, info + 10);
        if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 24) {
            return Fail(why, "unsupported bits per pixel");
        }
        h.paletteAt = info + kCoreHeaderSize;
        h.paletteEntrySize = 3;
        if (h.bpp <= 8)
            h.paletteEntries = uint64_t{1} << h.bpp;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (d.size() < info + headerSize)
            return Fail(why, "file too short");
        h.width = static_cast<int32_t>(Le32(d, info + 4));
        h.height = static_cast<int32_t>(Le32(d, info + 8));
        h.bpp = Le16(d, info + 14);
        h.compression = Le32(d, info + 16);
        const uint32_t colorsUsed = Le32(d, info + 32);
        h.paletteAt = info + headerSize;
        if (h.compression == kBiRle8 || h.compression == kBiRle4) {
            return Fail(why, "compressed BMP not supported");
        }
        if (h.compression == kBiRgb) {
            if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 &&
                h.bpp != 32) {
                return Fail(why, "unsupported bits per pixel");
            }
        } else if (h.compression == kBiBitfields) {
            if (h.bpp != 16 && h.bpp != 32)
                return Fail(why, "bit fields need 16 or 32 bits");
            // The 40-byte header is followed by the three masks; later headers hold them.
            size_t masksAt = info + kInfoHeaderSize;
            if (headerSize == kInfoHeaderSize) {
                if (d.size() < masksAt + 12)
                    return Fail(why, "file too short");
                h.paletteAt += 12;
            }
            for (int i = 0; i < 3; ++i)
                h.masks[i] = Le32(d, masksAt + 4 * i);
        } else {
            return Fail(why, "unsupported compression");
        }
        if (h.bpp <= 8) {
            const uint64_t most = uint64_t{1} << h.bpp;
            if (colorsUsed > most)
                return Fail(why, "palette longer than the bit depth allows");
            h.paletteEntries = colorsUsed != 0 ? colorsUsed : most;
        }
    } else {
        return Fail(why, "unsupported header");
    }
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height;
    }
    if (h.width <= 0 || h.height == 0)
        return Fail(why, "empty picture");
    if (!Bitmap::SizeAllowed(h.width, h.height))
        return Fail(why, "picture too large");
    return true;
}

}  // namespace

bool DecodeBmp(std::string_view d, Bitmap& out, std::string* why) {
    Header h;
    if (!ParseHeader(d, h, why))
        return false;

    const uint64_t pixelsAt = Le32(d, 10);
    if (pixelsAt > d.size())
        return Fail(why, "pixel data offset beyond the end of the file");
    const uint64_t paletteEnd = h.paletteAt + h.paletteEntries * h.paletteEntrySize;
    if (pixelsAt < h.paletteAt)
        return Fail(why, "pixel data offset inside the header");
    if (paletteEnd > pixelsAt)
        return Fail(why, "palette runs into the pixel data");
    const uint64_t rowBits = static_cast<uint64_t>(h.width) * h.bpp;
    const uint64_t stride = (rowBits + 31) / 32 * 4;
    // The last row may lack its padding.
    const uint64_t needed = stride * static_cast<uint64_t>(h.height - 1) + (rowBits + 7) / 8;
    if (needed > d.size() - pixelsAt)
        return Fail(why, "pixel data beyond the end of the file");

    uint32_t palette[256];
    for (uint64_t i = 0; i < h.paletteEntries; ++i) {
        const size_t at = static_cast<size_t>(h.paletteAt + i * h.paletteEntrySize);
        palette[i] = Rgb(static_cast<unsigned char>(d[at + 2]),
                         static_cast<unsigned char>(d[at + 1]), static_cast<unsigned char>(d[at]));
    }
    // 16- and 32-bit pixels go through channel masks; without bit fields
    // these are 5-5-5 and 8-8-8 (the top byte unused).
    Channel red, green, blue;
    if (h.compression == kBiBitfields) {
        if (!red.Set(h.masks[0]) || !green.Set(h.masks[1]) || !blue.Set(h.masks[2])) {
            return Fail(why, "bit-field mask not contiguous");
        }
    } else if (h.bpp == 16) {
        red.Set(0x7C00);
        green.Set(0x03E0);
        blue.Set(0x001F);
    } else if (h.bpp == 32) {
        red.Set(0xFF0000);
        green.Set(0x00FF00);
        blue.Set(0x0000FF);
    }

    Bitmap pic;
    pic.Create(static_cast<int>(h.width), static_cast<int>(h.height));
    const int width = pic.Width();
    for (int r = 0; r < pic.Height(); ++r) {
        const size_t at = static_cast<size_t>(pixelsAt + stride * static_cast<uint64_t>(r));
        const auto byte = [&](size_t i) -> uint32_t {
            return static_cast<unsigned char>(d[at + i]);
        };
        uint32_t* dst = pic.Row(h.topDown ? r : pic.Height() - 1 - r);
        if (h.bpp <= 8) {
            const uint32_t perByte = 8 / h.bpp;
            const uint32_t mask = (1u << h.bpp) - 1;
            for (int x = 0; x < width; ++x) {
                // The leftmost pixel of a byte is in its high bits.
                const uint32_t shift = (perByte - 1 - x % perByte) * h.bpp;
                const uint32_t index = (byte(x / perByte) >> shift) & mask;
                if (index >= h.paletteEntries)
                    return Fail(why, "colour index beyond the palette");
                dst[x] = palette[index];
            }
        } else if (h.bpp == 24) {
            for (int x = 0; x < width; ++x) {
                const size_t i = 3 * static_cast<size_t>(x);
                dst[x] = Rgb(byte(i + 2), byte(i + 1), byte(i));
            }
        } else {
            for (int x = 0; x < width; ++x) {
                const size_t i = static_cast<size_t>(x) * (h.bpp / 8);
                const uint32_t p = h.bpp == 16 ? Le16(d, at + i) : Le32(d, at + i);
                dst[x] = Rgb(red.Extract(p), green.Extract(p), blue.Extract(p));
            }
        }
    }
    out = std::move(pic);
    return true;
}

bool LoadBmpFile(const std::string& utf8Path, Bitmap& out, std::string* why) {
    std::string bytes;
    if (!ReadFileBytes(utf8Path, bytes))
        return Fail(why, "cannot read the file");
    return DecodeBmp(bytes, out, why);
}

std::string EncodeBmp(const Bitmap& picture, BmpDepth depth) {
    const uint32_t bpp = static_cast<uint32_t>(depth);
    const uint32_t width = static_cast<uint32_t>(picture.Width());
    const uint32_t height = static_cast<uint32_t>(picture.Height());
    const uint32_t stride = (width * bpp + 31) / 32 * 4;
    const uint32_t imageSize = stride * height;
    const uint32_t pixelsAt = kFileHeaderSize + kInfoHeaderSize;

    std::string s;
    s.reserve(pixelsAt + imageSize);
    s += "BM";
    Put32(s, pixelsAt + imageSize);
    Put32(s, 0);
    Put32(s, pixelsAt);
    Put32(s, kInfoHeaderSize);
    Put32(s, width);
    Put32(s, height);  // positive: bottom-up
    Put16(s, 1);       // planes
    Put16(s, bpp);
    Put32(s, kBiRgb);
    Put32(s, imageSize);
    Put32(s, 0);  // horizontal resolution: unknown
    Put32(s, 0);  // vertical resolution: unknown
    Put32(s, 0);  // colours used
    Put32(s, 0);  // important colours
    for (uint32_t r = height; r-- > 0;) {
        const uint32_t* src = picture.Row(static_cast<int>(r));
        const size_t rowStart = s.size();
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t c = src[x];
            s += static_cast<char>((c >> 16) & 0xFF);  // blue
            s += static_cast<char>((c >> 8) & 0xFF);   // green
            s += static_cast<char>(c & 0xFF);          // red
            if (bpp == 32)
                s += '\0';
        }
        s.append(rowStart + stride - s.size(), '\0');
    }
    return s;
}

}  // namespace tempora
