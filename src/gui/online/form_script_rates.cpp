#include "online/form_script_rates.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

TFormScriptRates::TFormScriptRates(const std::vector<tessara::TScriptRate>& rates, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FormScriptRates"));
    setWindowTitle(QStringLiteral("Оценки пользователей"));
    auto* list = new QTableWidget(static_cast<int>(rates.size()), 6, this);
    list->setObjectName(QStringLiteral("lvRates"));
    list->setHorizontalHeaderLabels({QStringLiteral("Имя"), QStringLiteral("Оценка"),
                                     QStringLiteral("Дата"), QStringLiteral("Программа"),
                                     QStringLiteral("Версия"), QStringLiteral("Комментарии")});
    list->verticalHeader()->hide();
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->horizontalHeader()->setStretchLastSection(true);
    for (int r = 0; r < static_cast<int>(rates.size()); ++r) {
        const tessara::TScriptRate& x = rates[static_cast<size_t>(r)];
        const std::string cells[] = {x.Name, x.Rate, x.Created, x.AppName, x.AppVersion, x.Notes};
        for (int c = 0; c < 6; ++c)
            list->setItem(r, c, new QTableWidgetItem(QString::fromStdString(cells[c])));
    }
    list->resizeColumnsToContents();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(buttons);
    resize(640, 320);
}
