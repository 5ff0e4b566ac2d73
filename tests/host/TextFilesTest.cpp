#include "core/Encoding.h"
#include "core/FileSys.h"
#include "core/IniFile.h"
#include "core/LineFile.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tempora;
using tempora::test::TempDir;

namespace {
std::string Slurp(const std::string& path) {
    std::string s;
    ReadFileBytes(path, s);
    return s;
}
}  // namespace

TEST(Encoding, GbkRoundTripAndLengths) {
    const std::string text = "时钟报时：08:00 ABC";
    const std::string gbk = Utf8ToGbk(text);
    EXPECT_EQ(gbk.substr(0, 4), "\xCA\xB1\xD6\xD3");  // 时钟
    EXPECT_EQ(GbkToUtf8(gbk), text);
    EXPECT_EQ(GbkLength(text), 5u * 2 + 9);
    // Characters GBK lacks become '?', broken input never stops the conversion.
    EXPECT_EQ(Utf8ToGbk("a\U0001F600b"), "a?b");
    EXPECT_EQ(Utf8ToGbk(std::string("a\xC3") + 'b'), "a?b");
    EXPECT_EQ(GbkToUtf8("x\x81").substr(0, 1), "x");
    EXPECT_EQ(GbkToUtf8(std::string("\x81\x00y", 3)).back(), 'y');
    EXPECT_EQ(Utf8ToWide("时a"), L"时a");
    EXPECT_EQ(WideToUtf8(L"钟b"), "钟b");
    EXPECT_TRUE(IsValidUtf8("时钟"));
    EXPECT_FALSE(IsValidUtf8("\xB1\xCA"));      // 时 in GBK is no UTF-8
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // a UTF-16 surrogate
    EXPECT_TRUE(IsValidGbk(gbk));
    EXPECT_TRUE(IsValidGbk("\x80"));  // the euro sign, alone
    for (const char* broken : {"\x81\x20", "a\xCA", "\xFF\x41", "\xCA\x7F", "\xCA\xFF"})
        EXPECT_FALSE(IsValidGbk(broken)) << broken;
}

TEST(LineFile, SplitsAnyLineEndAndWritesGbkCrLf) {
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_TRUE(SplitLines("").empty());

    TempDir dir;
    const std::string path = dir.File("War.lst");
    ASSERT_TRUE(WriteLineFile(path, {"任务一", "", "b"}));
    EXPECT_EQ(Slurp(path), Utf8ToGbk("任务一") + "\r\n\r\nb\r\n");
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadLineFile(path, lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"任务一", "", "b"}));
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp~"));

    EXPECT_FALSE(ReadLineFile(dir.File("missing.lst"), lines));
    EXPECT_TRUE(lines.empty());
    // A folder where the file should be: the write fails and leaves the folder alone.
    std::filesystem::create_directory(dir.File("Marks.rec"));
    EXPECT_FALSE(WriteLineFile(dir.File("Marks.rec"), {"x"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("Marks.rec")));
}

