#pragma once

#include <QDialog>
#include <QString>

#include "base/config.h"

class QCheckBox;
class QLineEdit;
class QDoubleSpinBox;
class QSpinBox;
class QTableWidget;

namespace tessara {
class Host;
class Workspace;
}  // namespace tessara

// The configuration dialog: matrix, channel, stakes and prizes, the weight
// coefficients of the statistics table and the segments of the numbers.
// Works on a copy; Cancel leaves the record untouched.
class TFormConfig : public QDialog {
    Q_OBJECT
  public:
    TFormConfig(const tessara::TConfigData& config, tessara::Host& host, QWidget* parent = nullptr,
                const tessara::TOnlineConfig& online = {});

    // The edited record; fields whose controls were left alone keep their
    // values exactly, even when they lie outside the ranges of the controls.
    tessara::TConfigData Result() const;
    // The page "Сетевые адреса".
    tessara::TOnlineConfig OnlineResult() const;

    // Runs the dialog on the live configuration and applies it on OK.
    static bool Edit(QWidget* parent, tessara::Workspace& ws);

    // The value-list form of a prize row: "3=100.00".
    static QString PrizeRowText(int row, tessara::TMoney profit, QChar decimalPoint = u'.');

  private:
    void FillProfits();
    void LayoutSegments(int cols, const QStringList& values);
    QStringList SegmentTexts() const;
    void SegmentRejected(const QString& text);

    tessara::TConfigData config_;
    tessara::Host& host_;
    tessara::TOnlineConfig online_;
    QLineEdit* edDrawsSite_;
    QLineEdit* edProxyListUrl_;
    QLineEdit* edServerUrl_;
    QLineEdit* edUserName_;
    QLineEdit* edUserMail_;
    // What the amount fields showed at the start, so an untouched field gives
    // back the exact value instead of its rounded display.
    double costShown_ = 0;
    double coefShown_[3] = {};

    QSpinBox* edMatrixCol_;
    QSpinBox* edMatrixRow_;
    QSpinBox* edChannelSize_;
    QDoubleSpinBox* edCost_;
    QSpinBox* edStakeMaxLen_;
    QTableWidget* edProfits_;
    QDoubleSpinBox* edCoefCount_;
    QDoubleSpinBox* edCoefDeviation_;
    QDoubleSpinBox* edCoefLevel_;
    QCheckBox* cbCoefPercents_;
    QCheckBox* cbCoefAbs_;
    QTableWidget* sgSegments_;
};
