#include "FormDriver.h"
#include "StdStringOutput.h"

#include "input/CssMapping.h"
#include "input/RecoveryReader.h"
#include "input/WebPageReader.h"
#include "model/Properties.h"
#include "output/RecoveryWriter.h"
#include "output/StyleSheetWriter.h"
#include "output/WebPageWriter.h"
#include "model/CssValueText.h"
#include "ui/PanelBindings.h"
#include "ui/PropertiesDock.h"
#include "ui/PropertyFields.h"

#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <limits>

Q_DECLARE_METATYPE(PropertyValue)

namespace {

// The row's default, a value at each limit of its kind and an ordinary one.
std::vector<PropertyValue> valuesOf(const Property& row, bool forBody)
{
    const PropertyValue byDefault = forBody ? defaultOf<BodyStyle>(row) : defaultOf<DivStyle>(row);
    switch (row.kind) {
    case ValueKind::Pixels:
        return {byDefault, row.least, row.most, 120};
    case ValueKind::Color:
        return {byDefault, "#000000", "#FFFFFF", "#1A2B3C"};
    case ValueKind::ColorOrPicture:
        return {byDefault, "#000000", "#FFFFFF", "/tmp/prizmo képek/nyári háttér.png"};
    case ValueKind::Keyword:
        return {byDefault, std::string(row.keywords.front()), std::string(row.keywords.back()),
                std::string(row.keywords[row.keywords.size() / 2])};
    case ValueKind::Sides:
        return {byDefault, Sides{row.least, row.most, 0, 12}, Sides{4, 8, 4, 8}, Sides::all(0)};
    case ValueKind::Border:
        return {byDefault, Border{0, 1, ""}, Border{row.most, 4, "#FFFFFF"}, Border{2, 2, "#1A2B3C"}};
    case ValueKind::Offset:
        return {byDefault, row.least, row.most, 0};
    case ValueKind::FontFamily:
        return {byDefault, "monospace", "\"DejaVu Sans\", sans-serif", "\"Noto Serif Display\", serif"};
    case ValueKind::Percent:
        return {byDefault, 0, 99, 50};
    }
    return {};
}

std::string shown(const PropertyValue& value)
{
    if (const auto* number = std::get_if<std::int32_t>(&value))
        return std::to_string(*number);
    if (const auto* sides = std::get_if<Sides>(&value))
        return std::to_string(sides->top) + " " + std::to_string(sides->right) + " " + std::to_string(sides->bottom)
            + " " + std::to_string(sides->left);
    if (const auto* border = std::get_if<Border>(&value))
        return std::to_string(border->width) + " " + std::to_string(border->style) + " " + border->color;
    return std::get<std::string>(value);
}

// As the colour dialog gives it: red in the lowest byte.
TColor dialogColor(const std::string& text)
{
    const unsigned rgb = std::stoul(text.substr(1), nullptr, 16);
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

// What a person does to put the value into the property's control; false when no control can
// give it (an empty colour).
template <typename Form>
bool enter(BasicFormDriver<Form>& driver, const PanelBinding& binding, const PropertyValue& value)
{
    TForm1& form = driver.form;
    if (binding.edit) {
        driver.type(form.*binding.edit, QString::fromStdString(shown(value)));
        return true;
    }
    if (binding.list) {
        driver.pick(form.*binding.list, listPositionOf(*binding.property, std::get<std::string>(value)));
        return true;
    }
    const std::string& text = std::get<std::string>(value);
    if (text.empty())
        return false;
    const bool color = text.starts_with('#');
    if (binding.colorChoice)
        driver.click(color ? form.*binding.colorChoice : form.*binding.pictureChoice);
    if (color)
        driver.script.confirmColor(dialogColor(text));
    else
        driver.script.confirmFile(text);
    driver.click(form.*binding.picker);
    return true;
}

// The dock's control a screen reader names so.
template <typename Control>
Control* dockControl(TForm1& form, const std::string& name)
{
    for (Control* control : form.Properties->findChildren<Control*>())
        if (control->accessibleName() == QString::fromStdString(name))
            return control;
    return nullptr;
}

// The same for a property of the dock: what a person types, chooses and ticks there.
template <typename Form>
bool enterInDock(BasicFormDriver<Form>& driver, const Property& row, const PropertyValue& value)
{
    TForm1& form = driver.form;
    const std::string label = row.label;
    switch (row.kind) {
    case ValueKind::Sides: {
        const Sides sides = std::get<Sides>(value);
        const std::int32_t each[] = {sides.top, sides.right, sides.bottom, sides.left};
        for (std::size_t side = 0; side < 4; ++side)
            driver.type(dockControl<TEdit>(form, label + ", " + SidesField::sideNames[side]), QString::number(each[side]));
        return true;
    }
    case ValueKind::Border: {
        const Border& border = std::get<Border>(value);
        driver.type(dockControl<TEdit>(form, label + ", vastagság"), QString::number(border.width));
        driver.pick(dockControl<TComboBox>(form, "Keret stílusa"), border.style);
        if (!border.color.empty()) {
            driver.script.confirmColor(dialogColor(border.color));
            driver.click(dockControl<TButton>(form, "Keret színe"));
        }
        return border.color.empty() == std::get<Border>(defaultOf<DivStyle>(row)).color.empty();
    }
    case ValueKind::Keyword:
        if (auto* check = dockControl<TCheckBox>(form, label)) {
            if (check->isChecked() != (listPositionOf(row, std::get<std::string>(value)) == 1)) {
                check->setFocus();
                QTest::keyClick(check, Qt::Key_Space);
            }
            return true;
        }
        driver.pick(dockControl<TComboBox>(form, label), listPositionOf(row, std::get<std::string>(value)));
        return true;
    case ValueKind::FontFamily: {
        auto* list = dockControl<TComboBox>(form, label);
        const std::string& text = std::get<std::string>(value);
        const int entry = text.empty() ? 0 : list->findText(QString::fromStdString(std::string(familyNamed(text))));
        if (entry < 0)
            return false;   // a family this machine does not have
        driver.pick(list, entry);
        return std::get<std::string>(form.Properties->valueOf(row)) == text;   // and not another generic fallback
    }
    default: {
        const std::int32_t number = std::get<std::int32_t>(value);
        driver.type(dockControl<TEdit>(form, label), row.kind == ValueKind::Offset && number == unsetOffset ? QString() : QString::number(number));
        return true;
    }
    }
}

const StyleSheetRecords* asPointer(const std::optional<StyleSheetRecords>& records)
{
    return records ? &*records : nullptr;
}

template <typename Record>
PropertyValue readBack(const Property& row, const StyleSheetRecords* records)
{
    if (!records)
        return "(nothing read)";
    if constexpr (std::is_same_v<Record, BodyStyle>)
        return records->body ? valueOf(row, *records->body) : PropertyValue("(no body)");
    else
        return records->divs.empty() ? PropertyValue("(no div)") : valueOf(row, *records->divs.front());
}

} // namespace

// Every row of the property table, for each kind of rule that has it, through every way a
// value leaves the window and comes back. A row added later is tested here as it is.
class TestProperties : public QObject
{
    Q_OBJECT

private slots:
    void travels_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("forBody");
        QTest::addColumn<PropertyValue>("value");
        for (std::size_t at = 0; at < properties.size(); ++at)
            for (const bool forBody : {true, false}) {
                const Property& row = properties[at];
                if (!(forBody ? row.body.has() : row.div.has()))
                    continue;
                for (const PropertyValue& value : valuesOf(row, forBody))
                    QTest::addRow("%s %s %s", std::string(row.name).c_str(), forBody ? "body" : "div",
                                  shown(value).c_str())
                        << static_cast<int>(at) << forBody << value;
            }
    }
    void travels()
    {
        QFETCH(int, row);
        QFETCH(bool, forBody);
        QFETCH(PropertyValue, value);
        const Property& property = properties[static_cast<std::size_t>(row)];
        forBody ? check<BodyStyle>(property, value) : check<DivStyle>(property, value);
    }

