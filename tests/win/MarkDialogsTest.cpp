// The calendar's small dialogs on real windows: the mark editor, the list of
// all marks, the delete question, the year picker and the message boxes
// about marks. Each dialog is driven from inside its own modal loop by a
// script of steps, each waiting for its window to show.
#include "calendar/UnitEditMark_win.h"
#include "calendar/UnitInputYear_win.h"
#include "calendar/UnitMark_win.h"
#include "calendar/UnitMsgDelMark_win.h"

#include <commctrl.h>

#include <cmath>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WinTestUtil.h"
#include "DialogScript.h"
#include "core/ClockSource.h"
#include "core/Encoding.h"
#include "core/FileSys.h"
#include "display/MyWindow_win.h"
#include "win/Window_win.h"

using namespace tempora;
using namespace tempora::test;
using tempora::test::WaitFor;

namespace {

using Lines = std::vector<std::string>;

std::string Text(HWND dialog, int id) {
    return WindowTextOf(GetDlgItem(dialog, id));
}
std::string Combo(HWND dialog, int id) {
    return ComboText(GetDlgItem(dialog, id));
}
// The editor's calendar, month and day as "公历 05 01".
std::string Shown(HWND editor) {
    return Combo(editor, TFrmEditMark::CalendarBoxId) + " " +
           Combo(editor, TFrmEditMark::MonthBoxId) + " " + Combo(editor, TFrmEditMark::DayBoxId);
}
Lines Items(HWND dialog) {
    const HWND list = GetDlgItem(dialog, TFrmMark::ListBox1Id);
    Lines items;
    const LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(WideToUtf8(text));
    }
    return items;
}
void SelectItems(HWND dialog, std::initializer_list<int> items) {
    const HWND list = GetDlgItem(dialog, TFrmMark::ListBox1Id);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    for (int i : items) {
        SendMessageW(list, LB_SETSEL, TRUE, i);
        SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE);
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(TFrmMark::ListBox1Id, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}
bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
// The text of a message box.
std::string BoxText(HWND box) {
    return WindowTextOf(GetDlgItem(box, 0xFFFF));
}

class Owner : public TWindow {
public:
    bool Make() {
        return CreateWin(L"TemporaMarkDialogsTestOwner", L"owner", WS_POPUP, 0, 0, 0, 10, 10);
    }
};

// Noon, China time, on the given day.
int64_t UtcMillisAt(int y, int m, int d) {
    return static_cast<int64_t>(std::llround((EncodeDate(y, m, d) - 25569.0) * 86400000.0)) +
           4 * 3600000LL;
}

class MarkDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        ClockSource::Install(&clock);
        ASSERT_TRUE(owner.Make());
    }
    void TearDown() override { ClockSource::Install(nullptr); }

    void Put(const Lines& lines) {
        for (const std::string& line : lines)
            marks.PutMark(festivals, line.substr(0, 5), line.substr(6));
    }

    FakeClock clock{UtcMillisAt(2026, 3, 10)};
    Owner owner;
    TFestivalList festivals;
    TCalendarMarks marks;
};

}  // namespace

TEST_F(MarkDialogs, EditorShowsTheDaysNoteAndReturnsNameAndNote) {
    Put({"00501=劳动节"});
    std::string seen, noteOfMay, focus;
    bool ownerDisabled = false;
    Script script({
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             seen = Shown(w) + "|" + Text(w, TFrmEditMark::NoteEditId);
             focus = GetFocus() == GetDlgItem(w, TFrmEditMark::NoteEditId) ? "note" : "other";
             ownerDisabled = !IsWindowEnabled(owner.Handle());
             Choose(w, TFrmEditMark::MonthBoxId, 4);  // 05
             Choose(w, TFrmEditMark::DayBoxId, 0);    // 01
             noteOfMay = Text(w, TFrmEditMark::NoteEditId);
             SetDlgItemTextW(w, TFrmEditMark::NoteEditId, L"五一");
             Press(w, IDOK);
         }},
    });
    std::string name = "00310", note = "植树";
    ASSERT_TRUE(RunEditMark(owner.Handle(), marks, name, note));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(seen, "公历 03 10|植树");
    EXPECT_EQ(focus, "note");
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
    EXPECT_EQ(noteOfMay, "劳动节");
    EXPECT_EQ(name, "00501");
    EXPECT_EQ(note, "五一");
    EXPECT_EQ(FindWindowW(TFrmEditMark::kClassName, nullptr), nullptr);
}

