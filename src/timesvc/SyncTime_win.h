// Network time on Windows: the exchanges over Winsock, the clock setter, the
// synchronising thread TSyncTime and the one-shot checker TSyncTimeDir.
// Every wait of theirs (name lookup, connection, reply, the pause between
// attempts) ends at once when they are stopped.
#pragma once

#include "timesvc/SyncTime.h"
#include "core/Handles_win.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace tempora {

// Sets the computer's clock (UTC) with the system-time privilege enabled for
// the call; false when the system refuses, as it does without administrator
// rights.
bool SetSystemClock(int64_t unixMs);
// The numeric addresses of a host name; none when it does not resolve.
std::vector<std::string> ResolveHost(const std::string& name);

struct TSyncOptions {
    ClockSetter setClock = SetSystemClock;
    // Runs on a thread of its own, so that a slow lookup cannot hold up a stop.
    std::function<std::vector<std::string>(const std::string& name)> resolve = ResolveHost;
    int64_t retryMs = 10000;  // after a failed attempt
    int connectTimeoutMs = 5000;
    int readTimeoutMs = 2500;
};

// Asks time servers over the network, one exchange at a time.
class TTimeClient {
public:
    explicit TTimeClient(TSyncOptions options);
    ~TTimeClient();
    TTimeClient(const TTimeClient&) = delete;
    TTimeClient& operator=(const TTimeClient&) = delete;

    // One exchange with `host`: the server's time as of the return, or
    // NetError (no address, refused, broken, timed out, a reply that fails
    // its checks) or Stopped.
    SyncStatus Ask(const TimeHost& host, int64_t& serverNow);
    // Sleeps `ms`; false when stopped first.
    bool Wait(int64_t ms);
    // Ends the exchange or wait in progress, and every later one; any thread.
    void Stop();
    const TSyncOptions& Options() const { return options_; }

private:
    SyncStatus AskTime(const std::string& address, uint16_t port, int64_t& serverNow);
    SyncStatus AskSntp(const std::string& address, uint16_t port, int64_t& serverNow);
    // Waits for a socket event or the stop: 1 event, 0 time-out, -1 stopped.
    int WaitSocket(HANDLE event, int64_t deadline);

    TSyncOptions options_;
    KernelHandle stop_;
    bool winsock_ = false;
    std::mt19937 random_;
};

// The background synchroniser: attempts at once, then follows TSyncSchedule
// with the interval of `hours`, until it is destroyed.
class TSyncTime {
public:
    TSyncTime(const std::string& checkFile, const std::string& hostFile, int hours,
              TSyncOptions options = {});
    // Stops the thread, also in the middle of an exchange, and waits for it.
    ~TSyncTime();
    TSyncTime(const TSyncTime&) = delete;
    TSyncTime& operator=(const TSyncTime&) = delete;

    // A new interval, used from the next wait for it on; the one in progress
    // runs to its end.
    void SetStepHours(int hours);

private:
    void Execute();

    std::vector<TimeHost> hosts_;
    std::string checkFile_;
    std::atomic<int64_t> intervalMs_;
    TTimeClient client_;
    std::mt19937 random_;
    std::thread thread_;
};

// "立即校正": one attempt off the window's thread.
class TSyncTimeDir {
public:
    TSyncTimeDir(const std::string& hostFile, const std::string& checkFile,
                 TSyncOptions options = {});
    // Stops a check in progress at once.
    ~TSyncTimeDir();
    TSyncTimeDir(const TSyncTimeDir&) = delete;
    TSyncTimeDir& operator=(const TSyncTimeDir&) = delete;

    // Starts one attempt and posts `message` to `window` when it has ended;
    // false (and nothing started) while one is still running.
    bool CheckNow(HWND window, UINT message);
    bool Busy() const { return busy_; }
    // The outcome of the last attempt that ended.
    SyncResult Result() const;

private:
    std::vector<TimeHost> hosts_;
    std::string checkFile_;
    TTimeClient client_;
    std::mt19937 random_;
    std::thread thread_;
    std::atomic<bool> busy_{false};
    mutable std::mutex mutex_;
    SyncResult result_;
};

}  // namespace tempora
