#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "app/workspace.h"
#include "online/self_update.h"

class CommandTable;
class QWidget;
class TFormProgress;

// The commands CheckUpdate and AutoSelfUpdate of the "Справка" menu and the
// silent check at start-up. An installed update restarts the program
// through restart.
class UpdateCommands : public QObject, private tessara::TSelfUpdateUi {
    Q_OBJECT
  public:
    UpdateCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* window,
                   std::function<void()> restart);
    ~UpdateCommands() override;

    // SelfUpdate of the configured address: 0, 1 (installed) or 2.
    int Check(bool silent);
    // The start-up check, when AutoUpdates is on.
    int CheckOnStart() { return Check(true); }
    // Tests point the updater at their own installation.
    void SetOptions(const tessara::TSelfUpdateOptions& options) { options_ = options; }

  private:
    tessara::TProgressWindow& Progress() override;
    bool OfferUpdate(const std::string& current, const std::string& offered,
                     const std::string& notes) override;
    bool AutoUpdatesOn() const;
    void SetAutoUpdates(bool on);

    tessara::Workspace& ws_;
    QWidget* window_;
    std::function<void()> restart_;
    std::unique_ptr<TFormProgress> progress_;
    tessara::TSelfUpdateOptions options_;
};
