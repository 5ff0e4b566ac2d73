#include "web/WebFeatures_win.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/IniFile.h"
#include "core/LineFile.h"
#include "core/Text.h"
#include "web/UnitAbout_win.h"
#include "web/UnitHomepage_win.h"
#include "web/Upgrade.h"
#include "web/WebServer.h"

#include <shellapi.h>

#include <random>
#include <utility>

namespace tempora {

TWebFeatures::TWebFeatures(HWND bar, std::string dataDir, TWebFetchOptions fetch,
                           std::function<bool(const std::string& address)> openDocument)
    : bar_(bar),
      dataDir_(std::move(dataDir)),
      fetch_(std::move(fetch)),
      openDocument_(std::move(openDocument)) {
    // Known only inside this process: another program cannot hand the bar a
    // pointer it would follow.
    std::random_device random;
    upgradeKey_ = static_cast<WPARAM>((static_cast<uint64_t>(random()) << 32) ^ random()) | 1;
}

TWebFeatures::~TWebFeatures() {
    if (bar_) {
        KillTimer(bar_, kAdTimer);
        KillTimer(bar_, kHolidayTimer);
    }
}

void TWebFeatures::Start() {
    LoadAdLines();
    SetTimer(bar_, kAdTimer, kAdDelayMs, nullptr);
}

std::string TWebFeatures::WebHost() const {
    const TIniFile ini(dataDir_ + "skin.ini");
    return ServerHostOf(ini.ReadString("WEB", "Host", "")).value_or("");
}

std::string TWebFeatures::HomePage() const {
    const TIniFile ini(dataDir_ + "skin.ini");
    return HomePageOf(ini.ReadString("WEB", "HomePage", "")).value_or("");
}

void TWebFeatures::LoadAdLines() {
    MakeDirectory(dataDir_ + "Sup");
    ads_.clear();
    std::vector<std::string> lines;
    if (ReadLineFile(dataDir_ + std::string(kAdHistoryFile), lines))
        ads_ = ParseAdLines(lines);
    if (OnAdLines)
        OnAdLines(AdDateLines(ads_));
}

void TWebFeatures::CheckAdDownload() {
    if (AdDownloadRunning())
        return;
    const std::string host = WebHost();
    if (host.empty())
        return;  // no server configured: no request at all
    TADJob job;
    job.host = host;
    job.adFile = dataDir_ + std::string(kAdHistoryFile);
    job.window = bar_;
    job.fetch = fetch_;
    const TDateTime now = ClockSource::Current().NowLocal();
    std::vector<std::string> lines;
    ReadLineFile(job.adFile, lines);
    const TAdHeader header = ParseAdHeader(lines.empty() ? std::string() : lines.front());
    job.fetchAd = AdDownloadDue(header, now);
    job.storedId = header.id;
    std::vector<std::string> history;
    ReadLineFile(dataDir_ + std::string(kUpgradeHistoryFile), history);
    job.checkUpgrade = UpgradeNoticeDue(history, now);
    job.fetchHolidays = TakeHolidayFetchDay();
    job.holidayFile = dataDir_ + kHolidayDownloadFile;
    if (!job.fetchAd && !job.checkUpgrade && !job.fetchHolidays)
        return;
    MakeDirectory(dataDir_ + "Sup");
    adThread_.reset();
    adThread_ = std::make_unique<TADThread>(std::move(job));
}

bool TWebFeatures::TakeHolidayFetchDay() {
    // The day's stamp has the form of Upgrade.his: one attempt a calendar
    // day, made or failed, so that a server without the file is not asked
    // every hour.
    std::vector<std::string> history;
    ReadLineFile(dataDir_ + kHolidayHistoryFile, history);
    const TDateTime now = ClockSource::Current().NowLocal();
    if (!UpgradeNoticeDue(history, now))
        return false;
    MakeDirectory(dataDir_ + "Sup");
    WriteLineFile(dataDir_ + kHolidayHistoryFile, {UpgradeRecordLine(now)});
    return true;
}

void TWebFeatures::CheckHolidayFetch() {
    if (AdDownloadRunning())
        return;
    const std::string host = WebHost();
    if (host.empty() || !TakeHolidayFetchDay())
        return;
    TADJob job;
    job.host = host;
    job.fetchAd = false;
    job.checkUpgrade = false;
    job.fetchHolidays = true;
    job.holidayFile = dataDir_ + kHolidayDownloadFile;
    job.window = bar_;
    job.fetch = fetch_;
    adThread_.reset();
    adThread_ = std::make_unique<TADThread>(std::move(job));
}

bool TWebFeatures::OpenDocument(const std::string& target) {
    if (!IsWebTarget(target))
        return false;
    if (openDocument_)
        return openDocument_(target);
    const std::wstring file = Utf8ToWide(target);
    SHELLEXECUTEINFOW sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    sei.hwnd = bar_;
    sei.lpVerb = L"open";
    sei.lpFile = file.c_str();
    sei.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&sei))
        return true;
    // No program takes web pages: let the user choose one.
    const size_t dot = target.rfind('.');
    if (dot != std::string::npos && target.find('/', dot) == std::string::npos &&
        EqualsNoCase(std::string_view(target).substr(dot), ".htm")) {
        ShellExecuteW(bar_, nullptr, L"RunDLL32.exe", L"Shell32.dll,OpenAs_RunDLL *.htm", nullptr,
                      SW_SHOWNORMAL);
    }
    return false;
}

