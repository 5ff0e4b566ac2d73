// The sound player on real MCI. The recordings are made here: short tones in
// a folder whose name holds a blank and Chinese characters, and damaged files
// beside them. Where the machine has no sound device MCI still opens the
// files, accepts "play" and reports its failure by notification, so every
// list must still end with the player idle.
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "reminders/BackSound_win.h"
#include "reminders/ClockAlarm.h"

#include <gtest/gtest.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace tempora;

namespace {

// 16-bit mono PCM at 22050 Hz. `claimedBytes` overstates the data for a
// truncated file.
std::string Wav(int ms, double hz, uint32_t claimedBytes = 0) {
    const int rate = 22050;
    const uint32_t samples = static_cast<uint32_t>(rate) * ms / 1000;
    const uint32_t dataBytes = samples * 2;
    const uint32_t claimed = claimedBytes ? claimedBytes : dataBytes;
    std::string out;
    const auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    const auto u16 = [&](uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    out += "RIFF";
    u32(36 + claimed);
    out += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(claimed);
    for (uint32_t i = 0; i < samples; ++i)
        u16(static_cast<uint16_t>(
            static_cast<int16_t>(8000 * std::sin(2 * 3.14159265358979 * hz * i / rate))));
    return out;
}

// Real MCI with every command, its result and every notification written down.
class RecordingMci : public IMciCommands {
public:
    TMciWindow real;
    std::vector<std::string> log;

    std::string PlayablePath(const std::string& path) override { return real.PlayablePath(path); }
    unsigned Send(const std::string& command) override {
        const unsigned result = real.Send(command);
        log.push_back(command + " -> " + std::to_string(result));
        return result;
    }
    unsigned Query(const std::string& command, std::string& reply) override {
        const unsigned result = real.Query(command, reply);
        log.push_back(command + " -> " + std::to_string(result) + " " + reply);
        return result;
    }
    unsigned DeviceId(const std::string& name) override { return real.DeviceId(name); }
    void DropNotifications() override { real.DropNotifications(); }

    int Count(const std::string& part) const {
        int n = 0;
        for (const std::string& line : log)
            n += line.find(part) != std::string::npos;
        return n;
    }
    std::string Text() const {
        std::string out;
        for (const std::string& line : log)
            out += line + "\n";
        return out;
    }
};

// Runs the message loop until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 15000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// How many MCI devices this program has open.
int OpenDevices() {
    wchar_t text[32] = {};
    if (mciSendStringW(L"sysinfo all quantity open", text, 32, nullptr) != 0)
        return -1;
    return _wtoi(text);
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

class BackSoundWin : public testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() / L"tempora-backsound";
        std::filesystem::remove_all(root_);
        const std::filesystem::path odd = root_ / L"我的 声音";
        std::filesystem::create_directories(odd);
        folder = WideToUtf8(root_.wstring()) + "\\";
        oddFolder = WideToUtf8(odd.wstring()) + "\\";
        ASSERT_TRUE(WriteFileAtomic(folder + "a.wav", Wav(150, 440)));
        ASSERT_TRUE(WriteFileAtomic(oddFolder + "报 时.wav", Wav(150, 660)));
        ASSERT_TRUE(WriteFileAtomic(folder + "long.wav", Wav(2500, 330)));
        ASSERT_TRUE(WriteFileAtomic(folder + "empty.wav", ""));
        ASSERT_TRUE(WriteFileAtomic(folder + "text.wav", "not a recording\r\n"));
        ASSERT_TRUE(WriteFileAtomic(folder + "truncated.wav", Wav(20, 440, 400000)));
    }
    void TearDown() override {
        mci.Send("close all");
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }

    // Counts each notification, then lets the player act on it.
    void Wire(TBackSound& player) {
        mci.real.OnNotify = [this, &player](unsigned code, unsigned device) {
            mci.log.push_back("notify " + std::to_string(code));
            ++notifications;
            devices.push_back(device);
            player.OnNotify(code, device);
        };
    }

    std::string folder, oddFolder;
    RecordingMci mci;
    int notifications = 0;
    std::vector<unsigned> devices;  // as each notification named it

private:
    std::filesystem::path root_;
};

}  // namespace

