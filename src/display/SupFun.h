// Skin packages: one file that carries a key list (INI text) and one picture,
// and the readers that turn a package into the pictures and colours of a
// window.
//
// Package layout, integers little-endian:
//   0        4 bytes   reserved, skipped (MakeSkinPackage writes zeros)
//   4        8 bytes   N1, length of the key list (below 2^31)
//   12       N1 bytes  the key list: GBK INI text
//   12+N1    8 bytes   N2, length of the picture
//   20+N1    N2 bytes  the picture: a complete BMP file
// Bytes after the picture are ignored.
//
// Window skins (Skin\*.sk) dress the bar, the calendar and the weather window;
// the dialog-frame package named by SKIN/WinFile has the same form, with a
// WIN section. Clock styles (Clock\*.cl) carry a CLOCK section. A package is
// used only when its version entry, VER/SkinVer (clock styles VER/ClockVer),
// is exactly "1.0".
//
// Every reader runs the same way: a missing file leaves everything as it was
// (Missing); the key list and the picture are read, the key list is written
// to SkinDone.tmp in the data folder while the reader runs, the version entry
// is checked (Rejected), then the sections are cut and read into a fresh
// struct. Only when all of that worked is the caller's struct replaced
// (Applied); a damaged package (Damaged) or a rejected one leaves it intact,
// so the window keeps its look. SkinDone.tmp is gone when the reader returns,
// whatever happened, and a left-over one from an earlier crash goes with it.
//
// Every reader takes the display scale of its window and gives back every
// place, picture and size at that scale (see "Larger pictures" below).
//
// A TBarSkin carries every place, picture and colour of the bar; the bar's
// face draws from it alone. Magenta 0xFF00FF is the see-through key, also
// inside button pictures.
// Colours are 0x00BBGGRR; the readers drop any top byte, so a value always
// names an RGB colour.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/Bitmap.h"
#include "core/IniFile.h"
#include "core/Scale.h"
#include "display/myLEDFont.h"

namespace tempora {

// A rectangle of a package picture, or a place in a window, in pixels.
struct TSkinRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const TSkinRect&) const = default;
};

// --- The package file -------------------------------------------------------

// Splits a package held in memory into its key list and its BMP bytes
// (views into `file`). False, with a reason in `why`, when the lengths run
// past the end of the data.
bool SplitSkinPackage(std::string_view file, std::string_view& keys, std::string_view& picture,
                      std::string* why = nullptr);
// A package of the given key list and BMP file, reserved bytes zero.
std::string MakeSkinPackage(std::string_view keys, std::string_view bmpFile);

// The key list of the package at `path` as text.
bool ReadSkinKeys(const std::string& path, std::string& keys, std::string* why = nullptr);
// The decoded picture of the package at `path`.
bool ReadSkinPicture(const std::string& path, Bitmap& picture, std::string* why = nullptr);

// A package's two parts, read and decoded.
struct TSkinPackage {
    std::string keys;  // GBK INI text
    Bitmap picture;
};
bool ParseSkinPackage(std::string_view file, TSkinPackage& out, std::string* why = nullptr);

// The largest picture a cut may ask for: no window comes near it, and a
// hostile package must not make a reader allocate gigabytes.
inline constexpr int kMaxCutSide = 4096;
inline constexpr int64_t kMaxCutPixels = int64_t{1} << 22;

// Sets `target` to width x height and copies the rectangle (left, top,
// width, height) of `package` to its top-left corner, unscaled. Target
// pixels that the package picture does not cover are magenta (see-through).
// A negative size, or one beyond kMaxCutSide / kMaxCutPixels, returns false
// and leaves `target` unchanged; 0 x 0 is an empty picture.
bool Cut(const Bitmap& package, Bitmap& target, int left, int top, int width, int height);
bool Cut(const Bitmap& package, Bitmap& target, const TSkinRect& r);

// --- Keys -------------------------------------------------------------------

enum class TSkinKind {
    Window,  // *.sk: bar, calendar, weather, dialog frame; VER/SkinVer
    Clock,   // *.cl: analog clock; VER/ClockVer
};
const char* SkinVersionKey(TSkinKind kind);
// True when the version entry is exactly "1.0" ("1.00" or "1.0a" are not).
bool SkinVersionOk(const TIniFile& keys, TSkinKind kind);

// A rectangle key set: P + Left, Top, Width, Height in `section`.
struct TSkinRectKey {
    const char* section;
    const char* prefix;
    TSkinRect def;
};
// A missing key, or one that is not an integer, gives that side's default.
TSkinRect ReadSkinRect(const TIniFile& keys, const TSkinRectKey& key);

// A colour key and its default.
struct TSkinColorKey {
    const char* section;
    const char* key;
    uint32_t def;
};
uint32_t ReadSkinColor(const TIniFile& keys, const TSkinColorKey& key);

// --- What the windows take from a package -----------------------------------

