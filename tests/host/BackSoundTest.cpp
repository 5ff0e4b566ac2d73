// The sound player's list logic against a recording stand-in for MCI.
#include "reminders/BackSound.h"
#include "reminders/ClockAlarm.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace tempora;

namespace {

constexpr unsigned kMciErrInvalidFile = 296;

// Records every command. `files` are the existing files with the form MCI gets
// for each (as the short path would be); `refused` are forms MCI will not
// open or play (an empty, truncated or non-audio file).
class FakeMci : public IMciCommands {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> refused;
    std::vector<std::string> log;

    void AddFile(const std::string& path) { files[path] = path; }

    std::string PlayablePath(const std::string& path) override {
        const auto it = files.find(path);
        return it == files.end() ? std::string() : it->second;
    }
    unsigned Send(const std::string& command) override {
        log.push_back(command);
        for (const std::string& form : refused)
            if (command.find('"' + form + '"') != std::string::npos)
                return kMciErrInvalidFile;
        return 0;
    }
    void DropNotifications() override { log.push_back("(drop)"); }

    // The files whose play was sent so far, in order.
    std::vector<std::string> Played() const {
        std::vector<std::string> out;
        const std::string head = "play \"", tail = "\" from 0 notify";
        for (const std::string& c : log)
            if (c.rfind(head, 0) == 0 && c.size() > head.size() + tail.size() &&
                c.compare(c.size() - tail.size(), tail.size(), tail) == 0)
                out.push_back(c.substr(head.size(), c.size() - head.size() - tail.size()));
        return out;
    }
};

// Lets every item end normally until nothing waits any more.
void PlayOut(TBackSound& player) {
    for (int i = 0; i < 100 && player.Busy(); ++i)
        player.OnNotify(kMciNotifySuccessful);
    ASSERT_FALSE(player.Busy());
}

using Names = std::vector<std::string>;

}  // namespace

TEST(BackSound, PlaysTheItemsOneAfterAnotherOnEachNotification) {
    FakeMci mci;
    mci.AddFile("C:\\S\\a.wav");
    mci.AddFile("C:\\S\\b.wav");
    TBackSound player(mci);

    player.Play("C:\\S\\a.wav*C:\\S\\b.wav");
    EXPECT_EQ(mci.log, (Names{"close all", "(drop)", "open \"C:\\S\\a.wav\"",
                              "play \"C:\\S\\a.wav\" from 0 notify"}));
    EXPECT_TRUE(player.Busy());
    EXPECT_EQ(player.Pending(), "C:\\S\\b.wav");

    // The next item follows without closing the first: no close between items.
    mci.log.clear();
    player.OnNotify(kMciNotifySuccessful);
    EXPECT_EQ(mci.log, (Names{"open \"C:\\S\\b.wav\"", "play \"C:\\S\\b.wav\" from 0 notify"}));
    EXPECT_FALSE(player.Busy());

    // The last item's own notification starts nothing.
    mci.log.clear();
    player.OnNotify(kMciNotifySuccessful);
    EXPECT_TRUE(mci.log.empty());
}

TEST(BackSound, PlayWhileItemsWaitIsDroppedButInterruptsALastItem) {
    FakeMci mci;
    for (const char* f : {"a", "b", "c", "x", "y"})
        mci.AddFile(f);
    TBackSound player(mci);

    player.Play("a*b*c");
    player.OnNotify(kMciNotifySuccessful);  // b plays, c waits
    const size_t before = mci.log.size();
    player.Play("x");
    EXPECT_EQ(mci.log.size(), before) << "a request while items wait is dropped";
    EXPECT_EQ(player.Pending(), "c");

    player.OnNotify(kMciNotifySuccessful);  // c, the last item, plays: idle
    ASSERT_FALSE(player.Busy());
    mci.log.clear();
    player.Play("x*y");
    EXPECT_EQ(mci.log, (Names{"close all", "(drop)", "open \"x\"", "play \"x\" from 0 notify"}));

    // "close all" aborts c with a notification of its own; it must not cut x
    // short by starting y.
    player.OnNotify(kMciNotifyAborted);
    player.OnNotify(kMciNotifySuperseded);
    EXPECT_EQ(mci.Played(), (Names{"x"}));
    player.OnNotify(kMciNotifySuccessful);
    EXPECT_EQ(mci.Played(), (Names{"x", "y"}));

    // A device failing while it plays ends its item like a normal end.
    player.Play("a*b");
    player.OnNotify(kMciNotifyFailure);
    EXPECT_EQ(mci.Played().back(), "b");
}

