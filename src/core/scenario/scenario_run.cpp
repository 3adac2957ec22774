#include "scenario/scenario_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <type_traits>
#include <fmt/format.h>

#include "base/host.h"
#include "base/ini_file.h"
#include "app/workspace.h"
#include "model/error.h"
#include "model/game.h"
#include "scenario/code_counts.h"
#include "scenario/step_list.h"
#include "scenario/filter_sets.h"
#include "scenario/run_timing.h"
#include "stakes/stake_cost.h"
#include "stakes/stake_record.h"
#include "stats/filter.h"

namespace tessara {

namespace {

constexpr const char* kRunning = "Выполнение сценария...";
constexpr const char* kFinished = "Сценарий завершен!";
constexpr const char* kMakingSets = "Создание всех вариантов фильтров...";
constexpr const char* kStartList = "Создание начального списка комбинаций...";
constexpr const char* kListSize = "Количество комбинаций в списке: {}";
constexpr const char* kRowText =
    "< [{}] кол-во: {} ({} %), отклонение: {} ({} %), глубина: {} ({} %), вес: {} >";
constexpr const char* kMsgMissingMethod =
    "Метод расчета статистики \"{}\" на найден!\r{}\r\rВозможно, Вы отключили данных метод расчета "
    "либо использовали сценарий от другой модификации программы.";
constexpr const char* kBannerStart =
    "### ЗАПУСК СЦЕНАРИЯ ##########################################################################";
constexpr const char* kBannerEnd =
    "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################";
constexpr const char* kBannerStop =
    "### ВЫПОЛНЕНИЕ СЦЕНАРИЯ ПРЕРВАНО #############################################################";

const std::string kEquals(94, '=');
const std::string kDashes(94, '-');

// The columns of a value-table row as the engine reads them.
enum { cValue, cCount, cCountPct, cDev, cDevPct, cDepth, cDepthPct, cWeight, cPrdMin, cPrd, cPrdMax };

std::string Trim(std::string_view s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string_view::npos) return {};
    const size_t e = s.find_last_not_of(" \t");
    return std::string(s.substr(b, e - b + 1));
}

int32_t IntOr(const std::string& text, int32_t def) {
    int32_t v;
    return TryStrToInt(Trim(text), v) ? v : def;
}
double NumberOr(const std::string& text, double def) {
    double v;
    return TryParseFloat(Trim(text), v) ? v : def;
}
int32_t StrictInt(const std::string& text) {
    int32_t v;
    if (!TryStrToInt(Trim(text), v))
        throw Error(fmt::format("\"{}\" не является целым числом", text));
    return v;
}
double StrictNumber(const std::string& text) {
    double v;
    if (!TryParseFloat(Trim(text), v)) throw Error(fmt::format("\"{}\" не является числом", text));
    return v;
}

std::vector<std::string> ListElements(const std::string& text) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == ',' || text[i] == ';') {
            out.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    return out;
}

// Which column a level mode reads, and how.
enum class TLevelTest { Always, AtLeastInt, AtLeastNumber, AtMostInt, AtMostNumber, AtMostNumberZero,
                        InListInt, InListNumber, ValueInList };
struct TLevelRule {
    TLevelTest Test;
    int Column;
};
TLevelRule LevelRule(int mode) {
    switch (mode) {
        case 1: return {TLevelTest::AtLeastInt, cDepth};
        case 2: return {TLevelTest::AtLeastNumber, cDepthPct};
        case 3: return {TLevelTest::AtMostInt, cDepth};
        case 4: return {TLevelTest::AtMostNumber, cDepthPct};
        case 5: return {TLevelTest::InListInt, cDepth};
        case 6: return {TLevelTest::InListNumber, cDepthPct};
        case 7: return {TLevelTest::AtLeastInt, cDev};
        case 8: return {TLevelTest::AtLeastNumber, cDevPct};
        case 9: return {TLevelTest::AtMostInt, cDev};
        case 10: return {TLevelTest::AtMostNumber, cDevPct};
        case 11: return {TLevelTest::InListInt, cDev};
        case 12: return {TLevelTest::InListNumber, cDevPct};
        case 13: return {TLevelTest::AtLeastInt, cCount};
        case 14: return {TLevelTest::AtLeastNumber, cCountPct};
        case 15: return {TLevelTest::AtMostInt, cCount};
        case 16: return {TLevelTest::AtMostNumber, cCountPct};
        case 17: return {TLevelTest::InListInt, cCount};
        case 18: return {TLevelTest::InListNumber, cCountPct};
        case 19: return {TLevelTest::AtLeastNumber, cWeight};
        case 20: return {TLevelTest::AtMostNumberZero, cWeight};
        case 21: return {TLevelTest::InListNumber, cWeight};
        case 22: return {TLevelTest::AtLeastInt, cPrdMin};
        case 23: return {TLevelTest::AtMostInt, cPrdMin};
        case 24: return {TLevelTest::InListInt, cPrdMin};
        case 25: return {TLevelTest::AtLeastNumber, cPrd};
        case 26: return {TLevelTest::AtMostNumberZero, cPrd};
        case 27: return {TLevelTest::InListNumber, cPrd};
        case 28: return {TLevelTest::AtLeastInt, cPrdMax};
        case 29: return {TLevelTest::AtMostInt, cPrdMax};
        case 30: return {TLevelTest::InListInt, cPrdMax};
        case 31: return {TLevelTest::ValueInList, cValue};
        default: return {TLevelTest::Always, cValue};
    }
}

}  // namespace

