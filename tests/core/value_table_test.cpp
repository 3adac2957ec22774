#include <filesystem>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "model/error.h"
#include "model/files.h"
#include "stats/filter.h"
#include "stats/prefetch.h"
#include "stats/value_table.h"
#include "stat_test_support.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;

class ValueTableTest : public ::testing::Test {
protected:
    ValueTableTest() : ws(host, dir.Path()) {
        ws.InitGameTables();
        ws.RegisterStats();
        ws.Archive().Draws() = {
            MakeDraw(1, {1, 2, 3, 4, 5, 6}),       MakeDraw(2, {1, 7, 8, 9, 10, 11}),
            MakeDraw(3, {1, 2, 12, 13, 14, 15}),   MakeDraw(4, {16, 17, 18, 19, 20, 21}),
            MakeDraw(5, {1, 2, 3, 22, 23, 24}),
        };
    }
    int Method(const char* code) { return ws.Stats().FindMethod(code); }
    TValueTable Table(const char* code, int len, int offset, bool prefetch = false) {
        TValueTableOptions o;
        o.SampleLength = len;
        o.Offset = offset;
        o.Prefetch = prefetch;
        return ComputeValueTable(ws.StatSource(), Method(code), o);
    }
    static std::string Line(const TValueTable& t, const std::string& value) {
        for (const auto& r : t.Rows)
            if (r.Cells[vcValue] == value) {
                std::string s;
                for (const auto& cell : r.Cells) s += (s.empty() ? "" : " ") + cell;
                return s;
            }
        return "(none)";
    }
    void GenerateFull() {
        ws.ReserveCombs(ws.TotalCombs(), 0);
        ASSERT_TRUE(ws.GenerateCombs(true, {}));
    }

    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws;
};

TEST_F(ValueTableTest, NumbersTableOverASmallArchive) {
    const TValueTable t = Table("NUMS", 4, 1);
    EXPECT_EQ(t.First, 0);
    EXPECT_EQ(t.Last, 3);
    EXPECT_EQ(t.SampleSize, 4);
    ASSERT_EQ(t.Rows.size(), 42u);
    // Value, count, %, norm, deviation, deviation %, depth, depth %, weight,
    // last draw, period min, period, period max, three expectations, fact and
    // the three differences.
    EXPECT_EQ(Line(t, "1"), "1 3 12.50000 - - - 2 50.00 2.00 3 1 1.3333 1 4 4 5 5 -1 -1 0");
    // (3 + 1) x 3 / 2 = 4.5 rounds to the even 4.
    EXPECT_EQ(Line(t, "2"), "2 2 8.33333 - - - 2 50.00 2.00 3 2 2.0000 2 5 4 5 5 0 -1 0");
    EXPECT_EQ(Line(t, "7"), "7 1 4.16667 - - - 3 75.00 3.00 2 - - - - 4 4 - - - -");
    // (1 + 2) x (4 + 1) / 2 = 7.5 rounds to the even 8.
    EXPECT_EQ(Line(t, "16"), "16 1 4.16667 - - - 1 25.00 1.00 4 - - - - 8 8 - - - -");
    EXPECT_EQ(Line(t, "42"), "42 0 0.00000 - - - - - - - - - - - - - - - - -");
    // Sorted by count, ascending, to start with.
    EXPECT_EQ(t.Rows.front().Row.Count, 0);
    EXPECT_EQ(t.Rows.back().Cells[vcValue], "1");
    // Without the full set the chart shows the counts in key order.
    ASSERT_EQ(t.Actual.size(), 42u);
    EXPECT_EQ(t.Actual[0].Label, "1");
    EXPECT_EQ(t.Actual[0].Y, 3);
    EXPECT_TRUE(t.Ideal.empty());
}

TEST_F(ValueTableTest, SampleBoundsAndFactAtTheEnd) {
    // A sample longer than the archive starts at the first draw.
    const TValueTable all = Table("NUMS", 1000, 0);
    EXPECT_EQ(all.First, 0);
    EXPECT_EQ(all.SampleSize, 5);
    // No draw follows the sample: no fact anywhere.
    for (const auto& r : all.Rows) EXPECT_EQ(r.Cells[vcFact], "-") << r.Cells[vcValue];
    // An offset past the archive leaves an empty sample.
    const TValueTable none = Table("NUMS", 10, 7);
    EXPECT_EQ(none.SampleSize, 0);
    EXPECT_TRUE(none.Rows.empty());
    const TStatValues v = RowValues(&all.Rows.back());
    EXPECT_EQ(v[0], "1");
    EXPECT_EQ(v[1], "4");
    EXPECT_EQ(v[3], "-");
    EXPECT_EQ(v[10], "2");
    EXPECT_EQ(RowValues(nullptr)[0], "");
}

