// What the window shows of its state beyond the panels: the title with the unsaved mark,
// which controls would act, and what the "..." buttons stored.

#include "ui/Unit1.h"

#include "model/ColorValue.h"
#include "platform/Conversions.h"

#include <filesystem>
#include <algorithm>

namespace {

// The file's name as the title shows it: "[*]" in it is the name's own, not the mark, and
// a control character shows as its picture.
std::string titleName(const std::string& fileName)
{
    std::string name = WithVisibleControls(std::filesystem::path(fileName).filename().string());
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

void TForm1::refreshView(const StyleSheetChange& change)
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
    for (std::size_t at = 0; at < followers.size(); ++at)   // one may leave meanwhile
        followers[at]->follow(change);
}

void TForm1::addFollower(StyleSheetFollower* follower)
{
    followers.push_back(follower);
}

void TForm1::removeFollower(StyleSheetFollower* follower)
{
    std::erase(followers, follower);
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

TForm1::ShownBackground TForm1::shownBackground() const
{
    const Rule rule = panelsRule();
    if (rule.kind == Rule::Kind::Div)
        return {rule, divs[static_cast<std::size_t>(rule.number)]->getBackground()};
    if (rule.kind == Rule::Kind::Body)
        return {rule, body->getBackground()};
    return {rule, {}};
}

void TForm1::showPanelsRule(const ShownBackground& before)
{
    const ShownBackground now = shownBackground();
    if (!editOpen()) {
        if (now.rule.kind == Rule::Kind::Div)
            showValues(*divs[static_cast<std::size_t>(now.rule.number)]);
        else if (now.rule.kind == Rule::Kind::Body)
            showValues(*body);
    }
    const bool newlyShown = now.rule != before.rule || now.background != before.background;
    if (newlyShown && !now.background.empty())
        (isColorText(now.background) ? RadioButton1 : RadioButton2)->setChecked(true);
}
