// The editing panels' controls and the properties they show and store, and the window's
// uses of that table.

#include "ui/PanelBindings.h"

#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "ui/PropertiesDock.h"
#include "ui/Unit1.h"
#include "ui/WindowStep.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

const std::array<PanelBinding, 7> panelBindings{{
    {.property = &propertyNamed("width"), .edit = &TForm1::Edit1},
    {.property = &propertyNamed("height"), .edit = &TForm1::Edit2},
    {.property = &propertyNamed("background"), .picker = &TForm1::Button2, .colorDialog = &TForm1::ColorDialog1,
     .colorChoice = &TForm1::RadioButton1, .pictureChoice = &TForm1::RadioButton2,
     .pictureDialog = &TForm1::OpenPictureDialog1},
    {.property = &propertyNamed("font-size"), .edit = &TForm1::Edit3},
    {.property = &propertyNamed("font-color"), .picker = &TForm1::Button1, .colorDialog = &TForm1::ColorDialog2},
    {.property = &propertyNamed("float"), .list = &TForm1::ComboBox1},
    {.property = &propertyNamed("position"), .list = &TForm1::ComboBox2},
}};

const PanelBinding& bindingOf(TButton* TForm1::*picker)
{
    for (const PanelBinding& binding : panelBindings)
        if (binding.picker == picker)
            return binding;
    throw std::logic_error("a picker without a binding");
}

const PanelBinding& bindingOf(const Property& property)
{
    for (const PanelBinding& binding : panelBindings)
        if (binding.property == &property)
            return binding;
    throw std::logic_error("a property without a binding");
}

namespace {

// A text that is no number is reported with the label of its field.
std::int32_t numberIn(const TEdit* edit, const Property& property)
{
    try {
        return StrToInt(edit->Text());
    } catch (const EConvertError& refused) {
        throw EConvertError(property.label + (": " + refused.Message()));
    }
}

// While it is being typed, a text that is no number leaves the stored value.
std::optional<std::int32_t> typedNumber(const TEdit* edit)
{
    try {
        return StrToInt(edit->Text());
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

template <typename Record>
void showIn(TForm1& form, const Record& record)
{
    for (const PanelBinding& binding : panelBindings) {
        const Property& row = *binding.property;
        const Holder<Record>& holder = row.in<Record>();
        if (binding.edit && holder.number)
            (form.*binding.edit)->SetText(IntToStr((record.*holder.number)()));
        else if (binding.list && holder.text)
            (form.*binding.list)->SetItemIndex(listPositionOf(row, (record.*holder.text)()));
    }
}

// "KÉSZ": each edit's text is converted just before it is stored, and one that is no number
// throws, naming its field.
template <typename Record>
void storeFrom(const TForm1& form, Record& record)
{
    for (const PanelBinding& binding : panelBindings) {
        const Holder<Record>& holder = binding.property->in<Record>();
        if (binding.edit && holder.setNumber)
            (record.*holder.setNumber)(numberIn(form.*binding.edit, *binding.property));
        else if (binding.list && holder.setListPosition)
            (record.*holder.setListPosition)((form.*binding.list)->ItemIndex());
    }
}

template <typename Record>
void layTypedOver(const TForm1& form, Record& record)
{
    for (const PanelBinding& binding : panelBindings) {
        const Holder<Record>& holder = binding.property->in<Record>();
        if (binding.edit && holder.setNumber) {
            if (const auto typed = typedNumber(form.*binding.edit))
                (record.*holder.setNumber)(*typed);
        } else if (binding.list && holder.setListPosition) {
            (record.*holder.setListPosition)((form.*binding.list)->ItemIndex());
        }
    }
}


// The dock's values come after the panels'.
template <typename Record>
void showEverywhere(TForm1& form, const Record& record)
{
    showIn(form, record);
    form.Properties->showValues(record);
}

template <typename Record>
void storeEverywhere(const TForm1& form, Record& record)
{
    storeFrom(form, record);
    form.Properties->storeValues(record);
}

template <typename Record>
void layTypedEverywhere(const TForm1& form, Record& record)
{
    layTypedOver(form, record);
    form.Properties->layTypedValuesOver(record);
}

} // namespace

void showValues(TForm1& form, const DivStyle& div) { showEverywhere(form, div); }
void showValues(TForm1& form, const BodyStyle& body) { showEverywhere(form, body); }
void storeValues(const TForm1& form, DivStyle& div) { storeEverywhere(form, div); }
void storeValues(const TForm1& form, BodyStyle& body) { storeEverywhere(form, body); }
void layTypedValuesOver(const TForm1& form, DivStyle& div) { layTypedEverywhere(form, div); }
void layTypedValuesOver(const TForm1& form, BodyStyle& body) { layTypedEverywhere(form, body); }

void enableBoundControls(TForm1& form, bool typing, bool picking)
{
    for (const PanelBinding& binding : panelBindings) {
        if (binding.edit)
            (form.*binding.edit)->SetEnabled(typing);
        if (binding.list)
            (form.*binding.list)->SetEnabled(typing);
        if (binding.picker)
            (form.*binding.picker)->SetEnabled(picking);
        if (binding.colorChoice) {   // what the picker would choose: out of the Tab chain with it
            (form.*binding.colorChoice)->setEnabled(picking);
            (form.*binding.pictureChoice)->setEnabled(picking);
        }
    }
}

void onBoundTyping(TForm1& form, const std::function<void()>& typed)
{
    for (const PanelBinding& binding : panelBindings) {
        if (binding.edit)
            (form.*binding.edit)->SetOnChange(typed);
        if (binding.list)
            (form.*binding.list)->SetOnChange(typed);
    }
}

TEdit* firstField(const TForm1& form, bool forBody)
{
    for (const PanelBinding& binding : panelBindings)
        if (binding.edit && (forBody ? binding.property->body.has() : binding.property->div.has()))
            return form.*binding.edit;
    return nullptr;
}

void typeNumber(TForm1& form, const Property& property, std::int32_t number)
{
    const auto bound = std::ranges::find(panelBindings, &property, &PanelBinding::property);
    if (bound != panelBindings.end())
        (form.*bound->edit)->SetText(IntToStr(number));
    else
        form.Properties->showValue(property, number);
}

void keepBoundControls(const TForm1& form, ControlsState& state)
{
    for (const PanelBinding& binding : panelBindings) {
        if (binding.edit)
            state.edits.push_back((form.*binding.edit)->Text());
        if (binding.list)
            state.lists.push_back(listState(form.*binding.list));
        if (binding.colorChoice)
            state.colour = (form.*binding.colorChoice)->Checked();
    }
    state.dock = form.Properties->texts();
}

void restoreBoundControls(TForm1& form, const ControlsState& state)
{
    std::size_t edit = 0, list = 0;
    for (const PanelBinding& binding : panelBindings) {
        if (binding.edit && edit < state.edits.size())
            (form.*binding.edit)->SetText(state.edits[edit++]);
        if (binding.list && list < state.lists.size())
            restoreList(form.*binding.list, state.lists[list++]);
        if (binding.colorChoice)
            (state.colour ? form.*binding.colorChoice : form.*binding.pictureChoice)->setChecked(true);
    }
    if (!state.dock.empty())
        form.Properties->setTexts(state.dock);
}
