// Arbitrary bytes as a downloaded ad file and as a stored one. A download is
// either refused or stored in a form that reads back with the new id and the
// download time; whatever the stored file holds, the ads read from it keep
// the caps and the type rules, and only web addresses pass the target filter.
#include "core/Encoding.h"
#include "core/LineFile.h"
#include "core/Text.h"
#include "web/AdFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tempora;

namespace {

void Check(bool ok) {
    if (!ok)
        std::abort();
}

void CheckAds(const std::vector<std::string>& lines) {
    const std::vector<TADRec> ads = ParseAdLines(lines);
    Check(ads.size() <= kMaxAds);
    for (const TADRec& ad : ads) {
        Check(ad.type != kAdHidden && ad.type != kAdHidden2);
        Check(ad.type == kAdLink || ad.type == kAdStartPage || ad.text.empty());
        Check(ad.text.size() <= kMaxAdLineBytes && ad.target.size() <= kMaxAdLineBytes);
        if (IsWebTarget(ad.target)) {
            Check(EqualsNoCase(ad.target.substr(0, 4), "http"));
            for (char c : ad.target)
                Check(static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F);
        }
    }
    Check(AdDateLines(ads).size() == ads.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const TDateTime now = EncodeDateTime(2026, 12, 11, 9, 5, 0);

    const std::vector<std::string> lines = SplitLines(GbkToUtf8(bytes));
    CheckAds(lines);
    const TAdHeader header = ParseAdHeader(lines.empty() ? std::string() : lines.front());
    Check(header.intervalDays >= 0 && header.intervalDays <= kMaxAdInterval);
    AdDownloadDue(header, now);

    if (const auto stored = AcceptAdDownload(bytes, "7", now)) {
        const std::vector<std::string> back = SplitLines(GbkToUtf8(*stored));
        Check(!back.empty());
        const TAdHeader h = ParseAdHeader(back.front());
        Check(h.id != "7");
        Check(h.lastDownload && *h.lastDownload == now);
        Check(!AdDownloadDue(h, now) || h.id.empty() || h.intervalDays == 0);
        CheckAds(back);
    }
    return 0;
}
