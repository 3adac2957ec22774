#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

class CommandTable;
class QSortFilterProxyModel;
class QTableView;
class SystemsModel;

namespace tessara {
class SystemsCatalogue;
}

// The "Системы" tab: the catalogue's systems in lvSystems with the commands
// of the tab above them.
class SystemsTab : public QWidget {
    Q_OBJECT
  public:
    SystemsTab(tessara::SystemsCatalogue& systems, CommandTable& commands, QWidget* parent = nullptr);

    static const QStringList& MenuNames();
    QTableView* List() const { return lvSystems_; }
    // The rows anew with the catalogue's focus.
    void Refresh();
    // The ids of the selected rows, in view order.
    std::vector<int32_t> SelectedIds() const;
    // Deselects the row of this id unless it is the focused one.
    void Deselect(int32_t id);
    // Repaints the rows (icons and "Статус" after downloads).
    void Repaint();

  private:
    void FocusChanged();
    void ShowPopup(const QPoint& pos);

    tessara::SystemsCatalogue& systems_;
    CommandTable& commands_;
    SystemsModel* model_;
    QSortFilterProxyModel* proxy_;
    QTableView* lvSystems_;
    bool refreshing_ = false;
};