TScenarioRunner::TScenarioRunner(Workspace& ws, TScenarioObserver* observer)
    : ws_(ws), observer_(observer), log_(ws), random_(std::random_device{}()) {}

TScenarioRunner::~TScenarioRunner() = default;

int TScenarioRunner::MaxTestCount(const Workspace& ws) { return std::max(0, ws.Archive().Count() - 1); }

void TScenarioRunner::Show() {
    if (observer_) observer_->RunStateChanged(state_);
    ws_.GetHost().ProcessEvents();
}

bool TScenarioRunner::PollStop() {
    ws_.GetHost().ProcessEvents();
    return state_.StopRequested;
}

bool TScenarioRunner::RequestStop() {
    if (!CanStop()) return false;
    log_.Write(kBannerStop);
    state_.StopRequested = true;
    Show();
    return true;
}

void TScenarioRunner::Begin(const std::vector<std::string>& lines) {
    lines_ = lines;
    madeStakes_.clear();
    timings_ = {};
    log_.New();
    log_.Write(kBannerStart);
    state_ = {};
    state_.Running = true;
    state_.Text = kRunning;
    if (observer_) observer_->RunLocked(true);
    Show();
}

void TScenarioRunner::End() {
    state_.CycleNo = 0;
    state_.LineNo = 0;
    state_.Running = false;
    state_.StopRequested = false;
    if (observer_) {
        observer_->LineSelected(-1);
        observer_->RunLocked(false);
    }
    Show();
    log_.Write(kBannerEnd);
    log_.Close();
    // The cached lists hold 30 MB each; a finished run lets them go. A
    // list lent to the working list stays there.
    lent_ = nullptr;
    lentData_ = nullptr;
    stepList_.Clear();
    codeCounts_.Clear();
    columns_.Clear();
    fullList_.Clear();
    exclList_.Clear();
    fullKey_.reset();
    exclOffset_ = exclDraws_ = -1;
}

void TScenarioRunner::Banner(int offset) {
    log_.Write(kEquals);
    log_.Write(fmt::format("=== Выполнение сценария для смещения {:06d} "
                           "==================================================",
                           offset));
    log_.Write(kEquals);
}

bool TScenarioRunner::Forecast(const std::vector<std::string>& lines) {
    if (state_.Running) return false;
    BusyGuard busy(ws_.GetHost(), kRunning);
    Begin(lines);
    state_.CycleNo = 1;
    Show();
    bool ok = true;
    try {
        Banner(ws_.DrawsOffset());
        RunScenarioPass();
        if (!state_.StopRequested) state_.Text = kFinished;
    } catch (const std::exception& e) {
        ws_.GetHost().ShowError(e.what());
        ok = false;
    }
    End();
    return ok;
}

bool TScenarioRunner::Test(const std::vector<std::string>& lines, int count) {
    if (state_.Running || count <= 0) return false;
    count = std::min(count, MaxTestCount(ws_));
    if (count <= 0) return false;
    BusyGuard busy(ws_.GetHost(), kRunning);
    Begin(lines);
    const int savedOffset = ws_.DrawsOffset();
    bool ok = true;
    try {
        for (int k = count; k >= 1; --k) {
            ++state_.CycleNo;
            state_.LineNo = 0;
            state_.Text = kRunning;
            Show();
            if (PollStop()) break;
            ws_.SetDrawsOffset(k);
            if (PollStop()) break;
            Banner(k);
            if (PollStop()) break;
            RunScenarioPass();
            if (state_.StopRequested) break;
        }
    } catch (const std::exception& e) {
        ws_.GetHost().ShowError(e.what());
        ok = false;
    }
    // After a stop the offset stays where the test stopped, for the user to see.
    if (!state_.StopRequested) ws_.SetDrawsOffset(savedOffset);
    state_.Text = kFinished;
    End();
    return ok;
}

void TScenarioRunner::RunScenarioPass() {
    ws_.AppendSeparator();
    exclOffset_ = exclDraws_ = -1;
    ws_.DeleteCombsBuffer();
    ws_.Stats().SaveWeights();
    struct Restore {
        TScenarioRunner& r;
        ~Restore() {
            r.ws_.Stats().RestoreWeights();
            r.exclOffset_ = r.exclDraws_ = -1;
            r.ws_.DeleteCombsBuffer();
        }
    } restore{*this};
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (PollStop()) break;
        const std::string& text = lines_[i];
        if (text.empty()) continue;  // a separator line
        if (observer_) observer_->LineSelected(static_cast<int>(i));
        log_.Write(kDashes);
        log_.Write(fmt::format("Выполнение строки {:03d}: \"{}\"", i + 1, text));
        log_.Write(kDashes);
        RunScriptLine(static_cast<int>(i), text);
        if (observer_) observer_->LineSelected(-1);
        if (state_.StopRequested) break;
    }
    if (!ws_.StakesCheckOnLine()) VerifyStakes();
}

