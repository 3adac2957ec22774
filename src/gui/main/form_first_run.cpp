#include "main/form_first_run.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "main/command_table.h"

QPushButton* TFormFirstRun::CommandButton(const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QStringLiteral("btn") + name);
    commands_.Update();
    const QAction* action = commands_.Action(name);
    button->setEnabled(action && action->isEnabled());
    // The help opens once the dialog is gone: a modal dialog would keep the
    // help window from taking input.
    connect(button, &QPushButton::clicked, this, [this, name] {
        chosen_ = name;
        accept();
    });
    return button;
}

TFormFirstRun::TFormFirstRun(CommandTable& commands, const QString& guide,
                             const QStringList& pages, QWidget* parent)
    : QDialog(parent), commands_(commands) {
    setObjectName(QStringLiteral("FormFirstRun"));
    setWindowTitle(QStringLiteral("Справочная информация"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Если Вы запускаете программу в первый раз, рекомендуем "
                                           "Вам ознакомится со справочной инфомацией:"),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(
        CommandButton(guide, QStringLiteral("Открыть файл встроенной справочной системы")));
    for (const QString& name : pages) {
        const CommandRow* row = commands.Row(name);
        if (row) layout->addWidget(CommandButton(name, row->Caption));
    }
    cbDontShow_ = new QCheckBox(QStringLiteral("Больше не показывать данный диалог"), this);
    cbDontShow_->setObjectName(QStringLiteral("cbDontShow"));
    layout->addWidget(cbDontShow_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

bool TFormFirstRun::DontShowAgain() const { return cbDontShow_->isChecked(); }

bool TFormFirstRun::Run(CommandTable& commands, const QString& guide, const QStringList& pages,
                        QWidget* parent) {
    TFormFirstRun form(commands, guide, pages, parent);
    form.exec();
    const bool dontShow = form.DontShowAgain();
    if (!form.chosen_.isEmpty()) commands.Execute(form.chosen_);
    return dontShow;
}
