#include "online/system_files.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fmt/format.h>

#include "base/host.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "model/game.h"

namespace tessara {

namespace {

constexpr const char* kSeparators = " *+,-./:;=\\_|~";
constexpr const char* kMsgNoSystem = "Система для {} чисел не найдена или не загружена на компьютер!";
constexpr const char* kMsgNoSystemHint =
    "\r\rПеред системной игрой необходимо предварительно загрузить системы на Ваш компьютер через "
    "меню \"Системы\" - \"Загрузить\".";
constexpr const char* kMsgLoadError = "Ошибка загрузки комбинаций системы!\r\r";

std::string SystemsDir(const std::string& dataDir) { return JoinPath(dataDir, SystemsFolder); }

// "6-10-" then anything, "_", anything, ".dat".
bool MatchesPattern(const std::string& name, const std::string& prefix) {
    if (name.size() < prefix.size() + 5 || name.compare(0, prefix.size(), prefix) != 0) return false;
    if (name.compare(name.size() - 4, 4, ".dat") != 0) return false;
    return name.find('_', prefix.size()) < name.size() - 4;
}

}  // namespace

std::string SystemFileName(const std::string& dataDir, int nums, int olap, int id) {
    return JoinPath(SystemsDir(dataDir), fmt::format("{}-{:02d}-{}_{:04d}.dat", BallsInDraw, nums, olap, id));
}

std::string SystemFilePattern(const std::string& dataDir, int n) {
    return JoinPath(SystemsDir(dataDir), fmt::format("{}-{:02d}-*_*.dat", BallsInDraw, n));
}

std::array<int, 6> ParseSystemLine(const std::string& line) {
    std::array<int, 6> positions{};
    size_t count = 0, pos = 0;
    while (count < positions.size()) {
        pos = line.find_first_not_of(kSeparators, pos);
        if (pos == std::string::npos) break;
        const size_t end = std::min(line.find_first_of(kSeparators, pos), line.size());
        std::string word = line.substr(pos, end - pos);
        word.erase(0, word.find_first_not_of("\t\r\n"));
        word.erase(word.find_last_not_of("\t\r\n") + 1);
        int32_t v = 0;
        if (!TryStrToInt(word, v))
            throw Error(fmt::format("\"{}\" не является целым числом", word));
        positions[count++] = v;
        pos = end;
    }
    if (count < positions.size())
        throw Error(fmt::format("В строке \"{}\" меньше шести позиций", line));
    return positions;
}

bool LoadSystemFor(Host& host, const std::string& dataDir, const std::vector<uint8_t>& numbers,
                   std::vector<TCombination>& combinations, std::string& fileOrMessage) {
    combinations.clear();
    const int n = static_cast<int>(numbers.size());
    const std::string prefix = fmt::format("{}-{:02d}-", BallsInDraw, n);
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(SystemsDir(dataDir), ec)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(ec) && MatchesPattern(name, prefix)) found.push_back(name);
    }
    if (found.empty()) {
        fileOrMessage = fmt::format(kMsgNoSystem, n);
        host.ShowError(fileOrMessage + kMsgNoSystemHint);
        return false;
    }
    // The first in name order, so the choice does not depend on the folder's order.
    std::sort(found.begin(), found.end());
    fileOrMessage = JoinPath(SystemsDir(dataDir), found.front());
    try {
        for (const std::string& raw : SplitLines(Cp1251ToUtf8(ReadFileBytes(fileOrMessage)))) {
            // A blank line (the end of a hand-edited file) holds no combination.
            if (raw.find_first_not_of(" \t") == std::string::npos) continue;
            const std::array<int, 6> p = ParseSystemLine(raw);
            TCombination c{};
            for (size_t i = 0; i < p.size(); ++i) {
                if (p[i] < 1 || p[i] > n)
                    throw Error(fmt::format("Позиция {} вне списка из {} чисел", p[i], n));
                // A stake of one number twice is no combination.
                for (size_t j = 0; j < i; ++j)
                    if (p[j] == p[i])
                        throw Error(fmt::format("Позиция {} повторяется в строке \"{}\"", p[i], raw));
                c.n[i] = numbers[static_cast<size_t>(p[i] - 1)];
            }
            combinations.push_back(c);
        }
        if (combinations.empty()) throw Error("Файл системы не содержит комбинаций");
    } catch (const std::exception& e) {
        combinations.clear();
        host.ShowError(kMsgLoadError + std::string(e.what()));
        return false;
    }
    return true;
}

}  // namespace tessara
