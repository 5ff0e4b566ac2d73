// The features beyond the bar that reach the web server of skin.ini's WEB
// section: the ad lines of the date line and their download, the upgrade
// notice (from the server's version file or from an upgrade checker), the home
// page and the About box, and handing a web address to the user's browser.
// The program wires it with its callbacks and hands it the bar's messages.
#pragma once

#include "web/AdFile.h"
#include "web/UpgraderThread_win.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tempora {

class TWebFeatures {
public:
    // The bar's timer that starts the download, five minutes after start-up.
    static constexpr UINT_PTR kAdTimer = 0x4D04;
    static constexpr UINT kAdDelayMs = 300000;
    // The holidays are looked for once a day: the bar's timer asks every
    // hour whether today's attempt is still to come.
    static constexpr UINT_PTR kHolidayTimer = 0x4D05;
    static constexpr UINT kHolidayCheckMs = 3600000;

    // `bar` receives the downloads' messages and owns the message boxes;
    // `openDocument` replaces the shell when set (tests).
    TWebFeatures(HWND bar, std::string dataDir, TWebFetchOptions fetch,
                 std::function<bool(const std::string& address)> openDocument);
    ~TWebFeatures();
    TWebFeatures(const TWebFeatures&) = delete;
    TWebFeatures& operator=(const TWebFeatures&) = delete;

    // Reads the ads and arms the download's timer.
    void Start();
    // The ads of Sup\Ad.his, read again and handed to OnAdLines.
    void LoadAdLines();
    const std::vector<TADRec>& Ads() const { return ads_; }
    // Starts the download of a due ad file, the version check and the
    // holidays' fetch when due on the configured host, once per run; without
    // a usable WEB/Host nothing.
    void CheckAdDownload();
    // Starts the holidays' fetch alone, unless a download runs or today's
    // attempt (Sup\Holiday.his) was made; without a usable WEB/Host nothing.
    void CheckHolidayFetch();
    // True while that download runs.
    bool AdDownloadRunning() const { return adThread_ && !adThread_->Done(); }
    // Stops the download and waits for it.
    void Stop() { adThread_.reset(); }

    // Hands a web address to the shell; any other target is not opened.
    bool OpenDocument(const std::string& target);
    // A click on the date line's line `lineIndex` (0: the date): an ad's
    // link opens, an ad's start page is offered.
    void OpenDateLine(int lineIndex);
    // "主页" and "关于".
    void ShowHomePage();
    void ShowAbout();
    // The home page of WEB/HomePage; empty when missing or unusable.
    std::string HomePage() const;
    // Writes the time of now to Upgrade.his.
    void RecordUpgradeCheck();
    // What code inside the program puts in wParam of kUpgradeTextMessage:
    // the message is honoured only with it, since its lParam is a pointer.
    WPARAM UpgradeMessageKey() const { return upgradeKey_; }

    // The bar's messages of these features (the downloads' and the upgrade
    // checkers' messages, WM_COPYDATA, kAdTimer); true when handled, with `result`.
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    // The date line's ad lines changed.
    std::function<void(const std::vector<std::string>& lines)> OnAdLines;
    // The upgrade notice, for the popup program.
    std::function<void(const std::string& text)> OnNotice;
    // A fetched holiday file that passed the check, as bytes: the program
    // takes the years it adds or changes.
    std::function<void(const std::string& bytes)> OnHolidayFile;

private:
    std::string WebHost() const;
    // Whether today's holiday fetch is still to come; if so, records it as made.
    bool TakeHolidayFetchDay();
    void OnUpgradeText(const std::string& text);
    void RaiseUpgradeNotice();
    bool OnCopyData(const COPYDATASTRUCT& data);

    HWND bar_;
    std::string dataDir_;
    TWebFetchOptions fetch_;
    std::function<bool(const std::string& address)> openDocument_;
    std::vector<TADRec> ads_;
    WPARAM upgradeKey_ = 0;
    // Last: it posts to the bar until it is stopped.
    std::unique_ptr<TADThread> adThread_;
};

}  // namespace tempora
