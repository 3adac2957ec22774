#include "app/workspace.h"

#include <algorithm>
#include <filesystem>
#include <fmt/format.h>

#include "base/view_keys.h"
#include "model/draws_csv.h"
#include "model/error.h"
#include "model/files.h"
#include "stats/prefetch.h"

namespace tessara {

std::string MsgExclusiveAccess(const std::string& dataDir) {
    return "Невозможно получить монопольный доступ к файлам данных!\r\r"
           "Возможные причины данной ошибки: \r\r"
           "1) Вы пытаетесь запустить вторую копию программы из одного и того же каталога. "
           "Корректная работа нескольких копий программы возможна только из разных "
           "каталогов.\r\r"
           "2) Для программы нет прав на запись в том каталоге, где она расположена. "
           "Каталог данных: " +
           dataDir +
           "\r\r"
           "Программа будет закрыта!";
}

namespace {

constexpr const char* kMsgReadDraws = "Ошибка чтения файла тиражей!\r\r";
constexpr const char* kMsgWriteDraws = "Ошибка записи в файл тиражей!\r\r";

}  // namespace

Workspace::Workspace(Host& host, std::string dataDir)
    : host_(host),
      dataDir_(std::move(dataDir)),
      viewState_(JoinPath(dataDir_, std::string(ProgramName) + ".frm")),
      online_(std::make_unique<OnlineClient>(host_, JoinPath(dataDir_, ConfigFileName))),
      stats_(archive_.Draws(), config_, shredding_),
      regulars_(std::make_unique<TRegulars>(host_, viewState_, PathOf(RegularsFileName))) {
    library_ = std::make_unique<ScriptLibrary>(
        host_, viewState_, [this]() -> const TOnlineConfig& { return online_->Settings(); },
        [this](const TOnlineConfig& settings) { return online_->SetSettings(settings); },
        ScriptLibrary::TScenarioAccess{
            [this]() -> const std::vector<std::string>& { return scenario_; },
            [this](const std::vector<std::string>& lines) { return ReplaceScenario(lines); }});
    systems_ = std::make_unique<SystemsCatalogue>(
        host_, *this, [this]() -> const TOnlineConfig& { return online_->Settings(); });
}

void Workspace::RegisterStats() {
    stats_.Register();
    stats_.SetAllFavourites();
    stats_.LoadNames(host_, FavouritesFile(), true);
}

void Workspace::ReregisterStats() {
    SaveFavourites();
    RegisterStats();
}

Workspace::~Workspace() = default;

std::string Workspace::PathOf(const std::string& fileName) const {
    return JoinPath(dataDir_, fileName);
}

const TDrawArchive& Workspace::AnalysisArchive() {
    if (!archive_.HasDamagedDraws()) {
        stats_.SetArchive(archive_.Draws());
        return archive_;
    }
    // Assigned into the same object, so that what holds it stays valid.
    sound_.Draws() = archive_.SoundDraws().Draws();
    stats_.SetArchive(sound_.Draws());
    return sound_;
}

TStatSource Workspace::StatSource() {
    return TStatSource(AnalysisArchive(), stats_, host_, dataDir_,
                       [this](int method) { return BuildPrefetch(*this, method); });
}

void Workspace::InitGameTables() {
    totalCombs_ = Binomial(MaxNumber, BallsInDraw);
    matchTable_ = MakeMatchTable();
}

void Workspace::LoadDrawsFile() {
    const std::string path = PathOf(DrawsFileName);
    if (!FileExists(path)) return;
    {
        BusyGuard busy(host_, "Загрузка файла тиражей...");
        try {
            ReadDrawsFile(path, archive_.Draws());
        } catch (const Error& e) {
            host_.ShowError(kMsgReadDraws + std::string(e.what()));
        }
        // Damaged draws stay (they can be mended) but are named once.
        std::string damaged;
        int count = 0;
        for (const TDrawRecord& d : archive_.Draws())
            if (DrawIsDamaged(d) && ++count <= 20) damaged += (damaged.empty() ? "" : ", ") + std::to_string(d.DrawNo);
        if (count > 20) damaged += fmt::format(" и еще {}", count - 20);
        if (count > 0)
            host_.ShowMessage(MessageKind::Warning,
                              fmt::format("В архиве поврежденные тиражи (номер вне диапазона, числа вне 1..42 "
                                          "или повторяются): {}.\rОни не учитываются в статистике, фильтрах и "
                                          "проверке ставок; исправьте их командой \"Изменить\".",
                                          damaged));
        drawsOffset_ = std::clamp(drawsOffset_, 0, std::max(archive_.Count() - 1, 0));
    }
    host_.Notify(Change::Archive);
}

bool Workspace::SaveDrawsFile() {
    bool ok = true;
    {
        BusyGuard busy(host_, "Сохранение файла тиражей...");
        try {
            WriteDrawsFile(PathOf(DrawsFileName), archive_.Draws());
        } catch (const Error& e) {
            host_.ShowError(kMsgWriteDraws + std::string(e.what()));
            ok = false;
        }
        drawsOffset_ = std::clamp(drawsOffset_, 0, std::max(archive_.Count() - 1, 0));
    }
    host_.Notify(Change::Archive);
    return ok;
}

bool Workspace::CheckNewDraw(const TDrawRecord& draw) {
    if (draw.DrawNo < 1 || draw.DrawNo > MaxDrawNo) {
        host_.ShowError(fmt::format("Номер тиража должен быть от 1 до {}!", MaxDrawNo));
        return false;
    }
    if (DrawIsDamaged(draw)) {
        host_.ShowError(MsgIncorrectCombination);
        return false;
    }
    return true;
}

bool Workspace::AddDraw(const TDrawRecord& draw) {
    if (!CheckNewDraw(draw)) return false;
    // Two draws of one number make every look-up by number ambiguous: the
    // user says whether that is meant.
    if (archive_.FindDrawIndex(draw.DrawNo) >= 0 &&
        !host_.Confirm(fmt::format("Тираж № {} уже есть в архиве.\r\rДобавить еще один тираж с этим номером?",
                                   draw.DrawNo)))
        return false;
    archive_.Append(draw);
    const bool ok = SaveDrawsFile();
    host_.RefreshViews(false);
    return ok;
}

bool Workspace::ReplaceDraw(int index, const TDrawRecord& draw) {
    if (index < 0 || index > archive_.High()) {
        host_.ShowError(fmt::format("Запись со индексом {} в файле данных не найдена!", index));
        return false;
    }
    if (!CheckNewDraw(draw)) return false;
    archive_.Draws()[static_cast<size_t>(index)] = draw;
    const bool ok = SaveDrawsFile();
    host_.RefreshViews(false);
    return ok;
}

bool Workspace::DeleteDraws(const std::vector<int>& drawNumbers) {
    if (drawNumbers.empty()) return false;
    if (!host_.Confirm(DeleteRowsQuestion(static_cast<int>(drawNumbers.size())))) return false;
    bool ok = true;
    {
        BusyGuard busy(host_, "Удаление выделенных тиражей....");
        try {
            for (int no : drawNumbers) archive_.DeleteDrawAt(archive_.FindDrawIndex(no));
        } catch (const Error& e) {
            host_.ShowError(e.what());
            ok = false;
        }
        drawsOffset_ = std::clamp(drawsOffset_, 0, std::max(archive_.Count() - 1, 0));
        host_.Notify(Change::Archive);
    }
    // A failed deletion stops before the archive is saved.
    if (!ok) return false;
    ok = SaveDrawsFile();
    host_.RefreshViews(false);
    return ok;
}

bool Workspace::ImportDraws(const std::string& path) {
    TDrawsImportResult result;
    {
        BusyGuard busy(host_, fmt::format("Импорт тиражей из файла \"{}\"...", path));
        try {
            result = ImportDrawsCsvText(archive_, ReadFileBytes(path));
        } catch (const Error& e) {
            host_.ShowError(e.what());
            return false;
        }
    }
    const bool ok = SaveDrawsFile();
    // Every line that did not become a draw is counted.
    std::string dropped;
    const auto count = [&](int n, const char* text) {
        if (n > 0) dropped += (dropped.empty() ? "" : "\r") + fmt::format("{}: {}", text, n);
    };
    count(result.Rejected, "Пропущено строк с числами вне диапазона 1..42");
    count(result.Ignored, "Пропущено строк, не содержащих тираж");
    count(result.Existing, "Пропущено тиражей, уже имеющихся в архиве");
    if (!dropped.empty()) host_.ShowMessage(MessageKind::Information, dropped);
    return ok;
}

bool Workspace::ExportDraws(const std::string& path) {
    BusyGuard busy(host_, fmt::format("Экспорт тиражей в файл \"{}\"...", path));
    try {
        WriteFileAtomic(path, ExportDrawsCsvText(archive_.Draws()));
        return true;
    } catch (const Error& e) {
        host_.ShowError(e.what());
        return false;
    }
}

void Workspace::SetDrawsOffset(int offset) {
    offset = std::clamp(offset, 0, std::max(archive_.Count() - 1, 0));
    if (offset == drawsOffset_) return;
    drawsOffset_ = offset;
    host_.Notify(Change::Offset);
    host_.RefreshViews(false);
}

std::string Workspace::ArchiveStatusText() const {
    return fmt::format("Архив тиражей: {}", archive_.Count());
}

std::string Workspace::NextDrawStatusText() const {
    return fmt::format("Следующий тираж: {}", NextDrawNo());
}

void Workspace::SetSortedDraws(bool on) {
    BusyGuard busy(host_);
    sortedDraws_ = on;
    try {
        viewState_.WriteBool(MainWindowSection, "SortedDraws", on);
    } catch (const Error& e) {
        host_.ShowError(e.what());
    }
    host_.Notify(Change::Options);
    host_.RefreshViews(true);
}

void Workspace::SetColorDraws(bool on) {
    colorDraws_ = on;
    try {
        viewState_.WriteBool(MainWindowSection, "ColorDraws", on);
    } catch (const Error& e) {
        host_.ShowError(e.what());
    }
    host_.Notify(Change::Options);
}

bool Workspace::PrefetchsEnabled() const {
    try {
        return viewState_.ReadBool(MainWindowSection, "PrefetchsEnabled", false);
    } catch (const Error&) {
        return false;
    }
}

void Workspace::SetPrefetchsEnabled(bool on) {
    try {
        viewState_.WriteBool(MainWindowSection, "PrefetchsEnabled", on);
    } catch (const Error& e) {
        host_.ShowError(e.what());
    }
}

void Workspace::LoadViewOptions() {
    const IniFile ini = IniFile::Load(viewState_.Path());
    sortedDraws_ = ini.ReadBool(MainWindowSection, "SortedDraws", MainViewDefault("SortedDraws"));
    colorDraws_ = ini.ReadBool(MainWindowSection, "ColorDraws", MainViewDefault("ColorDraws"));
    LoadStakesOptions(ini);
    regulars_->SetTabVisible(ini.ReadBool(MainWindowSection, "TabTables", MainViewDefault("TabTables")));
    library_->LoadViewOptions();
    systems_->LoadViewOptions();
}

}  // namespace tessara
