#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "stakes/stake_record.h"

namespace tessara {

class TStakesFile;

// The redo record of a stake check. A check changes two files: stakes are
// marked checked in place in the stakes file and the ratings file is saved
// with them counted. The record is written and flushed before either changes
// and removed once both are done, so a process killed anywhere in between
// leaves it behind, and the next start finishes the check from it: every
// checked stake is then counted exactly once. Neither file's format changes.
inline constexpr const char* CheckJournalFileName = "Tessara_6x42.~chk";

struct TCheckJournalEntry {
    int64_t Index = 0;
    TStakeRecord Before{};  // the record as the check found it
    TStakeRecord After{};   // the record as the check leaves it
};

struct TCheckJournal {
    std::vector<TCheckJournalEntry> Entries;
    std::string Ratings;  // the whole ratings file after the check
};

std::string FormatCheckJournal(const TCheckJournal& journal);
// Throws Error when the bytes are not a whole record.
TCheckJournal ParseCheckJournal(std::string_view bytes);

// Writes the checked records into the stakes file and flushes it. A record
// that is neither as the check found it nor as it leaves it means the file
// is not the one the record was made for: nothing is written then and false
// is returned. Throws Error when the file fails.
bool ApplyCheckJournal(TStakesFile& file, const TCheckJournal& journal);

}  // namespace tessara
