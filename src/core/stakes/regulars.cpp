#include "stakes/regulars.h"

#include <algorithm>
#include <fmt/format.h>
#include <set>

#include "app/workspace.h"
#include "combs/comb_list.h"
#include "model/error.h"
#include "model/files.h"

namespace tessara {

namespace {

constexpr const char* kNotRead =
    "Файл не был прочитан и оставлен без изменений; исправьте или удалите его и покажите "
    "вкладку заново";
constexpr const char* kBadCombination =
    "По регулярной ставке получена некорректная комбинация!";

// Sorted, distinct rows that lie in the list.
std::vector<int> ValidRows(std::vector<int> rows, int count) {
    std::set<int> set;
    for (int r : rows)
        if (r >= 0 && r < count) set.insert(r);
    return {set.begin(), set.end()};
}

}  // namespace

TRegulars::TRegulars(Host& host, const ViewState& view, std::string path)
    : host_(host), view_(view), path_(std::move(path)) {}

std::vector<std::string> TRegulars::Comments() const {
    std::vector<std::string> out;
    out.reserve(rules_.size());
    for (const TRegularStake& r : rules_) out.push_back(RegularComment(r));
    return out;
}

void TRegulars::Changed() {
    if (changed_) changed_();
}

void TRegulars::ShowTab(bool on) {
    visible_ = on;
    try {
        view_.WriteBool(MainWindowSection, "TabTables", on);
    } catch (const Error& e) {
        host_.ShowError(e.what());
    }
    if (on) {
        Load();
    } else {
        rules_.clear();
        Changed();
    }
}

bool TRegulars::Load() {
    if (!visible_) return true;
    bool ok = true;
    {
        BusyGuard busy(host_, "Загрузка файла регулярных ставок...");
        rules_.clear();
        loadFailed_ = false;
        try {
            if (FileExists(path_)) rules_ = ParseRegularsFile(ReadFileBytes(path_));
        } catch (const Error& e) {
            rules_.clear();
            loadFailed_ = true;
            host_.ShowError(MsgRegularsReadError + std::string(e.what()));
            ok = false;
        }
    }
    Changed();
    return ok;
}

bool TRegulars::Save() {
    if (!visible_) return true;
    bool ok = true;
    {
        BusyGuard busy(host_, "Сохранение файла регулярных ставок...");
        try {
            if (loadFailed_) throw Error(kNotRead);
            WriteFileAtomic(path_, FormatRegularsFile(rules_));
        } catch (const Error& e) {
            host_.ShowError(MsgRegularsWriteError + std::string(e.what()));
            ok = false;
        }
    }
    Changed();
    return ok;
}

void TRegulars::DeleteRegular(int index) {
    if (index < 0 || index >= Count())
        throw Error(fmt::format("Запись со индексом {} в файле данных не найдена!", index));
    rules_.erase(rules_.begin() + index);
}

bool TRegulars::Delete(std::vector<int> rows) {
    rows = ValidRows(std::move(rows), Count());
    if (rows.empty()) return false;
    if (!host_.Confirm(DeleteRowsQuestion(static_cast<int>(rows.size())))) return false;
    {
        BusyGuard busy(host_, "Удаление регулярных ставок...");
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) DeleteRegular(*it);
    }
    return Save();
}

bool TRegulars::Add(const TRegularStake& proto, const TCombList& combs,
                    const std::vector<std::pair<int64_t, int64_t>>& selected) {
    int64_t selectedCount = 0;
    for (const auto& [first, last] : selected)
        selectedCount += std::max<int64_t>(0, std::min(last, combs.Count() - 1) -
                                                  std::max<int64_t>(first, 0) + 1);
    {
        BusyGuard busy(host_, "Создание регулярных ставок...");
        if (proto.FromDraw || selectedCount == 1) {
            TRegularStake r = proto;
            std::copy(r.Start, r.Start + BallsInDraw, r.Current);
            r.Stakes = 0;
            rules_.push_back(r);
        } else {
            const std::string comment = RegularComment(proto);
            for (const auto& [first, last] : selected)
                for (int64_t i = std::max<int64_t>(first, 0); i <= last && i < combs.Count(); ++i)
                    rules_.push_back(MakeRegular(fmt::format("{} ({})", comment, i + 1), false,
                                                 combs[i], proto.Step));
        }
    }
    return Save();
}

void TRegulars::Replace(int index, const TRegularStake& rule) {
    if (index < 0 || index >= Count())
        throw Error(fmt::format("Запись со индексом {} в файле данных не найдена!", index));
    rules_[static_cast<size_t>(index)] = rule;
}

bool TRegulars::StakeByRule(Workspace& ws, int index, const TStakeDialog& dialog) {
    if (index < 0 || index >= Count()) return false;
    TRegularStake advanced = rules_[static_cast<size_t>(index)];
    AdvanceRegular(ws.Archive(), ws.DrawsOffset(), advanced);
    // Without the draw a rule reads its base from, the move gives no valid
    // combination; a stake of it could never be checked.
    if (!IsValidCombination(RegularCurrent(advanced))) {
        host_.ShowError(kBadCombination);
        return false;
    }
    TStakeRecord stake =
        MakeRegularStakeRecord(advanced, ws.NextDrawNo(), ws.CombsCount(), ws.Config());
    int drawCount = 1;
    if (!dialog(stake, drawCount)) return false;
    rules_[static_cast<size_t>(index)] = advanced;
    Save();
    return ws.CreateStake(stake, drawCount);
}

bool TRegulars::Test(Workspace& ws, int count, std::vector<int> rows) {
    rows = ValidRows(std::move(rows), Count());
    count = std::min(count, ws.Archive().Count() - 1);
    if (count <= 0 || rows.empty()) return false;
    bool ok = true;
    {
        BusyGuard busy(host_, "Создание ставок по регулярным табличным ставкам...");
        const int saved = ws.DrawsOffset();
        try {
            for (int offset = count; ok && offset >= 1; --offset) {
                ws.SetDrawsOffset(offset);
                for (int row : rows) {
                    TRegularStake& rule = rules_[static_cast<size_t>(row)];
                    AdvanceRegular(ws.Archive(), offset, rule);
                    if (!IsValidCombination(RegularCurrent(rule))) {
                        host_.ShowError(kBadCombination);
                        ok = false;
                        break;
                    }
                    const TStakeRecord stake = MakeRegularStakeRecord(
                        rule, ws.Archive().NextDrawNo(offset), ws.CombsCount(), ws.Config());
                    if (!ws.CreateStakes(stake, 1, true)) {
                        ok = false;
                        break;
                    }
                }
            }
        } catch (const std::exception& e) {
            host_.ShowError(e.what());
            ok = false;
        }
        ws.SetDrawsOffset(saved);
        Save();
    }
    if (ok) {
        ws.CheckStakesAndUpdate();
        ws.RefreshStakesGrid(true, true);
    }
    return ok;
}

}  // namespace tessara
