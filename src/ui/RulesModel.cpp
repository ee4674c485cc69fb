#include "ui/RulesModel.h"

#include "model/ColorValue.h"
#include "model/Nesting.h"
#include "platform/Controls.h"

#include <QApplication>
#include <QColor>
#include <QMimeData>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <span>
#include <utility>

namespace {

const QString divMimeType = QStringLiteral("application/x-prizmo-div");

} // namespace

RulesModel::RulesModel(const RecordsView& records, Nest nest, QObject* parent)
    : QAbstractItemModel(parent), records(records), nest(std::move(nest))
{
    rebuild();
}

void RulesModel::setHovered(const Rule& rule)
{
    for (const Rule& changed : {std::exchange(hovered, rule), rule})
        if (const QModelIndex row = indexOf(changed); row.isValid())
            emit dataChanged(row, row.siblingAtColumn(1), {Qt::BackgroundRole});
}

void RulesModel::rebuild()
{
    const auto live = records.divs();
    shownBody = records.body() != nullptr;
    const std::vector<std::int32_t> recorded = recordedParents(live);
    parentOf = shownParents(recorded);
    shownAsRecorded = parentOf == recorded;
    rowOf.assign(live.size(), 0);
    topLevel.clear();
    childrenOf.assign(live.size(), {});
    nestedCount = 0;
    for (std::size_t n = 0; n < live.size(); ++n) {
        const std::int32_t parent = parentOf[n];
        auto& siblings = childrenIn(parent);
        rowOf[n] = static_cast<std::int32_t>(siblings.size());
        siblings.push_back(static_cast<std::int32_t>(n));
        nestedCount += parent >= 0;
    }
}

bool RulesModel::follow(const StyleSheetChange& change)
{
    movedDivs.clear();
    const auto shownDivs = static_cast<std::int32_t>(parentOf.size());
    const std::int32_t lastDiv = records.lastDiv();
    if (change.restructured || shownBody != (records.body() != nullptr) || lastDiv + 1 < shownDivs) {
        reset();
        return true;
    }
    // A new div belongs to no other: it goes at the end of the top level.
    if (lastDiv + 1 > shownDivs) {
        const int first = bodyRows() + static_cast<int>(topLevel.size());
        beginInsertRows({}, first, first + lastDiv - shownDivs);
        for (std::int32_t n = shownDivs; n <= lastDiv; ++n) {
            parentOf.push_back(-1);
            shownAsRecorded = shownAsRecorded && records.div(n).getParent() == -1;
            rowOf.push_back(static_cast<std::int32_t>(topLevel.size()));
            topLevel.push_back(n);
            childrenOf.emplace_back();
        }
        endInsertRows();
    }
    if (!change.renested.empty() && !moveRenested(change.renested)) {
        reset();
        return true;
    }
    for (const Rule& rule : change.values)
        if (const QModelIndex row = indexOf(rule); row.isValid())
            emit dataChanged(row, row.siblingAtColumn(1));
    return false;
}

void RulesModel::reset()
{
    beginResetModel();
    rebuild();
    endResetModel();
}

// A new parent can change where others show too (a loop made or broken, a branch taken past
// the depth a page shows or back): then every div whose shown parent changed moves.
bool RulesModel::moveRenested(const std::vector<std::int32_t>& renested)
{
    bool moved = false;
    if (renested.size() == 1 && moveOneRenested(renested.front(), moved)) {
        if (moved)
            movedDivs.push_back(renested.front());
        return true;
    }
    const std::vector<std::int32_t> recorded = recordedParents(records.divs().first(parentOf.size()));
    const std::vector<std::int32_t> parents = shownParents(recorded);
    for (std::size_t n = 0; n < parents.size(); ++n)
        if (parents[n] != parentOf[n]) {
            if (!move(static_cast<std::int32_t>(n), parents[n]))
                return false;
            movedDivs.push_back(static_cast<std::int32_t>(n));
        }
    shownAsRecorded = parents == recorded;
    return true;
}