TEST_F(MarkDialogs, EditorCancelsAndRefusesWhatDoesNotFit) {
    struct Case {
        const char* name;
        std::function<void(HWND)> act;
        bool ok;
        const char* result;  // name|note
    } cases[] = {
        {"Escape",
         [](HWND w) { PostMessageW(GetFocus() ? GetFocus() : w, WM_KEYDOWN, VK_ESCAPE, 0); }, false,
         "00310|"},
        {"frame's close button", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }, false, "00310|"},
        {"a note beyond 50 bytes is refused",
         [](HWND w) {
             SetDlgItemTextW(w, TFrmEditMark::NoteEditId, L"一二三四五六七八九十一二三四五");
             SetDlgItemTextW(w, TFrmEditMark::NoteEditId,
                             L"一二三四五六七八九十一二三四五六七八九十一二三四五六");
             Press(w, IDOK);
         },
         true, "00310|一二三四五六七八九十一二三四五"},
        {"OK needs a calendar",
         [](HWND w) {
             SendMessageW(GetDlgItem(w, TFrmEditMark::CalendarBoxId), CB_SETCURSEL,
                          static_cast<WPARAM>(-1), 0);
             SendMessageW(w, WM_COMMAND, IDOK, 0);  // refused: stays open
             SendMessageW(GetDlgItem(w, TFrmEditMark::CalendarBoxId), CB_SETCURSEL, 0, 0);
             Press(w, IDOK);
         },
         true, "00310|"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Script script({{Dialog(TFrmEditMark::kClassName), c.act}});
        std::string name = "00310", note;
        EXPECT_EQ(RunEditMark(owner.Handle(), marks, name, note), c.ok);
        EXPECT_EQ(name + "|" + note, c.result);
    }
}

TEST_F(MarkDialogs, SwitchingAnImpossibleDayToLunarWarnsAndKeepsTheValues) {
    Put({"10101=春节"});
    std::string duringWarning, warning, afterWarning, lunar, solarAgain;
    Script script({
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             Choose(w, TFrmEditMark::MonthBoxId, 1);  // 02
             Choose(w, TFrmEditMark::DayBoxId, 29);   // 30
             SendMessageW(GetDlgItem(w, TFrmEditMark::CalendarBoxId), CB_SETCURSEL, 1, 0);
             PostMessageW(w, WM_COMMAND, MAKEWPARAM(TFrmEditMark::CalendarBoxId, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(GetDlgItem(w, TFrmEditMark::CalendarBoxId)));
         }},
        {Box(L"警告"),
         [&](HWND box) {
             duringWarning = Shown(FindWindowW(TFrmEditMark::kClassName, nullptr));
             warning = BoxText(box);
             PostMessageW(box, WM_COMMAND, IDOK, 0);
         }},
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             afterWarning = Shown(w);
             // 17 February 2026 is the lunar new year: the 春节 note shows.
             Choose(w, TFrmEditMark::DayBoxId, 16);
             Choose(w, TFrmEditMark::CalendarBoxId, 1);
             lunar = Shown(w) + "|" + Text(w, TFrmEditMark::NoteEditId);
             Choose(w, TFrmEditMark::CalendarBoxId, 0);
             solarAgain = Shown(w);
             Press(w, IDOK);
         }},
    });
    std::string name = "00310", note;
    ASSERT_TRUE(RunEditMark(owner.Handle(), marks, name, note));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(duringWarning, "公历 02 30");
    EXPECT_NE(warning.find("2026年没有02月30日"), std::string::npos) << warning;
    EXPECT_EQ(afterWarning, "公历 02 30");
    EXPECT_EQ(lunar, "农历 01 01|春节");
    EXPECT_EQ(solarAgain, "公历 02 17");
    EXPECT_EQ(name, "00217");
    EXPECT_EQ(note, "春节");
}

