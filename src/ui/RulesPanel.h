#pragma once

#include "ui/Unit1.h"

#include <QDockWidget>
#include <QElapsedTimer>

#include <functional>

class QKeyEvent;
class QTreeView;
class RulesModel;

// "Szabályok": the rules tree in a dock on the right of the window. The row of the rule the
// panels stand for is selected and kept in view; Return or a double click on a row asks for
// that rule to be opened again. After a name was typed, Return asks for the rule of exactly
// that name, whichever row the tree's search stopped at. A div's row dragged elsewhere, or
// Ctrl+Right and Ctrl+Left on it, asks for it to be nested there. The row under the pointer
// is told, so that the preview can frame its box.
class RulesPanel : public QDockWidget, public StyleSheetFollower
{
public:
    // What the person asks for from the tree.
    struct Requests {
        std::function<void(const Rule&)> open;
        std::function<void(const std::string&)> openNamed;
        std::function<void(std::int32_t div, std::int32_t parent)> nest;
        std::function<void(const Rule&)> hovered;   // the row under the pointer; none when it left
    };
    RulesPanel(TForm1* form, Requests requests);

    // After every command: the tree follows the records, and its selection the panels.
    void follow(const StyleSheetChange& change) override;

    // Gives the tree the keyboard: typing a name selects it, the arrows move.
    void focusTree();

    QTreeView* tree() const { return view; }
    RulesModel* rules() const { return model; }

    // How wide the dock makes the window, beside the designed client area, where the screen
    // has room; on a narrower one it takes what is left, down to the narrowest.
    static constexpr int designedWidth = 220;
    static constexpr int narrowestWidth = 100;
    void fitWithin(int width);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void catchUp();
    void select(const Rule& rule);
    // Whether the key pressed in the tree was Return after a typed name, then taken.
    bool tookTypedName(const QKeyEvent& key);
    // Whether the key was Ctrl+Right or Ctrl+Left on a div's row, then taken.
    bool tookNestingKey(const QKeyEvent& key);

    Requests requests;
    Rule pointed;                 // the row under the pointer
    std::string typed;            // the name being typed, as the tree's own search collects it
    QElapsedTimer sinceTyped;

    RulesModel* model;
    QTreeView* view;
    Rule selected;                // the panels' rule, to be selected once the tree shows
    bool expandPending = false;   // the nesting changed while the tree was hidden
};
