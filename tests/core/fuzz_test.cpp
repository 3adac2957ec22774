// Every file reader is fed damaged versions of a sound file: bytes flipped,
// cut, doubled, replaced by boundary numbers and control characters. None
// may crash, hang or trip a sanitizer; each must give a value or its Error.
// A reader added later gets one row in the table below.
//
// The run is bounded: a fixed seed and a fixed number of mutants per reader,
// so a failure repeats. TESSARA_FUZZ_ITERATIONS and TESSARA_FUZZ_SEED run it
// longer or elsewhere.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "base/config.h"
#include "base/ini_file.h"
#include "combs/comb_list.h"
#include "model/draw_archive.h"
#include "model/draws_csv.h"
#include "model/error.h"
#include "model/files.h"
#include "model/game.h"
#include "online/system_files.h"
#include "scenario/filter_sets.h"
#include "scenario/script_line.h"
#include "stakes/check_journal.h"
#include "stakes/ratings.h"
#include "stakes/stakes_grid.h"
#include "stats/families/math_parser.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/value_table.h"
#include "stakes_test_support.h"
#include "test_support.h"

namespace tessara {
namespace {

size_t EnvNumber(const char* name, size_t def) {
    const char* v = std::getenv(name);
    return v && *v ? static_cast<size_t>(std::strtoull(v, nullptr, 10)) : def;
}

// One damaged copy of a sound input.
class Mutator {
public:
    explicit Mutator(unsigned seed) : rng_(seed) {}

    std::string Mutate(const std::string& sound) {
        std::string s = sound;
        const int edits = 1 + static_cast<int>(Below(4));
        for (int e = 0; e < edits; ++e) {
            const size_t at = s.empty() ? 0 : Below(s.size());
            switch (Below(8)) {
                case 0:  // flip a bit
                    if (!s.empty()) s[at] = static_cast<char>(s[at] ^ (1 << Below(8)));
                    break;
                case 1:  // a byte of any value
                    if (!s.empty()) s[at] = static_cast<char>(Below(256));
                    break;
                case 2:  // cut
                    s.resize(at);
                    break;
                case 3:  // a piece doubled
                    if (!s.empty()) s.insert(at, s.substr(at, 1 + Below(std::min<size_t>(64, s.size() - at))));
                    break;
                case 4:  // a piece removed
                    if (!s.empty()) s.erase(at, 1 + Below(std::min<size_t>(16, s.size() - at)));
                    break;
                case 5:  // a boundary text
                    s.insert(at, kTokens[Below(std::size(kTokens))]);
                    break;
                case 6:  // a boundary integer written over four bytes
                    if (s.size() >= 4) {
                        const int32_t v = kInts[Below(std::size(kInts))];
                        std::memcpy(&s[Below(s.size() - 3)], &v, 4);
                    }
                    break;
                default:  // a long run of one byte
                    s.insert(at, std::string(1 + Below(4096), static_cast<char>(Below(256))));
            }
        }
        return s;
    }

private:
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(rng_() % n); }

