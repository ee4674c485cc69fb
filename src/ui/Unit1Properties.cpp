// "Nézet" → "Tulajdonságok": the box's values in a dock beside the panels. With an edit open
// they are part of it, shown in the preview as typed and stored with "KÉSZ"; with none, a
// change is stored at once for the rule the panels stand for.

#include "ui/Unit1.h"

#include "ui/PropertiesDock.h"
#include "ui/RememberedViews.h"
#include "ui/RulesPanel.h"

#include <QLayout>

#include <exception>
#include <optional>
#include <QScreen>

namespace {

const char* const propertiesShownKey = "view/properties";

} // namespace

void TForm1::Tulajdonsgok1Click()
{
    showProperties(Properties->isHidden());
    rememberShown(propertiesShownKey, !Properties->isHidden());
}

// The dock is made hidden before the first step; it looks through the machine's fonts only
// when it first shows.
void TForm1::createPropertiesDock()
{
    Tulajdonsgok1->setCheckable(true);
    if (rememberedShown(propertiesShownKey))
        showProperties(true);
}

void TForm1::makePropertiesDock()
{
    Properties = new PropertiesDock(this);
    Properties->hide();
    addDockWidget(Qt::RightDockWidgetArea, Properties, Qt::Vertical);
    placeDocks();
    Properties->onTyped([this] {
        if (editOpen() && previewFeed)
            previewFeed->typedChanged();
    });
    Properties->onFinished([this](const Property& property) { dockChanged(property); });
    Properties->diagram()->onPointed = [this](BoxDiagram::Part part) { shadeInPreview(part); };
    showDockRule();
}

// The rules above, the box's values below them.
void TForm1::placeDocks()
{
    if (Rules)
        splitDockWidget(Rules, Properties, Qt::Vertical);
}

void TForm1::showDockRule()
{
    const Rule rule = panelsRule();
    if (rule.kind == Rule::Kind::Div)
        Properties->showValues(records.div(rule.number));
    else if (rule.kind == Rule::Kind::Body)
        Properties->showValues(*body);
    Properties->enableFor(rule.kind);
}

// Beside the rules when they show, below them; the window grows by the dock, so that the
// client area keeps its designed size, and gives the room back when it goes.
void TForm1::showProperties(bool shown)
{
    if (shown) {
        const int before = width();
        Properties->show();
        layout()->activate();
        const int over = frameGeometry().width() - screen()->availableGeometry().width();
        if (over > 0)
            resize(std::max(minimumWidth(), width() - over), height());
        else if (width() < before)
            resize(before, height());
    } else {
        const int rulesWidth = Rules && !Rules->isHidden() ? Rules->width() : 0;
        const int taken = std::max(0, width() - ClientArea()->width() - rulesWidth);
        Properties->hide();
        layout()->activate();
        resize(width() - taken, height());
    }
    Tulajdonsgok1->setChecked(shown);
}

// The value is read, and the dock shows the stored values again before the step starts, so
// that the step holds the change of the record and what was typed is no change of its own. A
// text that is no number is refused with its field's name.
void TForm1::dockChanged(const Property& property)
{
    if (editOpen())
        return;   // stored with "KÉSZ"
    std::optional<PropertyValue> value;
    std::exception_ptr refused;
    try {
        value = Properties->valueOf(property);
    } catch (...) {
        refused = std::current_exception();
    }
    showDockRule();
    runCommand(property.label, [this, &property, &value, &refused] {
        if (refused)
            std::rethrow_exception(refused);
        const Rule rule = panelsRule();
        if (rule.kind == Rule::Kind::Div && property.div.has()) {
            if (*value != valueOf(property, records.div(rule.number)))
                setValue(property, changeDiv(rule.number), *value);
        } else if (rule.kind == Rule::Kind::Body && property.body.has()) {
            if (*value != valueOf(property, *body))
                setValue(property, changeBody(), *value);
        }
    });
}
