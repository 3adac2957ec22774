#include "stats/statistics_tab.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include "main/command_table.h"
#include "stats/stat_selectors.h"

StatisticsTab::StatisticsTab(StatSelectors& selectors, CommandTable& commands, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("tsDrawsStat"));

    QComboBox* box = selectors.StatBox();
    auto* label = new QLabel(QStringLiteral("Вид расчета статистики"), this);
    label->setBuddy(box);
    QToolButton* favourites = commands.MakeButton(QStringLiteral("FiltersManager"), this);
    // The button has its own short caption; the action's caption comes back
    // with every change of the action, so it is set again after each.
    const auto caption = [favourites] { favourites->setText(QStringLiteral("Избранное")); };
    caption();
    connect(favourites->defaultAction(), &QAction::changed, favourites, caption);

    auto* panel = new QHBoxLayout;
    panel->setContentsMargins(2, 2, 2, 2);
    panel->addWidget(label);
    panel->addWidget(box, 1);
    panel->addWidget(favourites);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(panel);
    layout->addStretch(1);
}
