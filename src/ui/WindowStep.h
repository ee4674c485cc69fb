#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"
#include "model/StyleSheetChange.h"

#include <QUndoCommand>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

class TComboBox;
class TForm1;

// What the window shows beyond the records: which panels show, what the edits and lists
// hold, and which record the panels stand for. A few texts, however many divs there are.
struct ControlsState {
    struct List {
        int index = -1;
        std::string text;
        int entries = 0;   // the nesting lists hold "div0", "div1", ... in order
        bool operator==(const List&) const = default;
    };
    bool panel1 = false, panel2 = false, panel3 = false, done = false, colour = true;
    std::vector<std::string> edits;   // the editing panels' edits and lists, in the order of
    std::vector<List> lists;          // their binding table
    std::vector<std::string> dock;    // what the "Tulajdonságok" dock holds, once it is made
    List child, parent;
    std::int32_t reopenedDiv = -1;
    std::string openedFileName;
    bool operator==(const ControlsState&) const = default;
};

// A list's entry as the commands read it, and that entry made the list's again.
ControlsState::List listState(const TComboBox* list);
void restoreList(TComboBox* list, const ControlsState::List& state);

// One side of a step: the slot count, lastDiv and the window's controls.
struct StepSide {
    std::size_t slotCount = 0;
    std::int32_t lastDiv = -1;
    ControlsState controls;
};

// The records a step touched that are not in the window now: those from before it while it
// is done, those from after it while it is undone. Undo and redo swap them with the
// window's, so that a step copies a record only once, when the command first touches it.
struct StepRecords {
    TouchedDivs touched;
    bool bodyTouched = false;
    std::unique_ptr<BodyStyle> body;
};

// The kinds of steps that merge into the step before them: a box moved by the arrow keys,
// press after press, within a second.
enum class StepMerging : int { None = -1, ArrowMoves = 1 };

// One command, as undo and redo restore it: only what it changed, so that a step over a
// hundred thousand divs costs what the command touched.
class WindowStep : public QUndoCommand
{
public:
    WindowStep(TForm1& form, const std::string& name, StepRecords records, StepSide before, StepSide after,
               StepMerging merging = StepMerging::None);

    void undo() override;
    void redo() override;
    int id() const override { return static_cast<int>(merging); }
    // The later step of the same kind, touching the same div and nothing else, soon after:
    // this step then ends where that one does.
    bool mergeWith(const QUndoCommand* later) override;

private:
    TForm1& form;
    StepRecords records;
    StepSide before, after;
    bool pushed = false;   // QUndoStack::push redoes: the command has done that already
    StepMerging merging;
    std::chrono::steady_clock::time_point lastMerged = std::chrono::steady_clock::now();
};

// What a running command has touched so far, as it was before.
struct StepJournal {
    std::string name;
    TouchedDivs touched;
    std::unordered_set<std::size_t> journaled;   // each slot is kept once
    std::size_t journaledBelow = 0;              // and every slot below this one is kept
    bool bodyTouched = false;
    std::unique_ptr<BodyStyle> body;
    std::size_t slotCount = 0;
    std::int32_t lastDiv = -1;
    ControlsState controls;   // at the command's start: whether it changed anything
    bool wasUnsaved = false;
    StepMerging merging = StepMerging::None;
};
