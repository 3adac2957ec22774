#include "systems/systems_commands.h"

#include <QAction>

#include "app/workspace.h"
#include "main/command_table.h"
#include "online/systems_catalogue.h"
#include "stakes/form_multi.h"
#include "systems/form_system.h"
#include "systems/systems_tab.h"

namespace {

const QString kCategory = QStringLiteral("Системы");

}  // namespace

SystemsCommands::SystemsCommands(tessara::Workspace& ws, CommandTable& commands,
                                 QWidget* dialogParent, std::function<void(bool, bool)> showTab)
    : ws_(ws), commands_(commands), parent_(dialogParent), showTab_(std::move(showTab)) {
    Register(commands);
}

void SystemsCommands::ApplyEnabled() {
    const bool on = ws_.Systems().Enabled();
    showTab_(on, false);
    for (const char* name : {"SystemStakeAll", "SystemStakeFilter"})
        if (QAction* a = commands_.Action(QString::fromLatin1(name))) a->setVisible(on);
}

void SystemsCommands::Toggle() {
    tessara::SystemsCatalogue& sys = ws_.Systems();
    const bool on = !sys.Enabled();
    {
        tessara::BusyGuard busy(ws_.GetHost(), tessara::StatusPleaseWait);
        sys.SetEnabled(on);
        ApplyEnabled();
    }
    if (on) {
        sys.LoadSystemList();
        showTab_(true, true);
    }
}

void SystemsCommands::Download() {
    if (!tab_) return;
    tessara::SystemsCatalogue& sys = ws_.Systems();
    for (const int32_t id : tab_->SelectedIds()) {
        const tessara::tSystemInfo* s = sys.Find(id);
        if (!s) continue;
        const bool ok = sys.DownloadSystem(tessara::tSystemInfo(*s));
        tab_->Repaint();
        if (!ok) break;
        tab_->Deselect(id);
    }
    commands_.Update();
}

void SystemsCommands::Add() {
    tessara::SystemsCatalogue& sys = ws_.Systems();
    tessara::tSystemData d = sys.NewSystemData();
    if (!TFormSystem::Edit(parent_, ws_.GetHost(), d, false)) return;
    sys.AddSystem(d);
}

void SystemsCommands::Prop() {
    tessara::SystemsCatalogue& sys = ws_.Systems();
    const tessara::tSystemInfo* f = sys.Focused();
    if (!f) return;
    const bool mine = sys.IsMine(*f);
    tessara::tSystemData d;
    if (!sys.FocusedSystemData(d)) return;
    if (!TFormSystem::Edit(parent_, ws_.GetHost(), d, !mine) || !mine) return;
    sys.UpdateSystem(d);
}

void SystemsCommands::Play(bool inList) {
    tessara::SystemsCatalogue& sys = ws_.Systems();
    tessara::TSystemGamePlan plan;
    if (!sys.PrepareGame(inList ? tessara::TSystemGameMode::InList : tessara::TSystemGameMode::Whole,
                         plan))
        return;
    int draw = plan.Draw;
    int drawCount = 1;
    std::string comment = plan.Comment;
    if (!TFormMulti::Edit(parent_, ws_.GetHost(), draw, comment, drawCount)) return;
    sys.PlayGame(plan, draw, drawCount, comment);
}

void SystemsCommands::Register(CommandTable& commands) {
    tessara::SystemsCatalogue& sys = ws_.Systems();
    const auto add = [&](CommandRow row, bool needsTab = true) {
        if (row.Category.isEmpty()) row.Category = kCategory;
        if (needsTab) {
            auto rule = row.Enabled;
            row.Enabled = [&sys, rule] { return sys.Enabled() && (!rule || rule()); };
        }
        commands.Add(std::move(row));
    };
    add({.Name = QStringLiteral("SystemsOn"),
         .Caption = QStringLiteral("Системная игра"),
         .Shortcut = QKeySequence(QStringLiteral("Ctrl+J")),
         .Handler = [this] { Toggle(); },
         .Checked = [&sys] { return sys.Enabled(); }},
        false);
    add({.Name = QStringLiteral("SystemsRefresh"),
         .Caption = QStringLiteral("Обновить"),
         .Handler = [&sys] { sys.LoadSystemList(); }});
    add({.Name = QStringLiteral("SystemsDownload"),
         .Caption = QStringLiteral("Загрузить"),
         .Handler = [this] { Download(); },
         .Enabled = [this] { return tab_ && !tab_->SelectedIds().empty(); }});
    add({.Name = QStringLiteral("SystemsAdd"),
         .Caption = QStringLiteral("Добавить"),
         .Handler = [this] { Add(); }});
    add({.Name = QStringLiteral("SystemsProp"),
         .Caption = QStringLiteral("Свойства"),
         .Handler = [this] { Prop(); },
         .Enabled = [&sys] { return sys.Focused() != nullptr; }});
    add({.Name = QStringLiteral("SystemsDel"),
         .Caption = QStringLiteral("Удалить"),
         .Handler = [&sys] { sys.DeleteFocused(); },
         .Enabled = [&sys] { return sys.CanDelete(); }});
    // The game commands live in the stakes menu and the list's popup.
    add({.Name = QStringLiteral("SystemStakeAll"),
         .Caption = QStringLiteral("Cистемная игра по списку системы"),
         .Shortcut = QKeySequence(QStringLiteral("Ctrl+Alt+J")),
         .Handler = [this] { Play(false); },
         .Enabled = [&sys] { return sys.CanPlay(); }});
    add({.Name = QStringLiteral("SystemStakeFilter"),
         .Caption = QStringLiteral("Cистемная игра по списку комбинаций"),
         .Shortcut = QKeySequence(QStringLiteral("Alt+J")),
         .Handler = [this] { Play(true); },
         .Enabled = [&sys] { return sys.CanPlay(); }});
}
