#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/config.h"
#include "base/host.h"
#include "base/ini_file.h"
#include "base/platform.h"
#include "combs/comb_list.h"
#include "model/draw_archive.h"
#include "model/game.h"
#include "online/online_client.h"
#include "online/script_library.h"
#include "online/systems_catalogue.h"
#include "stakes/ratings.h"
#include "stakes/regulars.h"
#include "stakes/stakes_file.h"
#include "stakes/stake_logs.h"
#include "stakes/stakes_grid.h"
#include "stats/stat_list.h"
#include "stats/stat_source.h"

namespace tessara {

inline constexpr const char* StakesFileName = "Tessara_6x42.lsk";
// Files tied to the program take the desktop program's name, whichever
// program runs, so the GUI and the CLI share them.
inline constexpr const char* ProgramName = "tessara";

// The message when the stakes file cannot be locked; it names the data
// folder where the text used to give an example of a protected folder.
std::string MsgExclusiveAccess(const std::string& dataDir);

// The status of short waits over the combination list.
inline constexpr const char* MsgPleaseWait = "Подождите пожалуйста...";

// One entry of the operations log under the combination list.
enum class TLogIcon { Include, Exclude, Undo };
struct TFilterLogEntry {
    std::string Caption;
    std::string Value;
    int64_t Count;
    TLogIcon Icon;
};

// Rows of the combination list as inclusive ranges, ascending.
using TRowRanges = std::vector<std::pair<int64_t, int64_t>>;

// The long-lived state of the program over one data folder. The desktop
// program's main window owns one, the command line owns one, tests make their
// own on a temporary folder.
class Workspace {
public:
    Workspace(Host& host, std::string dataDir);
    ~Workspace();
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    Host& GetHost() { return host_; }
    const std::string& DataDir() const { return dataDir_; }
    std::string PathOf(const std::string& fileName) const;
    const ViewState& View() const { return viewState_; }

    // Game tables filled at start-up.
    void InitGameTables();
    uint32_t TotalCombs() const { return totalCombs_; }
    const TMatchTable& MatchTable() const { return matchTable_; }

    // The exclusive hold on the data folder (the stakes file). Shows the
    // exclusive-access message and returns false when another copy holds it.
    bool OpenStakesFile();
    void CloseStakesFile();
    bool StakesFileOpen() const { return stakes_.IsOpen(); }

    // The stakes file (workspace_stakes.cpp). The operations show their own
    // messages and return false (or -1) after a failure.
    // Start-up: opens the file, empties one of an outdated version (keeping
    // a copy of it beside) and refreshes the grid. False ends the start-up.
    bool LoadStakesFile();
    // Shutdown: closes the file.
    bool SaveStakesFile();
    bool ReopenStakesFile();
    bool HasStakes() const { return stakes_.HasStakes(); }
    int64_t StakesCount() const;
    TStakesFile& StakesFile() { return stakes_; }
    const TStakesFile& StakesFile() const { return stakes_; }
    // On failure the record is all zero.
    bool ReadStake(TStakeOrigin origin, int64_t index, TStakeRecord& record) const;
    bool WriteStake(TStakeOrigin origin, int64_t index, const TStakeRecord& record);
    bool FindStake(int draw, const TStakeNumbers& numbers) const;
    bool AppendStake(const TStakeRecord& record, int drawCount);
    void AppendSeparator();
    // The number of the last checked draws found (at most n), -1 after a
    // failure; start receives the record to read forward from.
    int SeekLastCheckedDraws(int n, int64_t& start) const;
    // Records first..last (0-based, inclusive) go; everything else stays.
    bool DeleteSelectedStakes(int64_t first, int64_t last);
    // Mode 0..4 as StakeConditionCaption, value 0..6; separators stay.
    bool DeleteStakesByCondition(int mode, int value);
    TMoney StakeCost(int count, int matches) const;

    // Checking: every unchecked stake whose draw is in the archive; the
    // ratings are updated, sorted in the window's order and saved.
    bool CheckStakes(int* checkedCount = nullptr);
    // Checks, and after a change reopens the stakes file and tells the views.
    bool CheckStakesAndUpdate(int* checkedCount = nullptr);
    // Finishes a check that a killed process left unfinished (its redo
    // record in the data folder); true when there was nothing left or it
    // was finished.
    bool ReplayCheckJournal();
    // Called after the redo record is written and after each record the
    // check writes in place; lets a test stop the process there.
    using CheckHook = std::function<void(int64_t written)>;
    void SetCheckHook(CheckHook hook) { checkHook_ = std::move(hook); }

