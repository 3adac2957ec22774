#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/config.h"
#include "base/host.h"
#include "base/ini_file.h"
#include "model/records.h"

namespace tessara {

class Workspace;
class TCombList;

// One entry of the systems catalogue.
struct tSystemInfo {
    int32_t id = 0;  // 0 or less for the placeholder entry
    uint8_t nums = 0;
    uint8_t olap = 0;
    int32_t csize = 0;
    std::string title;
    std::string author;
    std::string mail;
    std::string description;
    TDateTime created = 0;  // local time
    int32_t downloads = 0;
    TDateTime lastDownload = 0;
    std::string url;
};

// An entry with its combination list text.
struct tSystemData : tSystemInfo {
    std::string clist;
};

inline constexpr int SystemsClen = 6;
inline constexpr int SystemsMaxNums = 42;
inline constexpr const char* SystemsPlaceholderTitle = "Список систем не доступен!";

// The columns of lvSystems; the view sorts by "Числа" ascending at first.
inline constexpr int SystemColumnCount = 11;
inline constexpr int SystemDefaultSortColumn = 2;
const std::vector<std::string>& SystemColumnCaptions();
std::string SystemCellText(const tSystemInfo& info, bool downloaded, int column);

// One list row; throws Error when id, nums, olap or csize is not an integer.
tSystemInfo ParseSystemInfo(std::string_view row);

// The combination list text as lines: CR LF, LF or CR end a line and a final
// line end adds none.
std::vector<std::string> SystemTextLines(const std::string& clist);

// Which field of the system dialog refused its value.
enum class TSystemField { None, Title, Nums, Olap, Author, Descr, Combs };
// The checks of the system dialog's OK, in order; message is the refusal.
TSystemField CheckSystemFields(const tSystemData& data, std::string& message);
// The combination editor's normalisation: from the last line to the first,
// a trimmed line of exactly six words (split at the system separators)
// becomes the words as two-digit numbers joined by single spaces, any other
// line goes. nums = max - min + 1 over all positions (0 without lines).
struct TNormalisedCombs {
    std::vector<std::string> Lines;
    int Nums = 0;
};
TNormalisedCombs NormaliseSystemCombs(const std::vector<std::string>& lines);

// The system game: flag 0 plays the whole system, flag 1 only the system's
// combinations that are also in the combination list.
enum class TSystemGameMode { Whole = 0, InList = 1 };
struct TSystemGamePlan {
    TSystemGameMode Mode = TSystemGameMode::Whole;
    std::vector<uint8_t> Numbers;            // distinct, in order of first appearance
    std::vector<TCombination> Combinations;  // the system mapped on them, file order
    std::string File;
    std::string Comment;
    int Draw = 0;  // the next draw
};
// The distinct numbers of the list, combination by combination and number by
// number, stopping once 42 are found.
std::vector<uint8_t> DistinctListNumbers(const TCombList& list);

// Messages of the catalogue.
inline constexpr const char* MsgSystemListFailed = "Ошибка загрузки списка систем!\r\r";
inline constexpr const char* MsgSystemAddFailed = "Ошибка добавления системы!\r\r";
inline constexpr const char* MsgSystemPropFailed = "Ошибка изменения системы!\r\r";
inline constexpr const char* MsgSystemDelFailed = "Ошибка удаления системы!\r\r";
inline constexpr const char* MsgSystemNotOwn = "Вы можете удалять только свои системы!";
inline constexpr const char* StatusPleaseWait = "Подождите пожалуйста...";
inline constexpr const char* MsgSystemNoneInList =
    "Ни одна комбинация системы не входит в список комбинаций!";

// The systems catalogue: the three requests, the entries of the "Системы" tab
// with the focused one, the local files of downloaded systems, the option
// SystemsEnabled and the system game. Every request reports its own failure
// through the host.
class SystemsCatalogue {
public:
    SystemsCatalogue(Host& host, Workspace& ws, std::function<const TOnlineConfig&()> settings);

    void LoadViewOptions();
    bool Enabled() const { return enabled_; }
    // Stores the option; hiding empties the entries.
    void SetEnabled(bool on);

    bool ServerSet() const { return !settings_().ServerUrl.empty(); }
    bool RequireServer();
    const std::string& UserName() const { return settings_().UserName; }
    const std::string& UserMail() const { return settings_().UserMail; }
    bool IsMine(const tSystemInfo& info) const;

    // The protocol.
    // The rows of sys_getlist; hasResult is false when the answer had no
    // result region at all.
    bool GetSystemList(std::vector<tSystemInfo>& out, bool& hasResult);
    bool GetSystemData(int32_t id, std::string& clist);
    // Saves (or deletes) a system; the id the server gives, -1 on failure.
    int32_t PutSystem(const tSystemData& data, bool remove);
    // Fetches the list and writes the local file; deletes the other
    // downloaded systems with the same nums after a success.
    bool DownloadSystem(const tSystemInfo& info);

    // Local files.
    std::string LocalFile(const tSystemInfo& info) const;
    bool IsDownloaded(const tSystemInfo& info) const;

    // The entries of the view and the focused one.
    const std::vector<tSystemInfo>& Entries() const { return entries_; }
    int32_t FocusedId() const { return focusedId_; }
    void SetFocusedId(int32_t id) { focusedId_ = id; }
    const tSystemInfo* Focused() const;
    const tSystemInfo* Find(int32_t id) const;

    // The commands (the window runs the dialogs first).
    // The list anew, systems whose local file is out of date downloaded
    // again, the focus kept on the same id. quietWithoutServer: no message
    // when no server is set (start-up).
    void LoadSystemList(bool quietWithoutServer = false);
    // The entries with these ids, in the order given; stops at the first failure.
    bool DownloadSystems(const std::vector<int32_t>& ids);
    tSystemData NewSystemData() const;
    // The focused entry with its combination list; false after a failure.
    bool FocusedSystemData(tSystemData& data);
    // Adds the entry and focuses it; the new id, -1 on failure.
    int32_t AddSystem(const tSystemData& data);
    bool UpdateSystem(const tSystemData& data);
    // Refuses another author's entry, asks first; true when deleted.
    bool DeleteFocused();
    bool CanDelete() const;

    // The system game: the plan (numbers, lookup, comment, draw); false
    // when the list is empty or the lookup failed (already shown).
    bool PrepareGame(TSystemGameMode mode, TSystemGamePlan& plan);
    // Makes the stakes after the multi-stake dialog; checks once at the end.
    bool PlayGame(const TSystemGamePlan& plan, int draw, int drawCount, const std::string& comment);
    bool CanPlay() const;

private:
    std::string Url(const char* page) const;
    std::vector<std::string> CommonFields(const std::string& name, const std::string& mail);
    std::string PostRaw(const char* page, const std::vector<std::string>& fields);
    void DeleteOtherFiles(const tSystemInfo& info);

    Host& host_;
    Workspace& ws_;
    std::function<const TOnlineConfig&()> settings_;
    std::vector<tSystemInfo> entries_;
    int32_t focusedId_ = -1;
    bool enabled_ = true;
};

}  // namespace tessara