void TScenarioRunner::VerifyStakes() {
    Stopwatch sw(timings_.Stakes);
    ws_.CheckStakesAndUpdate();
    ws_.RefreshStakesGrid(false, false);
}

void TScenarioRunner::RunScriptLine(int index, const std::string& text) {
    TLineContext ctx;
    ctx.LineNo = index + 1;
    ctx.Comment = ScriptLineComment(text);
    // Every way out of a line forgets its undo copy.
    struct Leave {
        Workspace& ws;
        ~Leave() { ws.DropUndo(); }
    } leave{ws_};
    try {
        ws_.DropUndo();
        const TScriptOptions options = ParseScriptOptions(ScriptLineOptions(text));
        ctx.NewOnly = options.NewOnly;
        const std::string shortOptions = FormatScriptOptionsShort(options);
        if (PollStop()) return;
        std::vector<TFilterItem> items;
        for (int n = 1; n <= MaxLineFilters; ++n) {
            if (PollStop()) return;
            const std::string field = ScriptLineFilter(text, n);
            if (!field.empty()) items.push_back(ParseFilterItem(field, ws_.Stats()));
        }
        log_.Write(kMakingSets);
        state_.LineNo = ctx.LineNo;
        state_.Text = kMakingSets;
        Show();
        TFilterSetGenerator sets(items);
        log_.Write(fmt::format("Создано {} вариантов фильтров.", sets.Count()));
        if (PollStop()) return;
        // A stop noticed once a start list is made still verifies that set's stakes.
        auto stopAfterStart = [&] {
            if (!PollStop()) return false;
            if (ws_.StakesCheckOnLine()) VerifyStakes();
            return true;
        };
        if (sets.Count() > 0) {
            TFilterRec rec;
            int setNo = 0;
            while (true) {
                if (PollStop()) return;
                if (!sets.Next(rec)) break;
                ctx.SetNo = ++setNo;
                const std::string setText = FormatFilterRec(rec);
                ctx.Description = shortOptions + " + " + setText;
                log_.Write("");
                log_.Write(kDashes);
                log_.Write(fmt::format("Применение набора фильтров {:03d}: \"{}\"", setNo, setText));
                log_.Write(kDashes);
                state_.LineNo = ctx.LineNo;
                state_.Text = fmt::format("Фильтр {} из {}: {}", setNo, sets.Count(), setText);
                Show();
                log_.Write(kStartList);
                PrepareStartList(options);
                log_.Write(fmt::format(kListSize, ws_.CombsCount()));
                if (stopAfterStart()) return;
                for (const TFilterPart& part : rec)
                    if (part.Used && ws_.CombsCount() > 1) ApplyFilterPart(part);
                if (stopAfterStart()) return;
                MakeScenarioStakes(options.ResultCombsMode, ctx);
                if (stopAfterStart()) return;
                log_.Write(kDashes);
                if (ws_.StakesCheckOnLine()) VerifyStakes();
            }
        } else {
            log_.Write("{ERROR} Фильтры не применялись!");
            log_.Write("");
            state_.LineNo = ctx.LineNo;
            state_.Text = shortOptions;
            Show();
            log_.Write(kStartList);
            PrepareStartList(options);
            log_.Write(fmt::format(kListSize, ws_.CombsCount()));
            if (PollStop()) return;
            ctx.SetNo = 0;
            ctx.Description = shortOptions;
            MakeScenarioStakes(options.ResultCombsMode, ctx);
            if (ws_.StakesCheckOnLine()) VerifyStakes();
        }
    } catch (const std::exception& e) {
        state_.StopRequested = true;
        ws_.GetHost().ShowError(e.what());
    }
}

