#pragma once

#include <QWidget>

class CommandTable;
class StatSelectors;

// The "Статистика" tab: the statistic kind selector with the favourites
// button above the place of the value table.
class StatisticsTab : public QWidget {
    Q_OBJECT
  public:
    StatisticsTab(StatSelectors& selectors, CommandTable& commands, QWidget* parent = nullptr);
};
