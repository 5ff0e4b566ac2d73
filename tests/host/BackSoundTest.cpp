// The sound player's list logic against a recording stand-in for MCI.
#include "core/ClockSource.h"
#include "reminders/BackSound.h"
#include "reminders/ClockAlarm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace tempora;

namespace {

constexpr unsigned kMciErrInvalidFile = 296;
constexpr unsigned kMciErrUnsupported = 274;

// Records every command. `files` are the existing files with the form MCI gets
// for each (as the short path would be); `refused` are forms MCI will not
// open or play (an empty, truncated or non-audio file). A device states the
// length in `lengths`, none when it has no entry; `noMilliseconds` devices
// keep a time format of their own. Each open device has an id, as
// notifications carry it; a device is never heard of again unless the test
// says so through End.
class FakeMci : public IMciCommands {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> refused;
    std::map<std::string, std::string> lengths;
    std::set<std::string> noMilliseconds;
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
        const std::string name = Unquoted(command);
        if (command == "close all") {
            open_.clear();
        } else if (command.rfind("close ", 0) == 0) {
            open_.erase(name);
        } else if (command.rfind("open ", 0) == 0 && !open_.count(name)) {
            open_[name] = nextId_++;
        } else if (command.rfind("set ", 0) == 0 && noMilliseconds.count(name)) {
            return kMciErrUnsupported;
        } else if (command.rfind("play ", 0) == 0) {
            playing_ = open_[name];
        }
        return 0;
    }
    unsigned Query(const std::string& command, std::string& reply) override {
        log.push_back(command);
        const auto it = lengths.find(Unquoted(command));
        if (it == lengths.end())
            return kMciErrUnsupported;
        reply = it->second;
        return 0;
    }
    unsigned DeviceId(const std::string& name) override {
        const auto it = open_.find(name);
        return it == open_.end() ? 0 : it->second;
    }
    void DropNotifications() override { log.push_back("(drop)"); }

    // The device of the play sent last.
    unsigned Current() const { return playing_; }

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

private:
    static std::string Unquoted(const std::string& command) {
        const size_t open = command.find('"');
        const size_t close = command.find('"', open + 1);
        return open == std::string::npos || close == std::string::npos
                   ? std::string()
                   : command.substr(open + 1, close - open - 1);
    }

    std::map<std::string, unsigned> open_;
    unsigned nextId_ = 1;
    unsigned playing_ = 0;
};

// The device playing reports its end.
void End(TBackSound& player, const FakeMci& mci, unsigned code = kMciNotifySuccessful) {
    player.OnNotify(code, mci.Current());
}

// Lets every item end normally until nothing waits any more.
void PlayOut(TBackSound& player, const FakeMci& mci) {
    for (int i = 0; i < 100 && player.Busy(); ++i)
        End(player, mci);
    ASSERT_FALSE(player.Busy());
}

using Names = std::vector<std::string>;

// Every case runs on a clock of its own, so that deadlines are moved by hand.
class BackSound : public testing::Test {
protected:
    void SetUp() override { ClockSource::Install(&clock); }
    void TearDown() override { ClockSource::Install(nullptr); }

    FakeClock clock{1714521600000LL};
};

}  // namespace

TEST_F(BackSound, PlaysTheItemsOneAfterAnotherOnEachNotification) {
    FakeMci mci;
    mci.AddFile("C:\\S\\a.wav");
    mci.AddFile("C:\\S\\b.wav");
    TBackSound player(mci);

    player.Play("C:\\S\\a.wav*C:\\S\\b.wav");
    // Its length is asked for in milliseconds before it plays.
    EXPECT_EQ(mci.log,
              (Names{"close all", "(drop)", "open \"C:\\S\\a.wav\"",
                     "set \"C:\\S\\a.wav\" time format milliseconds",
                     "status \"C:\\S\\a.wav\" length", "play \"C:\\S\\a.wav\" from 0 notify"}));
    EXPECT_TRUE(player.Busy());
    EXPECT_EQ(player.Pending(), "C:\\S\\b.wav");

    // The next item follows without closing the first: no close between items.
    mci.log.clear();
    End(player, mci);
    EXPECT_EQ(mci.log,
              (Names{"open \"C:\\S\\b.wav\"", "set \"C:\\S\\b.wav\" time format milliseconds",
                     "status \"C:\\S\\b.wav\" length", "play \"C:\\S\\b.wav\" from 0 notify"}));
    EXPECT_FALSE(player.Busy());

    // The last item's own notification starts nothing.
    mci.log.clear();
    End(player, mci);
    EXPECT_TRUE(mci.log.empty());
}

