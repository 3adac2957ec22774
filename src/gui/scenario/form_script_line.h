#pragma once

#include <QDialog>
#include <array>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

namespace tessara {
class Workspace;
}

// The line editor "Элемент сценария": options, seven filter texts, comment.
class TFormScriptLine : public QDialog {
    Q_OBJECT
  public:
    // methods: the statistics tab's method list, handed on to the filter editor.
    TFormScriptLine(tessara::Workspace& ws, const QComboBox* methods, QWidget* parent = nullptr);

    // Fills the editor from a line; the empty text gives an empty line.
    void SetLine(int defaultStartCount, const std::string& line);
    std::string Line() const;

    // Opens the filter editor on filter n (1..7) and writes its result back.
    void EditFilter(int n);

    // Runs the editor with a title; true (and the line changed) on OK.
    static bool Edit(QWidget* parent, tessara::Workspace& ws, const QComboBox* methods,
                     const QString& title, int defaultStartCount, std::string& line);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    tessara::Workspace& ws_;
    const QComboBox* methods_;
    QComboBox* cbStartCombs_;
    QSpinBox* edStartCount_;
    QComboBox* cbResultMode_;
    QCheckBox* chClearStakes_;
    QCheckBox* chNewOnly_;
    std::array<QLineEdit*, 7> edFilters_{};
    std::array<QToolButton*, 7> btnFilters_{};
    QLineEdit* edComment_;
};