// The next occurrence of every value of every method, found for many rows
// at once, is what a search from each row's last draw finds.
TEST_F(ValueTableTest, FactsAsEachRowsOwnSearch) {
    ws.Archive().Draws() = test::RandomDraws(90, 5);
    int compared = 0;
    for (int method = 0; method < ws.Stats().Count(); ++method) {
        if (!ws.Stats().IsAvailable(method)) continue;
        TValueTableOptions o;
        o.SampleLength = 40;
        o.Offset = 30;
        const TValueTable t = ComputeValueTable(ws.StatSource(), method, o);
        // An instance that has worked out the sample, as the table's has.
        const std::unique_ptr<TCustomStat> stat = ws.Stats().CreateStat(method);
        TStatDrawArray rows;
        stat->FillAllValues(t.Last, rows);
        TStatScratch scratch{};
        TLastValueArray lastValues;
        for (int i = t.First; i <= t.Last; ++i) stat->AddDrawValues(i, t.Last, false, rows, scratch, lastValues);
        for (const TValueTableRow& r : t.Rows) {
            if (r.Row.Depth == 0) continue;  // not in the sample: no fact
            const int from = ws.StatSource().Archive().FindDrawIndex(r.Row.LastDraw + 1);
            const int32_t fact = from < 0 ? -1 : stat->FindNextOccurrence(r.Row, from, false, t.Last);
            ASSERT_EQ(r.Cells[vcFact], fact < 0 ? "-" : std::to_string(fact))
                << ws.Stats().Items(method).Code() << " " << r.Cells[vcValue];
            compared += fact >= 0;
        }
    }
    EXPECT_GT(compared, 1000);
}

TEST_F(ValueTableTest, SortingKeepsDashesLast) {
    TValueTable t = Table("NUMS", 4, 1);
    SortValueTable(t, vcFact, true);
    EXPECT_EQ(t.Rows.front().Cells[vcFact], "5");
    EXPECT_EQ(t.Rows.back().Cells[vcFact], "-");
    SortValueTable(t, vcValue, true);
    EXPECT_EQ(t.Rows.front().Cells[vcValue], "42");
    SortValueTable(t, vcDepth, false);
    EXPECT_EQ(t.Rows.front().Cells[vcDepth], "1");
}

TEST_F(ValueTableTest, WeightFormula) {
    TStatDraw r{};
    r.Count = 30;
    r.Norm = 20;
    r.Depth = 4;
    const TStatSummary s{1, 30, 8, 120};
    EXPECT_DOUBLE_EQ(RowWeight(r, true, s, TCDLCoefs{}), 4 - 10);
    EXPECT_DOUBLE_EQ(RowWeight(r, false, s, TCDLCoefs{}), 4);
    TCDLCoefs p{1, -1, 1, true, false};
    EXPECT_DOUBLE_EQ(RowWeight(r, true, s, p), 25 - 50 + 50);
    TCDLCoefs a{0, 1, 0, false, true};
    r.Norm = 40;
    EXPECT_DOUBLE_EQ(RowWeight(r, true, s, a), 10);
    TCDLCoefs huge{1e308, 1e308, 0, false, false};
    r.Count = 1000;
    EXPECT_DOUBLE_EQ(RowWeight(r, true, s, huge), -999.99);
}

