#include <gtest/gtest.h>

#include "web/UnitWeather.h"

namespace tempora {
namespace {

TEST(WeatherHost, OnlyPlainHostsAndPortsAreUsed) {
    struct Case {
        const char* configured;
        const char* host;  // nullptr: refused
    };
    const Case cases[] = {
        {"weather.example.com", "weather.example.com"},
        {"  127.0.0.1:8080 ", "127.0.0.1:8080"},
        {"localhost", "localhost"},
        {"a-b.c", "a-b.c"},
        {"", nullptr},
        {"   ", nullptr},
        {"example.com/evil", nullptr},
        {"http://example.com", nullptr},
        {"user@example.com", nullptr},
        {"exa mple.com", nullptr},
        {"\"example.com\"", nullptr},
        {"example.com:", nullptr},
        {"example.com:0", nullptr},
        {"example.com:65536", nullptr},
        {"example.com:80:81", nullptr},
        {"example..com", nullptr},
        {".example.com", nullptr},
        {"-example.com", nullptr},
        {"\xE5\xA4\xA9\xE6\xB0\x94.cn", nullptr},  // 天气.cn
        {"example.com?x=1", nullptr},
    };
    for (const Case& c : cases) {
        const auto host = WeatherHostOf(c.configured);
        if (c.host) {
            ASSERT_TRUE(host.has_value()) << c.configured;
            EXPECT_EQ(*host, c.host);
        } else {
            EXPECT_FALSE(host.has_value()) << c.configured;
        }
    }
}

TEST(WeatherHost, UrlNamesTheWeatherPage) {
    EXPECT_EQ(WeatherUrl("127.0.0.1:8080"), "http://127.0.0.1:8080/Weather_Tempora.htm");
}

}  // namespace
}  // namespace tempora
