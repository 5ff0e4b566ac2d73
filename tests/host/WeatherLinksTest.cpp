#include "web/WeatherLinks.h"

#include <gtest/gtest.h>

using namespace tempora;

TEST(WeatherLinksTest, TheBrowserStaysOnTheConfiguredHost) {
    const struct {
        const char* url;
        const char* host;
        bool clicked;
        TWeatherLink action;
    } cases[] = {
        {"http://weather.example.com/Weather_Tempora.htm", "weather.example.com", false,
         TWeatherLink::Follow},
        {"HTTPS://Weather.Example.COM/next.htm?x=1", "weather.example.com", false,
         TWeatherLink::Follow},
        {"http://127.0.0.1:8080/a", "127.0.0.1:8080", false, TWeatherLink::Follow},
        {"http://example.com:80/a", "example.com", false, TWeatherLink::Follow},
        {"http://example.com/a", "example.com:80", false, TWeatherLink::Follow},
        {"about:blank", "example.com", false, TWeatherLink::Follow},
        // Another port, another host, a look-alike or a user part is not the host.
        {"http://127.0.0.1:9090/a", "127.0.0.1:8080", false, TWeatherLink::Refuse},
        {"http://example.com.evil.test/", "example.com", false, TWeatherLink::Refuse},
        {"http://example.com@evil.test/", "example.com", false, TWeatherLink::Refuse},
        {"http://evil.test/?example.com", "example.com", false, TWeatherLink::Refuse},
        // A link the user clicked opens outside, but only on the web.
        {"http://news.example.org/", "example.com", true, TWeatherLink::OpenOutside},
        {"https://news.example.org/", "example.com", true, TWeatherLink::OpenOutside},
        {"file:///C:/Windows/win.ini", "example.com", true, TWeatherLink::Refuse},
        {"javascript:alert(1)", "example.com", true, TWeatherLink::Refuse},
        {"res://ieframe.dll/", "example.com", false, TWeatherLink::Refuse},
        // Without a host, nothing but the blank page.
        {"http://example.com/", "", false, TWeatherLink::Refuse},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WeatherLinkAction(c.url, c.host, c.clicked), c.action) << c.url;
}
