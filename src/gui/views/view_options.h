#pragma once

#include <functional>

namespace tessara {
class Workspace;
}

// Keys of the main window's section of the view-state file, as the three
// number views keep them: read once the file is settled (an unreadable
// file was reported at start-up, so its defaults stay silently), written on
// every change (a failure is shown).
int ReadViewInteger(const tessara::Workspace& ws, const char* key);
void WriteViewInteger(tessara::Workspace& ws, const char* key, int value);
bool ReadViewBool(const tessara::Workspace& ws, const char* key);
void WriteViewBool(tessara::Workspace& ws, const char* key, bool value);

// What a view tab needs to know about its place in the window: whether it
// is the page the user looks at.
using TabShownFn = std::function<bool()>;
