// tessara-cli demo generate: a synthetic archive of random draws for trying
// the program out. These are not real results.
#include <climits>
#include <ostream>
#include <random>
#include <sys/stat.h>

#include "base/platform.h"
#include "cli.h"
#include "model/dates.h"
#include "model/error.h"
#include "model/files.h"
#include "model/game.h"

namespace tessara::cli {

namespace {

// A uniform pick in 0..n-1 that gives the same sequence with every library.
uint32_t Pick(std::mt19937& gen, uint32_t n) {
    const uint32_t limit = std::mt19937::max() - std::mt19937::max() % n;
    uint32_t v;
    do {
        v = gen();
    } while (v >= limit);
    return v % n;
}

int Generate(CommandContext& c) {
    int count = 2000, seed = 20260101;
    // Two draws a week for a thousand years is more than any archive holds.
    constexpr int kMaxCount = 100000;
    if (!c.ReadInt("--count", c.TakeOption("--count", "2000"), 1, kMaxCount, count) ||
        !c.ReadInt("--seed", c.TakeOption("--seed", "20260101"), INT32_MIN, INT32_MAX, seed))
        return 2;
    const bool force = c.TakeFlag("--force");
    if (!c.ExpectArgs(1, 1, {"КАТАЛОГ|ФАЙЛ"})) return 2;
    std::string path = c.Args[0];
    struct stat st;
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) path = JoinPath(path, DrawsFileName);
    // The archive of a data folder is written only while no other copy of
    // the program works on that folder.
    InstanceLock lock;
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    if (BaseName(path) == DrawsFileName) {
        struct stat dir;
        if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode)) {
            c.Err << MessageCaption(MessageKind::Error) << ": каталог не найден: " << folder << "\n";
            return 1;
        }
        try {
            lock.Acquire(JoinPath(folder, StakesFileName));
        } catch (const Error&) {
            c.Err << MessageCaption(MessageKind::Error) << ": " << ConsoleText(MsgExclusiveAccess(
                                 folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder)) << "\n";
            return 1;
        }
    }
    if (FileExists(path) && !force) {
        c.Err << "Ошибка: файл уже существует: " << path << " (--force перезапишет его)\n";
        return 1;
    }
    std::mt19937 gen(static_cast<uint32_t>(seed));
    TDrawsArray draws;
    draws.reserve(static_cast<size_t>(count));
    // Draws on Wednesdays and Saturdays, starting on Saturday 1 January 2005.
    TDateTime day = EncodeDate(2005, 1, 1);
    for (int i = 0; i < count; ++i) {
        TDrawRecord d{};
        d.DrawNo = i + 1;
        for (int k = 0; k < BallsInDraw; ++k) {
            uint8_t n;
            do {
                n = static_cast<uint8_t>(Pick(gen, MaxNumber) + 1);
            } while (DrawHasNumber(n, d));
            d.Numbers[k] = n;
        }
        d.ExtraBall = static_cast<uint8_t>(Pick(gen, MaxExtraBall + 1));
        SetDrawDateText(d, DrawDateToText(day));
        draws.push_back(d);
        day += DayOfTheWeek(day) == 3 ? 3 : 4;
    }
    try {
        WriteDrawsFile(path, draws);
    } catch (const Error& e) {
        c.Err << MessageCaption(MessageKind::Error) << ": " << e.what() << "\n";
        return 1;
    }
    c.Out << "Создан архив из " << count << " случайных тиражей: " << path << "\n";
    return 0;
}

}  // namespace

const std::vector<Command>& DemoCommands() {
    static const std::vector<Command> commands = {
        {"demo", "generate", "КАТАЛОГ|ФАЙЛ [--count N] [--seed S] [--force]", Generate},
    };
    return commands;
}

}  // namespace tessara::cli
