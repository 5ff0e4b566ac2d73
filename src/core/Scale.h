// The scale a window is drawn at: the dots per inch of its monitor against
// the 96 of 100 %. Layouts are written in 100 % pixels and go through Px.
#pragma once

namespace tempora {

struct TScale {
    static constexpr int kBaseDpi = 96;

    int dpi = kBaseDpi;

    // `px` pixels at 100 % in this scale, rounded to the nearest pixel
    // (halves away from zero, so that -1 and 1 stay mirror images).
    constexpr int Px(int px) const {
        const long long n = static_cast<long long>(px) * dpi;
        return static_cast<int>(n >= 0 ? (n + kBaseDpi / 2) / kBaseDpi
                                       : -((-n + kBaseDpi / 2) / kBaseDpi));
    }
    constexpr double Factor() const { return static_cast<double>(dpi) / kBaseDpi; }
    // The scale in whole percent: 96 dpi is 100, 144 is 150, 192 is 200.
    constexpr int Percent() const { return (dpi * 100 + kBaseDpi / 2) / kBaseDpi; }
    // The height in pixels of a font of `points`, negative as a character
    // height (the form the font calls of the system take).
    constexpr int FontHeight(int points) const { return -((points * dpi + 36) / 72); }

    friend constexpr bool operator==(TScale, TScale) = default;
};

// A scale from a dpi that the system reported; nothing sensible reads as 100 %.
constexpr TScale ScaleOfDpi(int dpi) {
    return TScale{dpi >= 48 && dpi <= 960 ? dpi : TScale::kBaseDpi};
}

// The monitor's scale times the user's own choice in percent (0: none),
// rounded to the nearest dpi and kept within what ScaleOfDpi accepts.
constexpr TScale UserScale(TScale monitor, int percent) {
    if (percent <= 0)
        return monitor;
    const long long dpi = (static_cast<long long>(monitor.dpi) * percent + 50) / 100;
    return TScale{static_cast<int>(dpi < 48 ? 48 : dpi > 960 ? 960 : dpi)};
}

}  // namespace tempora
