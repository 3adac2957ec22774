#include "stakes/check_journal.h"

#include <cstring>

#include "model/error.h"
#include "stakes/stakes_file.h"

namespace tessara {

namespace {

constexpr char kMagic[8] = {'T', 'S', 'C', 'H', 'K', 'J', '0', '1'};
constexpr const char* kDamaged = "Файл незавершенной проверки ставок поврежден!";

// FNV-1a over everything before the trailer: a record cut or changed on the
// disk is never replayed.
uint32_t Checksum(std::string_view bytes) {
    uint32_t h = 2166136261u;
    for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
    return h;
}

template <typename T>
void Put(std::string& out, const T& v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

template <typename T>
T Take(std::string_view bytes, size_t& pos) {
    if (bytes.size() - pos < sizeof(T)) throw Error(kDamaged);
    T v;
    std::memcpy(&v, bytes.data() + pos, sizeof v);
    pos += sizeof v;
    return v;
}

}  // namespace

std::string FormatCheckJournal(const TCheckJournal& journal) {
    std::string out(kMagic, sizeof kMagic);
    Put(out, static_cast<uint64_t>(journal.Entries.size()));
    for (const TCheckJournalEntry& e : journal.Entries) {
        Put(out, e.Index);
        Put(out, e.Before);
        Put(out, e.After);
    }
    Put(out, static_cast<uint64_t>(journal.Ratings.size()));
    out += journal.Ratings;
    Put(out, Checksum(out));
    return out;
}

TCheckJournal ParseCheckJournal(std::string_view bytes) {
    if (bytes.size() < sizeof kMagic + 2 * sizeof(uint64_t) + sizeof(uint32_t) ||
        std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        throw Error(kDamaged);
    const std::string_view body = bytes.substr(0, bytes.size() - sizeof(uint32_t));
    size_t trailer = body.size();
    if (Take<uint32_t>(bytes, trailer) != Checksum(body)) throw Error(kDamaged);
    size_t pos = sizeof kMagic;
    const uint64_t count = Take<uint64_t>(body, pos);
    constexpr size_t kEntry = sizeof(int64_t) + 2 * sizeof(TStakeRecord);
    if (count > (body.size() - pos) / kEntry) throw Error(kDamaged);
    TCheckJournal j;
    j.Entries.resize(static_cast<size_t>(count));
    for (TCheckJournalEntry& e : j.Entries) {
        e.Index = Take<int64_t>(body, pos);
        e.Before = Take<TStakeRecord>(body, pos);
        e.After = Take<TStakeRecord>(body, pos);
        if (e.Index < 0) throw Error(kDamaged);
    }
    const uint64_t ratings = Take<uint64_t>(body, pos);
    if (ratings != body.size() - pos) throw Error(kDamaged);
    j.Ratings.assign(body.substr(pos));
    return j;
}

bool ApplyCheckJournal(TStakesFile& file, const TCheckJournal& journal) {
    const int64_t count = file.Count();
    for (const TCheckJournalEntry& e : journal.Entries) {
        if (e.Index >= count) return false;
        const TStakeRecord now = file.Read(TStakeOrigin::Begin, e.Index);
        if (std::memcmp(&now, &e.Before, sizeof now) != 0 && std::memcmp(&now, &e.After, sizeof now) != 0)
            return false;
    }
    for (const TCheckJournalEntry& e : journal.Entries) file.Write(TStakeOrigin::Begin, e.Index, e.After);
    file.Sync();
    return true;
}

}  // namespace tessara