void TScenarioRunner::PrepareStartList(const TScriptOptions& options) {
    Stopwatch sw(timings_.StartLists);
    ForgetMade();
    const int type = options.StartCombsType;
    bool exclSet = false;
    const TCombsGenerateParams& params = ws_.GenerateDefaults();
    if (type == scFull || type == scExcl) {
        // The list is made anew: what the working list holds goes.
        ReclaimLent(false);
        // The full list of the same settings is lent rather than made anew,
        // and the list without the latest draws at hand replaces it.
        const bool exclAtHand = type == scExcl && options.DrawsExclude > 0 &&
                                exclOffset_ == ws_.DrawsOffset() && exclDraws_ == options.DrawsExclude;
        if (fullKey_ && *fullKey_ == params) {
            Lend(exclAtHand ? exclList_ : fullList_);
            exclSet = exclAtHand;
        } else {
            if (!ws_.GenerateCombs(false, params)) {
                // The generation has shown its error; the run winds down.
                state_.StopRequested = true;
                return;
            }
            fullList_ = ws_.Combs();
            fullKey_ = params;
            fullVersion_ = ++versions_;
        }
        ws_.ClearFilterLog();
    }
    if (PollStop()) return;
    if (type == scExcl && options.DrawsExclude > 0) {
        const int offset = ws_.DrawsOffset(), n = options.DrawsExclude;
        if (exclOffset_ == offset && exclDraws_ == n) {
            if (!exclSet) {
                ReclaimLent(false);
                Lend(exclList_);
            }
        } else if (type == scExcl && fullKey_ && params.Mode != gmFromFile) {
            // A generated list is in lexicographic order: the list without
            // the draws is copied from the full one in runs, and lent.
            ws_.GetHost().Notify(Change::List);
            ReclaimLent(false);
            {
                BusyGuard busy(ws_.GetHost(), Workspace::RemovingDrawsStatus(n));
                exclList_.Reserve(fullList_.Capacity(), 0);
                exclList_.SetCount(RemoveDrawnCombs(fullList_.Data(), fullList_.Count(), exclList_.Data(),
                                                    ws_.LastDrawMasks(n), true));
                exclVersion_ = ++versions_;
                exclFrom_ = fullVersion_;
                Lend(exclList_);
                ws_.AddFilterLogEntry(true, Workspace::LastDrawsCaption, std::to_string(n));
            }
            exclOffset_ = offset;
            exclDraws_ = n;
        } else {
            // The list is the full one: it can become the undo copy instead
            // of being copied into it.
            ReclaimLent(true);
            ws_.MoveListToUndo();
            ws_.GetHost().Notify(Change::List);
            ws_.RemoveLastDraws(n);
            exclList_ = ws_.Combs();
            exclVersion_ = ++versions_;
            exclFrom_ = 0;
            exclOffset_ = offset;
            exclDraws_ = n;
        }
    }
    ws_.GetHost().Notify(Change::List);
    if (PollStop()) return;
    if (options.ClearStakes) {
        ws_.StakesFile().Truncate();
        ws_.ReopenStakesFile();
        ws_.RefreshStakesGrid(false, false);
    }
}

void TScenarioRunner::Lend(TCombList& cache) {
    lentCount_ = cache.Count();
    swap(ws_.Combs(), cache);
    // The list's own buffer waits in the cache's place.
    lent_ = &cache;
    lentData_ = ws_.Combs().Data();
}

void TScenarioRunner::RememberMade(const TStepList& steps) {
    madeKind_ = steps.AliveInParent(madeParent_, madeBits_) ? TMade::Bits : TMade::None;
    madeData_ = ws_.Combs().Data();
    madeCount_ = ws_.CombsCount();
}

void TScenarioRunner::RememberMade(const TCodeCounts::TAlive& alive) {
    madeKind_ = TMade::Codes;
    madeCodes_ = alive;
    madeData_ = ws_.Combs().Data();
    madeCount_ = ws_.CombsCount();
}

TStepSource TScenarioRunner::StartListSource(bool byBits) {
    TStepSource source;
    if (madeKind_ != TMade::None && ws_.Combs().Data() == madeData_ && ws_.Combs().Count() == madeCount_) {
        // Only value bits are looked up there: codes are counted faster
        // from the list itself.
        if (!byBits) return source;
        if (madeKind_ == TMade::Codes)
            madeKind_ = codeCounts_.AliveInParent(madeCodes_, madeParent_, madeBits_) ? TMade::Bits : TMade::None;
        if (madeKind_ == TMade::Bits) {
            source = madeParent_;
            source.Alive = &madeBits_;
        }
        return source;
    }
    if (!lent_ || ws_.Combs().Data() != lentData_ || ws_.Combs().Count() != lentCount_) return source;
    if (lent_ == &fullList_) {
        source.Key = fullVersion_;
    } else if (lent_ == &exclList_) {
        source.Key = exclVersion_;
        if (exclFrom_ != 0 && exclFrom_ == fullVersion_ && fullKey_) {
            source.ParentData = fullList_.Data();
            source.ParentCount = fullList_.Count();
            source.ParentKey = fullVersion_;
        }
    }
    return source;
}

void TScenarioRunner::ReclaimLent(bool undoOnly) {
    if (!lent_) return;
    if (ws_.Undo().Data() == lentData_) {
        swap(ws_.Undo(), *lent_);
        ws_.Undo().SetCount(0);
    } else if (ws_.Combs().Data() == lentData_) {
        if (undoOnly) return;  // only read from where it is
        swap(ws_.Combs(), *lent_);
        ws_.Combs().SetCount(0);
    } else {
        // Not held by the lists any more: the cache holds no list now.
        if (lent_ == &fullList_) {
            fullKey_.reset();
            fullVersion_ = 0;
        }
        if (lent_ == &exclList_) {
            exclOffset_ = exclDraws_ = -1;
            exclVersion_ = 0;
        }
        lent_->SetCount(0);
        lent_ = nullptr;
        lentData_ = nullptr;
        return;
    }
    lent_->SetCount(lentCount_);
    lent_ = nullptr;
    lentData_ = nullptr;
}

