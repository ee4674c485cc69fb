#include "ui/PropertiesDock.h"

#include "model/CssValueText.h"
#include "platform/Controls.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "ui/BoxDiagram.h"
#include "ui/PropertyFields.h"

#include <QFontDatabase>
#include <QFormLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Which control each property of the box has in the dock, in the property table's order;
// the rest of a row's label and its Alt letter, which no menu and no panel label has.
enum class Control { MarginRing, PaddingRing, Border, Edit, List, Check };
struct DockRow {
    const Property* property;
    Control control;
    const char* name;
    char accessKey = 0;
    const char* tip = nullptr;
};

const DockRow dockRows[] = {
    {&propertyNamed("margin"), Control::MarginRing, "Margin"},
    {&propertyNamed("padding"), Control::PaddingRing, "Padding"},
    {&propertyNamed("border"), Control::Border, "BorderStyle", 'K'},
    {&propertyNamed("border-radius"), Control::Edit, "BorderRadius", 'L', "px"},
    {&propertyNamed("top"), Control::Edit, "Top", 'e', "px; üresen nincs eltolás"},
    {&propertyNamed("left"), Control::Edit, "Left", 'a', "px; üresen nincs eltolás"},
    {&propertyNamed("text-align"), Control::List, "TextAlign", 'v'},
    {&propertyNamed("font-family"), Control::List, "FontFamily", 'u'},
    {&propertyNamed("font-weight"), Control::Check, "FontWeight"},
    {&propertyNamed("opacity"), Control::Edit, "Opacity", 'g', "0–100 %"},
};

// The generic family a browser falls back to for an installed one.
std::string_view genericFor(const QString& family)
{
    if (QFontDatabase::isFixedPitch(family))
        return "monospace";
    if (family.contains(QLatin1String("Serif")) && !family.contains(QLatin1String("Sans")))
        return "serif";
    return "sans-serif";
}

// "alapértelmezett" (none) and the generic families.
std::pair<std::vector<std::string>, std::vector<std::string>> genericFamilyEntries()
{
    std::vector<std::string> values{""}, captions{"alapértelmezett"};
    for (const std::string_view generic : genericFamilies) {
        values.emplace_back(generic);
        captions.emplace_back(generic);
    }
    return {values, captions};
}

// The machine's families, each with the generic one a browser falls back to.
std::pair<std::vector<std::string>, std::vector<std::string>> installedFamilies()
{
    std::vector<std::string> values, captions;
    for (const QString& family : QFontDatabase::families()) {
        const std::string name = family.toStdString();
        if (QFontDatabase::isPrivateFamily(family) || !isPlainFamilyName(name) || isGenericFamily(name))
            continue;
        values.push_back(fontFamilyText(name, genericFor(family)));
        captions.push_back(name);
    }
    return {values, captions};
}

QString text(std::string_view view)
{
    return QString::fromUtf8(view.data(), static_cast<qsizetype>(view.size()));
}

} // namespace

PropertiesDock::PropertiesDock(QWidget* parent) : QDockWidget(QStringLiteral("Tulajdonságok"), parent)
{
    setObjectName(QStringLiteral("PropertiesPanel"));
    // Shown and hidden from the menu only, always on the right: the designed controls keep
    // their places.
    setFeatures(QDockWidget::NoDockWidgetFeatures);
    setMinimumWidth(designedWidth);
    build();
}

// The controls go while the fields they tell are still there: an edit that loses the focus
// as it goes says so.
PropertiesDock::~PropertiesDock()
{
    delete widget();
}

