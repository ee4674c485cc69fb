// The editing panels' controls and the record fields they show and store, and the window's
// uses of that table.

#include "ui/PanelBindings.h"

#include "platform/Conversions.h"
#include "platform/Exception.h"
#include "ui/Unit1.h"

#include <algorithm>
#include <optional>

const NumberBinding numberBindings[] = {
    {&TForm1::Edit1, "Szélesség", &DivStyle::getWidth, &DivStyle::setWidth},
    {&TForm1::Edit2, "Magasság", &DivStyle::getHeight, &DivStyle::setHeight},
    {&TForm1::Edit3, "Betüméret", &DivStyle::getFontSize, &DivStyle::setFontSize, &BodyStyle::getFontSize,
     &BodyStyle::setFontSize},
};

const ListBinding listBindings[] = {
    {&TForm1::ComboBox1, &DivStyle::getFloat, &DivStyle::setFloat, DivStyle::floatKeywords},
    {&TForm1::ComboBox2, &DivStyle::getPosition, &DivStyle::setPosition, DivStyle::positionKeywords},
};

namespace {

// A text that is no number is reported with the label of its field.
std::int32_t numberIn(const TEdit* edit, const char* label)
{
    try {
        return StrToInt(edit->Text());
    } catch (const EConvertError& refused) {
        throw EConvertError(std::string(label) + ": " + refused.Message());
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

int listPositionOf(std::span<const std::string_view> keywords, const std::string& keyword)
{
    const auto found = std::find(keywords.begin(), keywords.end(), keyword);
    return found == keywords.end() ? -1 : static_cast<int>(found - keywords.begin());
}

} // namespace

void TForm1::showValues(const DivStyle& div)
{
    for (const NumberBinding& row : numberBindings)
        (this->*row.edit)->SetText(IntToStr((div.*row.divValue)()));
    for (const ListBinding& row : listBindings)
        (this->*row.list)->SetItemIndex(listPositionOf(row.keywords, (div.*row.divValue)()));
}

void TForm1::showValues(const BodyStyle& rule)
{
    for (const NumberBinding& row : numberBindings)
        if (row.bodyValue)
            (this->*row.edit)->SetText(IntToStr((rule.*row.bodyValue)()));
}

void TForm1::storeValues(DivStyle& div) const
{
    for (const NumberBinding& row : numberBindings)
        (div.*row.setDivValue)(numberIn(this->*row.edit, row.label));
    for (const ListBinding& row : listBindings)
        (div.*row.setDivValue)((this->*row.list)->ItemIndex());
}

void TForm1::storeValues(BodyStyle& rule) const
{
    for (const NumberBinding& row : numberBindings)
        if (row.setBodyValue)
            (rule.*row.setBodyValue)(numberIn(this->*row.edit, row.label));
}

void TForm1::layTypedValuesOver(DivStyle& div) const
{
    for (const NumberBinding& row : numberBindings)
        if (const auto typed = typedNumber(this->*row.edit))
            (div.*row.setDivValue)(*typed);
    for (const ListBinding& row : listBindings)
        (div.*row.setDivValue)((this->*row.list)->ItemIndex());
}

void TForm1::layTypedValuesOver(BodyStyle& rule) const
{
    for (const NumberBinding& row : numberBindings)
        if (const auto typed = typedNumber(this->*row.edit); typed && row.setBodyValue)
            (rule.*row.setBodyValue)(*typed);
}
