// One place where changes happen: every command runs through runCommand, which keeps what
// the command touches, makes it one undo step and tells the followers once what it changed;
// "Szerkesztés" → "Visszavonás" and "Mégis".

#include "ui/Unit1.h"

#include "platform/Events.h"
#include "ui/PanelBindings.h"
#include "ui/WindowStep.h"

#include <QAction>
#include <QUndoStack>

#include <algorithm>
#include <cstdint>
#include <future>
#include <system_error>
#include <vector>

namespace {

// Runs `work(from, to)` over [0, count): a long range in two halves, the second on a thread
// of its own, so that each has a core.
template <typename Work>
void inTwoHalves(std::size_t count, const Work& work)
{
    constexpr std::size_t worthAThread = 4096;
    std::future<void> secondHalf;
    if (count >= worthAThread) {
        try {
            secondHalf = std::async(std::launch::async, [&work, count] { work(count / 2, count); });
        } catch (const std::system_error&) {   // no thread: this one does it all
        }
    }
    work(0, secondHalf.valid() ? count / 2 : count);
    if (secondHalf.valid())
        secondHalf.get();
}

} // namespace

void TForm1::createUndoStack()
{
    UndoStack = new QUndoStack(this);
    // The stack's own actions would undo at once; these first keep what is being typed.
    Visszavons1 = new QAction(this);
    Mgis1 = new QAction(this);
    Visszavons1->setEnabled(false);
    Mgis1->setEnabled(false);
    connect(UndoStack, &QUndoStack::canUndoChanged, Visszavons1, &QAction::setEnabled);
    connect(UndoStack, &QUndoStack::canRedoChanged, Mgis1, &QAction::setEnabled);
    connect(Visszavons1, &QAction::triggered, this, [this] { RunGuarded([this] { undoOrRedo(true); }); });
    connect(Mgis1, &QAction::triggered, this, [this] { RunGuarded([this] { undoOrRedo(false); }); });
    Visszavons1->setObjectName(QStringLiteral("Visszavons1"));
    Mgis1->setObjectName(QStringLiteral("Mgis1"));
    // "Visszavonás: Új Div": after the stack's own naming, which would leave out the colon.
    const auto named = [](QAction* item, const QString& caption) {
        return [item, caption](const QString& step) {
            item->setText(step.isEmpty() ? caption : caption + QStringLiteral(": ") + step);
        };
    };
    connect(UndoStack, &QUndoStack::undoTextChanged, Visszavons1, named(Visszavons1, QStringLiteral("&Visszavonás")));
    connect(UndoStack, &QUndoStack::redoTextChanged, Mgis1, named(Mgis1, QStringLiteral("&Mégis")));
    Visszavons1->setText(QStringLiteral("&Visszavonás"));
    Mgis1->setText(QStringLiteral("&Mégis"));
    Visszavons1->setShortcut(QKeySequence::Undo);
    Mgis1->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QMenu* edit = Szerkeszts1->menu<QMenu*>();
    edit->insertAction(Divtrlse1, Visszavons1);
    edit->insertAction(Divtrlse1, Mgis1);
    edit->insertSeparator(Divtrlse1);
    lastStepControls = std::make_unique<ControlsState>(controlsNow());
}

// Values typed into an open edit since the last step are in no step yet: undo and redo would
// drop them without a way back, so they wait for "KÉSZ".
bool TForm1::typedSinceLastStep() const
{
    return editOpen() && controlsNow() != *lastStepControls;
}

void TForm1::undoOrRedo(bool undo)
{
    if (typedSinceLastStep()) {
        ShowMessage("Előbb nyomd meg a KÉSZ gombot!");
        return;
    }
    const bool wasUnsaved = stylesheetUnsaved();
    const std::string fileBefore = openedFileName;
    restoredChange = {};
    if (undo)
        UndoStack->undo();
    else
        UndoStack->redo();
    refreshView(completed(std::exchange(restoredChange, {}), wasUnsaved, fileBefore));
}

void TForm1::runCommand(const std::string& name, const TNotifyEvent& handler)
{
    runCommand(name, handler, StepMerging::None);
}

void TForm1::runCommand(const std::string& name, const TNotifyEvent& handler, StepMerging merging)
{
    if (journal) {   // inside another command: its step
        handler();
        return;
    }
    if (!commandStatus.empty()) {   // said of the name typed last, not of what comes now
        commandStatus.clear();
        showStatus();
    }
    std::optional<StyleSheetChange> change;   // none when the command could not end its step
    RunGuarded([this, &name, &handler, &change, merging] {
        journal = std::make_unique<StepJournal>();
        journal->name = name;
        journal->merging = merging;
        journal->slotCount = divs.size();
        journal->lastDiv = lastDiv;
        journal->controls = controlsNow();
        journal->wasUnsaved = stylesheetUnsaved();
        savedThisCommand = false;
        const ShownChoice shownBefore = shownChoice();
        RunGuarded(handler);
        RunGuarded([this, &shownBefore] { showPanelsRule(shownBefore); });
        std::unique_ptr<StepJournal> finished = std::move(journal);
        change = completed(finishStep(*finished), finished->wasUnsaved, finished->controls.openedFileName);
    });
    journal.reset();
    RunGuarded([this, &change] { refreshView(change ? *change : wholeChange()); });
}

StyleSheetChange TForm1::completed(StyleSheetChange change, bool wasUnsaved, const std::string& fileBefore) const
{
    change.panels = panelsRule();
    change.unsaved = stylesheetUnsaved();
    change.savedStateChanged = change.unsaved != wasUnsaved;
    change.fileChanged = openedFileName != fileBefore;
    return change;
}