TEST(IniFile, ReadsValuesByTheirTypeRules) {
    TempDir dir;
    const std::string path = dir.File("skin.ini");
    ASSERT_TRUE(WriteFileAtomic(path,
                                "; comment\r\n"
                                "stray=1\r\n"
                                "[Bar]\r\n"
                                " Left = 692 \r\n"
                                "HEX1=0x1F\r\nHEX2=$ff\r\nneg=-50\r\nbig=99999999999\r\n"
                                "yes=yes\r\ntwo=2\r\nempty=\r\nspaced=1 2\r\n"
                                "colour=0xFFFFFFFF\r\n"
                                "[skin]\r\nSkinFile=\"Dark Glass.sk\"\r\nName=" +
                                    Utf8ToGbk("红漆") + "\r\n"));
    const TIniFile ini(path);
    struct {
        const char* key;
        int32_t want;
    } ints[] = {{"left", 692}, {"HEX1", 31},   {"hex2", 255},  {"neg", -50},
                {"big", 7},    {"yes", 7},     {"two", 2},     {"empty", 7},
                {"spaced", 7}, {"colour", -1}, {"missing", 7}, {"stray", 7}};
    for (const auto& c : ints)
        EXPECT_EQ(ini.ReadInteger("BAR", c.key, 7), c.want) << c.key;
    EXPECT_TRUE(ini.ReadBool("BAR", "two", false));
    EXPECT_FALSE(ini.ReadBool("BAR", "yes", false));
    EXPECT_TRUE(ini.ReadBool("BAR", "yes", true));
    EXPECT_EQ(ini.ReadString("SKIN", "skinfile", ""), "Dark Glass.sk");
    EXPECT_EQ(ini.ReadString("SKIN", "name", ""), "红漆");
    EXPECT_EQ(ini.ReadString("LED", "FontName", "Tahoma"), "Tahoma");
    EXPECT_TRUE(ini.SectionExists("bar"));
    EXPECT_FALSE(ini.ValueExists("bar", "nothing"));
}

TEST(IniFile, LongTextsAreCutAtTheLimitOnACharacterBoundary) {
    TempDir dir;
    const std::string path = dir.File("skin.ini");
    std::string longText(2046, 'a');
    longText += "时钟";
    TIniFile(path).WriteString("S", "K", longText);
    const std::string read = TIniFile(path).ReadString("S", "K", "");
    EXPECT_EQ(read, std::string(2046, 'a') + "时");
}

TEST(IniFile, WritesOneKeyAndKeepsEveryOtherLine) {
    TempDir dir;
    const std::string path = dir.File("skin.ini");
    TIniFile ini(path);  // no file yet: the first write creates it
    ini.WriteInteger("BAR", "Left", 100);
    ini.WriteBool("CLOCK", "Alarm", true);
    ini.WriteInteger("bar", "TOP", 5);
    ini.WriteInteger("Bar", "left", 120);
    ini.WriteString("SKIN", "SkinFile", "line\r\nbreak");
    EXPECT_EQ(Slurp(path),
              "[BAR]\r\nleft=120\r\nTOP=5\r\n\r\n[CLOCK]\r\nAlarm=1\r\n\r\n[SKIN]\r\n"
              "SkinFile=line  break\r\n");

    // Another writer's change made after this object was created survives.
    TIniFile other(path);
    ini.WriteInteger("MSG", "AutoSec", 9);
    other.WriteInteger("MSG", "Tran", 180);
    const TIniFile fresh(path);
    EXPECT_EQ(fresh.ReadInteger("MSG", "AutoSec", 0), 9);
    EXPECT_EQ(fresh.ReadInteger("MSG", "Tran", 0), 180);
    EXPECT_TRUE(fresh.ReadBool("CLOCK", "Alarm", false));
}

TEST(IniFile, RefusedWriteRaisesTheErrorWithTheFileName) {
    TempDir dir;
    const std::string path = dir.File("skin.ini");
    std::filesystem::create_directory(path);
    const TIniFile asDir(path);
    EXPECT_EQ(asDir.ReadInteger("BAR", "Tr", 200), 200);
    try {
        TIniFile(path).WriteInteger("BAR", "Tr", 100);
        FAIL() << "no error";
    } catch (const EIniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
    }
    EXPECT_THROW(TIniFile(dir.File("no/such/folder.ini")).WriteBool("A", "B", true),
                 EIniWriteError);
}

TEST(FileSys, AReadOnlyFileIsNeverReplaced) {
    TempDir dir;
    const std::string path = dir.File("War.lst");
    ASSERT_TRUE(WriteFileAtomic(path, "old"));
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(WriteFileAtomic(path, "new"));
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_FALSE(FileExists(path + ".tmp~"));
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(WriteFileAtomic(path, "new"));
    EXPECT_EQ(Slurp(path), "new");
}