    // The commands of the stakes tab, with their questions and busy states.
    TStakeRecord PrefillManualStake(const TCombination* comb) const;
    bool CreateStake(const TStakeRecord& record, int drawCount);
    bool CreateStakes(const TStakeRecord& record, int drawCount, bool bulk);
    // One prefilled stake per combination of the rows (or of the whole
    // list) with this draw, count of draws and comment; stops at the first
    // failure, checks once when the last one succeeded.
    bool AddStakesForCombs(const TRowRanges& rows, int draw, int drawCount,
                           const std::string& comment);
    bool AddStakesForAllCombs(int draw, int drawCount, const std::string& comment);
    bool DeleteStakes(int64_t first, int64_t last);
    bool DeleteStakesWhere(int mode, int value);
    bool ClearStakes();
    bool CheckStakesManual();

    // What the stakes grid shows: rows are records from 0 (a row past the
    // file reads as an empty record, without a message).
    void ResetStakesGrid();
    void RefreshStakesGrid(bool refresh, bool scrollToLast);
    const TStakesGridState& StakesGrid() const { return stakesGrid_; }
    TStakeRecord StakeAtRow(int64_t row) const;

    // Options of the stakes tab, stored at once.
    bool StakesLogEnabled() const { return stakesLogEnabled_; }
    void SetStakesLogEnabled(bool on);
    bool StakesScrollEnabled() const { return stakesScroll_; }
    void SetStakesScrollEnabled(bool on);
    bool StakesCheckOnLine() const { return stakesCheckOnLine_; }
    void SetStakesCheckOnLine(bool on);
    // The stake logs, one per number of matches.
    void WriteStakeLog(const TStakeRecord& record);
    bool DeleteStakeLogs();
    void SetStakeLogLimit(int64_t bytes) { stakeLogLimit_ = bytes; }

    // Ratings (workspace_ratings.cpp).
    const TRatings& Ratings() const { return ratings_; }
    void UpdateRating(const TStakeRecord& stake) { ratings_.Update(stake); }
    void LoadRatings();
    bool SaveRatings();
    // Sorts by a view column (nothing for a negative one) and saves.
    void SortRatings(int column, bool descending);
    int RatingsSortColumn() const { return ratingsSortColumn_; }
    bool RatingsSortDescending() const { return ratingsSortDesc_; }
    // Recomputes the rows from the current stakes (asking first when rows
    // exist).
    bool RatingsRefresh();
    void ClearRatings() { ratings_.Clear(); }
    bool ExportRatings(const std::string& path);
    // Appends the scenario lines that rows (indices of Ratings()) stand for;
    // the number of lines appended.
    int RatingsToScript(std::vector<int> rows);
    int RatingsEffMode() const { return ratingsEffMode_; }
    void SetRatingsEffMode(int mode);
    std::string RatingsStatusText() const;

    // The regular stakes and their file.
    TRegulars& Regulars() { return *regulars_; }
    const TRegulars& Regulars() const { return *regulars_; }

    // The draw archive.
    const TDrawArchive& Archive() const { return archive_; }
    TDrawArchive& Archive() { return archive_; }
    void LoadDrawsFile();
    bool SaveDrawsFile();
    // Appends a draw from the draw dialog, saves and refreshes the views.
    bool AddDraw(const TDrawRecord& draw);
    // Replaces the draw at an archive index, saves and refreshes the views.
    bool ReplaceDraw(int index, const TDrawRecord& draw);
    // Deletes draws by their numbers, visited in the given order (the list
    // passes its selected rows from the bottom up). Asks the deletion question
    // first; false when refused or failed.
    bool DeleteDraws(const std::vector<int>& drawNumbers);
    // CSV exchange through files; the path is shown in the status texts.
    bool ImportDraws(const std::string& path);
    bool ExportDraws(const std::string& path);
    void ClearDraws() { archive_.Clear(); }

    // The draws offset: every analysis can run as if the archive ended this
    // many draws earlier. Kept within 0..count-1.
    int DrawsOffset() const { return drawsOffset_; }
    void SetDrawsOffset(int offset);
    int NextDrawNo() const { return archive_.NextDrawNo(drawsOffset_); }

    // Status panel texts of the archive.
    std::string ArchiveStatusText() const;
    std::string NextDrawStatusText() const;
    std::string NextDrawResultText() const { return archive_.NextDrawResultText(drawsOffset_); }

    // Display options of the draws list, kept in the view-state file.
    bool SortedDraws() const { return sortedDraws_; }
    void SetSortedDraws(bool on);
    bool ColorDraws() const { return colorDraws_; }
    void SetColorDraws(bool on);

