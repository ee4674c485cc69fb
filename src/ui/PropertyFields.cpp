#include "ui/PropertyFields.h"

#include "model/CssValueText.h"
#include "platform/Controls.h"
#include "platform/Conversions.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "ui/ColorText.h"

#include <algorithm>
#include <charconv>

namespace {

int indexIn(const std::string& text)
{
    int index = -1;
    if (std::from_chars(text.data(), text.data() + text.size(), index).ec != std::errc())
        return -1;
    return index;
}

} // namespace

void PropertyField::typed() const
{
    if (onTyped)
        onTyped();
}

void PropertyField::finished() const
{
    if (onFinished)
        onFinished();
}

std::int32_t PropertyField::numberIn(const TEdit* edit, const std::string& name) const
{
    std::int32_t number = 0;
    try {
        number = StrToInt(edit->Text());
    } catch (const EConvertError& refused) {
        throw EConvertError(name + ": " + refused.Message());
    }
    if (number < row.least)
        throw EConvertError(name + ": legalább " + IntToStr(row.least) + " legyen");
    if (number > row.most)
        throw EConvertError(name + ": legfeljebb " + IntToStr(row.most) + " legyen");
    return number;
}

const std::array<const char*, 4> SidesField::sideNames{"fent", "jobbra", "lent", "balra"};

SidesField::SidesField(const Property& row, std::array<TEdit*, 4> sides) : PropertyField(row), sides(sides)
{
    for (TEdit* side : sides) {
        side->SetOnChange([this] { typed(); });
        side->SetOnExit([this] { finished(); });
    }
}

void SidesField::show(const PropertyValue& value)
{
    const Sides shown = std::get<Sides>(value);
    const std::int32_t each[] = {shown.top, shown.right, shown.bottom, shown.left};
    for (std::size_t side = 0; side < sides.size(); ++side)
        sides[side]->SetText(IntToStr(each[side]));
}

PropertyValue SidesField::value() const
{
    std::array<std::int32_t, 4> each{};
    for (std::size_t side = 0; side < sides.size(); ++side)
        each[side] = numberIn(sides[side], std::string(row.label) + ", " + sideNames[side]);
    return Sides{each[0], each[1], each[2], each[3]};
}

std::vector<std::string> SidesField::texts() const
{
    std::vector<std::string> texts;
    for (const TEdit* side : sides)
        texts.push_back(side->Text());
    return texts;
}

void SidesField::setTexts(const std::vector<std::string>& texts)
{
    for (std::size_t side = 0; side < sides.size() && side < texts.size(); ++side)
        sides[side]->SetText(texts[side]);
}

void SidesField::setEnabled(bool enabled)
{
    for (TEdit* side : sides)
        side->SetEnabled(enabled);
}

BorderField::BorderField(const Property& row, TEdit* width, TComboBox* style, TButton* color, TColorDialog* dialog)
    : PropertyField(row), width(width), style(style), color(color), dialog(dialog)
{
    width->SetOnChange([this] { typed(); });
    width->SetOnExit([this] { finished(); });
    style->SetOnChange([this] {
        typed();
        finished();
    });
    color->SetOnClick([this] {
        if (!this->dialog->Execute())
            return;
        colorText = ColorText(this->dialog->Color());
        showColor();
        typed();
        finished();
    });
}

void BorderField::showColor()
{
    if (colorText.empty())
        color->ShowNothing();
    else
        color->ShowColor(colorText);
}

void BorderField::show(const PropertyValue& value)
{
    const Border& shown = std::get<Border>(value);
    width->SetText(IntToStr(shown.width));
    style->SetItemIndex(shown.style);
    colorText = shown.color;
    showColor();
}

PropertyValue BorderField::value() const
{
    return Border{numberIn(width, std::string(row.label) + ", vastagság"), std::max(0, style->ItemIndex()), colorText};
}

std::vector<std::string> BorderField::texts() const
{
    return {width->Text(), std::to_string(style->ItemIndex()), colorText};
}

