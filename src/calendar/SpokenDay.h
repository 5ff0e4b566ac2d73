// The day in recorded words, for the hotkey that speaks it: "今天是十二月十一日，
// 星期五，农历十一月初三", then the day's solar term and its named festivals.
// The words are recordings in the sound folder (tools/make-sounds.sh makes
// them); numbers reuse the spoken time's.
#pragma once

#include "core/DateTime.h"

#include <string>
#include <vector>

namespace tempora {

// The recordings, by file name without ".wav", that say the day of `day`, in
// order. Outside the lunar tables (before 1900-01-31, after 2100) the lunar
// part is left out.
std::vector<std::string> SpokenDayWords(TDateTime day);

}  // namespace tempora
