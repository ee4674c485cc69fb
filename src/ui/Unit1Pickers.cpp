// The "..." buttons: they store the chosen colour or picture straight into the record, the
// current div while Panel2 shows, the body while its edit is open. A cancelled dialog, or a
// button with no record to change, changes nothing.

#include "ui/Unit1.h"

#include "ui/ColorText.h"

void TForm1::Button2Click()
{
    if (pickerDiv()) {
        if (const auto background = chooseBackground())
            changeDiv(panelsDiv()).setBackground(*background);
    } else if (pickerBody()) {
        if (const auto background = chooseBackground())
            changeBody().setBackground(*background);
    }
}

void TForm1::Button1Click()
{
    if (pickerDiv()) {
        if (const auto color = chooseFontColor())
            changeDiv(panelsDiv()).setFontColor(*color);
    } else if (pickerBody()) {
        if (const auto color = chooseFontColor())
            changeBody().setFontColor(*color);
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

std::optional<std::string> TForm1::chooseBackground()
{
    if (RadioButton1->Checked()) {
        if (!ColorDialog1->Execute())
            return std::nullopt;
        return ColorText(ColorDialog1->Color());
    }
    if (!OpenPictureDialog1->Execute())
        return std::nullopt;
    // A line break in the path would break the stylesheet's lines.
    if (OpenPictureDialog1->FileName().find_first_of("\n\r") != std::string::npos) {
        ShowMessage("Ez a fájlnév nem kerülhet a stíluslapba");
        return std::nullopt;
    }
    return OpenPictureDialog1->FileName();
}

std::optional<std::string> TForm1::chooseFontColor()
{
    if (!ColorDialog2->Execute())
        return std::nullopt;
    return ColorText(ColorDialog2->Color());
}
