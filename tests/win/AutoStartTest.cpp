// The autostart entry in the registry, on keys of the test's own so that the
// prefix's real Run keys are never touched.
#include "app/AutoStart_win.h"

#include <gtest/gtest.h>

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

TEST_F(AutoStart, RoundTripInTheUsersRunKey) {
    EXPECT_FALSE(AutoStartOn(place_));
    EXPECT_EQ(SetAutoStartOff(place_), TAutoStartOff::Done);  // nothing to remove is fine

    ASSERT_TRUE(SetAutoStartOn(L"C:\\Program Files\\Tempora\\Tempora.exe", place_));
    EXPECT_TRUE(AutoStartOn(place_));
    EXPECT_EQ(Read(place_.userRoot), L"\"C:\\Program Files\\Tempora\\Tempora.exe\" /hide");
    EXPECT_EQ(Read(place_.machineRoot), L"<none>");

    EXPECT_EQ(SetAutoStartOff(place_), TAutoStartOff::Done);
    EXPECT_FALSE(AutoStartOn(place_));
    EXPECT_EQ(Read(place_.userRoot), L"<none>");
}

TEST_F(AutoStart, AnOlderMachineWideValueCountsAsOnAndIsRemovedWhereAllowed) {
    const std::wstring old = L"\"C:\\Old\\Tempora.exe\" /hide";
    HKEY run = nullptr;
    ASSERT_EQ(RegCreateKeyExW(place_.machineRoot, L"Run", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &run, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(run, L"Tempora", 0, REG_SZ, reinterpret_cast<const BYTE*>(old.c_str()),
                   static_cast<DWORD>((old.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(run);

    EXPECT_TRUE(AutoStartOn(place_));
    EXPECT_EQ(SetAutoStartOff(place_), TAutoStartOff::Done);
    EXPECT_FALSE(AutoStartOn(place_));
}

}  // namespace
}  // namespace tempora