TEST_F(MarkDialogs, AllMarksAddsEditsAndDeletes) {
    Put({"10815=中秋", "00501=劳动节", "01001=国庆"});
    Lines opened, added, afterDelete, edited;
    std::string editorShowed, question, editorEditing, noteShown;
    bool editDisabled = false, deleteDisabled = false, bothEnabled = false, disabledAgain = false;
    const auto idle = [] {
        const HWND w = FindWindowW(TFrmMark::kClassName, nullptr);
        return w && IsWindowEnabled(w) && !FindWindowW(TFrmEditMark::kClassName, nullptr) &&
                       !FindWindowW(L"#32770", L"确认")
                   ? w
                   : nullptr;
    };
    Script script({
        {idle,
         [&](HWND w) {
             opened = Items(w);
             editDisabled = !Enabled(w, TFrmMark::EditButtonId);
             deleteDisabled = !Enabled(w, TFrmMark::DeleteButtonId);
             Press(w, TFrmMark::AddButtonId);
         }},
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             editorShowed = Shown(w);  // today
             SetDlgItemTextW(w, TFrmEditMark::NoteEditId, L"植树");
             Press(w, IDOK);
         }},
        {idle,
         [&](HWND w) {
             added = Items(w);
             SelectItems(w, {0, 1});
             bothEnabled =
                 Enabled(w, TFrmMark::EditButtonId) && Enabled(w, TFrmMark::DeleteButtonId);
             Press(w, TFrmMark::DeleteButtonId);
         }},
        {Box(L"确认"),
         [&](HWND box) {
             question = BoxText(box);
             PostMessageW(box, WM_COMMAND, IDYES, 0);
         }},
        {idle,
         [&](HWND w) {
             afterDelete = Items(w);
             disabledAgain = !Enabled(w, TFrmMark::EditButtonId);
             SelectItems(w, {1});
             Press(w, TFrmMark::EditButtonId);
         }},
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             editorEditing = Shown(w) + "|" + Text(w, TFrmEditMark::NoteEditId);
             // To lunar 08-15, the name of the 中秋 line, whose note then shows.
             Choose(w, TFrmEditMark::CalendarBoxId, 1);
             Choose(w, TFrmEditMark::MonthBoxId, 7);
             Choose(w, TFrmEditMark::DayBoxId, 14);
             noteShown = Text(w, TFrmEditMark::NoteEditId);
             SetDlgItemTextW(w, TFrmEditMark::NoteEditId, L"中秋节");
             Press(w, IDOK);
         }},
        {idle,
         [&](HWND w) {
             edited = Items(w);
             Press(w, IDCANCEL);
         }},
    });
    RunAllMarks(owner.Handle(), marks, festivals);
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(opened,
              (Lines{"公历\t05月01日\t劳动节", "公历\t10月01日\t国庆", "农历\t08月15日\t中秋"}));
    EXPECT_TRUE(editDisabled);
    EXPECT_TRUE(deleteDisabled);
    EXPECT_EQ(editorShowed, "公历 03 10");
    EXPECT_EQ(added, (Lines{"公历\t05月01日\t劳动节", "公历\t10月01日\t国庆",
                            "农历\t08月15日\t中秋", "公历\t03月10日\t植树"}));
    EXPECT_TRUE(bothEnabled);
    EXPECT_EQ(question, "确实要删除选择的标记吗？");
    EXPECT_EQ(afterDelete, (Lines{"农历\t08月15日\t中秋", "公历\t03月10日\t植树"}));
    EXPECT_TRUE(disabledAgain);
    EXPECT_EQ(editorEditing, "公历 03 10|植树");
    EXPECT_EQ(noteShown, "中秋");
    // The edited 植树 mark took the name of 中秋 and with it that line's place.
    EXPECT_EQ(edited, (Lines{"农历\t08月15日\t中秋节"}));
    EXPECT_EQ(marks.Lines(), (Lines{"10815=中秋节"}));
    EXPECT_EQ(festivals.SolarMarks().Count(), 0u);
    EXPECT_EQ(festivals.LunarMarks().Count(), 1u);
}

