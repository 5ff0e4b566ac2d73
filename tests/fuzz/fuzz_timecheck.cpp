// Arbitrary bytes as TimeCheck.lst's first line, read the way ReadTimeCheck
// reads it: a stamp is taken only when it is a real date and time written in
// the one canonical form, so what the dialog shows is exactly the line stored.
// The same bytes as a date alone must follow the same rule.
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/LineFile.h"
#include "core/Text.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tempora;

namespace {

void CheckStamp(const std::string& text) {
    TDateTime t = 0;
    if (!ParseStamp(text, t))
        return;
    const std::string again = FormatStamp(t);
    if (text.size() == 19
            ? again != text
            : again.compare(0, 10, text) != 0 || again.compare(10, 9, " 00:00:00") != 0) {
        std::abort();
    }
    TDateTime back = -1;
    if (!ParseStamp(again, back) || back != t)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = SplitLines(GbkToUtf8(bytes));
    if (!lines.empty())
        CheckStamp(std::string(Trim(lines.front())));
    CheckStamp(bytes);
    if (size >= 10)
        CheckStamp(bytes.substr(0, 10));
    return 0;
}