bool RulesModel::moveOneRenested(std::int32_t div, bool& moved)
{
    const DivStyle* record = records.liveDiv(div);
    const std::int32_t parent = record ? record->getParent() : -1;
    if (!record || treeSaysTooDeep(div, parent) != false)
        return false;
    moved = parent != parentOf[static_cast<std::size_t>(div)];
    return !moved || move(div, parent);
}

std::optional<bool> RulesModel::treeSaysTooDeep(std::int32_t div, std::int32_t parent) const
{
    if (!shownAsRecorded || parent < -1 || !mayNest(div, parent))
        return std::nullopt;
    return depthOf(parent) + levelsIn(div) > maxNestingDepth;
}

std::int32_t RulesModel::depthOf(std::int32_t div) const
{
    std::int32_t depth = 0;
    for (; div >= 0; div = parentOf[static_cast<std::size_t>(div)])
        ++depth;
    return depth;
}

// Level by level, without recursion: a branch can be as deep as the page shows.
std::int32_t RulesModel::levelsIn(std::int32_t div) const
{
    std::int32_t levels = 0;
    std::vector<std::int32_t> level{div}, next;
    while (!level.empty()) {
        ++levels;
        next.clear();
        for (const std::int32_t at : level) {
            const auto& children = childrenOf[static_cast<std::size_t>(at)];
            next.insert(next.end(), children.begin(), children.end());
        }
        level.swap(next);
    }
    return levels;
}

std::vector<std::int32_t>& RulesModel::childrenIn(std::int32_t parent)
{
    return parent < 0 ? topLevel : childrenOf[static_cast<std::size_t>(parent)];
}

const std::vector<std::int32_t>& RulesModel::childrenIn(std::int32_t parent) const
{
    return parent < 0 ? topLevel : childrenOf[static_cast<std::size_t>(parent)];
}

bool RulesModel::inBranchOf(std::int32_t div, std::int32_t at) const
{
    for (; at >= 0; at = parentOf[static_cast<std::size_t>(at)])
        if (at == div)
            return true;
    return false;
}

// Siblings stand in number order, under the body's row at the top level.
bool RulesModel::move(std::int32_t div, std::int32_t parent)
{
    if (inBranchOf(div, parent))
        return false;   // into its own branch: not a tree on the way
    const auto n = static_cast<std::size_t>(div);
    std::vector<std::int32_t>& from = childrenIn(parentOf[n]);
    std::vector<std::int32_t>& to = childrenIn(parent);
    const auto fromRow = static_cast<int>(rowOf[n]);
    const auto toRow = static_cast<int>(std::lower_bound(to.begin(), to.end(), div) - to.begin());
    const int offsetFrom = parentOf[n] < 0 ? bodyRows() : 0;
    const int offsetTo = parent < 0 ? bodyRows() : 0;
    const QModelIndex fromIndex = parentOf[n] < 0 ? QModelIndex() : indexOf({Rule::Kind::Div, parentOf[n]});
    const QModelIndex toIndex = parent < 0 ? QModelIndex() : indexOf({Rule::Kind::Div, parent});
    if (!beginMoveRows(fromIndex, fromRow + offsetFrom, fromRow + offsetFrom, toIndex, toRow + offsetTo))
        return false;
    from.erase(from.begin() + fromRow);
    for (std::size_t at = static_cast<std::size_t>(fromRow); at < from.size(); ++at)
        rowOf[static_cast<std::size_t>(from[at])] = static_cast<std::int32_t>(at);
    to.insert(to.begin() + toRow, div);
    for (std::size_t at = static_cast<std::size_t>(toRow); at < to.size(); ++at)
        rowOf[static_cast<std::size_t>(to[at])] = static_cast<std::int32_t>(at);
    nestedCount += (parent >= 0) - (parentOf[n] >= 0);
    parentOf[n] = parent;
    endMoveRows();
    return true;
}

