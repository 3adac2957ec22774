#include "main/status_panels.h"

#include <QLabel>
#include <QStatusBar>

namespace {

struct PanelDef {
    const char* Name;
    const char* InitialText;
    int Width;  // 0: takes the rest of the bar
};

constexpr PanelDef kPanels[StatusPanels::PanelCount] = {
    {"spArchiveSize", "Архив тиражей: 0", 150},
    {"spNextDraw", "Следующий тираж: 0", 150},
    {"spNextDrawResult", "", 130},
    {"spCombsCount", "Комбинаций: 0", 150},
    {"spStakesCount", "Ставок: 0", 100},
    {"spRatingCount", "Рейтинг: 0", 100},
    {"spMessage", "", 0},
};

}  // namespace

StatusPanels::StatusPanels(QStatusBar* bar) {
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < PanelCount; ++i) {
        const PanelDef& panel = kPanels[i];
        auto* label = new QLabel(QString::fromUtf8(panel.InitialText), bar);
        label->setObjectName(QString::fromLatin1(panel.Name));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        if (i == NextDrawResult) label->setAlignment(Qt::AlignCenter);
        if (panel.Width > 0) {
            label->setMinimumWidth(panel.Width);
            bar->addWidget(label);
        } else {
            // Long progress texts must not widen the window.
            label->setMinimumWidth(1);
            bar->addWidget(label, 1);
        }
        labels_[static_cast<size_t>(i)] = label;
    }
}

void StatusPanels::SetText(Panel panel, const QString& text) { labels_[panel]->setText(text); }

QString StatusPanels::Text(Panel panel) const { return labels_[panel]->text(); }