TEST_F(MarkDialogs, DeletingADaysMarksAsksWhichAndWarnsOfAnImpossibleDay) {
    clock.Set(UtcMillisAt(2024, 6, 1));
    Put({"00210=气象日", "10101=春节"});
    std::string message;
    bool bothTicked = false;
    {
        Script script({
            {Dialog(TFrmMsgDelMark::kClassName),
             [&](HWND w) {
                 message = Text(w, TFrmMsgDelMark::Label1Id);
                 bothTicked = IsDlgButtonChecked(w, TFrmMsgDelMark::CheckBox1Id) == BST_CHECKED &&
                              IsDlgButtonChecked(w, TFrmMsgDelMark::CheckBox2Id) == BST_CHECKED;
                 SendDlgItemMessageW(w, TFrmMsgDelMark::CheckBox2Id, BM_CLICK, 0, 0);
                 Press(w, IDOK);
             }},
        });
        // 10 February 2024 is lunar 01-01 as well.
        EXPECT_TRUE(DeleteDayMarks(owner.Handle(), marks, festivals, EncodeDate(2024, 2, 10)));
        EXPECT_EQ(script.Left(), 0u);
    }
    EXPECT_EQ(message, "公历：02月10日   农历：01月01日");
    EXPECT_TRUE(bothTicked);
    EXPECT_EQ(marks.Lines(), (Lines{"10101=春节"}));
    EXPECT_EQ(festivals.MarkColorOf(EncodeDate(2024, 2, 10)), kMarkColor);

    // In a common year there is no 29 February to find a lunar day for.
    clock.Set(UtcMillisAt(2026, 6, 1));
    std::string warning;
    {
        Script script({{Box(L"警告"), [&](HWND box) {
                            warning = BoxText(box);
                            PostMessageW(box, WM_COMMAND, IDOK, 0);
                        }}});
        EXPECT_FALSE(DeleteDayMarks(owner.Handle(), marks, festivals, EncodeDate(2024, 2, 29)));
        EXPECT_EQ(script.Left(), 0u);
    }
    EXPECT_NE(warning.find("02月29日"), std::string::npos) << warning;
    EXPECT_EQ(FindWindowW(TFrmMsgDelMark::kClassName, nullptr), nullptr);

    Script cancel({{Dialog(TFrmMsgDelMark::kClassName), [](HWND w) { Press(w, IDCANCEL); }}});
    EXPECT_FALSE(DeleteDayMarks(owner.Handle(), marks, festivals, EncodeDate(2024, 2, 10)));
    EXPECT_EQ(marks.Lines(), (Lines{"10101=春节"}));
}

