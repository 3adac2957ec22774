// The ratings of the workspace: the rows in memory and their file, sorting,
// recomputation, export and the way back into the scenario.
#include <algorithm>
#include <fmt/format.h>

#include "app/workspace.h"
#include "model/error.h"
#include "model/files.h"
#include "scenario/script_line.h"

namespace tessara {

void Workspace::LoadRatings() {
    const std::string path = PathOf(RatingsFileName);
    if (!FileExists(path)) return;
    bool ok = true;
    {
        BusyGuard busy(host_, "Загрузка файла рейтинга...");
        try {
            ratings_.Assign(ParseRatingsFile(ReadFileBytes(path)));
        } catch (const Error& e) {
            host_.ShowError("Ошибка чтения файла рейтинга!\r\r" + std::string(e.what()));
            ok = false;
        }
    }
    // Sorting saves; a file that could not be read is not overwritten.
    if (ok) SortRatings(ratingsSortColumn_, ratingsSortDesc_);
}

bool Workspace::SaveRatings() {
    bool ok = true;
    {
        BusyGuard busy(host_, "Сохранение файла рейтинга...");
        try {
            std::string bytes = FormatRatingsFile(ratings_.Rows());
            if (bytes != savedRatings_) {
                savedRatings_.reset();
                WriteFileAtomic(PathOf(RatingsFileName), bytes);
                savedRatings_ = std::move(bytes);
            }
        } catch (const Error& e) {
            host_.ShowError("Ошибка записи в файл рейтинга!\r\r" + std::string(e.what()));
            ok = false;
        }
    }
    host_.Notify(Change::Ratings);
    return ok;
}

void Workspace::SortRatings(int column, bool descending) {
    {
        BusyGuard busy(host_, "Сортировка рейтинга...");
        if (column != ratingsSortColumn_ || descending != ratingsSortDesc_) {
            ratingsSortColumn_ = column;
            ratingsSortDesc_ = descending;
            try {
                viewState_.WriteString(MainWindowSection, "lvRatings.SortType",
                                       fmt::format("{},{}", column, descending ? 1 : 0));
            } catch (const Error& e) {
                host_.ShowError(e.what());
            }
        }
        ratings_.Sort(column, descending);
    }
    SaveRatings();
}

bool Workspace::RatingsRefresh() {
    if (!ratings_.Empty() &&
        !host_.Confirm("Пересчитать рейтинг только по текущим ставкам?\r\r"
                       "Накопленные ранее данные по удаленным ставкам будут потеряны."))
        return false;
    {
        BusyGuard busy(host_, "Обновление рейтинга...");
        // A failed pass keeps the rows as they were rather than a part of
        // the new ones, which a later save would make permanent.
        TRatings before = ratings_;
        try {
            ratings_.Clear();
            stakes_.ForEach(0, [&](int64_t, const TStakeRecord& r) {
                if (r.Draw >= 0 && r.Checked != 0) ratings_.Update(r);
                return true;
            });
        } catch (const Error& e) {
            ratings_ = std::move(before);
            host_.ShowError("Ошибка обновления рейтинга!\r\r" + std::string(e.what()));
            host_.Notify(Change::Ratings);
            return false;
        }
    }
    SortRatings(ratingsSortColumn_, ratingsSortDesc_);
    return true;
}

bool Workspace::ExportRatings(const std::string& path) {
    BusyGuard busy(host_, "Экспорт в CSV-файл...");
    try {
        WriteFileAtomic(path, RatingsCsvText(ratings_.Rows()));
        return true;
    } catch (const Error& e) {
        host_.ShowError(fmt::format("Ошибка записи в файл \"{}\"!\r\r{}", path, e.what()));
        return false;
    }
}

int Workspace::RatingsToScript(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    int added = 0;
    BusyGuard busy(host_, "Генерация новых строк в сценарии...");
    for (int row : rows) {
        if (row < 0 || row >= static_cast<int>(ratings_.Count())) continue;
        const std::string name = RatingName(ratings_[static_cast<size_t>(row)]);
        const std::string line = RatingNameToScriptLine(name, stats_);
        if (line.empty()) {
            host_.ShowError(fmt::format("Строку\r\r{}\r\rневозможно добавить в сценарий!", name));
            continue;
        }
        AppendScenarioLine(line);
        ++added;
    }
    return added;
}

void Workspace::SetRatingsEffMode(int mode) {
    ratingsEffMode_ = mode;
    try {
        viewState_.WriteInteger(MainWindowSection, "RatingsEffMode", mode);
    } catch (const Error& e) {
        host_.ShowError(e.what());
    }
    host_.Notify(Change::Ratings);
}

std::string Workspace::RatingsStatusText() const {
    return fmt::format("Рейтинг: {}", ratings_.Count());
}

}  // namespace tessara
