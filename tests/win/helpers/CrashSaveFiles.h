// The four data files the crash-save test has saved again and again, each
// through the program's own writer, and the exact bytes every generation of
// each file holds. Shared by the saving program (CrashSaver.exe) and the test
// that kills it, so that both agree on what a whole file looks like.
#pragma once

#include "calendar/CalendarMarks.h"
#include "calendar/LunarCal.Festivals.h"
#include "core/DateTime.h"
#include "core/Encoding.h"
#include "core/IniFile.h"
#include "core/LineFile.h"
#include "timesvc/SyncTime.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tempora::crashsave {

enum FileId : int { kSkinIni, kWarLst, kMarksRec, kTimeCheck, kFileCount };

inline constexpr const char* kFileNames[kFileCount] = {"skin.ini", "War.lst", "Marks.rec",
                                                       "TimeCheck.lst"};
// The temporary file the atomic writer makes beside its target.
inline constexpr char kTempSuffix[] = ".tmp~";

// The block the saving program shares with the test, updated around every
// save, so that after a kill the test knows which file was being saved and
// which two generations that file may hold.
struct SaveState {
    volatile LONG saving;               // FileId + 1 while that file's save runs, else 0
    volatile LONG writing[kFileCount];  // the generation of the save under way or last begun
    volatile LONG saved[kFileCount];    // the generation last saved in full
    volatile LONG failures;             // saves whose writer reported an error
};

inline const char* kIniSection = "CrashTest";
inline const char* kIniKey = "Save";

// The sizes change from one generation to the next, so that a file cut short
// or padded out never passes for another generation.
inline std::string SkinValue(long g) {
    return std::to_string(g) + " 第" + std::to_string(g) + "次 " +
           std::string(static_cast<size_t>(g * 37 % 700), 'x');
}

inline std::vector<std::string> TaskLines(long g) {
    std::vector<std::string> lines;
    const long tasks = 1 + g % 23;
    for (long i = 0; i < tasks; ++i) {
        lines.push_back("*" + std::string(i % 3 ? "0" : "1") + std::to_string(i % 24) + "时" +
                        std::to_string((g + i) % 60) + "分");
        lines.push_back("3消息 (第" + std::to_string(g) + "次保存, 任务 " + std::to_string(i) +
                        ")");
        if (i % 4 == 0)
            lines.push_back("2播放 (C:\\Sound\\" + std::to_string(g) + ".wav)");
    }
    return lines;
}

// Sorted by name already, as the marks writer sorts them.
inline std::vector<std::string> MarkLines(long g) {
    std::vector<std::string> lines;
    const long marks = 1 + g * 7 % 41;
    for (long i = 0; i < marks; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "0%02ld%02ld", 1 + i / 28, 1 + i % 28);
        lines.push_back(std::string(name) + "=第" + std::to_string(g) + "次 " + std::to_string(i));
    }
    return lines;
}

inline TDateTime CheckTime(long g) {
    return EncodeDateTime(2026, 1, 1, static_cast<int>(g / 3600 % 24),
                          static_cast<int>(g / 60 % 60), static_cast<int>(g % 60)) +
           static_cast<double>(g / 86400);
}

inline std::string JoinLines(const std::vector<std::string>& utf8Lines) {
    std::string text;
    for (const std::string& line : utf8Lines)
        text += line + "\r\n";
    return Utf8ToGbk(text);
}

// The bytes of generation g of a file; `skinBase` is skin.ini as it was
// before the first of these saves.
inline std::string Expected(int file, long g, const std::string& skinBase) {
    switch (file) {
        case kSkinIni:
            return TIniFile::WithValue(skinBase, kIniSection, kIniKey, SkinValue(g));
        case kWarLst:
            return JoinLines(TaskLines(g));
        case kMarksRec:
            return JoinLines(MarkLines(g));
        default:
            return JoinLines({FormatStamp(CheckTime(g))});
    }
}

// Saves generation g of a file in `dir` (ending in "\") through the writer
// the program uses for it; false when the writer reports a failure.
inline bool Save(int file, long g, const std::string& dir) {
    const std::string path = dir + kFileNames[file];
    switch (file) {
        case kSkinIni:
            try {
                TIniFile(path).WriteString(kIniSection, kIniKey, SkinValue(g));
                return true;
            } catch (const EIniWriteError&) {
                return false;
            }
        case kWarLst:
            return WriteLineFile(path, TaskLines(g));
        case kMarksRec: {
            TFestivalList festivals;
            TCalendarMarks marks;
            marks.ReadMarks(JoinLines(MarkLines(g)), festivals);
            return marks.SaveMarks(dir);
        }
        default:
            return WriteTimeCheck(path, CheckTime(g));
    }
}

}  // namespace tempora::crashsave
