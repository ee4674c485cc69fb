#pragma once

#include "model/Properties.h"
#include "model/Rule.h"
#include "platform/Events.h"

#include <QDockWidget>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class BoxDiagram;
class ListField;
class PropertyField;
class TColorDialog;

// "Tulajdonságok": the box's values in a dock on the right of the window, beside the rules:
// margin, border and padding in a box-model diagram, and rows for the rest. It shows and
// holds the values of the rule the panels stand for; what it does with them is the window's.
class PropertiesDock : public QDockWidget
{
public:
    explicit PropertiesDock(QWidget* parent);
    ~PropertiesDock() override;

    // The record's values into the controls, for the properties its kind of rule has.
    void showValues(const DivStyle& div);
    void showValues(const BodyStyle& body);
    // The controls' values into the record; a text that is no number throws, naming its field.
    void storeValues(DivStyle& div) const;
    void storeValues(BodyStyle& body) const;
    // The same where the text is a number; the rest keeps the record's value (the preview).
    void layTypedValuesOver(DivStyle& div) const;
    void layTypedValuesOver(BodyStyle& body) const;
    // One property's value into its controls, as if typed.
    void showValue(const Property& property, const PropertyValue& value);
    // One property's value, as the controls hold it; throws as storeValues does.
    PropertyValue valueOf(const Property& property) const;

    // Only the properties a rule of that kind has can be changed; none for no rule.
    void enableFor(Rule::Kind kind);
    // What the controls hold as texts, for an undo step and the recovery file, and back.
    std::vector<std::string> texts() const;
    void setTexts(const std::vector<std::string>& texts);

    // The person typed or chose; and a property's change is whole.
    void onTyped(TNotifyEvent handler);
    void onFinished(std::function<void(const Property&)> handler);

    BoxDiagram* diagram() const { return box; }
    TColorDialog* borderColorDialog() const { return colorDialog; }
    static constexpr int designedWidth = 310;

protected:
    // The machine's font families are looked up when the dock first shows.
    void showEvent(QShowEvent* event) override;

private:
    template <typename Record>
    void showRecord(const Record& record);
    template <typename Record>
    void storeRecord(Record& record, bool typedOnly) const;
    void build();

    BoxDiagram* box = nullptr;
    ListField* familyField = nullptr;
    TColorDialog* colorDialog = nullptr;
    std::vector<std::unique_ptr<PropertyField>> fields;   // in the property table's order
    TNotifyEvent typed;
    std::function<void(const Property&)> finished;
};
