// The user's regional time and date formats, as Windows spells them
// ("tt h:mm:ss", "yyyy/M/d"), turned into FormatDateTime patterns.
#pragma once

#include <string>
#include <string_view>

namespace tempora {

// A Windows time picture: h hh (12-hour) H HH (24-hour), m mm minutes, s ss
// seconds, t tt the AM/PM designator, 'quoted text' with '' for a quote; any
// other character is text. The pattern shows 12-hour times exactly when the
// picture holds a designator, so "h:mm" without one shows 24-hour times and
// "tt H:mm" 12-hour ones: an hour is never shown without its half of the day.
// A t shows the whole designator.
// Empty when the picture cannot be used: empty, longer than 256 bytes, not
// UTF-8, holding control characters, or showing no hour, minute or second.
std::string TimePatternFromPicture(std::string_view picture);

// A Windows date picture: d dd day, ddd dddd weekday, M MM month, MMM MMMM
// month name, y yy two-digit year, yyy… full year, g gg the era (公元),
// quoting as above. Names are the Chinese ones of FormatDateTime.
// Empty when the picture cannot be used as above, or shows no day, month or year.
std::string DatePatternFromPicture(std::string_view picture);

// Makes FormatLongTime and FormatShortDate follow these pictures and AM/PM
// designators. Whatever cannot be used (see above; designators longer than
// 64 bytes or with control characters, or only one of the two) keeps zh-CN's
// default in its place.
void ApplyLocalePictures(std::string_view timePicture, std::string_view shortDatePicture,
                         std::string_view amDesignator, std::string_view pmDesignator);

}  // namespace tempora
