#pragma once

#include <QStringList>
#include <string>
#include <string_view>

#include "base/ini_file.h"

class QAbstractItemView;
class QSplitter;
class QWidget;

// Sizes of a window's panels and lists in its section of the view-state file:
// the window placement, splitter panes and the column widths of lists, kept
// under "<list objectName>.Column<n>". The file is read once when the object
// is made; stored values are written all at once by Save.
class LayoutState {
  public:
    // Throws tessara::Error when the file cannot be read.
    LayoutState(std::string path, std::string section);

    int ReadInteger(std::string_view key, int def) const;
    void WriteInteger(std::string_view key, int value);

    // Placement of a top-level window, kept under "Geometry".
    void RestoreGeometry(QWidget* window) const;
    void StoreGeometry(const QWidget* window);
    // Size of one pane of a splitter; the key's default from the main window's
    // table applies, and a negative value leaves the layout's size.
    void RestorePane(QSplitter* splitter, int pane, const char* key) const;
    void StorePane(const QSplitter* splitter, int pane, const char* key);
    // Column widths of a list by its objectName; a missing key keeps the width.
    void RestoreColumns(QAbstractItemView* list) const;
    void StoreColumns(const QAbstractItemView* list);

    // Writes the stored values; throws tessara::Error.
    void Save() const;

    // The lists of the main window whose column widths are kept.
    static const QStringList& MainLists();
    static std::string ColumnKey(const QString& list, int column);

  private:
    std::string path_;
    std::string section_;
    tessara::IniFile ini_;
};