TEST_F(MarkDialogs, YearPickerStartsInRangeAndTakesWhatIsTyped) {
    struct Case {
        int start;
        const wchar_t* typed;  // null: leave the field
        std::optional<int> result;
        const char* shown;
    } cases[] = {
        {2026, nullptr, 2026, "2026"},     {2026, L"2050", 2050, "2026"},
        {1850, nullptr, 1900, "1900"},     {2200, nullptr, 2100, "2100"},
        {2026, L"", std::nullopt, "2026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " " + WideToUtf8(c.typed ? c.typed : L"-"));
        std::string shown;
        Script script({{Dialog(TFrmInputYear::kClassName), [&](HWND w) {
                            shown = Text(w, TFrmInputYear::Edit1Id);
                            if (c.typed)
                                SetDlgItemTextW(w, TFrmInputYear::Edit1Id, c.typed);
                            SendMessageW(w, WM_COMMAND, IDOK, 0);
                            // Counts only when OK was refused.
                            Press(w, IDCANCEL);
                        }}});
        EXPECT_EQ(RunInputYear(owner.Handle(), c.start), c.result);
        EXPECT_EQ(shown, c.shown);
    }
}

// A year the calendar cannot show is refused with the range named, and the
// field keeps what was typed, so the user can mend it.
TEST_F(MarkDialogs, YearPickerRefusesAYearOutsideTheRangeAndSaysSo) {
    for (const wchar_t* typed : {L"9999", L"2101", L"1899"}) {
        SCOPED_TRACE(WideToUtf8(typed));
        std::string message, kept;
        Script script({
            {Dialog(TFrmInputYear::kClassName),
             [&](HWND w) {
                 SetDlgItemTextW(w, TFrmInputYear::Edit1Id, typed);
                 Press(w, IDOK);
             }},
            {Box(L"警告"),
             [&](HWND box) {
                 message = BoxText(box);
                 PostMessageW(box, WM_COMMAND, IDOK, 0);
             }},
            {Dialog(TFrmInputYear::kClassName),
             [&](HWND w) {
                 kept = Text(w, TFrmInputYear::Edit1Id);
                 SetDlgItemTextW(w, TFrmInputYear::Edit1Id, L"2100");
                 Press(w, IDOK);
             }},
        });
        EXPECT_EQ(RunInputYear(owner.Handle(), 2026), 2100);
        EXPECT_EQ(script.Left(), 0u);
        EXPECT_NE(message.find("1900 到 2100"), std::string::npos) << message;
        EXPECT_EQ(kept, WideToUtf8(typed));
    }
}

// The note's counter follows what is typed; a Gregorian day no year has
// (02-30) is refused with a message, and the editor stays open.
TEST_F(MarkDialogs, EditorCountsTheNoteAndRefusesADayNoYearHas) {
    std::string counterAtStart, counterTyped, counterFull, message, afterMessage;
    Script script({
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             counterAtStart = Text(w, TFrmEditMark::NoteCounterId);
             SetDlgItemTextW(w, TFrmEditMark::NoteEditId, L"买花abc");
             counterTyped = Text(w, TFrmEditMark::NoteCounterId);
             SetDlgItemTextW(w, TFrmEditMark::NoteEditId,
                             L"一二三四五六七八九十一二三四五六七八九十一二三四五");
             counterFull = Text(w, TFrmEditMark::NoteCounterId);
             Choose(w, TFrmEditMark::MonthBoxId, 1);  // 02
             Choose(w, TFrmEditMark::DayBoxId, 29);   // 30
             Press(w, IDOK);
         }},
        {Box(L"警告"),
         [&](HWND box) {
             message = BoxText(box);
             PostMessageW(box, WM_COMMAND, IDOK, 0);
         }},
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             afterMessage = Shown(w);
             Press(w, IDCANCEL);
         }},
    });
    std::string name = "00310", note = "交房租";
    EXPECT_FALSE(RunEditMark(owner.Handle(), marks, name, note));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(counterAtStart, "6/50字节");
    EXPECT_EQ(counterTyped, "7/50字节");
    EXPECT_EQ(counterFull, "50/50字节");
    EXPECT_NE(message.find("02月30日"), std::string::npos) << message;
    EXPECT_EQ(afterMessage, "公历 02 30");
    EXPECT_EQ(name, "00310");
}

