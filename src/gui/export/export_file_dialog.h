#pragma once

#include <QFileDialog>

class QCheckBox;

// The save dialog of the spreadsheet exports: the program's own file dialog
// (so it can carry the check box "Открыть файл после сохранения"), for
// .xlsx books, asking before it replaces a file.
class ExportFileDialog : public QFileDialog {
    Q_OBJECT
  public:
    ExportFileDialog(QWidget* parent, const QString& caption, const QString& folder,
                     const QString& fileName, bool openFile);

    QString FilePath() const;
    bool OpenFile() const;
    QCheckBox* OpenFileBox() const { return cbOpenFile_; }

  private:
    QCheckBox* cbOpenFile_;
};