    // The dock with no edit open stores a change at once, as a step named after the property;
    // with one open, its values are the edit's. A text the property does not take is refused,
    // named by its field, and the stored value stands.
    void dockChanges_data()
    {
        QTest::addColumn<bool>("editOpen");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("said");
        QTest::addRow("stored at once") << false << "Külső margó, fent" << "5" << "margin" << "5 0 0 0" << "";
        QTest::addRow("no number, at once") << false << "Külső margó, fent" << "x" << "margin" << "0 0 0 0"
                                            << "Külső margó, fent: 'x' nem érvényes egész szám";
        QTest::addRow("a negative padding") << false << "Belső margó, balra" << "-1" << "padding" << "0 0 0 0"
                                            << "Belső margó, balra: legalább 0 legyen";
        QTest::addRow("an offset given") << false << "Fent" << "-12" << "top" << "-12" << "";
        QTest::addRow("part of the edit") << true << "Lekerekítés" << "6" << "border-radius" << "6" << "";
        QTest::addRow("stops KÉSZ at its field") << true << "Átlátszóság" << "150" << "opacity" << "100"
                                                 << "Átlátszóság: legfeljebb 100 legyen";
    }
    void dockChanges()
    {
        QFETCH(bool, editOpen);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, property);
        QFETCH(QString, stored);
        QFETCH(QString, said);
        FormDriver driver;
        TForm1& form = driver.form;
        driver.newDiv();
        if (!editOpen)
            driver.done();
        if (!form.Properties || form.Properties->isHidden())
            form.Tulajdonsgok1->trigger();
        const int before = form.UndoStack->index();
        TEdit* edit = dockControl<TEdit>(form, field.toStdString());
        QVERIFY(edit && edit->isEnabled());
        driver.type(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        if (editOpen)
            driver.done();
        const Property& row = *std::find_if(properties.begin(), properties.end(),
                                            [&](const Property& each) { return each.name == property.toStdString(); });
        QCOMPARE(QString::fromStdString(shown(valueOf(row, *form.divs[0]))), stored);
        const std::vector<std::string>& reports = driver.script.exceptions;
        QCOMPARE(reports.empty() ? QString() : QString::fromStdString(reports.back()), said);
        QCOMPARE(form.editOpen(), editOpen && !said.isEmpty());
        if (editOpen || !said.isEmpty())
            return;
        QCOMPARE(form.UndoStack->index(), before + 1);
        QCOMPARE(form.UndoStack->text(before), QString::fromUtf8(row.label));
        form.UndoStack->undo();
        QCOMPARE(valueOf(row, *form.divs[0]), defaultOf<DivStyle>(row));
        QCOMPARE(form.Properties->valueOf(row), defaultOf<DivStyle>(row));
    }

private:
    template <typename Record>
    void check(const Property& property, const PropertyValue& value)
    {
        constexpr bool forBody = std::is_same_v<Record, BodyStyle>;
        std::optional<BodyStyle> body;
        std::vector<std::unique_ptr<DivStyle>> divs;
        if constexpr (forBody)
            setValue(property, body.emplace(), value);
        else
            setValue(property, *divs.emplace_back(std::make_unique<DivStyle>()), value);
        const BodyStyle* bodyRecord = body ? &*body : nullptr;

        QCOMPARE(shown(readBack<Record>(property, asPointer(readStyleSheet(styleSheetText(bodyRecord, divs)).records))), shown(value));

        QTemporaryDir folder;
        const std::string page = webPage("oldal", bodyRecord, divs, folder.path().toStdString());
        QCOMPARE(shown(readBack<Record>(property, asPointer(readWebPage(page, folder.path().toStdString()).records))), shown(value));

        const auto recovered = readRecovery(recoveryText(bodyRecord, divs, "", ""));
        QVERIFY(recovered);
        QCOMPARE(shown(readBack<Record>(property, &recovered->records)), shown(value));

        // A rule copied comes back pasted as a div, with what a div has of it.
        const PastedRules pasted = pastedRules(forBody ? bodyRuleText(*body) : divRuleText(0, *divs.front()));
        if (property.div.has()) {
            const PropertyValue pastedValue = pasted.divs.empty() ? defaultOf<DivStyle>(property)
                                                                  : valueOf(property, *pasted.divs.front());
            QCOMPARE(shown(pastedValue), shown(value == defaultOf<Record>(property) ? defaultOf<DivStyle>(property) : value));
        }

        checkInWindow<Record>(property, value);
    }

