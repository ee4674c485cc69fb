#include "ui/WindowStep.h"

#include "platform/Events.h"
#include "ui/Unit1.h"

// The entry as the commands read it: a list one types into counts its text, not where Qt
// left its index (which moves to a typed entry when the list loses the focus).
ControlsState::List listState(const TComboBox* list)
{
    return {list->ItemIndex(), list->currentText().toStdString(), list->ItemCount()};
}

void restoreList(TComboBox* list, const ControlsState::List& state)
{
    // Only the nesting lists' entries ever differ between two states: "div0" … in order.
    if (list->ItemCount() != state.entries)
        list->SetItemCount(state.entries);
    list->setCurrentIndex(state.index);
    if (list->isEditable())
        list->setEditText(QString::fromStdString(state.text));
}

WindowStep::WindowStep(TForm1& form, const std::string& name, StepRecords records, StepSide before,
                       StepSide after, StepMerging merging)
    : form(form), records(std::move(records)), before(std::move(before)), after(std::move(after)), merging(merging)
{
    setText(QString::fromStdString(name));
}

bool WindowStep::mergeWith(const QUndoCommand* later)
{
    constexpr auto soon = std::chrono::seconds(1);
    const auto* next = static_cast<const WindowStep*>(later);   // the same id: a window step
    const auto now = std::chrono::steady_clock::now();
    const auto oneDiv = [](const StepRecords& step) { return step.touched.size() == 1 && !step.bodyTouched; };
    if (now - lastMerged > soon || !oneDiv(records) || !oneDiv(next->records)
        || records.touched[0].first != next->records.touched[0].first || after.slotCount != next->before.slotCount)
        return false;
    // This step keeps the div from before its first press; the window has it after the last.
    after = next->after;
    lastMerged = now;
    return true;
}

void WindowStep::undo()
{
    RunGuarded([this] { form.restore(records, before); });
}

void WindowStep::redo()
{
    if (!std::exchange(pushed, true))
        return;
    RunGuarded([this] { form.restore(records, after); });
}

