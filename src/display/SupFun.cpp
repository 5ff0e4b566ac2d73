#include "SupFun.h"

#include "core/Bmp.h"
#include "core/FileSys.h"

namespace tempora {

namespace {

constexpr size_t kReserved = 4;
constexpr size_t kLengthBytes = 8;
// Key lists are INI text of a few kilobytes; the layout allows up to 2^31.
constexpr uint64_t kMaxKeyListBytes = uint64_t{1} << 31;

bool Fail(std::string* why, const char* reason) {
    if (why)
        *why = reason;
    return false;
}

uint64_t ReadU64(std::string_view d, size_t at) {
    uint64_t v = 0;
    for (size_t i = 0; i < kLengthBytes; ++i)
        v |= uint64_t{static_cast<unsigned char>(d[at + i])} << (8 * i);
    return v;
}

void AppendU64(std::string& out, uint64_t v) {
    for (size_t i = 0; i < kLengthBytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

bool ReadPackageFile(const std::string& path, std::string& bytes, std::string* why) {
    if (!ReadFileBytes(path, bytes))
        return Fail(why, "cannot read the file");
    return true;
}

}  // namespace

bool SplitSkinPackage(std::string_view file, std::string_view& keys, std::string_view& picture,
                      std::string* why) {
    if (file.size() < kReserved + kLengthBytes)
        return Fail(why, "file too short for the key list's length");
    const uint64_t n1 = ReadU64(file, kReserved);
    if (n1 >= kMaxKeyListBytes)
        return Fail(why, "key list length out of range");
    size_t at = kReserved + kLengthBytes;
    // Compared against what is left, so no sum can overflow.
    if (n1 > file.size() - at)
        return Fail(why, "key list runs past the end of the file");
    const std::string_view k = file.substr(at, static_cast<size_t>(n1));
    at += static_cast<size_t>(n1);
    if (file.size() - at < kLengthBytes)
        return Fail(why, "file too short for the picture's length");
    const uint64_t n2 = ReadU64(file, at);
    at += kLengthBytes;
    if (n2 > file.size() - at)
        return Fail(why, "picture runs past the end of the file");
    keys = k;
    picture = file.substr(at, static_cast<size_t>(n2));
    return true;
}

std::string MakeSkinPackage(std::string_view keys, std::string_view bmpFile) {
    std::string out(kReserved, '\0');
    out.reserve(kReserved + 2 * kLengthBytes + keys.size() + bmpFile.size());
    AppendU64(out, keys.size());
    out.append(keys);
    AppendU64(out, bmpFile.size());
    out.append(bmpFile);
    return out;
}

bool ParseSkinPackage(std::string_view file, TSkinPackage& out, std::string* why) {
    std::string_view keys, picture;
    if (!SplitSkinPackage(file, keys, picture, why))
        return false;
    Bitmap decoded;
    std::string bmpWhy;
    if (!DecodeBmp(picture, decoded, &bmpWhy)) {
        if (why)
            *why = "picture: " + bmpWhy;
        return false;
    }
    out.keys.assign(keys);
    out.picture = std::move(decoded);
    return true;
}

bool ReadSkinKeys(const std::string& path, std::string& keys, std::string* why) {
    std::string bytes;
    std::string_view k, picture;
    if (!ReadPackageFile(path, bytes, why) || !SplitSkinPackage(bytes, k, picture, why))
        return false;
    keys.assign(k);
    return true;
}

bool ReadSkinPicture(const std::string& path, Bitmap& picture, std::string* why) {
    std::string bytes;
    TSkinPackage package;
    if (!ReadPackageFile(path, bytes, why) || !ParseSkinPackage(bytes, package, why))
        return false;
    picture = std::move(package.picture);
    return true;
}

bool Cut(const Bitmap& package, Bitmap& target, int left, int top, int width, int height) {
    if (width < 0 || height < 0 || width > kMaxCutSide || height > kMaxCutSide ||
        int64_t{width} * height > kMaxCutPixels) {
        return false;
    }
    Bitmap cut;
    if (!cut.Create(width, height, Bitmap::kKeyColor))
        return false;
    cut.CopyRect(0, 0, package, left, top, width, height);
    target = std::move(cut);
    return true;
}

bool Cut(const Bitmap& package, Bitmap& target, const TSkinRect& r) {
    return Cut(package, target, r.left, r.top, r.width, r.height);
}

const char* SkinVersionKey(TSkinKind kind) {
    return kind == TSkinKind::Clock ? "ClockVer" : "SkinVer";
}

bool SkinVersionOk(const TIniFile& keys, TSkinKind kind) {
    return keys.ReadString("VER", SkinVersionKey(kind), "") == "1.0";
}

TSkinRect ReadSkinRect(const TIniFile& keys, const TSkinRectKey& key) {
    const std::string p = key.prefix;
    return {keys.ReadInteger(key.section, p + "Left", key.def.left),
            keys.ReadInteger(key.section, p + "Top", key.def.top),
            keys.ReadInteger(key.section, p + "Width", key.def.width),
            keys.ReadInteger(key.section, p + "Height", key.def.height)};
}

uint32_t ReadSkinColor(const TIniFile& keys, const TSkinColorKey& key) {
    return static_cast<uint32_t>(
               keys.ReadInteger(key.section, key.key, static_cast<int32_t>(key.def))) &
           0xFFFFFF;
}

const char* SkinResultText(TSkinResult r) {
    switch (r) {
        case TSkinResult::Applied:
            return "applied";
        case TSkinResult::Missing:
            return "no such file";
        case TSkinResult::Rejected:
            return "version entry is not \"1.0\"";
        case TSkinResult::Damaged:
            break;
    }
    return "damaged package";
}

namespace {

// SkinDone.tmp holds the key list while a reader runs; it goes when the
// reader returns, on every path out, together with any left-over copy.
class TSkinScratch {
public:
    explicit TSkinScratch(const std::string& dataDir) : path_(dataDir + kSkinScratchName) {}
    // The readers parse the keys from memory, so a data folder that cannot
    // be written costs only the scratch copy, not the skin.
    void Write(std::string_view keys) { WriteFileAtomic(path_, keys); }
    ~TSkinScratch() {
        if (FileExists(path_))
            RemoveFile(path_);
    }
    TSkinScratch(const TSkinScratch&) = delete;
    TSkinScratch& operator=(const TSkinScratch&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Steps shared by every reader; `apply` cuts and reads the sections into a
// fresh value and answers whether that worked.
template <typename T, typename Apply>
TSkinResult ReadPackage(const std::string& dataDir, const std::string& path, TSkinKind kind, T& out,
                        std::string* why, Apply apply) {
    TSkinScratch scratch(dataDir);
    if (!FileExists(path)) {
        if (why)
            *why = SkinResultText(TSkinResult::Missing);
        return TSkinResult::Missing;
    }
    std::string bytes;
    TSkinPackage package;
    if (!ReadPackageFile(path, bytes, why) || !ParseSkinPackage(bytes, package, why))
        return TSkinResult::Damaged;
    bytes.clear();
    scratch.Write(package.keys);
    const TIniFile keys(scratch.Path(), package.keys);
    if (!SkinVersionOk(keys, kind)) {
        if (why)
            *why = SkinResultText(TSkinResult::Rejected);
        return TSkinResult::Rejected;
    }
    T fresh;
    if (!apply(keys, package.picture, fresh)) {
        if (why)
            *why = "a picture of the package is empty or too large";
        return TSkinResult::Damaged;
    }
    out = std::move(fresh);
    return TSkinResult::Applied;
}

}  // namespace

TSkinResult ReadBarSkin(const std::string& dataDir, const std::string& path, TBarSkin& out,
                        std::string* why) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, BarSkinFrom);
}

TSkinResult ReadCalendarSkin(const std::string& dataDir, const std::string& path,
                             TCalendarSkin& out, std::string* why) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, CalendarSkinFrom);
}

TSkinResult ReadWeatherSkin(const std::string& dataDir, const std::string& path, TWeatherSkin& out,
                            std::string* why) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, WeatherSkinFrom);
}

TSkinResult ReadWinSkin(const std::string& dataDir, const std::string& path, TWinSkin& out,
                        std::string* why) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, WinSkinFrom);
}

TSkinResult ReadClockSkin(const std::string& dataDir, const std::string& path, TClockSkin& out,
                          std::string* why, TClockRead mode) {
    if (mode == TClockRead::Full)
        return ReadPackage(dataDir, path, TSkinKind::Clock, out, why, ClockSkinFrom);
    TClockSkin untouched;
    return ReadPackage(dataDir, path, TSkinKind::Clock, untouched, why,
                       [](const TIniFile&, const Bitmap&, TClockSkin&) { return true; });
}

}  // namespace tempora
