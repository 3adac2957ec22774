#include "draws/draws_commands.h"

#include <QFileDialog>
#include <QTableView>

#include "main/file_dialogs.h"
#include "app/workspace.h"
#include "draws/draws_model.h"
#include "draws/draws_tab.h"
#include "draws/form_draw.h"
#include "draws/form_info.h"
#include "main/command_table.h"

namespace {

const QString kCategory = QStringLiteral("Архив тиражей");
const QString kNextDrawCaption = QStringLiteral("Введите данные следующего тиража");

}  // namespace

DrawsCommands::DrawsCommands(tessara::Workspace& ws, DrawsTab& tab, CommandTable& commands)
    : ws_(ws), tab_(tab) {
    Register(commands);
}

void DrawsCommands::Register(CommandTable& commands) {
    const auto selected = [this] { return tab_.HasSelection(); };
    commands.Add({.Name = QStringLiteral("DrawsAdd"),
                  .Caption = QStringLiteral("Добавить"),
                  .Category = kCategory,
                  .Handler = [this] { Add(); }});
    commands.Add({.Name = QStringLiteral("DrawsEdit"),
                  .Caption = QStringLiteral("Изменить"),
                  .Category = kCategory,
                  .Handler = [this] { Edit(); },
                  .Enabled = selected});
    commands.Add({.Name = QStringLiteral("DrawsDel"),
                  .Caption = QStringLiteral("Удалить"),
                  .Category = kCategory,
                  .Handler = [this] { Delete(); },
                  .Enabled = selected});
    commands.Add({.Name = QStringLiteral("DrawsInfo"),
                  .Caption = QStringLiteral("Сведения о тираже"),
                  .Category = kCategory,
                  .Handler = [this] { Info(); },
                  .Enabled = selected});
    commands.Add(
        {.Name = QStringLiteral("DrawsSorted"),
         .Caption = QStringLiteral("Упорядочить MIN->MAX"),
         .Category = kCategory,
         .Handler = [this] { ws_.SetSortedDraws(!ws_.SortedDraws()); },
         .Checked = [this] { return ws_.SortedDraws(); },
         .Hint = QStringLiteral("Упорядочить числа внутри тиража от меньшего к большему")});
    commands.Add({.Name = QStringLiteral("DrawsImport"),
                  .Caption = QStringLiteral("Импорт из CSV-файла"),
                  .Category = kCategory,
                  .Handler = [this] { Import(); },
                  .Hint = QStringLiteral("Импорт списка тиражей из CSV-файла")});
    commands.Add({.Name = QStringLiteral("DrawsExport"),
                  .Caption = QStringLiteral("Экспорт в CSV-файл"),
                  .Category = kCategory,
                  .Handler = [this] { Export(); },
                  .Enabled = [this] { return !ws_.Archive().Empty(); },
                  .Hint = QStringLiteral("Экспорт списка тиражей в CSV-файл")});
    commands.Add({.Name = QStringLiteral("ViewColorDraws"),
                  .Caption = QStringLiteral("Выделять каналы в списке тиражей"),
                  .Category = QStringLiteral("Вид"),
                  .Handler = [this] { ws_.SetColorDraws(!ws_.ColorDraws()); },
                  .Checked = [this] { return ws_.ColorDraws(); }});
}

QWidget* DrawsCommands::DialogParent() const { return tab_.window(); }

void DrawsCommands::Add() {
    tessara::TDrawRecord draw{};
    draw.DrawNo = ws_.Archive().NextDrawNo(0);
    TFormDraw form(ws_.GetHost(), DialogParent());
    form.setWindowTitle(kNextDrawCaption);
    form.SetShowDates(true);
    form.SetDraw(draw);
    if (form.exec() == QDialog::Accepted) ws_.AddDraw(form.Draw());
}

int DrawsCommands::SelectedListRow() const {
    const int row = tab_.FirstSelectedRow();
    return row < 0 ? -1 : tab_.Model()->ListRow(row);
}

void DrawsCommands::Edit() {
    const int row = SelectedListRow();
    if (row < 0) return;
    const int index = ws_.Archive().RowToIndex(row);
    TFormDraw form(ws_.GetHost(), DialogParent());
    form.setWindowTitle(kNextDrawCaption);
    form.SetShowDates(true);
    form.SetDraw(ws_.Archive()[index]);
    if (form.exec() == QDialog::Accepted) ws_.ReplaceDraw(index, form.Draw());
}

void DrawsCommands::Delete() {
    std::vector<int> numbers;
    for (int row : tab_.SelectedRowsBottomUp()) {
        const int listRow = tab_.Model()->ListRow(row);
        if (listRow >= 0) numbers.push_back(ws_.Archive().RowDraw(listRow, false).DrawNo);
    }
    if (ws_.DeleteDraws(numbers)) tab_.ClearSelection();
}

void DrawsCommands::Info() {
    const int row = SelectedListRow();
    if (row < 0) return;
    const tessara::TDrawRecord draw = ws_.Archive().RowDraw(row, ws_.SortedDraws());
    std::vector<std::pair<QString, QString>> values;
    {
        tessara::BusyGuard busy(ws_.GetHost());
        values = TFormInfo::DrawGraphValues(ws_.Stats(), ws_.Archive().RowToIndex(row),
                                            ws_.SortedDraws());
    }
    TFormInfo form(ws_.ChannelSize(), ws_.MatrixCols(), DialogParent());
    form.AddProperty(QStringLiteral("Номер тиража:"), QString::number(draw.DrawNo));
    form.AddProperty(QStringLiteral("Дата тиража:"),
                     QString::fromStdString(tessara::DrawDateText(draw)));
    form.AddProperties(values);
    form.SetNumbers(std::vector<int>(std::begin(draw.Numbers), std::end(draw.Numbers)));
    form.exec();
}

QString DrawsCommands::ChooseCsvFile(bool save) const {
    return ChooseFile(DialogParent(), {.Filter = QStringLiteral("Файлы тиражей (*.csv)"),
                                       .Suffix = QStringLiteral("csv"),
                                       .Save = save});
}

void DrawsCommands::Import() {
    const QString path = ChooseCsvFile(false);
    if (!path.isEmpty()) ws_.ImportDraws(path.toStdString());
}

void DrawsCommands::Export() {
    const QString path = ChooseCsvFile(true);
    if (!path.isEmpty()) ws_.ExportDraws(path.toStdString());
}
