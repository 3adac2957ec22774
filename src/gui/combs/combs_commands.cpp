#include "combs/combs_commands.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "app/workspace.h"
#include "combs/combs_tab.h"
#include "combs/form_gen_combs.h"
#include "draws/form_info.h"
#include "main/command_table.h"
#include "model/error.h"

namespace {

const QString kCategory = QStringLiteral("Комбинации");

bool ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

}  // namespace

CombsCommands::CombsCommands(tessara::Workspace& ws, CombsTab& tab, CommandTable& commands)
    : ws_(ws), tab_(tab) {
    Register(commands);
    clipboardHasText_ = ClipboardHasText();
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &tab_,
                     [this] { clipboardHasText_ = ClipboardHasText(); });
}

void CombsCommands::Register(CommandTable& commands) {
    const auto notEmpty = [this] { return ws_.CombsCount() > 0; };
    const auto selected = [this] { return tab_.HasSelection(); };
    commands.Add({.Name = QStringLiteral("CombsGen"),
                  .Caption = QStringLiteral("Генерировать"),
                  .Shortcut = QKeySequence(Qt::Key_F2),
                  .Category = kCategory,
                  .Handler = [this] { Generate(); },
                  .Hint = QStringLiteral("Перегенерировать список комбинаций")});
    commands.Add({.Name = QStringLiteral("CombsOpen"),
                  .Caption = QStringLiteral("Открыть"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_O),
                  .Category = kCategory,
                  .Handler = [this] { Open(); }});
    commands.Add({.Name = QStringLiteral("CombsSave"),
                  .Caption = QStringLiteral("Сохранить"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_S),
                  .Category = kCategory,
                  .Handler = [this] { Save(); },
                  .Enabled = notEmpty});
    commands.Add({.Name = QStringLiteral("CombsUndo"),
                  .Caption = QStringLiteral("Отменить"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Z),
                  .Category = kCategory,
                  .Handler = [this] { ws_.UndoLastOperation(); },
                  .Enabled = [this] { return ws_.UndoCount() > 0; }});
    commands.Add({.Name = QStringLiteral("CombsCopy"),
                  .Caption = QStringLiteral("Копировать в буфер"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_C),
                  .Category = kCategory,
                  .Handler = [this] { Copy(); },
                  .Enabled = notEmpty});
    commands.Add({.Name = QStringLiteral("CombsPaste"),
                  .Caption = QStringLiteral("Вставить из буфера"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_V),
                  .Category = kCategory,
                  .Handler = [this] { Paste(); },
                  .Enabled = [this] { return clipboardHasText_; }});
    commands.Add({.Name = QStringLiteral("CombsDelExists"),
                  .Caption = QStringLiteral("Исключить тиражи"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_E),
                  .Category = kCategory,
                  .Handler = [this] { ws_.ExcludeLastDraws(tab_.ExcludeDraws()); },
                  .Enabled =
                      [this] {
                          return ws_.CombsCount() > 0 && !ws_.Archive().Empty() &&
                                 tab_.ExcludeDraws() > 0;
                      }});
    commands.Add({.Name = QStringLiteral("CombsDelSelected"),
                  .Caption = QStringLiteral("Удалить выделенные"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Delete),
                  .Category = kCategory,
                  .Handler = [this] { DeleteSelected(); },
                  .Enabled = [this] { return ws_.CombsCount() > 0 && tab_.HasSelection(); }});
    commands.Add({.Name = QStringLiteral("CombsCheckNums"),
                  .Caption = QStringLiteral("Количество уникальных номеров"),
                  .Category = kCategory,
                  .Handler = [this] { ws_.ShowDistinctNumbers(); }});
    commands.Add({.Name = QStringLiteral("CombsFindInDraws"),
                  .Caption = QStringLiteral("Проверить по архиву тиражей"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F),
                  .Category = kCategory,
                  .Handler = [this] { FindInDraws(); },
                  .Enabled = selected});
    commands.Add({.Name = QStringLiteral("CombsInfo"),
                  .Caption = QStringLiteral("Сведения о комбинации"),
                  .Category = kCategory,
                  .Handler = [this] { Info(); },
                  .Enabled = selected});
    commands.Add({.Name = QStringLiteral("CombsSelectAll"),
                  .Caption = QStringLiteral("Выделить все"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_A),
                  .Category = kCategory,
                  .Handler = [this] { tab_.SelectAll(); },
                  .Enabled = notEmpty});
    commands.Add({.Name = QStringLiteral("ViewColorCombs"),
                  .Caption = QStringLiteral("Выделять каналы в списке комбинаций"),
                  .Category = QStringLiteral("Вид"),
                  .Handler = [this] { tab_.SetColorCombs(!tab_.ColorCombs()); },
                  .Checked = [this] { return tab_.ColorCombs(); }});
}

QWidget* CombsCommands::DialogParent() const { return tab_.window(); }

void CombsCommands::Generate() {
    TFormGenCombs form(ws_.GenerateDefaults(), DialogParent());
    if (form.exec() != QDialog::Accepted) return;
    const tessara::TCombsGenerateParams params = form.Params();
    // The new list replaces the working one for good (generation empties
    // the undo copy): a surprise in the parameters is asked about first.
    const std::string warning = tessara::GenerateWarning(params.Mode, params.Parameters);
    if (!warning.empty() && !ws_.GetHost().Confirm(warning + "\r\rСгенерировать список?")) return;
    if (form.SaveAsDefaults()) ws_.SetGenerateDefaults(params);
    try {
        ws_.MakeUndoCopy(true);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
        return;
    }
    ws_.GenerateCombs(true, params);
}

void CombsCommands::Open() {
    const QString path = ChooseCombsFile(DialogParent(), false);
    if (!path.isEmpty()) ws_.OpenCombsList(path.toStdString());
}

void CombsCommands::Save() {
    const QString path = ChooseCombsFile(DialogParent(), true);
    if (!path.isEmpty()) ws_.SaveCombsListAs(path.toStdString());
}

void CombsCommands::Copy() {
    tessara::BusyGuard busy(ws_.GetHost(), tessara::MsgPleaseWait);
    const std::string text = ws_.CombsClipboardText(tab_.SelectedRanges());
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void CombsCommands::Paste() {
    const QString text = QGuiApplication::clipboard()->text();
    ws_.PasteCombs(text.toStdString());
}

void CombsCommands::DeleteSelected() {
    if (ws_.DeleteSelectedCombs(tab_.SelectedRanges())) tab_.ClearSelection();
}

void CombsCommands::FindInDraws() {
    const int row = tab_.FirstSelectedRow();
    if (row >= 0 && row < ws_.CombsCount()) ws_.ShowCombInDraws(ws_.Combs()[row]);
}

void CombsCommands::Info() {
    const int row = tab_.FirstSelectedRow();
    if (row < 0 || row >= ws_.CombsCount()) return;
    const tessara::TCombination& comb = ws_.Combs()[row];
    // A combination has no draw number or date: its statistic rows are
    // those it would have as the next draw after the visible archive.
    std::vector<std::pair<QString, QString>> values;
    {
        tessara::BusyGuard busy(ws_.GetHost());
        values = TFormInfo::CombGraphValues(ws_.Stats(), comb,
                                            ws_.Archive().Count() - ws_.DrawsOffset(), ws_.SortedDraws());
    }
    TFormInfo form(ws_.ChannelSize(), ws_.MatrixCols(), DialogParent());
    form.AddProperties(values);
    form.SetNumbers(std::vector<int>(std::begin(comb.n), std::end(comb.n)));
    form.exec();
}
