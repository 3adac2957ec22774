#pragma once

#include <QWidget>

class StatSelectors;

// The "Графики" tab: the graph kind selector above the place of the charts.
class GraphsTab : public QWidget {
    Q_OBJECT
  public:
    explicit GraphsTab(StatSelectors& selectors, QWidget* parent = nullptr);
};
