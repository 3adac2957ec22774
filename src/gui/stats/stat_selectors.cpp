#include "stats/stat_selectors.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>
#include <vector>

#include "app/workspace.h"

namespace {

struct Entry {
    QString Caption;
    int Method;
};

QComboBox* MakeBox(const QString& name, const QString& hint) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setToolTip(hint);
    box->setStatusTip(hint);
    // Captions are long; the box takes the width it gets instead of the
    // width of its longest entry.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(20);
    box->setMaxVisibleItems(30);
    return box;
}

void Fill(QComboBox* box, std::vector<Entry> entries, bool ordered, bool keepSelection) {
    const int previous = box->currentIndex();
    if (ordered)
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            return QString::localeAwareCompare(a.Caption, b.Caption) < 0;
        });
    box->setUpdatesEnabled(false);
    {
        // Listeners hear only of the final selection, not of every entry.
        const QSignalBlocker blocker(box);
        box->clear();
        for (const Entry& e : entries) box->addItem(e.Caption, e.Method);
    }
    const int wanted = keepSelection ? previous : 0;
    if (wanted >= 0 && wanted < box->count()) box->setCurrentIndex(wanted);
    box->setUpdatesEnabled(true);
}

}  // namespace

StatSelectors::StatSelectors(tessara::Workspace& ws)
    : ws_(ws),
      cbDrawsStat_(
          MakeBox(QStringLiteral("cbDrawsStat"), QStringLiteral("Вид расчета статистики"))),
      cbDrawsGraphType_(
          MakeBox(QStringLiteral("cbDrawsGraphType"), QStringLiteral("Тип графика"))) {}

void StatSelectors::Refill(bool reregister, bool keepSelection) {
    if (reregister) ws_.ReregisterStats();
    const tessara::TStatList& stats = ws_.Stats();
    std::vector<Entry> statEntries, graphEntries;
    for (int i = 0; i < stats.Count(); ++i) {
        if (!stats.IsAvailable(i) || !stats.IsListed(i) || !stats.IsFavourite(i)) continue;
        const Entry e{QString::fromStdString(stats.ListCaption(i, true)), i};
        statEntries.push_back(e);
        if (stats.HasGraph(i)) graphEntries.push_back(e);
    }
    Fill(cbDrawsStat_, std::move(statEntries), stats.Ordered, keepSelection);
    Fill(cbDrawsGraphType_, std::move(graphEntries), stats.Ordered, keepSelection);
}

int StatSelectors::SelectedMethod(const QComboBox* box) {
    if (!box || box->currentIndex() < 0) return -1;
    bool ok = false;
    const int method = box->currentData().toInt(&ok);
    return ok ? method : -1;
}
