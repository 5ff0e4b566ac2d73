#include "core/Bmp.h"
#include "core/FileSys.h"

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace tempora;
using Art = std::vector<std::string>;

namespace {

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0xFF0000;
constexpr uint32_t kOther = 0x123456;

Art ToArt(const Bitmap& pic, const std::map<uint32_t, char>& names) {
    Art rows;
    for (int y = 0; y < pic.Height(); ++y) {
        std::string row;
        for (int x = 0; x < pic.Width(); ++x) {
            const auto it = names.find(pic.At(x, y));
            row += it != names.end() ? it->second : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

const std::map<uint32_t, char> kNames = {{kRed, 'R'},   {kGreen, 'G'}, {kBlue, 'B'},
                                         {kOther, 'o'}, {0, '0'},      {0xFFFFFF, 'W'}};

void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
// Palette entries as stored: blue, green, red, reserved (3 bytes in core files).
std::string Palette(const std::vector<uint32_t>& colors, bool core = false) {
    std::string s;
    for (uint32_t c : colors) {
        s += static_cast<char>(c >> 16 & 0xFF);
        s += static_cast<char>(c >> 8 & 0xFF);
        s += static_cast<char>(c & 0xFF);
        if (!core)
            s += '\x5A';  // reserved byte, ignored
    }
    return s;
}
std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

// A BMP file built field by field. Masks go inside headers of 52 bytes and
// more, after a 40-byte header otherwise.
struct Fields {
    uint32_t headerSize = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t bpp = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;
    std::string palette;
    std::string pixels;
};

std::string Build(const Fields& fields) {
    std::string header;
    Put32(header, fields.headerSize);
    if (fields.headerSize == 12) {
        Put16(header, static_cast<uint32_t>(fields.width));
        Put16(header, static_cast<uint32_t>(fields.height));
        Put16(header, 1);
        Put16(header, fields.bpp);
    } else {
        Put32(header, static_cast<uint32_t>(fields.width));
        Put32(header, static_cast<uint32_t>(fields.height));
        Put16(header, 1);
        Put16(header, fields.bpp);
        Put32(header, fields.compression);
        Put32(header, static_cast<uint32_t>(fields.pixels.size()));
        Put32(header, 2835);
        Put32(header, 2835);
        Put32(header, fields.colorsUsed);
        Put32(header, 0);
        for (uint32_t m : fields.masks)
            Put32(header, m);
        if (fields.headerSize > 40)
            header.resize(fields.headerSize, '\0');
    }
    const std::string body = header + fields.palette;
    std::string file = "BM";
    Put32(file, static_cast<uint32_t>(14 + body.size() + fields.pixels.size()));
    Put32(file, 0);
    Put32(file, static_cast<uint32_t>(14 + body.size()));
    return file + body + fields.pixels;
}

void Set32(std::string& file, size_t at, uint32_t v) {
    std::string bytes;
    Put32(bytes, v);
    file.replace(at, 4, bytes);
}
void Set16(std::string& file, size_t at, uint32_t v) {
    std::string bytes;
    Put16(bytes, v);
    file.replace(at, 2, bytes);
}

// An 8-bit, 3 x 2, bottom-up file with a 3-entry palette: the base of the
// damaged-file table.
Fields Eight() {
    Fields s;
    s.width = 3;
    s.height = 2;
    s.bpp = 8;
    s.colorsUsed = 3;
    s.palette = Palette({kRed, kGreen, kBlue});
    s.pixels = Bytes({2, 1, 0, 0, 0, 0, 2, 0});
    return s;
}

}  // namespace

TEST(Bmp, DecodesEveryDepthAndHeader) {
    struct Case {
        const char* name;
        Fields fields;
        Art expected;
    } cases[] = {
        {"1 bit, rows crossing a byte, bottom-up",
         {40,
          10,
          2,
          1,
          0,
          0,
          {},
          Palette({kRed, kGreen}),
          Bytes({0x55, 0x40, 0, 0, 0xC0, 0x40, 0, 0})},
         {"GGRRRRRRRG", "RGRGRGRGRG"}},
        {"4 bits, top-down",
         {40,
          3,
          -2,
          4,
          0,
          4,
          {},
          Palette({kRed, kGreen, kBlue, kOther}),
          Bytes({0x01, 0x20, 0, 0, 0x33, 0x00, 0, 0})},
         {"RGB", "ooR"}},
        {"8 bits, short palette", Eight(), {"RRB", "BGR"}},
        {"16 bits 5-5-5 without bit fields",
         {40, 3, 1, 16, 0, 0, {}, "", Bytes({0x00, 0x7C, 0x21, 0x04, 0x10, 0x42, 0, 0})},
         {"R12"}},
        {"16 bits 5-6-5 bit fields after a 40-byte header",
         {40,
          3,
          1,
          16,
          3,
          0,
          {0xF800, 0x07E0, 0x001F},
          "",
          Bytes({0xE0, 0x07, 0x20, 0x00, 0x1F, 0xF8, 0, 0})},
         {"G3M"}},
        {"16 bits 4-4-4 in a V4 header",
         {108, 1, 1, 16, 3, 0, {0x0F00, 0x00F0, 0x000F}, "", Bytes({0x0A, 0x0F, 0, 0})},
         {"4"}},
        {"24 bits, padded rows",
         {40,
          2,
          2,
          24,
          0,
          0,
          {},
          "",
          Bytes({0x12, 0x34, 0x56, 0xFF, 0xFF, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0})},
         {"BG", "oW"}},
        {"32 bits, top-down, the fourth byte ignored",
         {40, 2, -1, 32, 0, 0, {}, "", Bytes({0, 0, 0xFF, 0xAB, 0x12, 0x34, 0x56, 0xCD})},
         {"Ro"}},
        {"32 bits 10-10-10 in a V5 header",
         {124,
          2,
          1,
          32,
          3,
          0,
          {0x3FF00000, 0x000FFC00, 0x000003FF},
          "",
          Bytes({0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x08, 0x00})},
         {"R5"}},
        {"32 bits R-G-B-X masks in a 56-byte header",
         {56, 1, 1, 32, 3, 0, {0x0000FF, 0x00FF00, 0xFF0000}, "", Bytes({0x12, 0x34, 0x56, 0x00})},
         {"6"}},
        {"1 bit with the OS/2 core header",
         {12, 3, 1, 1, 0, 0, {}, Palette({kOther, kBlue}, true), Bytes({0xA0, 0, 0, 0})},
         {"BoB"}},
    };
    std::map<uint32_t, char> names = kNames;
    names[0x080808] = '1';  // 5-bit 1 widened: 1 << 3 | 1 >> 2
    names[0x848484] = '2';  // 5-bit 16: 128 | 4
    names[0x000400] = '3';  // 6-bit 1: 1 << 2 | 1 >> 4
    names[0xFF00FF] = 'M';
    names[0xAA00FF] = '4';  // 4-bit 10 widened to 0xAA
    names[0x008000] = '5';  // 10-bit 512 keeps its top 8 bits
    names[0x563412] = '6';
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap pic;
        std::string why;
        ASSERT_TRUE(DecodeBmp(Build(c.fields), pic, &why)) << why;
        EXPECT_EQ(ToArt(pic, names), c.expected);
    }
}

TEST(Bmp, LastRowMayLackItsPadding) {
    std::string file = Build(Eight());
    file.resize(file.size() - 1);
    Bitmap pic;
    ASSERT_TRUE(DecodeBmp(file, pic));
    EXPECT_EQ(ToArt(pic, kNames), (Art{"RRB", "BGR"}));
}

TEST(Bmp, RefusesDamagedFiles) {
    const std::string good = Build(Eight());
    const size_t info = 14;
    using Damage = std::function<std::string()>;
    struct Case {
        const char* name;
        Damage make;
        const char* reason;
    } cases[] = {
        {"empty", [] { return std::string(); }, "file too short"},
        {"magic only", [] { return std::string("BM"); }, "file too short"},
        {"wrong magic", [&] { return "BA" + good.substr(2); }, "not a BMP file"},
        {"cut inside the info header", [&] { return good.substr(0, 30); }, "file too short"},
        {"OS/2 2.x header",
         [&] {
             std::string f = good;
             Set32(f, info, 64);
             return f;
         },
         "unsupported header"},
        {"zero width",
         [&] {
             std::string f = good;
             Set32(f, info + 4, 0);
             return f;
         },
         "empty picture"},
        {"negative width",
         [&] {
             std::string f = good;
             Set32(f, info + 4, static_cast<uint32_t>(-3));
             return f;
         },
         "empty picture"},
        {"zero height",
         [&] {
             std::string f = good;
             Set32(f, info + 8, 0);
             return f;
         },
         "empty picture"},
        {"height of INT_MIN",
         [&] {
             std::string f = good;
             Set32(f, info + 8, 0x80000000u);
             return f;
         },
         "picture too large"},
        {"huge sides",
         [&] {
             std::string f = good;
             Set32(f, info + 4, 30000);
             Set32(f, info + 8, 30000);
             return f;
         },
         "picture too large"},
        {"more rows than the file holds",
         [&] {
             std::string f = good;
             Set32(f, info + 8, 3000);
             return f;
         },
         "pixel data beyond the end of the file"},
        {"pixel data cut short", [&] { return good.substr(0, good.size() - 2); },
         "pixel data beyond the end of the file"},
        {"2 bits per pixel",
         [&] {
             std::string f = good;
             Set16(f, info + 14, 2);
             return f;
         },
         "unsupported bits per pixel"},
        {"RLE8",
         [&] {
             std::string f = good;
             Set32(f, info + 16, 1);
             return f;
         },
         "compressed BMP not supported"},
        {"RLE4",
         [&] {
             std::string f = good;
             Set32(f, info + 16, 2);
             Set16(f, info + 14, 4);
             return f;
         },
         "compressed BMP not supported"},
        {"embedded JPEG",
         [&] {
             std::string f = good;
             Set32(f, info + 16, 4);
             return f;
         },
         "unsupported compression"},
        {"bit fields on 8 bits",
         [&] {
             std::string f = good;
             Set32(f, info + 16, 3);
             return f;
         },
         "bit fields need 16 or 32 bits"},
        {"pixel offset beyond the file",
         [&] {
             std::string f = good;
             Set32(f, 10, static_cast<uint32_t>(f.size() + 1));
             return f;
         },
         "pixel data offset beyond the end of the file"},
        {"pixel offset of 2^32 - 1",
         [&] {
             std::string f = good;
             Set32(f, 10, 0xFFFFFFFFu);
             return f;
         },
         "pixel data offset beyond the end of the file"},
        {"pixel offset inside the header",
         [&] {
             std::string f = good;
             Set32(f, 10, 20);
             return f;
         },
         "pixel data offset inside the header"},
        {"more colours than 8 bits allow",
         [&] {
             std::string f = good;
             Set32(f, info + 32, 257);
             return f;
         },
         "palette longer than the bit depth allows"},
        {"palette overrunning the pixel data",
         [&] {
             std::string f = good;
             Set32(f, info + 32, 0);  // 256 entries declared, 3 present
             return f;
         },
         "palette runs into the pixel data"},
        {"index beyond the palette",
         [&] {
             std::string f = good;
             f[f.size() - 2] = 3;
             return f;
         },
         "colour index beyond the palette"},
        {"core header with 16 bits",
         [] {
             Fields s;
             s.headerSize = 12;
             s.width = 1;
             s.height = 1;
             s.bpp = 16;
             s.pixels = Bytes({0, 0, 0, 0});
             return Build(s);
         },
         "unsupported bits per pixel"},
        {"masks missing after a 40-byte header",
         [] {
             Fields s;
             s.width = 1;
             s.height = 1;
             s.bpp = 16;
             s.compression = 3;
             return Build(s).substr(0, 14 + 40 + 8);
         },
         "file too short"},
        {"mask with a gap",
         [] {
             Fields s;
             s.width = 1;
             s.height = 1;
             s.bpp = 16;
             s.compression = 3;
             s.masks = {0xF0F0, 0x0F00, 0x000F};
             s.pixels = Bytes({0, 0, 0, 0});
             return Build(s);
         },
         "bit-field mask not contiguous"},
    };
    Bitmap before;
    ASSERT_TRUE(before.Create(2, 2, kOther));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap pic = before;
        std::string why;
        EXPECT_FALSE(DecodeBmp(c.make(), pic, &why));
        EXPECT_EQ(why, c.reason);
        EXPECT_EQ(pic, before);  // left as it was
    }
}

TEST(Bmp, WritesFilesThatReadBackTheSame) {
    std::mt19937 rng(7);
    for (int width = 1; width <= 5; ++width) {
        for (BmpDepth depth : {BmpDepth::Bits24, BmpDepth::Bits32}) {
            SCOPED_TRACE(width);
            Bitmap pic;
            ASSERT_TRUE(pic.Create(width, 3));
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < width; ++x)
                    pic.At(x, y) = rng() & 0xFFFFFF;
            }
            const std::string file = EncodeBmp(pic, depth);
            const size_t bpp = static_cast<size_t>(depth);
            const size_t stride = (width * bpp + 31) / 32 * 4;
            EXPECT_EQ(file.size(), 54 + 3 * stride);
            Bitmap back;
            ASSERT_TRUE(DecodeBmp(file, back));
            EXPECT_EQ(back, pic);
        }
    }

    // Bottom-up, plain RGB, the top byte dropped.
    Bitmap pic;
    ASSERT_TRUE(pic.Create(1, 2));
    pic.At(0, 0) = 0xFF000000 | kRed;
    pic.At(0, 1) = kOther;
    const std::string file = EncodeBmp(pic, BmpDepth::Bits32);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(static_cast<unsigned char>(file[28]), 32);  // bits per pixel
    EXPECT_EQ(file.substr(54), Bytes({0x12, 0x34, 0x56, 0, 0, 0, 0xFF, 0}));
    Bitmap back;
    ASSERT_TRUE(DecodeBmp(file, back));
    EXPECT_EQ(back.At(0, 0), kRed);
}

TEST(Bmp, LoadsFromAFile) {
    test::TempDir dir;
    const std::string path = dir.File("图片.bmp");
    ASSERT_TRUE(WriteFileAtomic(path, Build(Eight())));
    Bitmap pic;
    std::string why;
    ASSERT_TRUE(LoadBmpFile(path, pic, &why)) << why;
    EXPECT_EQ(ToArt(pic, kNames), (Art{"RRB", "BGR"}));
    EXPECT_FALSE(LoadBmpFile(dir.File("missing.bmp"), pic, &why));
    EXPECT_EQ(why, "cannot read the file");
    EXPECT_EQ(pic.Width(), 3);
}
