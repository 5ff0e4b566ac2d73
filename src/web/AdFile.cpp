#include "web/AdFile.h"

#include "core/Encoding.h"
#include "core/LineFile.h"
#include "core/Text.h"

#include <cmath>

namespace tempora {

namespace {

bool IsHidden(int32_t type) {
    return type == kAdHidden || type == kAdHidden2;
}

int32_t ParseType(std::string_view text) {
    int64_t value = 0;
    if (!ParseInt(Trim(text), value) || value < INT32_MIN || value > INT32_MAX)
        return kAdHidden;
    return static_cast<int32_t>(value);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool HasNonAscii(std::string_view bytes) {
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    }
    return false;
}

}  // namespace

TAdHeader ParseAdHeader(std::string_view line) {
    TAdHeader header;
    const size_t first = line.find('|');
    header.id = std::string(line.substr(0, first));
    if (first == std::string_view::npos)
        return header;
    const std::string_view rest = line.substr(first + 1);
    const size_t second = rest.find('|');
    int64_t interval = 0;
    if (ParseInt(Trim(rest.substr(0, second)), interval) && interval >= 0 &&
        interval <= kMaxAdInterval) {
        header.intervalDays = static_cast<int>(interval);
    }
    if (second == std::string_view::npos)
        return header;
    TDateTime stamp = 0;
    if (ParseStamp(std::string(Trim(rest.substr(second + 1))), stamp))
        header.lastDownload = stamp;
    return header;
}

bool AdDownloadDue(const TAdHeader& header, TDateTime now) {
    if (header.id.empty() || !header.lastDownload)
        return true;
    const double wholeDays = std::floor(std::fabs(now - *header.lastDownload));
    return wholeDays >= header.intervalDays;
}

std::vector<TADRec> ParseAdLines(const std::vector<std::string>& lines) {
    std::vector<TADRec> ads;
    bool open = false;     // an ad has begun
    bool tooLong = false;  // the open ad has an over-long line
    int field = 0;         // the open ad's lines so far
    const auto closeHidden = [&] {
        if (open && (tooLong || IsHidden(ads.back().type)))
            ads.pop_back();
    };
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (Trim(line) == "*") {
            closeHidden();
            if (ads.size() == kMaxAds) {
                open = false;
                break;
            }
            ads.emplace_back();
            open = true;
            tooLong = false;
            field = 0;
            continue;
        }
        if (!open || field >= 4) {
            continue;
        }
        if (line.size() > kMaxAdLineBytes)
            tooLong = true;
        TADRec& ad = ads.back();
        switch (field++) {
            case 0:
                ad.type = ParseType(line);
                break;
            case 1:
                ad.text = line;
                break;
            case 2:
                ad.spare = line;
                break;
            default:
                ad.target = std::string(Trim(line));
                break;
        }
    }
    closeHidden();
    for (TADRec& ad : ads) {
        if (ad.type != kAdLink && ad.type != kAdStartPage)
            ad.text.clear();
    }
    return ads;
}

std::vector<std::string> AdDateLines(const std::vector<TADRec>& ads) {
    std::vector<std::string> lines;
    lines.reserve(ads.size());
    for (const TADRec& ad : ads)
        lines.push_back("<FontAD>" + ad.text);
    return lines;
}

std::optional<std::string> AcceptAdDownload(std::string_view body, std::string_view storedId,
                                            TDateTime now) {
    if (body.size() > kMaxAdFileBytes || body.find('\0') != std::string_view::npos)
        return std::nullopt;
    // Read as text first: a GBK character may end in the byte of "|".
    const std::string text =
        HasNonAscii(body) && IsValidUtf8(body) ? std::string(body) : GbkToUtf8(body);
    std::vector<std::string> lines = SplitLines(text);
    if (lines.empty() || lines.back() != "$")
        return std::nullopt;
    const std::string& header = lines.front();
    const size_t first = header.find('|');
    if (first == std::string::npos || header.size() > kMaxAdLineBytes)
        return std::nullopt;
    const std::string id = header.substr(0, first);
    if (id == storedId)
        return std::nullopt;
    // The header keeps its id and interval; whatever else it carried would
    // hide the download time from the next start-up.
    const size_t second = header.find('|', first + 1);
    const std::string interval = header.substr(
        first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    lines.pop_back();
    lines.front() = id + "|" + interval + "|" + FormatStamp(now);
    std::string stored;
    for (const std::string& line : lines) {
        stored += line;
        stored += "\r\n";
    }
    return Utf8ToGbk(stored);
}

bool IsWebTarget(std::string_view target) {
    std::string_view rest;
    if (StartsWithNoCase(target, "http://"))
        rest = target.substr(7);
    else if (StartsWithNoCase(target, "https://"))
        rest = target.substr(8);
    else
        return false;
    for (char c : target) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '"' || c == '\\' || c == '<' || c == '>' || c == '`')
            return false;
    }
    const size_t hostEnd = rest.find_first_of("/?#");
    const std::string_view authority = rest.substr(0, hostEnd);
    // A user part does not count as the host.
    const size_t at = authority.rfind('@');
    const std::string_view host =
        at == std::string_view::npos ? authority : authority.substr(at + 1);
    return !host.empty() && host[0] != ':';
}

}  // namespace tempora
