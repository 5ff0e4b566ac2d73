#include <winsock2.h>
#include <ws2tcpip.h>

#include "timesvc/SyncTime_win.h"

#include "core/ClockSource.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

namespace tempora {

namespace {

constexpr int64_t kFileTimeToUnixMs = 11644473600000LL;

int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

DWORD WaitSpan(int64_t deadline) {
    const int64_t left = deadline - SteadyMs();
    return left <= 0 ? 0 : static_cast<DWORD>(std::min<int64_t>(left, 0x7FFFFFFF));
}

class Socket {
public:
    Socket(int family, int type, int protocol) : s_(socket(family, type, protocol)) {}
    ~Socket() {
        if (s_ != INVALID_SOCKET)
            closesocket(s_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    SOCKET Get() const { return s_; }
    bool Valid() const { return s_ != INVALID_SOCKET; }

private:
    SOCKET s_;
};

class SocketEvent {
public:
    SocketEvent() : e_(WSACreateEvent()) {}
    ~SocketEvent() {
        if (e_ != WSA_INVALID_EVENT)
            WSACloseEvent(e_);
    }
    SocketEvent(const SocketEvent&) = delete;
    SocketEvent& operator=(const SocketEvent&) = delete;
    WSAEVENT Get() const { return e_; }

private:
    WSAEVENT e_;
};

// A numeric address with its port, as connect takes it.
struct Endpoint {
    sockaddr_storage addr{};
    int length = 0;
    int family = AF_UNSPEC;
};

bool ToEndpoint(const std::string& address, uint16_t port, int socketType, Endpoint& out) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = socketType;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        return false;
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> owner(found, freeaddrinfo);
    if (found->ai_addrlen > sizeof(out.addr))
        return false;
    memcpy(&out.addr, found->ai_addr, found->ai_addrlen);
    out.length = static_cast<int>(found->ai_addrlen);
    out.family = found->ai_family;
    return true;
}

// What a lookup leaves for the client, which may have given up on it.
struct Lookup {
    KernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::vector<std::string> addresses;
};

}  // namespace

bool SetSystemClock(int64_t unixMs) {
    const uint64_t units = static_cast<uint64_t>(unixMs + kFileTimeToUnixMs) * 10000;
    const FILETIME ft{static_cast<DWORD>(units), static_cast<DWORD>(units >> 32)};
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(&ft, &st))
        return false;
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
        return false;
    const KernelHandle token(raw);
    TOKEN_PRIVILEGES enable{};
    enable.PrivilegeCount = 1;
    enable.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &enable.Privileges[0].Luid))
        return false;
    TOKEN_PRIVILEGES before{};
    DWORD beforeSize = 0;
    // Without the right to the privilege the call succeeds but assigns nothing.
    if (!AdjustTokenPrivileges(token.Get(), FALSE, &enable, sizeof(before), &before, &beforeSize) ||
        GetLastError() != ERROR_SUCCESS) {
        return false;
    }
    // The UTC setter: a local time would be ambiguous in the hour that
    // daylight saving repeats.
    const bool set = SetSystemTime(&st) != FALSE;
    AdjustTokenPrivileges(token.Get(), FALSE, &before, 0, nullptr, nullptr);
    return set;
}

std::vector<std::string> ResolveHost(const std::string& name) {
    std::vector<std::string> addresses;
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return addresses;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.c_str(), nullptr, &hints, &found) == 0) {
        for (const addrinfo* a = found; a; a = a->ai_next) {
            char text[NI_MAXHOST];
            if (getnameinfo(a->ai_addr, static_cast<socklen_t>(a->ai_addrlen), text, sizeof(text),
                            nullptr, 0, NI_NUMERICHOST) == 0 &&
                std::find(addresses.begin(), addresses.end(), text) == addresses.end()) {
                addresses.emplace_back(text);
            }
        }
        freeaddrinfo(found);
    }
    WSACleanup();
    return addresses;
}