const TValueTable& TScenarioRunner::Table(const TFilterPart& part) {
    TValueTableOptions options;
    options.SampleLength = std::max(1, part.DrawsLen);
    options.Offset = ws_.DrawsOffset();
    options.Sorted = ws_.SortedDraws();
    options.Prefetch = ws_.PrefetchsEnabled();
    options.Coefs = ws_.Config().Coefs;
    const TTableKey key{part.Method, ws_.Archive().Count(), options.Offset, options.SampleLength,
                        options.Sorted, options.Prefetch, options.Coefs};
    // The weights are part of the key: a filter with its own coefficients
    // sees its own "Вес" column.
    if (!(key == tableKey_)) {
        Stopwatch sw(timings_.Tables);
        table_ = ComputeValueTable(ws_.StatSource(), part.Method, options);
        tableKey_ = key;
        sortedColumn_ = -1;
    }
    if (sortedColumn_ != part.SortOrder) {
        sorted_ = table_;
        SortValueTable(sorted_, part.SortOrder, true);
        sortedColumn_ = part.SortOrder;
    }
    return sorted_;
}

void TScenarioRunner::LogRow(const char* prefix, const TStatValues& v) {
    log_.Write(prefix + fmt::format(kRowText, v[cValue], v[cCount], v[cCountPct], v[cDev], v[cDevPct],
                                    v[cDepth], v[cDepthPct], v[cWeight]));
}

std::vector<uint8_t> TScenarioRunner::DistinctNumbers(size_t limit) const {
    std::vector<uint8_t> out;
    bool seen[256] = {};
    // The numbers below 64 seen so far as bits: a combination with none
    // new is passed over at a glance.
    uint64_t seenBits = 0;
    const TCombList& list = ws_.Combs();
    for (int64_t i = 0; i < list.Count() && out.size() < limit; ++i) {
        const TCombination& c = list[i];
        uint64_t bits = 0, high = 0;
        for (uint8_t x : c.n) {
            bits |= uint64_t{1} << (x & 63);
            high |= x >> 6;
        }
        if (high == 0 && (bits & ~seenBits) == 0) continue;
        for (uint8_t x : c.n)
            if (!seen[x] && out.size() < limit) {
                seen[x] = true;
                if (x < 64) seenBits |= uint64_t{1} << x;
                out.push_back(x);
            }
    }
    return out;
}

bool TScenarioRunner::StopRuleHit(const TFilterPart& part, const TStatValues& v, int step, bool multi) {
    return StopRuleHit(part, v, step, multi, ws_.CombsCount(),
                       [this](size_t limit) { return static_cast<int>(DistinctNumbers(limit).size()); });
}

template <typename Distinct>
bool TScenarioRunner::StopRuleHit(const TFilterPart& part, const TStatValues& v, int step, bool multi,
                                  int64_t count, Distinct distinct) {
    const int mode = part.StopMode;
    const int32_t value = part.StopValue;
    switch (mode) {
        case 1:  // SC
            return !multi && value >= count;
        case 2: {  // SE
            if (multi) return false;
            if (count <= 1) return true;
            const int maxStake = MaxStakeLength(ws_.Config());
            const int t = value >= 7 && value <= maxStake ? value : maxStake;
            return distinct(static_cast<size_t>(t) + 1) <= t;
        }
        case 4:  // ST
            return step >= value;
        case 5: {  // SV
            const int32_t c = IntOr(v[cCount], 0);
            return part.BottomUp ? c >= value : c <= value;
        }
        case 6: {  // SP
            const double p = NumberOr(v[cCountPct], 0);
            return part.BottomUp ? p >= value : p <= value;
        }
        default:  // SF, SZ
            return false;
    }
}

bool TScenarioRunner::LevelMatches(const TFilterPart& part, const TStatValues& values, int32_t number) {
    const TLevelRule rule = LevelRule(part.LevelMode);
    const std::string& cell = values[static_cast<size_t>(rule.Column)];
    switch (rule.Test) {
        case TLevelTest::Always: return true;
        case TLevelTest::AtLeastInt: return IntOr(cell, 0) >= IntOr(part.LevelValue, 0);
        case TLevelTest::AtLeastNumber: return NumberOr(cell, 0) >= IntOr(part.LevelValue, 0);
        case TLevelTest::AtMostInt: return IntOr(cell, 65535) <= IntOr(part.LevelValue, 0);
        case TLevelTest::AtMostNumber: return NumberOr(cell, 65535) <= IntOr(part.LevelValue, 0);
        case TLevelTest::AtMostNumberZero: return NumberOr(cell, 0) <= IntOr(part.LevelValue, 0);
        case TLevelTest::InListInt: {
            const int32_t c = StrictInt(cell);
            for (const std::string& e : ListElements(part.LevelValue))
                if (StrictInt(e) == c) return true;
            return false;
        }
        case TLevelTest::InListNumber: {
            const double c = StrictNumber(cell);
            for (const std::string& e : ListElements(part.LevelValue))
                if (StrictNumber(e) == c) return true;
            return false;
        }
        case TLevelTest::ValueInList:
            for (const std::string& e : ListElements(part.LevelValue))
                if (StrictInt(e) == number) return true;
            return false;
    }
    return false;
}