QModelIndex RulesModel::indexOf(const Rule& rule) const
{
    if (rule.kind == Rule::Kind::Body)
        return shownBody ? createIndex(0, 0, quintptr{0}) : QModelIndex();
    if (rule.kind != Rule::Kind::Div || rule.number < 0 || rule.number >= static_cast<std::int32_t>(parentOf.size()))
        return {};
    const auto n = static_cast<std::size_t>(rule.number);
    const int row = rowOf[n] + (parentOf[n] < 0 ? bodyRows() : 0);
    return createIndex(row, 0, nodeOf(rule.number));
}

Rule RulesModel::ruleAt(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    if (index.internalId() == 0)
        return {Rule::Kind::Body, -1};
    return {Rule::Kind::Div, static_cast<std::int32_t>(index.internalId() - 1)};
}

QModelIndex RulesModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column > 1)
        return {};
    if (!parent.isValid()) {
        if (row < bodyRows())
            return createIndex(row, column, quintptr{0});
        const auto at = static_cast<std::size_t>(row - bodyRows());
        return at < topLevel.size() ? createIndex(row, column, nodeOf(topLevel[at])) : QModelIndex();
    }
    const Rule owner = ruleAt(parent);
    if (owner.kind != Rule::Kind::Div)
        return {};
    const auto& children = childrenOf[static_cast<std::size_t>(owner.number)];
    return static_cast<std::size_t>(row) < children.size()
        ? createIndex(row, column, nodeOf(children[static_cast<std::size_t>(row)]))
        : QModelIndex();
}

QModelIndex RulesModel::parent(const QModelIndex& child) const
{
    const Rule rule = ruleAt(child);
    if (rule.kind != Rule::Kind::Div)
        return {};
    const std::int32_t parent = parentOf[static_cast<std::size_t>(rule.number)];
    return parent < 0 ? QModelIndex() : indexOf({Rule::Kind::Div, parent});
}

int RulesModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return bodyRows() + static_cast<int>(topLevel.size());
    if (parent.column() != 0)
        return 0;
    const Rule owner = ruleAt(parent);
    return owner.kind == Rule::Kind::Div
        ? static_cast<int>(childrenOf[static_cast<std::size_t>(owner.number)].size())
        : 0;
}

int RulesModel::columnCount(const QModelIndex&) const
{
    return 2;
}

QVariant RulesModel::data(const QModelIndex& index, int role) const
{
    const Rule rule = ruleAt(index);
    if (rule.kind == Rule::Kind::None || (rule.kind == Rule::Kind::Body && !records.body()))
        return {};
    const DivStyle* div = rule.kind == Rule::Kind::Div ? records.liveDiv(rule.number) : nullptr;
    if (rule.kind == Rule::Kind::Div && !div)
        return {};
    const std::string& background = div ? div->getBackground() : records.body()->getBackground();
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0)
            return div ? QStringLiteral("div%1").arg(rule.number) : QStringLiteral("body");
        return div ? QStringLiteral("%1 × %2").arg(div->getWidth()).arg(div->getHeight()) : QVariant();
    case Qt::DecorationRole:
        return index.column() == 0 && isColorText(background) ? QVariant(swatch(background)) : QVariant();
    case Qt::BackgroundRole:
        return rule == hovered ? QVariant(QApplication::palette().color(QPalette::Highlight).lighter(170)) : QVariant();
    case Qt::ToolTipRole:
        return background.empty() ? QVariant() : QVariant(PlainToolTip(background));
    case Qt::AccessibleTextRole:   // the body's size cell, empty on the screen, is said
        return index.column() == 1 && !div ? QVariant(QStringLiteral("méret nélkül")) : QVariant();
    case Qt::AccessibleDescriptionRole:   // what the swatch shows, said
        return index.column() == 0 && !background.empty()
            ? QVariant(QStringLiteral("háttér ") + QString::fromStdString(background).left(4096))
            : QVariant();
    default:
        return {};
    }
}

