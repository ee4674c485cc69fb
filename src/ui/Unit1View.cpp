// What the window shows of its state beyond the panels: the title with the unsaved mark,
// which controls would act, and what the "..." buttons stored.

#include "ui/Unit1.h"

#include "model/ColorValue.h"
#include "recovery/RecoveryKeeper.h"
#include "ui/RulesModel.h"
#include "ui/RulesPanel.h"

#include <filesystem>
#include <utility>

namespace {

// The file's name as the title shows it: "[*]" in it is the name's own, not the mark.
std::string titleName(const std::string& fileName)
{
    std::string name = std::filesystem::path(fileName).filename().string();
    for (std::size_t at = name.find("[*]"); at != std::string::npos; at = name.find("[*]", at + 6))
        name.replace(at, 3, "[*][*]");
    return name;
}

void showValue(TButton* button, const std::string* value)
{
    if (!value || value->empty())
        button->ShowNothing();
    else if (isColorText(*value))
        button->ShowColor(*value);
    else
        button->ShowPicture(*value);
}

} // namespace

void TForm1::refreshView()
{
    const std::string program = "Prizmo";
    SetCaption(openedFileName.empty()
                   ? program + "[*]"
                   : titleName(openedFileName) + "[*] – " + program);
    SetModified(stylesheetUnsaved());

    // A control is enabled exactly when using it would act.
    const bool pickerActs = pickerDiv() || pickerBody();
    Button1->SetEnabled(pickerActs);
    Button2->SetEnabled(pickerActs);
    for (TEdit* edit : {Edit1, Edit2, Edit3})
        edit->SetEnabled(editOpen());
    for (TComboBox* list : {ComboBox1, ComboBox2})
        list->SetEnabled(editOpen());
    Ments1->SetEnabled(divStorageExists());
    Divtrlse1->SetEnabled(panelsRule().kind == Rule::Kind::Div && !editOpen());

    showStoredValues();
    if (Preview)
        followPreview();
    if (Recovery)
        Recovery->changed(stylesheetUnsaved());
    const bool restructured = std::exchange(rulesRestructured, false);
    const std::vector<Rule> shownAgain = std::exchange(rulesShownAgain, {});
    if (!Rules)
        return;
    Rules->follow(restructured, panelsRule());
    if (!restructured)   // a tree built anew shows every value already
        for (const Rule& rule : shownAgain)
            Rules->rules()->showAgain(rule);
}

// For the record Panel1 stands for: the current div while Panel2 shows, otherwise the body.
void TForm1::showStoredValues()
{
    const std::string* background = nullptr;
    const std::string* fontColor = nullptr;
    if (editingDiv() && lastDiv >= 0) {
        background = &divs[panelsDiv()]->getBackground();
        fontColor = &divs[panelsDiv()]->getFontColor();
    } else if (!editingDiv() && body) {
        background = &body->getBackground();
        fontColor = &body->getFontColor();
    }
    showValue(Button2, background);
    showValue(Button1, fontColor);
}