    // The configuration file. Loading reports its own errors and keeps what
    // was read before them; the savers report theirs and return false.
    const TConfigData& Config() const { return config_; }
    const TCombsGenerateParams& GenerateDefaults() const { return generateDefaults_; }
    const TShreddingConfig& Shredding() const { return shredding_; }
    const TProxy& Proxy() const { return online_->Proxy(); }
    void LoadConfig();
    void LoadProxySettings();
    bool SaveConfig();
    bool SaveShreddingConfig();
    bool SaveGenerateDefaults();
    bool SaveProxySettings(bool showStatus);
    // Takes over an edited configuration: saves it and refreshes the views;
    // returns which statistic families changed.
    TChangedFamilies ApplyConfig(const TConfigData& config);
    void ApplyShredding(const TShreddingConfig& shredding);
    void SetGenerateDefaults(const TCombsGenerateParams& params);
    void SetProxy(const TProxy& proxy);

    // The statistic registry with the favourites file.
    TStatList& Stats() { return stats_; }
    // The pieces the value table and the prefetch files read.
    TStatSource StatSource();
    // What statistics, filters and checks read: the archive, or its sound
    // draws when it holds damaged ones.
    const TDrawArchive& AnalysisArchive();
    const TStatList& Stats() const { return stats_; }
    std::string FavouritesFile() const { return PathOf(std::string(ProgramName) + ".flt"); }
    // First registration at start-up: register and read the favourites file.
    void RegisterStats();
    // After a change of the configuration or the favourites: the favourites
    // are saved, the methods registered anew and the favourites read back.
    void ReregisterStats();
    bool SaveFavourites() { return stats_.SaveNames(host_, FavouritesFile(), true, false); }

    // The combination list, its undo copy and the operations log.
    const TCombList& Combs() const { return combs_; }
    TCombList& Combs() { return combs_; }
    int64_t CombsCount() const { return combs_.Count(); }
    const TCombList& Undo() const { return undo_; }
    TCombList& Undo() { return undo_; }
    int64_t UndoCount() const { return undo_.Count(); }
    const std::vector<TFilterLogEntry>& FilterLog() const { return filterLog_; }
    std::string CombsStatusText() const;
    // The count shown is the list's own unless given (a step worked out
    // from counts before the list is rewritten).
    void AddFilterLogEntry(bool removes, const std::string& caption, const std::string& value,
                           int64_t count = -1);
    void AddUndoLogEntry(int64_t count = -1);
    void RemoveLastLogEntry();
    void ClearFilterLog();
    void ReserveCombs(int64_t capacity, int64_t count) { combs_.Reserve(capacity, count); }
    void ClearCombs() { combs_.Clear(); }
    // Builds a new list; interactive shows progress, clears the log and
    // empties the undo copy. False after an error (the partial list stays).
    bool GenerateCombs(bool interactive, const TCombsGenerateParams& params);
    // Throws Error when memory for the copy cannot be found.
    void MakeUndoCopy(bool showStatus);
    void RestoreUndoCopy(bool showStatus);
    // The undo copy for a filtering that rewrites the whole list from it:
    // the buffers trade places instead of copying, and the list's contents
    // are undefined until the filtering writes them.
    void MoveListToUndo() { swap(combs_, undo_); }
    void DropUndo() { undo_.SetCount(0); }
    void ReserveUndo(int64_t capacity, int64_t count) { undo_.Reserve(capacity, count); }
    void ClearUndo() { undo_.Clear(); }
    // The buffer file caches one list for (offset, excluded draws).
    bool SaveCombsBuffer(int offset, int draws);
    bool LoadCombsBuffer(int offset, int draws);
    void DeleteCombsBuffer();
    void ResetCombsBufferKey() { bufferOffset_ = bufferDraws_ = -1; }
    std::string CombsBufferFile() const { return PathOf(std::string(ProgramName) + ".~buff"); }
    // List files.
    bool LoadCombsList(const std::string& file);
    bool SaveCombsList(const std::string& file);
    // The commands over the list, with their busy states and log entries.
    bool OpenCombsList(const std::string& file);
    bool SaveCombsListAs(const std::string& file);
    bool UndoLastOperation();
    std::string CombsClipboardText(const TRowRanges& rows) const;
    bool PasteCombs(std::string_view text);
    void RemoveLastDraws(int n);
    // The number masks of the latest n draws at the offset, sorted.
    std::vector<uint64_t> LastDrawMasks(int n) const;
    static std::string RemovingDrawsStatus(int n);
    static constexpr const char* LastDrawsCaption = "Последние тиражи";
    bool ExcludeLastDraws(int n);
    void RemoveSelectedCombs(const TRowRanges& rows);
    bool DeleteSelectedCombs(const TRowRanges& rows);
    bool CombsContains(const TCombination& comb) const;
    // Draws with exactly these six numbers, newest first, at most 26 lines.
    std::vector<std::string> FindCombInDraws(const TCombination& comb) const;
    void ShowCombInDraws(const TCombination& comb);
    int ShowDistinctNumbers();