// Section MENU: the gradient colours of a window's owner-drawn menus.
struct TSkinMenu {
    uint32_t iconBarColorStart = 16113325;    // IconBarColor1, 0xF5DEAD
    uint32_t iconBarColorStop = 14989919;     // IconBarColor2, 0xE4BA5F
    uint32_t selectionColorStart = 16113325;  // SelectionColor1
    uint32_t selectionColorStop = 14989919;   // SelectionColor2
    uint32_t selectionFrameColor = 12937777;  // SelectionFrameColor, 0xC56A31
    bool operator==(const TSkinMenu&) const = default;
};

// A picture button: normal (Up) and hover (Hot) pictures at a fixed place.
struct TSkinButton {
    TSkinRect place;
    Bitmap up;
    Bitmap hot;
};

// Sections BAR, BUTTON (menu and minimise buttons) and MENU.
struct TBarSkin {
    static constexpr TSkinRect kMenuPlace{8, 4, 43, 27};
    static constexpr TSkinRect kMinPlace{296, 1, 26, 9};
    static constexpr TSkinRect kPanel{53, 4, 116, 26};
    static constexpr TSkinRect kDateLine{173, 12, 154, 20};

    int width = 332;  // the background's size
    int height = 34;
    Bitmap background;
    TSkinButton btnMenu{kMenuPlace, {}, {}};
    TSkinButton btnMin{kMinPlace, {}, {}};
    TSkinRect panel = kPanel;
    TSkinRect led{kPanel.left + 1, kPanel.top + 1, kPanel.width - 2, kPanel.height - 2};
    TSkinRect dateLine = kDateLine;
    uint32_t ledBkColor = 0;             // LEDBkColor
    uint32_t ledDarkColor = 3618615;     // LEDDarkColor, 0x373737
    uint32_t ledFontColor = 65535;       // LEDFontColor, yellow
    uint32_t ledBorderColor = 13664560;  // LEDBorderColor, 0xD08130
    uint32_t fontColor = 0;              // FontColor: the date line
    // LEDWordWidth, LEDWordHeight, LEDThick, LEDSpace, LEDMarkSpace; the
    // digits must fit the LED's place.
    TLEDCell ledCell;
    TSkinMenu menu;
};

// Sections CALENDAR, BUTTON (year and month buttons) and MENU.
struct TCalendarSkin {
    Bitmap background;                        // Image1; the window takes its size (332 x 390)
    Bitmap btnYearUp;                         // BtnYear and BtnGNG
    Bitmap btnMonthUp;                        // BtnMonth
    uint32_t fontColor = 0;                   // captions and info lines
    uint32_t dayBackColor = 16644074;         // 0xFDF7EA
    uint32_t weekBackColor = 16576986;        // 0xFCF1DA
    uint32_t hightlightBackColor = 14989919;  // 0xE4BA5F
    uint32_t markColor = 8454143;             // 0x80FFFF
    TSkinMenu menu;
};

// Sections WEATHER, BUTTON (the year button's picture for BtnGNG) and MENU.
struct TWeatherSkin {
    Bitmap background;  // Image1; the window takes its size (332 x 160)
    Bitmap btnGNGUp;
    uint32_t fontColor = 16777215;  // the title caption, white
    TSkinMenu menu;
};

// Section WIN: what the dialog frame is made from.
struct TWinSkin {
    Bitmap frame;  // the frame template (100 x 50 with the default keys)
    Bitmap closeUp;
    Bitmap closeHot;
    uint32_t captionColor = 0;
};

// Section CLOCK of a clock style.
struct TClockSkin {
    Bitmap face;  // the window's client area takes its size
    Bitmap hourHand;
    Bitmap minuteHand;
    Bitmap secondHand;
    Bitmap centerPoint;
    // Common centre of rotation; default: face width div 2. Kept within
    // -kMaxCutSide .. 2 * kMaxCutSide.
    int centerX = 0;
    int centerY = 0;  // default: face height div 2
    // SmoothHands: the hands turn with filtering and blend onto the face
    // (any value but 0), or turn to the nearest pixel (0).
    bool smoothHands = true;
};

// The sections of a package whose key list and picture are already read, at
// the package's own scale. Each gives false (and leaves `out` alone) when a rectangle asks for a
// picture Cut refuses, or when the window's background (the clock's face,
// the frame template) comes out empty: a window of no size cannot be seen or
// clicked. The version entry is the caller's business.
bool BarSkinFrom(const TIniFile& keys, const Bitmap& picture, TBarSkin& out);
bool CalendarSkinFrom(const TIniFile& keys, const Bitmap& picture, TCalendarSkin& out);
bool WeatherSkinFrom(const TIniFile& keys, const Bitmap& picture, TWeatherSkin& out);
bool WinSkinFrom(const TIniFile& keys, const Bitmap& picture, TWinSkin& out);
bool ClockSkinFrom(const TIniFile& keys, const Bitmap& picture, TClockSkin& out);
TSkinMenu SkinMenuFrom(const TIniFile& keys);
// The LED cell keys of section BAR as written (missing keys default).
TLEDCell ReadLEDCell(const TIniFile& keys);
// Whether the cell is one the LED control takes (stroke at least 1 and
// narrower than a third of the cell, a quarter of its height) and "hh:mm:ss"
// in it fits a `place` at 100 %. A skin whose cell fails this gets the
// default cell.
bool LEDCellFits(const TLEDCell& cell, const TSkinRect& place);

