#include "export/export_progress.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr qint64 kRepaintMs = 50;

}  // namespace

ExportProgress::ExportProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormExportProgress"));
    setWindowTitle(QStringLiteral("Экспорт в Microsoft Excel"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    lbText_ = new QLabel(this);
    lbText_->setObjectName(QStringLiteral("lbText"));
    lbText_->setMinimumWidth(360);
    pbExport_ = new QProgressBar(this);
    pbExport_->setObjectName(QStringLiteral("pbExport"));
    pbExport_->setRange(0, 100);
    btStop_ = new QPushButton(QStringLiteral("Стоп"), this);
    btStop_->setObjectName(QStringLiteral("btStop"));
    connect(btStop_, &QPushButton::clicked, this, [this] {
        stopped_ = true;
        btStop_->setEnabled(false);
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbText_);
    layout->addWidget(pbExport_);
    layout->addWidget(btStop_, 0, Qt::AlignRight);
}

void ExportProgress::SetProgress(int64_t written, int64_t total) {
    if (shown_.isValid() && shown_.elapsed() < kRepaintMs && written < total) return;
    if (!isVisible()) {
        adjustSize();
        show();
    }
    shown_.start();
    const QLocale locale;
    lbText_->setText(written < total ? QStringLiteral("Записано строк: %1 из %2")
                                           .arg(locale.toString(qlonglong(written)),
                                                locale.toString(qlonglong(total)))
                                     : QStringLiteral("Сохранение файла..."));
    pbExport_->setValue(total > 0 ? static_cast<int>(written * 100 / total) : 100);
    // Lets the button be pressed; the window is modal, so nothing else takes input.
    QApplication::processEvents();
}

void ExportProgress::reject() { btStop_->click(); }