void TWebFeatures::OpenDateLine(int lineIndex) {
    if (lineIndex < 1 || lineIndex > static_cast<int>(ads_.size()))
        return;
    const TADRec ad = ads_[static_cast<size_t>(lineIndex - 1)];
    if (ad.type == kAdLink) {
        OpenDocument(ad.target);
    } else if (ad.type == kAdStartPage) {
        OfferHomePage(bar_, ad.target, [this](const std::string& a) { return OpenDocument(a); });
    }
}

void TWebFeatures::ShowHomePage() {
    const std::string home = HomePage();
    if (home.empty()) {
        MessageBoxW(bar_,
                    L"没有设置主页地址。\n可在 skin.ini 的 [WEB] 节中用 HomePage= 设置一个 http:// "
                    L"或 https:// 地址。",
                    L"提示", MB_OK | MB_ICONINFORMATION);
        return;
    }
    OpenDocument(home);
}

void TWebFeatures::ShowAbout() {
    tempora::ShowAbout(bar_, HomePage(), [this](const std::string& a) { return OpenDocument(a); });
}

void TWebFeatures::RecordUpgradeCheck() {
    WriteLineFile(dataDir_ + std::string(kUpgradeHistoryFile),
                  {UpgradeRecordLine(ClockSource::Current().NowLocal())});
}

void TWebFeatures::OnUpgradeText(const std::string& text) {
    if (UpgradeTextAnnounces(text))
        RaiseUpgradeNotice();
}

void TWebFeatures::RaiseUpgradeNotice() {
    if (OnNotice)
        OnNotice(UpgradeNoticeText(HomePage()));
    RecordUpgradeCheck();
}

bool TWebFeatures::OnCopyData(const COPYDATASTRUCT& data) {
    if (data.dwData != kUpgradeTextMessage || data.cbData > kMaxUpgradeTextBytes ||
        (data.cbData > 0 && !data.lpData)) {
        return false;
    }
    std::string text;
    if (data.cbData > 0)
        text.assign(static_cast<const char*>(data.lpData), data.cbData);
    // The text ends at its terminator, or at the end of the block without one.
    text.resize(std::char_traits<char>::length(text.c_str()));
    OnUpgradeText(GbkToUtf8(text));
    return true;
}

bool TWebFeatures::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_TIMER:
            if (wp == kHolidayTimer) {
                CheckHolidayFetch();
                return true;
            }
            if (wp != kAdTimer)
                return false;
            KillTimer(bar_, kAdTimer);
            CheckAdDownload();
            SetTimer(bar_, kHolidayTimer, kHolidayCheckMs, nullptr);
            return true;
        case kUpgradeTextMessage:
            // lParam is a pointer: only code of this process may hand one over.
            if (wp == upgradeKey_ && lp)
                OnUpgradeText(reinterpret_cast<const char*>(lp));
            return true;
        case kUpgradeCheckedMessage:
            RecordUpgradeCheck();
            return true;
        case kAdStoredMessage:
            if (FileExists(dataDir_ + std::string(kAdHistoryFile)))
                LoadAdLines();
            return true;
        case kHolidaysFetchedMessage: {
            const std::string file = dataDir_ + kHolidayDownloadFile;
            std::string bytes;
            if (ReadFileBytes(file, bytes) && OnHolidayFile)
                OnHolidayFile(bytes);
            RemoveFile(file);
            return true;
        }
        case kUpgradeFoundMessage: {
            std::vector<std::string> history;
            ReadLineFile(dataDir_ + std::string(kUpgradeHistoryFile), history);
            if (UpgradeNoticeDue(history, ClockSource::Current().NowLocal()))
                RaiseUpgradeNotice();
            return true;
        }
        case WM_COPYDATA:
            // Any program may send this; one without its block is refused.
            if (!lp || !OnCopyData(*reinterpret_cast<const COPYDATASTRUCT*>(lp)))
                return false;
            result = TRUE;
            return true;
        default:
            return false;
    }
}

}  // namespace tempora
