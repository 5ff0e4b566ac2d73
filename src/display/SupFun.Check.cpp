// The package check for skin authors (skinpack check, and the test of the
// shipped skins): everything a reader would silently default or refuse is
// reported here in words.
#include "SupFun.Keys.h"
#include "SupFun.h"

#include "core/Bmp.h"

#include <set>

namespace tempora {

using namespace skinkeys;

namespace {

std::string Rect(const TSkinRect& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.width) +
           "x" + std::to_string(r.height);
}

std::string Name(const char* section, const std::string& key) {
    return std::string(section) + "/" + key;
}

// A present key must hold an integer; otherwise the reader quietly takes the
// default, which is never what the author meant.
bool CheckInteger(const TIniFile& keys, const char* section, const std::string& key,
                  TSkinCheck& out) {
    if (!keys.ValueExists(section, key))
        return false;
    int32_t v;
    const std::string raw = keys.ReadString(section, key, "");
    if (!TIniFile::ParseInteger(raw, v)) {
        out.errors.push_back(Name(section, key) + ": \"" + raw +
                             "\" is not an integer, the default applies");
    }
    return true;
}

void CheckRect(const TIniFile& keys, const Bitmap* picture, const TSkinRectKey& key,
               bool background, TSkinCheck& out) {
    bool given = false;
    for (const char* side : {"Left", "Top", "Width", "Height"})
        given = CheckInteger(keys, key.section, std::string(key.prefix) + side, out) || given;
    const TSkinRect r = ReadSkinRect(keys, key);
    const std::string name = Name(key.section, key.prefix);
    out.notes.push_back(name + " " + Rect(r) + (given ? "" : " (default)"));
    if (r.width < 0 || r.height < 0 || r.width > kMaxCutSide || r.height > kMaxCutSide ||
        int64_t{r.width} * r.height > kMaxCutPixels) {
        out.errors.push_back(name + " " + Rect(r) + ": size refused (at most " +
                             std::to_string(kMaxCutSide) + " a side and " +
                             std::to_string(kMaxCutPixels) + " pixels)");
        return;
    }
    if (r.width == 0 || r.height == 0) {
        if (background)
            out.errors.push_back(name + " " + Rect(r) + ": the window's picture is empty");
        return;
    }
    if (picture && (r.left < 0 || r.top < 0 || int64_t{r.left} + r.width > picture->Width() ||
                    int64_t{r.top} + r.height > picture->Height())) {
        out.errors.push_back(name + " " + Rect(r) + " reaches outside the " +
                             std::to_string(picture->Width()) + "x" +
                             std::to_string(picture->Height()) + " picture");
    }
}

void CheckColor(const TIniFile& keys, const TSkinColorKey& key, TSkinCheck& out) {
    if (!CheckInteger(keys, key.section, key.key, out))
        return;
    int32_t v;
    if (TIniFile::ParseInteger(keys.ReadString(key.section, key.key, ""), v) &&
        (v < 0 || v > 0xFFFFFF)) {
        out.errors.push_back(Name(key.section, key.key) + ": " + std::to_string(v) +
                             " is not a colour 0..16777215");
    }
}

bool ReaderAccepts(TSkinWindow w, const TIniFile& keys, const Bitmap& picture) {
    switch (w) {
        case TSkinWindow::Bar: {
            TBarSkin s;
            return BarSkinFrom(keys, picture, s);
        }
        case TSkinWindow::Calendar: {
            TCalendarSkin s;
            return CalendarSkinFrom(keys, picture, s);
        }
        case TSkinWindow::Weather: {
            TWeatherSkin s;
            return WeatherSkinFrom(keys, picture, s);
        }
        case TSkinWindow::Win: {
            TWinSkin s;
            return WinSkinFrom(keys, picture, s);
        }
        case TSkinWindow::Clock:
            break;
    }
    TClockSkin s;
    return ClockSkinFrom(keys, picture, s);
}

std::vector<TSkinWindow> DefaultWindows(const TIniFile& keys) {
    const bool bar = keys.SectionExists("BAR"), cal = keys.SectionExists("CALENDAR"),
               weather = keys.SectionExists("WEATHER"), win = keys.SectionExists("WIN");
    if (keys.SectionExists("CLOCK") && !bar && !cal && !weather && !win)
        return {TSkinWindow::Clock};
    if (win && !bar && !cal && !weather)
        return {TSkinWindow::Win};
    return {TSkinWindow::Bar, TSkinWindow::Calendar, TSkinWindow::Weather};
}

}  // namespace

