// tessara-cli stakes ... and ratings ...: the stakes file and the ratings
// without a window.
#include <climits>
#include <ostream>

#include "cli.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "model/game.h"
#include "stakes/stake_create.h"
#include "stakes/stakes_file.h"

namespace tessara::cli {

namespace {

// The workspace with the ratings loaded, so that a check adds to them.
std::unique_ptr<Workspace> OpenWithRatings(CommandContext& c, ConsoleHost& host) {
    auto ws = c.OpenWorkspace(host);
    if (ws) ws->LoadRatings();
    return ws;
}

bool ReadIntIn(const std::string& text, int lo, int hi, int& value) {
    int32_t v = 0;
    if (!TryStrToInt(Trim(text), v) || v < lo || v > hi) return false;
    value = v;
    return true;
}

int Done(const ConsoleHost& host, bool ok) { return ok && !host.ErrorShown() ? 0 : 1; }

int List(CommandContext& c) {
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    c.Out << "Строка";
    for (int col = 0; col < StakesGridColumnCount; ++col) c.Out << '\t' << StakesGridCaption(col);
    c.Out << '\n';
    try {
        ws->StakesFile().ForEach(0, [&](int64_t i, const TStakeRecord& r) {
            c.Out << i + 1;
            for (int col = 0; col < StakesGridColumnCount; ++col)
                c.Out << '\t' << StakesGridCellText(r, col);
            c.Out << '\n';
            return true;
        });
    } catch (const Error& e) {
        host.ShowError("Ошибка чтения записи из файла ставок!\r\r" + std::string(e.what()));
    }
    return Done(host, true);
}

int Add(CommandContext& c) {
    const std::string drawText = c.TakeOption("--draw", "");
    const std::string drawsText = c.TakeOption("--draws", "1");
    const bool hasComment = c.HasOption("--comment");
    const std::string comment = c.TakeOption("--comment", "");
    int draws = 1, draw = 0;
    if (!c.ReadInt("--draws", std::string(Trim(drawsText)), 1,
                   MaxStakeDraws, draws) ||
        (!drawText.empty() && !c.ReadInt("--draw", std::string(Trim(drawText)), 1, INT32_MAX, draw)) ||
        !c.ExpectArgs(1, 1, {"\"n1;n2;...\""}))
        return 2;
    if (Utf8Length(comment) > MaxStakeCommentLength)
        return c.Refuse("--comment: комментарий длиннее " + std::to_string(MaxStakeCommentLength) +
                        " символов");
    ConsoleHost host(c.Err, c.Yes);
    // The stake's sample is the size of the list the window would hold.
    auto ws = c.OpenWithList(host);
    if (!ws) return 1;
    ws->LoadRatings();
    const TStakeRecord prefilled = ws->PrefillManualStake(nullptr);
    TStakeNumbers numbers{};
    std::string message;
    const std::string text = hasComment ? comment : StakeComment(prefilled);
    if (CheckStakeDialog(c.Args[0], text, numbers, message) != TStakeDialogCheck::Ok) {
        host.ShowError(message);
        return 1;
    }
    const TStakeRecord r = ApplyStakeDialog(prefilled, drawText.empty() ? prefilled.Draw : draw, text,
                                            numbers, ws->Config());
    const bool ok = ws->CreateStake(r, draws);
    c.Out << ws->StakesGrid().StatusText << '\n';
    return Done(host, ok);
}

int Check(CommandContext& c) {
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRatings(c, host);
    if (!ws) return 1;
    int checked = 0;
    ws->CheckStakesAndUpdate(&checked);
    c.Out << "Проверено ставок: " << checked << '\n';
    return Done(host, true);
}

// "=", ">", ">=", "<", "<=" or the mode's number.
bool ReadCondition(const std::string& text, int& mode) {
    static const char* const kSigns[StakeConditionCount] = {"=", ">", ">=", "<", "<="};
    for (int i = 0; i < StakeConditionCount; ++i)
        if (text == kSigns[i]) {
            mode = i;
            return true;
        }
    return ReadIntIn(text, 0, StakeConditionCount - 1, mode);
}

int Delete(CommandContext& c) {
    const std::string rows = c.TakeOption("--rows", "");
    const bool byMatches = c.TakeFlag("--matches");
    int first = 0, last = 0, mode = 0, value = 0;
    if (rows.empty() == !byMatches) return c.Refuse("нужен один из параметров --rows или --matches");
    if (!rows.empty()) {
        const size_t dash = rows.find('-');
        const std::string a = rows.substr(0, dash);
        const std::string b = dash == std::string::npos ? a : rows.substr(dash + 1);
        if (!c.ReadInt("--rows", std::string(Trim(a)), 1, INT32_MAX, first) ||
            !c.ReadInt("--rows", std::string(Trim(b)), first, INT32_MAX, last) || !c.ExpectArgs(0, 0, {}))
            return 2;
    } else {
        if (!c.ExpectArgs(2, 2, {"УСЛОВИЕ", "ЗНАЧЕНИЕ"})) return 2;
        if (!ReadCondition(c.Args[0], mode))
            return c.Refuse("условие \"" + c.Args[0] + "\" не одно из = > >= < <=");
        if (!c.ReadInt("ЗНАЧЕНИЕ", c.Args[1], 0, BallsInDraw, value)) return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRatings(c, host);
    if (!ws) return 1;
    if (!ws->HasStakes()) {
        host.ShowError(std::string("Ошибка удаления записи из файла ставок!\r\r") + MsgStakesFileNotOpen);
        return 1;
    }
    if (!rows.empty() && last > ws->StakesCount()) {
        c.Err << "Ошибка: в файле ставок " << ws->StakesCount() << " записей\n";
        return 1;
    }
    const bool ok = rows.empty() ? ws->DeleteStakesWhere(mode, value)
                                 : ws->DeleteStakes(first - 1, last - 1);
    c.Out << ws->StakesGrid().StatusText << '\n';
    return Done(host, ok);
}

int Clear(CommandContext& c) {
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRatings(c, host);
    if (!ws) return 1;
    if (!ws->HasStakes()) {
        c.Out << ws->StakesGrid().StatusText << '\n';
        return Done(host, true);
    }
    const bool ok = ws->ClearStakes();
    c.Out << ws->StakesGrid().StatusText << '\n';
    return Done(host, ok);
}

int RatingsList(CommandContext& c) {
    const std::string modeText = c.TakeOption("--mode", "");
    int mode = 0;
    if ((!modeText.empty() && !c.ReadInt("--mode", modeText, 0, 2, mode)) || !c.ExpectArgs(0, 0, {}))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    if (modeText.empty()) mode = ws->RatingsEffMode();
    // Read without the load's sort-and-save: the rows in the order the
    // window shows them, the file untouched.
    TRatingsArray rows;
    const std::string path = ws->PathOf(RatingsFileName);
    if (FileExists(path)) {
        try {
            rows = ParseRatingsFile(ReadFileBytes(path));
        } catch (const Error& e) {
            host.ShowError("Ошибка чтения файла рейтинга!\r\r" + std::string(e.what()));
            return 1;
        }
        SortRatingRows(rows, ws->RatingsSortColumn(), ws->RatingsSortDescending());
    }
    for (int col = 0; col < RatingColumnCount; ++col)
        c.Out << (col > 0 ? "\t" : "") << RatingColumnCaption(col);
    c.Out << '\n';
    for (const TRatingRecord& r : rows) {
        const std::vector<std::string> texts = RatingRowTexts(r, mode);
        for (size_t col = 0; col < texts.size(); ++col) c.Out << (col > 0 ? "\t" : "") << texts[col];
        c.Out << '\n';
    }
    return Done(host, true);
}

int RatingsRefreshCommand(CommandContext& c) {
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRatings(c, host);
    if (!ws) return 1;
    const bool ok = ws->RatingsRefresh();
    c.Out << ws->RatingsStatusText() << '\n';
    return Done(host, ok);
}

int RatingsExport(CommandContext& c) {
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ.csv"})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRatings(c, host);
    if (!ws) return 1;
    return Done(host, ws->ExportRatings(c.Args[0]));
}

}  // namespace

const std::vector<Command>& StakesCommands() {
    static const std::vector<Command> commands = {
        {"stakes", "list", "", List},
        {"stakes", "add", "\"n1;n2;...\" [--draw N] [--draws K] [--comment ТЕКСТ]", Add},
        {"stakes", "check", "", Check},
        {"stakes", "delete", "--rows A[-B] | --matches УСЛОВИЕ ЗНАЧЕНИЕ", Delete},
        {"stakes", "clear", "", Clear},
    };
    return commands;
}

const std::vector<Command>& RatingsCommands() {
    static const std::vector<Command> commands = {
        {"ratings", "list", "[--mode 0|1|2]", RatingsList},
        {"ratings", "refresh", "", RatingsRefreshCommand},
        {"ratings", "export", "ФАЙЛ.csv", RatingsExport},
    };
    return commands;
}

}  // namespace tessara::cli
