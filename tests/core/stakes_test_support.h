#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "app/workspace.h"
#include "stakes/stake_cost.h"
#include "test_support.h"

namespace tessara::test {

inline TStakeNumbers Numbers(std::initializer_list<int> list) {
    TStakeNumbers n{};
    for (int x : list) n.Numbers[n.Count++] = static_cast<uint8_t>(x);
    return n;
}

inline TStakeRecord Stake(int draw, std::initializer_list<int> numbers,
                          const std::string& comment = "c", uint8_t kind = skManual) {
    TStakeRecord r = MakeEmptyStake(kind);
    r.Draw = draw;
    r.Numbers = Numbers(numbers);
    SetStakeComment(r, comment);
    return r;
}

// A stake as a check leaves it.
inline TStakeRecord CheckedStake(int draw, const std::string& comment, int matches, TMoney profit) {
    TStakeRecord r = Stake(draw, {1, 2, 3, 4, 5, 6}, comment);
    r.Checked = 1;
    for (int i = 0; i < 6; ++i) r.Result[i] = static_cast<uint8_t>(i + 1);
    r.Matches.Count = matches;
    for (int i = 0; i < matches; ++i) r.Matches.Numbers[i] = static_cast<uint8_t>(i + 1);
    r.Profit = profit;
    return r;
}

// A workspace on a temporary folder with the stakes file loaded.
class StakesWorkspace {
public:
    StakesWorkspace() : ws(std::make_unique<Workspace>(host, dir.Path())) {
        ws->InitGameTables();
        ws->LoadStakesFile();
    }
    // Cost and prize rows (matches, prize), in money units.
    void SetPrizes(double cost, std::initializer_list<std::pair<int, double>> prizes) {
        TConfigData c = ws->Config();
        c.Cost = MoneyFromAmount(cost);
        c.Profits.clear();
        for (auto [m, p] : prizes) c.Profits.push_back({static_cast<uint8_t>(m), MoneyFromAmount(p)});
        ws->ApplyConfig(c);
    }
    void Append(const TStakeRecord& r) { ws->StakesFile().Append(r); }
    TStakeRecord At(int64_t i) const { return ws->StakesFile().Read(TStakeOrigin::Begin, i); }
    std::string FileBytes() const { return ws->StakesFile().ReadAllBytes(); }

    TempDir dir;
    RecordingHost host;
    std::unique_ptr<Workspace> ws;
};

}  // namespace tessara::test
