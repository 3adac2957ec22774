#include "stats/form_filters.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <map>

#include "main/file_dialogs.h"
#include "app/workspace.h"
#include "main/dialog_buttons.h"
#include "model/encoding.h"
#include "help/form_help.h"
#include "stats/stat_list.h"

namespace {

constexpr int MethodRole = Qt::UserRole;
constexpr int NoMethod = -1;

int MethodOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, MethodRole).toInt() : NoMethod;
}

QString Utf8(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TFormFilters::TFormFilters(tessara::Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("FormFilters"));
    setWindowTitle(QStringLiteral("Менеджер избранных методов расчета статистики"));

    tvFilters_ = new QTreeWidget(this);
    tvFilters_->setObjectName(QStringLiteral("tvFilters"));
    tvFilters_->setHeaderHidden(true);
    tvFilters_->setUniformRowHeights(true);
    tvFilters_->setContextMenuPolicy(Qt::ActionsContextMenu);
    // A double click toggles a method as a click on its box does.
    connect(tvFilters_, &QTreeWidget::itemDoubleClicked, this, [](QTreeWidgetItem* item) {
        if (MethodOf(item) != NoMethod)
            item->setCheckState(0,
                                item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    });
    connect(tvFilters_, &QTreeWidget::currentItemChanged, this, &TFormFilters::UpdateActions);

    const tessara::TStatList& stats = ws_.Stats();
    cbOrdered_ = new QCheckBox(QStringLiteral("Сортировать списки по названию метода"), this);
    cbOrdered_->setObjectName(QStringLiteral("cbOrdered"));
    cbOrdered_->setChecked(stats.Ordered);
    cbShowGroupName_ = new QCheckBox(
        QStringLiteral("Отображать идентификатор группы { xxx } перед названием метода"), this);
    cbShowGroupName_->setObjectName(QStringLiteral("cbShowGroupName"));
    cbShowGroupName_->setChecked(stats.ShowGroupName);
    cbShowMethodFlags_ = new QCheckBox(
        QStringLiteral("Отображать особенности метода [ YYY ] после названия метода"), this);
    cbShowMethodFlags_->setObjectName(QStringLiteral("cbShowMethodFlags"));
    cbShowMethodFlags_->setChecked(stats.ShowMethodFlags);

    auto* commands = new QVBoxLayout;
    const auto addButton = [&](QAction* action) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        commands->addWidget(button);
    };
    const auto addSeparator = [&] {
        auto* line = new QAction(this);
        line->setSeparator(true);
        tvFilters_->addAction(line);
        commands->addSpacing(8);
    };
    addButton(
        AddCommand("acSelectAll", QStringLiteral("Выбрать все"), [this] { SetAllChecks(true); }));
    addButton(
        AddCommand("acResetAll", QStringLiteral("Сбросить все"), [this] { SetAllChecks(false); }));
    addSeparator();
    acSelectGroup_ = AddCommand("acSelectGroup", QStringLiteral("Выбрать группу"),
                                [this] { SetChecks(CurrentGroup(), true); });
    acResetGroup_ = AddCommand("acResetGroup", QStringLiteral("Сбросить группу"),
                               [this] { SetChecks(CurrentGroup(), false); });
    addButton(acSelectGroup_);
    addButton(acResetGroup_);
    addSeparator();
    acRename_ = AddCommand("acRename", QStringLiteral("Переименовать"), [this] { Rename(); });
    acRestoreName_ =
        AddCommand("acRestoreName", QStringLiteral("Вернуть"), [this] { RestoreName(); });
    acDescription_ = AddCommand("acDescription", QStringLiteral("Описание"), [this] {
        // The manager is modal, so the page opens in a modal window of its own.
        const int method = CurrentMethod();
        if (method >= 0 && method < ws_.Stats().Count())
            TFormHelp::ShowModal(this, QString::fromStdString(ws_.Stats().HelpTopic(method)));
    });
    addButton(acRename_);
    addButton(acRestoreName_);
    addButton(acDescription_);
    addSeparator();
    addButton(
        AddCommand("acImportNames", QStringLiteral("Импорт названий"), [this] { ImportNames(); }));
    addButton(
        AddCommand("acExportNames", QStringLiteral("Экспорт названий"), [this] { ExportNames(); }));
    commands->addStretch(1);

    lbCount_ = new QLabel(this);
    lbCount_->setObjectName(QStringLiteral("lbCount"));

    auto* buttons = OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));

    auto* top = new QHBoxLayout;
    top->addWidget(tvFilters_, 1);
    top->addLayout(commands);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lbCount_);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(cbOrdered_);
    layout->addWidget(cbShowGroupName_);
    layout->addWidget(cbShowMethodFlags_);
    layout->addLayout(bottom);
    resize(720, 620);

    {
        tessara::BusyGuard busy(ws_.GetHost(), "Подождите пожалуйста...");
        BuildTree();
    }
    UpdateActions();
}

QAction* TFormFilters::AddCommand(const char* name, const QString& caption,
                                  std::function<void()> run) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    tvFilters_->addAction(action);
    return action;
}

