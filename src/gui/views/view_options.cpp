#include "views/view_options.h"

#include "app/workspace.h"
#include "base/ini_file.h"
#include "base/view_keys.h"
#include "model/error.h"

int ReadViewInteger(const tessara::Workspace& ws, const char* key) {
    try {
        return ws.View().ReadInteger(tessara::MainWindowSection, key, tessara::MainViewDefault(key));
    } catch (const tessara::Error&) {
        return tessara::MainViewDefault(key);
    }
}

void WriteViewInteger(tessara::Workspace& ws, const char* key, int value) {
    try {
        ws.View().WriteInteger(tessara::MainWindowSection, key, value);
    } catch (const tessara::Error& e) {
        ws.GetHost().ShowError(e.what());
    }
}

bool ReadViewBool(const tessara::Workspace& ws, const char* key) {
    try {
        return ws.View().ReadBool(tessara::MainWindowSection, key, tessara::MainViewDefault(key) != 0);
    } catch (const tessara::Error&) {
        return tessara::MainViewDefault(key) != 0;
    }
}

void WriteViewBool(tessara::Workspace& ws, const char* key, bool value) {
    try {
        ws.View().WriteBool(tessara::MainWindowSection, key, value);
    } catch (const tessara::Error& e) {
        ws.GetHost().ShowError(e.what());
    }
}
