#pragma once

#include <QDialog>

#include "scenario/script_line.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace tessara {
class Workspace;
}

// The filter editor "Фильтр": one filter item of a scenario line.
class TFormFilter : public QDialog {
    Q_OBJECT
  public:
    // methods: the statistics tab's method list, whose entries (with the
    // registry index as item data) the editor offers.
    TFormFilter(tessara::Workspace& ws, const QComboBox* methods, QWidget* parent = nullptr);

    // Shows an item; one that is not used leaves the defaults.
    void SetItem(const tessara::TFilterItem& item);
    tessara::TFilterItem Item() const;

    // Runs the editor on an item; true (and the item changed) on OK.
    static bool Edit(QWidget* parent, tessara::Workspace& ws, const QComboBox* methods,
                     tessara::TFilterItem& item);

    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UpdateEnabled();
    void SetCoefs(const tessara::TFilterCoefs& coefs);

    tessara::Workspace& ws_;
    QComboBox* cbFilterType_;
    QLineEdit* edDrawsLen_;
    QComboBox* cbSortOrder_;
    QComboBox* cbDirection_;
    QCheckBox* chMultiSelect_;
    QComboBox* cbFilterMode_;
    QComboBox* cbLevelMode_;
    QLineEdit* edLevelValue_;
    QCheckBox* chCDLOverride_;
    QDoubleSpinBox* edCoefCount_;
    QDoubleSpinBox* edCoefDeviation_;
    QDoubleSpinBox* edCoefLevel_;
    QCheckBox* chCoefPercents_;
    QCheckBox* chCoefAbs_;
    QComboBox* cbStopMode_;
    QSpinBox* edStopValue_;
};
