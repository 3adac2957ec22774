#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "combs/comb_list.h"
#include "scenario/code_counts.h"
#include "scenario/step_list.h"
#include "scenario/scenario_log.h"
#include "scenario/script_line.h"
#include "stats/value_columns.h"
#include "stats/value_table.h"

namespace tessara {

class Workspace;

// What a running scenario shows: the panels of the scenario tab's status bar
// and the state of the run.
struct TRunState {
    bool Running = false;
    bool StopRequested = false;
    int32_t CycleNo = 0;
    int32_t StakesMade = 0;
    int32_t LineNo = 0;     // 1-based, 0 outside lines
    std::string Text;       // the free panel
};

// The window around a run: it locks its tabs, follows the lines and shows the
// panels. Every call may be followed by processing pending events.
class TScenarioObserver {
public:
    virtual ~TScenarioObserver() = default;
    virtual void RunLocked(bool /*locked*/) {}
    virtual void RunStateChanged(const TRunState& /*state*/) {}
    // The line being run (-1: none).
    virtual void LineSelected(int /*index*/) {}
};

// A stake the run made, for reports.
struct TRunStake {
    int32_t Draw;
    std::vector<int> Numbers;
    std::string Note;
};

// Runs a scenario the way a user would work the statistics and combination
// tabs by hand: a start list per filter set, value tables over the latest
// draws, rows chosen by rules, combinations kept or removed, and a stake on
// the next draw from what is left. The forecast runs once at the current
// draws offset; the test runs the same pass from an older offset to the
// newest so that every stake meets a known result.
class TScenarioRunner {
public:
    explicit TScenarioRunner(Workspace& ws, TScenarioObserver* observer = nullptr);
    ~TScenarioRunner();

    // The forecast over the lines (the current scenario, or a file's lines).
    bool Forecast(const std::vector<std::string>& lines);
    // The test over the last `count` draws (1 .. archive size - 1).
    bool Test(const std::vector<std::string>& lines, int count);
    static int MaxTestCount(const Workspace& ws);

    // The stop command: logs the interruption and asks every loop to wind
    // down. Returns false when nothing runs or a stop is already pending.
    bool RequestStop();
    bool CanStop() const { return state_.Running && !state_.StopRequested; }

    const TRunState& State() const { return state_; }
    TScenarioLog& Log() { return log_; }
    const std::vector<TRunStake>& StakesOfRun() const { return madeStakes_; }
    void SetRandomSeed(uint32_t seed) { random_.seed(seed); }
    // Single-select loops count the list by value instead of filtering it
    // row by row (the same result); off for the comparison in the tests.
    void SetCountingPath(bool on) { countingPath_ = on; }
    // The bytes the value columns of the run hold now.
    size_t ColumnBytes() const { return columns_.Bytes(); }

    // The level test of one value-table row (number: the value as a plain
    // integer, 0 otherwise). Throws Error for a list element or a column
    // text that does not convert.
    static bool LevelMatches(const TFilterPart& part, const TStatValues& values, int32_t number);

    // Where the time went (seconds), for the benchmark.
    struct TTimings {
        double StartLists = 0, Tables = 0, Filtering = 0, Stakes = 0;
        // The time of each filter ("SUMS single"), its table included.
        std::map<std::string, double> ByFilter;
    };
    const TTimings& Timings() const { return timings_; }

private:
    struct TLineContext {
        int LineNo = 0;
        int SetNo = 0;
        std::string Comment;
        std::string Description;
        bool NewOnly = false;
        int64_t LastRefreshMs = 0;
    };
    struct TTableKey {
        int Method = -1, ArchiveCount = -1, Offset = -1, Length = -1;
        bool Sorted = false, Prefetch = false;
        TCDLCoefs Coefs;
        bool operator==(const TTableKey&) const = default;
    };

