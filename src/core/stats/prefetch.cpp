#include "stats/prefetch.h"

#include <cstring>
#include <filesystem>
#include <fmt/format.h>
#include <unordered_map>

#include "app/workspace.h"
#include "stats/stat_source.h"
#include "model/error.h"
#include "model/files.h"
#include "model/format.h"

namespace tessara {

namespace {

constexpr size_t kRecordSize = 12;

uint64_t KeyBits(const StatKey& k) {
    return static_cast<uint64_t>(k.w[0]) << 48 | static_cast<uint64_t>(k.w[1]) << 32 |
           static_cast<uint64_t>(k.w[2]) << 16 | k.w[3];
}

StatKey KeyFromBits(uint64_t b) {
    return MakeKey(static_cast<uint16_t>(b >> 48), static_cast<uint16_t>(b >> 32),
                   static_cast<uint16_t>(b >> 16), static_cast<uint16_t>(b));
}

void PutU16(std::string& s, uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}
void PutI32(std::string& s, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) s += static_cast<char>((u >> (8 * i)) & 0xFF);
}
uint16_t GetU16(const char* p) {
    return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
}
int32_t GetI32(const char* p) {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(static_cast<uint8_t>(p[i])) << (8 * i);
    return static_cast<int32_t>(u);
}

std::string BaseFileName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string PrefetchBytes(const TPrefetchData& data) {
    std::string s;
    s.reserve((data.Records.size() + 1) * kRecordSize);
    for (const TPrefetchRecord& r : data.Records) {
        for (uint16_t w : r.Key.w) PutU16(s, w);
        PutI32(s, r.Count);
    }
    PutI32(s, data.MinCount);
    PutI32(s, data.MaxCount);
    PutI32(s, 0);
    return s;
}

bool ParsePrefetchBytes(const std::string& bytes, TPrefetchData& data) {
    if (bytes.size() < kRecordSize || bytes.size() % kRecordSize != 0) return false;
    data = {};
    const size_t trailer = bytes.size() - kRecordSize;
    for (size_t pos = 0; pos < trailer; pos += kRecordSize) {
        const char* p = bytes.data() + pos;
        data.Records.push_back({MakeKey(GetU16(p), GetU16(p + 2), GetU16(p + 4), GetU16(p + 6)), GetI32(p + 8)});
    }
    data.MinCount = GetI32(bytes.data() + trailer);
    data.MaxCount = GetI32(bytes.data() + trailer + 4);
    // The counts are what the full set of combinations gives: never negative,
    // never past a few dozen values per combination, and the trailer holds
    // their least and greatest. Anything else is a damaged file.
    constexpr int64_t kMaxCount = int64_t{5245786} * 64;
    int32_t least = data.Records.empty() ? 0 : INT32_MAX, most = 0;
    for (const TPrefetchRecord& r : data.Records) {
        if (r.Count < 0 || r.Count > kMaxCount) return false;
        least = std::min(least, r.Count);
        most = std::max(most, r.Count);
    }
    return data.MinCount == least && data.MaxCount == most;
}

std::string PrefetchFileName(const TStatSource& ws, int method) {
    return ws.PathOf(fmt::format("Prefetchs/{}_{}.dfc", ProgramName, ws.Stats().Items(method).Code()));
}

bool BuildPrefetch(Workspace& ws, int method) {
    Host& host = ws.GetHost();
    const std::string path = PrefetchFileName(ws.StatSource(), method);
    BusyGuard busy(host, fmt::format("Создание файла предварительной выборки {}...", BaseFileName(path)));
    bool listSaved = false;
    try {
        auto stat = ws.Stats().CreateStat(method);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ws.MakeUndoCopy(false);
        listSaved = true;
        ws.GenerateCombs(false, TCombsGenerateParams{});

        // Values whose key is a single word are counted in a table; the rest
        // in a map.
        std::vector<int64_t> dense(65536, 0);
        std::vector<bool> seen(65536, false);
        std::unordered_map<uint64_t, int64_t> sparse;
        TStatDrawArray values;
        const TCombList& list = ws.Combs();
        for (int64_t i = 0; i < list.Count(); ++i) {
            values.clear();
            stat->AddCombValues(list[i], values);
            for (const TStatDraw& v : values) {
                if (v.Key.w[1] == 0 && v.Key.w[2] == 0 && v.Key.w[3] == 0) {
                    dense[v.Key.w[0]] += v.Count;
                    seen[v.Key.w[0]] = true;
                } else {
                    sparse[KeyBits(v.Key)] += v.Count;
                }
            }
        }
        std::vector<std::pair<uint64_t, int64_t>> all(sparse.begin(), sparse.end());
        for (uint32_t w = 0; w < 65536; ++w)
            if (seen[w]) all.emplace_back(static_cast<uint64_t>(w) << 48, dense[w]);
        std::sort(all.begin(), all.end());
        TPrefetchData data;
        data.MinCount = all.empty() ? 0 : INT32_MAX;
        for (const auto& [bits, count] : all) {
            const auto c = static_cast<int32_t>(count);
            data.Records.push_back({KeyFromBits(bits), c});
            data.MinCount = std::min(data.MinCount, c);
            data.MaxCount = std::max(data.MaxCount, c);
        }
        ws.RestoreUndoCopy(false);
        listSaved = false;
        WriteFileAtomic(path, PrefetchBytes(data));
        return true;
    } catch (const std::exception& e) {
        if (listSaved) {
            try {
                ws.RestoreUndoCopy(false);
            } catch (const std::exception&) {
            }
        }
        std::error_code ec;
        std::filesystem::remove(path, ec);
        host.ShowError(fmt::format(
            "Ошибка создания файла данных для полного набора вариантов!\r\rИмя файла: {}\r\r{}", path,
            e.what()));
        return false;
    }
}

bool OpenPrefetch(const TStatSource& ws, int method, TPrefetchData& data) {
    const std::string path = PrefetchFileName(ws, method);
    try {
        // A missing, empty or damaged file is built anew.
        if (!FileExists(path) || !ParsePrefetchBytes(ReadFileBytes(path), data)) {
            if (!ws.BuildPrefetch(method)) return false;
            if (!ParsePrefetchBytes(ReadFileBytes(path), data)) throw Error("Неверный размер файла");
        }
        return true;
    } catch (const Error& e) {
        ws.GetHost().ShowError(fmt::format(
            "Ошибка открытия файла данных для полного набора вариантов!\r\rИмя файла: {}\r\r{}", path,
            e.what()));
        return false;
    }
}

void BuildPrefetchFiles(Workspace& ws, bool force, const std::set<int>& groups, bool prefetchEnabled) {
    if (!force && !prefetchEnabled) return;
    Host& host = ws.GetHost();
    BusyGuard busy(host);
    const TStatList& list = ws.Stats();
    const std::string text = "Создание файлов для полного набора комбинаций...";
    for (int i = 0; i < list.Count(); ++i) {
        host.ShowStatus(text + FormatTemplate(" ( завершено %.0f %% )", {(i + 1) * 100.0 / list.Count()}));
        if (!list.HasNorm(i)) continue;
        const std::string path = PrefetchFileName(ws.StatSource(), i);
        const bool present = FileExists(path) && std::filesystem::file_size(path) > 0;
        if (present && !groups.contains(list.Items(i).Class->Group)) continue;
        BuildPrefetch(ws, i);
    }
    host.ShowStatus(std::string());
}

}  // namespace tessara