const char* SkinWindowName(TSkinWindow w) {
    switch (w) {
        case TSkinWindow::Bar:
            return "bar";
        case TSkinWindow::Calendar:
            return "calendar";
        case TSkinWindow::Weather:
            return "weather";
        case TSkinWindow::Win:
            return "win";
        case TSkinWindow::Clock:
            break;
    }
    return "clock";
}

bool SkinWindowFromName(std::string_view name, TSkinWindow& out) {
    for (TSkinWindow w : {TSkinWindow::Bar, TSkinWindow::Calendar, TSkinWindow::Weather,
                          TSkinWindow::Win, TSkinWindow::Clock}) {
        if (name == SkinWindowName(w)) {
            out = w;
            return true;
        }
    }
    return false;
}

TSkinCheck CheckSkinPackage(std::string_view file, std::vector<TSkinWindow> windows) {
    TSkinCheck out;
    std::string_view keyText, bmp;
    std::string why;
    if (!SplitSkinPackage(file, keyText, bmp, &why)) {
        out.errors.push_back("package: " + why);
        return out;
    }
    Bitmap picture;
    const bool decoded = DecodeBmp(bmp, picture, &why);
    if (decoded) {
        out.notes.push_back("picture " + std::to_string(picture.Width()) + "x" +
                            std::to_string(picture.Height()) + ", key list " +
                            std::to_string(keyText.size()) + " bytes");
    } else {
        out.errors.push_back("picture: " + why);
    }
    const TIniFile keys(kSkinScratchName, std::string(keyText));
    if (windows.empty())
        windows = DefaultWindows(keys);

    std::set<TSkinKind> kinds;
    for (TSkinWindow w : windows)
        kinds.insert(w == TSkinWindow::Clock ? TSkinKind::Clock : TSkinKind::Window);
    for (TSkinKind kind : kinds) {
        const char* key = SkinVersionKey(kind);
        if (!keys.ValueExists("VER", key)) {
            out.errors.push_back(Name("VER", key) + " is missing; it must be \"1.0\"");
        } else if (!SkinVersionOk(keys, kind)) {
            out.errors.push_back(Name("VER", key) + " is \"" + keys.ReadString("VER", key, "") +
                                 "\"; it must be exactly \"1.0\"");
        }
    }

    std::set<std::string> seen;  // a key shared by two windows is reported once
    for (TSkinWindow w : windows) {
        out.notes.push_back(std::string(SkinWindowName(w)) + ":");
        const TWindowKeys k = KeysOf(w);
        for (size_t i = 0; i < k.rects.size(); ++i) {
            if (seen.insert(Name(k.rects[i]->section, k.rects[i]->prefix)).second)
                CheckRect(keys, decoded ? &picture : nullptr, *k.rects[i], i == 0, out);
        }
        for (const TSkinColorKey* c : k.colors) {
            if (seen.insert(Name(c->section, c->key)).second)
                CheckColor(keys, *c, out);
        }
        if (w == TSkinWindow::Clock) {
            for (const char* key : {kCenterX, kCenterY, kSmoothHands})
                CheckInteger(keys, "CLOCK", key, out);
        }
        if (w == TSkinWindow::Bar) {
            bool given = false;
            for (const char* key : kLEDCellKeys)
                given = CheckInteger(keys, "BAR", key, out) || given;
            const TLEDCell c = ReadLEDCell(keys);
            if (given && !LEDCellFits(c, TBarSkin{}.led)) {
                out.errors.push_back(
                    "BAR/LED cell " + std::to_string(c.wordWidth) + "x" +
                    std::to_string(c.wordHeight) + " stroke " + std::to_string(c.thick) +
                    " space " + std::to_string(c.space) + " mark space " +
                    std::to_string(c.markSpace) +
                    ": not a cell the digits can take, or \"00:00:00\" does not fit the " +
                    Rect(TBarSkin{}.led) + " LED; the default cell applies");
            }
        }
        if (w == TSkinWindow::Win && decoded) {
            // The frame is composed from fixed parts of the template: the top
            // edge is columns 21 to 81, the side edges rows 28 to 40.
            const TSkinRect r = ReadSkinRect(keys, kWin);
            if (r.width > 0 && r.height > 0 && (r.width < 81 || r.height < 40)) {
                out.errors.push_back("WIN/Win " + Rect(r) +
                                     ": the frame template must be at least 81x40");
            }
        }
        if (decoded && !ReaderAccepts(w, keys, picture))
            out.errors.push_back(std::string("the ") + SkinWindowName(w) +
                                 " reader refuses the package");
    }
    return out;
}

}  // namespace tempora