bool TScenarioRunner::FilterBy(const TFilterPart& part, int method, TCustomStat& matcher,
                               const TStatDrawArray& rows, const std::vector<std::string>& texts) {
    Stopwatch sw(timings_.Filtering);
    log_.Write(part.KeepSelected ? "Оставляем выделенные значения..." : "Удаляем выделенные значения...");
    if (rows.empty()) {
        // Nothing selected filters nothing.
        log_.Write(fmt::format(kListSize, ws_.CombsCount()));
        return true;
    }
    const TStepSource source = countingPath_ && (matcher.CodeCount() > 0 || matcher.HasValueBits())
                                   ? StartListSource(matcher.CodeCount() == 0)
                                   : TStepSource{};
    const bool counted = source.Key != 0 || source.Alive;
    ForgetMade();
    // The filter rewrites the whole list from the undo copy, so the list's
    // buffer can become the copy instead of being copied into it.
    ReclaimLent(true);
    ws_.MoveListToUndo();
    const bool ok = counted ? FilterCounted(part, method, matcher, rows, texts, source)
                            : FilterBySelectedRows(ws_, &matcher, method, rows, texts, !part.KeepSelected,
                                                   ws_.Stats().ListCaption(method, true));
    log_.Write(fmt::format(kListSize, ws_.CombsCount()));
    if (!ok) {
        // The filter has shown its error: the list goes back to what it was
        // and the run winds down.
        ws_.RestoreUndoCopy(false);
        state_.StopRequested = true;
    }
    return ok;
}

bool TScenarioRunner::FilterCounted(const TFilterPart& part, int method, TCustomStat& matcher,
                                    const TStatDrawArray& rows, const std::vector<std::string>& texts,
                                    const TStepSource& source) {
    Host& host = ws_.GetHost();
    BusyGuard busy(host, "Фильтрация комбинаций...");
    std::string valuesText;
    for (const auto& t : texts) valuesText += (valuesText.empty() ? "" : "; ") + t;
    const bool exclude = !part.KeepSelected;
    try {
        TCombList& list = ws_.Combs();
        const TCombList& undo = ws_.Undo();
        list.Reserve(undo.Capacity(), 0);
        const int high = ws_.Archive().High();
        const int ref = high < ws_.DrawsOffset() ? 0 : high - ws_.DrawsOffset();
        const bool sorted = ws_.SortedDraws();
        matcher.LoadDraws(-1, ref, sorted);
        int64_t kept = 0;
        if (matcher.CodeCount() > 0) {
            codeCounts_.Count(undo, matcher, method, columns_, false, source);
            std::vector<uint8_t> wanted(static_cast<size_t>(matcher.CodeCount()), 0);
            matcher.WantedCodes(rows, ref, sorted, wanted.data());
            TCodeCounts::TAlive alive(wanted.size());
            for (size_t v = 0; v < wanted.size(); ++v) alive[v] = (wanted[v] != 0) != exclude;
            kept = codeCounts_.Apply(list.Data(), alive);
            list.SetCount(kept);
            RememberMade(alive);
        } else {
            stepList_.Start(undo, matcher, source);
            stepList_.Left(rows, ref, sorted, exclude);
            stepList_.Take();
            kept = stepList_.Apply(list.Data());
            list.SetCount(kept);
            RememberMade(stepList_);
        }
        ws_.AddFilterLogEntry(exclude, ws_.Stats().ListCaption(method, true), valuesText);
        return true;
    } catch (const std::exception& e) {
        host.ShowError(e.what());
        host.Notify(Change::List);
        return false;
    }
}

void TScenarioRunner::Undo() {
    ForgetMade();
    log_.Write("{UNDO} Откат изменений...");
    ws_.RestoreUndoCopy(false);
    ws_.AddUndoLogEntry();
}

