#pragma once

#include "model/Properties.h"

#include <array>
#include <cstdint>
#include <functional>

struct ControlsState;
class TButton;
class TColorDialog;
class TComboBox;
class TEdit;
class TForm1;
class TOpenPictureDialog;
class TRadioButton;

// Which control of the two editing panels shows and stores which property: the one table
// that "Új Div", "KÉSZ", the "..." pickers, a rule opened again, which controls are enabled,
// the preview's typed values and the undo step's controls all go through. Each row has one
// control: an edit, a list or a picker.
struct PanelBinding {
    const Property* property = nullptr;
    TEdit* TForm1::*edit = nullptr;        // a number, typed
    TComboBox* TForm1::*list = nullptr;    // a keyword, chosen by its place in the list
    TButton* TForm1::*picker = nullptr;    // "...": chosen in a dialog, stored at once, shown on it
    TColorDialog* TForm1::*colorDialog = nullptr;
    // A colour or a picture: the choice of which the picker asks for, and the picture's dialog.
    TRadioButton* TForm1::*colorChoice = nullptr;
    TRadioButton* TForm1::*pictureChoice = nullptr;
    TOpenPictureDialog* TForm1::*pictureDialog = nullptr;
};

// In the property table's order, which is the order "KÉSZ" stores in: a text that is no
// number stops it there.
extern const std::array<PanelBinding, 7> panelBindings;

// The row of the control; of the property.
const PanelBinding& bindingOf(TButton* TForm1::*picker);
const PanelBinding& bindingOf(const Property& property);

// The window's uses of the table. A record's values into the editing panels' controls; the
// typed values into the record ("KÉSZ": a text that is no number throws, naming its field);
// and the typed values laid over a copy, where a text that is no number leaves the stored
// value (the preview).
void showValues(TForm1& form, const DivStyle& div);
void showValues(TForm1& form, const BodyStyle& body);
void storeValues(const TForm1& form, DivStyle& div);
void storeValues(const TForm1& form, BodyStyle& body);
void layTypedValuesOver(const TForm1& form, DivStyle& div);
void layTypedValuesOver(const TForm1& form, BodyStyle& body);
// The bound edits and lists are enabled while `typing`, the pickers while `picking`.
void enableBoundControls(TForm1& form, bool typing, bool picking);
// Every bound edit and list tells `typed` when the person types or chooses.
void onBoundTyping(TForm1& form, const std::function<void()>& typed);
// The first edit a rule of that kind has: where a person types first.
TEdit* firstField(const TForm1& form, bool forBody);
// As if typed into the property's edit, on the panels or in the dock.
void typeNumber(TForm1& form, const Property& property, std::int32_t number);
// What the bound controls hold, into an undo step's state and back.
void keepBoundControls(const TForm1& form, ControlsState& state);
void restoreBoundControls(TForm1& form, const ControlsState& state);
