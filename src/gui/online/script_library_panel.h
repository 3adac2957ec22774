#pragma once

#include <QWidget>
#include <memory>

class CommandTable;
class QComboBox;
class QSortFilterProxyModel;
class QTableView;
class ScriptLibraryModel;

namespace tessara {
class ScriptLibrary;
}

// pnlOnlineScripts under the scenario lines: the filter list, the command
// buttons and lvOnlineScripts. The focused row is the library's focused entry.
class ScriptLibraryPanel : public QWidget {
    Q_OBJECT
  public:
    ScriptLibraryPanel(tessara::ScriptLibrary& library, CommandTable& commands,
                       QWidget* parent = nullptr);

    QTableView* List() const { return lvOnlineScripts_; }
    QComboBox* Filter() const { return cbFilter_; }
    ScriptLibraryModel* Model() const { return model_; }

    // The entries changed: rows follow them, the focus goes back to the
    // library's focused entry.
    void Refresh();
    // The names of the popup menu, with the rating items.
    static const QStringList& MenuNames();

  private:
    void FocusChanged();
    void ShowPopup(const QPoint& pos);

    tessara::ScriptLibrary& library_;
    CommandTable& commands_;
    ScriptLibraryModel* model_;
    QSortFilterProxyModel* proxy_;
    QTableView* lvOnlineScripts_;
    QComboBox* cbFilter_;
    bool refreshing_ = false;
};
