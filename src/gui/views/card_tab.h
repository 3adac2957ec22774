#pragma once

#include <QWidget>
#include <vector>

#include "views/view_options.h"

class CardModel;
class CommandTable;
class QTableView;

namespace tessara {
class Workspace;
}

// The "Карта" tab: the whole archive as a card, one row per draw and one
// column per number, with its colour options and the number filter of the
// selected cells. Registers its commands in the command table.
class CardTab : public QWidget {
    Q_OBJECT
  public:
    CardTab(tessara::Workspace& ws, CommandTable& commands, TabShownFn shown,
            QWidget* parent = nullptr);

    QTableView* Grid() const { return sgCard_; }
    CardModel* Model() const { return model_; }

    // Forced, every cell is painted anew; otherwise only a changed number of
    // draws counts.
    void RefreshCard(bool force);
    void LoadViewOptions();

    // The selected cells lie within the number columns.
    bool SelectionInNumbers() const;
    // The numbers of the selected cells, column by column from the left and
    // within a column from the top.
    std::vector<int> SelectedNumbers() const;
    void Filter(bool removes);

  private:
    void Register(CommandTable& commands);
    void SetOption(bool& option, const char* key);
    void ShowPopup(const QPoint& pos);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    TabShownFn shown_;
    CardModel* model_;
    QTableView* sgCard_;
};