void TScenarioRunner::ApplyFilterPart(const TFilterPart& part) {
    Stopwatch whole(timings_.ByFilter[part.MethodCode + (part.MultiSelect ? " multi" : " single")]);
    const TStatList& stats = ws_.Stats();
    const int method = part.Method;
    if (method < 0 || method >= stats.Count() || !stats.IsAvailable(method) || !stats.IsListed(method) ||
        !stats.IsFavourite(method))
        throw Error(fmt::format(kMsgMissingMethod, part.MethodCode,
                                method >= 0 && method < stats.Count() ? stats.Items(method).Caption()
                                                                      : std::string()));
    log_.Write(fmt::format("Анализ тиражей и расчет статистики \"{}\" для выборки в {} тиражей...",
                           stats.ListCaption(method, true), part.DrawsLen));
    ws_.Stats().ApplyWeights(part.Coefs.CDLOverride, part.Coefs.ToCDL());
    const TValueTable& table = Table(part);
    if (PollStop()) return;
    const int rowCount = static_cast<int>(table.Rows.size());
    if (log_.Enabled())
        for (const auto& row : table.Rows) LogRow("", RowValues(&row));
    if (PollStop()) return;

    const std::unique_ptr<TCustomStat> matcher = stats.CreateStat(method);
    int step = 0;
    auto rowAt = [&](int visit) -> const TValueTableRow& {
        return table.Rows[static_cast<size_t>(part.BottomUp ? rowCount - 1 - visit : visit)];
    };
    if (part.MultiSelect) {
        TStatDrawArray selected;
        std::vector<std::string> texts;
        for (int visit = 0; visit < rowCount; ++visit) {
            if (PollStop()) return;
            const TValueTableRow& row = rowAt(visit);
            const TStatValues values = RowValues(&row);
            if (StopRuleHit(part, values, step, true)) break;
            if (LevelMatches(part, values, matcher->ParseValue(values[cValue]))) {
                selected.push_back(row.Row);
                texts.push_back(values[cValue]);
                LogRow(fmt::format("Шаг {:03d}. Выделение строки: ", step + 1).c_str(), values);
            }
            ++step;
        }
        if (FilterBy(part, method, *matcher, selected, texts) && ws_.CombsCount() == 0) Undo();
        return;
    }
    if (countingPath_) {
        ApplySingleCounted(part, table, *matcher);
        return;
    }
    for (int visit = 0; visit < rowCount; ++visit) {
        if (PollStop()) break;
        const TValueTableRow& row = rowAt(visit);
        const TStatValues values = RowValues(&row);
        if (StopRuleHit(part, values, step, false)) break;
        if (PollStop()) break;
        if (!LevelMatches(part, values, matcher->ParseValue(values[cValue]))) continue;
        LogRow(fmt::format("Шаг {:03d}. Выделение строки: ", step + 1).c_str(), values);
        if (!FilterBy(part, method, *matcher, {row.Row}, {values[cValue]})) return;
        if (ws_.CombsCount() == 0) {
            Undo();
            if (part.StopMode == 3) break;  // SZ
        } else {
            ++step;
        }
    }
}

namespace {

// A single-select loop over a list counted by the codes of a one-value
// statistic: what is alive is a set of codes.
class TCodesCounter {
public:
    TCodesCounter(TCodeCounts& counts, TValueColumns& columns, TCustomStat& stat, int method, bool numbers,
                  bool exclude, const TStepSource& source)
        : counts_(counts), columns_(columns), stat_(stat), method_(method), numbers_(numbers), exclude_(exclude),
          source_(source), wanted_(static_cast<size_t>(stat.CodeCount()), 0) {}
    bool KnowsNumbers() const { return counted_; }
    void Want(const TCombList& list, const TStatDraw& row, int ref, bool sorted) {
        if (!counted_) {
            // A column is made once a long list is to be coded; the codes
            // of a start list are kept with it instead.
            if (source_.Key == 0 && list.Count() >= (int64_t{1} << 20)) columns_.Prepare(method_, stat_);
            counts_.Count(list, stat_, method_, columns_, numbers_, source_);
            counted_ = true;
            alive_ = counts_.AllAlive();
            next_ = alive_;
        }
        stat_.WantedCodes({row}, ref, sorted, wanted_.data());
        for (size_t v = 0; v < alive_.size(); ++v) next_[v] = alive_[v] && (wanted_[v] != 0) != exclude_;
        left_ = counts_.Total(next_);
    }
    int64_t Left() const { return left_; }
    void Take() { alive_.swap(next_); }
    int DistinctNumbers(int limit) const { return counts_.DistinctNumbers(alive_, limit); }
    int64_t Apply(const TCombination*, TCombination* dst) const { return counts_.Apply(dst, alive_); }
    const TCodeCounts::TAlive& Alive() const { return alive_; }

private:
    TCodeCounts& counts_;
    TValueColumns& columns_;
    TCustomStat& stat_;
    int method_;
    bool numbers_, exclude_, counted_ = false;
    TStepSource source_;
    TCodeCounts::TAlive alive_, next_;
    std::vector<uint8_t> wanted_;
    int64_t left_ = 0;
};

// The same for a statistic with several values per combination: what is
// alive is the list of the combinations left.
class TStepsCounter {
public:
    TStepsCounter(TStepList& steps, TCustomStat& stat, bool exclude, const TStepSource& source)
        : steps_(steps), stat_(stat), exclude_(exclude), source_(source) {}
    bool KnowsNumbers() const { return started_; }
    void Want(const TCombList& list, const TStatDraw& row, int ref, bool sorted) {
        if (!started_) {
            steps_.Start(list, stat_, source_);
            started_ = true;
        }
        left_ = steps_.Left(row, ref, sorted, exclude_);
    }
    int64_t Left() const { return left_; }
    void Take() { steps_.Take(); }
    int DistinctNumbers(int limit) const { return steps_.DistinctNumbers(limit); }
    int64_t Apply(const TCombination*, TCombination* dst) const { return steps_.Apply(dst); }

private:
    TStepList& steps_;
    TCustomStat& stat_;
    bool exclude_, started_ = false;
    TStepSource source_;
    int64_t left_ = 0;
};

}  // namespace