TEST_F(BackSound, PlayWhileItemsWaitIsDroppedButInterruptsALastItem) {
    FakeMci mci;
    for (const char* f : {"a", "b", "c", "x", "y"})
        mci.AddFile(f);
    TBackSound player(mci);

    player.Play("a*b*c");
    End(player, mci);  // b plays, c waits
    const size_t before = mci.log.size();
    player.Play("x");
    EXPECT_EQ(mci.log.size(), before) << "a request while items wait is dropped";
    EXPECT_EQ(player.Pending(), "c");

    End(player, mci);  // c, the last item, plays: idle
    ASSERT_FALSE(player.Busy());
    mci.log.clear();
    player.Play("x*y");
    EXPECT_EQ(mci.Played().back(), "x");
    EXPECT_EQ(std::vector<std::string>(mci.log.begin(), mci.log.begin() + 3),
              (Names{"close all", "(drop)", "open \"x\""}));

    // "close all" aborts c with a notification of its own, and MCI may hand
    // c's device id on to x: that must not cut x short by starting y.
    End(player, mci, kMciNotifyAborted);
    End(player, mci, kMciNotifySuperseded);
    EXPECT_EQ(mci.Played(), (Names{"x"}));
    End(player, mci);
    EXPECT_EQ(mci.Played(), (Names{"x", "y"}));

    // A device failing while it plays ends its item like a normal end.
    player.Play("a*b");
    End(player, mci, kMciNotifyFailure);
    EXPECT_EQ(mci.Played().back(), "b");
}

TEST_F(BackSound, SkipsEmptyItemsAndMissingFilesAndKeepsOddPathsWhole) {
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
        PlayOut(player, mci);
        EXPECT_EQ(mci.Played(), c.played);
        // Nothing playable: the sound still playing is left alone.
        if (c.played.empty()) {
            EXPECT_TRUE(mci.log.empty());
        }
    }
}

TEST_F(BackSound, ItemsMciRefusesCountAsFinished) {
    FakeMci mci;
    for (const char* f : {"a", "empty", "text", "c"})
        mci.AddFile(f);
    mci.refused = {"empty", "text"};
    TBackSound player(mci);

    // A refused play brings no notification, so the next item starts at once.
    player.Play("empty*a*text*c");
    EXPECT_EQ(mci.Played(), (Names{"empty", "a"}));
    End(player, mci);
    EXPECT_EQ(mci.Played(), (Names{"empty", "a", "text", "c"}));
    EXPECT_FALSE(player.Busy());

    // A list of nothing but refused files ends idle, and the next list plays.
    mci.log.clear();
    player.Play("text*empty");
    EXPECT_FALSE(player.Busy());
    player.Play("c");
    EXPECT_EQ(mci.Played(), (Names{"text", "empty", "c"}));
}

TEST_F(BackSound, NeverSendsAPathThatWouldBreakOutOfItsQuotes) {
    FakeMci mci;
    mci.files["evil"] = "x\" alias y wait";
    mci.AddFile("a");
    TBackSound player(mci);
    player.Play("evil*a");
    EXPECT_EQ(mci.Played(), (Names{"a"}));
    for (const std::string& c : mci.log)
        EXPECT_EQ(c.find("alias"), std::string::npos) << c;
}

TEST_F(BackSound, SilenceStopsTheSoundAndForgetsTheWaitingItems) {
    FakeMci mci;
    for (const char* f : {"a", "b", "c"})
        mci.AddFile(f);
    TBackSound player(mci);
    player.Play("a*b");
    mci.log.clear();
    player.Silence();
    EXPECT_EQ(mci.log, (Names{"close all", "(drop)"}));
    EXPECT_FALSE(player.Busy());
    End(player, mci);
    player.Play("c");
    EXPECT_EQ(mci.Played(), (Names{"c"}));
}

// A chime from a Sound folder that lost or damaged some of its recordings:
// the rest is spoken in order, the player ends idle and the next chime plays.
TEST_F(BackSound, ChimesFromADamagedSoundFolderPlayWhatIsThere) {
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
    PlayOut(*sound, mci);
    EXPECT_EQ(mci.Played(), (Names{d + "T1.wav", d + "To2.wav", d + "8.wav", d + "H.wav"}));

    // 30.wav is missing: the half-hour chime says the rest.
    mci.log.clear();
    ASSERT_TRUE(alarm.CheckChime(EncodeDateTime(2024, 5, 1, 8, 30, 0)));
    PlayOut(*sound, mci);
    EXPECT_EQ(mci.Played(),
              (Names{d + "T1.wav", d + "To2.wav", d + "8.wav", d + "H.wav", d + "M.wav"}));
}