TEST_F(ValueTableTest, PrefetchFileLayoutAndNorms) {
    const std::string path = PrefetchFileName(ws.StatSource(), Method("NUMS"));
    EXPECT_EQ(path, dir.File("Prefetchs/tessara_NUMS.dfc"));
    const TValueTable t = Table("NUMS", 4, 1, true);
    ASSERT_TRUE(t.HasPrefetch);
    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 43u * 12);
    TPrefetchData data;
    ASSERT_TRUE(ParsePrefetchBytes(bytes, data));
    for (int i = 0; i < 42; ++i) {
        EXPECT_EQ(data.Records[i].Key, MakeKey(static_cast<uint16_t>(i + 1)));
        EXPECT_EQ(data.Records[i].Count, 749398);
    }
    EXPECT_EQ(data.MinCount, 749398);
    EXPECT_EQ(data.MaxCount, 749398);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0'));
    // fmin = fmax: every norm is the midpoint of the observed counts (0 and 3).
    EXPECT_EQ(Line(t, "1"), "1 3 12.50000 2 1 50.00000 2 50.00 1.00 3 1 1.3333 1 4 4 5 5 -1 -1 0");
    EXPECT_EQ(Line(t, "42"), "42 0 0.00000 2 -2 -100.00000 - - - - - - - - - - - - - -");
    ASSERT_EQ(t.Ideal.size(), 42u);
    EXPECT_DOUBLE_EQ(t.Ideal[0].Y, 1.5);
    // The working list passed through the undo copy and came back.
    EXPECT_EQ(ws.UndoCount(), 0);

    // An empty file is rebuilt on the next computation.
    test::WriteBytes(path, "");
    EXPECT_TRUE(Table("NUMS", 4, 1, true).HasPrefetch);
    EXPECT_EQ(std::filesystem::file_size(path), 43u * 12);
    // So is one of the right size whose counts are absurd, or whose trailer
    // does not hold the least and greatest count: it reads as damaged, which
    // rebuilds it as above.
    std::string absurd = bytes;
    absurd.replace(8, 4, "\xFF\xFF\xFF\x7F");  // the first count: 2^31 - 1
    std::string trailer = bytes;
    trailer.replace(bytes.size() - 8, 4, std::string(4, '\0'));  // greatest 0
    std::string negative = bytes;
    negative.replace(bytes.size() - 16, 4, "\xFF\xFF\xFF\xFF");  // the last count: -1
    for (const std::string& damaged : {absurd, trailer, negative}) EXPECT_FALSE(ParsePrefetchBytes(damaged, data));
    EXPECT_TRUE(ParsePrefetchBytes(bytes, data));
    // Methods without feature N never use the full set.
    EXPECT_FALSE(Table("SUMT", 4, 1, true).HasPrefetch);
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(ValueTableTest, PrefetchCountsAddUpToTheFullSet) {
    ASSERT_TRUE(BuildPrefetch(ws, Method("EVEN")));
    TPrefetchData data;
    ASSERT_TRUE(ParsePrefetchBytes(ReadFileBytes(PrefetchFileName(ws.StatSource(), Method("EVEN"))), data));
    ASSERT_EQ(data.Records.size(), 7u);
    int64_t total = 0;
    for (const auto& r : data.Records) total += r.Count;
    EXPECT_EQ(total, 5245786);
    EXPECT_EQ(data.Records[0].Count, 54264);   // C(21,6): no even number
    EXPECT_EQ(data.Records[3].Count, 1768900);  // C(21,3)^2
    EXPECT_EQ(data.MaxCount, 1768900);
    EXPECT_EQ(data.MinCount, 54264);
    EXPECT_FALSE(ParsePrefetchBytes("12345", data));
}

TEST_F(ValueTableTest, KeepAndRemoveSelectedNumbers) {
    GenerateFull();
    const int nums = Method("NUMS");
    TStatDrawArray sel(2);
    sel[0].Key = MakeKey(7);
    sel[1].Key = MakeKey(13);
    ASSERT_TRUE(ApplyStatFilter(ws, nums, sel, {"7", "13"}, false, "{ num } Числа тиража [ N ]"));
    EXPECT_EQ(ws.CombsCount(), 5245786 - 3838380);
    for (int64_t i = 0; i < ws.CombsCount(); i += 997)
        EXPECT_TRUE(CombHasNumber(7, ws.Combs()[i]) || CombHasNumber(13, ws.Combs()[i]));
    ASSERT_EQ(ws.FilterLog().size(), 1u);
    EXPECT_EQ(ws.FilterLog()[0].Value, "7; 13");
    EXPECT_EQ(ws.FilterLog()[0].Icon, TLogIcon::Include);
    EXPECT_EQ(ws.FilterLog()[0].Count, ws.CombsCount());
    ASSERT_TRUE(ws.UndoLastOperation());
    ASSERT_TRUE(ApplyStatFilter(ws, nums, sel, {"7", "13"}, true, "x"));
    EXPECT_EQ(ws.CombsCount(), 3838380);
    EXPECT_EQ(ws.Combs()[0], (TCombination{{1, 2, 3, 4, 5, 6}}));  // order kept

    // A value no combination has: keeping empties, removing changes nothing.
    TStatDrawArray none(1);
    none[0].Key = MakeKey(43);
    ASSERT_TRUE(ApplyStatFilter(ws, nums, none, {"43"}, true, "x"));
    EXPECT_EQ(ws.CombsCount(), 3838380);
    ASSERT_TRUE(ApplyStatFilter(ws, nums, none, {"43"}, false, "x"));
    EXPECT_EQ(ws.CombsCount(), 0);
    EXPECT_EQ(ws.FilterLog().back().Count, 0);
    // Filtering an empty list adds no journal row.
    const size_t rows = ws.FilterLog().size();
    ASSERT_TRUE(ApplyStatFilter(ws, nums, sel, {"7"}, false, "x"));
    EXPECT_EQ(ws.FilterLog().size(), rows);
    // An empty selection leaves the list untouched.
    EXPECT_TRUE(ApplyStatFilter(ws, nums, {}, {}, false, "x"));
    EXPECT_EQ(ws.FilterLog().size(), rows);
}

