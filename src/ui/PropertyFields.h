#pragma once

#include "model/Properties.h"
#include "platform/Events.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class TButton;
class TColorDialog;
class TComboBox;
class TEdit;
class TCheckBox;

// One property's controls in the "Tulajdonságok" dock: what they show of a value, the value
// they hold, and that as texts, which an undo step and the recovery file keep.
class PropertyField
{
public:
    explicit PropertyField(const Property& row) : row(row) {}
    virtual ~PropertyField() = default;
    PropertyField(const PropertyField&) = delete;
    PropertyField& operator=(const PropertyField&) = delete;

    const Property& property() const { return row; }

    virtual void show(const PropertyValue& value) = 0;
    // What the controls hold. A text that is no number the property takes throws
    // EConvertError, naming its field.
    virtual PropertyValue value() const = 0;
    virtual std::vector<std::string> texts() const = 0;
    virtual void setTexts(const std::vector<std::string>& texts) = 0;   // as many as texts() gives
    virtual void setEnabled(bool enabled) = 0;
    // Whether the control is one of the field's.
    virtual bool holds(const QWidget* control) const = 0;

    // The person typed or chose something; and a change is whole (Return or the focus gone
    // from an edit, an entry chosen, a colour confirmed, a box ticked).
    TNotifyEvent onTyped;
    TNotifyEvent onFinished;

protected:
    void typed() const;
    void finished() const;
    // A whole number of the property's range in `edit`, named `name` when it is none; an
    // empty text is `empty` where that is given.
    std::int32_t numberIn(const TEdit* edit, const std::string& name) const;

    const Property& row;
};

// A margin's or a padding's sides, each an edit.
class SidesField : public PropertyField
{
public:
    SidesField(const Property& row, std::array<TEdit*, 4> sides);
    void show(const PropertyValue& value) override;
    PropertyValue value() const override;
    std::vector<std::string> texts() const override;
    void setTexts(const std::vector<std::string>& texts) override;
    void setEnabled(bool enabled) override;
    bool holds(const QWidget* control) const override;

    // The side names a screen reader says after the property's: "Külső margó, fent".
    static const std::array<const char*, 4> sideNames;

private:
    std::array<TEdit*, 4> sides;
};

// A border: its width typed, its style chosen from a list, its colour in the colour dialog.
class BorderField : public PropertyField
{
public:
    BorderField(const Property& row, TEdit* width, TComboBox* style, TButton* color, TColorDialog* dialog);
    void show(const PropertyValue& value) override;
    PropertyValue value() const override;
    std::vector<std::string> texts() const override;
    void setTexts(const std::vector<std::string>& texts) override;
    void setEnabled(bool enabled) override;
    bool holds(const QWidget* control) const override;

private:
    void showColor();
    TEdit* width;
    TComboBox* style;
    TButton* color;
    TColorDialog* dialog;
    std::string colorText;   // empty: none chosen
};

// A whole number: px, an offset (an empty text unsets it) or a percentage.
class NumberField : public PropertyField
{
public:
    NumberField(const Property& row, TEdit* edit);
    void show(const PropertyValue& value) override;
    PropertyValue value() const override;
    std::vector<std::string> texts() const override;
    void setTexts(const std::vector<std::string>& texts) override;
    void setEnabled(bool enabled) override;
    bool holds(const QWidget* control) const override;

private:
    TEdit* edit;
};

// A keyword of the property's list, or a font family from the families offered.
class ListField : public PropertyField
{
public:
    // For a font family, `values` are its texts as written, one an entry; for a keyword, its
    // keywords.
    ListField(const Property& row, TComboBox* list, std::vector<std::string> values);
    void show(const PropertyValue& value) override;
    PropertyValue value() const override;
    std::vector<std::string> texts() const override;
    void setTexts(const std::vector<std::string>& texts) override;
    void setEnabled(bool enabled) override;
    bool holds(const QWidget* control) const override;

    // More entries, after the others; a value listed already is not listed again.
    void addEntries(const std::vector<std::string>& more, const std::vector<std::string>& captions);

private:
    // The entry of the text; one is added for a text the list does not have.
    int entryOf(const std::string& text);
    TComboBox* list;
    std::vector<std::string> values;
};

// A keyword of two, ticked for the second: "Félkövér".
class CheckField : public PropertyField
{
public:
    CheckField(const Property& row, TCheckBox* box);
    void show(const PropertyValue& value) override;
    PropertyValue value() const override;
    std::vector<std::string> texts() const override;
    void setTexts(const std::vector<std::string>& texts) override;
    void setEnabled(bool enabled) override;
    bool holds(const QWidget* control) const override;

private:
    TCheckBox* box;
};
