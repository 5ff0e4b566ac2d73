// What the options dialog may read and change in the running program, so
// that the dialog needs no more of the program than this.
#pragma once

#include "app/AutoStart_win.h"
#include "app/Settings.h"
#include "app/UnitOptions.h"
#include "timesvc/SyncTime_win.h"

#include <windows.h>

#include <string>

namespace tempora {

class TOptionsHost {
public:
    virtual ~TOptionsHost() = default;

    // The window the dialog belongs to (the bar); the dialog goes with it.
    virtual HWND OptionsOwner() const = 0;
    // Where skin.ini, Skin\, Clock\ and the time lists lie, ending in "\".
    virtual const std::string& DataDir() const = 0;
    virtual const TSyncOptions& TimeSyncOptions() const = 0;
    virtual const TAutoStartPlace& AutoStartPlace() const = 0;

    // What acts on the running program at once.
    virtual int BarAlpha() const = 0;
    virtual void SetBarAlpha(int alpha) = 0;
    virtual bool LedDigits() const = 0;
    virtual void SetLedDigits(bool on) = 0;
    virtual TTimeFont TimeFont() const = 0;
    virtual void SetTimeFont(const TTimeFont& font) = 0;
    virtual void ApplyStayOnTop(bool on) = 0;
    // The package skin.ini's SKIN/SkinFile (ClockFile) names now, applied.
    virtual void ApplySkinToViews() = 0;
    virtual void ApplyClockStyle() = 0;

    // The settings the dialog wrote, for the parts that use them.
    virtual void ApplyOptions(const TOptionsValues& v) = 0;
};

}  // namespace tempora
