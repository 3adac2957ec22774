#include "views/card_tab.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "main/command_table.h"
#include "main/menu_layout.h"
#include "views/card_model.h"
#include "views/number_filter.h"

namespace {


// The bounding rectangle of the selection in model coordinates; the grid
// selects one rectangle at a time.
QRect SelectionRect(const QItemSelectionModel* selection) {
    QRect rect;
    for (const QItemSelectionRange& r : selection->selection())
        rect |= QRect(QPoint(r.left(), r.top()), QPoint(r.right(), r.bottom()));
    return rect;
}

}  // namespace

CardTab::CardTab(tessara::Workspace& ws, CommandTable& commands, TabShownFn shown, QWidget* parent)
    : QWidget(parent), ws_(ws), commands_(commands), shown_(std::move(shown)) {
    setObjectName(QStringLiteral("tsCard"));
    model_ = new CardModel(ws_, this);
    sgCard_ = new QTableView(this);
    sgCard_->setObjectName(QStringLiteral("sgCard"));
    const QFontMetrics fm = sgCard_->fontMetrics();
    // A fixed row height set before the model keeps the whole archive instant.
    QHeaderView* rows = sgCard_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(fm.height() + 4);
    // As wide as the draw number column of the draws list.
    rows->setFixedWidth(fm.horizontalAdvance(QStringLiteral("0000000")) + 12);
    QHeaderView* cols = sgCard_->horizontalHeader();
    cols->setSectionResizeMode(QHeaderView::Fixed);
    cols->setMinimumSectionSize(4);
    cols->setDefaultSectionSize(fm.horizontalAdvance(QStringLiteral("00")) + 8);
    cols->setHighlightSections(false);
    rows->setHighlightSections(false);
    sgCard_->setModel(model_);
    sgCard_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    sgCard_->setSelectionBehavior(QAbstractItemView::SelectItems);
    sgCard_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgCard_->setWordWrap(false);
    sgCard_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sgCard_, &QWidget::customContextMenuRequested, this, &CardTab::ShowPopup);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sgCard_);
    Register(commands_);
}

void CardTab::Register(CommandTable& commands) {
    const QString view = QStringLiteral("Вид");
    const QString filters = QStringLiteral("Фильтры");
    tessara::TCardOptions& o = model_->Options();
    commands.Add({.Name = QStringLiteral("ViewColorCard"),
                  .Caption = QStringLiteral("Выделять каналы в карте тиражей"),
                  .Category = view,
                  .Handler = [this, &o] { SetOption(o.ColorCard, "ColorCard"); },
                  .Enabled = shown_,
                  .Checked = [&o] { return o.ColorCard; }});
    commands.Add({.Name = QStringLiteral("ViewColorCardSequences"),
                  .Caption = QStringLiteral("Выделять последовательности в карте тиражей"),
                  .Category = view,
                  .Handler = [this, &o] { SetOption(o.ColorCardSequences, "ColorCardSequences"); },
                  .Enabled = shown_,
                  .Checked = [&o] { return o.ColorCardSequences; }});
    const auto canFilter = [this] {
        return ws_.CombsCount() > 0 && shown_() && SelectionInNumbers();
    };
    commands.Add({.Name = QStringLiteral("CardFilter_Include"),
                  .Caption = QStringLiteral("Оставить выделенные"),
                  .Category = filters,
                  .Handler = [this] { Filter(false); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral("В списке комбинаций оставить комбинации с выделенными значениями")});
    commands.Add({.Name = QStringLiteral("CardFilter_Exclude"),
                  .Caption = QStringLiteral("Удалить выделенные"),
                  .Category = filters,
                  .Handler = [this] { Filter(true); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral("Из списка комбинаций удалить комбинации с выделенными  значениями")});
}

void CardTab::RefreshCard(bool force) {
    if (!force && model_->rowCount() == ws_.Archive().Count()) return;
    tessara::BusyGuard busy(ws_.GetHost(), "Обновление карты тиражей...");
    model_->Refresh(force);
}

void CardTab::LoadViewOptions() {
    model_->Options().ColorCard = ReadViewBool(ws_, "ColorCard");
    model_->Options().ColorCardSequences = ReadViewBool(ws_, "ColorCardSequences");
    model_->Repaint();
}

void CardTab::SetOption(bool& option, const char* key) {
    option = !option;
    WriteViewBool(ws_, key, option);
    model_->Repaint();
}

bool CardTab::SelectionInNumbers() const {
    const QRect rect = SelectionRect(sgCard_->selectionModel());
    if (rect.isNull()) return false;
    return CardModel::GridColumn(rect.left()) >= 1 &&
           CardModel::GridColumn(rect.right()) <= tessara::MaxNumber;
}

std::vector<int> CardTab::SelectedNumbers() const {
    const QRect rect = SelectionRect(sgCard_->selectionModel());
    if (rect.isNull()) return {};
    return tessara::CardSelectionNumbers(ws_.Archive().Draws(), CardModel::GridRow(rect.top()),
                                         CardModel::GridColumn(rect.left()),
                                         CardModel::GridRow(rect.bottom()),
                                         CardModel::GridColumn(rect.right()));
}

void CardTab::Filter(bool removes) {
    tessara::ApplyNumberFilter(ws_, SelectedNumbers(), removes, tessara::CardCaption);
}

void CardTab::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, menu_layout::PopupEntries(menu_layout::Popup::Card));
    menu.exec(sgCard_->viewport()->mapToGlobal(pos));
}
