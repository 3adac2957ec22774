#include "online/form_progress.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TFormProgress::TFormProgress(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormProgress"));
    setWindowTitle(QStringLiteral("Подождите..."));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    lbText_ = new QLabel(this);
    lbText_->setObjectName(QStringLiteral("lbText"));
    lbText_->setMinimumWidth(360);
    lbText_->setWordWrap(true);
    pbSteps_ = new QProgressBar(this);
    pbSteps_->setObjectName(QStringLiteral("pbSteps"));
    btCancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    btCancel_->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbText_);
    layout->addWidget(pbSteps_);
    layout->addWidget(btCancel_, 0, Qt::AlignRight);
}

void TFormProgress::Shown(const std::string& text, int steps) {
    lbText_->setText(QString::fromStdString(text));
    pbSteps_->setRange(0, steps);
    pbSteps_->setValue(0);
    adjustSize();
    show();
    QApplication::processEvents();
}

void TFormProgress::Moved(int position) {
    pbSteps_->setValue(position);
    QApplication::processEvents();
}

void TFormProgress::Hidden() { hide(); }
