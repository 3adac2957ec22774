#pragma once

#include <QDialog>
#include <QStringList>

class CommandTable;
class QCheckBox;
class QPushButton;

// "Справочная информация": shown at start-up while FirstRun is on; points a
// new user at the help. Its buttons run the help commands.
class TFormFirstRun : public QDialog {
    Q_OBJECT
  public:
    // guide: the command that opens the help's contents; pages: the commands
    // of the help's pages, one button each.
    TFormFirstRun(CommandTable& commands, const QString& guide, const QStringList& pages,
                  QWidget* parent);

    // Shows the dialog; true when "Больше не показывать данный диалог" was
    // ticked as it closed.
    static bool Run(CommandTable& commands, const QString& guide, const QStringList& pages,
                    QWidget* parent);

    bool DontShowAgain() const;

  private:
    QPushButton* CommandButton(const QString& name, const QString& caption);

    CommandTable& commands_;
    QCheckBox* cbDontShow_ = nullptr;
    QString chosen_;
};
