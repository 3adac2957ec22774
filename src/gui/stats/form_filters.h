#pragma once

#include <QDialog>
#include <functional>

class QAction;
class QCheckBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace tessara {
class Workspace;
}

// The favourites manager: a tree of the registered methods by group, each
// ticked when it is a favourite and shown under the name the user gave it,
// and the three display options of the statistic lists. The registry changes
// only on OK (an import of names loads them at once).
class TFormFilters : public QDialog {
    Q_OBJECT
  public:
    explicit TFormFilters(tessara::Workspace& ws, QWidget* parent = nullptr);

    // Takes the ticks, the names and the options over into the registry.
    void Apply();

    // Runs the window and applies it on OK.
    static bool Edit(QWidget* parent, tessara::Workspace& ws);

  private:
    // Rebuilds the tree from the registry; ticks already set in the tree stay.
    void BuildTree();
    QTreeWidgetItem* CurrentGroup() const;
    // The registry index of the current node's method, or -1.
    int CurrentMethod() const;
    void SetChecks(QTreeWidgetItem* group, bool on);
    void SetAllChecks(bool on);
    void Rename();
    void RestoreName();
    void ImportNames();
    void ExportNames();
    // The chosen names file, or an empty string when the dialog was cancelled.
    QString ChooseNamesFile(bool save);
    void UpdateActions();
    QAction* AddCommand(const char* name, const QString& caption, std::function<void()> run);

    tessara::Workspace& ws_;
    QTreeWidget* tvFilters_;
    QLabel* lbCount_;
    QCheckBox* cbOrdered_;
    QCheckBox* cbShowGroupName_;
    QCheckBox* cbShowMethodFlags_;
    QAction* acResetGroup_ = nullptr;
    QAction* acSelectGroup_ = nullptr;
    QAction* acRename_ = nullptr;
    QAction* acRestoreName_ = nullptr;
    QAction* acDescription_ = nullptr;
};
