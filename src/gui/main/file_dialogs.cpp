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

QString ChooseFile(QWidget* parent, const FileDialogSpec& spec) {
    QFileDialog dialog(parent);
    dialog.setWindowTitle(!spec.Title.isEmpty() ? spec.Title
                          : spec.Save           ? QStringLiteral("Сохранить как")
                                                : QStringLiteral("Открыть"));
    dialog.setNameFilter(spec.Filter);
    if (!spec.Suffix.isEmpty()) dialog.setDefaultSuffix(spec.Suffix);
    dialog.setAcceptMode(spec.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(spec.Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!Folder().isEmpty()) dialog.setDirectory(Folder());
    if (!spec.Start.isEmpty()) {
        // A bare name starts in the data folder, a path in its own folder.
        const QFileInfo start(spec.Start);
        if (start.isAbsolute()) dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}
