#pragma once

#include "model/RecordsView.h"
#include "model/Rule.h"
#include "model/StyleSheetChange.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QPixmap>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The stylesheet's rules as a tree over the window's own records, which it never copies:
// "body" when there is one, then every live div, nested under its parent as the web page
// nests it. Column 0 names the rule, with a swatch of its background colour; column 1 gives
// a div's size ("600 × 400").
//
// A div's row can be dragged onto another div's row, which asks for it to be nested there,
// or onto the body's row, between the top-level rows or below the last, which asks for it
// to belong to no div. The records change only through `nest`, as a command of the window.
class RulesModel : public QAbstractItemModel
{
public:
    // Asks for `div` to become `parent`'s child; -1: to belong to no other div.
    using Nest = std::function<void(std::int32_t div, std::int32_t parent)>;
    RulesModel(const RecordsView& records, Nest nest, QObject* parent);

    // Follows what a command did: divs added at the end become rows there, divs given
    // another parent move there, any other change of which rules there are builds the tree
    // anew (true then), and the rules whose values changed are shown again.
    bool follow(const StyleSheetChange& change);
    // The divs the last change moved to another parent.
    const std::vector<std::int32_t>& moved() const { return movedDivs; }

    QModelIndex indexOf(const Rule& rule) const;
    // The row of the box under the pointer in the preview, marked; none for no rule.
    void setHovered(const Rule& rule);
    Rule ruleAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Whether any shown div sits inside another: the tree then opens its branches.
    bool nested() const { return nestedCount > 0; }

    // Whether `div` may go into `parent` (-1: the top level): not into itself or a div inside it.
    bool mayNest(std::int32_t div, std::int32_t parent) const;
    // Whether `div` given `parent` as its recorded parent would bring it or a div inside it
    // deeper than a page shows; from the tree alone while it is as recorded.
    bool nestsTooDeep(std::int32_t div, std::int32_t parent) const;
    // Where Ctrl+Right and Ctrl+Left take a div: into the div just above it at the same
    // depth, and one level out; nothing where there is none.
    std::optional<std::int32_t> nestedDeeper(std::int32_t div) const;
    std::optional<std::int32_t> nestedShallower(std::int32_t div) const;

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

private:
    // Nodes: 0 the body, n + 1 div n.
    static quintptr nodeOf(std::int32_t div) { return static_cast<quintptr>(div) + 1; }
    void rebuild();
    void reset();
    // Each div whose shown parent is not the tree's any more goes there; false when one
    // cannot, and the tree is to be built anew.
    bool moveRenested(const std::vector<std::int32_t>& renested);
    // One div's new recorded parent, where the tree stays as recorded: the div alone moves.
    // False when the records must be read whole.
    bool moveOneRenested(std::int32_t div, bool& moved);
    // Whether `div` in `parent` would lie too deep, from the tree's own branches; nothing
    // where the tree cannot tell (it is not as recorded, or `parent` is in `div`'s branch).
    std::optional<bool> treeSaysTooDeep(std::int32_t div, std::int32_t parent) const;
    // 1 for a top-level div, 0 for the top level itself.
    std::int32_t depthOf(std::int32_t div) const;
    // The levels of `div`'s branch: 1 for a div with no children.
    std::int32_t levelsIn(std::int32_t div) const;
    bool move(std::int32_t div, std::int32_t parent);
    // The rows under a div, or at the top level for -1.
    std::vector<std::int32_t>& childrenIn(std::int32_t parent);
    const std::vector<std::int32_t>& childrenIn(std::int32_t parent) const;
    // Whether `at` is `div` or lies inside it.
    bool inBranchOf(std::int32_t div, std::int32_t at) const;
    int bodyRows() const { return shownBody ? 1 : 0; }
    QPixmap swatch(const std::string& background) const;
    // The dragged div, and the div a drop there puts it in (-1: the top level).
    static std::optional<std::int32_t> draggedDiv(const QMimeData* data);
    std::int32_t dropParent(const QModelIndex& parent) const;

    const RecordsView& records;
    Nest nest;

    Rule hovered;
    std::vector<std::int32_t> movedDivs;
    bool shownBody = false;
    std::vector<std::int32_t> parentOf;                // the shown parent of each div, -1: top
    std::vector<std::int32_t> rowOf;                   // each div's row under its parent
    std::vector<std::int32_t> topLevel;                // divs at the top level, in number order
    std::vector<std::vector<std::int32_t>> childrenOf; // each div's children, in number order
    std::int32_t nestedCount = 0;
    // Every div's shown parent is its recorded one: no loop, no parent that is not live, none
    // put higher than recorded for the depth. A new parent then asks nothing of the others.
    bool shownAsRecorded = false;
    mutable QHash<QString, QPixmap> swatches;
};