void BorderField::setTexts(const std::vector<std::string>& texts)
{
    if (texts.size() < 3)
        return;
    width->SetText(texts[0]);
    style->SetItemIndex(indexIn(texts[1]));
    colorText = texts[2];
    showColor();
}

void BorderField::setEnabled(bool enabled)
{
    width->SetEnabled(enabled);
    style->SetEnabled(enabled);
    color->SetEnabled(enabled);
}

NumberField::NumberField(const Property& row, TEdit* edit) : PropertyField(row), edit(edit)
{
    edit->SetOnChange([this] { typed(); });
    edit->SetOnExit([this] { finished(); });
}

void NumberField::show(const PropertyValue& value)
{
    const std::int32_t number = std::get<std::int32_t>(value);
    edit->SetText(row.kind == ValueKind::Offset && number == unsetOffset ? std::string() : IntToStr(number));
}

PropertyValue NumberField::value() const
{
    if (row.kind == ValueKind::Offset && edit->text().trimmed().isEmpty())
        return unsetOffset;
    return numberIn(edit, row.label);
}

std::vector<std::string> NumberField::texts() const
{
    return {edit->Text()};
}

void NumberField::setTexts(const std::vector<std::string>& texts)
{
    if (!texts.empty())
        edit->SetText(texts.front());
}

void NumberField::setEnabled(bool enabled)
{
    edit->SetEnabled(enabled);
}

ListField::ListField(const Property& row, TComboBox* list, std::vector<std::string> values)
    : PropertyField(row), list(list), values(std::move(values))
{
    list->SetOnChange([this] {
        typed();
        finished();
    });
}

int ListField::entryOf(const std::string& text)
{
    const auto found = std::find(values.begin(), values.end(), text);
    if (found != values.end())
        return static_cast<int>(found - values.begin());
    values.push_back(text);   // a family this machine does not have
    list->AddItem(std::string(familyNamed(text)));
    return static_cast<int>(values.size()) - 1;
}

void ListField::addEntries(const std::vector<std::string>& more, const std::vector<std::string>& captions)
{
    for (std::size_t at = 0; at < more.size(); ++at)
        if (std::find(values.begin(), values.end(), more[at]) == values.end()) {
            values.push_back(more[at]);
            list->AddItem(captions[at]);
        }
}

void ListField::show(const PropertyValue& value)
{
    list->SetItemIndex(entryOf(std::get<std::string>(value)));
}

PropertyValue ListField::value() const
{
    const int entry = list->ItemIndex();
    return entry < 0 ? std::string() : values[static_cast<std::size_t>(entry)];
}

std::vector<std::string> ListField::texts() const
{
    return {std::get<std::string>(value())};
}

void ListField::setTexts(const std::vector<std::string>& texts)
{
    if (!texts.empty())
        list->SetItemIndex(entryOf(texts.front()));
}

void ListField::setEnabled(bool enabled)
{
    list->SetEnabled(enabled);
}

CheckField::CheckField(const Property& row, TCheckBox* box) : PropertyField(row), box(box)
{
    box->SetOnClick([this] {
        typed();
        finished();
    });
}

void CheckField::show(const PropertyValue& value)
{
    box->SetChecked(listPositionOf(row, std::get<std::string>(value)) == 1);
}

PropertyValue CheckField::value() const
{
    return std::string(row.keywords[box->Checked() ? 1 : 0]);
}

std::vector<std::string> CheckField::texts() const
{
    return {box->Checked() ? "1" : "0"};
}

void CheckField::setTexts(const std::vector<std::string>& texts)
{
    if (!texts.empty())
        box->SetChecked(texts.front() == "1");
}

void CheckField::setEnabled(bool enabled)
{
    box->setEnabled(enabled);
}

bool SidesField::holds(const QWidget* control) const
{
    return std::find(sides.begin(), sides.end(), control) != sides.end();
}

bool BorderField::holds(const QWidget* control) const
{
    return control == width || control == style || control == color;
}

bool NumberField::holds(const QWidget* control) const
{
    return control == edit;
}

bool ListField::holds(const QWidget* control) const
{
    return control == list;
}

bool CheckField::holds(const QWidget* control) const
{
    return control == box;
}