// A step only when something changed; the controls before it are those the last step left,
// so that what was typed since belongs to this step. The step keeps the records from before
// the command; the window has those from after it. A record the command left as it was
// changes nothing, so each is compared once and freed.
StyleSheetChange TForm1::finishStep(StepJournal& done)
{
    StepRecords records;
    bool content = done.lastDiv != lastDiv;
    // A file opened again may leave a hundred thousand as they were: those are compared and
    // freed on two cores, and only the others are kept.
    const auto liveIn = [this](std::size_t slot) { return slot < divs.size() ? divs[slot].get() : nullptr; };
    std::vector<std::uint8_t> kept(done.touched.size());
    inTwoHalves(done.touched.size(), [&done, &kept, &liveIn](std::size_t from, std::size_t to) {
        for (std::size_t at = from; at < to; ++at) {
            auto& [slot, was] = done.touched[at];
            const DivStyle* now = liveIn(slot);
            if (was ? (now && *was == *now) : !now)
                was.reset();
            else
                kept[at] = 1;
        }
    });
    for (std::size_t at = 0; at < kept.size(); ++at) {
        if (!kept[at])
            continue;
        auto& [slot, was] = done.touched[at];
        const DivStyle* now = liveIn(slot);
        content = content || !was || !now || !was->sameContent(*now);
        records.touched.emplace_back(slot, std::move(was));
    }
    if (done.bodyTouched && (done.body ? !(body && *done.body == *body) : body != nullptr)) {
        content = true;
        records.bodyTouched = true;
        records.body = std::move(done.body);
    }
    StyleSheetChange change = describeChange(liveDivs(), done.lastDiv, records.touched, body.get(),
                                             records.bodyTouched, records.body.get());
    StepSide before{done.slotCount, done.lastDiv, {}};
    StepSide after{divs.size(), lastDiv, controlsNow()};
    const bool changed = !records.touched.empty() || records.bodyTouched || before.slotCount != after.slotCount
        || before.lastDiv != after.lastDiv || after.controls != done.controls;
    if (changed) {
        before.controls = *lastStepControls;
        *lastStepControls = after.controls;
        const int at = UndoStack->index();
        contentSteps.resize(static_cast<std::size_t>(at) + 1);
        contentSteps.push_back(contentSteps.back() + (content ? 1 : 0));
        UndoStack->push(
            new WindowStep(*this, done.name, std::move(records), std::move(before), std::move(after), done.merging));
    }
    if (savedThisCommand)
        UndoStack->setClean();
    return change;
}

bool TForm1::stylesheetUnsaved() const
{
    if (!body && lastDiv < 0)
        return false;
    const int clean = UndoStack->cleanIndex();
    const int now = UndoStack->index();
    return clean < 0
        || contentSteps[static_cast<std::size_t>(clean)] != contentSteps[static_cast<std::size_t>(now)];
}

void TForm1::journalSlot(std::size_t slot)
{
    if (!journal || slot < journal->journaledBelow || !journal->journaled.insert(slot).second)
        return;
    const DivStyle* was = slot < divs.size() ? divs[slot].get() : nullptr;
    journal->touched.emplace_back(slot, was ? std::make_unique<DivStyle>(*was) : nullptr);
}

void TForm1::journalReplacedSlots(std::size_t count)
{
    if (!journal || count <= journal->journaledBelow)
        return;
    journal->touched.reserve(journal->touched.size() + count);   // the only step that may throw
    for (std::size_t slot = journal->journaledBelow; slot < count; ++slot)
        if (!journal->journaled.contains(slot))
            journal->touched.emplace_back(slot, slot < divs.size() ? std::move(divs[slot]) : nullptr);
    journal->journaledBelow = count;
}

void TForm1::journalBody()
{
    if (!journal || journal->bodyTouched)
        return;
    journal->bodyTouched = true;
    journal->body = body ? std::make_unique<BodyStyle>(*body) : nullptr;
}

DivStyle& TForm1::changeDiv(std::int32_t number)
{
    journalSlot(static_cast<std::size_t>(number));
    return *divs[static_cast<std::size_t>(number)];
}

BodyStyle& TForm1::changeBody()
{
    journalBody();
    return *body;
}

void TForm1::restore(StepRecords& records, const StepSide& side)
{
    std::size_t size = std::max(divs.size(), side.slotCount);
    for (const auto& [slot, record] : records.touched)
        size = std::max(size, slot + 1);
    divs.resize(size);
    for (auto& [slot, record] : records.touched)
        divs[slot].swap(record);
    divs.resize(side.slotCount);
    if (records.bodyTouched)
        body.swap(records.body);
    const std::int32_t otherLastDiv = std::exchange(lastDiv, side.lastDiv);
    restoreControls(side.controls);
    *lastStepControls = side.controls;
    restoredChange = describeChange(liveDivs(), otherLastDiv, records.touched, body.get(), records.bodyTouched,
                                    records.body.get());
}

ControlsState TForm1::controlsNow() const
{
    ControlsState state;
    state.panel1 = Panel1->Visible();
    state.panel2 = Panel2->Visible();
    state.panel3 = Panel3->Visible();
    state.done = Button3->Enabled();
    keepBoundControls(*this, state);
    state.child = listState(ComboBox3);
    state.parent = listState(ComboBox4);
    state.reopenedDiv = reopenedDiv;
    state.openedFileName = openedFileName;
    return state;
}

void TForm1::restoreControls(const ControlsState& state)
{
    Panel1->setVisible(state.panel1);
    Panel2->setVisible(state.panel2);
    Panel3->setVisible(state.panel3);
    Button3->SetEnabled(state.done);
    restoreBoundControls(*this, state);
    restoreList(ComboBox3, state.child);
    restoreList(ComboBox4, state.parent);
    reopenedDiv = state.reopenedDiv;
    openedFileName = state.openedFileName;
}
