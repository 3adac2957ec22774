// tessara-cli systems ...: the systems catalogue, the system game and the
// wheel check of a system file.
#include <algorithm>
#include <ostream>

#include <fmt/format.h>

#include "cli.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "online/server_rows.h"
#include "online/system_files.h"
#include "online/wheel_check.h"
#include "stakes/stake_create.h"

namespace tessara::cli {

namespace {

int Done(const ConsoleHost& host, bool ok) { return ok && !host.ErrorShown() ? 0 : 1; }

std::string Cell(std::string text) {
    std::replace_if(text.begin(), text.end(), [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }, ' ');
    return text;
}

bool ParseId(CommandContext& c, const std::string& text, int32_t& id) {
    if (ParseInt32(text, id) && id > 0) return true;
    c.Err << "Ошибка: неверный номер системы \"" << text << "\"\n";
    return false;
}

// The workspace with the catalogue listed; no server address means the one
// message and exit code 1.
std::unique_ptr<Workspace> OpenCatalogue(CommandContext& c, ConsoleHost& host, bool list) {
    auto ws = c.OpenWorkspace(host);
    if (!ws) return nullptr;
    if (!ws->Systems().RequireServer()) return nullptr;
    if (list) {
        ws->Systems().LoadSystemList();
        if (host.ErrorShown()) return nullptr;
    }
    return ws;
}

bool FocusListed(CommandContext& c, SystemsCatalogue& sys, int32_t id) {
    if (!sys.Find(id)) {
        c.Err << "Ошибка: системы #" << id << " нет в каталоге\n";
        return false;
    }
    sys.SetFocusedId(id);
    return true;
}

int List(CommandContext& c) {
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenCatalogue(c, host, true);
    if (!ws) return 1;
    const SystemsCatalogue& sys = ws->Systems();
    std::vector<tSystemInfo> entries = sys.Entries();
    // The view's default order: by the count of numbers, ascending.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const tSystemInfo& a, const tSystemInfo& b) { return a.nums < b.nums; });
    c.Out << "ID";
    for (const std::string& caption : SystemColumnCaptions()) c.Out << '\t' << caption;
    c.Out << '\n';
    for (const tSystemInfo& s : entries) {
        c.Out << s.id;
        for (int col = 0; col < SystemColumnCount; ++col)
            c.Out << '\t' << Cell(SystemCellText(s, sys.IsDownloaded(s), col));
        c.Out << '\n';
    }
    return 0;
}

int Download(CommandContext& c) {
    if (!c.ExpectArgs(1, SIZE_MAX, {"ID"})) return 2;
    std::vector<int32_t> ids;
    for (const std::string& a : c.Args) {
        int32_t id = 0;
        if (!ParseId(c, a, id)) return 2;
        ids.push_back(id);
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenCatalogue(c, host, true);
    if (!ws) return 1;
    SystemsCatalogue& sys = ws->Systems();
    for (const int32_t id : ids)
        if (!sys.Find(id)) {
            c.Err << "Ошибка: системы #" << id << " нет в каталоге\n";
            return 1;
        }
    const bool ok = sys.DownloadSystems(ids);
    for (const tSystemInfo& s : sys.Entries())
        if (std::find(ids.begin(), ids.end(), s.id) != ids.end() && sys.IsDownloaded(s))
            c.Out << sys.LocalFile(s) << '\n';
    return Done(host, ok);
}

// The lines of a system file as the system dialog leaves them.
bool ReadSystemFile(CommandContext& c, const std::string& path, TNormalisedCombs& combs) {
    try {
        combs = NormaliseSystemCombs(SplitLines(Cp1251ToUtf8(ReadFileBytes(path))));
        return true;
    } catch (const Error& e) {
        c.Err << "Ошибка: " << ConsoleText("Ошибка чтения файла \"" + path + "\"!\r\r" + e.what()) << "\n";
        return false;
    }
}

int Add(CommandContext& c) {
    const std::string title = c.TakeOption("--title", "");
    const std::string descr = c.TakeOption("--descr", "");
    const std::string olapText = c.TakeOption("--olap", "");
    const std::string url = c.TakeOption("--url", "");
    int olap = 0;
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ"})) return 2;
    if (olapText.empty()) return c.Refuse("не указан --olap");
    if (!c.ReadInt("--olap", olapText, 0, 5, olap)) return 2;
    TNormalisedCombs combs;
    if (!ReadSystemFile(c, c.Args[0], combs)) return 1;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenCatalogue(c, host, false);
    if (!ws) return 1;
    SystemsCatalogue& sys = ws->Systems();
    tSystemData d = sys.NewSystemData();
    d.title = title;
    d.description = descr;
    d.url = url;
    d.olap = static_cast<uint8_t>(olap);
    d.nums = static_cast<uint8_t>(std::clamp(combs.Nums, 0, 255));
    d.csize = static_cast<int32_t>(combs.Lines.size());
    for (size_t i = 0; i < combs.Lines.size(); ++i) d.clist += (i ? "\r\n" : "") + combs.Lines[i];
    std::string message;
    if (CheckSystemFields(d, message) != TSystemField::None) {
        host.ShowError(message);
        return 1;
    }
    const int32_t id = sys.AddSystem(d);
    if (id < 0) return 1;
    c.Out << id << '\n';
    return Done(host, true);
}

int Props(CommandContext& c) {
    int32_t id = 0;
    if (!c.ExpectArgs(1, 1, {"ID"})) return 2;
    if (!ParseId(c, c.Args[0], id)) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenCatalogue(c, host, true);
    if (!ws) return 1;
    SystemsCatalogue& sys = ws->Systems();
    if (!FocusListed(c, sys, id)) return 1;
    tSystemData d;
    if (!sys.FocusedSystemData(d)) return 1;
    c.Out << "Наименование:\t" << Cell(d.title) << '\n'
          << "Описание:\t" << Cell(d.description) << '\n'
          << "Автор:\t" << Cell(d.author) << '\n'
          << "Ссылка:\t" << Cell(d.url) << '\n'
          << "Числа:\t" << static_cast<int>(d.nums) << '\n'
          << "Длина:\t" << SystemsClen << '\n'
          << "Блок:\t" << static_cast<int>(d.olap) << '\n'
          << "Создана:\t" << FormatScriptDate(d.created) << '\n'
          << "Комбинаций:\t" << d.csize << '\n'
          << "Загрузок:\t" << d.downloads << '\n'
          << "Последняя:\t" << FormatScriptDate(d.lastDownload) << '\n'
          << "Список комбинаций:\n";
    for (const std::string& line : SystemTextLines(d.clist)) c.Out << line << '\n';
    return 0;
}

int Delete(CommandContext& c) {
    int32_t id = 0;
    if (!c.ExpectArgs(1, 1, {"ID"})) return 2;
    if (!ParseId(c, c.Args[0], id)) return 2;
    if (!c.Yes) return c.Refuse("удаление подтверждается ключом --yes");
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenCatalogue(c, host, true);
    if (!ws) return 1;
    SystemsCatalogue& sys = ws->Systems();
    if (!FocusListed(c, sys, id)) return 1;
    return Done(host, sys.DeleteFocused());
}

int Play(CommandContext& c) {
    const bool whole = c.TakeFlag("--whole");
    const bool inList = c.TakeFlag("--in-list");
    const std::string drawText = c.TakeOption("--draw", "");
    const std::string drawsText = c.TakeOption("--draws", "1");
    const std::string listFile = c.TakeOption("--list", "");
    int draws = 1, draw = 0;
    if (whole == inList) return c.Refuse("укажите одно из --whole и --in-list");
    if (!c.ReadInt("--draws", std::string(Trim(drawsText)), 1, MaxStakeDraws, draws) ||
        (!drawText.empty() && !c.ReadInt("--draw", std::string(Trim(drawText)), 1, INT32_MAX, draw)) ||
        !c.ExpectArgs(0, 0, {}))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    // The list the window starts with, or a saved one.
    auto ws = listFile.empty() ? c.OpenWithList(host) : c.OpenWorkspace(host);
    if (!ws) return 1;
    if (!listFile.empty()) {
        ws->ReserveCombs(ws->TotalCombs(), 0);
        if (!ws->LoadCombsList(listFile)) return 1;
    }
    ws->LoadRatings();
    SystemsCatalogue& sys = ws->Systems();
    if (!sys.CanPlay()) {
        host.ShowError("Список комбинаций пуст!");
        return 1;
    }
    TSystemGamePlan plan;
    if (!sys.PrepareGame(whole ? TSystemGameMode::Whole : TSystemGameMode::InList, plan)) return 1;
    const int64_t before = ws->StakesCount();
    const bool ok = sys.PlayGame(plan, drawText.empty() ? plan.Draw : draw, draws, plan.Comment);
    // The separator before the game's stakes is no stake.
    int64_t made = 0;
    for (int64_t i = before; i < ws->StakesCount(); ++i) {
        TStakeRecord r{};
        if (ws->ReadStake(TStakeOrigin::Begin, i, r) && r.Kind != skSeparator) ++made;
    }
    c.Out << plan.Comment << '\n' << "Создано ставок: " << made << '\n';
    return Done(host, ok);
}

int Check(CommandContext& c) {
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ"})) return 2;
    const std::string& path = c.Args[0];
    TWheelCheck w;
    try {
        w = CheckWheelText(Cp1251ToUtf8(ReadFileBytes(path)), SystemFileNums(path));
    } catch (const Error& e) {
        c.Err << "Ошибка: " << ConsoleText("Ошибка проверки системы \"" + path + "\"!\r\r" + e.what()) << "\n";
        return 1;
    }
    for (int m = 1; m <= TWheelCheck::MaxM; ++m) {
        if (!w.Has(m)) continue;
        const int g = w.Guarantee(m);
        // A full guarantee leaves nothing above it to miss.
        const bool full = g >= m;
        c.Out << fmt::format("{}\t{}\t{}\t{:.4f}%\n", m, g, full ? 0 : w.Holes(m, g + 1),
                             full ? 0.0 : 100.0 * w.HoleShare(m, g + 1));
    }
    c.Out << '\n';
    for (size_t p = 0; p < w.PositionCounts.size(); ++p)
        c.Out << fmt::format("{:02d}\t{}\n", p + 1, w.PositionCounts[p]);
    return 0;
}

}  // namespace

const std::vector<Command>& SystemsCommands() {
    static const std::vector<Command> commands = {
        {"systems", "list", "", List},
        {"systems", "download", "ID...", Download},
        {"systems", "add", "ФАЙЛ --title T --descr D --olap K [--url U]", Add},
        {"systems", "props", "ID", Props},
        {"systems", "delete", "ID --yes", Delete},
        {"systems", "play", "(--whole|--in-list) [--draw N] [--draws K] [--list ФАЙЛ.lcv]", Play},
        {"systems", "check", "ФАЙЛ", Check},
    };
    return commands;
}

}  // namespace tessara::cli
