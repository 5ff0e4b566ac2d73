// Arbitrary bytes as /Upgrade.txt, as an upgrade checker's text and as
// Upgrade.his: a version offered is one that parses and is newer than ours,
// versions compare as an order, and the record decides within a day.
#include "core/LineFile.h"
#include "core/Text.h"
#include "web/Upgrade.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(bytes);

    if (OffersNewerVersion(bytes)) {
        Check(!lines.empty() && size <= kMaxUpgradeBytes);
        Check(!OffersNewerVersion(bytes, "99999.99999.99999.99999"));
    }
    if (const auto v = ParseVersion(bytes)) {
        Check(!v->empty() && v->size() <= 4);
        Check(CompareVersions(*v, *v) == 0);
        const auto ours = ParseVersion(kOurVersion);
        Check(CompareVersions(*v, *ours) == -CompareVersions(*ours, *v));
    }
    UpgradeTextAnnounces(bytes);

    const TDateTime now = EncodeDateTime(2026, 12, 11, 9, 5, 0);
    const bool due = UpgradeNoticeDue(lines, now);
    // Once recorded, the notice waits for the next day whatever was there.
    Check(!UpgradeNoticeDue({UpgradeRecordLine(now)}, now + 0.5));
    if (!due)
        Check(!lines.empty());
    return 0;
}
