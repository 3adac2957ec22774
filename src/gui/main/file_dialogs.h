#pragma once

#include <QString>

class QWidget;

// What a file dialog asks for.
struct FileDialogRequest {
    QString Title{};   // empty: "Открыть" or "Сохранить как"
    QString Filter{};  // e.g. "Файлы тиражей (*.csv)"
    QString Suffix{};  // added when the name has none; empty: none
    bool Save = false;
    QString Start{};  // a file name to start with
};

// The folder every file dialog starts in: the data folder of the window.
void SetDialogFolder(const QString& folder);
QString DialogFolder();

// Asks for a file; empty when the user cancelled.
QString ChooseFile(QWidget* parent, const FileDialogRequest& request);
