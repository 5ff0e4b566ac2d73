#include "web/Upgrade.h"

#include "core/LineFile.h"
#include "core/Text.h"

#include <algorithm>

namespace tempora {

std::string UpgradeNoticeText(std::string_view homePage) {
    return "嘀嗒有新版本啦，快来升级吧!\r\n\r\n" + std::string(homePage);
}

std::optional<std::vector<int>> ParseVersion(std::string_view text) {
    std::vector<int> numbers;
    size_t start = 0;
    for (;;) {
        const size_t dot = text.find('.', start);
        const std::string_view part = text.substr(start, dot - start);
        uint64_t value = 0;
        if (part.empty() || part.size() > 5 || numbers.size() == 4 || !ParseUnsigned(part, value))
            return std::nullopt;
        numbers.push_back(static_cast<int>(value));
        if (dot == std::string_view::npos)
            return numbers;
        start = dot + 1;
    }
}

int CompareVersions(const std::vector<int>& a, const std::vector<int>& b) {
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const int x = i < a.size() ? a[i] : 0;
        const int y = i < b.size() ? b[i] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

bool OffersNewerVersion(std::string_view body, std::string_view ours) {
    if (body.size() > kMaxUpgradeBytes || body.find('\0') != std::string_view::npos)
        return false;
    const std::vector<std::string> lines = SplitLines(std::string(body));
    if (lines.empty())
        return false;
    std::string_view first = lines.front();
    // A byte-order mark from an editor that saved the file as UTF-8.
    if (first.substr(0, 3) == "\xEF\xBB\xBF")
        first.remove_prefix(3);
    const auto offered = ParseVersion(Trim(first));
    const auto current = ParseVersion(ours);
    return offered && current && CompareVersions(*offered, *current) > 0;
}

bool UpgradeTextAnnounces(std::string_view text) {
    return SplitLines(std::string(text)).size() > 2;
}

std::string UpgradeRecordLine(TDateTime now) {
    return FormatStamp(now);
}

bool UpgradeNoticeDue(const std::vector<std::string>& historyLines, TDateTime now) {
    TDateTime last = 0;
    if (historyLines.empty() || !ParseStamp(std::string(Trim(historyLines.front())), last))
        return true;
    return DayNumber(last) != DayNumber(now);
}

}  // namespace tempora
