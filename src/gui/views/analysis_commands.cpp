#include "views/analysis_commands.h"

#include <QString>

#include "app/workspace.h"
#include "main/command_table.h"
#include "views/form_repeats.h"

namespace {

const QString kCategory = QStringLiteral("Расширенная статистика");

}  // namespace

QStringList AnalysisCommands::MenuNames() { return {QStringLiteral("AnalyzeRepeats")}; }

AnalysisCommands::AnalysisCommands(tessara::Workspace& ws, CommandTable& commands,
                                   QWidget* window)
    : ws_(ws), window_(window) {
    commands.Add({.Name = QStringLiteral("AnalyzeRepeats"),
                  .Caption = QString::fromUtf8(tessara::RepeatsCaption),
                  .Category = kCategory,
                  .Handler = [this] { AnalyzeRepeats(); },
                  .Enabled = [this] { return !ws_.Archive().Empty(); }});
}

void AnalysisCommands::AnalyzeRepeats() {
    TFormRepeats form(ws_.Archive().Draws(), ws_.GetHost(), ws_.View(), window_);
    form.Analyze();
    form.exec();
}
