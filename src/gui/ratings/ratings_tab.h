#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class CommandTable;
class QTableView;
class RatingsCommands;
class RatingsModel;

namespace tessara {
class Workspace;
}

// The "Рейтинг" tab: the rating rows, sorted by a click on a column's
// header. Registers the rating commands in the command table.
class RatingsTab : public QWidget {
    Q_OBJECT
  public:
    // showScenario brings the scenario tab forward once rows became lines.
    RatingsTab(tessara::Workspace& ws, CommandTable& commands, std::function<void()> showScenario,
               QWidget* parent = nullptr);
    ~RatingsTab() override;

    QTableView* List() const { return lvRatings_; }
    RatingsModel* Model() const { return model_; }
    // Ascending rows.
    std::vector<int> SelectedRows() const;

    // The rows changed: the list follows them and shows the sort in use.
    void Refresh();

  private:
    void ShowPopup(const QPoint& pos);
    void SortChanged(int column, Qt::SortOrder order);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    RatingsModel* model_;
    QTableView* lvRatings_;
    bool syncingSort_ = false;
    std::unique_ptr<RatingsCommands> ratingsCommands_;
};