TEST_F(BackSoundWin, PlaysExistingFilesSkipsMissingOnesAndEndsIdle) {
    TBackSound player(mci);
    Wire(player);
    const std::string odd = oddFolder + "报 时.wav";
    player.Play(folder + "a.wav*" + folder + "missing.wav*" + odd + "*");
    // Both files start, one after the other, and both report their end.
    ASSERT_TRUE(PumpUntil([&] { return mci.Count("play ") == 2 && notifications == 2; }))
        << mci.Text();
    EXPECT_FALSE(player.Busy());

    // MCI opened both, the one behind a blank and Chinese characters too;
    // the missing file never reached it.
    EXPECT_EQ(mci.Count("open "), 2);
    EXPECT_EQ(mci.Count("open \"" + mci.PlayablePath(folder + "a.wav") + "\" -> 0"), 1);
    EXPECT_EQ(mci.Count("open \"" + mci.PlayablePath(odd) + "\" -> 0"), 1);
    EXPECT_EQ(mci.Count("missing"), 0);
    // Each notification names the device that the player knows its item by,
    // so that a late one from another device can be told apart.
    const std::vector<unsigned> opened = {mci.DeviceId(mci.PlayablePath(folder + "a.wav")),
                                          mci.DeviceId(mci.PlayablePath(odd))};
    EXPECT_NE(opened[0], 0u);
    EXPECT_NE(opened[1], 0u);
    EXPECT_EQ(devices, opened);
    // MCI states the length in milliseconds, for the item's deadline.
    EXPECT_EQ(mci.Count("length -> 0 150"), 2) << mci.Text();
    EXPECT_EQ(mci.log.back().rfind("notify ", 0), 0u) << "nothing is started after the last end";
}

TEST_F(BackSoundWin, DamagedFilesAreSkippedAndTheNextListPlays) {
    TBackSound player(mci);
    Wire(player);
    player.Play(folder + "empty.wav*" + folder + "text.wav*" + folder + "truncated.wav*" + folder +
                "a.wav");
    ASSERT_TRUE(PumpUntil([&] { return !player.Busy(); })) << mci.Text();
    Pump(500);
    EXPECT_FALSE(player.Busy());
    EXPECT_EQ(mci.Count("play "), 4) << mci.Text();

    mci.log.clear();
    player.Play(folder + "a.wav");
    EXPECT_EQ(mci.Count("play "), 1) << mci.Text();
}

TEST_F(BackSoundWin, NewListInterruptsTheLastItemWithoutSkippingAhead) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no sound device, so every playback fails at once: nothing to interrupt "
                        "(an ALSA null PCM named by ALSA_CONFIG_PATH gives Wine one)";
    TBackSound player(mci);
    Wire(player);
    player.Play(folder + "long.wav");
    Pump(300);
    ASSERT_EQ(notifications, 0) << "long.wav still plays";
    player.Play(folder + "a.wav*" + folder + "a.wav");
    // The closed long.wav reports an abort; the second a.wav must wait for
    // the first one's end, not start on that abort.
    ASSERT_TRUE(PumpUntil([&] { return mci.Count("play ") == 3 && mci.Count("notify 1") == 2; }))
        << mci.Text();
    // Leaving out the abort, which may also have been dropped with the
    // closed device: long, a, end of a, a, end of a.
    std::vector<std::string> order;
    for (const std::string& line : mci.log)
        if (line.rfind("play ", 0) == 0 || line == "notify 1")
            order.push_back(line.substr(0, 6));
    const std::vector<std::string> expected = {"play \"", "play \"", "notify", "play \"", "notify"};
    EXPECT_EQ(order, expected) << mci.Text();
}

TEST_F(BackSoundWin, ThePlayerAsTheChimeComposerOwnsIt) {
    auto player = std::make_unique<TBackSoundWindow>();
    ASSERT_NE(player->Handle(), nullptr);
    player->Play(folder + "a.wav*" + folder + "a.wav*" + folder + "a.wav");
    EXPECT_TRUE(player->Busy());
    ASSERT_TRUE(PumpUntil([&] { return !player->Busy(); }));
    // A play request now interrupts the last item; destroying the player
    // closes what it opened.
    player->Play(folder + "long.wav*" + folder + "a.wav");
    EXPECT_TRUE(player->Busy());
    EXPECT_GT(OpenDevices(), 0);
    player.reset();
    EXPECT_EQ(OpenDevices(), 0) << "what the player opened is still open";
}

