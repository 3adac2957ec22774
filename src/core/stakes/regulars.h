#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/host.h"
#include "base/ini_file.h"
#include "stakes/regular_stake.h"

namespace tessara {

class TCombList;
class Workspace;

inline constexpr const char* MsgRegularsReadError = "Ошибка чтения файла регулярных ставок!\r\r";
inline constexpr const char* MsgRegularsWriteError = "Ошибка записи в файл регулярных ставок!\r\r";

// The list of regular stakes and its file. The list is loaded, shown and
// saved only while its tab is visible; hiding the tab empties it. The
// operations show their own messages and return false after a failure.
class TRegulars {
public:
    TRegulars(Host& host, const ViewState& view, std::string path);

    const TRegularsArray& Rules() const { return rules_; }
    int Count() const { return static_cast<int>(rules_.size()); }
    const TRegularStake& operator[](int i) const { return rules_[static_cast<size_t>(i)]; }
    std::vector<std::string> Comments() const;
    const std::string& Path() const { return path_; }

    // Whether the tab is visible; the setter alone neither loads nor stores.
    bool TabVisible() const { return visible_; }
    void SetTabVisible(bool on) { visible_ = on; }
    // The tab's command: stores the option; showing loads the file, hiding
    // empties the list without saving.
    void ShowTab(bool on);

    // Reads the file (when the tab is visible and the file exists). After a
    // failure the list is empty and the file is not written over until a
    // load succeeds, so a damaged file is never replaced by a short list.
    bool Load();
    bool Save();
    // Throws Error for an index outside the list.
    void DeleteRegular(int index);
    // Deletes rows (any order) after the confirmation, then saves.
    bool Delete(std::vector<int> rows);
    // The rules of the add dialog's OK: one rule from proto when it takes the
    // previous draw or exactly one combination is selected; otherwise one per
    // selected combination of the list, in list order, with " (%d)" (the
    // 1-based position) after the comment. Then saves.
    bool Add(const TRegularStake& proto, const TCombList& combs,
             const std::vector<std::pair<int64_t, int64_t>>& selected);
    void Replace(int index, const TRegularStake& rule);

    // A stake by one rule on the next draw at the current offset. dialog gets
    // the prefilled stake and the number of draws and may change them; when
    // it says no, the rule stays as it was. On yes the advanced rule replaces
    // it, the list is saved and the stake created.
    using TStakeDialog = std::function<bool(TStakeRecord& stake, int& drawCount)>;
    bool StakeByRule(Workspace& ws, int index, const TStakeDialog& dialog);
    // The test over the last count draws: for offsets count .. 1 each rule of
    // rows (in list order) makes its stake on the draw after that offset;
    // stops at the first failed creation. The offset comes back in every
    // case, the rules keep their advanced state, and the new stakes are
    // checked once at the end.
    bool Test(Workspace& ws, int count, std::vector<int> rows);

    // Called after every change of the list.
    void OnChanged(std::function<void()> fn) { changed_ = std::move(fn); }

private:
    void Changed();

    Host& host_;
    const ViewState& view_;
    std::string path_;
    TRegularsArray rules_;
    bool visible_ = true;
    bool loadFailed_ = false;
    std::function<void()> changed_;
};

}  // namespace tessara
