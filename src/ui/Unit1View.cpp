// What the window shows of its state beyond the panels: the title with the unsaved mark,
// which controls would act, and what the "..." buttons stored.

#include "ui/Unit1.h"

#include "model/ColorValue.h"
#include "platform/Conversions.h"
#include "ui/PanelBindings.h"
#include "ui/PropertiesDock.h"

#include <QApplication>

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
    enableBoundControls(*this, editOpen(), pickerDiv() || pickerBody());
    Properties->enableFor(panelsRule().kind);
    // Which rule the panels stand for, at the foot and for a screen reader.
    const Rule rule = panelsRule();
    const std::string editing = rule.kind == Rule::Kind::None ? std::string() : "Szerkesztés: " + ruleName(rule);
    SetStatusPlace(editing);
    for (TPanel* panel : {Panel1, Panel2, Panel3})
        panel->setAccessibleDescription(QString::fromStdString(editing));
    followEditFocus();
    Ments1->SetEnabled(divStorageExists());
    Divtrlse1->SetEnabled(panelsRule().kind == Rule::Kind::Div && !editOpen());

    showStoredValues();
    for (std::size_t at = 0; at < followers.size(); ++at)   // one may leave meanwhile
        followers[at]->follow(change);
}

// Opening a rule puts the focus where a person types first; closing its edit gives the focus
// back to where it was before, or to the window.
void TForm1::followEditFocus()
{
    const bool open = editOpen();
    if (std::exchange(editWasOpen, open) == open)
        return;
    if (open) {
        focusBeforeEdit = QApplication::focusWidget();
        const Rule rule = panelsRule();
        if (TEdit* first = rule.kind == Rule::Kind::None ? nullptr : firstField(*this, rule.kind == Rule::Kind::Body))
            first->SetFocus();
    } else if (focusBeforeEdit && focusBeforeEdit->isVisible() && focusBeforeEdit->isEnabled()) {
        focusBeforeEdit->setFocus(Qt::OtherFocusReason);
    } else {
        setFocus(Qt::OtherFocusReason);
    }
}

void TForm1::addFollower(StyleSheetFollower* follower)
{
    followers.push_back(follower);
}

void TForm1::removeFollower(StyleSheetFollower* follower)
{
    std::erase(followers, follower);
}

namespace {

// The text a picker shows of the property it stores: the div's while there is one, else the
// body's when it has that property; none otherwise.
const std::string* storedText(const PanelBinding& binding, const DivStyle* div, const BodyStyle* body)
{
    const Property& row = *binding.property;
    if (div && row.div.text)
        return &(div->*row.div.text)();
    if (body && row.body.text)
        return &(body->*row.body.text)();
    return nullptr;
}

} // namespace

// For the record Panel1 stands for: the current div while Panel2 shows, otherwise the body.
void TForm1::showStoredValues()
{
    const DivStyle* div = editingDiv() && lastDiv >= 0 ? divs[panelsDiv()].get() : nullptr;
    const BodyStyle* shownBody = editingDiv() ? nullptr : body.get();
    for (const PanelBinding& binding : panelBindings)
        if (binding.picker)
            showValue(this->*binding.picker, storedText(binding, div, shownBody));
}

// What the panels' rule holds of the property whose picker asks for a colour or a picture.
TForm1::ShownChoice TForm1::shownChoice() const
{
    const Rule rule = panelsRule();
    for (const PanelBinding& binding : panelBindings)
        if (binding.colorChoice) {
            const DivStyle* div = rule.kind == Rule::Kind::Div ? &records.div(rule.number) : nullptr;
            const BodyStyle* ruleBody = rule.kind == Rule::Kind::Body ? body.get() : nullptr;
            const std::string* text = storedText(binding, div, ruleBody);
            return {rule, text ? *text : std::string(), &binding};
        }
    return {rule, {}, nullptr};
}

void TForm1::showPanelsRule(const ShownChoice& before)
{
    const ShownChoice now = shownChoice();
    if (!editOpen()) {
        if (now.rule.kind == Rule::Kind::Div)
            showValues(*this, records.div(now.rule.number));
        else if (now.rule.kind == Rule::Kind::Body)
            showValues(*this, *body);
    }
    const bool newlyShown = now.rule != before.rule || now.value != before.value;
    if (newlyShown && !now.value.empty() && now.binding)
        (isColorText(now.value) ? this->*now.binding->colorChoice : this->*now.binding->pictureChoice)->setChecked(true);
}
