// Reads arbitrary bytes as a skin package, the way every window's reader and
// the package check do. A package that parses must survive being written
// again unchanged, and whatever a reader accepts must have the sizes its
// rectangles asked for.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Bmp.h"
#include "display/SupFun.h"

using namespace tempora;

namespace {

void Require(bool ok) {
    if (!ok)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    CheckSkinPackage(file, {});
    std::string_view keyText, bmp;
    if (!SplitSkinPackage(file, keyText, bmp))
        return 0;
    std::string_view keys2, bmp2;
    const std::string again = MakeSkinPackage(keyText, bmp);
    Require(SplitSkinPackage(again, keys2, bmp2) && keys2 == keyText && bmp2 == bmp);

    TSkinPackage package;
    if (!ParseSkinPackage(file, package))
        return 0;
    const TIniFile keys("SkinDone.tmp", package.keys);
    SkinVersionOk(keys, TSkinKind::Window);
    SkinVersionOk(keys, TSkinKind::Clock);

    TBarSkin bar;
    if (BarSkinFrom(keys, package.picture, bar)) {
        const TSkinRect bk = ReadSkinRect(keys, {"BAR", "BarBk", {0, 0, 332, 34}});
        Require(bar.width == bk.width && bar.height == bk.height && !bar.background.Empty());
        Require(bar.background.Width() == bar.width && bar.background.Height() == bar.height);
        // The same skin at 150 %: a hostile picture and LED cell scale too.
        const TScale s{144};
        const TBarSkin scaled = ScaledBarSkin(bar, s);
        Require(scaled.width == scaled.background.Width() &&
                (scaled.width == s.Px(bar.width) || scaled.width == bar.width));
    }
    TCalendarSkin cal;
    if (CalendarSkinFrom(keys, package.picture, cal))
        Require(!cal.background.Empty());
    TWeatherSkin weather;
    WeatherSkinFrom(keys, package.picture, weather);
    TWinSkin win;
    WinSkinFrom(keys, package.picture, win);
    TClockSkin clock;
    if (ClockSkinFrom(keys, package.picture, clock))
        Require(clock.centerX >= -kMaxCutSide && clock.centerX <= 2 * kMaxCutSide);
    return 0;
}
