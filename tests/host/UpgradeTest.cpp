#include "web/Upgrade.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tempora;

TEST(UpgradeTest, OnlyANewerVersionOnTheFirstLineIsOffered) {
    const struct {
        std::string body;
        bool newer;
    } cases[] = {
        {"3.7.8", true},
        {"3.7.8\r\nwhat is new\r\n", true},
        {"  3.8 \n", true},
        {"4", true},
        {"3.7.10", true},  // numbers, not text
        {"\xEF\xBB\xBF"
         "3.7.8",
         true},
        {"3.7.7", false},
        {"3.7.7.0", false},
        {"3.7", false},
        {"3.6.99", false},
        {"", false},
        {"\r\n3.7.8", false},
        {"v3.7.8", false},
        {"3..8", false},
        {"3.7.8.1.2", false},
        {"3.7.123456", false},
        {"-3.7.8", false},
        {"<html>404</html>", false},
        {std::string("3.7.8\0", 6), false},
        {"3.7.8\n" + std::string(kMaxUpgradeBytes, 'x'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OffersNewerVersion(c.body), c.newer) << c.body.substr(0, 40);
    EXPECT_FALSE(OffersNewerVersion("3.7.8", "not a version"));
}

TEST(UpgradeTest, TheNoticeIsDueOncePerCalendarDay) {
    const TDateTime now = EncodeDateTime(2026, 12, 11, 0, 5, 0);
    const std::string lastNight = UpgradeRecordLine(EncodeDateTime(2026, 12, 10, 23, 59, 0));
    const std::string thisMorning = UpgradeRecordLine(EncodeDateTime(2026, 12, 11, 0, 1, 0));
    EXPECT_EQ(thisMorning, "2026-12-11 00:01:00");
    EXPECT_TRUE(UpgradeNoticeDue({}, now));
    EXPECT_TRUE(UpgradeNoticeDue({"junk"}, now));
    EXPECT_TRUE(UpgradeNoticeDue({lastNight}, now));
    EXPECT_FALSE(UpgradeNoticeDue({thisMorning}, now));
    EXPECT_FALSE(UpgradeNoticeDue({thisMorning + " "}, now));
}

TEST(UpgradeTest, ACheckersTextAnnouncesWithMoreThanTwoLines) {
    EXPECT_FALSE(UpgradeTextAnnounces(""));
    EXPECT_FALSE(UpgradeTextAnnounces("3.7.8\r\nnew"));
    EXPECT_FALSE(UpgradeTextAnnounces("3.7.8\r\nnew\r\n"));
    EXPECT_TRUE(UpgradeTextAnnounces("3.7.8\r\nnew\r\nhttp://example.com/"));
    EXPECT_TRUE(UpgradeTextAnnounces("a\nb\nc"));
    EXPECT_EQ(UpgradeNoticeText("http://example.com/"),
              "嘀嗒有新版本啦，快来升级吧!\r\n\r\nhttp://example.com/");
}
