// The About box "关于": the program's logo, name and version, a link to the
// home page (when one is configured) and a notice line.
#pragma once

#include "web/WebDialog_win.h"

#include <string>

namespace tempora {

class TFrmAbout : public TWebDialog {
public:
    static constexpr wchar_t kClassName[] = L"TFrmAbout";
    static constexpr int kWidth = 380, kHeight = 220;  // the client area
    enum : int { Label1Id = 100, NameLabelId, HomeLabelId, NoticeLabelId };

    ~TFrmAbout() override;
    // Creates the box hidden; `homePage` (empty: none configured) opens
    // through `open`.
    bool Create(HWND owner, const std::string& homePage, OpenDocumentFn open);
    bool HasLogo() const { return logo_.Get() != nullptr; }

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void PaintLogo();

    GdiObject<HBITMAP> logo_;  // premultiplied for AlphaBlend
    GdiObject<HFONT> nameFont_;
};

// Creates the About box, sets Label1 to the version, shows it modally, frees it.
void ShowAbout(HWND owner, const std::string& homePage, OpenDocumentFn open);

}  // namespace tempora