// Each dialog: its title in the dialog frame, centred on the work area, its
// shadow behind it while it shows, its controls in 宋体 9.
TEST_F(MarkDialogs, EveryDialogWearsTheFrameAndCastsItsShadow) {
    TFrmEditMark edit(marks);
    TFrmMark all(marks, festivals);
    TFrmMsgDelMark del;
    TFrmInputYear year;
    const struct {
        TDialog* form;
        std::function<bool()> create;
        const char* title;
        int w, h, control;
    } cases[] = {
        {&edit, [&] { return edit.Create(owner.Handle(), "00101", ""); }, "标记",
         TFrmEditMark::kWidth, TFrmEditMark::kHeight, TFrmEditMark::NoteLabelId},
        {&all, [&] { return all.Create(owner.Handle()); }, "日历标记", TFrmMark::kWidth,
         TFrmMark::kHeight, TFrmMark::Label1Id},
        {&del, [&] { return del.Create(owner.Handle(), "公历：01月01日   农历：11月13日"); },
         "清除标记", TFrmMsgDelMark::kWidth, TFrmMsgDelMark::kHeight, TFrmMsgDelMark::CheckBox1Id},
        {&year, [&] { return year.Create(owner.Handle(), 2026); }, "其他", TFrmInputYear::kWidth,
         TFrmInputYear::kHeight, TFrmInputYear::Label1Id},
    };
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    GetMonitorInfoW(MonitorFromWindow(owner.Handle(), MONITOR_DEFAULTTOPRIMARY), &mi);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.title);
        ASSERT_TRUE(c.create());
        const HWND w = c.form->Handle();
        EXPECT_EQ(WindowTextOf(w), c.title);
        ASSERT_NE(DressedPicture(w), nullptr);
        EXPECT_NE(DressedCloseButton(w), nullptr);
        EXPECT_FALSE(GetWindowLongPtrW(w, GWL_STYLE) & WS_CAPTION);
        RECT client, r;
        GetClientRect(w, &client);
        GetWindowRect(w, &r);
        EXPECT_EQ(client.right, c.w);
        EXPECT_EQ(client.bottom, c.h);
        EXPECT_NEAR((r.left + r.right) / 2, (mi.rcWork.left + mi.rcWork.right) / 2, 1);
        EXPECT_NEAR((r.top + r.bottom) / 2, (mi.rcWork.top + mi.rcWork.bottom) / 2, 1);
        EXPECT_EQ(GetWindow(w, GW_OWNER), owner.Handle());

        LOGFONTW lf{};
        const auto font =
            reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(w, c.control), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        GetObjectW(font, sizeof lf, &lf);
        EXPECT_EQ(WideToUtf8(lf.lfFaceName), "宋体");
        WindowDc screen(nullptr);
        EXPECT_EQ(-lf.lfHeight, MulDiv(9, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72));

        ShowWindow(w, SW_SHOWNOACTIVATE);
        const HWND shadow = c.form->Shadow().Handle();
        EXPECT_TRUE(WaitFor([&] { return IsWindow(shadow) && IsWindowVisible(shadow); }, 1000));
        RECT s;
        GetWindowRect(shadow, &s);
        EXPECT_EQ(s.left, r.left - 16);
        EXPECT_EQ(s.bottom, r.bottom + 16);
        ShowWindow(w, SW_HIDE);
        EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(shadow); }, 1000));
    }
}

TEST_F(MarkDialogs, AFailedSaveTellsTheUserAndKeepsTheOldFile) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / "tempora-MarkDialogs-save";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string dataDir = WideToUtf8((dir / "").wstring());
    const std::string file = dataDir + kMarksFileName;
    ASSERT_TRUE(WriteFileAtomic(file, "00101=\r\n"));
    Put({"00501=劳动节"});
    EXPECT_TRUE(SaveMarksOrTell(owner.Handle(), marks, dataDir));

    // The new file cannot be written beside the old one, which stays as it is.
    std::filesystem::create_directory(std::filesystem::path(Utf8ToWide(file + ".tmp~")));
    Put({"00601=儿童节"});
    std::string told;
    {
        Script script({{Box(L"警告"), [&](HWND box) {
                            told = BoxText(box);
                            PostMessageW(box, WM_COMMAND, IDOK, 0);
                        }}});
        EXPECT_FALSE(SaveMarksOrTell(owner.Handle(), marks, dataDir));
        EXPECT_EQ(script.Left(), 0u);
    }
    EXPECT_NE(told.find("Marks.rec"), std::string::npos) << told;
    EXPECT_NE(told.find("原来的文件没有改动"), std::string::npos) << told;
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(file, bytes));
    EXPECT_EQ(bytes, Utf8ToGbk("00501=劳动节\r\n"));
    EXPECT_EQ(marks.MarkNoteOf(0, "0601"), "儿童节");
    std::filesystem::remove_all(dir);
}

