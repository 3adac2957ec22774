#include <gtest/gtest.h>

#include "stakes/stake_cost.h"
#include "stakes/stake_record.h"
#include "model/error.h"

#include "base/config.h"
#include "base/view_keys.h"
#include "app/workspace.h"
#include "model/encoding.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

class ConfigTest : public ::testing::Test {
protected:
    void WriteConfig(const std::string& utf8) {
        test::WriteBytes(dir.File(ConfigFileName), Utf8ToCp1251(utf8));
    }
    test::TempDir dir;
    test::RecordingHost host;
};

TEST_F(ConfigTest, DefaultsWithoutAFile) {
    Workspace ws(host, dir.Path());
    ws.LoadConfig();
    ws.LoadProxySettings();
    EXPECT_TRUE(host.Messages.empty());
    const TConfigData& c = ws.Config();
    EXPECT_EQ(c.MatrixCols, 7);
    EXPECT_EQ(MatrixRowCount(1, 42, c.MatrixCols), 6);
    EXPECT_EQ(c.ChannelSize, 7);
    EXPECT_EQ(c.Cost, 0);
    EXPECT_EQ(c.MaxStake, 10);
    EXPECT_TRUE(c.Profits.empty());
    EXPECT_EQ(c.Coefs, TCDLCoefs{});
    EXPECT_EQ(c.Coefs.Deviation, -1);
    EXPECT_EQ(c.SegmentsText(), std::string(42, '1'));
    EXPECT_EQ(ws.Shredding(), TShreddingConfig{});
    EXPECT_EQ(ws.Shredding().Formulas[2], "(n1+n3+n5)/(n2+n4+n6)");
    EXPECT_EQ(ws.Proxy().Mode, 0);
    EXPECT_EQ(ws.Proxy().Port, 80);
    EXPECT_FALSE(FileExists(dir.File(ConfigFileName)));
}

