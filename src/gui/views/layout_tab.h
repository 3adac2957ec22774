#pragma once

#include <QWidget>
#include <array>
#include <vector>

#include "views/layout_scheme.h"
#include "views/view_options.h"

class CommandTable;
class QSpinBox;
class QSplitter;
class QTableWidget;
class QTreeWidget;

namespace tessara {
class Workspace;
}

// The "Схема" tab: the numbers of the last draws laid out by how often
// (rows) and how recently (columns) they came out, and below it five lists
// of the numbers grouped by count over five window lengths.
class LayoutTab : public QWidget {
    Q_OBJECT
  public:
    static constexpr int CompareLists = 5;

    LayoutTab(tessara::Workspace& ws, CommandTable& commands, TabShownFn shown,
              QWidget* parent = nullptr);

    QTableWidget* Grid() const { return sgLayout_; }
    QTreeWidget* CompareList(int i) const { return lvLayoutCmp_[static_cast<size_t>(i)]; }
    QSpinBox* LengthBox() const { return edLayoutLen_; }
    QSpinBox* CompareBox(int i) const { return edLayoutCmp_[static_cast<size_t>(i)]; }
    QSplitter* Splitter() const { return splitter_; }

    // Without force nothing happens while the archive size, the offset and
    // (for the scheme) the window length are those of the last build.
    void RefreshLayout(bool force);
    void RefreshLayoutCompare(bool force);
    void LoadViewOptions();

    bool Gradient() const { return gradient_; }
    std::vector<int> SelectedNumbers() const;
    void Filter(bool removes);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Register(CommandTable& commands);
    void Repaint();
    void ShowPopup(const QPoint& pos);
    QSpinBox* MakeLengthBox(const QString& name, const QString& hint, const char* key);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    TabShownFn shown_;
    QSpinBox* edLayoutLen_;
    QTableWidget* sgLayout_;
    QSplitter* splitter_;
    std::array<QSpinBox*, CompareLists> edLayoutCmp_{};
    std::array<QTreeWidget*, CompareLists> lvLayoutCmp_{};
    tessara::TWindowKey layoutKey_;
    tessara::TWindowKey compareKey_;
    bool gradient_ = true;
    bool loading_ = false;
};
