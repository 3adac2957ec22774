#include "scenario/scenario_model.h"

#include "app/workspace.h"
#include "scenario/script_line.h"

namespace {

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

ScenarioModel::ScenarioModel(const tessara::Workspace& ws, QObject* parent)
    : QAbstractTableModel(parent), ws_(ws), shownRows_(static_cast<int>(ws.Scenario().size())) {}

// The row count is the one announced, so that the views never see lines
// before the model has told them.
int ScenarioModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int ScenarioModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ScenarioModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount() ||
        index.row() >= static_cast<int>(ws_.Scenario().size()))
        return {};
    const std::string& line = ws_.Scenario()[static_cast<size_t>(index.row())];
    if (IsBlank(line)) return QString();
    std::string text;
    if (index.column() == ColComment) {
        text = tessara::ScriptLineComment(line);
    } else if (index.column() == ColOptions) {
        text = tessara::DescribeScriptOptions(
            tessara::ParseScriptOptions(tessara::ScriptLineOptions(line)));
    } else {
        const int n = index.column() - ColFirstFilter + 1;
        text = tessara::FormatFilterItem(
            tessara::ParseFilterItem(tessara::ScriptLineFilter(line, n), ws_.Stats()));
    }
    return QString::fromStdString(text);
}

QVariant ScenarioModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section == ColComment) return QStringLiteral("Комментарии");
    if (section == ColOptions) return QStringLiteral("Опции");
    if (section > ColOptions && section < ColumnCount)
        return QStringLiteral("Фильтр %1").arg(section - ColFirstFilter + 1);
    return {};
}

void ScenarioModel::Refresh() {
    // Edits and moves keep the row count: the selection survives them.
    const int count = static_cast<int>(ws_.Scenario().size());
    if (count == shownRows_) {
        if (count > 0) emit dataChanged(index(0, 0), index(count - 1, ColumnCount - 1));
    } else if (count > shownRows_) {
        beginInsertRows({}, shownRows_, count - 1);
        shownRows_ = count;
        endInsertRows();
    } else {
        beginResetModel();
        shownRows_ = count;
        endResetModel();
    }
}