// The shipped recordings, copied beside the program, as a chime lists them:
// MCI takes every one of them, and the spoken time plays through to the end.
TEST_F(BackSoundWin, ShippedRecordingsOpenAndASpokenTimePlaysThrough) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::string program = WideToUtf8(exe);
    const std::string sound = program.substr(0, program.rfind('\\') + 1) + "Sound\\";
    auto owned = std::make_unique<TBackSound>(mci);
    TBackSound& player = *owned;
    Wire(player);
    TClockAlarm alarm(std::move(owned), sound);

    for (const char* name :
         {"T1", "To1", "To2", "To3", "To4", "0",  "1",  "2", "3", "4",  "5",  "6",
          "7",  "8",   "9",   "10",  "11",  "12", "2A", "H", "M", "30", "Z1", "Z2"}) {
        const std::string form = mci.PlayablePath(sound + name + ".wav");
        ASSERT_FALSE(form.empty()) << name << ".wav is missing";
        EXPECT_EQ(mci.Send("open \"" + form + "\" alias check"), 0u) << name << ".wav";
        mci.Send("close check");
    }

    mci.log.clear();
    alarm.AnnounceNow(EncodeDateTime(2024, 2, 10, 23, 59, 0));
    ASSERT_TRUE(PumpUntil([&] { return !player.Busy() && notifications == 8; })) << mci.Text();
    EXPECT_EQ(mci.Count("play "), 8);
    for (const std::string& line : mci.log) {
        if (line.rfind("open ", 0) == 0 || line.rfind("play ", 0) == 0) {
            EXPECT_EQ(line.substr(line.size() - 5), " -> 0") << line;
        }
    }
}

// A device that never reports is given up by the player's own timer: nothing
// outside calls it. The clock is a fake one, moved past the deadline at once.
TEST_F(BackSoundWin, ItsOwnTimerGivesUpAnItemPastItsDeadline) {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no sound device, so every playback fails at once";
    // Longer than the cap for unknown lengths, so that its stated length shows.
    ASSERT_TRUE(WriteFileAtomic(folder + "long40.wav", Wav(40000, 330)));
    FakeClock clock(1714521600000LL);
    ClockSource::Install(&clock);
    struct Restore {
        ~Restore() { ClockSource::Install(nullptr); }
    } restore;

    auto player = std::make_unique<TBackSoundWindow>();
    player->Play(folder + "long40.wav*" + folder + "a.wav");
    Pump(300);
    ASSERT_TRUE(player->Busy());
    clock.Advance(40000);
    Pump(1500);
    EXPECT_TRUE(player->Busy()) << "given up before its stated length and margin";
    clock.Advance(TBackSound::kLengthMarginMs);
    ASSERT_TRUE(PumpUntil([&] { return !player->Busy(); }, 3000));
    // The recording given up was closed; a.wav, which followed, stays open.
    EXPECT_EQ(OpenDevices(), 1);
}

// The alarm and reminder sounds shipped in MySound\, copied beside the
// program, played as one task's sound list: each opens, lasts a few seconds
// and plays through to its end.
TEST_F(BackSoundWin, ShippedMySoundsPlayThroughAsOneTaskList) {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::filesystem::path mySound = std::filesystem::path(exe).parent_path() / L"MySound";
    std::string list;
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(mySound)) {
        if (entry.path().extension() == L".wav") {
            list += WideToUtf8(entry.path().wstring()) + "*";
            ++count;
        }
    }
    ASSERT_GE(count, 3) << list;
    TBackSound player(mci);
    Wire(player);
    player.Play(list);
    ASSERT_TRUE(PumpUntil([&] { return !player.Busy() && notifications == count; }, 30000))
        << mci.Text();
    EXPECT_EQ(mci.Count("play "), count);
    int lengths = 0;
    for (const std::string& line : mci.log) {
        if (line.rfind("open ", 0) == 0 || line.rfind("play ", 0) == 0) {
            EXPECT_EQ(line.substr(line.size() - 5), " -> 0") << line;
        }
        if (const size_t at = line.find("length -> 0 "); at != std::string::npos) {
            const int ms = std::stoi(line.substr(at + 12));
            EXPECT_GE(ms, 1000) << line;
            EXPECT_LE(ms, 5000) << line;
            ++lengths;
        }
    }
    EXPECT_EQ(lengths, count) << mci.Text();
}
