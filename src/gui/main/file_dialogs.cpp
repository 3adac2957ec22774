#include "main/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

QString& Folder() {
    static QString folder;
    return folder;
}

}  // namespace

void SetDialogFolder(const QString& folder) { Folder() = folder; }

QString DialogFolder() { return Folder(); }

QString ChooseFile(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent);
    dialog.setWindowTitle(!request.Title.isEmpty() ? request.Title
                          : request.Save           ? QStringLiteral("Сохранить как")
                                                : QStringLiteral("Открыть"));
    dialog.setNameFilter(request.Filter);
    if (!request.Suffix.isEmpty()) dialog.setDefaultSuffix(request.Suffix);
    dialog.setAcceptMode(request.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!Folder().isEmpty()) dialog.setDirectory(Folder());
    if (!request.Start.isEmpty()) {
        // A bare name starts in the data folder, a path in its own folder.
        const QFileInfo start(request.Start);
        if (start.isAbsolute()) dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