    void Begin(const std::vector<std::string>& lines);
    void End();
    void Banner(int offset);
    void Show();
    bool PollStop();
    void RunScenarioPass();
    void RunScriptLine(int index, const std::string& text);
    void PrepareStartList(const TScriptOptions& options);
    // A start list at hand is lent to the working list, not copied; it is
    // taken back before anything writes into the buffer that holds it
    // (undoOnly: only from the undo copy, when the list itself is read).
    void Lend(TCombList& cache);
    void ReclaimLent(bool undoOnly);
    // Where the working list comes from: a cached list, untouched, under
    // its version (the list without the latest draws with the full list as
    // its parent); or, for a statistic with value bits (byBits), what a
    // counted filtering of such a list has just made of it, as the bits it
    // kept. Empty otherwise.
    TStepSource StartListSource(bool byBits);
    // The working list has just been made by a counted filtering (or has
    // changed otherwise: Forget).
    void RememberMade(const TStepList& steps);
    void RememberMade(const TCodeCounts::TAlive& alive);
    void ForgetMade() { madeKind_ = TMade::None; }
    void ApplyFilterPart(const TFilterPart& part);
    bool StopRuleHit(const TFilterPart& part, const TStatValues& values, int step, bool multi);
    // The same over a list of count combinations whose distinct numbers,
    // counted up to a limit, come from distinct.
    template <typename Distinct>
    bool StopRuleHit(const TFilterPart& part, const TStatValues& values, int step, bool multi, int64_t count,
                     Distinct distinct);
    // Single-select loops that count the list instead of filtering it row by
    // row: one-value statistics by code, the others on a list of their own.
    bool ApplySingleCounted(const TFilterPart& part, const TValueTable& table, TCustomStat& matcher);
    template <typename Counter>
    bool RunCountedSteps(const TFilterPart& part, const TValueTable& table, TCustomStat& matcher, Counter& counter);
    bool FilterBy(const TFilterPart& part, int method, TCustomStat& matcher,
                  const TStatDrawArray& rows, const std::vector<std::string>& texts);
    // The filtering of a start list kept for the run by what was worked out
    // for it (codes or value bits); as FilterBySelectedRows otherwise.
    bool FilterCounted(const TFilterPart& part, int method, TCustomStat& matcher, const TStatDrawArray& rows,
                       const std::vector<std::string>& texts, const TStepSource& source);
    void Undo();
    void MakeScenarioStakes(int mode, TLineContext& ctx);
    void StakeSystem(int mode, const std::vector<uint8_t>& numbers, TLineContext& ctx);
    bool AddScenarioStake(const std::vector<uint8_t>& numbers, bool bulk, TLineContext& ctx);
    void VerifyStakes();
    void LogRow(const char* prefix, const TStatValues& v);
    std::vector<uint8_t> DistinctNumbers(size_t limit) const;
    const TValueTable& Table(const TFilterPart& part);

    Workspace& ws_;
    TScenarioObserver* observer_;
    TScenarioLog log_;
    TRunState state_;
    std::vector<std::string> lines_;
    std::mt19937 random_;
    std::vector<TRunStake> madeStakes_;
    TTimings timings_;
    bool countingPath_ = true;
    TValueColumns columns_;
    TCodeCounts codeCounts_;
    TStepList stepList_;

    // Lists at hand: the full list of the generation settings, and the list
    // without the latest draws under (offset, draws). Cleared every pass.
    TCombList fullList_;
    std::optional<TCombsGenerateParams> fullKey_;
    TCombList exclList_;
    int exclOffset_ = -1, exclDraws_ = -1;
    // Each list made for the cache gets a new version: the key under which
    // what is worked out for it may be kept while it is unchanged.
    // The list without the latest draws is the full one of version
    // exclFrom_ less those draws.
    uint64_t versions_ = 0, fullVersion_ = 0, exclVersion_ = 0, exclFrom_ = 0;
    // What the last counted filtering made the working list of.
    enum class TMade { None, Bits, Codes };
    TMade madeKind_ = TMade::None;
    TStepSource madeParent_;
    std::vector<uint64_t> madeBits_;
    TCodeCounts::TAlive madeCodes_;  // the codes kept, till the bits are asked for
    const TCombination* madeData_ = nullptr;
    int64_t madeCount_ = 0;
    TCombList* lent_ = nullptr;
    const TCombination* lentData_ = nullptr;
    int64_t lentCount_ = 0;
    // The last value table in its computed order, and what it was made of.
    TValueTable table_;
    TTableKey tableKey_;
    TValueTable sorted_;
    int sortedColumn_ = -1;
};

}  // namespace tessara