void TFormFilters::BuildTree() {
    const tessara::TStatList& stats = ws_.Stats();
    std::map<int, Qt::CheckState> ticks;
    for (QTreeWidgetItemIterator it(tvFilters_); *it; ++it)
        if (MethodOf(*it) != NoMethod) ticks[MethodOf(*it)] = (*it)->checkState(0);

    tvFilters_->clear();
    const QIcon groupIcon = style()->standardIcon(QStyle::SP_DirIcon);
    std::map<int, QTreeWidgetItem*> groups;
    for (int i = 0; i < stats.Count(); ++i) {
        if (!stats.IsAvailable(i)) continue;
        const tessara::TStatMethod& m = stats.Items(i);
        QTreeWidgetItem*& group = groups[m.Class->Group];
        if (!group) {
            group = new QTreeWidgetItem(tvFilters_,
                                        {Utf8(tessara::StatGroupDisplayText(m.Class->Group))});
            group->setIcon(0, groupIcon);
            group->setData(0, MethodRole, NoMethod);
            // The group's box ticks or clears all its methods at once.
            group->setFlags(group->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
        }
        auto* node = new QTreeWidgetItem(group, {Utf8(m.Name())});
        node->setData(0, MethodRole, i);
        node->setFlags(node->flags() | Qt::ItemIsUserCheckable);
        const auto kept = ticks.find(i);
        node->setCheckState(0, kept != ticks.end()    ? kept->second
                               : stats.IsFavourite(i) ? Qt::Checked
                                                      : Qt::Unchecked);
    }
    tvFilters_->expandAll();
    lbCount_->setText(QStringLiteral("всего %1 методов").arg(stats.Count()));
}

QTreeWidgetItem* TFormFilters::CurrentGroup() const {
    QTreeWidgetItem* item = tvFilters_->currentItem();
    if (item && item->parent()) item = item->parent();
    return item;
}

int TFormFilters::CurrentMethod() const { return MethodOf(tvFilters_->currentItem()); }

void TFormFilters::SetChecks(QTreeWidgetItem* group, bool on) {
    if (!group) return;
    for (int i = 0; i < group->childCount(); ++i)
        group->child(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
}

void TFormFilters::SetAllChecks(bool on) {
    for (int i = 0; i < tvFilters_->topLevelItemCount(); ++i)
        SetChecks(tvFilters_->topLevelItem(i), on);
}

void TFormFilters::Rename() {
    QTreeWidgetItem* item = tvFilters_->currentItem();
    if (MethodOf(item) == NoMethod) return;
    QInputDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Переименование"));
    dialog.setLabelText(QStringLiteral("Введите наименование фильтра:"));
    dialog.setTextValue(item->text(0));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() == QDialog::Accepted) item->setText(0, dialog.textValue());
}

void TFormFilters::RestoreName() {
    QTreeWidgetItem* item = tvFilters_->currentItem();
    const int method = MethodOf(item);
    if (method != NoMethod) item->setText(0, Utf8(ws_.Stats().Items(method).Caption()));
}

QString TFormFilters::ChooseNamesFile(bool save) {
    return ChooseFile(this, {.Filter = QStringLiteral("Наименования фильтров (*.flt)"),
                             .Suffix = QStringLiteral("flt"),
                             .Save = save});
}

void TFormFilters::ImportNames() {
    const QString path = ChooseNamesFile(false);
    if (path.isEmpty()) return;
    ws_.Stats().LoadNames(ws_.GetHost(), path.toStdString(), false);
    BuildTree();
    UpdateActions();
}

void TFormFilters::ExportNames() {
    const QString path = ChooseNamesFile(true);
    if (path.isEmpty()) return;
    tessara::TStatList& stats = ws_.Stats();
    for (QTreeWidgetItemIterator it(tvFilters_); *it; ++it)
        if (const int method = MethodOf(*it); method != NoMethod)
            stats.Items(method).UserName = (*it)->text(0).toStdString();
    stats.SaveNames(ws_.GetHost(), path.toStdString(), false, true);
    // Only a confirmed window changes the stored names: take them back.
    stats.LoadNames(ws_.GetHost(), ws_.FavouritesFile(), false);
}

void TFormFilters::UpdateActions() {
    const bool any = tvFilters_->currentItem() != nullptr;
    const bool method = CurrentMethod() != NoMethod;
    acSelectGroup_->setEnabled(any);
    acResetGroup_->setEnabled(any);
    acRename_->setEnabled(method);
    acRestoreName_->setEnabled(method);
    acDescription_->setEnabled(method);
}

void TFormFilters::Apply() {
    tessara::TStatList& stats = ws_.Stats();
    for (QTreeWidgetItemIterator it(tvFilters_); *it; ++it) {
        const int method = MethodOf(*it);
        if (method == NoMethod) continue;
        tessara::TStatMethod& m = stats.Items(method);
        m.Favourite = (*it)->checkState(0) == Qt::Checked;
        const std::string name = (*it)->text(0).toStdString();
        m.UserName = tessara::SameTextIgnoreCase(name, m.Caption()) ? std::string() : name;
    }
    stats.NormalizeFavourites();
    stats.Ordered = cbOrdered_->isChecked();
    stats.ShowGroupName = cbShowGroupName_->isChecked();
    stats.ShowMethodFlags = cbShowMethodFlags_->isChecked();
}

bool TFormFilters::Edit(QWidget* parent, tessara::Workspace& ws) {
    TFormFilters form(ws, parent);
    if (form.exec() != QDialog::Accepted) return false;
    form.Apply();
    return true;
}
