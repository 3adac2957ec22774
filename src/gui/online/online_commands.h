#pragma once

#include <QStringList>
#include <memory>

class CommandTable;
class QMenu;
class QWidget;
class TFormWait;

namespace tessara {
class Workspace;
}

// The commands of the online services: the draw download, its start-up
// option and the proxy dialog.
class OnlineCommands {
  public:
    OnlineCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* window);
    ~OnlineCommands();
    TFormWait* WaitWindow() const { return wait_.get(); }

  private:
    int DownloadOnStart() const;
    void SetDownloadOnStart(int value);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    QWidget* window_;
    std::unique_ptr<TFormWait> wait_;
    // The view-state file is read once; the commands keep it current.
    mutable int downloadOnStart_ = -1;
};
