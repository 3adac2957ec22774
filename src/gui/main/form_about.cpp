#include "main/form_about.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QtGlobal>

#include "app/versions.h"

TFormAbout::TFormAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(Text(), this);
    text->setObjectName(QStringLiteral("lbAbout"));
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

void TFormAbout::Show(QWidget* parent) {
    TFormAbout form(parent);
    form.exec();
}

QString TFormAbout::Text() {
    QString components = QStringLiteral("<tr><td>Qt</td><td>%1</td></tr>").arg(qVersion());
    for (const auto& [name, version] : tessara::ComponentVersions())
        components += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                          .arg(QString::fromStdString(name), QString::fromStdString(version));
    return QStringLiteral(
               "<h3>Анализ статистики лотереи \"Тессара 6 из 42\"</h3>"
               "<p>Версия %1</p>"
               "<p>Программы: tessara (окно), tessara-cli (командная строка), "
               "tessara-server (сервер каталогов).</p>"
               "<p>Составные части:</p><table cellspacing=\"4\">%2</table>"
               "<p>Лицензия: MIT. Программа предоставляется «как есть», без каких-либо "
               "гарантий; разрешается свободно использовать, копировать, изменять и "
               "распространять ее при сохранении уведомления об авторском праве и текста "
               "лицензии (файл LICENSE).</p>"
               "<p>Архив тиражей в демонстрационных данных составлен генератором случайных "
               "чисел и не является результатами настоящих тиражей.</p>")
        .arg(QString::fromStdString(tessara::ProgramVersion()), components);
}
