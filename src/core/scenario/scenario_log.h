#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace tessara {

class Workspace;

// The scenario log: one text file per run, "ScriptLog_yyyy-mm-dd-hh-nn-ss.txt"
// in the data folder, one time-stamped line per message (Windows-1251, CR LF).
// Each line is appended with the file opened and closed again, so the log is
// whole up to the last line even when the program stops.
class TScenarioLog {
public:
    explicit TScenarioLog(Workspace& ws);

    // The "ScriptLogEnabled" option, stored at once.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);

    // A new file name from the current time (nothing when logging is off).
    void New();
    // One line; when no name was made yet, makes one first. A failure is
    // shown and the run goes on.
    void Write(const std::string& text);
    // Shows the file (when there is one) and forgets its name.
    void Close();
    const std::string& FileName() const { return fileName_; }

    // Deletes every log of the data folder and reports the outcome.
    bool DeleteAll();

    // What shows a finished log (the GUI opens it with the default viewer).
    std::function<void(const std::string& path)> Viewer;
    // The clock of the names and time stamps; tests fix it.
    std::function<std::tm()> Now;

    static constexpr const char* FilePattern = "ScriptLog_%s.txt";

private:
    Workspace& ws_;
    bool enabled_ = false;
    std::string fileName_;
};

}  // namespace tessara