    // Geometry the views divide by; a hand-edited file cannot make them zero.
    int ChannelSize() const { return std::clamp(config_.ChannelSize, 1, MaxNumber); }
    int MatrixCols() const { return std::clamp(config_.MatrixCols, 1, MaxNumber); }

    // The current scenario: its lines live in memory and in the current
    // scenario file, saved after every change.
    const std::vector<std::string>& Scenario() const { return scenario_; }
    std::string CurrentScenarioFile() const;
    bool LoadScenarioFile(const std::string& path, bool append);
    bool SaveScenarioFile(const std::string& path);
    void LoadCurrentScenario();
    bool SaveCurrentScenario() { return SaveScenarioFile(CurrentScenarioFile()); }
    int AppendScenarioLine(const std::string& text);
    // Throw Error for an index outside the scenario.
    void ReplaceScenarioLine(int index, const std::string& text);
    const std::string& GetScenarioLine(int index) const;
    // Deletes lines (asking first); indices in any order.
    bool DeleteScenarioLines(std::vector<int> indices);
    bool ClearScenario();
    // Puts these lines in place of the whole scenario and saves it.
    bool ReplaceScenario(const std::vector<std::string>& lines);
    // Exchanges a line with its upper (or lower) neighbour; the new index.
    int MoveScenarioLine(int index, bool up);

    // The online services: their addresses, the proxy record and the main
    // client of the draw download.
    // The online scenario catalogue.
    ScriptLibrary& Library() { return *library_; }
    const ScriptLibrary& Library() const { return *library_; }
    OnlineClient& Online() { return *online_; }
    const OnlineClient& Online() const { return *online_; }
    // The systems catalogue, the local systems and the system game.
    SystemsCatalogue& Systems() { return *systems_; }
    const SystemsCatalogue& Systems() const { return *systems_; }
    // The draw download command: downloads new draws from the operator's
    // site, then checks the stakes whether it succeeded or not. The number
    // of draws added; -1 when no site is set.
    int DrawsDownload();

    // Whether the value table compares with the full set of combinations.
    bool PrefetchsEnabled() const;
    void SetPrefetchsEnabled(bool on);

    // Reads the option keys of the view-state file; throws Error.
    void LoadViewOptions();
    void LoadStakesOptions(const IniFile& ini);

private:
    Host& host_;
    std::string dataDir_;
    ViewState viewState_;
    TDrawArchive archive_;
    TDrawArchive sound_;  // the sound draws, while archive_ holds damaged ones
    bool CheckNewDraw(const TDrawRecord& draw);
    int drawsOffset_ = 0;
    bool sortedDraws_ = false;
    bool colorDraws_ = true;
    TConfigData config_;
    TCombsGenerateParams generateDefaults_;
    TShreddingConfig shredding_;
    std::unique_ptr<OnlineClient> online_;
    std::unique_ptr<ScriptLibrary> library_;
    std::unique_ptr<SystemsCatalogue> systems_;
    TStatList stats_;
    TCombList combs_;
    TCombList undo_;
    std::vector<TFilterLogEntry> filterLog_;
    std::vector<std::string> scenario_;
    int bufferOffset_ = -1;
    int bufferDraws_ = -1;
    uint32_t totalCombs_ = 0;
    TMatchTable matchTable_;
    TStakesFile stakes_;
    TStakesGridState stakesGrid_;
    TRatings ratings_;
    // The bytes this workspace last wrote to the ratings file, so that a
    // save of the same rows (a check followed by the sort) writes nothing.
    std::optional<std::string> savedRatings_;
    CheckHook checkHook_;
    bool stakesLogEnabled_ = false;
    bool stakesScroll_ = true;
    bool stakesCheckOnLine_ = true;
    int64_t stakeLogLimit_ = StakeLogMaxSize;
    int ratingsEffMode_ = 1;
    int ratingsSortColumn_ = RatingDefaultSortColumn;
    bool ratingsSortDesc_ = true;
    std::unique_ptr<TRegulars> regulars_;
};

}  // namespace tessara