// The single-select loop of a counted list: every step is worked out from
// the counts (the same log, filter history, undos and stops as filtering
// row by row), and the rows that stay applied are applied in one more pass.
bool TScenarioRunner::ApplySingleCounted(const TFilterPart& part, const TValueTable& table, TCustomStat& matcher) {
    const int method = part.Method;
    const bool exclude = !part.KeepSelected;
    const bool numbers = part.StopMode == 2;  // SE
    if (matcher.CodeCount() > 0) {
        // The codes counted last are counted anew: what they made is
        // forgotten rather than looked up in codes no longer there.
        if (madeKind_ == TMade::Codes) ForgetMade();
        TCodesCounter counter(codeCounts_, columns_, matcher, method, numbers, exclude, StartListSource(false));
        return RunCountedSteps(part, table, matcher, counter);
    }
    TStepsCounter counter(stepList_, matcher, exclude, StartListSource(matcher.HasValueBits()));
    return RunCountedSteps(part, table, matcher, counter);
}

template <typename Counter>
bool TScenarioRunner::RunCountedSteps(const TFilterPart& part, const TValueTable& table, TCustomStat& matcher,
                                      Counter& counter) {
    const int method = part.Method;
    const int rowCount = static_cast<int>(table.Rows.size());
    const bool exclude = !part.KeepSelected;
    const std::string caption = ws_.Stats().ListCaption(method, true);
    const int high = ws_.Archive().High();
    const int ref = high < ws_.DrawsOffset() ? 0 : high - ws_.DrawsOffset();
    const bool sorted = ws_.SortedDraws();
    bool changed = false;
    int64_t count = ws_.CombsCount();
    int step = 0;
    auto distinct = [&](size_t limit) {
        if (!counter.KnowsNumbers()) return static_cast<int>(DistinctNumbers(limit).size());
        return counter.DistinctNumbers(static_cast<int>(limit));
    };
    auto runSteps = [&]() -> bool {
        for (int visit = 0; visit < rowCount; ++visit) {
            if (PollStop()) break;
            const TValueTableRow& row = table.Rows[static_cast<size_t>(part.BottomUp ? rowCount - 1 - visit : visit)];
            const TStatValues values = RowValues(&row);
            if (StopRuleHit(part, values, step, false, count, distinct)) break;
            if (PollStop()) break;
            if (!LevelMatches(part, values, matcher.ParseValue(values[cValue]))) continue;
            LogRow(fmt::format("Шаг {:03d}. Выделение строки: ", step + 1).c_str(), values);
            int64_t left = 0;
            {
                Stopwatch sw(timings_.Filtering);
                log_.Write(part.KeepSelected ? "Оставляем выделенные значения..." : "Удаляем выделенные значения...");
                try {
                    matcher.LoadDraws(-1, ref, sorted);
                    counter.Want(ws_.Combs(), row.Row, ref, sorted);
                } catch (const std::exception& e) {
                    // As a failed filtering: the list stays and the run winds down.
                    log_.Write(fmt::format(kListSize, ws_.CombsCount()));
                    ws_.GetHost().ShowError(e.what());
                    state_.StopRequested = true;
                    return false;
                }
                left = counter.Left();
                log_.Write(fmt::format(kListSize, left));
                ws_.AddFilterLogEntry(exclude, caption, values[cValue], left);
            }
            if (left == 0) {
                log_.Write("{UNDO} Откат изменений...");
                ws_.AddUndoLogEntry(count);
                if (part.StopMode == 3) break;  // SZ
            } else {
                counter.Take();
                count = left;
                changed = true;
                ++step;
            }
        }
        return true;
    };
    // The steps taken stay taken however the loop ends, an error included.
    auto apply = [&] {
        if (!changed) return;
        changed = false;
        Stopwatch sw(timings_.Filtering);
        ForgetMade();
        ReclaimLent(true);
        ws_.MoveListToUndo();
        TCombList& list = ws_.Combs();
        const TCombList& undo = ws_.Undo();
        list.Reserve(undo.Capacity(), 0);
        list.SetCount(counter.Apply(undo.Data(), list.Data()));
        if constexpr (std::is_same_v<Counter, TCodesCounter>)
            RememberMade(counter.Alive());
        else
            RememberMade(stepList_);
        ws_.GetHost().Notify(Change::List);
    };
    bool ok = true;
    try {
        ok = runSteps();
    } catch (...) {
        apply();
        throw;
    }
    apply();
    return ok;
}

}  // namespace tessara
