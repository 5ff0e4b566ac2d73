#include "reminders/BackSound.h"

#include "core/ClockSource.h"

#include <charconv>

namespace tempora {

namespace {
int64_t NowMs() {
    return ClockSource::Current().UtcMillis();
}
}  // namespace

void TBackSound::Play(const std::string& list) {
    CheckDeadline();
    if (!pending_.empty())
        return;
    pending_ = list;
    StartNext(true);
}

void TBackSound::OnNotify(unsigned code, unsigned device) {
    if (!playing_ || (deviceId_ != 0 && device != deviceId_))
        return;
    if (code == kMciNotifyAborted || code == kMciNotifySuperseded)
        return;
    playing_ = false;
    StartNext(false);
}

void TBackSound::CheckDeadline() {
    if (!playing_)
        return;
    const int64_t now = NowMs();
    if (now < startedMs_)
        startedMs_ = now;
    if (now - startedMs_ < allowedMs_)
        return;
    playing_ = false;
    // Closed, so that it neither sounds over the next item nor reports later.
    mci_.Send("close " + device_);
    mci_.DropNotifications();
    StartNext(false);
}

void TBackSound::Silence() {
    pending_.clear();
    playing_ = false;
    mci_.Send("close all");
    mci_.DropNotifications();
}

std::string TBackSound::TakeNextItem() {
    const size_t star = pending_.find('*');
    std::string item;
    if (star == std::string::npos) {
        item.swap(pending_);
    } else {
        item = pending_.substr(0, star);
        pending_.erase(0, star + 1);
    }
    return item;
}

int64_t TBackSound::AllowedMs(const std::string& device) {
    // Lengths come in the device's time format, frames or beats for some:
    // only milliseconds give a deadline.
    std::string reply;
    if (mci_.Send("set " + device + " time format milliseconds") != 0 ||
        mci_.Query("status " + device + " length", reply) != 0)
        return kUnknownLengthMs;
    uint32_t length = 0;
    const char* end = reply.data() + reply.size();
    const auto [stop, error] = std::from_chars(reply.data(), end, length);
    if (error != std::errc() || stop != end || reply.empty())
        return kUnknownLengthMs;
    return int64_t{length} + kLengthMarginMs;
}

void TBackSound::StartNext(bool closeAllFirst) {
    do {
        const std::string item = TakeNextItem();
        if (item.empty())
            continue;
        const std::string path = mci_.PlayablePath(item);
        // A quote would end the device name early and let the rest of the
        // path be read as MCI options.
        if (path.empty() || path.find('"') != std::string::npos)
            continue;
        if (closeAllFirst) {
            mci_.Send("close all");
            mci_.DropNotifications();
            playing_ = false;
            closeAllFirst = false;
        }
        // Quoted, because a short path falls back to the long name, blanks
        // and all, where the volume keeps no 8.3 names. Opening a file that is
        // still open from an earlier item fails harmlessly: play then reuses
        // that device. A refused play produces no notification, so the item
        // counts as finished at once.
        const std::string device = '"' + path + '"';
        mci_.Send("open " + device);
        const int64_t allowed = AllowedMs(device);
        if (mci_.Send("play " + device + " from 0 notify") == 0) {
            playing_ = true;
            device_ = device;
            deviceId_ = mci_.DeviceId(path);
            startedMs_ = NowMs();
            allowedMs_ = allowed;
            return;
        }
    } while (!pending_.empty());
}

}  // namespace tempora
