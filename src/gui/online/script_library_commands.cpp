#include "online/script_library_commands.h"

#include <QInputDialog>

#include "main/command_table.h"
#include "online/form_scr_public.h"
#include "online/form_script_rates.h"
#include "online/script_library.h"
#include "online/script_library_panel.h"

namespace {

const QString kCategory = QStringLiteral("Библиотека");

}  // namespace

ScriptLibraryCommands::ScriptLibraryCommands(tessara::ScriptLibrary& library,
                                             CommandTable& commands, QWidget* dialogParent)
    : library_(library), parent_(dialogParent) {
    Register(commands);
}

bool ScriptLibraryCommands::PanelShown() const { return panel_ && library_.PanelOn(); }

void ScriptLibraryCommands::Toggle() {
    const bool on = !library_.PanelOn();
    library_.SetPanelOn(on);
    if (panel_) panel_->setVisible(on);
    library_.Refresh(!on);
}

void ScriptLibraryCommands::Rate(int value) {
    std::string notes;
    if (value > 0) {
        bool ok = false;
        const QString text = QInputDialog::getText(
            parent_, QStringLiteral("Комментарий"), QString::fromUtf8(tessara::MsgRateComment),
            QLineEdit::Normal, QString(), &ok);
        if (!ok) return;
        notes = text.toStdString();
    }
    library_.RateFocused(value, notes);
}

void ScriptLibraryCommands::Register(CommandTable& commands) {
    const auto add = [&](CommandRow row, bool needsPanel = true) {
        row.Category = kCategory;
        if (needsPanel) {
            auto rule = row.Enabled;
            row.Enabled = [this, rule] { return PanelShown() && (!rule || rule()); };
        }
        commands.Add(std::move(row));
    };
    tessara::ScriptLibrary& lib = library_;
    add({.Name = QStringLiteral("ScriptLibrary"),
         .Caption = QStringLiteral("Online каталог сценариев"),
         .Shortcut = QKeySequence(QStringLiteral("Ctrl+L")),
         .Handler = [this] { Toggle(); },
         .Checked = [&lib] { return lib.PanelOn(); }},
        false);
    add({.Name = QStringLiteral("ScriptLibraryRefresh"),
         .Caption = QStringLiteral("Обновить"),
         .Handler = [&lib] { lib.Refresh(); }});
    add({.Name = QStringLiteral("ScriptLibraryDownload"),
         .Caption = QStringLiteral("Скачать из каталога"),
         .Handler = [&lib] { lib.DownloadFocused(); },
         .Enabled = [&lib] { return lib.CanDownload(); }});
    add({.Name = QStringLiteral("ScriptLibraryUpload"),
         .Caption = QStringLiteral("Опубликовать"),
         .Handler =
             [this, &lib] {
                 if (!lib.RequireServer()) return;
                 tessara::tScriptData data = lib.NewScriptData();
                 if (TFormScrPublic::Edit(parent_, lib, data)) lib.Publish(data);
             },
         .Enabled = [&lib] { return lib.CanUpload(); }});
    add({.Name = QStringLiteral("ScriptLibraryReplace"),
         .Caption = QStringLiteral("Изменить"),
         .Handler =
             [this, &lib] {
                 tessara::tScriptData data = lib.FocusedScriptData();
                 if (TFormScrPublic::Edit(parent_, lib, data)) lib.ReplaceFocused(data);
             },
         .Enabled = [&lib] { return lib.CanReplace(); }});
    add({.Name = QStringLiteral("ScriptLibraryDelete"),
         .Caption = QStringLiteral("Удалить"),
         .Handler = [&lib] { lib.DeleteFocused(); },
         .Enabled = [&lib] { return lib.CanDelete(); }});
    add({.Name = QStringLiteral("ScriptLibraryView"),
         .Caption = QStringLiteral("Свойства сценария"),
         .Handler = [this, &lib] { TFormScrPublic::View(parent_, lib, lib.FocusedScriptData()); },
         .Enabled = [&lib] { return lib.HasFocus(); }});
    add({.Name = QStringLiteral("ScriptLibraryRates"),
         .Caption = QStringLiteral("Просмотр оценок"),
         .Handler =
             [this, &lib] {
                 const tessara::tScriptInfo* s = lib.Focused();
                 if (!s || !lib.RequireServer()) return;
                 std::vector<tessara::TScriptRate> rates;
                 if (!lib.GetScriptRates(s->id, rates)) return;
                 TFormScriptRates form(rates, parent_);
                 form.exec();
             },
         .Enabled = [&lib] { return lib.HasFocus(); }});
    add({.Name = QStringLiteral("ScriptLibraryRate0"),
         .Caption = QStringLiteral("Удалить оценку"),
         .Handler = [this] { Rate(0); },
         .Enabled = [&lib] { return lib.CanUnrate(); }});
    const char* captions[] = {"[ 1 ] - Бесполезно", "[ 2 ] - Плохо", "[ 3 ] - Удовлетворительно",
                              "[ 4 ] - Хорошо", "[ 5 ] - Отлично"};
    for (int v = 1; v <= 5; ++v)
        add({.Name = QStringLiteral("ScriptLibraryRate%1").arg(v),
             .Caption = QString::fromUtf8(captions[v - 1]),
             .Handler = [this, v] { Rate(v); },
             .Enabled = [&lib] { return lib.HasFocus(); },
             .Checked =
                 [&lib, v] {
                     const tessara::tScriptInfo* s = lib.Focused();
                     return s && s->myRating == v;
                 }});
    add({.Name = QStringLiteral("ScriptLibraryHide"),
         .Caption = QStringLiteral("Скрыть сценарий"),
         .Handler = [this] { Rate(-1); },
         .Enabled = [&lib] { return lib.HasFocus(); },
         .Checked =
             [&lib] {
                 const tessara::tScriptInfo* s = lib.Focused();
                 return s && s->myRating == -1;
             }});
}