// --- Larger pictures --------------------------------------------------------
//
// A package may have complete packages beside it for larger display scales,
// named with the scale before the extension: Name@1.5x.sk and Name@2x.sk
// (Name@2x.cl for a clock style). Their picture and rectangles are at that
// scale; the places and sizes of the windows still come from the package
// itself. A reader at a scale above 100 % takes the companion nearest the
// wanted scale at or above it, else the largest, and resizes its pictures
// to the exact scale (ScalePicture); without one it resizes the package's
// own pictures. A companion that does not read, has another version entry,
// or whose picture (or any picture a window cuts from it) is not the
// package's one times its scale (within a pixel) is ignored.

// The scales (percent) a companion package may have, smallest first.
inline constexpr int kSkinVariantPercents[] = {150, 200};
// The companion of the package at `path` for `percent` ("a\B.sk", 200 ->
// "a\B@2x.sk").
std::string SkinVariantPath(const std::string& path, int percent);
// Whether a file name is a companion's (so lists of packages leave it out).
bool IsSkinVariantName(std::string_view name);
// The picture scale (percent) to draw `scale` from, out of 100 and the
// companions' scales in `available`: the smallest at or above the wanted
// scale, else the largest.
int ChooseSkinVariant(TScale scale, std::span<const int> available);

// The bar's skin at `scale`: places, LED cell and sizes scaled, pictures
// resized with ScalePicture. The skin given is at 100 %.
TBarSkin ScaledBarSkin(const TBarSkin& skin, TScale scale);
// A rectangle at 100 % at `scale`: its edges scaled, so that rectangles
// that meet at 100 % still meet.
TSkinRect ScaleSkinRect(const TSkinRect& r, TScale scale);

// --- The readers ------------------------------------------------------------

enum class TSkinResult {
    Applied,   // `out` holds the package's values
    Missing,   // no such file; `out` unchanged
    Rejected,  // version entry not "1.0"; `out` unchanged
    Damaged,   // unreadable, lengths past the end, not a BMP, refused cut; `out` unchanged
};
const char* SkinResultText(TSkinResult r);

// `dataDir` ends in the folder separator; SkinDone.tmp is written there.
// `path` is the package file: for the bar, calendar and weather windows
// dataDir + "Skin\" + SKIN/SkinFile; for the dialog frame dataDir +
// SKIN/WinFile; for the clock dataDir + "Clock\" + SKIN/ClockFile.
// `scale` is the display scale of the window; the package's own values are
// for 100 %. A skin too large to scale reads as Damaged.
TSkinResult ReadBarSkin(const std::string& dataDir, const std::string& path, TBarSkin& out,
                        std::string* why = nullptr, TScale scale = {});
TSkinResult ReadCalendarSkin(const std::string& dataDir, const std::string& path,
                             TCalendarSkin& out, std::string* why = nullptr, TScale scale = {});
TSkinResult ReadWeatherSkin(const std::string& dataDir, const std::string& path, TWeatherSkin& out,
                            std::string* why = nullptr, TScale scale = {});
TSkinResult ReadWinSkin(const std::string& dataDir, const std::string& path, TWinSkin& out,
                        std::string* why = nullptr, TScale scale = {});
// In menu-only mode the clock's reader checks the package (it exists, parses
// and carries the right version entry) and reads nothing of its CLOCK
// section: `out` stays as it is, and Applied tells the window to take the
// bar's menu colours.
enum class TClockRead { Full, MenuOnly };
TSkinResult ReadClockSkin(const std::string& dataDir, const std::string& path, TClockSkin& out,
                          std::string* why = nullptr, TClockRead mode = TClockRead::Full,
                          TScale scale = {});
inline constexpr char kSkinScratchName[] = "SkinDone.tmp";

// --- Checking a package for skin authors ------------------------------------

enum class TSkinWindow { Bar, Calendar, Weather, Win, Clock };
const char* SkinWindowName(TSkinWindow w);  // "bar", "calendar", ...
bool SkinWindowFromName(std::string_view name, TSkinWindow& out);

struct TSkinCheck {
    std::vector<std::string> errors;  // empty: the package is sound for those windows
    std::vector<std::string> notes;   // what each window takes from it
};
// Checks a package held in memory for the given windows: the layout, a
// decodable BMP, the version entry, every rectangle key the windows read
// (given or defaulted) inside the picture and of a size the readers accept,
// every rectangle and colour key that is present holding an integer (and a
// colour 0..16777215), and that each window's reader accepts the package.
// With no windows given, a package with a CLOCK section and no other checks
// as a clock style, one with a WIN section and none of BAR, CALENDAR and
// WEATHER as a dialog frame, any other as a window skin (bar, calendar and
// weather).
TSkinCheck CheckSkinPackage(std::string_view file, std::vector<TSkinWindow> windows);

}  // namespace tempora
