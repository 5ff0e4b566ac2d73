// The weather view: the weather page of the configured web host in an
// embedded browser, on the skin's background, with its own small menus.
// When there is no usable host, no browser component or no page, the view
// says so in plain words with a "重试" button instead of showing a blank.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "core/Bitmap.h"
#include "display/Commands_win.h"
#include "display/MenuController_win.h"
#include "display/SmoothFont_win.h"
#include "display/DockedView_win.h"
#include "core/Handles_win.h"
#include "core/Scale.h"

namespace tempora {

class TBrowserSite;

struct TWeatherOptions {
    // How long a page may take before the view gives up on it.
    UINT loadTimeoutMs = 20000;
    // False stands for a machine without the browser component.
    bool useBrowser = true;
};

class TFrmWeather : public TDockedView {
public:
    static constexpr wchar_t kClassName[] = L"TFrmWeather";
    // The browser's frame on the window.
    // The page's panel at 100 %.
    static constexpr int kPanelLeft = 6, kPanelTop = 44, kPanelWidth = 320, kPanelHeight = 109;

    enum : UINT {
        PM_CSSJ = 500,  // 城市时间查询
        PM_ShiZhong,    // 时钟
        PM_RiLi,        // 日历
        PM_Close,       // 关闭窗口
        PM_Refresh,     // 刷新...
    };

    enum class TState { Loading, Shown, NoHost, BadHost, NoBrowser, PageFailed };

    // `dataDir` ends in the folder separator; skin.ini and Skin\ lie there.
    explicit TFrmWeather(std::string dataDir, TWeatherOptions options = {});
    ~TFrmWeather() override;

    // Creates the window hidden, owned by `owner`, with the skin of skin.ini.
    // Once shown, it opens the page when that was not opened today; closing
    // destroys the window, browser and all.
    bool Create(HWND owner);
    // Applies the weather package that skin.ini's SKIN/SkinFile names; a
    // missing or damaged one leaves the look as it is.
    void ReloadSkin();
    // Reads WEB/Host again and opens the weather page ("刷新...", "重试").
    void Navigate();

    int Width() const { return face_.Width(); }
    int Height() const { return face_.Height(); }
    TState State() const { return state_; }
    // The words shown instead of the page; empty while the page shows.
    const std::wstring& Message() const { return message_; }
    HWND RetryButton() const { return retry_; }

    // What the menus ask of the bar; an item without its function is greyed.
    std::function<void()> OnWorldTime;
    std::function<void()> OnShowClock;
    std::function<void()> OnShowCalendar;
    // A web link the user clicked leads off the weather host: the browser
    // stays, and the address goes here (to the user's own browser).
    std::function<void(const std::string& url)> OnOpenLink;
    // What the browser does with an address it is about to open: true when
    // it may go there (WeatherLinkAction on WEB/Host).
    bool AllowNavigation(const std::string& url);

    MenuHandle BuildContextMenu();
    void RunCommand(UINT id);

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void Shown() override;

private:
    enum : UINT_PTR { TimerLoad = 1 };
    int Px(int px100) const { return scale_.Px(px100); }
    // A navigation this soon after the user's last input over the page
    // counts as the user's click.
    static constexpr DWORD kClickMs = 1000;

    bool UserJustClicked() const;
    bool CreateBrowser();
    void DestroyBrowser();
    void ShowMessage(TState state, std::wstring text);
    void PageLoaded();
    void ComposeFace();
    void OpenRefreshMenu();
    bool InTitle(POINT p) const;

    std::string dataDir_;
    TWeatherOptions options_;
    TCommandTable commands_;
    std::unique_ptr<TMenuController> menuPainter_;
    Bitmap background_;
    Bitmap btnGNG_;
    Bitmap face_;
    uint32_t fontColor_ = 0xFFFFFF;
    TGdiGlyphs glyphs_;
    RECT titleRect_{};
    RECT buttonRect_{};

    HWND panel_ = nullptr;  // the browser's parent
    HWND retry_ = nullptr;
    HWND tips_ = nullptr;
    GdiObject<HFONT> font_;
    TBrowserSite* site_ = nullptr;  // holds a reference while the browser lives
    bool oleStarted_ = false;
    TState state_ = TState::Loading;
    std::wstring message_;
    int navigatedDay_ = -1;  // the day number of the last navigation
    TScale scale_;           // its bar's, taken when it is made
};

}  // namespace tempora