    static constexpr const char* kTokens[] = {
        "\r\n", "\n", "\r", "\0", ";", ",", "-", "#", "|", ":", "=", "[", "]", "\"", "(", ")",
        "2147483647", "-2147483648", "4294967296", "99999999999999999999", "0", "-1", "255", "43",
        "1-2147483647;1", "\xEF\xBB\xBF", "\xC0\xAF", "\xFF\xFE", "e999", "1e-400", "$FFFFFFFF"};
    static constexpr int32_t kInts[] = {0, -1, 1, 42, 43, 255, 65535, 65536, 2147483647, INT32_MIN};
    std::mt19937 rng_;
};

struct TReader {
    const char* Name;
    std::vector<std::string> Seeds;
    std::function<void(const std::string&)> Read;
};

std::string DrawsBytes(const TDrawsArray& draws) {
    return std::string(reinterpret_cast<const char*>(draws.data()), draws.size() * sizeof(TDrawRecord));
}

std::string StakeBytes(std::initializer_list<TStakeRecord> records) {
    std::string s;
    for (const TStakeRecord& r : records) s.append(reinterpret_cast<const char*>(&r), sizeof r);
    return s;
}

TEST(Fuzz, EveryReaderSurvivesDamagedInput) {
    const size_t iterations = EnvNumber("TESSARA_FUZZ_ITERATIONS", 400);
    const unsigned seed = static_cast<unsigned>(EnvNumber("TESSARA_FUZZ_SEED", 17));

    TDrawsArray draws = test::MakeDraws(1, 12);
    TConfigData config;
    TShreddingConfig shredding;
    TStatList stats(draws, config, shredding);
    stats.Register();

    test::TempDir dir;
    const std::string file = dir.File("input");

    TRatings ratings;
    ratings.Update(test::CheckedStake(1, "Тест", 3, MoneyFromAmount(20)));
    TStakeRecord unchecked = test::Stake(2, {1, 2, 3, 4, 5, 6, 7}, "b");
    TCheckJournal journal;
    journal.Entries.push_back({3, unchecked, test::CheckedStake(2, "b", 2, -5)});
    journal.Ratings = FormatRatingsFile(ratings.Rows());

    const std::vector<TReader> readers = {
        {"INI file and configuration",
         {"; c\r\n[GLOBAL]\r\nMatrixCols=7\r\nMatrixSegments=111\r\nChannelSize=6\r\n[STAKES]\r\nCost=5\r\n"
          "Profits=1\r\nProfit_0_Overlap=3\r\nProfit_0_Profit=25\r\n[SHREDDING]\r\nFormula1=(n1+n2)/n3\r\n"
          "[FILTERS]\r\nFavorites=NUMS,SUM2\r\n"},
         [&](const std::string& bytes) {
             const IniFile ini = IniFile::Parse(bytes);
             TConfigData c;
             TShreddingConfig sh;
             TCombsGenerateParams gen;
             TProxy proxy;
             try {
                 ReadGenerateDefaults(ini, gen);
                 ReadConfigSections(ini, c);
                 ReadShreddingSection(ini, sh);
                 ReadProxySection(ini, proxy);
             } catch (const Error&) {
             }
             for (const std::string& f : sh.Formulas) {
                 try {
                     EvaluateExpression(f);
                 } catch (const TRxParserError&) {
                 }
             }
             stats.SetFavouritesText(ini.ReadString("FILTERS", "Favorites", ""));
         }},
        {"draws CSV",
         {ExportDrawsCsvText(draws), "\xEF\xBB\xBF" "1;\"05 марта 2021\";1;2;3;4;5;6;0\r\n\"\";7;8;9;10;11;12;1"},
         [&](const std::string& bytes) {
             TDrawArchive a;
             ImportDrawsCsvText(a, bytes);
             for (const TDrawRecord& d : a.Draws()) EXPECT_FALSE(DrawIsDamaged(d));
         }},
        {"draws file",
         {DrawsBytes(draws)},
         [&](const std::string& bytes) {
             test::WriteBytes(file, bytes);
             TDrawArchive a;
             try {
                 ReadDrawsFile(file, a.Draws());
             } catch (const Error&) {
             }
             const TDrawArchive sound = a.SoundDraws();
             for (const TDrawRecord& d : sound.Draws()) EXPECT_FALSE(DrawIsDamaged(d));
             a.NextDrawNo(0);
             for (const TDrawRecord& d : sound.Draws()) sound.FindDrawIndex(d.DrawNo);
         }},
        {"ratings file",
         {FormatRatingsFile(ratings.Rows())},
         [&](const std::string& bytes) {
             for (const TRatingRecord& r : ParseRatingsFile(bytes))
                 for (int mode = 0; mode <= 2; ++mode) RatingRowTexts(r, mode);
         }},
        {"stake records",
         {StakeBytes({test::CheckedStake(1, "Тест", 3, 20), MakeSeparatorStake(), unchecked})},
         [&](const std::string& bytes) {
             TRatings rows;
             for (size_t pos = 0; pos + sizeof(TStakeRecord) <= bytes.size(); pos += sizeof(TStakeRecord)) {
                 TStakeRecord r;
                 std::memcpy(&r, bytes.data() + pos, sizeof r);
                 for (int c = 0; c < StakesGridColumnCount; ++c) StakesGridCellText(r, c);
                 StakesGridNumbers(r, 2);
                 StakesGridNumbers(r, 4);
                 rows.Update(r);
             }
         }},
        {"redo record of a check",
         {FormatCheckJournal(journal)},
         [&](const std::string& bytes) {
             try {
                 ParseCheckJournal(bytes);
             } catch (const Error&) {
             }
         }},
        {"prefetch file",
         {std::string("\x01\0\0\0\0\0\0\0\x05\0\0\0\x02\0\0\0\0\0\0\0\x07\0\0\0\x05\0\0\0\x07\0\0\0\0\0\0\0", 36)},
         [&](const std::string& bytes) {
             TPrefetchData data;
             if (!ParsePrefetchBytes(bytes, data)) return;
             for (const TPrefetchRecord& r : data.Records) EXPECT_GE(r.Count, 0);
         }},
        {"scenario file",
         {FormatScenarioText({"FULL:0#FIRST|TSD1#NUMS:10,20#LMV:1-3;1#SF:0|BMF12#SUMS:5#LDV:1,2#SC:3#1:0.5:2:1:0| | | "
                              "| | |мой", "EXCL:5#EXT#CLR#NEX|TSD20#NUMS:10#LNO:#SF:0| | | | | | |"})},
         [&](const std::string& bytes) {
             for (const std::string& line : ParseScenarioText(bytes)) {
                 DescribeScriptOptions(ParseScriptOptions(ScriptLineOptions(line)));
                 std::vector<TFilterItem> items;
                 for (int n = 1; n <= MaxLineFilters; ++n) {
                     TFilterItem item = ParseFilterItem(ScriptLineFilter(line, n), stats);
                     FormatFilterItem(item);
                     if (item.Used) items.push_back(std::move(item));
                 }
                 try {
                     TFilterSetGenerator sets(items);
                     TFilterRec rec;
                     for (int k = 0; k < 3 && sets.Next(rec); ++k) FormatFilterRec(rec);
                 } catch (const Error&) {
                 }
                 RatingNameToScriptLine(line, stats);
             }
         }},
        {"combination list file",
         {"1 2 3 4 5 6\r\n7 8 9 10 11 12\r\n"},
         [&](const std::string& bytes) {
             TCombList list;
             list.Reserve(1024, 0);
             try {
                 AppendCombsListText(list, bytes.substr(0, 4096));
             } catch (const Error&) {
             }
         }},
        {"system file line",
         {"1 2 3 4 5 6", "1*2+3,4-5.6"},
         [&](const std::string& bytes) {
             try {
                 ParseSystemLine(bytes);
             } catch (const Error&) {
             }
         }},
        {"value lists",
         {"1-10;3", "5;7;9", "-5--1;2"},
         [&](const std::string& bytes) { EXPECT_LE(ParseIntList(bytes).size(), MaxIntListSize); }},
    };

    Mutator mutator(seed);
    for (const TReader& reader : readers) {
        SCOPED_TRACE(reader.Name);
        for (const std::string& s : reader.Seeds) reader.Read(s);
        for (size_t i = 0; i < iterations; ++i) {
            const std::string& sound = reader.Seeds[i % reader.Seeds.size()];
            reader.Read(mutator.Mutate(sound));
        }
    }
}

// The whole start of a data folder, with every file it reads damaged: the
// workspace loads what it can, shows its messages, and computes a table.
TEST(Fuzz, DamagedDataFolderStarts) {
    const size_t iterations = EnvNumber("TESSARA_FUZZ_ITERATIONS", 400) / 20;
    Mutator mutator(static_cast<unsigned>(EnvNumber("TESSARA_FUZZ_SEED", 17)) + 1);
    const std::string drawsBytes = DrawsBytes(test::MakeDraws(1, 30));
    const std::string config = "[GLOBAL]\r\nMatrixCols=7\r\n[STAKES]\r\nCost=5\r\n";
    const std::string stakes = StakeBytes({test::CheckedStake(1, "a", 3, 20), test::Stake(30, {1, 2, 3, 4, 5, 6}, "b")});
    for (size_t i = 0; i < iterations; ++i) {
        test::TempDir dir;
        test::WriteBytes(dir.File(DrawsFileName), mutator.Mutate(drawsBytes));
        test::WriteBytes(dir.File(ConfigFileName), mutator.Mutate(config));
        test::WriteBytes(dir.File(StakesFileName), mutator.Mutate(stakes));
        test::RecordingHost host;
        host.Answers = {false, false, false, false};
        Workspace ws(host, dir.Path());
        ws.InitGameTables();
        ws.LoadConfig();
        ws.RegisterStats();
        if (!ws.LoadStakesFile()) continue;
        ws.LoadDrawsFile();
        ws.LoadRatings();
        ws.CheckStakesAndUpdate();
        TValueTableOptions options;
        options.SampleLength = 20;
        ComputeValueTable(ws.StatSource(), ws.Stats().FindMethod("NUMS"), options);
        ws.CloseStakesFile();
    }
}

}  // namespace
}  // namespace tessara
