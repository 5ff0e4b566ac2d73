#include "SupFun.h"

#include "core/Bmp.h"
#include "core/FileSys.h"
#include "display/PictureScale.h"

#include <algorithm>
#include <cstdlib>

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

std::string SkinVariantPath(const std::string& path, int percent) {
    const size_t sep = path.find_last_of("\\/");
    const size_t name = sep == std::string::npos ? 0 : sep + 1;
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < name)
        dot = path.size();
    std::string factor = std::to_string(percent / 100);
    if (percent % 100 != 0) {
        std::string fraction = std::to_string(100 + percent % 100).substr(1);
        while (fraction.back() == '0')
            fraction.pop_back();
        factor += "." + fraction;
    }
    return path.substr(0, dot) + "@" + factor + "x" + path.substr(dot);
}

bool IsSkinVariantName(std::string_view name) {
    const size_t dot = name.find_last_of('.');
    const std::string_view stem = name.substr(0, dot);
    for (int percent : kSkinVariantPercents) {
        const std::string mark = SkinVariantPath("", percent);  // "@2x", "@1.5x"
        if (stem.size() > mark.size() && stem.substr(stem.size() - mark.size()) == mark)
            return true;
    }
    return false;
}

int ChooseSkinVariant(TScale scale, std::span<const int> available) {
    // percent / 100 >= dpi / 96, in whole numbers.
    const auto serves = [&](int percent) {
        return int64_t{percent} * TScale::kBaseDpi >= int64_t{scale.dpi} * 100;
    };
    int best = 100, largest = 100;
    bool found = serves(100);
    for (int percent : available) {
        largest = std::max(largest, percent);
        if (serves(percent) && (!found || percent < best)) {
            best = percent;
            found = true;
        }
    }
    return found ? best : largest;
}

TSkinRect ScaleSkinRect(const TSkinRect& r, TScale scale) {
    const int left = scale.Px(r.left), top = scale.Px(r.top);
    return {left, top, scale.Px(r.left + r.width) - left, scale.Px(r.top + r.height) - top};
}

namespace {

// The pictures of each window's skin, in a fixed order, so that a
// companion's pictures pair with the package's own.
std::vector<Bitmap*> Pictures(TBarSkin& s) {
    return {&s.background, &s.btnMenu.up, &s.btnMenu.hot, &s.btnMin.up, &s.btnMin.hot};
}
std::vector<Bitmap*> Pictures(TCalendarSkin& s) {
    return {&s.background, &s.btnYearUp, &s.btnMonthUp};
}
std::vector<Bitmap*> Pictures(TWeatherSkin& s) {
    return {&s.background, &s.btnGNGUp};
}
std::vector<Bitmap*> Pictures(TWinSkin& s) {
    return {&s.frame, &s.closeUp, &s.closeHot};
}
std::vector<Bitmap*> Pictures(TClockSkin& s) {
    return {&s.face, &s.hourHand, &s.minuteHand, &s.secondHand, &s.centerPoint};
}

// The see-through colour of each picture: magenta, but the clock's cap
// takes its bottom-left pixel, as the clock draws it.
uint32_t KeyOf(const TClockSkin& s, const Bitmap* picture) {
    if (picture == &s.centerPoint && !picture->Empty())
        return picture->At(0, picture->Height() - 1);
    return Bitmap::kKeyColor;
}
template <typename T>
uint32_t KeyOf(const T&, const Bitmap*) {
    return Bitmap::kKeyColor;
}

// The places and sizes that are not pictures.
void ScalePlaces(TBarSkin& s, TScale scale) {
    s.width = s.background.Width();
    s.height = s.background.Height();
    s.btnMenu.place = ScaleSkinRect(s.btnMenu.place, scale);
    s.btnMin.place = ScaleSkinRect(s.btnMin.place, scale);
    s.panel = ScaleSkinRect(s.panel, scale);
    s.led = ScaleSkinRect(s.led, scale);
    s.dateLine = ScaleSkinRect(s.dateLine, scale);
    TLEDCell& c = s.ledCell;
    c = {scale.Px(c.wordWidth), scale.Px(c.wordHeight), std::max(1, scale.Px(c.thick)),
         scale.Px(c.space), scale.Px(c.markSpace)};
}
void ScalePlaces(TClockSkin& s, TScale scale) {
    s.centerX = scale.Px(s.centerX);
    s.centerY = scale.Px(s.centerY);
}
template <typename T>
void ScalePlaces(T&, TScale) {}

// Whether a companion's picture can stand for one at 100 %: its size is the
// other's times the companion's scale, within a pixel.
bool SizeMatches(const Bitmap& base, const Bitmap& larger, int percent) {
    const auto close = [&](int b, int l) {
        return std::llabs(int64_t{l} * 100 - int64_t{b} * percent) <= 100;
    };
    return close(base.Width(), larger.Width()) && close(base.Height(), larger.Height());
}

// `skin` (at 100 %) at `scale`, its pictures resized from `larger`'s when
// given. A companion at exactly the wanted scale is taken pixel for pixel,
// even where its rectangles' rounding made a picture a pixel narrower.
// False when a picture would be too large at that scale.
template <typename T>
bool ScaleSkin(T& skin, TScale scale, T* larger, bool exact) {
    std::vector<Bitmap*> own = Pictures(skin);
    const std::vector<Bitmap*> from = larger ? Pictures(*larger) : own;
    for (size_t i = 0; i < own.size(); ++i) {
        Bitmap& picture = *own[i];
        if (picture.Empty())
            continue;
        const int w = scale.Px(picture.Width()), h = scale.Px(picture.Height());
        if (w > kMaxCutSide || h > kMaxCutSide || int64_t{w} * h > kMaxCutPixels)
            return false;
        const Bitmap* source = from[i];
        Bitmap scaled = (source->Width() == w && source->Height() == h) || (larger && exact)
                            ? *source
                            : ScalePicture(*source, w, h, KeyOf(larger ? *larger : skin, source));
        if (scaled.Empty())
            return false;
        picture = std::move(scaled);
    }
    ScalePlaces(skin, scale);
    return true;
}

}  // namespace

