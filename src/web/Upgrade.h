// The new-version notice: the version the web server offers in /Upgrade.txt,
// the texts an upgrade checker hands to the bar, and Upgrade.his, which keeps
// the moment of the last notice so that the program's own check raises it
// at most once a day.
#pragma once

#include "core/DateTime.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tempora {

inline constexpr std::string_view kUpgradePath = "/Upgrade.txt";
inline constexpr std::string_view kUpgradeHistoryFile = "Upgrade.his";
inline constexpr std::string_view kOurVersion = "3.7.7";
// A download larger than this is no version file.
inline constexpr size_t kMaxUpgradeBytes = 4096;
// An upgrade text handed over by another program (WM_COPYDATA) is read up
// to this many bytes.
inline constexpr size_t kMaxUpgradeTextBytes = 4096;

// The notice the popup program shows.
std::string UpgradeNoticeText(std::string_view homePage);

// "3.7.8": one to four numbers of one to five digits joined by dots; the
// numbers, or nothing for any other text.
std::optional<std::vector<int>> ParseVersion(std::string_view text);
// Negative, zero or positive as `a` is older than, as old as or newer than
// `b`; missing numbers count as 0, so "3.7" equals "3.7.0".
int CompareVersions(const std::vector<int>& a, const std::vector<int>& b);

// Whether the first line of a downloaded /Upgrade.txt (surrounding blanks
// ignored) names a version newer than `ours`. Bodies beyond kMaxUpgradeBytes,
// holding a NUL byte, or whose first line is no version offer nothing.
bool OffersNewerVersion(std::string_view body, std::string_view ours = kOurVersion);

// Whether an upgrade checker's text asks for the notice: it has more than
// two lines.
bool UpgradeTextAnnounces(std::string_view text);

// Upgrade.his's line for a notice at `now`.
std::string UpgradeRecordLine(TDateTime now);
// Whether the program's own check may raise the notice at `now`: no notice
// is recorded (no lines, or a first line that is no stamp), or the last one
// was on another calendar day.
bool UpgradeNoticeDue(const std::vector<std::string>& historyLines, TDateTime now);

}  // namespace tempora