TEST_F(ValueTableTest, FiltersAgreeWithTheirTests) {
    // The fast filtering paths must keep exactly what CombMatches accepts.
    GenerateFull();
    TCombList full;  // every seventh combination keeps the test quick
    for (int64_t i = 0; i < ws.CombsCount(); i += 7) full.Append(ws.Combs()[i]);
    for (const char* code : {"NUMS", "SUMS", "EVEN", "POS3", "SUM2", "DIGS", "SUMT", "EVNV"}) {
        const int m = Method(code);
        auto stat = ws.Stats().CreateStat(m);
        const TValueTable t = Table(code, 5, 0);
        TStatDrawArray sel;
        for (size_t i = 0; i < t.Rows.size(); i += 3) sel.push_back(t.Rows[i].Row);
        std::vector<TCombination> out(static_cast<size_t>(full.Count()));
        stat->LoadDraws(-1, 4, false);
        for (bool exclude : {false, true}) {
            const int64_t kept = stat->FilterCombs(full.Data(), full.Count(), out.data(), sel, 4, false, exclude);
            int64_t expected = 0;
            for (int64_t i = 0; i < full.Count(); i += 1)
                expected += stat->CombMatches(full[i], sel, 4, false, exclude) != exclude;
            EXPECT_EQ(kept, expected) << code << " " << exclude;
        }
    }
}

TEST_F(ValueTableTest, NumberFilterAndTheReferenceDraw) {
    GenerateFull();
    ws.MakeUndoCopy(false);
    EXPECT_THROW(FilterByNumbers(ws, {}, "", false, "Карта"), Error);
    FilterByNumbers(ws, {12, 7}, "12; 7", false, "Схема");
    EXPECT_EQ(ws.CombsCount(), 5245786 - 3838380);
    EXPECT_EQ(ws.FilterLog().back().Caption, "Схема");
    // An offset past the archive makes the first draw the reference.
    ws.UndoLastOperation();
    ws.SetDrawsOffset(4);
    ws.MakeUndoCopy(false);
    auto trend = ws.Stats().CreateStat(Method("SUMT"));
    TStatDrawArray minus(1);
    minus[0].Key = MakeIntKey(-1);
    FilterCombsStep(ws, *trend, minus, false, "SUMT", "-");
    EXPECT_EQ(ws.CombsCount(), 0);  // nothing is below the first draw's sum of 21
}

}  // namespace
}  // namespace tessara

namespace tessara {
namespace {

TEST(PrefetchRebuild, AConfigurationChangeRebuildsOnlyTheChangedFamily) {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    ws.InitGameTables();
    ws.RegisterStats();
    ws.SetPrefetchsEnabled(true);
    // Every method starts with a present (empty-trailer) file.
    std::filesystem::create_directories(dir.File("Prefetchs"));
    for (int i = 0; i < ws.Stats().Count(); ++i)
        if (ws.Stats().HasNorm(i)) test::WriteBytes(PrefetchFileName(ws.StatSource(), i), std::string(12, '\0'));
    TConfigData c = ws.Config();
    c.ChannelSize = 10;
    ws.ApplyConfig(c);
    int rebuilt = 0;
    for (int i = 0; i < ws.Stats().Count(); ++i) {
        if (!ws.Stats().HasNorm(i)) continue;
        const std::string path = PrefetchFileName(ws.StatSource(), i);
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        const bool channel = ws.Stats().Items(i).Class->Group == 3;
        EXPECT_EQ(std::filesystem::file_size(path) > 12, channel) << ws.Stats().Items(i).Code();
        rebuilt += channel;
    }
    EXPECT_GT(rebuilt, 0);
    EXPECT_EQ(ws.Stats().FindMethod("CHN6"), -1);
    EXPECT_TRUE(host.Messages.empty());
}

}  // namespace
}  // namespace tessara
