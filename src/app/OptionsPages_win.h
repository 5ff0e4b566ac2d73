// The six pages of the options dialog, in the order of its tabs.
#pragma once

#include "app/OptionsPage_win.h"
#include "core/Bitmap.h"
#include "timesvc/SyncTime_win.h"

#include <memory>
#include <string>
#include <vector>

namespace tempora {

// "常规": autostart, the start minimised, stay on top, the view at start-up.
// The autostart entry is written when the dialog saves, and only when the
// user changed the tick.
class TOptionsGeneralPage final : public TOptionsPage {
public:
    using TOptionsPage::TOptionsPage;
    void Build() override;
    void Load(const TOptionsValues& v) override;
    void Gather(TOptionsValues& v) const override;
    void Command(int id, int code) override;
    // Writes or removes the autostart entry if the tick changed; the user is
    // told when that fails.
    void SaveAutoStart();

private:
    bool autoStartChanged_ = false;
    int barScale_ = 0;  // as loaded: a percentage the list lacks is kept
    bool loading_ = false;
};

// "报时": chimes, their type, the announce-time hotkey and the quiet hours.
class TOptionsChimePage final : public TOptionsPage {
public:
    using TOptionsPage::TOptionsPage;
    void Build() override;
    void Load(const TOptionsValues& v) override;
    void Gather(TOptionsValues& v) const override;
    void UpdateEnabling() override;

private:
    void SetTimeOfDay(int id, int minute);
    int TimeOfDay(int id) const;
};

// "皮肤": the skin list with its preview and "应用(&A)", and the bar's
// transparency, which the bar follows at once.
class TOptionsSkinPage final : public TOptionsPage {
public:
    using TOptionsPage::TOptionsPage;
    void Build() override;
    void Load(const TOptionsValues& v) override;
    void Gather(TOptionsValues& v) const override;
    void FirstVisit() override;
    void Command(int id, int code) override;
    void TrackBarMoved(HWND bar) override;
    bool Notify(const NMHDR& hdr) override;
    bool DrawPicture(int id, Bitmap& picture) override;
    HWND FocusControl() const override { return Item(UiListView1); }

    // The package the selection names, empty while none that reads is selected.
    const std::string& Chosen() const { return chosen_; }
    const Bitmap& Preview() const { return preview_; }

private:
    void Selected(int item);
    void Apply();

    std::vector<std::string> paths_;
    std::string chosen_;
    Bitmap preview_;
    bool loading_ = false;
};

// "时钟": the clock-style list with its preview and "应用(&A)", and LED
// digits or plain text in a font of the user's, both at once on the bar.
class TOptionsClockPage final : public TOptionsPage {
public:
    using TOptionsPage::TOptionsPage;
    void Build() override;
    void Load(const TOptionsValues& v) override;
    void FirstVisit() override;
    void Command(int id, int code) override;
    void UpdateEnabling() override;
    bool Notify(const NMHDR& hdr) override;
    bool DrawPicture(int id, Bitmap& picture) override;
    HWND FocusControl() const override { return Item(UiListView2); }

    const std::string& Chosen() const { return chosen_; }
    const Bitmap& Preview() const { return preview_; }

private:
    void Selected(int item);
    void Apply();
    void ChooseTimeFont();

    std::vector<std::string> paths_;
    std::string chosen_;
    Bitmap preview_;
    bool loading_ = false;
};

// "消息": how the popup closes, the day's mark message and the popup's
// transparency.
class TOptionsMessagePage final : public TOptionsPage {
public:
    using TOptionsPage::TOptionsPage;
    void Build() override;
    void Load(const TOptionsValues& v) override;
    void Gather(TOptionsValues& v) const override;
    void UpdateEnabling() override;
    void TrackBarMoved(HWND bar) override;
};

// "校时": network time sync, its interval, and "立即校正" with the time of
// the last correction or why the attempt failed.
class TOptionsTimePage final : public TOptionsPage {
public:
    using TOptionsPage::TOptionsPage;
    ~TOptionsTimePage() override;
    void Build() override;
    void Load(const TOptionsValues& v) override;
    void Gather(TOptionsValues& v) const override;
    void Command(int id, int code) override;
    void UpdateEnabling() override;
    // The attempt "立即校正" started has ended (kTimeCheckedMessage).
    void TimeChecked();

private:
    std::unique_ptr<TSyncTimeDir> timeCheck_;
};

// Fills a package list with the files of `folder` ending in `suffix`, the one
// named `current` selected and scrolled into view. `paths` become their paths
// before the selection is made, which the list reports at once.
void FillPackageList(HWND list, const std::string& folder, const char* suffix,
                     const std::string& current, std::vector<std::string>& paths);

}  // namespace tempora