TEST_F(ConfigTest, ValuesSegmentsPrizesAndProxyMode) {
    WriteConfig(
        "[GLOBAL]\r\nMatrixCols=6\r\nMatrixSegments=123\r\nChannelSize=5\r\n"
        "CombsGenerateMode=2\r\nCombsGenerateParameters=1;2;Ж\r\n"
        "[STAKES]\r\nCost=12,34567\r\nMaxStake=8\r\nProfits=2\r\n"
        "Profit_0_Overlap=3\r\nProfit_0_Profit=100\r\nProfit_1_Overlap=6\r\nProfit_1_Profit=1000000\r\n"
        "[CDL]\r\nCount=0,5\r\nDeviation=-2.25\r\nUsePercents=5\r\n"
        "[SHREDDING]\r\nFormula2=n1*2\r\nFormula2Digits=3\r\n"
        "[PROXY]\r\nProxyServer=proxy.local\r\nProxyPort=3128\r\n");
    Workspace ws(host, dir.Path());
    ws.LoadConfig();
    ws.LoadProxySettings();
    EXPECT_TRUE(host.Messages.empty());
    const TConfigData& c = ws.Config();
    EXPECT_EQ(c.MatrixCols, 6);
    EXPECT_EQ(c.ChannelSize, 5);
    EXPECT_EQ(c.MatrixSegments[0], 1);
    EXPECT_EQ(c.MatrixSegments[1], 2);
    EXPECT_EQ(c.MatrixSegments[2], 3);
    EXPECT_EQ(c.MatrixSegments[3], 1);
    EXPECT_EQ(c.Cost, 123457);  // 12.34567 x 10,000, rounded
    EXPECT_EQ(c.MaxStake, 8);
    EXPECT_EQ(c.Profits, (std::vector<TPrizeRow>{{3, 1000000}, {6, 10000000000}}));
    EXPECT_EQ(c.Coefs.Count, 0.5);
    EXPECT_EQ(c.Coefs.Deviation, -2.25);
    EXPECT_EQ(c.Coefs.Level, 1);
    EXPECT_TRUE(c.Coefs.UsePercents);
    EXPECT_EQ(ws.GenerateDefaults().Mode, 2);
    EXPECT_EQ(ws.GenerateDefaults().Parameters, "1;2;Ж");
    EXPECT_EQ(ws.Shredding().Formulas[1], "n1*2");
    EXPECT_EQ(ws.Shredding().Digits[1], 3);
    EXPECT_EQ(ws.Proxy().Mode, 2);  // no ProxyMode with a server: manual
    EXPECT_EQ(ws.Proxy().Port, 3128);

    // Saving writes the 42-digit segments, "." amounts, CR LF and Windows-1251.
    TConfigData edited = c;
    edited.ChannelSize = 9;
    const TChangedFamilies changed = ws.ApplyConfig(edited);
    EXPECT_TRUE(changed.Channel);
    EXPECT_FALSE(changed.Matrix || changed.Segment);
    const std::string bytes = ReadFileBytes(dir.File(ConfigFileName));
    EXPECT_NE(bytes.find("MatrixSegments=123" + std::string(39, '1') + "\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Cost=12.3457\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Profit_1_Profit=1000000\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("CombsGenerateParameters=1;2;\xC6\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Count=0.5\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find('\n', 0), bytes.find("\r\n", 0) + 1);

    Workspace again(host, dir.Path());
    again.LoadConfig();
    EXPECT_EQ(again.Config(), edited);
}

TEST_F(ConfigTest, BrokenLineKeepsWhatWasReadBefore) {
    WriteConfig("[GLOBAL]\r\nMatrixCols=5\r\nthis line is broken\r\nChannelSize=9\r\n"
                "[STAKES]\r\nMaxStake=7\r\n");
    Workspace ws(host, dir.Path());
    ws.LoadConfig();
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(host.Messages[0].Text,
              "Ошибка чтения файла конфигурации!\r\rСтрока 3: \"this line is broken\"");
    EXPECT_EQ(ws.Config().MatrixCols, 5);
    EXPECT_EQ(ws.Config().ChannelSize, 7);
    EXPECT_EQ(ws.Config().MaxStake, 10);
    EXPECT_EQ(host.BusyCount(), 0);
}

TEST_F(ConfigTest, UnreadableValueStopsReadingThere) {
    WriteConfig("[GLOBAL]\r\nMatrixCols=6\r\nChannelSize=x\r\n[STAKES]\r\nMaxStake=7\r\n");
    Workspace ws(host, dir.Path());
    ws.LoadConfig();
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_TRUE(host.Messages[0].Text.starts_with("Ошибка чтения файла конфигурации!\r\r"));
    EXPECT_EQ(ws.Config().MatrixCols, 6);
    EXPECT_EQ(ws.Config().MaxStake, 10);
    // Geometry the views divide by stays usable whatever the file says.
    WriteConfig("[GLOBAL]\r\nMatrixCols=0\r\nChannelSize=-3\r\n");
    Workspace zero(host, dir.Path());
    zero.LoadConfig();
    EXPECT_EQ(zero.Config().MatrixCols, 0);
    EXPECT_EQ(zero.MatrixCols(), 1);
    EXPECT_EQ(zero.ChannelSize(), 1);
}

TEST_F(ConfigTest, ChangedFamiliesAndMoney) {
    TConfigData a, b;
    b.MatrixSegments[41] = 2;
    EXPECT_TRUE(ChangedFamilies(a, b).Segment);
    EXPECT_FALSE(ChangedFamilies(a, b).Matrix || ChangedFamilies(a, b).Channel);
    b = a;
    b.MatrixCols = 6;
    EXPECT_TRUE(ChangedFamilies(a, b).Matrix);
    EXPECT_FALSE(ChangedFamilies(a, a).Any());
    EXPECT_EQ(MoneyFromAmount(0.00005), 1);
    EXPECT_EQ(MoneyFromAmount(-1.23456), -12346);
    EXPECT_EQ(FormatMoney(25000), "2.50");
    EXPECT_EQ(FormatMoneyValue(1000000), "100");
    EXPECT_EQ(FormatMoneyValue(1), "0.0001");

    // Amounts past the limit are refused, so that the cost of the largest
    // stake plus a prize always fits (it overflowed with a cost of 9e14).
    for (const char* cost : {"100000000001", "-100000000001", "900000000000000"}) {
        IniFile ini = IniFile::Parse(std::string("[STAKES]\r\nCost=") + cost + "\r\n");
        TConfigData c;
        EXPECT_THROW(ReadConfigSections(ini, c), Error) << cost;
    }
    TConfigData c;
    ReadConfigSections(IniFile::Parse("[STAKES]\r\nCost=100000000000\r\nProfits=1\r\n"
                                      "Profit_0_Overlap=6\r\nProfit_0_Profit=-100000000000\r\n"),
                       c);
    EXPECT_EQ(StakeCost(c, MaxStakeNumbers, 6), -925 * MoneyFromAmount(1e11));
}

TEST_F(ConfigTest, ViewStateKeysAndDefaults) {
    EXPECT_EQ(MainViewDefault("DrawsStatLen"), 1000);
    EXPECT_EQ(MainViewDefault("ColorDraws"), 1);
    EXPECT_EQ(MainViewDefault("Language"), 1049);
    EXPECT_EQ(MainViewDefault("LayoutCompareLen5"), 400);
    const ViewState view(dir.File("tessara.frm"));
    EXPECT_EQ(view.ReadInteger(MainWindowSection, "DrawsStatLen", 1000), 1000);
    view.WriteInteger(MainWindowSection, "DrawsStatLen", 500);
    view.WriteInteger("TFormRepeats", "GraphHeight", 90);
    view.WriteBool(MainWindowSection, "SortedDraws", true);
    EXPECT_EQ(ReadFileBytes(view.Path()),
              "[TFormMain]\r\nDrawsStatLen=500\r\nSortedDraws=1\r\n\r\n"
              "[TFormRepeats]\r\nGraphHeight=90\r\n\r\n");
}

}  // namespace
}  // namespace tessara
