// Arbitrary bytes as a WM_COPYDATA block reaching the popup: it is taken
// exactly when it is 1..64 KiB with a zero as its last byte, and what it
// yields is well-formed UTF-8. The same bytes as a text to send must give a
// block the popup takes, and bytes as the popup's argument must not crash.
#include "core/Encoding.h"
#include "reminders/PopupProtocol.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text;
    const bool taken = tempora::AcceptPopupText(data, size, text);
    const bool expected = size >= 1 && size <= tempora::kPopupMaxBlock && data[size - 1] == 0;
    if (taken != expected || !tempora::IsValidUtf8(text) || (!taken && !text.empty()))
        std::abort();

    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string block = tempora::PopupTextBlock(bytes);
    std::string back;
    if (block.size() > tempora::kPopupMaxBlock ||
        !tempora::AcceptPopupText(block.data(), block.size(), back)) {
        std::abort();
    }
    uint64_t handle;
    (void)tempora::ParseWindowHandleArg(bytes, handle);
    return 0;
}
