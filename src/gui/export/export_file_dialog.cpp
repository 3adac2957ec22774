#include "export/export_file_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>

ExportFileDialog::ExportFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                                   const QString& fileName, bool openFile)
    : QFileDialog(parent, caption, folder) {
    setObjectName(QStringLiteral("FormExportFile"));
    setOption(QFileDialog::DontUseNativeDialog, true);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilter(QStringLiteral("Книга Microsoft Excel (*.xlsx)"));
    setDefaultSuffix(QStringLiteral("xlsx"));
    setDirectory(folder);
    selectFile(fileName);
    cbOpenFile_ = new QCheckBox(QStringLiteral("Открыть файл после сохранения"), this);
    cbOpenFile_->setObjectName(QStringLiteral("cbOpenFile"));
    cbOpenFile_->setChecked(openFile);
    // The dialog's own grid: the check box goes under the file name and type rows.
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(cbOpenFile_, grid->rowCount(), 0, 1, grid->columnCount());
}

QString ExportFileDialog::FilePath() const {
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : QDir::cleanPath(files.first());
}

bool ExportFileDialog::OpenFile() const { return cbOpenFile_->isChecked(); }
