#pragma once

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

// The seven panels of the main window's status bar, from the left.
class StatusPanels {
  public:
    enum Panel {
        ArchiveSize,
        NextDraw,
        NextDrawResult,
        CombsCount,
        StakesCount,
        RatingCount,
        Message,
        PanelCount
    };

    explicit StatusPanels(QStatusBar* bar);

    QLabel* Label(Panel panel) const { return labels_[panel]; }
    void SetText(Panel panel, const QString& text);
    QString Text(Panel panel) const;

  private:
    std::array<QLabel*, PanelCount> labels_{};
};
