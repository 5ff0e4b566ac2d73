#include "PopupProtocol.h"

#include "core/Encoding.h"
#include "core/IniFile.h"
#include "core/SettingKeys.h"
#include "core/Text.h"

#include <algorithm>
#include <cstring>

namespace tempora {

std::string PopupTextBlock(std::string_view utf8) {
    utf8 = utf8.substr(0, utf8.find('\0'));
    std::string gbk = Utf8ToGbk(utf8);
    // A GBK lead byte (0x81..0xFE) always comes with a trail byte, so stepping
    // by characters never splits one.
    size_t end = 0;
    while (end < gbk.size()) {
        const size_t step = static_cast<unsigned char>(gbk[end]) >= 0x81 ? 2 : 1;
        if (end + step > kPopupMaxBlock - 1 || end + step > gbk.size())
            break;
        end += step;
    }
    gbk.resize(end);
    gbk.push_back('\0');
    return gbk;
}

bool AcceptPopupText(const void* data, size_t size, std::string& utf8Out) {
    utf8Out.clear();
    if (data == nullptr || size == 0 || size > kPopupMaxBlock)
        return false;
    const char* bytes = static_cast<const char*>(data);
    if (bytes[size - 1] != '\0')
        return false;
    const size_t length =
        static_cast<size_t>(static_cast<const char*>(std::memchr(bytes, '\0', size)) - bytes);
    utf8Out = GbkToUtf8(std::string_view(bytes, length));
    return true;
}

bool ParseWindowHandleArg(std::string_view text, uint64_t& handle) {
    handle = 0;
    uint64_t value = 0;
    if (text.size() > 20 || !ParseUnsigned(text, value) || value == 0)
        return false;
    handle = value;
    return true;
}

TPopupSettings ReadPopupSettings(const TIniFile& ini) {
    TPopupSettings s;
    s.Auto = ReadBool(ini, setting::MsgAuto);
    s.AutoSec = ReadInt(ini, setting::MsgAutoSec);
    s.Tran = ReadInt(ini, setting::MsgAlpha);
    return s;
}

}  // namespace tempora
