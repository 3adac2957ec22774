// The current scenario of the workspace.
#include <algorithm>
#include <fmt/format.h>

#include "app/workspace.h"
#include "model/error.h"
#include "model/files.h"
#include "scenario/script_line.h"

namespace tessara {

namespace {

[[noreturn]] void NoSuchLine(int index) {
    throw Error(fmt::format("Запись со индексом {} в файле данных не найдена!", index));
}

}  // namespace

std::string Workspace::CurrentScenarioFile() const { return PathOf(CurrentScenarioFileName); }

bool Workspace::LoadScenarioFile(const std::string& path, bool append) {
    bool ok = true;
    {
        BusyGuard busy(host_, fmt::format("Загрузка файла \"{}\"...", path));
        try {
            std::vector<std::string> lines = ParseScenarioText(ReadFileBytes(path));
            if (append && !scenario_.empty()) {
                if (!lines.empty()) {
                    if (!scenario_.back().empty()) scenario_.emplace_back();
                    scenario_.insert(scenario_.end(), lines.begin(), lines.end());
                }
            } else {
                scenario_ = std::move(lines);
            }
        } catch (const Error& e) {
            host_.ShowError(fmt::format("Ошибка чтения файла \"{}\"!\r\r{}", path, e.what()));
            ok = false;
        }
    }
    host_.Notify(Change::Scenario);
    return ok;
}

bool Workspace::SaveScenarioFile(const std::string& path) {
    bool ok = true;
    {
        BusyGuard busy(host_, fmt::format("Сохранение файла \"{}\"...", path));
        try {
            WriteFileAtomic(path, FormatScenarioText(scenario_));
        } catch (const Error& e) {
            host_.ShowError(fmt::format("Ошибка записи в файл \"{}\"!\r\r{}", path, e.what()));
            ok = false;
        }
    }
    host_.Notify(Change::Scenario);
    return ok;
}

void Workspace::LoadCurrentScenario() {
    if (FileExists(CurrentScenarioFile())) LoadScenarioFile(CurrentScenarioFile(), false);
}

int Workspace::AppendScenarioLine(const std::string& text) {
    scenario_.push_back(text);
    SaveCurrentScenario();
    return static_cast<int>(scenario_.size()) - 1;
}

void Workspace::ReplaceScenarioLine(int index, const std::string& text) {
    if (index < 0 || index >= static_cast<int>(scenario_.size())) NoSuchLine(index);
    scenario_[static_cast<size_t>(index)] = text;
    SaveCurrentScenario();
}

const std::string& Workspace::GetScenarioLine(int index) const {
    if (index < 0 || index >= static_cast<int>(scenario_.size())) NoSuchLine(index);
    return scenario_[static_cast<size_t>(index)];
}

bool Workspace::DeleteScenarioLines(std::vector<int> indices) {
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    std::erase_if(indices, [&](int i) { return i < 0 || i >= static_cast<int>(scenario_.size()); });
    if (indices.empty() || !host_.Confirm(DeleteRowsQuestion(static_cast<int>(indices.size()))))
        return false;
    {
        BusyGuard busy(host_, "Удаление строк...");
        for (auto it = indices.rbegin(); it != indices.rend(); ++it)
            scenario_.erase(scenario_.begin() + *it);
    }
    return SaveCurrentScenario();
}

bool Workspace::ClearScenario() {
    if (scenario_.empty() || !host_.Confirm(DeleteRowsQuestion(static_cast<int>(scenario_.size()))))
        return false;
    {
        BusyGuard busy(host_, "Удаление строк...");
        scenario_.clear();
    }
    return SaveCurrentScenario();
}

bool Workspace::ReplaceScenario(const std::vector<std::string>& lines) {
    scenario_ = lines;
    return SaveCurrentScenario();
}

int Workspace::MoveScenarioLine(int index, bool up) {
    const int other = up ? index - 1 : index + 1;
    if (index < 0 || other < 0 || index >= static_cast<int>(scenario_.size()) ||
        other >= static_cast<int>(scenario_.size()))
        return index;
    {
        BusyGuard busy(host_);
        std::swap(scenario_[static_cast<size_t>(index)], scenario_[static_cast<size_t>(other)]);
    }
    SaveCurrentScenario();
    return other;
}

}  // namespace tessara
