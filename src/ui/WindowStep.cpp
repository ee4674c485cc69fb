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
    // The nesting lists hold "div0" … in order: only their ends differ between two states;
    // the panels' lists always hold the same entries.
    while (list->ItemCount() > state.entries)
        list->removeItem(list->ItemCount() - 1);
    while (list->ItemCount() < state.entries)
        list->AddItem("div" + std::to_string(list->ItemCount()));
    list->setCurrentIndex(state.index);
    if (list->isEditable())
        list->setEditText(QString::fromStdString(state.text));
}

WindowStep::WindowStep(TForm1& form, const std::string& name, StepRecords records, StepSide before,
                       StepSide after)
    : form(form), records(std::move(records)), before(std::move(before)), after(std::move(after))
{
    setText(QString::fromStdString(name));
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

