#include "main/layout_state.h"

#include <QAbstractItemView>
#include <QByteArray>
#include <QEvent>
#include <QHeaderView>
#include <QSplitter>
#include <QTableView>
#include <QTreeView>
#include <algorithm>
#include <numeric>

#include "base/view_keys.h"

namespace {

constexpr const char* kGeometryKey = "Geometry";

int Extent(const QSplitter* splitter, QSize size) {
    return splitter->orientation() == Qt::Horizontal ? size.width() : size.height();
}

// Sets one pane and gives the difference to its neighbour.
void SetPane(QSplitter* splitter, int pane, int size, int total) {
    QList<int> sizes = splitter->sizes();
    if (pane < 0 || pane >= sizes.size()) return;
    const int neighbour = pane + 1 < sizes.size() ? pane + 1 : pane - 1;
    if (neighbour < 0) return;
    int others = 0;
    for (int i = 0; i < sizes.size(); ++i)
        if (i != pane && i != neighbour) others += sizes[i];
    sizes[pane] = size;
    sizes[neighbour] = std::max(total - others - size, 0);
    splitter->setSizes(sizes);
}

// A hidden splitter has no real extent yet, and setSizes would only keep
// the proportions: the pane is set when the splitter is shown, by then laid
// out to its real extent.
class PendingPane : public QObject {
  public:
    PendingPane(QSplitter* splitter, int pane, int size)
        : QObject(splitter), splitter_(splitter), pane_(pane), size_(size) {
        splitter->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == splitter_ && e->type() == QEvent::Show) {
            const int handles = (splitter_->count() - 1) * splitter_->handleWidth();
            const int total = Extent(splitter_, splitter_->contentsRect().size()) - handles;
            if (total > 0) {
                SetPane(splitter_, pane_, size_, total);
                splitter_->removeEventFilter(this);
                deleteLater();
            }
        }
        return false;
    }

  private:
    QSplitter* splitter_;
    int pane_;
    int size_;
};

QHeaderView* ColumnsOf(const QAbstractItemView* list) {
    if (const auto* table = qobject_cast<const QTableView*>(list)) return table->horizontalHeader();
    if (const auto* tree = qobject_cast<const QTreeView*>(list)) return tree->header();
    return nullptr;
}

}  // namespace

LayoutState::LayoutState(std::string path, std::string section)
    : path_(std::move(path)), section_(std::move(section)), ini_(tessara::IniFile::Load(path_)) {}

int LayoutState::ReadInteger(std::string_view key, int def) const {
    return ini_.ReadInteger(section_, key, def);
}

void LayoutState::WriteInteger(std::string_view key, int value) {
    ini_.WriteInteger(section_, key, value);
}

void LayoutState::RestoreGeometry(QWidget* window) const {
    const std::string text = ini_.ReadString(section_, kGeometryKey, "");
    if (!text.empty())
        window->restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(text)));
}

void LayoutState::StoreGeometry(const QWidget* window) {
    ini_.WriteString(section_, kGeometryKey, window->saveGeometry().toBase64().toStdString());
}

void LayoutState::RestorePane(QSplitter* splitter, int pane, const char* key) const {
    if (!splitter) return;
    const int size = ReadInteger(key, tessara::MainViewDefault(key));
    if (size < 0) return;
    const QList<int> sizes = splitter->sizes();
    if (splitter->isVisible())
        SetPane(splitter, pane, size, std::accumulate(sizes.begin(), sizes.end(), 0));
    else
        new PendingPane(splitter, pane, size);
}

void LayoutState::StorePane(const QSplitter* splitter, int pane, const char* key) {
    if (!splitter) return;
    // A splitter that was never laid out has no sizes worth keeping.
    const QList<int> sizes = splitter->sizes();
    if (std::accumulate(sizes.begin(), sizes.end(), 0) <= 0) return;
    if (pane >= 0 && pane < sizes.size()) WriteInteger(key, sizes[pane]);
}

void LayoutState::RestoreColumns(QAbstractItemView* list) const {
    QHeaderView* columns = ColumnsOf(list);
    if (!columns) return;
    for (int c = 0; c < columns->count(); ++c) {
        const int width = ReadInteger(ColumnKey(list->objectName(), c), columns->sectionSize(c));
        if (width >= 0) columns->resizeSection(c, width);
    }
}

void LayoutState::StoreColumns(const QAbstractItemView* list) {
    const QHeaderView* columns = ColumnsOf(list);
    if (!columns) return;
    for (int c = 0; c < columns->count(); ++c)
        WriteInteger(ColumnKey(list->objectName(), c), columns->sectionSize(c));
}

void LayoutState::Save() const { ini_.Save(path_); }

const QStringList& LayoutState::MainLists() {
    static const QStringList lists = {
        QStringLiteral("lvDraws"),         QStringLiteral("lvCombs"),   QStringLiteral("lvFilters"),
        QStringLiteral("lvDrawsStat"),     QStringLiteral("sgStakes"),  QStringLiteral("lvRatings"),
        QStringLiteral("lvTables"),        QStringLiteral("lvSystems"), QStringLiteral("lvScript"),
        QStringLiteral("lvOnlineScripts"),
    };
    return lists;
}

std::string LayoutState::ColumnKey(const QString& list, int column) {
    return list.toStdString() + ".Column" + std::to_string(column);
}
