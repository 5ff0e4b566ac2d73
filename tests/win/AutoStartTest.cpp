// The autostart entry in the registry, on keys of the test's own so that the
// prefix's real Run keys are never touched.
#include "app/AutoStart_win.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace tempora {
namespace {

class AutoStart : public testing::Test {
protected:
    void SetUp() override {
        place_.userRoot = Open(L"Software\\TemporaTest\\User");
        place_.machineRoot = Open(L"Software\\TemporaTest\\Machine");
        place_.runKey = L"Run";
    }
    void TearDown() override {
        RegCloseKey(place_.userRoot);
        RegCloseKey(place_.machineRoot);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TemporaTest");
    }
    static HKEY Open(const wchar_t* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }
    void SetValue(HKEY root, const std::wstring& text) {
        HKEY run = nullptr;
        ASSERT_EQ(
            RegCreateKeyExW(root, L"Run", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &run, nullptr),
            ERROR_SUCCESS);
        RegSetValueExW(run, L"Tempora", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(run);
    }
    static std::wstring Read(HKEY root) {
        wchar_t text[512] = {};
        DWORD bytes = sizeof text - sizeof(wchar_t);
        if (RegGetValueW(root, L"Run", L"Tempora", RRF_RT_REG_SZ, nullptr, text, &bytes) !=
            ERROR_SUCCESS) {
            return L"<none>";
        }
        return text;
    }
    TAutoStartPlace place_;
};

const wchar_t kExe[] = L"C:\\Program Files\\Tempora\\Tempora.exe";

TEST_F(AutoStart, RoundTripInTheUsersRunKey) {
    EXPECT_FALSE(AutoStartOn(kExe, place_));
    EXPECT_EQ(SetAutoStartOff(place_), TAutoStartOff::Done);  // nothing to remove is fine

    ASSERT_TRUE(SetAutoStartOn(kExe, place_));
    EXPECT_TRUE(AutoStartOn(kExe, place_));
    EXPECT_EQ(Read(place_.userRoot), L"\"C:\\Program Files\\Tempora\\Tempora.exe\" /hide");
    EXPECT_EQ(Read(place_.machineRoot), L"<none>");

    EXPECT_EQ(SetAutoStartOff(place_), TAutoStartOff::Done);
    EXPECT_FALSE(AutoStartOn(kExe, place_));
    EXPECT_EQ(Read(place_.userRoot), L"<none>");
}

TEST_F(AutoStart, AnOlderMachineWideValueCountsAsOnAndIsRemovedWhereAllowed) {
    SetValue(place_.machineRoot, L"\"C:\\Program Files\\Tempora\\Tempora.exe\" /hide");
    EXPECT_TRUE(AutoStartOn(kExe, place_));
    EXPECT_EQ(SetAutoStartOff(place_), TAutoStartOff::Done);
    EXPECT_FALSE(AutoStartOn(kExe, place_));
}

TEST_F(AutoStart, OnlyAValueThatStartsThisProgramCountsAsOn) {
    const struct {
        const wchar_t* value;
        bool on;
    } cases[] = {
        {L"\"C:\\Program Files\\Tempora\\Tempora.exe\" /hide", true},
        {L"\"c:\\PROGRAM FILES\\tempora\\TEMPORA.EXE\"", true},               // case
        {L"C:\\Program Files\\Tempora\\Tempora.exe /hide", true},             // unquoted
        {L"\"C:\\Program Files\\Tempora\\..\\Tempora\\Tempora.exe\"", true},  // not normalised
        {L"\"C:\\Old\\Tempora.exe\" /hide", false},                           // another copy
        {L"\"C:\\Program Files\\Tempora\\Tempora.exe.bak\"", false},
        {L"C:\\Program Files\\Tempora\\Other.exe", false},
        {L"x", false},
        {L"", false},
    };
    for (HKEY root : {place_.userRoot, place_.machineRoot}) {
        for (size_t i = 0; i < std::size(cases); ++i) {
            SetValue(root, cases[i].value);
            EXPECT_EQ(AutoStartOn(kExe, place_), cases[i].on) << "case " << i;
        }
        RegDeleteKeyValueW(root, L"Run", L"Tempora");
    }
}

}  // namespace
}  // namespace tempora
