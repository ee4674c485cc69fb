// The rules tree at scale, in a window holding 1,000 and one holding 100,000 divs, run by
// run in turn: showing the tree to its first frame, opening a rule again from it (Return on
// its row) to the frame, "Új Div" + "KÉSZ" with the tree shown, and a row dropped onto
// another (nesting it) to the frame. The floor of the last two: a bare QTreeView over a flat
// model of as many rows, a row appended or moved to the frame, whose own 100,000 / 1,000
// ratio is what Qt's view costs by itself.

#include "BenchWindow.h"
#include "Figures.h"

#include "ui/RulesModel.h"
#include "ui/RulesPanel.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QMimeData>
#include <QTest>
#include <QTreeView>

#include <filesystem>
#include <memory>

namespace {

// Rows of two columns, flat, as cheap as a model gets.
class FlatModel : public QAbstractItemModel
{
public:
    explicit FlatModel(int rows) : rows(rows) {}
    QModelIndex index(int row, int column, const QModelIndex& parent) const override
    {
        return parent.isValid() ? QModelIndex() : createIndex(row, column);
    }
    QModelIndex parent(const QModelIndex&) const override { return {}; }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows; }
    int columnCount(const QModelIndex&) const override { return 2; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return index.column() == 0 ? QStringLiteral("div%1").arg(index.row()) : QStringLiteral("100 × 200");
    }
    void append()
    {
        beginInsertRows({}, rows, rows);
        ++rows;
        endInsertRows();
    }
    void moveSecondFirst()
    {
        beginMoveRows({}, 1, 1, {}, 0);
        endMoveRows();
    }

private:
    int rows;
};

// The bare view, shown as the rules are.
struct BareTree {
    explicit BareTree(int rows) : model(rows)
    {
        view.setUniformRowHeights(true);
        view.setModel(&model);
        view.resize(220, 560);
        view.show();
        QCoreApplication::processEvents();
    }
    double append()
    {
        activate(view);
        return millisecondsOf([&] {
            model.append();
            toTheFrame(view);
        });
    }
    double move()
    {
        activate(view);
        return millisecondsOf([&] {
            model.moveSecondFirst();
            toTheFrame(view);
        });
    }
    FlatModel model;
    QTreeView view;
};

double showTheTree(TForm1& window)
{
    activate(window);
    window.Szablyok1->trigger();   // hidden again, outside the measure
    QCoreApplication::processEvents();
    return millisecondsOf([&] {
        window.Szablyok1->trigger();
        toTheFrame(window);   // the first frame
    });
}

// The middle div, Return on its row, then "KÉSZ" outside the measure.
double openARuleAgain(TForm1& window)
{
    activate(window);
    QTreeView* tree = window.Rules->tree();
    tree->setCurrentIndex(window.Rules->rules()->indexOf({Rule::Kind::Div, window.lastDiv / 2}));
    const double opened = millisecondsOf([&] {
        QTest::keyClick(tree, Qt::Key_Return);
        toTheFrame(window);
    });
    window.Button3->click();
    return opened;
}
// Div 1's row dropped onto div 0's, then onto the body's row, in turn.
double dropARow(TForm1& window)
{
    activate(window);
    RulesModel* rules = window.Rules->rules();
    const bool nested = window.divs[1]->getParent() == 0;
    const std::unique_ptr<QMimeData> dragged(rules->mimeData({rules->indexOf({Rule::Kind::Div, 1})}));
    const QModelIndex onto = rules->indexOf(nested ? Rule{Rule::Kind::Body, -1} : Rule{Rule::Kind::Div, 0});
    return millisecondsOf([&] {
        rules->dropMimeData(dragged.get(), Qt::MoveAction, -1, 0, onto);
        toTheFrame(window);
    });
}
} // namespace

int main(int argc, char* argv[])
{
    const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
    BenchApplication application(argc, argv);
    auto small = showBenchWindowWith(1'000, folder);
    auto large = showBenchWindowWith(100'000, folder);
    for (TForm1* window : {small.get(), large.get()})
        if (!window->Rules || window->Rules->isHidden())
            window->Szablyok1->trigger();

    const auto [shownSmall, shownLarge] = alternatedMedians(
        51, [&] { return showTheTree(*small); }, [&] { return showTheTree(*large); });
    const auto [openedSmall, openedLarge] = alternatedMedians(
        101, [&] { return openARuleAgain(*small); }, [&] { return openARuleAgain(*large); });
    oneMoreDiv(*small);
    oneMoreDiv(*large);
    const auto [addedSmall, addedLarge] = alternatedMedians(
        301, [&] { return oneMoreDiv(*small); }, [&] { return oneMoreDiv(*large); });
    const auto [droppedSmall, droppedLarge] = alternatedMedians(
        51, [&] { return dropARow(*small); }, [&] { return dropARow(*large); });
    // Left as it was found: the tree hidden at the next start.
    small->Szablyok1->trigger();
    small.reset();
    large.reset();

    BareTree bareSmall(1'000), bareLarge(100'000);
    const auto [bareAddedSmall, bareAddedLarge] = alternatedMedians(
        301, [&] { return bareSmall.append(); }, [&] { return bareLarge.append(); });
    const auto [bareMovedSmall, bareMovedLarge] = alternatedMedians(
        51, [&] { return bareSmall.move(); }, [&] { return bareLarge.move(); });
    const double bareAdded = bareAddedLarge / bareAddedSmall, bareMoved = bareMovedLarge / bareMovedSmall;
    const bool held = report({"rules tree shown, 100,000 divs (ms)", shownLarge, 16})
        & report({"rules tree shown: 100,000 / 1,000 divs", shownLarge / shownSmall, 1.2})
        & report({"rule opened again from the tree, 100,000 divs (ms)", openedLarge, 16})
        & report({"rule opened again: 100,000 / 1,000 divs", openedLarge / openedSmall, 1.2})
        & report({"Új Div + KÉSZ, tree shown: 100,000 / 1,000 divs", addedLarge / addedSmall})
        & report({"a row appended, bare QTreeView: 100,000 / 1,000 rows", bareAdded})
        & report({"Új Div + KÉSZ, tree shown: its ratio / the bare view's", addedLarge / addedSmall / bareAdded, 1.2})
        & report({"a row dropped in the tree, 100,000 divs (ms)", droppedLarge, 16})
        & report({"a row dropped: 100,000 / 1,000 divs", droppedLarge / droppedSmall})
        & report({"a row moved, bare QTreeView: 100,000 / 1,000 rows", bareMoved})
        & report({"a row dropped: its ratio / the bare view's", droppedLarge / droppedSmall / bareMoved, 1.2});
    return held ? 0 : 1;
}