TBarSkin ScaledBarSkin(const TBarSkin& skin, TScale scale) {
    TBarSkin scaled = skin;
    if (!ScaleSkin(scaled, scale, static_cast<TBarSkin*>(nullptr), false))
        return skin;
    return scaled;
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

// The key list and picture of a package file, read and version-checked.
TSkinResult ReadKeysAndPicture(const std::string& path, TSkinKind kind, TSkinScratch& scratch,
                               TSkinPackage& package, std::string* why) {
    std::string bytes;
    if (!ReadPackageFile(path, bytes, why) || !ParseSkinPackage(bytes, package, why))
        return TSkinResult::Damaged;
    scratch.Write(package.keys);
    if (!SkinVersionOk(TIniFile(scratch.Path(), package.keys), kind)) {
        if (why)
            *why = SkinResultText(TSkinResult::Rejected);
        return TSkinResult::Rejected;
    }
    return TSkinResult::Applied;
}

// The companion of `path` that serves `scale`, read into `larger`: its
// percent, or 100 when none exists or the one chosen is ignored.
template <typename T, typename Apply>
int ReadLarger(const std::string& path, TSkinKind kind, TSkinScratch& scratch, TScale scale,
               const Bitmap& basePicture, T& base, T& larger, Apply apply) {
    std::vector<int> available;
    for (int percent : kSkinVariantPercents) {
        if (FileExists(SkinVariantPath(path, percent)))
            available.push_back(percent);
    }
    const int percent = ChooseSkinVariant(scale, available);
    if (percent == 100)
        return 100;
    TSkinPackage package;
    if (ReadKeysAndPicture(SkinVariantPath(path, percent), kind, scratch, package, nullptr) !=
            TSkinResult::Applied ||
        !SizeMatches(basePicture, package.picture, percent) ||
        !apply(TIniFile(scratch.Path(), package.keys), package.picture, larger)) {
        return 100;
    }
    const std::vector<Bitmap*> own = Pictures(base), theirs = Pictures(larger);
    for (size_t i = 0; i < own.size(); ++i) {
        if (!SizeMatches(*own[i], *theirs[i], percent))
            return 100;
    }
    return percent;
}

// Steps shared by every reader; `apply` cuts and reads the sections into a
// fresh value and answers whether that worked.
template <typename T, typename Apply>
TSkinResult ReadPackage(const std::string& dataDir, const std::string& path, TSkinKind kind, T& out,
                        std::string* why, TScale scale, Apply apply) {
    TSkinScratch scratch(dataDir);
    if (!FileExists(path)) {
        if (why)
            *why = SkinResultText(TSkinResult::Missing);
        return TSkinResult::Missing;
    }
    TSkinPackage package;
    const TSkinResult read = ReadKeysAndPicture(path, kind, scratch, package, why);
    if (read != TSkinResult::Applied)
        return read;
    T fresh;
    if (!apply(TIniFile(scratch.Path(), package.keys), package.picture, fresh)) {
        if (why)
            *why = "a picture of the package is empty or too large";
        return TSkinResult::Damaged;
    }
    if (scale != TScale{}) {
        T larger;
        const int percent =
            ReadLarger(path, kind, scratch, scale, package.picture, fresh, larger, apply);
        const bool exact = int64_t{percent} * TScale::kBaseDpi == int64_t{scale.dpi} * 100;
        if (!ScaleSkin(fresh, scale, percent != 100 ? &larger : nullptr, exact)) {
            if (why)
                *why = "a picture of the package is too large at this scale";
            return TSkinResult::Damaged;
        }
    }
    out = std::move(fresh);
    return TSkinResult::Applied;
}

}  // namespace

TSkinResult ReadBarSkin(const std::string& dataDir, const std::string& path, TBarSkin& out,
                        std::string* why, TScale scale) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, scale, BarSkinFrom);
}

TSkinResult ReadCalendarSkin(const std::string& dataDir, const std::string& path,
                             TCalendarSkin& out, std::string* why, TScale scale) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, scale, CalendarSkinFrom);
}

TSkinResult ReadWeatherSkin(const std::string& dataDir, const std::string& path, TWeatherSkin& out,
                            std::string* why, TScale scale) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, scale, WeatherSkinFrom);
}

TSkinResult ReadWinSkin(const std::string& dataDir, const std::string& path, TWinSkin& out,
                        std::string* why, TScale scale) {
    return ReadPackage(dataDir, path, TSkinKind::Window, out, why, scale, WinSkinFrom);
}

TSkinResult ReadClockSkin(const std::string& dataDir, const std::string& path, TClockSkin& out,
                          std::string* why, TClockRead mode, TScale scale) {
    if (mode == TClockRead::Full)
        return ReadPackage(dataDir, path, TSkinKind::Clock, out, why, scale, ClockSkinFrom);
    TClockSkin untouched;
    return ReadPackage(dataDir, path, TSkinKind::Clock, untouched, why, TScale{},
                       [](const TIniFile&, const Bitmap&, TClockSkin&) { return true; });
}

}  // namespace tempora