void PropertiesDock::build()
{
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);   // Tab goes to the values, the arrows to the numbers
    scroll->setAccessibleName(QStringLiteral("Tulajdonságok"));
    auto* inside = new QWidget(scroll);
    auto* stack = new QVBoxLayout(inside);
    box = new BoxDiagram(inside);
    stack->addWidget(box);
    auto* rows = new QFormLayout();
    stack->addLayout(rows);
    stack->addStretch();
    colorDialog = new TColorDialog(this, "BorderColorDialog");

    const auto labelled = [&](const DockRow& row, const char* caption, QWidget* control, char accessKey) {
        auto* label = new TLabel(inside, (std::string(row.name) + "Label").c_str(), caption);
        label->setBuddy(control);
        if (accessKey)
            label->SetAccessKey(accessKey);
        control->setAccessibleName(QString::fromUtf8(caption));
        rows->addRow(label, control);
    };
    for (const DockRow& row : dockRows) {
        const Property& property = *row.property;
        switch (row.control) {
        case Control::MarginRing:
            fields.push_back(std::make_unique<SidesField>(property, box->margin()));
            break;
        case Control::PaddingRing:
            fields.push_back(std::make_unique<SidesField>(property, box->padding()));
            break;
        case Control::Border: {
            auto* style = new TComboBox(inside, row.name, TComboBoxStyle::csDropDownList);
            for (const std::string_view caption : property.captions)
                style->addItem(text(caption));
            auto* color = new TButton(inside, "BorderColor", "...");
            labelled(row, "Keret stílusa", style, row.accessKey);
            labelled(row, "Keret színe", color, 'r');
            color->setAccessibleName(QStringLiteral("Keret színe"));
            fields.push_back(std::make_unique<BorderField>(property, box->borderWidth(), style, color, colorDialog));
            break;
        }
        case Control::Edit: {
            auto* edit = new TEdit(inside, row.name, "");
            edit->setToolTip(QString::fromUtf8(row.tip));
            labelled(row, property.label, edit, row.accessKey);
            fields.push_back(std::make_unique<NumberField>(property, edit));
            break;
        }
        case Control::List: {
            auto* list = new TComboBox(inside, row.name, TComboBoxStyle::csDropDownList);
            std::vector<std::string> values;
            if (property.kind == ValueKind::FontFamily) {
                auto [families, captions] = genericFamilyEntries();
                for (const std::string& caption : captions)
                    list->AddItem(caption);
                values = std::move(families);
            } else {
                for (std::size_t at = 0; at < property.keywords.size(); ++at) {
                    list->addItem(text(property.captions[at]));
                    values.emplace_back(property.keywords[at]);
                }
            }
            labelled(row, property.label, list, row.accessKey);
            auto field = std::make_unique<ListField>(property, list, std::move(values));
            if (property.kind == ValueKind::FontFamily)
                familyField = field.get();
            fields.push_back(std::move(field));
            break;
        }
        case Control::Check: {
            auto* check = new TCheckBox(inside, row.name, property.label);
            rows->addRow(check);
            fields.push_back(std::make_unique<CheckField>(property, check));
            break;
        }
        }
    }
    for (const auto& field : fields) {
        const Property* property = &field->property();
        field->onTyped = [this] {
            if (typed)
                typed();
        };
        field->onFinished = [this, property] {
            if (finished)
                finished(*property);
        };
    }
    box->onStepped = [this](TEdit* edit, bool done) {
        for (const auto& field : fields)
            if (field->holds(edit)) {
                if (field->onTyped)
                    field->onTyped();
                if (done && field->onFinished)
                    field->onFinished();
            }
    };
    scroll->setWidget(inside);
    setWidget(scroll);
    setFocusProxy(box->margin().front());
}

void PropertiesDock::showEvent(QShowEvent* event)
{
    if (familyField) {
        const auto [families, captions] = installedFamilies();
        familyField->addEntries(families, captions);
        familyField = nullptr;
    }
    QDockWidget::showEvent(event);
}

template <typename Record>
void PropertiesDock::showRecord(const Record& record)
{
    for (const auto& field : fields)
        if (field->property().template in<Record>().has())
            field->show(::valueOf(field->property(), record));
    if constexpr (std::is_same_v<Record, DivStyle>)
        box->showContent(QStringLiteral("%1 × %2").arg(record.getWidth()).arg(record.getHeight()));
    else
        box->showContent(QString());
}

template <typename Record>
void PropertiesDock::storeRecord(Record& record, bool typedOnly) const
{
    for (const auto& field : fields) {
        if (!field->property().template in<Record>().has())
            continue;
        if (!typedOnly) {
            setValue(field->property(), record, field->value());
            continue;
        }
        try {
            setValue(field->property(), record, field->value());
        } catch (const EConvertError&) {
            // Being typed: the stored value stands meanwhile.
        }
    }
}

void PropertiesDock::showValues(const DivStyle& div) { showRecord(div); }
void PropertiesDock::showValues(const BodyStyle& body) { showRecord(body); }
void PropertiesDock::storeValues(DivStyle& div) const { storeRecord(div, false); }
void PropertiesDock::storeValues(BodyStyle& body) const { storeRecord(body, false); }
void PropertiesDock::layTypedValuesOver(DivStyle& div) const { storeRecord(div, true); }
void PropertiesDock::layTypedValuesOver(BodyStyle& body) const { storeRecord(body, true); }

void PropertiesDock::showValue(const Property& property, const PropertyValue& value)
{
    for (const auto& field : fields)
        if (&field->property() == &property)
            field->show(value);
}

PropertyValue PropertiesDock::valueOf(const Property& property) const
{
    for (const auto& field : fields)
        if (&field->property() == &property)
            return field->value();
    return {};
}

void PropertiesDock::enableFor(Rule::Kind kind)
{
    for (const auto& field : fields) {
        const Property& property = field->property();
        field->setEnabled(kind == Rule::Kind::Div ? property.div.has() : kind == Rule::Kind::Body && property.body.has());
    }
}

std::vector<std::string> PropertiesDock::texts() const
{
    std::vector<std::string> all;
    for (const auto& field : fields)
        for (std::string& text : field->texts())
            all.push_back(std::move(text));
    return all;
}

void PropertiesDock::setTexts(const std::vector<std::string>& texts)
{
    auto at = texts.begin();
    for (const auto& field : fields) {
        const std::size_t count = field->texts().size();
        if (static_cast<std::size_t>(texts.end() - at) < count)
            return;
        field->setTexts({at, at + static_cast<std::ptrdiff_t>(count)});
        at += static_cast<std::ptrdiff_t>(count);
    }
}

void PropertiesDock::onTyped(TNotifyEvent handler)
{
    typed = std::move(handler);
}

void PropertiesDock::onFinished(std::function<void(const Property&)> handler)
{
    finished = std::move(handler);
}
