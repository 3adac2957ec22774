#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/config.h"
#include "model/records.h"

namespace tessara {

class TStatList;

// The start list of a line.
enum TStartCombsType : uint8_t { scFull = 0, scExcl = 1, scCurr = 2 };
// What stake the line makes from what is left.
enum TResultCombsMode : uint8_t {
    rmExt, rmRand, rmFirst, rmLast, rmAll, rmSysA, rmSysC, rmStop, rmSkip, rmNone
};
inline constexpr int LevelModeCount = 32;
inline constexpr int StopModeCount = 7;

// Codes and captions; an index outside a table gives "# ERROR #".
const char* StartCombsCode(int i);
const char* StartCombsCaption(int i);
std::string StartCombsShortCaption(int i, int drawsExclude);
const char* ResultModeCode(int i);
const char* ResultModeCaption(int i);
const char* ResultModeShortCaption(int i);
const char* LevelModeCode(int i);
const char* LevelModeCaption(int i);
const char* StopModeCode(int i);
const char* StopModeCaption(int i);
bool IsListLevelMode(int mode);       // 5, 6, 11, 12, 17, 18, 21, 24, 27, 30, 31
bool IsThresholdLevelMode(int mode);  // 1-4, 7-10, 13-16, 19, 20, 22, 23, 25, 26, 28, 29
bool IsExpandedLevelMode(int mode);   // 1-4, 7-10, 13-16, 19-30

struct TScriptOptions {
    int32_t DrawsExclude = 0;
    uint8_t StartCombsType = scFull;
    uint8_t ResultCombsMode = rmExt;
    bool ClearStakes = false;
    bool NewOnly = false;
    bool operator==(const TScriptOptions&) const = default;
};

// The weight block a filter may carry instead of the global coefficients.
struct TFilterCoefs {
    bool CDLOverride = false;
    long double CoefCount = 0, CoefDeviation = 0, CoefLevel = 0;
    bool CoefPercents = false, CoefAbs = false;
    bool operator==(const TFilterCoefs&) const = default;
    TCDLCoefs ToCDL() const {
        return {static_cast<double>(CoefCount), static_cast<double>(CoefDeviation),
                static_cast<double>(CoefLevel), CoefPercents, CoefAbs};
    }
};

// One filter as written: may stand for many concrete filters.
struct TFilterItem {
    bool Used = false;
    std::string StatText;  // the second word as read, kept for unknown codes
    int Method = -1;       // index in the registry; -1 when no code matched
    std::string MethodCode;
    std::string DrawsLen;
    int32_t SortOrder = 0;
    bool BottomUp = false, MultiSelect = false, KeepSelected = false;
    uint8_t LevelMode = 0;
    std::string LevelValue;
    TFilterCoefs Coefs;
    uint8_t StopMode = 0;
    int32_t StopValue = 0;
};

// One concrete filter: one draws length, one level value.
struct TFilterPart {
    bool Used = false;
    int Method = -1;
    std::string MethodCode;
    int32_t DrawsLen = 0;
    int32_t SortOrder = 0;
    bool BottomUp = false, MultiSelect = false, KeepSelected = false;
    uint8_t LevelMode = 0;
    std::string LevelValue;
    std::string LevelText;
    TFilterCoefs Coefs;
    uint8_t StopMode = 0;
    int32_t StopValue = 0;
};

inline constexpr int MaxLineFilters = 7;
using TFilterRec = std::array<TFilterPart, MaxLineFilters>;

// Fields of a line: options, seven filters, comment (each trimmed).
std::string ScriptLineOptions(std::string_view line);
std::string ScriptLineFilter(std::string_view line, int n);  // n = 1..7
std::string ScriptLineComment(std::string_view line);
std::string BuildScriptLine(const std::string& options, const std::array<std::string, 7>& filters,
                            const std::string& comment);

TScriptOptions ParseScriptOptions(std::string_view text);
std::string FormatScriptOptions(const TScriptOptions& o);
std::string FormatScriptOptionsShort(const TScriptOptions& o);
std::string DescribeScriptOptions(const TScriptOptions& o);

// Codes match the registered methods as case-insensitive prefixes, in
// registry order.
TFilterItem ParseFilterItem(std::string_view text, const TStatList& stats);
std::string FormatFilterItem(const TFilterItem& item);
std::string FormatFilterPart(const TFilterPart& part);
std::string FormatFilterRec(const TFilterRec& rec);
std::string FormatStakeNote(int line, int set, const std::string& comment,
                            const std::string& description);

// Coefficients are read leniently: only "-", digits and a "." or "," count.
long double ReadLenientNumber(std::string_view text);
// General format, at most 15 significant digits, "." always.
std::string FormatCoefficient(long double v);

// The checks of the filter editor's OK, in order: the draws list, the list
// mode on a statistic without plain integer values, the level list, and the
// stop modes that multi-select cannot honour. Ok, or which control failed
// with the message to show.
enum class TFilterCheck { Ok, DrawsLen, LevelMode, LevelValue, StopMode };
TFilterCheck CheckFilterEditor(std::string_view drawsLen, int levelMode, std::string_view levelValue,
                               bool numericValues, bool multiSelect, int stopMode,
                               std::string& message);

// The scenario line a rating name stands for ("note @ options + filters");
// empty when it does not read as a line with at least one filter.
std::string RatingNameToScriptLine(const std::string& name, const TStatList& stats);

// Scenario files: Windows-1251 lines, CR LF; lines are taken unchanged.
inline constexpr const char* CurrentScenarioFileName = "Tessara_6x42.lss";
std::vector<std::string> ParseScenarioText(std::string_view cp1251);
std::string FormatScenarioText(const std::vector<std::string>& lines);

}  // namespace tessara
