#include "web/UpgraderThread_win.h"

#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/Text.h"
#include "calendar/Holiday.h"
#include "web/AdFile.h"
#include "web/Upgrade.h"

#include <algorithm>
#include <vector>

namespace tempora {

THttpGet::~THttpGet() {
    Close();
}

bool THttpGet::Open(HINTERNET& session, const TWebFetchOptions& options) {
    std::lock_guard<std::mutex> lock(mutex_);
    options_ = options;
    if (stopped_)
        return false;
    session_ = InternetOpenW(L"Tempora/3.7.7", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    session = session_;
    return session != nullptr;
}

HINTERNET THttpGet::Keep(HINTERNET& slot, HINTERNET handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!handle)
        return nullptr;
    // Stopped while the handle was being made: its parent is already closed.
    if (stopped_ && !session_) {
        CloseOne(handle);
        return nullptr;
    }
    slot = handle;
    return handle;
}

void THttpGet::CloseOne(HINTERNET handle) {
    if (options_.onClose)
        options_.onClose(handle);
    InternetCloseHandle(handle);
}

void THttpGet::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    // A child handle goes before the handle it was made from.
    for (HINTERNET* slot : {&request_, &connection_, &session_}) {
        if (*slot)
            CloseOne(*slot);
        *slot = nullptr;
    }
}

void THttpGet::Stop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
    }
    // Closing the session is what ends a blocking call on its handles.
    Close();
}

bool THttpGet::Fetch(const std::string& host, const std::string& path, size_t maxBytes,
                     const TWebFetchOptions& options, std::string& body) {
    body.clear();
    std::string name = host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
    if (const size_t colon = host.find(':'); colon != std::string::npos) {
        uint64_t value = 0;
        if (!ParseUnsigned(std::string_view(host).substr(colon + 1), value) || value == 0 ||
            value > 65535) {
            return false;
        }
        name = host.substr(0, colon);
        port = static_cast<INTERNET_PORT>(value);
    }
    HINTERNET session = nullptr;
    if (!Open(session, options))
        return false;
    const ULONGLONG deadline = GetTickCount64() + options.totalTimeoutMs;
    bool ok = false;
    {
        for (const auto& [option, value] :
             {std::pair{INTERNET_OPTION_CONNECT_TIMEOUT, options.connectTimeoutMs},
              std::pair{INTERNET_OPTION_SEND_TIMEOUT, options.receiveTimeoutMs},
              std::pair{INTERNET_OPTION_RECEIVE_TIMEOUT, options.receiveTimeoutMs}}) {
            DWORD v = value;
            InternetSetOptionW(session, option, &v, sizeof v);
        }
        const HINTERNET connection =
            Keep(connection_, InternetConnectW(session, Utf8ToWide(name).c_str(), port, nullptr,
                                               nullptr, INTERNET_SERVICE_HTTP, 0, 0));
        constexpr DWORD kFlags = INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_CACHE_WRITE |
                                 INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_RELOAD |
                                 INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI |
                                 INTERNET_FLAG_NO_AUTH;
        const HINTERNET request =
            connection
                ? Keep(request_, HttpOpenRequestW(connection, L"GET", Utf8ToWide(path).c_str(),
                                                  nullptr, nullptr, nullptr, kFlags, 0))
                : nullptr;
        DWORD status = 0, size = sizeof status;
        if (request && HttpSendRequestW(request, nullptr, 0, nullptr, 0) &&
            HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                           nullptr) &&
            status == HTTP_STATUS_OK) {
            ok = true;
            std::vector<char> buffer(8192);
            for (;;) {
                if (GetTickCount64() > deadline) {
                    ok = false;
                    break;
                }
                // Waits for some bytes (up to the receive time-out), so that
                // the deadline is looked at between every arrival.
                DWORD available = 0;
                if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
                    ok = false;
                    break;
                }
                if (available == 0)
                    break;
                DWORD read = 0;
                const DWORD want = std::min<DWORD>(available, static_cast<DWORD>(buffer.size()));
                if (!InternetReadFile(request, buffer.data(), want, &read)) {
                    ok = false;
                    break;
                }
                if (read == 0)
                    break;
                if (body.size() + read > maxBytes) {
                    ok = false;
                    break;
                }
                body.append(buffer.data(), read);
            }
        }
    }
    Close();
    if (!ok)
        body.clear();
    return ok;
}

TADThread::TADThread(TADJob job) : job_(std::move(job)) {
    thread_ = std::thread([this] { Execute(); });
}

TADThread::~TADThread() {
    http_.Stop();
    if (thread_.joinable())
        thread_.join();
}

void TADThread::Execute() {
    std::string body;
    if (job_.fetchAd &&
        http_.Fetch(job_.host, std::string(kAdFilePath), kMaxAdFileBytes, job_.fetch, body)) {
        const auto stored =
            AcceptAdDownload(body, job_.storedId, ClockSource::Current().NowLocal());
        if (stored && WriteFileAtomic(job_.adFile, *stored))
            PostMessageW(job_.window, kAdStoredMessage, 0, 0);
    }
    if (job_.checkUpgrade &&
        http_.Fetch(job_.host, std::string(kUpgradePath), kMaxUpgradeBytes, job_.fetch, body) &&
        OffersNewerVersion(body)) {
        PostMessageW(job_.window, kUpgradeFoundMessage, 0, 0);
    }
    THolidayList checked;
    if (job_.fetchHolidays &&
        http_.Fetch(job_.host, kHolidayPath, kHolidayFileLimit, job_.fetch, body) &&
        CheckHolidayFile(body, checked).ok && WriteFileAtomic(job_.holidayFile, body)) {
        PostMessageW(job_.window, kHolidaysFetchedMessage, 0, 0);
    }
    done_ = true;
}

}  // namespace tempora
