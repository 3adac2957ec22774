// The stakes file of the workspace: opening and closing, records, checking,
// logs, the stake commands and the data of the stakes grid.
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fmt/format.h>

#include "app/workspace.h"
#include "model/error.h"
#include "model/files.h"
#include "stakes/check_journal.h"
#include "stakes/stake_check.h"
#include "stakes/stake_cost.h"
#include "stakes/stake_create.h"

namespace tessara {

namespace {

constexpr const char* kMsgReadFile = "Ошибка чтения файла ставок!\r\r";
constexpr const char* kMsgWriteFile = "Ошибка записи в файл ставок!\r\r";
constexpr const char* kMsgReadRecord = "Ошибка чтения записи из файла ставок!\r\r";
constexpr const char* kMsgAddRecord = "Ошибка добавления записи в файл ставок!\r\r";
constexpr const char* kMsgFindRecord = "Ошибка поиска записи в файле ставок!\r\r";
constexpr const char* kMsgSeekDraw = "Ошибка поиска записи по номеру тиража в файле ставок!\r\r";
constexpr const char* kMsgDeleteRecord = "Ошибка удаления записи из файла ставок!\r\r";
constexpr const char* kMsgCheck = "Ошибка проверки ставок!\r\r";
constexpr const char* kMsgOutdated =
    "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!";
constexpr const char* kStatusDeleting = "Удаление ставок...";
constexpr const char* kMsgJournalStale =
    "Незавершенная проверка ставок не может быть восстановлена: файл ставок изменился после нее.\r"
    "Обновите рейтинг по текущим ставкам.";

std::tm LocalNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

// The first free name for the copy of an outdated stakes file:
// "Tessara_6x42.lsk.bak", then "Tessara_6x42.lsk.bak2" and on.
std::string BackupPath(const std::string& path) {
    std::string candidate = path + ".bak";
    for (int i = 2; std::filesystem::exists(candidate); ++i)
        candidate = path + ".bak" + std::to_string(i);
    return candidate;
}

}  // namespace

bool Workspace::OpenStakesFile() {
    if (stakes_.IsOpen()) return true;
    try {
        // A data folder named on the command line may not exist yet.
        std::error_code ec;
        std::filesystem::create_directories(dataDir_, ec);
        stakes_.Open(PathOf(StakesFileName));
        return true;
    } catch (const Error& e) {
        // A folder that is a file, or cannot be made, is not a matter of
        // another copy holding it.
        std::error_code ec;
        if (!std::filesystem::is_directory(dataDir_, ec)) {
            host_.ShowError(fmt::format("Каталог данных недоступен: {}\r\r{}", dataDir_, e.what()));
            return false;
        }
        host_.ShowError(MsgExclusiveAccess(dataDir_));
        return false;
    }
}

void Workspace::CloseStakesFile() {
    try {
        stakes_.Close();
    } catch (const Error&) {
    }
}

bool Workspace::LoadStakesFile() {
    bool ok = true;
    {
        BusyGuard busy(host_, "Загрузка файла ставок...");
        ok = OpenStakesFile();
        if (ok) {
            try {
                if (stakes_.IsOutdated()) {
                    host_.ShowMessage(MessageKind::Warning, kMsgOutdated);
                    // The old stakes are kept in a copy beside the file, so
                    // that emptying it never loses them for good.
                    WriteFileAtomic(BackupPath(stakes_.Path()), stakes_.ReadAllBytes());
                    stakes_.Truncate();
                }
                // Failing here, the record stays and the next check retries.
                ReplayCheckJournal();
            } catch (const Error& e) {
                host_.ShowError(kMsgReadFile + std::string(e.what()));
                CloseStakesFile();
                ok = false;
            }
        }
    }
    if (ok) RefreshStakesGrid(true, false);
    return ok;
}

bool Workspace::SaveStakesFile() {
    BusyGuard busy(host_, "Сохранение файла ставок...");
    try {
        stakes_.Close();
        return true;
    } catch (const Error& e) {
        host_.ShowError(kMsgWriteFile + std::string(e.what()));
        return false;
    }
}

bool Workspace::ReopenStakesFile() {
    // The file stays open and locked: closing it even for a moment would let
    // another copy of the program take the folder. What a reopening is for,
    // that every read returns what the file holds, is the dropped cache.
    if (stakes_.IsOpen()) {
        stakes_.DropCache();
        return true;
    }
    try {
        stakes_.Open(PathOf(StakesFileName));
        return true;
    } catch (const Error& e) {
        host_.ShowError(kMsgReadFile + std::string(e.what()));
        return false;
    }
}

int64_t Workspace::StakesCount() const {
    try {
        return stakes_.IsOpen() ? stakes_.Count() : 0;
    } catch (const Error&) {
        return 0;
    }
}

bool Workspace::ReadStake(TStakeOrigin origin, int64_t index, TStakeRecord& record) const {
    try {
        record = stakes_.Read(origin, index);
        return true;
    } catch (const Error& e) {
        std::memset(&record, 0, sizeof record);
        host_.ShowError(kMsgReadRecord + std::string(e.what()));
        return false;
    }
}

bool Workspace::WriteStake(TStakeOrigin origin, int64_t index, const TStakeRecord& record) {
    try {
        stakes_.Write(origin, index, record);
        return true;
    } catch (const Error& e) {
        host_.ShowError(kMsgAddRecord + std::string(e.what()));
        return false;
    }
}

bool Workspace::FindStake(int draw, const TStakeNumbers& numbers) const {
    try {
        return stakes_.Find(draw, numbers);
    } catch (const Error& e) {
        host_.ShowError(kMsgFindRecord + std::string(e.what()));
        return false;
    }
}

bool Workspace::AppendStake(const TStakeRecord& record, int drawCount) {
    try {
        stakes_.AppendStake(record, drawCount);
        return true;
    } catch (const Error& e) {
        host_.ShowError(kMsgAddRecord + std::string(e.what()));
        return false;
    }
}

void Workspace::AppendSeparator() {
    try {
        stakes_.AppendSeparator();
    } catch (const Error& e) {
        host_.ShowError(kMsgAddRecord + std::string(e.what()));
    }
}

int Workspace::SeekLastCheckedDraws(int n, int64_t& start) const {
    try {
        return stakes_.SeekLastCheckedDraws(n, start);
    } catch (const Error& e) {
        start = StakesCount();
        host_.ShowError(kMsgSeekDraw + std::string(e.what()));
        return -1;
    }
}

bool Workspace::DeleteSelectedStakes(int64_t first, int64_t last) {
    try {
        stakes_.DeleteRange(first, last);
        return true;
    } catch (const Error& e) {
        host_.ShowError(kMsgDeleteRecord + std::string(e.what()));
        return false;
    }
}

bool Workspace::DeleteStakesByCondition(int mode, int value) {
    try {
        stakes_.DeleteByCondition(mode, value);
        return true;
    } catch (const Error& e) {
        host_.ShowError(kMsgDeleteRecord + std::string(e.what()));
        return false;
    }
}

TMoney Workspace::StakeCost(int count, int matches) const {
    return tessara::StakeCost(config_, count, matches);
}

bool Workspace::ReplayCheckJournal() {
    const std::string path = PathOf(CheckJournalFileName);
    if (!FileExists(path)) return true;
    try {
        TCheckJournal journal;
        bool damaged = false;
        try {
            journal = ParseCheckJournal(ReadFileBytes(path));
        } catch (const Error& e) {
            host_.ShowError(kMsgCheck + std::string(e.what()));
            damaged = true;
        }
        if (!damaged) {
            if (ApplyCheckJournal(stakes_, journal)) {
                savedRatings_.reset();
                WriteFileAtomic(PathOf(RatingsFileName), journal.Ratings);
                savedRatings_ = journal.Ratings;
                ratings_.Assign(ParseRatingsFile(journal.Ratings));
            } else {
                host_.ShowMessage(MessageKind::Warning, kMsgJournalStale);
            }
        }
        std::filesystem::remove(path);
        return true;
    } catch (const std::exception& e) {
        host_.ShowError(kMsgCheck + std::string(e.what()));
        return false;
    }
}

bool Workspace::CheckStakes(int* checkedCount) {
    int checked = 0;
    {
        BusyGuard busy(host_, "Проверка результатов ставок...");
        // A check left unfinished is finished first, or the stakes it marked
        // would be checked and counted a second time.
        if (stakes_.IsOpen() && ReplayCheckJournal() && stakes_.HasStakes()) {
            try {
                TCheckJournal journal;
                journal.Entries = CollectStakeChecks(stakes_, AnalysisArchive(), config_, [&](double percent) {
                    host_.ShowStatus(
                        fmt::format("Проверка результатов ставок ( завершено {:.0f} % )...", percent));
                });
                if (!journal.Entries.empty()) {
                    TRatings after = ratings_;
                    for (const TCheckJournalEntry& e : journal.Entries) after.Update(e.After);
                    // Sorted as the window shows them, so that the rows are
                    // written once.
                    after.Sort(ratingsSortColumn_, ratingsSortDesc_);
                    journal.Ratings = FormatRatingsFile(after.Rows());
                    const std::string journalPath = PathOf(CheckJournalFileName);
                    WriteFileAtomic(journalPath, FormatCheckJournal(journal));
                    if (checkHook_) checkHook_(0);
                    int64_t written = 0;
                    for (const TCheckJournalEntry& e : journal.Entries) {
                        stakes_.Write(TStakeOrigin::Begin, e.Index, e.After);
                        if (checkHook_) checkHook_(++written);
                    }
                    stakes_.Sync();
                    ratings_ = std::move(after);
                    savedRatings_.reset();
                    WriteFileAtomic(PathOf(RatingsFileName), journal.Ratings);
                    savedRatings_ = journal.Ratings;
                    std::filesystem::remove(journalPath);
                    checked = static_cast<int>(journal.Entries.size());
                    for (const TCheckJournalEntry& e : journal.Entries) WriteStakeLog(e.After);
                }
            } catch (const std::exception& e) {
                // What was written stays; the redo record, still there,
                // finishes the check at the next one or at the next start.
                host_.ShowError(kMsgCheck + std::string(e.what()));
            }
        }
    }
    if (checkedCount) *checkedCount = checked;
    return checked > 0;
}

bool Workspace::CheckStakesAndUpdate(int* checkedCount) {
    if (!CheckStakes(checkedCount)) return false;
    ReopenStakesFile();
    // The check has sorted the rows as the window shows them and written
    // them: sorting once more would only swap equal rows again.
    SaveRatings();
    return true;
}

TStakeRecord Workspace::PrefillManualStake(const TCombination* comb) const {
    return tessara::PrefillManualStake(NextDrawNo(), CombsCount(), comb, config_);
}

bool Workspace::CreateStake(const TStakeRecord& record, int drawCount) {
    bool ok;
    {
        BusyGuard busy(host_, "Создание ставки...");
        ok = AppendStake(record, drawCount);
    }
    if (ok) {
        CheckStakesAndUpdate();
        RefreshStakesGrid(true, true);
    }
    return ok;
}

bool Workspace::CreateStakes(const TStakeRecord& record, int drawCount, bool bulk) {
    bool ok;
    {
        BusyGuard busy(host_, "Создание ставок...");
        ok = AppendStake(record, drawCount);
    }
    if (ok) RefreshStakesGrid(false, !bulk || stakesScroll_);
    return ok;
}

bool Workspace::AddStakesForCombs(const TRowRanges& rows, int draw, int drawCount,
                                  const std::string& comment) {
    bool ok = false;
    {
        BusyGuard busy(host_, "Создание ставок...");
        for (const auto& [first, last] : rows) {
            for (int64_t i = std::max<int64_t>(first, 0); i <= last && i < combs_.Count(); ++i) {
                TStakeRecord r = PrefillManualStake(&combs_[i]);
                r.Draw = draw;
                SetStakeComment(r, comment);
                ok = CreateStakes(r, drawCount, true);
                if (!ok) break;
            }
            if (!ok) break;
        }
    }
    if (ok) {
        CheckStakesAndUpdate();
        RefreshStakesGrid(true, true);
    }
    return ok;
}

bool Workspace::AddStakesForAllCombs(int draw, int drawCount, const std::string& comment) {
    if (combs_.Empty()) return false;
    return AddStakesForCombs({{0, combs_.Count() - 1}}, draw, drawCount, comment);
}

bool Workspace::DeleteStakes(int64_t first, int64_t last) {
    if (!HasStakes()) return false;
    first = std::max<int64_t>(first, 0);
    last = std::min(last, StakesCount() - 1);
    if (last < first) return false;
    const int64_t k = last - first + 1;
    if (!host_.Confirm(DeleteRowsQuestion(static_cast<int>(std::min<int64_t>(k, INT32_MAX)))))
        return false;
    bool ok;
    {
        BusyGuard busy(host_, kStatusDeleting);
        ok = DeleteSelectedStakes(first, last);
        if (ok) CheckStakesAndUpdate();
    }
    RefreshStakesGrid(true, false);
    return ok;
}

bool Workspace::DeleteStakesWhere(int mode, int value) {
    if (!HasStakes()) return false;
    bool ok;
    {
        BusyGuard busy(host_, kStatusDeleting);
        ok = DeleteStakesByCondition(mode, value);
        if (ok) CheckStakesAndUpdate();
    }
    RefreshStakesGrid(true, false);
    return ok;
}

bool Workspace::ClearStakes() {
    if (!HasStakes()) return false;
    const int64_t k = StakesCount();
    if (!host_.Confirm(DeleteRowsQuestion(static_cast<int>(std::min<int64_t>(k, INT32_MAX)))))
        return false;
    bool ok = true;
    {
        BusyGuard busy(host_, kStatusDeleting);
        try {
            stakes_.Truncate();
        } catch (const Error& e) {
            host_.ShowError(kMsgDeleteRecord + std::string(e.what()));
            ok = false;
        }
        ReopenStakesFile();
        RefreshStakesGrid(false, false);
    }
    if (ok) RatingsRefresh();
    return ok;
}

bool Workspace::CheckStakesManual() {
    if (!HasStakes()) return false;
    const bool checked = CheckStakesAndUpdate();
    RefreshStakesGrid(true, false);
    return checked;
}

void Workspace::ResetStakesGrid() {
    stakesGrid_ = TStakesGridState{};
    host_.Notify(Change::Stakes);
}

void Workspace::RefreshStakesGrid(bool refresh, bool scrollToLast) {
    stakesGrid_.Selected = -1;
    stakesGrid_.Repaint = false;
    if (HasStakes()) {
        const int64_t n = StakesCount();
        bool changed = false;
        if ((refresh || scrollToLast) && stakesGrid_.Rows != n) {
            stakesGrid_.Rows = n;
            changed = true;
        }
        if (scrollToLast) stakesGrid_.Selected = n - 1;
        if (refresh && !changed) stakesGrid_.Repaint = true;
        // The panel follows the rows shown; a grid that kept its row count
        // (one stake after the reset) still gets the true count.
        if (refresh || scrollToLast) stakesGrid_.StatusText = fmt::format("Ставок: {}", n);
    } else {
        stakesGrid_.Rows = 1;
        stakesGrid_.Selected = 0;
        stakesGrid_.Repaint = true;
        stakesGrid_.StatusText = "Ставок: 0";
    }
    host_.Notify(Change::Stakes);
}

TStakeRecord Workspace::StakeAtRow(int64_t row) const {
    try {
        if (stakes_.IsOpen()) return stakes_.Read(TStakeOrigin::Begin, row);
    } catch (const Error&) {
    }
    TStakeRecord empty;
    std::memset(&empty, 0, sizeof empty);
    return empty;
}

namespace {

void StoreOption(Host& host, const ViewState& view, const char* key, bool on) {
    try {
        view.WriteBool(MainWindowSection, key, on);
    } catch (const Error& e) {
        host.ShowError(e.what());
    }
}

}  // namespace

void Workspace::SetStakesLogEnabled(bool on) {
    stakesLogEnabled_ = on;
    StoreOption(host_, viewState_, "StakesLogEnabled", on);
    host_.Notify(Change::Options);
}

void Workspace::SetStakesScrollEnabled(bool on) {
    stakesScroll_ = on;
    StoreOption(host_, viewState_, "StakesScrollEnabled", on);
    host_.Notify(Change::Options);
}

void Workspace::SetStakesCheckOnLine(bool on) {
    stakesCheckOnLine_ = on;
    StoreOption(host_, viewState_, "StakesCheckOnLine", on);
    host_.Notify(Change::Options);
}

void Workspace::LoadStakesOptions(const IniFile& ini) {
    stakesLogEnabled_ = ini.ReadBool(MainWindowSection, "StakesLogEnabled", false);
    stakesScroll_ = ini.ReadBool(MainWindowSection, "StakesScrollEnabled", true);
    stakesCheckOnLine_ = ini.ReadBool(MainWindowSection, "StakesCheckOnLine", true);
    ratingsEffMode_ = ini.ReadInteger(MainWindowSection, "RatingsEffMode", 1);
    // "column,direction", direction 1 for descending.
    const std::string sort = ini.ReadString(MainWindowSection, "lvRatings.SortType", "");
    const size_t comma = sort.find(',');
    int32_t column = 0, desc = 0;
    if (comma != std::string::npos && TryStrToInt(sort.substr(0, comma), column) &&
        TryStrToInt(sort.substr(comma + 1), desc)) {
        ratingsSortColumn_ = column;
        ratingsSortDesc_ = desc != 0;
    }
}

void Workspace::WriteStakeLog(const TStakeRecord& record) {
    if (!stakesLogEnabled_ || record.Checked == 0) return;
    tessara::WriteStakeLog(host_, dataDir_, record, LocalNow(), stakeLogLimit_);
}

bool Workspace::DeleteStakeLogs() {
    const std::vector<std::string> logs = FindStakeLogs(dataDir_);
    if (logs.empty()) {
        host_.ShowMessage(MessageKind::Information, "Файлы журналов не найдены!");
        return false;
    }
    int deleted = 0;
    std::string failures;
    {
        BusyGuard busy(host_, "Поиск файлов журналов...");
        for (const std::string& path : logs) {
            std::error_code ec;
            if (std::filesystem::remove(path, ec))
                ++deleted;
            else
                failures += fmt::format("\r{}: {}", path, ec.message());
        }
    }
    // The summary: heading and text joined by an empty line.
    if (failures.empty()) {
        host_.ShowMessage(MessageKind::Information,
                          fmt::format("Удаление файлов журналов завершено\r\rУдалено файлов: {}", deleted));
        return true;
    }
    host_.ShowMessage(MessageKind::Warning,
                      fmt::format("Удаление файлов журналов не завершено\r\rУдалено файлов: {}, "
                                  "не удалось удалить:{}",
                                  deleted, failures));
    return false;
}

}  // namespace tessara
