#include "scenario/script_line.h"

#include <cmath>
#include <fmt/format.h>

#include "model/encoding.h"
#include "model/files.h"
#include "model/format.h"
#include "model/game.h"
#include "stats/stat_list.h"

namespace tessara {

namespace {

constexpr const char* kError = "# ERROR #";

struct TCodeCaption {
    const char* Code;
    const char* Caption;
    const char* Short;
};

constexpr TCodeCaption kStart[] = {
    {"FULL", "Исходный список (рекомендуется для тестов)", "Исходный список"},
    {"EXCL", "Удалить N последних тиражей (для прогнозов)", "Исключить %d тиражей"},
    {"CURR", "Текущий список (для последовательного выполнения)", "Текущий список"},
};
constexpr TCodeCaption kResult[] = {
    {"EXT", "Сделать расширенную ставку", "Расширенная"},
    {"RAND", "Выбрать одну случайную комбинацию", "Случайно"},
    {"FIRST", "Выбрать первую комбинацию в списке", "Первая"},
    {"LAST", "Выбрать последнюю комбинацию в списке", "Последняя"},
    {"ALL", "Выбрать все комбинации (не рекомендуется)", "Все"},
    {"SYSA", "Системная игра [вся система]", "Система [все]"},
    {"SYSC", "Системная игра [система * комбинации]", "Система [комб]"},
    {"STOP", "Остановить выполнение сценария", "Остановить"},
    {"SKIP", "Пропустить (игнорировать) эту ставку", "Пропустить"},
    {"NONE", "Не делать ставок (для последовательного выполнения)", "Не делать ставок"},
};
constexpr TCodeCaption kLevel[LevelModeCount] = {
    {"LNO", "Весь список (без условий)", nullptr},
    {"LMV", "\"Глубина\": не менее заданного значения", nullptr},
    {"LMP", "\"Глубина\": не менее заданного процента", nullptr},
    {"LLV", "\"Глубина\": не более заданного значения", nullptr},
    {"LLP", "\"Глубина\": не более заданного процента", nullptr},
    {"LDV", "\"Глубина\": из заданного списка значений", nullptr},
    {"LDP", "\"Глубина\": из заданного списка процентов", nullptr},
    {"DMV", "\"Отклонение\": не менее заданного значения", nullptr},
    {"DMP", "\"Отклонение\": не менее заданного процента", nullptr},
    {"DLV", "\"Отклонение\": не более заданного значения", nullptr},
    {"DLP", "\"Отклонение\": не более заданного процента", nullptr},
    {"DDV", "\"Отклонение\": из заданного списка значений", nullptr},
    {"DDP", "\"Отклонение\": из заданного списка процентов", nullptr},
    {"CMV", "\"Количество\": не менее заданного значения", nullptr},
    {"CMP", "\"Количество\": не менее заданного процента", nullptr},
    {"CLV", "\"Количество\": не более заданного значения", nullptr},
    {"CLP", "\"Количество\": не более заданного процента", nullptr},
    {"CDV", "\"Количество\": из заданного списка значений", nullptr},
    {"CDP", "\"Количество\": из заданного списка процентов", nullptr},
    {"WMV", "\"Вес\": не менее заданного значения", nullptr},
    {"WLV", "\"Вес\": не более заданного значения", nullptr},
    {"WDV", "\"Вес\": из заданного списка значений", nullptr},
    {"PIM", "\"Период min\": не менее заданного значения", nullptr},
    {"PIL", "\"Период min\": не более заданного значения", nullptr},
    {"PIR", "\"Период min\": из заданного списка значений", nullptr},
    {"PAM", "\"Период\": не менее заданного значения", nullptr},
    {"PAL", "\"Период\": не более заданного значения", nullptr},
    {"PAR", "\"Период\": из заданного списка значений", nullptr},
    {"PXM", "\"Период max\": не менее заданного значения", nullptr},
    {"PXL", "\"Период max\": не более заданного значения", nullptr},
    {"PXR", "\"Период max\": из заданного списка значений", nullptr},
    {"LVA", "\"Значения\": из заданного списка значений", nullptr},
};
constexpr TCodeCaption kStop[StopModeCount] = {
    {"SF", "Обработать все записи", nullptr},
    {"SC", "Количеству оставшихся комбинаций", nullptr},
    {"SE", "Количеству оставшихся чисел для расширенной ставки", nullptr},
    {"SZ", "Пока список не будет пуст и откатить на шаг", nullptr},
    {"ST", "Количеству шагов", nullptr},
    {"SV", "Значению в списке статистики", nullptr},
    {"SP", "Процентному соотношению в списке статистики", nullptr},
};

template <size_t N>
const TCodeCaption* At(const TCodeCaption (&t)[N], int i) {
    return i >= 0 && i < static_cast<int>(N) ? &t[i] : nullptr;
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// Fields split by a delimiter: runs of delimiters count as one and the ends
// produce no field.
std::vector<std::string_view> Fields(std::string_view text, char delimiter) {
    std::vector<std::string_view> out;
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == delimiter) ++pos;
        if (pos >= text.size()) break;
        size_t end = pos;
        while (end < text.size() && text[end] != delimiter) ++end;
        out.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return out;
}

std::string FieldAt(std::string_view text, char delimiter, size_t n) {
    const auto f = Fields(text, delimiter);
    return n >= 1 && n <= f.size() ? std::string(Trim(f[n - 1])) : std::string();
}

// The part after the first ":" of a word, trimmed ("" without one).
std::string AfterColon(std::string_view word) {
    const auto parts = Fields(word, ':');
    return parts.size() >= 2 ? std::string(Trim(parts[1])) : std::string();
}

std::string CoefWord(const TFilterCoefs& c) {
    if (!c.CDLOverride) return {};
    return "#" + FormatCoefficient(c.CoefCount) + ":" + FormatCoefficient(c.CoefDeviation) + ":" +
           FormatCoefficient(c.CoefLevel) + ":" + (c.CoefPercents ? "1" : "0") + ":" +
           (c.CoefAbs ? "1" : "0");
}

std::string FlagLetters(bool bottomUp, bool multi, bool keep) {
    return std::string(bottomUp ? "B" : "T") + (multi ? "M" : "S") + (keep ? "F" : "D");
}

}  // namespace

const char* StartCombsCode(int i) { return At(kStart, i) ? kStart[i].Code : kError; }
const char* StartCombsCaption(int i) { return At(kStart, i) ? kStart[i].Caption : kError; }
std::string StartCombsShortCaption(int i, int drawsExclude) {
    return At(kStart, i) ? FormatTemplate(kStart[i].Short, {int64_t{drawsExclude}}) : kError;
}
const char* ResultModeCode(int i) { return At(kResult, i) ? kResult[i].Code : kError; }
const char* ResultModeCaption(int i) { return At(kResult, i) ? kResult[i].Caption : kError; }
const char* ResultModeShortCaption(int i) { return At(kResult, i) ? kResult[i].Short : kError; }
const char* LevelModeCode(int i) { return At(kLevel, i) ? kLevel[i].Code : kError; }
const char* LevelModeCaption(int i) { return At(kLevel, i) ? kLevel[i].Caption : kError; }
const char* StopModeCode(int i) { return At(kStop, i) ? kStop[i].Code : kError; }
const char* StopModeCaption(int i) { return At(kStop, i) ? kStop[i].Caption : kError; }

bool IsListLevelMode(int m) {
    switch (m) {
        case 5: case 6: case 11: case 12: case 17: case 18: case 21: case 24: case 27: case 30: case 31:
            return true;
        default:
            return false;
    }
}
bool IsThresholdLevelMode(int m) { return m >= 1 && m <= 30 && !IsListLevelMode(m); }
bool IsExpandedLevelMode(int m) {
    return (m >= 1 && m <= 4) || (m >= 7 && m <= 10) || (m >= 13 && m <= 16) || (m >= 19 && m <= 30);
}

std::string ScriptLineOptions(std::string_view line) { return FieldAt(line, '|', 1); }
std::string ScriptLineFilter(std::string_view line, int n) {
    return FieldAt(line, '|', static_cast<size_t>(n) + 1);
}
std::string ScriptLineComment(std::string_view line) { return FieldAt(line, '|', 9); }

std::string BuildScriptLine(const std::string& options, const std::array<std::string, 7>& filters,
                            const std::string& comment) {
    // An empty field is a single space, or the fields after it would shift.
    std::string line = options + "|";
    for (const std::string& f : filters) line += (Trim(f).empty() ? std::string(" ") : f) + "|";
    if (!Trim(comment).empty()) line += comment;
    return line;
}

TScriptOptions ParseScriptOptions(std::string_view text) {
    TScriptOptions o;
    const auto words = Fields(text, '#');
    if (words.empty()) return o;
    const std::string_view first = Trim(words[0]);
    for (int i = 0; i < 3; ++i)
        if (StartsWithIgnoreCase(first, kStart[i].Code)) {
            o.StartCombsType = static_cast<uint8_t>(i);
            break;
        }
    o.DrawsExclude = StrToIntDef(AfterColon(first), 0);
    if (words.size() >= 2) {
        const std::string_view second = Trim(words[1]);
        for (int i = 0; i < 10; ++i)
            if (SameTextIgnoreCase(second, kResult[i].Code)) o.ResultCombsMode = static_cast<uint8_t>(i);
    }
    for (size_t i = 2; i < words.size(); ++i) {
        const std::string_view w = Trim(words[i]);
        if (w == "CLR") o.ClearStakes = true;
        if (w == "NEX") o.NewOnly = true;
    }
    return o;
}

std::string FormatScriptOptions(const TScriptOptions& o) {
    std::string s = std::string(StartCombsCode(o.StartCombsType)) + ":" + std::to_string(o.DrawsExclude) +
                    "#" + ResultModeCode(o.ResultCombsMode);
    if (o.ClearStakes) s += "#CLR";
    if (o.NewOnly) s += "#NEX";
    return s;
}

std::string FormatScriptOptionsShort(const TScriptOptions& o) {
    std::string s = StartCombsCode(o.StartCombsType);
    if (o.StartCombsType == scExcl) s += ":" + std::to_string(o.DrawsExclude);
    s += std::string("#") + ResultModeCode(o.ResultCombsMode);
    if (o.NewOnly) s += "#NEX";
    return s;
}

std::string DescribeScriptOptions(const TScriptOptions& o) {
    std::string s = StartCombsShortCaption(o.StartCombsType, o.DrawsExclude) + "; " +
                    ResultModeShortCaption(o.ResultCombsMode);
    if (o.ClearStakes) s += "; Удалить ставки";
    s += o.NewOnly ? "; Только новые ставки" : "; Все создаваемые ставки";
    return s;
}

long double ReadLenientNumber(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (c == '-' || (c >= '0' && c <= '9')) s += c;
        if (c == '.' || c == ',') s += '.';
    }
    if (s.empty()) return 0;
    size_t used = 0;
    try {
        const long double v = std::stold(s, &used);
        return used == s.size() && std::isfinite(v) ? v : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

std::string FormatCoefficient(long double v) {
    std::string s = fmt::format("{:.15g}", static_cast<double>(v));
    if (s == "-0") s = "0";
    return s;
}

TFilterItem ParseFilterItem(std::string_view text, const TStatList& stats) {
    TFilterItem item;
    if (Trim(text).empty()) return item;
    item.Used = true;
    const auto words = Fields(text, '#');
    const auto word = [&](size_t n) { return n <= words.size() ? Trim(words[n - 1]) : std::string_view(); };
    const std::string_view w1 = word(1);
    item.BottomUp = w1.find('B') != std::string_view::npos;
    item.MultiSelect = w1.find('M') != std::string_view::npos;
    item.KeepSelected = w1.find('F') != std::string_view::npos;
    item.SortOrder = w1.size() >= 4 ? StrToIntDef(w1.substr(3), 1) : 1;
    const std::string_view w2 = word(2);
    item.StatText = std::string(w2);
    for (int i = 0; i < stats.Count(); ++i) {
        const std::string code = stats.Items(i).Code();
        if (StartsWithIgnoreCase(w2, code)) {
            item.Method = i;
            item.MethodCode = code;
            item.DrawsLen = AfterColon(w2);
            break;
        }
    }
    if (words.size() >= 3) {
        const std::string_view w3 = word(3);
        for (int i = 0; i < LevelModeCount; ++i)
            if (StartsWithIgnoreCase(w3, kLevel[i].Code)) {
                item.LevelMode = static_cast<uint8_t>(i);
                item.LevelValue = AfterColon(w3);
                break;
            }
    }
    if (words.size() >= 4) {
        const std::string_view w4 = word(4);
        for (int i = 0; i < StopModeCount; ++i)
            if (StartsWithIgnoreCase(w4, kStop[i].Code)) {
                item.StopMode = static_cast<uint8_t>(i);
                item.StopValue = StrToIntDef(AfterColon(w4), 1);
                break;
            }
    }
    if (words.size() >= 5) {
        const auto parts = Fields(word(5), ':');
        const auto part = [&](size_t n) { return n <= parts.size() ? Trim(parts[n - 1]) : std::string_view(); };
        item.Coefs.CDLOverride = true;
        item.Coefs.CoefCount = ReadLenientNumber(part(1));
        item.Coefs.CoefDeviation = ReadLenientNumber(part(2));
        item.Coefs.CoefLevel = ReadLenientNumber(part(3));
        item.Coefs.CoefPercents = part(4) == "1";
        item.Coefs.CoefAbs = part(5) == "1";
    }
    return item;
}

std::string FormatFilterItem(const TFilterItem& item) {
    if (!item.Used) return {};
    std::string s = FlagLetters(item.BottomUp, item.MultiSelect, item.KeepSelected) +
                    std::to_string(item.SortOrder) + "#";
    s += item.Method >= 0 ? item.MethodCode + ":" + item.DrawsLen : item.StatText;
    s += std::string("#") + LevelModeCode(item.LevelMode) + ":" + item.LevelValue;
    s += std::string("#") + StopModeCode(item.StopMode) + ":" + std::to_string(item.StopValue);
    return s + CoefWord(item.Coefs);
}

std::string FormatFilterPart(const TFilterPart& p) {
    if (!p.Used) return {};
    return FlagLetters(p.BottomUp, p.MultiSelect, p.KeepSelected) + "#" + p.MethodCode + ":" +
           std::to_string(p.DrawsLen) + "#" + LevelModeCode(p.LevelMode) + ":" + p.LevelText + "#" +
           StopModeCode(p.StopMode) + ":" + std::to_string(p.StopValue) + CoefWord(p.Coefs);
}

std::string FormatFilterRec(const TFilterRec& rec) {
    std::string s;
    for (const TFilterPart& p : rec)
        if (p.Used) s += (s.empty() ? "" : " + ") + FormatFilterPart(p);
    return s;
}

std::string FormatStakeNote(int line, int set, const std::string& comment, const std::string& description) {
    std::string s = FormatTemplate("%.2d.%.3d:", {int64_t{line}, int64_t{set}});
    if (!comment.empty()) s += " " + comment;
    return s + " @ " + description;
}

TFilterCheck CheckFilterEditor(std::string_view drawsLen, int levelMode, std::string_view levelValue,
                               bool numericValues, bool multiSelect, int stopMode,
                               std::string& message) {
    const TIntArray draws = ParseIntList(drawsLen);
    if (draws.empty() || (draws.size() == 1 && draws[0] == 0)) {
        message = "Введен некорректный диапазон значений!";
        return TFilterCheck::DrawsLen;
    }
    if (levelMode != 0) {
        if (levelMode == 31 && !numericValues) {
            message = "Для данного вида статистики не доступен режим выделения по списку значений!";
            return TFilterCheck::LevelMode;
        }
        if (ParseIntList(levelValue).empty()) {
            message = "Введен некорректный диапазон значений!";
            return TFilterCheck::LevelValue;
        }
    }
    if (multiSelect && (stopMode == 1 || stopMode == 2)) {
        message =
            "В режиме мультивыделения остановка сценария по количеству комбинаций или чисел не может "
            "быть выполнена!\rВыберите другой способ останова.";
        return TFilterCheck::StopMode;
    }
    message.clear();
    return TFilterCheck::Ok;
}

std::string RatingNameToScriptLine(const std::string& name, const TStatList& stats) {
    std::string note, line = name;
    const size_t at = name.find('@');
    if (at != std::string::npos) {
        note = std::string(Trim(std::string_view(name).substr(0, at)));
        line = std::string(Trim(std::string_view(name).substr(at + 1)));
    }
    for (size_t pos; (pos = line.find(" + ")) != std::string::npos;) line.replace(pos, 3, "|");
    while (Fields(line, '|').size() <= 7) line += "| ";
    line += "|" + note;
    const auto fields = Fields(line, '|');
    bool header = false;
    for (int i = 0; i < 3 && !fields.empty(); ++i)
        header = header || StartsWithIgnoreCase(Trim(fields[0]), kStart[i].Code);
    bool filter = false;
    for (int n = 1; n <= MaxLineFilters; ++n) {
        const TFilterItem item = ParseFilterItem(ScriptLineFilter(line, n), stats);
        filter = filter || (item.Used && item.Method >= 0);
    }
    return header && filter ? line : std::string();
}

std::vector<std::string> ParseScenarioText(std::string_view cp1251) {
    std::vector<std::string> lines;
    for (const std::string& l : SplitLines(cp1251)) lines.push_back(Cp1251ToUtf8(l));
    return lines;
}

std::string FormatScenarioText(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return Utf8ToCp1251(s);
}

}  // namespace tessara
