#include "online/online_commands.h"

#include <QActionGroup>
#include <QMenu>

#include "app/workspace.h"
#include "main/command_table.h"
#include "model/error.h"
#include "online/draws_download.h"
#include "online/form_proxy.h"
#include "online/form_wait.h"

namespace {

const QString kDrawsCategory = QStringLiteral("Архив тиражей");

struct AutoDownloadRow {
    const char* Name;
    const char* Caption;
    const char* Hint;
};
const AutoDownloadRow kAutoDownload[] = {
    {"AutoDownload0", "По запросу (по умолчанию)", "Спрашивать при запуске программы, загружать ли новые тиражи"},
    {"AutoDownload1", "Автоматически", "Автоматическая загрузка тиражей при запуске программы"},
    {"AutoDownload2", "Отключено", "Без автоматической загрузки при запуске программы"},
};

}  // namespace

OnlineCommands::OnlineCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* window)
    : ws_(ws), commands_(commands), window_(window), wait_(std::make_unique<TFormWait>(window)) {
    ws_.Online().SetWaitWindow(wait_.get());
    commands.Add({.Name = QStringLiteral("DrawsDownload"),
                  .Caption = QStringLiteral("Загрузка"),
                  .Shortcut = QKeySequence(Qt::Key_F3),
                  .Category = kDrawsCategory,
                  .Handler = [this] { ws_.DrawsDownload(); },
                  .Hint = QStringLiteral("Загрузка архива тиражей с сайта лотереи")});
    // One choice at a time: the items show as radio buttons.
    auto* group = new QActionGroup(window);
    for (int value = 0; value < 3; ++value) {
        const AutoDownloadRow& row = kAutoDownload[value];
        group->addAction(commands.Add({.Name = QString::fromLatin1(row.Name),
                      .Caption = QString::fromUtf8(row.Caption),
                      .Category = kDrawsCategory,
                      .Handler = [this, value] { SetDownloadOnStart(value); },
                      .Checked = [this, value] { return DownloadOnStart() == value; },
                      .Hint = QString::fromUtf8(row.Hint)}));
    }
    commands.Add({.Name = QStringLiteral("EditProxy"),
                  .Caption = QStringLiteral("Параметры proxy-сервера"),
                  .Category = QStringLiteral("Файл"),
                  .Handler = [this] { TFormProxy::Edit(window_, ws_); }});
}

OnlineCommands::~OnlineCommands() { ws_.Online().SetWaitWindow(nullptr); }

int OnlineCommands::DownloadOnStart() const {
    if (downloadOnStart_ < 0) {
        try {
            downloadOnStart_ =
                ws_.View().ReadInteger(tessara::MainWindowSection, tessara::DownloadOnStartKey, 0);
        } catch (const tessara::Error&) {
            downloadOnStart_ = 0;
        }
    }
    return downloadOnStart_;
}

void OnlineCommands::SetDownloadOnStart(int value) {
    try {
        ws_.View().WriteInteger(tessara::MainWindowSection, tessara::DownloadOnStartKey, value);
        downloadOnStart_ = value;
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }
}
