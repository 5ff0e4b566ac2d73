// The downloads of the web features: one HTTP GET through WinINet with
// time-outs and a size cap, and the short-lived thread TADThread that
// fetches the ad file and the version file once per start-up.
#pragma once

#include <windows.h>

#include <wininet.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace tempora {

// Messages to the bar. kHolidaysFetchedMessage: a holiday file that passed
// the check waits in TADJob::holidayFile. kUpgradeTextMessage: an upgrade checker's text (lParam,
// zero-terminated UTF-8) honoured only with the program's own key in wParam;
// other programs send the text (GBK) with WM_COPYDATA and dwData
// kUpgradeTextMessage. kUpgradeCheckedMessage: record the check in
// Upgrade.his. kAdStoredMessage: a new ad file was stored. kUpgradeFoundMessage:
// the web server offers a newer version.
enum : UINT {
    kUpgradeTextMessage = 0x401,
    kUpgradeCheckedMessage = 0x402,
    kAdStoredMessage = 0x403,
    kUpgradeFoundMessage = 0x404,
    kHolidaysFetchedMessage = 0x405,
};

// The holidays on the web server, the file a download waits in until the
// program takes what it adds, and the day of the last attempt.
inline constexpr char kHolidayPath[] = "/Holiday.lst";
inline constexpr char kHolidayDownloadFile[] = "Sup\\Holiday.dl";
inline constexpr char kHolidayHistoryFile[] = "Sup\\Holiday.his";

struct TWebFetchOptions {
    DWORD connectTimeoutMs = 10000;
    DWORD receiveTimeoutMs = 10000;
    DWORD totalTimeoutMs = 30000;  // the whole exchange, however the bytes trickle in
    // Told of each WinINet handle just before it is closed (tests record the order).
    std::function<void(HINTERNET)> onClose;
};

// One GET of http://host/path, where host is a name or address with an
// optional ":port". Only a 200 reply counts: redirects are not followed,
// nothing is taken from or put in the cache, no cookies, no dialogs. Fails
// on a body beyond `maxBytes`, on any network error, and when the time-outs
// or Stop end it.
class THttpGet {
public:
    THttpGet() = default;
    ~THttpGet();
    THttpGet(const THttpGet&) = delete;
    THttpGet& operator=(const THttpGet&) = delete;

    bool Fetch(const std::string& host, const std::string& path, size_t maxBytes,
               const TWebFetchOptions& options, std::string& body);
    // Ends the fetch in progress at once, and every later one; any thread.
    void Stop();

private:
    bool Open(HINTERNET& session, const TWebFetchOptions& options);
    // Keeps a child handle in `slot` so that Stop closes it before its
    // parent; null when there is none or the fetch was stopped meanwhile.
    HINTERNET Keep(HINTERNET& slot, HINTERNET handle);
    // Closes the request, then the connection, then the session.
    void Close();
    void CloseOne(HINTERNET handle);

    std::mutex mutex_;
    TWebFetchOptions options_;
    HINTERNET session_ = nullptr, connection_ = nullptr, request_ = nullptr;
    bool stopped_ = false;
};

struct TADJob {
    std::string host;      // as ServerHostOf gives it
    bool fetchAd = true;   // the ad file is due
    std::string storedId;  // the id of the stored ad file (UTF-8), maybe empty
    std::string adFile;    // Sup\Ad.his, replaced atomically when a new set comes
    bool checkUpgrade = true;
    bool fetchHolidays = false;
    std::string holidayFile;  // Sup\Holiday.dl, replaced atomically
    HWND window = nullptr;    // receives kAdStoredMessage and kUpgradeFoundMessage
    TWebFetchOptions fetch;
};

// Runs the job on a thread of its own: fetches the ad file (when due) and
// stores it when AcceptAdDownload takes it, posting kAdStoredMessage; then
// fetches /Upgrade.txt (when asked) and posts kUpgradeFoundMessage when it
// offers a newer version; then fetches /Holiday.lst (when asked) and, when
// it passes CheckHolidayFile, stores it and posts kHolidaysFetchedMessage.
// Touches no other file; every failure ends quietly.
class TADThread {
public:
    explicit TADThread(TADJob job);
    // Stops a download in progress and waits for the thread.
    ~TADThread();
    TADThread(const TADThread&) = delete;
    TADThread& operator=(const TADThread&) = delete;

    bool Done() const { return done_; }

private:
    void Execute();

    TADJob job_;
    THttpGet http_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace tempora
