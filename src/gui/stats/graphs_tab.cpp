#include "stats/graphs_tab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "stats/stat_selectors.h"

GraphsTab::GraphsTab(StatSelectors& selectors, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsDrawsGraph"));

    QComboBox* box = selectors.GraphBox();
    auto* label = new QLabel(QStringLiteral("Вид графика:"), this);
    label->setBuddy(box);

    auto* panel = new QHBoxLayout;
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(label);
    panel->addWidget(box, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panel);
    layout->addStretch(1);
}
