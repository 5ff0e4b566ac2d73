#include "reminders/BackSound.h"

namespace tempora {

void TBackSound::Play(const std::string& list) {
    if (!pending_.empty())
        return;
    pending_ = list;
    StartNext(true);
}

void TBackSound::OnNotify(unsigned code) {
    if (code == kMciNotifyAborted || code == kMciNotifySuperseded)
        return;
    StartNext(false);
}

void TBackSound::Silence() {
    pending_.clear();
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
            closeAllFirst = false;
        }
        // Quoted, because a short path falls back to the long name, blanks
        // and all, where the volume keeps no 8.3 names. Opening a file that is
        // still open from an earlier item fails harmlessly: play then reuses
        // that device. A refused play produces no notification, so the item
        // counts as finished at once.
        const std::string device = '"' + path + '"';
        mci_.Send("open " + device);
        if (mci_.Send("play " + device + " from 0 notify") == 0)
            return;
    } while (!pending_.empty());
}

}  // namespace tempora
