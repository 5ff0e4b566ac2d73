// The ad file: the short texts that the date line shows after the date,
// downloaded now and then from the web server and kept as Sup\Ad.his.
//
// A download is GBK text: a header line "id|interval days", then per ad a
// line "*" followed by its type, text, a spare line and its target, and a
// last line "$". The stored copy drops the "$" and carries the time of the
// download as a third header field, "yyyy-mm-dd hh:mm:ss", so that the file
// reads the same whatever the user's date format.
#pragma once

#include "core/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tempora {

inline constexpr std::string_view kAdFilePath = "/AD/AD003.txt";
inline constexpr std::string_view kAdHistoryFile = "Sup\\Ad.his";

// A download larger than this is refused whole; the real file is a few
// hundred bytes.
inline constexpr size_t kMaxAdFileBytes = 64 * 1024;
// An ad with a longer line is dropped: no date line shows that much text,
// and no sound address is that long.
inline constexpr size_t kMaxAdLineBytes = 1024;
// Ads beyond this many are ignored; each one holds the date line 3.5 s.
inline constexpr size_t kMaxAds = 32;
inline constexpr int kDefaultAdInterval = 3;
inline constexpr int kMaxAdInterval = 365;

// Ad types: 1 opens its target, 3 offers it as the browser's start page,
// 0 and 2 are not shown; any other type shows an empty line that does nothing.
enum : int32_t { kAdHidden = 0, kAdLink = 1, kAdHidden2 = 2, kAdStartPage = 3 };

struct TADRec {
    int32_t type = kAdHidden;
    std::string text;    // only for kAdLink and kAdStartPage
    std::string spare;   // carried, not used
    std::string target;  // without surrounding blanks
    bool operator==(const TADRec&) const = default;
};

struct TAdHeader {
    std::string id;  // empty when the file has none
    int intervalDays = kDefaultAdInterval;
    std::optional<TDateTime> lastDownload;
};

// The first line of a stored file: the id before the first "|", the
// interval between the first and second "|" (kDefaultAdInterval when it is
// missing, no number or beyond 0..kMaxAdInterval), the download time after
// the second "|" (none unless it is a valid stamp).
TAdHeader ParseAdHeader(std::string_view line);

// Whether a new download is due at `now`: unless the id is known, the last
// download is known and fewer whole days than the interval lie between it
// and now (in either direction, so a clock set back by a year does not hold
// the next download off for a year).
bool AdDownloadDue(const TAdHeader& header, TDateTime now);

// The ads of a stored file's lines (UTF-8, the header line first). A line "*"
// starts an ad; the next four lines are its type (0 when no number), text,
// spare line and target, and later lines until the next "*" are ignored, as
// are the lines before the first "*". A hidden ad (type 0 or 2), or one with
// a line longer than kMaxAdLineBytes, gives its place to the next one; a
// hidden last ad is dropped. At most kMaxAds ads.
std::vector<TADRec> ParseAdLines(const std::vector<std::string>& lines);

// The date line's lines behind the date: "<FontAD>" + text, one per ad.
std::vector<std::string> AdDateLines(const std::vector<TADRec>& ads);

// The file to store for a downloaded `body` (raw bytes), or nothing when the
// download is to be discarded: bigger than kMaxAdFileBytes, holding a NUL
// byte, without lines, whose last line is not exactly "$", whose header has
// no "|" or is longer than kMaxAdLineBytes, or whose id (before the first
// "|") is `storedId` (UTF-8). The body is read as GBK text, or as UTF-8 when
// it is well-formed UTF-8 with non-ASCII text (sent in the wrong encoding).
// The stored file is GBK with CR LF line ends: the header rebuilt as
// "id|interval|" + the stamp of `now`, then the body's other lines but the "$".
std::optional<std::string> AcceptAdDownload(std::string_view body, std::string_view storedId,
                                            TDateTime now);

// Whether `target` may be handed to the shell: an http:// or https:// address
// (scheme in any case) with a host, in printable ASCII without blanks, quotes,
// backslashes or angle brackets. Programs, file paths, UNC paths, file:,
// javascript: and every other scheme are refused.
bool IsWebTarget(std::string_view target);

}  // namespace tempora
