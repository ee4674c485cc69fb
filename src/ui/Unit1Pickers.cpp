// The "..." buttons: they store the chosen colour or picture straight into the record, the
// current div while Panel2 shows, the body while its edit is open. A cancelled dialog, or a
// button with no record to change, changes nothing.

#include "ui/Unit1.h"

#include "ui/ColorText.h"
#include "ui/PanelBindings.h"

void TForm1::Button2Click()
{
    pickValue(bindingOf(&TForm1::Button2));
}

void TForm1::Button1Click()
{
    pickValue(bindingOf(&TForm1::Button1));
}

void TForm1::pickValue(const PanelBinding& binding)
{
    const Property& property = *binding.property;
    if (pickerDiv()) {
        if (const auto value = chosenValue(binding))
            setValue(property, changeDiv(panelsDiv()), *value);
    } else if (pickerBody() && property.body.has()) {
        if (const auto value = chosenValue(binding))
            setValue(property, changeBody(), *value);
    }
}

// The div part needs no open edit: after its "KÉSZ" the div can still be coloured.
DivStyle* TForm1::pickerDiv() const
{
    if (!divStorageExists() || !editingDiv() || lastDiv < 0)
        return nullptr;
    return divs[panelsDiv()].get();
}

BodyStyle* TForm1::pickerBody() const
{
    if (!body || !editOpen() || editingDiv())
        return nullptr;
    return body.get();
}

// A colour, unless the binding's choice asks for a picture.
std::optional<std::string> TForm1::chosenValue(const PanelBinding& binding)
{
    if (!binding.colorChoice || (this->*binding.colorChoice)->Checked()) {
        TColorDialog* dialog = this->*binding.colorDialog;
        if (!dialog->Execute())
            return std::nullopt;
        return ColorText(dialog->Color());
    }
    TOpenPictureDialog* dialog = this->*binding.pictureDialog;
    if (!dialog->Execute())
        return std::nullopt;
    // A line break in the path would break the stylesheet's lines.
    if (dialog->FileName().find_first_of("\n\r") != std::string::npos) {
        ShowMessage("Ez a fájlnév nem kerülhet a stíluslapba");
        return std::nullopt;
    }
    return dialog->FileName();
}
