// GBK conversion through iconv. Code page 936 is what Windows calls GBK;
// glibc's "GBK" matches it for every character the program ships or reads.
#include "Encoding.h"

#include <iconv.h>

#include <cerrno>

namespace tempora {

namespace {

// Converts with iconv, replacing each unconvertible or invalid input unit by
// `replacement` (already in the target encoding).
std::string Convert(iconv_t cd, std::string_view in, std::string_view replacement, bool fromUtf8) {
    std::string out;
    // ASCII reads the same in both encodings; most keys and values are ASCII.
    bool ascii = true;
    for (const char c : in)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return std::string(in);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.reserve(in.size() * 3 / 2 + 4);
    char buf[1024];
    auto* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (r != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: replace one character of input and go on.
        out.append(replacement);
        size_t skip = 1;
        if (fromUtf8) {
            const auto b = static_cast<unsigned char>(*src);
            skip = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            // A malformed sequence is skipped one byte at a time.
            for (size_t k = 1; k < skip; ++k) {
                if (k >= srcLeft || (static_cast<unsigned char>(src[k]) & 0xC0) != 0x80) {
                    skip = 1;
                    break;
                }
            }
        } else if (static_cast<unsigned char>(*src) >= 0x81 && srcLeft >= 2 &&
                   static_cast<unsigned char>(src[1]) >= 0x40) {
            skip = 2;  // an unmapped double-byte code
        }
        skip = skip > srcLeft ? srcLeft : skip;
        src += skip;
        srcLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

// One converter per direction and thread, opened on first use: opening one
// costs far more than a typical conversion.
struct Converter {
    iconv_t cd;
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd);
    }
};

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    thread_local Converter c("GBK", "UTF-8");
    return Convert(c.cd, utf8, "?", true);
}

std::string GbkToUtf8(std::string_view gbk) {
    thread_local Converter c("UTF-8", "GBK");
    return Convert(c.cd, gbk, "\xEF\xBF\xBD", false);
}

}  // namespace tempora
