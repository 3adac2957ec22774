#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

TEST(IniFile, ReadsWritesAndKeepsTheFileForm) {
    test::TempDir dir;
    const std::string path = dir.File("a.ini");
    // A missing file gives the defaults.
    const IniFile empty = IniFile::Load(path);
    EXPECT_EQ(empty.ReadInteger("GLOBAL", "MatrixCols", 7), 7);
    EXPECT_TRUE(empty.ReadBool("X", "Y", true));

    IniFile ini;
    ini.WriteInteger("GLOBAL", "MatrixCols", 6);
    ini.WriteString("SHREDDING", "Formula1", "(n1+n2)/Ж");
    ini.WriteFloat("CDL", "Deviation", -1.5);
    ini.WriteBool("CDL", "UsePercents", true);
    ini.WriteInteger("global", "matrixcols", 5);  // names ignore letter case
    ini.Save(path);
    EXPECT_EQ(ReadFileBytes(path),
              "[GLOBAL]\r\nMatrixCols=5\r\n\r\n[SHREDDING]\r\nFormula1=(n1+n2)/\xC6\r\n\r\n"
              "[CDL]\r\nDeviation=-1.5\r\nUsePercents=1\r\n\r\n");
    const IniFile back = IniFile::Load(path);
    EXPECT_EQ(back.ReadString("Shredding", "FORMULA1", ""), "(n1+n2)/Ж");
    EXPECT_EQ(back.ReadFloat("CDL", "Deviation", 0), -1.5);
    EXPECT_TRUE(back.ReadBool("CDL", "UsePercents", false));
}

TEST(IniFile, LenientValues) {
    const IniFile ini = IniFile::Parse(
        "; comment\n[A]\nComma=2,75\nBool=7\nBad=x1\nNoEquals\n Spaced = v w \nkey=1\nKEY=2\n");
    EXPECT_EQ(ini.ReadFloat("A", "Comma", 0), 2.75);
    EXPECT_TRUE(ini.ReadBool("A", "Bool", false));
    EXPECT_EQ(ini.ReadInteger("A", "Bad", 42), 42);
    EXPECT_EQ(ini.ReadFloat("A", "Bad", 1.5), 1.5);
    EXPECT_EQ(ini.ReadString("A", "Spaced", ""), "v w");
    EXPECT_EQ(ini.ReadInteger("A", "Key", 0), 2);
    EXPECT_EQ(FormatFloat(0.1), "0.1");
    EXPECT_EQ(FormatFloat(-0.0), "0");
    double v = 0;
    EXPECT_FALSE(TryParseFloat("1e999", v));
    EXPECT_FALSE(TryParseFloat("", v));
}

// Reading costs the file's length: twenty thousand sections, and as many
// keys in one, read at once (they took minutes when each line searched all
// the sections before it).
TEST(IniFile, LargeFilesReadInOnePass) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "[S" + std::to_string(i) + "]\r\nKey=" + std::to_string(i) + "\r\n";
    text += "[Big]\r\n";
    for (int i = 0; i < 20000; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    text += "k7=last\r\n";
    const IniFile ini = IniFile::Parse(text);
    EXPECT_EQ(ini.ReadInteger("s19999", "KEY", 0), 19999);
    EXPECT_EQ(ini.ReadString("BIG", "K7", ""), "last");
    EXPECT_EQ(ini.ReadInteger("Big", "K19999", 0), 19999);
    IniFile copy = ini;
    copy.EraseSection("S0");
    copy.WriteInteger("s1", "key", 5);
    EXPECT_EQ(copy.ReadInteger("S1", "Key", 0), 5);
    EXPECT_FALSE(copy.HasKey("S0", "Key"));
}

}  // namespace
}  // namespace tessara
