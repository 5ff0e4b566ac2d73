#include "web/AdFile.h"
#include "web/WebServer.h"

#include "core/Encoding.h"
#include "core/LineFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tempora;

namespace {

TDateTime At(int y, int m, int d, int h = 12, int mi = 0) {
    return EncodeDateTime(y, m, d, h, mi, 0);
}

}  // namespace

TEST(AdFileTest, TypesOneZeroThreeShowTwoLinesTheHiddenAdGivingItsPlace) {
    const std::vector<std::string> lines = {
        "7|5|2026-12-10 08:00:00",
        "lines before the first star are ignored",
        "*",
        "1",
        "天气预报上线了",
        "spare",
        "  http://example.com/a  ",
        "*",
        "0",
        "hidden",
        "",
        "http://example.com/hidden",
        "*",
        "3",
        "设为主页",
        "",
        "https://example.com/",
        "a fifth line is ignored",
        "*",
        "9",
        "an unknown type shows no text",
        "",
        "http://example.com/9",
        "*",
        "two",
        "not a number counts as hidden",
        "",
        "http://example.com/x",
    };
    const std::vector<TADRec> ads = ParseAdLines(lines);
    ASSERT_EQ(ads.size(), 3u);
    EXPECT_EQ(ads[0], (TADRec{1, "天气预报上线了", "spare", "http://example.com/a"}));
    EXPECT_EQ(ads[1], (TADRec{3, "设为主页", "", "https://example.com/"}));
    EXPECT_EQ(ads[2], (TADRec{9, "", "", "http://example.com/9"}));
    EXPECT_EQ(AdDateLines(ads),
              (std::vector<std::string>{"<FontAD>天气预报上线了", "<FontAD>设为主页", "<FontAD>"}));
}

TEST(AdFileTest, DamagedAdFilesGiveWhatTheyCanAndNoMore) {
    const std::string longLine(kMaxAdLineBytes + 1, 'x');
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        size_t ads;
    };
    const Case cases[] = {
        {"empty", {}, 0},
        {"header only", {"7|5"}, 0},
        {"star without lines", {"7|5", "*"}, 0},
        {"cut after the type", {"7|5", "*", "1"}, 1},
        {"a text line too long",
         {"7|5", "*", "1", longLine, "", "http://a", "*", "1", "b", "", "http://b"},
         1},
        {"a target too long", {"7|5", "*", "1", "a", "", "http://" + longLine}, 0},
        {"the last ad hidden",
         {"7|5", "*", "1", "a", "", "http://a", "*", "2", "b", "", "http://b"},
         1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseAdLines(c.lines).size(), c.ads) << c.what;

    std::vector<std::string> many = {"7|5"};
    for (int i = 0; i < 5000; ++i)
        many.insert(many.end(), {"*", "1", "ad " + std::to_string(i), "", "http://a"});
    const std::vector<TADRec> ads = ParseAdLines(many);
    ASSERT_EQ(ads.size(), kMaxAds);
    EXPECT_EQ(ads.back().text, "ad " + std::to_string(kMaxAds - 1));
}

TEST(AdFileTest, HeaderGivesIdIntervalAndDownloadTime) {
    const TAdHeader full = ParseAdHeader("7|5|2026-12-10 08:30:00");
    EXPECT_EQ(full.id, "7");
    EXPECT_EQ(full.intervalDays, 5);
    ASSERT_TRUE(full.lastDownload);
    EXPECT_DOUBLE_EQ(*full.lastDownload, At(2026, 12, 10, 8, 30));

    struct Case {
        const char* line;
        const char* id;
        int interval;
        bool hasTime;
    };
    const Case cases[] = {
        {"", "", kDefaultAdInterval, false},
        {"junk without bars", "junk without bars", kDefaultAdInterval, false},
        {"7|x|2026-12-10 08:30:00", "7", kDefaultAdInterval, true},
        {"7|-1|2026-12-10 08:30:00", "7", kDefaultAdInterval, true},
        {"7|999999999999999999999|", "7", kDefaultAdInterval, false},
        {"7|0|2026-12-10", "7", 0, true},
        {"7|5|2026/12/10 8:30:00", "7", 5, false},
        {"7|5|2026-02-30 08:30:00", "7", 5, false},
    };
    for (const Case& c : cases) {
        const TAdHeader h = ParseAdHeader(c.line);
        EXPECT_EQ(h.id, c.id) << c.line;
        EXPECT_EQ(h.intervalDays, c.interval) << c.line;
        EXPECT_EQ(h.lastDownload.has_value(), c.hasTime) << c.line;
    }
}

