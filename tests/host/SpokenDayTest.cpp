#include "calendar/SpokenDay.h"
#include "core/FileSys.h"
#include "core/Text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace tempora;

namespace {

// Every word the spoken day can ask for, over the lunar tables' years, is
// among the shipped recordings.
TEST(SpokenDay, EveryWordOfEveryDayIsRecorded) {
    std::set<std::string> words;
    for (TDateTime day = EncodeDate(1901, 1, 1); day <= EncodeDate(2100, 12, 31); day += 1) {
        for (const std::string& w : SpokenDayWords(day))
            words.insert(w);
    }
    for (const std::string& w : words) {
        EXPECT_TRUE(FileExists(std::string(TEMPORA_SOURCE_DIR) + "/data/Sound/" + w + ".wav")) << w;
    }
    // Each term came up, and so did the leap months and the eve.
    for (int n = 0; n < 24; ++n)
        EXPECT_TRUE(words.count("J" + ZeroPad(n, 2))) << n;
    for (const char* w : {"Run", "Nian", "FL0100", "FW1144"})
        EXPECT_TRUE(words.count(w)) << w;
}

}  // namespace