    // Put into its control: the typed preview shows it, "KÉSZ" stores it, an undo takes it back
    // and a redo brings it again.
    template <typename Record>
    void checkInWindow(const Property& property, const PropertyValue& value)
    {
        FormDriver driver;
        TForm1& form = driver.form;
        const auto record = [&form]() -> const Record& {
            if constexpr (std::is_same_v<Record, BodyStyle>)
                return *form.body;
            else
                return *form.divs[static_cast<std::size_t>(form.lastDiv)];
        };
        std::is_same_v<Record, BodyStyle> ? driver.bodySettings() : driver.newDiv();
        const int before = form.UndoStack->index();
        const PropertyValue stored = valueOf(property, record());
        const bool inDock = std::none_of(panelBindings.begin(), panelBindings.end(),
                                         [&](const PanelBinding& binding) { return binding.property == &property; });
        if (inDock && (!form.Properties || form.Properties->isHidden()))
            form.Tulajdonsgok1->trigger();
        if (inDock ? !enterInDock(driver, property, value) : !enter(driver, bindingOf(property), value))
            return;
        const PreviewFeed::TypedRule typed = form.typedRule();
        if constexpr (std::is_same_v<Record, BodyStyle>) {
            QVERIFY(typed.body);
            QCOMPARE(shown(valueOf(property, *typed.body)), shown(value));
        } else {
            QVERIFY(typed.div);
            QCOMPARE(shown(valueOf(property, *typed.div)), shown(value));
        }
        driver.done();
        QVERIFY(driver.script.exceptions.empty());
        QCOMPARE(shown(valueOf(property, record())), shown(value));
        const int after = form.UndoStack->index();
        form.UndoStack->setIndex(before);
        QCOMPARE(shown(valueOf(property, record())), shown(stored));
        form.UndoStack->setIndex(after);
        QCOMPARE(shown(valueOf(property, record())), shown(value));
    }
};

QTEST_MAIN(TestProperties)
#include "tst_properties.moc"