TEST(AdFileTest, DownloadWaitsForTheIntervalInWholeDays) {
    const TDateTime now = At(2026, 12, 11, 9, 0);
    struct Case {
        const char* header;
        bool due;
    };
    const Case cases[] = {
        {"7|5|2026-12-10 09:00:00", false},  // yesterday
        {"7|5|2026-12-06 09:00:01", false},  // four days and almost a fifth
        {"7|5|2026-12-06 09:00:00", true},   // five whole days
        {"7|5|2026-12-05 09:00:00", true},   // six days back
        {"7|0|2026-12-11 08:59:00", true},   // no interval
        {"|5|2026-12-10 09:00:00", true},    // no id
        {"7|5|", true},                      // no time
        {"7|5|2026-12-13 09:00:00", false},  // the clock went back two days
        {"7|5|2027-12-11 09:00:00", true},   // ... or a year
    };
    for (const Case& c : cases)
        EXPECT_EQ(AdDownloadDue(ParseAdHeader(c.header), now), c.due) << c.header;
}

TEST(AdFileTest, ADownloadIsStoredWithItsTimeOrDiscarded) {
    const TDateTime now = At(2026, 12, 11, 9, 5);
    const std::string ad = "*\r\n1\r\n" + Utf8ToGbk("新的广告") + "\r\n\r\nhttp://example.com/\r\n";
    const auto stored = AcceptAdDownload("8|5\r\n" + ad + "$\r\n", "7", now);
    ASSERT_TRUE(stored);
    EXPECT_EQ(*stored, "8|5|2026-12-11 09:05:00\r\n" + ad);
    // What is stored reads back as the same set.
    const std::vector<std::string> lines = SplitLines(GbkToUtf8(*stored));
    EXPECT_EQ(ParseAdHeader(lines[0]).id, "8");
    ASSERT_EQ(ParseAdLines(lines).size(), 1u);
    EXPECT_EQ(ParseAdLines(lines)[0].text, "新的广告");

    // Extra header fields would hide the download time.
    EXPECT_EQ(AcceptAdDownload("8|5|old|junk\r\n$", "7", now), "8|5|2026-12-11 09:05:00\r\n");
    EXPECT_EQ(AcceptAdDownload("8|\n$\n", "7", now), "8||2026-12-11 09:05:00\r\n");
    // A GBK character may end in the byte of "|": the id is 褆 (D1 7C), the interval 5.
    const auto wide = AcceptAdDownload("\xd1\x7c|5\r\n$", "7", now);
    ASSERT_TRUE(wide);
    const TAdHeader h = ParseAdHeader(SplitLines(GbkToUtf8(*wide)).front());
    EXPECT_EQ(h.id, "褆");
    EXPECT_EQ(h.intervalDays, 5);
    EXPECT_TRUE(h.lastDownload);
    EXPECT_FALSE(AcceptAdDownload("\xd1\x7c|5\r\n$", "褆", now));
    // Sent as UTF-8 by mistake: stored as GBK all the same.
    EXPECT_EQ(
        AcceptAdDownload("8|5\r\n*\r\n1\r\n新的广告\r\n\r\nhttp://a\r\n$", "7", now),
        "8|5|2026-12-11 09:05:00\r\n*\r\n1\r\n" + Utf8ToGbk("新的广告") + "\r\n\r\nhttp://a\r\n");

    const struct {
        const char* what;
        std::string body;
    } refused[] = {
        {"unchanged id", "7|5\r\n" + ad + "$\r\n"},
        {"no end mark", "8|5\r\n" + ad},
        {"cut in the end mark", "8|5\r\n" + ad + "$$"},
        {"blank line after the end mark", "8|5\r\n" + ad + "$\r\n\r\n"},
        {"header without bar", "8\r\n" + ad + "$"},
        {"empty", ""},
        {"a NUL byte", std::string("8|5\r\n\0\r\n$", 9)},
        {"header too long", "8|" + std::string(kMaxAdLineBytes, '5') + "\r\n$"},
        {"too big", "8|5\r\n" + std::string(kMaxAdFileBytes, 'x') + "\r\n$"},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(AcceptAdDownload(r.body, "7", now)) << r.what;
}

TEST(AdFileTest, OnlyWebAddressesAreTargets) {
    const struct {
        const char* target;
        bool web;
    } cases[] = {
        {"http://example.com", true},
        {"https://example.com/path?q=1#top", true},
        {"HTTP://EXAMPLE.COM/", true},
        {"http://127.0.0.1:8080/a.htm", true},
        {"http://user@example.com/", true},
        {"http://", false},
        {"http:///path", false},
        {"http://@/", false},
        {"http://:80/", false},
        {"file:///C:/Windows/System32/calc.exe", false},
        {"FILE://server/share", false},
        {"javascript:alert(1)", false},
        {"ftp://example.com/", false},
        {"mailto:someone@example.com", false},
        {"C:\\Windows\\System32\\calc.exe", false},
        {"calc.exe", false},
        {"\\\\server\\share\\setup.exe", false},
        {"http:\\\\example.com", false},
        {"http://example.com\\..\\x", false},
        {" http://example.com", false},
        {"http://exa mple.com", false},
        {"http://example.com/\"-x", false},
        {"http://example.com/\t", false},
        {"http://例子.中国/", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWebTarget(c.target), c.web) << c.target;
    EXPECT_EQ(HomePageOf("  http://example.com/  "), "http://example.com/");
    EXPECT_FALSE(HomePageOf("file:///C:/x"));
}

TEST(AdFileTest, OnlyAPlainHostWithAnOptionalPortIsAServer) {
    const struct {
        const char* configured;
        const char* host;  // null: refused
    } cases[] = {
        {"example.com", "example.com"}, {" 127.0.0.1:8080 ", "127.0.0.1:8080"},
        {"my_host-1", "my_host-1"},     {"", nullptr},
        {"example.com/path", nullptr},  {"http://example.com", nullptr},
        {"user@example.com", nullptr},  {"exa mple.com", nullptr},
        {"\"example.com\"", nullptr},   {"例子.中国", nullptr},
        {"example.com:0", nullptr},     {"example.com:65536", nullptr},
        {"example.com:", nullptr},      {"-x", nullptr},
        {"example..com", nullptr},      {".example.com", nullptr},
        {"example.com:80:81", nullptr}, {"example.com?x=1", nullptr},
        {"a-.example.com", nullptr},    {"   ", nullptr},
    };
    for (const auto& c : cases) {
        const auto host = ServerHostOf(c.configured);
        if (c.host) {
            EXPECT_EQ(host, c.host) << c.configured;
        } else {
            EXPECT_FALSE(host) << c.configured;
        }
    }
    EXPECT_EQ(ServerUrl("127.0.0.1:8080", kAdFilePath), "http://127.0.0.1:8080/AD/AD003.txt");
    EXPECT_EQ(ServerUrl("127.0.0.1:8080", kWeatherPage),
              "http://127.0.0.1:8080/Weather_Tempora.htm");
}