// The reminder's choices come in with the mark and go out with OK; the list
// beside them follows the leap policy and the calendar.
TEST_F(MarkDialogs, EditorShowsTheReminderAndTheNextTenDates) {
    Put({"10408=浴佛"});
    auto items = [](HWND w) {
        const HWND list = GetDlgItem(w, TFrmEditMark::NextListId);
        Lines out;
        for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
            std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                              L'\0');
            text.resize(static_cast<size_t>(
                SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            out.push_back(WideToUtf8(text));
        }
        return out;
    };
    // Toggles a check box as a click does.
    auto toggle = [](HWND w, int id) {
        const HWND box = GetDlgItem(w, id);
        const bool on = SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SendMessageW(box, BM_SETCHECK, on ? BST_UNCHECKED : BST_CHECKED, 0);
        SendMessageW(w, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(box));
    };
    std::string shown, leapEnabled;
    Lines ordinary, alsoLeap;
    bool timeEnabled = true;
    Script script({
        {Dialog(TFrmEditMark::kClassName),
         [&](HWND w) {
             shown = Combo(w, TFrmEditMark::BeforeBoxId) + " " + Combo(w, TFrmEditMark::HourBoxId) +
                     ":" + Combo(w, TFrmEditMark::MinuteBoxId) + " " +
                     Combo(w, TFrmEditMark::LeapBoxId) + " " + Combo(w, TFrmEditMark::ShortBoxId);
             leapEnabled = Enabled(w, TFrmEditMark::LeapBoxId) ? "leap" : "-";
             Choose(w, TFrmEditMark::LeapBoxId, 0);
             ordinary = items(w);
             Choose(w, TFrmEditMark::LeapBoxId, 1);
             alsoLeap = items(w);
             // Neither reminder ticked: the time has nothing to set.
             toggle(w, TFrmEditMark::OnDayCheckId);
             toggle(w, TFrmEditMark::BeforeCheckId);
             timeEnabled = Enabled(w, TFrmEditMark::HourBoxId);
             toggle(w, TFrmEditMark::OnDayCheckId);
             Choose(w, TFrmEditMark::MinuteBoxId, 45);
             Choose(w, TFrmEditMark::CalendarBoxId, 0);
             leapEnabled += Enabled(w, TFrmEditMark::LeapBoxId) ? " leap" : " -";
             Press(w, IDOK);
         }},
    });
    std::string name = "10408", note = "浴佛";
    TMarkReminder reminder{
        true, 3, 7 * 60 + 30, {TLeapPolicy::LeapOnly, TShortMonthRule::SkipYear}};
    ASSERT_TRUE(RunEditMark(owner.Handle(), marks, name, note, &reminder));
    EXPECT_EQ(script.Left(), 0u);
    EXPECT_EQ(shown, "03 07:30 只在闰月 当年跳过");
    EXPECT_EQ(leapEnabled, "leap -");
    ASSERT_EQ(ordinary.size(), 10u);
    EXPECT_EQ(ordinary[0], "2026年05月24日 星期日");
    EXPECT_EQ(ordinary[1], "2027年05月13日 星期四");
    // Counting the leap month too still starts with this year's date.
    EXPECT_EQ(alsoLeap.size(), 10u);
    EXPECT_EQ(alsoLeap[0], ordinary[0]);
    EXPECT_FALSE(timeEnabled);
    EXPECT_EQ(name[0], '0');
    EXPECT_EQ(
        reminder,
        (TMarkReminder{true, 0, 7 * 60 + 45, {TLeapPolicy::AlsoLeap, TShortMonthRule::SkipYear}}));
}