TTimeClient::TTimeClient(TSyncOptions options)
    : options_(std::move(options)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      random_(std::random_device{}()) {
    WSADATA data;
    winsock_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

TTimeClient::~TTimeClient() {
    if (winsock_)
        WSACleanup();
}

void TTimeClient::Stop() {
    SetEvent(stop_.Get());
}

bool TTimeClient::Wait(int64_t ms) {
    const int64_t deadline = SteadyMs() + std::max<int64_t>(ms, 0);
    // Waits longer than a DWORD of milliseconds go in pieces.
    for (;;) {
        if (WaitForSingleObject(stop_.Get(), WaitSpan(deadline)) == WAIT_OBJECT_0)
            return false;
        if (SteadyMs() >= deadline)
            return true;
    }
}

int TTimeClient::WaitSocket(HANDLE event, int64_t deadline) {
    const HANDLE both[] = {stop_.Get(), event};
    switch (WaitForMultipleObjects(2, both, FALSE, WaitSpan(deadline))) {
        case WAIT_OBJECT_0:
            return -1;
        case WAIT_OBJECT_0 + 1:
            return 1;
        default:
            return 0;
    }
}

SyncStatus TTimeClient::Ask(const TimeHost& host, int64_t& serverNow) {
    if (!winsock_)
        return SyncStatus::NetError;
    // The lookup cannot be interrupted: it runs apart and is left to finish
    // on its own when the client is stopped.
    auto lookup = std::make_shared<Lookup>();
    if (!lookup->done)
        return SyncStatus::NetError;
    std::thread([lookup, resolve = options_.resolve, name = host.name] {
        lookup->addresses = resolve(name);
        SetEvent(lookup->done.Get());
    }).detach();
    const HANDLE both[] = {stop_.Get(), lookup->done.Get()};
    if (WaitForMultipleObjects(2, both, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
        return SyncStatus::Stopped;

    for (const std::string& address : lookup->addresses) {
        const SyncStatus status = host.protocol == TimeHost::Protocol::Sntp
                                      ? AskSntp(address, host.port, serverNow)
                                      : AskTime(address, host.port, serverNow);
        if (status != SyncStatus::NetError)
            return status;
    }
    return SyncStatus::NetError;
}

SyncStatus TTimeClient::AskTime(const std::string& address, uint16_t port, int64_t& serverNow) {
    Endpoint to;
    if (!ToEndpoint(address, port, SOCK_STREAM, to))
        return SyncStatus::NetError;
    Socket s(to.family, SOCK_STREAM, IPPROTO_TCP);
    SocketEvent event;
    if (!s.Valid() || event.Get() == WSA_INVALID_EVENT ||
        WSAEventSelect(s.Get(), event.Get(), FD_CONNECT | FD_READ | FD_CLOSE) != 0) {
        return SyncStatus::NetError;
    }
    if (connect(s.Get(), reinterpret_cast<const sockaddr*>(&to.addr), to.length) != 0 &&
        WSAGetLastError() != WSAEWOULDBLOCK) {
        return SyncStatus::NetError;
    }
    const int64_t connectBy = SteadyMs() + options_.connectTimeoutMs;
    for (bool connected = false; !connected;) {
        const int woke = WaitSocket(event.Get(), connectBy);
        if (woke < 0)
            return SyncStatus::Stopped;
        if (woke == 0)
            return SyncStatus::NetError;
        WSANETWORKEVENTS happened{};
        if (WSAEnumNetworkEvents(s.Get(), event.Get(), &happened) != 0)
            return SyncStatus::NetError;
        if (happened.lNetworkEvents & FD_CONNECT) {
            if (happened.iErrorCode[FD_CONNECT_BIT] != 0)
                return SyncStatus::NetError;
            connected = true;
        }
    }
    // The server stamps its reply when it accepts, half a round trip after
    // the connection is established here; counting from now rather than from
    // the connection attempt keeps the handshake out of the correction.
    const int64_t connectedAt = SteadyMs();
    const int64_t readBy = connectedAt + options_.readTimeoutMs;
    char reply[4];
    int got = 0;
    for (;;) {
        // The four bytes may arrive in pieces, and with the server's close.
        for (;;) {
            const int n = recv(s.Get(), reply + got, 4 - got, 0);
            if (n > 0) {
                got += n;
                if (got == 4) {
                    const int64_t roundTrip = SteadyMs() - connectedAt;
                    serverNow = TimeReplyNow(*DecodeTimeReply({reply, 4}), roundTrip);
                    return SyncStatus::Done;
                }
                continue;
            }
            if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK)
                return SyncStatus::NetError;  // closed or broken before four bytes
            break;
        }
        const int woke = WaitSocket(event.Get(), readBy);
        if (woke < 0)
            return SyncStatus::Stopped;
        if (woke == 0)
            return SyncStatus::NetError;  // no reply in time: no time either
        WSANETWORKEVENTS happened{};
        if (WSAEnumNetworkEvents(s.Get(), event.Get(), &happened) != 0)
            return SyncStatus::NetError;
    }
}

SyncStatus TTimeClient::AskSntp(const std::string& address, uint16_t port, int64_t& serverNow) {
    Endpoint to;
    if (!ToEndpoint(address, port, SOCK_DGRAM, to))
        return SyncStatus::NetError;
    Socket s(to.family, SOCK_DGRAM, IPPROTO_UDP);
    SocketEvent event;
    // Connected, the socket takes datagrams from the server alone and
    // reports an unreachable port as an error.
    if (!s.Valid() || event.Get() == WSA_INVALID_EVENT ||
        connect(s.Get(), reinterpret_cast<const sockaddr*>(&to.addr), to.length) != 0 ||
        WSAEventSelect(s.Get(), event.Get(), FD_READ) != 0) {
        return SyncStatus::NetError;
    }
    const int64_t t1 = ClockSource::Current().UtcMillis();
    // Random bits below the millisecond make the originate time a nonce that
    // a forged reply cannot guess.
    const uint64_t transmit = UnixMsToNtp(t1) | (random_() & 0xFFFFF);
    const auto request = BuildSntpRequest(transmit);
    const int64_t sentAt = SteadyMs();
    if (send(s.Get(), reinterpret_cast<const char*>(request.data()),
             static_cast<int>(request.size()), 0) != static_cast<int>(request.size())) {
        return SyncStatus::NetError;
    }
    const int64_t readBy = sentAt + options_.readTimeoutMs;
    char reply[512];
    for (;;) {
        const int n = recv(s.Get(), reply, sizeof(reply), 0);
        if (n >= 0) {
            // The round trip by the steady counter, so that a clock stepped
            // meanwhile cannot spoil T4.
            const int64_t t4 = t1 + (SteadyMs() - sentAt);
            SntpTimes times;
            if (DecodeSntpReply({reply, static_cast<size_t>(n)}, transmit, times) !=
                SntpVerdict::Ok) {
                return SyncStatus::NetError;
            }
            serverNow = SntpNow(t1, NtpToUnixMs(times.receive), NtpToUnixMs(times.transmit), t4);
            return SyncStatus::Done;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK)
            return SyncStatus::NetError;  // unreachable, or larger than any reply
        const int woke = WaitSocket(event.Get(), readBy);
        if (woke < 0)
            return SyncStatus::Stopped;
        if (woke == 0)
            return SyncStatus::NetError;
        WSANETWORKEVENTS happened{};
        if (WSAEnumNetworkEvents(s.Get(), event.Get(), &happened) != 0)
            return SyncStatus::NetError;
    }
}

TSyncTime::TSyncTime(const std::string& checkFile, const std::string& hostFile, int hours,
                     TSyncOptions options)
    : hosts_(LoadTimeHosts(hostFile)),
      checkFile_(checkFile),
      intervalMs_(StepHoursToMs(hours)),
      client_(std::move(options)),
      random_(std::random_device{}()) {
    thread_ = std::thread([this] { Execute(); });
}

TSyncTime::~TSyncTime() {
    client_.Stop();
    thread_.join();
}

void TSyncTime::SetStepHours(int hours) {
    intervalMs_ = StepHoursToMs(hours);
}

void TSyncTime::Execute() {
    TSyncSchedule schedule;
    const auto ask = [this](const TimeHost& host, int64_t& now) { return client_.Ask(host, now); };
    for (;;) {
        const SyncResult r =
            RunSyncAttempt(hosts_, random_, ask, client_.Options().setClock, checkFile_);
        if (r.status == SyncStatus::Stopped)
            return;
        const int64_t wait = schedule.AfterAttempt(r.status == SyncStatus::Done,
                                                   client_.Options().retryMs, intervalMs_.load());
        if (!client_.Wait(wait))
            return;
    }
}

TSyncTimeDir::TSyncTimeDir(const std::string& hostFile, const std::string& checkFile,
                           TSyncOptions options)
    : hosts_(LoadTimeHosts(hostFile)),
      checkFile_(checkFile),
      client_(std::move(options)),
      random_(std::random_device{}()) {}

TSyncTimeDir::~TSyncTimeDir() {
    client_.Stop();
    if (thread_.joinable())
        thread_.join();
}

bool TSyncTimeDir::CheckNow(HWND window, UINT message) {
    if (busy_)
        return false;
    if (thread_.joinable())
        thread_.join();  // the last check has ended: only its thread is left
    busy_ = true;
    thread_ = std::thread([this, window, message] {
        const auto ask = [this](const TimeHost& host, int64_t& now) {
            return client_.Ask(host, now);
        };
        const SyncResult r =
            RunSyncAttempt(hosts_, random_, ask, client_.Options().setClock, checkFile_);
        {
            const std::lock_guard lock(mutex_);
            result_ = r;
        }
        busy_ = false;
        PostMessageW(window, message, 0, 0);
    });
    return true;
}

SyncResult TSyncTimeDir::Result() const {
    const std::lock_guard lock(mutex_);
    return result_;
}

}  // namespace tempora
