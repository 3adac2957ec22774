#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "stakes/stake_record.h"

namespace tessara {

inline constexpr const char* MsgStakesFileNotOpen = "Файл ставок не открыт!";

enum class TStakeOrigin { Begin, End };

// The five conditions of the deletion by matches; removed when the
// condition holds for the record's matches count (-1 while unchecked).
// A mode outside 0..4 removes every record but the separators.
inline constexpr int StakeConditionCount = 5;
const char* StakeConditionCaption(int mode);  // "" outside 0..4
bool StakeConditionRemoves(int mode, int value, int matches);

// The stakes file: fixed 320-byte records without a header, held open with an
// exclusive lock from start-up to shutdown, so that one copy of the program
// works on a data folder. Nothing is kept in memory but the last record read.
// Failures throw Error with the text the user sees after the operation's own
// message.
class TStakesFile {
public:
    using Visitor = std::function<bool(int64_t index, const TStakeRecord& record)>;

    TStakesFile() = default;
    ~TStakesFile();
    TStakesFile(const TStakesFile&) = delete;
    TStakesFile& operator=(const TStakesFile&) = delete;

    // Opens the file for reading and writing, creating it when absent, and
    // takes the lock without waiting.
    void Open(const std::string& path);
    // Opens an existing file for reading only and takes no lock, for a
    // reader beside the copy that holds the folder; writes then fail.
    void OpenReadOnly(const std::string& path);
    // Flushes and closes; the file is closed even when this throws.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // Makes the writes so far durable.
    void Sync();
    const std::string& Path() const { return path_; }
    // The file of the deletion rewrites: the stakes file's name with ".~tmp".
    std::string TempPath() const;

    int64_t Size() const;
    int64_t Count() const { return Size() / StakeRecordSize; }
    // Open and not empty; never throws.
    bool HasStakes() const;
    // Not empty, and either not whole records or a first record of another
    // version.
    bool IsOutdated() const;
    std::string ReadAllBytes() const;
    void Truncate();
    void DropCache() const { cached_ = false; }

    // Index counts records from the origin: from the end, -1 is the last.
    // The record must lie wholly inside the file.
    TStakeRecord Read(TStakeOrigin origin, int64_t index) const;
    // Writes at an offset between 0 and the size; at the size it appends.
    void Write(TStakeOrigin origin, int64_t index, const TStakeRecord& record);
    void Append(const TStakeRecord& record) { Write(TStakeOrigin::End, 0, record); }

    // Visits the records from index first on, in order, until fn says stop.
    void ForEach(int64_t first, const Visitor& fn) const;
    // A record with this draw and the same set of numbers.
    bool Find(int draw, const TStakeNumbers& numbers) const;
    // Appends a stake (unchecked only) once, or for drawCount >= 2 one copy
    // per draw from its own draw on, each after a separator unless the file
    // is empty or already ends with one.
    void AppendStake(const TStakeRecord& record, int drawCount);
    // A separator after a last record that is not one.
    void AppendSeparator();
    // Walks back over the checked records and returns how many distinct
    // draws (at most n) the last checked draws make; start receives the
    // index from which reading forward yields their records.
    int SeekLastCheckedDraws(int n, int64_t& start) const;

    // Deletions go through the temporary file, which is then renamed over
    // the stakes file: the old file stays whole until the new one is
    // complete.
    void DeleteRange(int64_t first, int64_t last);
    void DeleteByCondition(int mode, int value);
    void Rewrite(const Visitor& keep);
    // Called with the number of records written so far after each batch that
    // went into the temporary file, and once more, complete, before it
    // replaces the stakes file; lets a test stop the process there.
    using RewriteHook = std::function<void(int64_t written, bool complete)>;
    void SetRewriteHook(RewriteHook hook) { rewriteHook_ = std::move(hook); }

private:
    int FdOrThrow() const;
    int64_t OffsetOf(TStakeOrigin origin, int64_t index) const;

    int fd_ = -1;
    std::string path_;
    RewriteHook rewriteHook_;
    mutable bool cached_ = false;
    mutable int64_t cachedOffset_ = 0;
    mutable TStakeRecord cache_{};
};

}  // namespace tessara