QVariant RulesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? QStringLiteral("Szabály") : QStringLiteral("Méret");
}

// One pixmap per colour, made once: a tree of many divs has few colours.
QPixmap RulesModel::swatch(const std::string& background) const
{
    const QString colour = QString::fromStdString(background);
    if (const auto found = swatches.constFind(colour); found != swatches.cend())
        return *found;
    QPixmap made(10, 10);
    made.fill(QColor::fromString(colour));
    QPainter frame(&made);
    frame.setPen(QApplication::palette().color(QPalette::WindowText));
    frame.drawRect(made.rect().adjusted(0, 0, -1, -1));
    frame.end();
    swatches.insert(colour, made);
    return made;
}

bool RulesModel::mayNest(std::int32_t div, std::int32_t parent) const
{
    const auto shown = static_cast<std::int32_t>(parentOf.size());
    return div >= 0 && div < shown && parent < shown && !inBranchOf(div, parent);
}

bool RulesModel::nestsTooDeep(std::int32_t div, std::int32_t parent) const
{
    const std::optional<bool> fromTree = treeSaysTooDeep(div, parent);
    return fromTree ? *fromTree : ::nestsTooDeep(records.divs(), div, parent);
}

std::optional<std::int32_t> RulesModel::nestedDeeper(std::int32_t div) const
{
    if (div < 0 || div >= static_cast<std::int32_t>(parentOf.size()))
        return std::nullopt;
    const std::int32_t row = rowOf[static_cast<std::size_t>(div)];
    if (row == 0)
        return std::nullopt;
    return childrenIn(parentOf[static_cast<std::size_t>(div)])[static_cast<std::size_t>(row - 1)];
}

std::optional<std::int32_t> RulesModel::nestedShallower(std::int32_t div) const
{
    if (div < 0 || div >= static_cast<std::int32_t>(parentOf.size()) || parentOf[static_cast<std::size_t>(div)] < 0)
        return std::nullopt;
    return parentOf[static_cast<std::size_t>(parentOf[static_cast<std::size_t>(div)])];
}

Qt::ItemFlags RulesModel::flags(const QModelIndex& index) const
{
    const Rule rule = ruleAt(index);
    Qt::ItemFlags flags = QAbstractItemModel::flags(index) | Qt::ItemIsDropEnabled;
    if (rule.kind == Rule::Kind::Div)
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList RulesModel::mimeTypes() const
{
    return {divMimeType};
}

QMimeData* RulesModel::mimeData(const QModelIndexList& indexes) const
{
    const Rule rule = indexes.isEmpty() ? Rule{} : ruleAt(indexes.front());
    if (rule.kind != Rule::Kind::Div)
        return nullptr;
    auto* data = new QMimeData;
    data->setData(divMimeType, QByteArray::number(rule.number));
    return data;
}

std::optional<std::int32_t> RulesModel::draggedDiv(const QMimeData* data)
{
    if (!data || !data->hasFormat(divMimeType))
        return std::nullopt;
    bool number = false;
    const int div = data->data(divMimeType).toInt(&number);
    return number ? std::optional<std::int32_t>(div) : std::nullopt;
}

// Onto a row: that div, or the top level for the body's row. Between rows: the div they are
// in. Below the last row: the top level.
std::int32_t RulesModel::dropParent(const QModelIndex& parent) const
{
    const Rule onto = ruleAt(parent);
    return onto.kind == Rule::Kind::Div ? onto.number : -1;
}

bool RulesModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                 const QModelIndex& parent) const
{
    const std::optional<std::int32_t> div = draggedDiv(data);
    return action == Qt::MoveAction && div && mayNest(*div, dropParent(parent));
}

bool RulesModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                              const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    nest(*draggedDiv(data), dropParent(parent));
    return true;
}
