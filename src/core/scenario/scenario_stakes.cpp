// The stakes a scenario run makes from what its filters left.
#include <filesystem>
#include <fmt/format.h>
#include <random>
#include <unordered_set>

#include "app/workspace.h"
#include "base/host.h"
#include "model/game.h"
#include "online/system_files.h"
#include "scenario/run_timing.h"
#include "scenario/scenario_run.h"
#include "stakes/stake_cost.h"
#include "stakes/stake_record.h"

namespace tessara {

namespace {

constexpr const char* kMsgStopped =
    "Выполнение сценария прервано, т.к. после применения всех фильтров в списке комбинаций их "
    "осталось более одной: {}!\r\rФильтры: {}";

std::string NumbersText(const std::vector<uint8_t>& numbers) {
    std::string s;
    for (uint8_t n : numbers) s += (s.empty() ? "" : ";") + std::to_string(n);
    return s;
}

uint64_t Packed(const TCombination& c) {
    uint64_t k = 0;
    for (uint8_t x : c.n) k |= uint64_t{1} << (x & 63);
    return k;
}

}  // namespace

void TScenarioRunner::MakeScenarioStakes(int mode, TLineContext& ctx) {
    Stopwatch sw(timings_.Stakes);
    log_.Write(fmt::format("{{*}} Добавление ставки, режим: \"{}\"", ResultModeCaption(mode)));
    const int64_t count = ws_.CombsCount();
    if (count == 0 || mode == rmNone) return;
    if (count > 1 && mode == rmStop) {
        state_.StopRequested = true;
        log_.Write("{!} Сценарий остановлен!");
        ws_.GetHost().ShowMessage(
            MessageKind::Warning,
            fmt::format(kMsgStopped, count, FormatStakeNote(ctx.LineNo, ctx.SetNo, ctx.Comment, ctx.Description)));
        return;
    }
    if (count > 1 && mode == rmSkip) {
        log_.Write("{-} Ставка игнорирована!");
        return;
    }
    if (state_.StopRequested) return;
    const TCombList& list = ws_.Combs();
    auto numbersOf = [](const TCombination& c) { return std::vector<uint8_t>(c.n, c.n + BallsInDraw); };
    if (count == 1) {
        AddScenarioStake(numbersOf(list[0]), false, ctx);
    } else {
        switch (mode) {
            case rmExt: {
                std::vector<uint8_t> numbers = DistinctNumbers(MaxNumber);
                const size_t maxStake = static_cast<size_t>(MaxStakeLength(ws_.Config()));
                if (numbers.size() > maxStake) {
                    random_.seed(std::random_device{}());
                    while (numbers.size() > maxStake)
                        numbers.erase(numbers.begin() +
                                      static_cast<std::ptrdiff_t>(random_() % numbers.size()));
                }
                AddScenarioStake(numbers, false, ctx);
                break;
            }
            case rmRand:
                AddScenarioStake(numbersOf(list[static_cast<int64_t>(random_() % static_cast<uint64_t>(count))]),
                                 false, ctx);
                break;
            case rmFirst: AddScenarioStake(numbersOf(list[0]), false, ctx); break;
            case rmLast: AddScenarioStake(numbersOf(list[count - 1]), false, ctx); break;
            case rmAll:
                for (int64_t i = 0; i < ws_.CombsCount(); ++i) {
                    if (i > 0 && PollStop()) break;
                    AddScenarioStake(numbersOf(ws_.Combs()[i]), true, ctx);
                }
                break;
            case rmSysA:
            case rmSysC: StakeSystem(mode, DistinctNumbers(MaxNumber), ctx); break;
            default: break;
        }
    }
    ws_.RefreshStakesGrid(false, true);
}

void TScenarioRunner::StakeSystem(int mode, const std::vector<uint8_t>& numbers, TLineContext& ctx) {
    std::vector<TCombination> system;
    std::string fileOrMessage;
    const int n = static_cast<int>(numbers.size());
    if (!LoadSystemFor(ws_.GetHost(), ws_.DataDir(), numbers, system, fileOrMessage)) {
        log_.Write(fmt::format("{{#}} Системная игра для {} чисел [ОШИБКА]: \"{}\"", n, fileOrMessage));
        return;
    }
    const std::string name = std::filesystem::path(fileOrMessage).stem().string();
    log_.Write(mode == rmSysA
                   ? fmt::format("{{#}} Системная игра для {} чисел [все система]: загружен файл \"{}\"", n, name)
                   : fmt::format("{{#}} Системная игра для {} чисел [система * комбинации]: загружен файл \"{}\"",
                                 n, name));
    std::unordered_set<uint64_t> inList;
    if (mode == rmSysC)
        for (int64_t i = 0; i < ws_.CombsCount(); ++i) inList.insert(Packed(ws_.Combs()[i]));
    for (TCombination c : system) {
        std::sort(c.n, c.n + BallsInDraw);
        if (mode == rmSysC && !inList.count(Packed(c))) continue;
        AddScenarioStake(std::vector<uint8_t>(c.n, c.n + BallsInDraw), true, ctx);
        if (PollStop()) break;
    }
}

bool TScenarioRunner::AddScenarioStake(const std::vector<uint8_t>& numbers, bool bulk, TLineContext& ctx) {
    TStakeRecord r = MakeEmptyStake(skScenario);
    r.Draw = ws_.NextDrawNo();
    r.Sample = static_cast<int32_t>(std::min<int64_t>(ws_.CombsCount(), INT32_MAX));
    r.Numbers.Count = static_cast<int32_t>(std::min<size_t>(numbers.size(), MaxStakeNumbers));
    for (int i = 0; i < r.Numbers.Count; ++i) r.Numbers.Numbers[i] = numbers[static_cast<size_t>(i)];
    r.Profit = StakeCost(ws_.Config(), r.Numbers.Count, -1);
    const std::string note = FormatStakeNote(ctx.LineNo, ctx.SetNo, ctx.Comment, ctx.Description);
    SetStakeComment(r, note);
    const std::string text = NumbersText(numbers);
    bool added = false;
    if (ctx.NewOnly && ws_.FindStake(r.Draw, r.Numbers)) {
        log_.Write(fmt::format("{{-}} Ставка на тираж {} не добавлена, так как уже имеется в списке ставок: [{}]",
                               r.Draw, text));
    } else if (ws_.CreateStakes(r, 1, bulk)) {
        log_.Write(fmt::format("{{+}} Ставка на тираж {} добавлена в список ставок: [{}]", r.Draw, text));
        ++state_.StakesMade;
        madeStakes_.push_back({r.Draw, std::vector<int>(numbers.begin(), numbers.end()), StakeComment(r)});
        added = true;
    }
    const int64_t now = NowMs();
    if (!bulk || now - ctx.LastRefreshMs >= 101) {
        ctx.LastRefreshMs = now;
        Show();
    }
    return added;
}

}  // namespace tessara
