#include "online/script_library_panel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "main/command_table.h"
#include "online/script_library.h"
#include "online/script_library_model.h"

ScriptLibraryPanel::ScriptLibraryPanel(tessara::ScriptLibrary& library, CommandTable& commands,
                                       QWidget* parent)
    : QWidget(parent), library_(library), commands_(commands) {
    setObjectName(QStringLiteral("pnlOnlineScripts"));

    cbFilter_ = new QComboBox(this);
    cbFilter_->setObjectName(QStringLiteral("cbOnlineScriptsFilter"));
    cbFilter_->setToolTip(QStringLiteral("Фильтр сценариев"));
    for (const std::string& caption : tessara::ScriptFilterCaptions())
        cbFilter_->addItem(QString::fromStdString(caption));
    cbFilter_->setCurrentIndex(library_.FilterIndex());
    connect(cbFilter_, &QComboBox::activated, this, [this](int index) {
        library_.SetFilterIndex(index);
        commands_.Execute(QStringLiteral("ScriptLibraryRefresh"));
    });

    model_ = new ScriptLibraryModel(library_, this);
    proxy_ = new QSortFilterProxyModel(this);
    proxy_->setSourceModel(model_);
    proxy_->setSortRole(ScriptLibraryModel::SortRole);
    lvOnlineScripts_ = new QTableView(this);
    lvOnlineScripts_->setObjectName(QStringLiteral("lvOnlineScripts"));
    QHeaderView* rows = lvOnlineScripts_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lvOnlineScripts_->fontMetrics().height() + 6);
    rows->hide();
    lvOnlineScripts_->setModel(proxy_);
    lvOnlineScripts_->setSortingEnabled(true);
    lvOnlineScripts_->sortByColumn(tessara::ScriptDefaultSortColumn, Qt::AscendingOrder);
    lvOnlineScripts_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvOnlineScripts_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvOnlineScripts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvOnlineScripts_->setWordWrap(false);
    lvOnlineScripts_->setContextMenuPolicy(Qt::CustomContextMenu);
    lvOnlineScripts_->horizontalHeader()->setStretchLastSection(true);
    lvOnlineScripts_->horizontalHeader()->setHighlightSections(false);
    const QFontMetrics fm = lvOnlineScripts_->fontMetrics();
    const int date = fm.horizontalAdvance(QStringLiteral("0000-00-00 00:00:00")) + 16;
    const int widths[] = {fm.horizontalAdvance(QStringLiteral("Общий")) + 44, 180, 110, 100, 70, 70,
                          date, 70, 60, 90, 70, date};
    for (int c = 0; c < 12; ++c)
        lvOnlineScripts_->horizontalHeader()->resizeSection(
            c, std::max(widths[c], fm.horizontalAdvance(model_->headerData(c, Qt::Horizontal,
                                                                           Qt::DisplayRole)
                                                            .toString()) +
                                       24));
    connect(lvOnlineScripts_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ScriptLibraryPanel::FocusChanged);
    connect(lvOnlineScripts_, &QAbstractItemView::doubleClicked, this,
            [this] { commands_.Execute(QStringLiteral("ScriptLibraryView")); });
    connect(lvOnlineScripts_, &QWidget::customContextMenuRequested, this,
            &ScriptLibraryPanel::ShowPopup);

    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("tbOnlineScripts"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->addWidget(cbFilter_);
    for (const char* name : {"ScriptLibraryRefresh", "ScriptLibraryDownload", "ScriptLibraryUpload",
                             "ScriptLibraryReplace", "ScriptLibraryDelete", "ScriptLibraryView",
                             "ScriptLibraryRates"}) {
        QToolButton* button = commands_.MakeButton(QString::fromLatin1(name), this);
        button->setAutoRaise(false);
        bar->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(lvOnlineScripts_, 1);
}

const QStringList& ScriptLibraryPanel::MenuNames() {
    static const QStringList names = {
        QStringLiteral("ScriptLibraryDownload"), QStringLiteral("ScriptLibraryView"),
        QStringLiteral("|"),                     QStringLiteral("ScriptLibraryUpload"),
        QStringLiteral("ScriptLibraryReplace"),  QStringLiteral("ScriptLibraryDelete"),
        QStringLiteral("|"),                     QStringLiteral("ScriptLibraryRate5"),
        QStringLiteral("ScriptLibraryRate4"),    QStringLiteral("ScriptLibraryRate3"),
        QStringLiteral("ScriptLibraryRate2"),    QStringLiteral("ScriptLibraryRate1"),
        QStringLiteral("ScriptLibraryRate0"),    QStringLiteral("ScriptLibraryHide"),
        QStringLiteral("ScriptLibraryRates"),    QStringLiteral("|"),
        QStringLiteral("ScriptLibraryRefresh")};
    return names;
}

void ScriptLibraryPanel::Refresh() {
    refreshing_ = true;
    model_->Refresh();
    cbFilter_->setCurrentIndex(library_.FilterIndex());
    const int32_t id = library_.FocusedId();
    for (int r = 0; r < proxy_->rowCount(); ++r) {
        const QModelIndex index = proxy_->index(r, 0);
        if (index.data(ScriptLibraryModel::IdRole).toInt() == id) {
            lvOnlineScripts_->selectionModel()->setCurrentIndex(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            lvOnlineScripts_->scrollTo(index);
            break;
        }
    }
    refreshing_ = false;
    commands_.Update();
}

void ScriptLibraryPanel::FocusChanged() {
    if (refreshing_) return;
    const QModelIndex current = lvOnlineScripts_->selectionModel()->currentIndex();
    library_.SetFocusedId(current.isValid() ? current.data(ScriptLibraryModel::IdRole).toInt() : -1);
    commands_.Update();
}

void ScriptLibraryPanel::ShowPopup(const QPoint& pos) {
    commands_.Update();
    QMenu menu(this);
    commands_.FillMenu(&menu, MenuNames());
    menu.exec(lvOnlineScripts_->viewport()->mapToGlobal(pos));
}
