#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"
#include "model/Rule.h"
#include "model/StyleSheetChange.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QPixmap>

#include <cstdint>
#include <memory>
#include <vector>

// The stylesheet's rules as a tree over the window's own records, which it never copies:
// "body" when there is one, then every live div, nested under its parent as the web page
// nests it. Column 0 names the rule, with a swatch of its background colour; column 1 gives
// a div's size ("600 × 400").
class RulesModel : public QAbstractItemModel
{
public:
    RulesModel(const std::unique_ptr<BodyStyle>& body, const std::vector<std::unique_ptr<DivStyle>>& divs,
               const std::int32_t& lastDiv, QObject* parent);

    // Follows what a command did: divs added at the end become rows there, any other change
    // of the nesting or of which rules there are builds the tree anew, and the rules whose
    // values changed are shown again.
    void follow(const StyleSheetChange& change);

    QModelIndex indexOf(const Rule& rule) const;
    Rule ruleAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Whether any shown div sits inside another: the tree then opens its branches.
    bool nested() const { return nestedCount > 0; }

private:
    // Nodes: 0 the body, n + 1 div n.
    static quintptr nodeOf(std::int32_t div) { return static_cast<quintptr>(div) + 1; }
    void rebuild();
    int bodyRows() const { return shownBody ? 1 : 0; }
    QPixmap swatch(const std::string& background) const;

    const std::unique_ptr<BodyStyle>& body;
    const std::vector<std::unique_ptr<DivStyle>>& divs;
    const std::int32_t& lastDiv;

    bool shownBody = false;
    std::vector<std::int32_t> parentOf;                // the shown parent of each div, -1: top
    std::vector<std::int32_t> rowOf;                   // each div's row under its parent
    std::vector<std::int32_t> topLevel;                // divs at the top level, in number order
    std::vector<std::vector<std::int32_t>> childrenOf; // each div's children, in number order
    std::int32_t nestedCount = 0;
    mutable QHash<QString, QPixmap> swatches;
};
