// What the calendar's small dialogs share: a modal window of a fixed client
// size, centred on the work area of its owner's monitor, dressed in the dialog
// frame with its title, casting the soft shadow, its controls in 宋体 9 pt;
// and the two message boxes the calendar shows about marks.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "calendar/CalendarMarks.h"
#include "display/ufrmShadowFrame_win.h"
#include "win/Handles_win.h"
#include "win/Window_win.h"

namespace tempora {

class TCalendarDialog : public TWindow {
public:
    ~TCalendarDialog() override;

    // Runs the dialog until it closes and leaves it hidden; the owner is
    // disabled meanwhile. Enter presses the default button (IDOK), Escape
    // and the frame's close button cancel, Tab walks the controls. IDOK or
    // IDCANCEL; IDCANCEL too when the window goes or the program quits
    // (WM_QUIT is posted again for the program's own loop).
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    HWND Item(int id) const { return GetDlgItem(Handle(), id); }
    const TFormShadow& Shadow() const { return shadow_; }

protected:
    // Creates the window hidden with a client area of width x height, owned by
    // `owner` (may be null), and dresses it in the frame with `title`.
    bool CreateDialogWindow(HWND owner, const wchar_t* className, std::string_view title, int width,
                            int height);
    // A child control in the dialog's font.
    HWND AddControl(const wchar_t* cls, std::string_view text, DWORD style, int x, int y, int w,
                    int h, int id, DWORD exStyle = 0);
    // Ends ShowModal with `result`, once.
    void EndModal(int result);

    // IDOK: closes with IDOK when Accept agrees; IDCANCEL closes with
    // IDCANCEL; every other command goes to Command.
    virtual void Command(int id, int code) = 0;
    // The values are taken: true lets the dialog close with IDOK.
    virtual bool Accept() { return true; }
    // The control that has the focus when the dialog shows.
    virtual HWND FirstFocus() const { return Item(IDOK); }

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    int modalResult_ = 0;
    GdiObject<HFONT> font_;
    TFormShadow shadow_;
};

// The text of a combo box's selection, or of a window; UTF-8.
std::string ComboText(HWND combo);
std::string WindowTextOf(HWND hwnd);

// Tells the user that the Gregorian day of `solarKey` (MMDD) does not exist
// in the current year, so the action that needed its lunar day is dropped.
void ShowInvalidDate(HWND owner, std::string_view solarKey);

// Saves the marks; when the file cannot be written, tells the user that the
// marks stay for this session and the old file was left as it was. The
// result of SaveMarks.
bool SaveMarksOrTell(HWND owner, TCalendarMarks& marks, const std::string& dataDir);

}  // namespace tempora