// Devices that accept "play ... notify" and never report: each item ends at
// its stated length plus the margin, or after the cap when no length in
// milliseconds can be had.
TEST_F(BackSound, AnItemNeverReportedEndsAtItsDeadline) {
    constexpr int64_t margin = TBackSound::kLengthMarginMs;
    constexpr int64_t cap = TBackSound::kUnknownLengthMs;
    struct Case {
        const char* name;
        const char* length;  // the device's answer; nullptr: it has none
        bool milliseconds;
        int64_t allowedMs;
    };
    const Case cases[] = {
        {"stated length", "1500", true, 1500 + margin},
        {"an hour of music", "3600000", true, 3600000 + margin},
        {"zero length", "0", true, margin},
        {"no length", nullptr, true, cap},
        {"length not a number", "1500ms", true, cap},
        {"negative length", "-5", true, cap},
        {"empty answer", "", true, cap},
        {"beyond 32 bits", "99999999999", true, cap},
        {"no time format in milliseconds", "1500", false, cap},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeMci mci;
        for (const char* f : {"a", "b"})
            mci.AddFile(f);
        if (c.length)
            mci.lengths["a"] = c.length;
        if (!c.milliseconds)
            mci.noMilliseconds.insert("a");
        TBackSound player(mci);
        player.Play("a*b");

        clock.Advance(c.allowedMs - 1);
        player.CheckDeadline();
        EXPECT_EQ(mci.Played(), (Names{"a"}));
        EXPECT_TRUE(player.Busy());

        // The overdue device is closed, so that it neither sounds over b nor
        // reports later, and b starts.
        mci.log.clear();
        clock.Advance(1);
        player.CheckDeadline();
        ASSERT_GE(mci.log.size(), 3u);
        EXPECT_EQ(mci.log[0], "close \"a\"");
        EXPECT_EQ(mci.log[1], "(drop)");
        EXPECT_EQ(mci.Played(), (Names{"b"}));
        EXPECT_FALSE(player.Busy());
        EXPECT_TRUE(player.Playing());

        // b reports; nothing is left to time.
        End(player, mci);
        EXPECT_FALSE(player.Playing());
    }
}

TEST_F(BackSound, ASilentDeviceHoldsUpNoLaterListAndItsLateReportSkipsNothing) {
    FakeMci mci;
    for (const char* f : {"a", "b", "c", "x", "y"})
        mci.AddFile(f);
    mci.lengths = {{"a", "1000"}, {"b", "1000"}, {"c", "1000"}};
    TBackSound player(mci);

    // a never reports. A list asked for after its deadline plays, even with
    // no check made in between: b, which a held up, gets its turn first and
    // is cut short by the new list, as any last item is.
    player.Play("a*b");
    const unsigned a = mci.Current();
    player.Play("x");
    EXPECT_EQ(mci.Played(), (Names{"a"})) << "before the deadline the request is dropped";
    clock.Advance(1000 + TBackSound::kLengthMarginMs);
    player.Play("x*y");
    EXPECT_EQ(mci.Played(), (Names{"a", "b", "x"}));

    // a's report, come at last, belongs to no item now playing: x goes on,
    // y still waits for x's own end.
    player.OnNotify(kMciNotifySuccessful, a);
    EXPECT_EQ(mci.Played(), (Names{"a", "b", "x"}));
    EXPECT_EQ(player.Pending(), "y");
    End(player, mci);
    EXPECT_EQ(mci.Played(), (Names{"a", "b", "x", "y"}));
    End(player, mci);

    // Within one list as well: a given up, its late report does not skip c.
    mci.log.clear();
    player.Play("a*b*c");
    const unsigned lateA = mci.Current();
    clock.Advance(1000 + TBackSound::kLengthMarginMs);
    player.CheckDeadline();
    player.OnNotify(kMciNotifySuccessful, lateA);
    EXPECT_EQ(mci.Played(), (Names{"a", "b"}));
    End(player, mci);
    EXPECT_EQ(mci.Played(), (Names{"a", "b", "c"}));
}

TEST_F(BackSound, AClockSetBackDoesNotHoldAnItemForTheSizeOfTheJump) {
    FakeMci mci;
    for (const char* f : {"a", "b"})
        mci.AddFile(f);
    mci.lengths["a"] = "1000";
    TBackSound player(mci);
    const int64_t allowed = 1000 + TBackSound::kLengthMarginMs;

    player.Play("a*b");
    clock.Advance(allowed / 2);
    clock.Advance(-3600 * 1000);  // set back an hour
    player.CheckDeadline();
    clock.Advance(allowed - 1);
    player.CheckDeadline();
    EXPECT_EQ(mci.Played(), (Names{"a"}));
    clock.Advance(1);
    player.CheckDeadline();
    EXPECT_EQ(mci.Played(), (Names{"a", "b"}));
}
