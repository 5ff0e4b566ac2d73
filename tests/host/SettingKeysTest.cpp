// The table of skin.ini's keys: what the program's writer stores, its
// reader gives back, for every key; a stored value outside a key's range
// reads as its default; and every key the program writes is in the table.
#include "core/SettingKeys.h"

#include "TempDir.h"
#include "app/UnitOptions.h"
#include "core/FileSys.h"
#include "reminders/PopupProtocol.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

using namespace tempora;

namespace {

// A value of `k` other than its default, as the reader should give it back.
int32_t OtherInt(const TSettingKey& k) {
    if (k.type == TKeyType::Bool)
        return k.def ? 0 : 1;
    return k.def == k.hi ? k.lo : k.hi;
}

std::string OtherText(const TSettingKey& k) {
    return std::string("值 ") + k.section + "/" + k.name;  // GBK on disk, UTF-8 here
}

std::string Id(const TSettingKey& k) {
    return std::string(k.section) + "/" + k.name;
}

}  // namespace

TEST(SettingKeys, EveryKeyWrittenByTheWriterReadsBackThroughTheReader) {
    test::TempDir dir;
    const std::string path = dir.File("skin.ini");
    ASSERT_TRUE(WriteFileAtomic(path, "[OTHER]\r\nKept=1\r\n"));

    std::vector<TIniValue> values;
    std::set<std::string> seen;
    for (const TSettingKey* k : SettingKeys()) {
        EXPECT_TRUE(seen.insert(Id(*k)).second) << Id(*k) << " twice in the table";
        switch (k->type) {
            case TKeyType::Bool:
                values.push_back(BoolValue(*k, OtherInt(*k) != 0));
                break;
            case TKeyType::Int:
                EXPECT_LE(k->lo, k->def) << Id(*k);
                EXPECT_LE(k->def, k->hi) << Id(*k);
                values.push_back(IntValue(*k, OtherInt(*k)));
                break;
            case TKeyType::Text:
                values.push_back(TextValue(*k, OtherText(*k)));
                break;
        }
    }
    WriteSettings(path, values);

    const TIniFile ini(path);
    for (const TSettingKey* k : SettingKeys()) {
        SCOPED_TRACE(Id(*k));
        if (k->type == TKeyType::Text) {
            EXPECT_EQ(ReadText(ini, *k), OtherText(*k));
        } else {
            EXPECT_EQ(ReadInt(ini, *k), OtherInt(*k));
            EXPECT_EQ(ReadBool(ini, *k), OtherInt(*k) != 0);
        }
    }
    EXPECT_EQ(ini.ReadString("OTHER", "Kept", ""), "1");

    // A missing file reads every key's default.
    const TIniFile none(dir.File("none.ini"));
    for (const TSettingKey* k : SettingKeys()) {
        SCOPED_TRACE(Id(*k));
        if (k->type == TKeyType::Text)
            EXPECT_EQ(ReadText(none, *k), k->text);
        else
            EXPECT_EQ(ReadInt(none, *k), k->def);
    }
}

TEST(SettingKeys, AValueOutsideItsRangeReadsAsTheDefaultAndIsNeverWritten) {
    for (const TSettingKey* k : SettingKeys()) {
        if (k->type != TKeyType::Int || (k->lo == INT32_MIN && k->hi == INT32_MAX))
            continue;
        SCOPED_TRACE(Id(*k));
        for (int64_t outside : {int64_t{k->lo} - 1, int64_t{k->hi} + 1}) {
            const std::string text = std::string("[") + k->section + "]\r\n" + k->name + "=" +
                                     std::to_string(outside) + "\r\n";
            EXPECT_EQ(ReadInt(TIniFile("skin.ini", text), *k), k->def) << outside;
        }
        EXPECT_EQ(IntValue(*k, int64_t{k->lo} - 1).value, std::to_string(k->lo));
        EXPECT_EQ(IntValue(*k, int64_t{k->hi} + 1).value, std::to_string(k->hi));
    }
}

TEST(SettingKeys, TheBarAndThePopupAgreeOnTheMessageKeys) {
    // One rule for the popup program and the options dialog: 0 and 30 are
    // outside 55 … 255 and read as the default, never as a nearly invisible popup.
    for (const char* text : {"[MSG]\r\nTran=0\r\nAutoSec=1\r\n", "[MSG]\r\nTran=30\r\n",
                             "[MSG]\r\nTran=100\r\nAutoSec=60\r\nAuto=0\r\n"}) {
        SCOPED_TRACE(text);
        const TIniFile ini("skin.ini", text);
        const TPopupSettings popup = ReadPopupSettings(ini);
        const TOptionsValues dialog = ReadOptionsValues(ini);
        EXPECT_EQ(popup.Tran, dialog.msgAlpha);
        EXPECT_EQ(popup.AutoSec, dialog.autoSec);
        EXPECT_EQ(popup.Auto, dialog.msgAuto);
    }
}

TEST(SettingKeys, EveryKeyTheOptionsDialogWritesIsInTheTable) {
    std::set<std::pair<std::string, std::string>> table;
    for (const TSettingKey* k : SettingKeys())
        table.insert({k->section, k->name});
    TOptionsValues v;
    v.ledFont = false;  // the font keys too
    for (const TIniValue& x : OptionsIniValues(v))
        EXPECT_TRUE(table.count({x.section, x.key})) << x.section << "/" << x.key;
}
