#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/graph_series.h"
#include "model/records.h"

namespace tessara {

inline constexpr const char* RepeatsCaption = "Количество повторов в зависимости от тиража";
inline constexpr const char* MsgRepeatsCollecting = "Идет сбор статистики....";
inline constexpr const char* MsgRepeatsCharting = "Создание графиков...";
// The columns of the repeats list, in order.
inline constexpr const char* RepeatsColumns[] = {"Тираж", "Совпадений", "Кол-во повторов",
                                                 "Список тиражей"};
inline constexpr int RepeatsDefaultLength = 100;
inline constexpr int RepeatsDefaultDeep = 100;

// One row of the repeats list: of the draws looked at before draw DrawNo,
// Repeats shared exactly Matches numbers with it, namely Draws (newest
// first, joined by spaces).
struct TRepeatsRow {
    int32_t DrawNo = 0;
    int Matches = 0;
    int Repeats = 0;
    std::string Draws;
};

struct TRepeatsAnalysis {
    // Newest draw first; the rows of one draw in the order their match
    // counts first came up.
    std::vector<TRepeatsRow> Rows;
    // The largest match count met, 0 when no draws were compared.
    int MaxMatches = 0;
};

// Called once per draw analysed (done counts from 1 to total).
using TProgressFn = std::function<void(int done, int total)>;

// Compares each of the last `length` draws of the whole archive with the
// `deep` draws before it. length and deep are at least 1.
TRepeatsAnalysis AnalyzeRepeats(const TDrawsArray& draws, int length, int deep,
                                const TProgressFn& progress = {});

// One line series per match count 1..MaxMatches titled "Совпадений: %d",
// each with the points (draw number, repeats) of its rows from the oldest
// draw on, labelled with the draw number. Colours are left to the chart.
std::vector<TGraphSeries> RepeatsSeries(const TRepeatsAnalysis& analysis,
                                        const TProgressFn& progress = {});

}  // namespace tessara