TEST(BackSound, SkipsEmptyItemsAndMissingFilesAndKeepsOddPathsWhole) {
    const std::string odd = "D:\\我的 声音\\报 时.wav";
    struct Case {
        const char* name;
        std::string list;
        Names played;
    };
    const Case cases[] = {
        {"middle item missing", "a*missing*c", {"a", "c"}},
        {"empty item between separators", "a**c", {"a", "c"}},
        {"trailing separator, as tasks build lists", "a*c*", {"a", "c"}},
        {"leading separator", "*a", {"a"}},
        {"only separators", "***", {}},
        {"empty list", "", {}},
        {"every file missing", "missing*gone", {}},
        {"missing files at the end", "a*missing*gone", {"a"}},
        {"blanks and Chinese in the path", "a*" + odd + "*c", {"a", odd, "c"}},
        {"the same file again", "a*a*a", {"a", "a", "a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMci mci;
        for (const std::string& f : {std::string("a"), std::string("c"), odd})
            mci.AddFile(f);
        TBackSound player(mci);
        player.Play(c.list);
        PlayOut(player);
        EXPECT_EQ(mci.Played(), c.played);
        // Nothing playable: the sound still playing is left alone.
        if (c.played.empty()) {
            EXPECT_TRUE(mci.log.empty());
        }
    }
}

TEST(BackSound, ItemsMciRefusesCountAsFinished) {
    FakeMci mci;
    for (const char* f : {"a", "empty", "text", "c"})
        mci.AddFile(f);
    mci.refused = {"empty", "text"};
    TBackSound player(mci);

    // A refused play brings no notification, so the next item starts at once.
    player.Play("empty*a*text*c");
    EXPECT_EQ(mci.Played(), (Names{"empty", "a"}));
    player.OnNotify(kMciNotifySuccessful);
    EXPECT_EQ(mci.Played(), (Names{"empty", "a", "text", "c"}));
    EXPECT_FALSE(player.Busy());

    // A list of nothing but refused files ends idle, and the next list plays.
    mci.log.clear();
    player.Play("text*empty");
    EXPECT_FALSE(player.Busy());
    player.Play("c");
    EXPECT_EQ(mci.Played(), (Names{"text", "empty", "c"}));
}

TEST(BackSound, NeverSendsAPathThatWouldBreakOutOfItsQuotes) {
    FakeMci mci;
    mci.files["evil"] = "x\" alias y wait";
    mci.AddFile("a");
    TBackSound player(mci);
    player.Play("evil*a");
    EXPECT_EQ(mci.Played(), (Names{"a"}));
    for (const std::string& c : mci.log)
        EXPECT_EQ(c.find("alias"), std::string::npos) << c;
}

TEST(BackSound, SilenceStopsTheSoundAndForgetsTheWaitingItems) {
    FakeMci mci;
    for (const char* f : {"a", "b", "c"})
        mci.AddFile(f);
    TBackSound player(mci);
    player.Play("a*b");
    mci.log.clear();
    player.Silence();
    EXPECT_EQ(mci.log, (Names{"close all", "(drop)"}));
    EXPECT_FALSE(player.Busy());
    player.OnNotify(kMciNotifySuccessful);
    player.Play("c");
    EXPECT_EQ(mci.Played(), (Names{"c"}));
}

// A chime from a Sound folder that lost or damaged some of its recordings:
// the rest is spoken in order, the player ends idle and the next chime plays.
TEST(BackSound, ChimesFromADamagedSoundFolderPlayWhatIsThere) {
    FakeMci mci;
    const std::string d = "C:\\Tempora\\Sound\\";
    for (const char* f : {"T1.wav", "To2.wav", "8.wav", "H.wav", "M.wav"})
        mci.AddFile(d + f);
    mci.refused = {d + "To2.wav"};  // present, but empty or not audio
    auto player = std::make_unique<TBackSound>(mci);
    TBackSound* sound = player.get();
    TClockAlarm alarm(std::move(player), "C:\\Tempora\\Sound");
    alarm.SetOptions(true, true, kChimeSpoken);

    ASSERT_TRUE(alarm.CheckChime(EncodeDateTime(2024, 5, 1, 8, 0, 0)));
    PlayOut(*sound);
    EXPECT_EQ(mci.Played(), (Names{d + "T1.wav", d + "To2.wav", d + "8.wav", d + "H.wav"}));

    // 30.wav is missing: the half-hour chime says the rest.
    mci.log.clear();
    ASSERT_TRUE(alarm.CheckChime(EncodeDateTime(2024, 5, 1, 8, 30, 0)));
    PlayOut(*sound);
    EXPECT_EQ(mci.Played(),
              (Names{d + "T1.wav", d + "To2.wav", d + "8.wav", d + "H.wav", d + "M.wav"}));
}
