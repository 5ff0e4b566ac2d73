// The start-page offer "赞助软件作者": asks the user to make an address the
// web browser's start page (the current user's "Start Page" value under
// SoftWare\MicroSoft\Internet Explorer\Main).
#pragma once

#include "web/WebDialog_win.h"

#include <string>

namespace tempora {

// The browser's start page; empty when the key or the value is missing.
std::string ReadStartPage();
// Writes the start page, creating the key when needed; false when refused.
bool WriteStartPage(const std::string& address);

class TFormHomePage : public TWebDialog {
public:
    static constexpr wchar_t kClassName[] = L"TFormHomePage";
    static constexpr int kWidth = 440, kHeight = 200;  // the client area
    enum : int { Label1Id = 100, Label2Id, UiURLLabel1Id, UiURLLabel2Id };

    // Creates the dialog hidden: the current start page and the offered
    // address as link labels that open them through `open`.
    bool Create(HWND owner, const std::string& current, const std::string& address,
                OpenDocumentFn open);
};

enum class TOfferResult { NotWeb, AlreadySet, Cancelled, Set, WriteFailed };

// Offers `address` as the start page: nothing for an address that is no web
// address (IsWebTarget); only a thank-you box when it is the start page
// already; otherwise the dialog, whose "确定(&O)" writes it.
TOfferResult OfferHomePage(HWND owner, const std::string& address, OpenDocumentFn open);

}  // namespace tempora
