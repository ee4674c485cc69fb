// Any rule opened again, and the rules panel that shows them all ("Nézet" → "Szabályok").

#include "ui/Unit1.h"

#include "ui/RulesPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QSettings>
#include <QTreeView>

#include <algorithm>
#include <charconv>

namespace {

// Whether the views show is all Prizmo remembers; a settings file it cannot read or write is
// the same as none.
const char* const rulesShownKey = "view/rules";

QSettings settings()
{
    return QSettings(QStringLiteral("Prizmo"), QStringLiteral("Prizmo"));
}

// Ctrl+E goes to the rules from anywhere in the window, also from an edit, where it would
// otherwise move the cursor to the end of the line.
class GoToRulesKey : public QObject
{
public:
    explicit GoToRulesKey(TForm1* form) : QObject(form), form(form) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* target, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(target);
        if (key->keyCombination() != QKeyCombination(Qt::ControlModifier, Qt::Key_E) || !widget
            || widget->window() != form)
            return false;
        form->runCommand("Szabályok", [this] { form->goToRules(); });
        return true;
    }

private:
    TForm1* form;
};

} // namespace

Rule TForm1::liveRuleNamed(const std::string& name) const
{
    if (name == "body")
        return body ? Rule{Rule::Kind::Body, -1} : Rule{};
    std::int32_t number = -1;
    if (name.starts_with("div"))
        std::from_chars(name.data() + 3, name.data() + name.size(), number);
    const Rule div{Rule::Kind::Div, number};
    return number >= 0 && number <= lastDiv && ruleName(div) == name ? div : Rule{};
}

void TForm1::openTypedRule(const std::string& typed)
{
    const Rule rule = liveRuleNamed(typed);
    if (rule.kind != Rule::Kind::None) {
        reopenRuleCommand(rule);
        return;
    }
    rulesStatus = "Nincs ilyen szabály: " + typed;
    showStatus();
}

Rule TForm1::panelsRule() const
{
    if (!Panel1->Visible())
        return {};
    if (editingDiv())
        return lastDiv >= 0 ? Rule{Rule::Kind::Div, panelsDiv()} : Rule{};
    return body ? Rule{Rule::Kind::Body, -1} : Rule{};
}

void TForm1::reopenRule(const Rule& rule)
{
    // What is typed into an open edit would be lost.
    if (editOpen()) {
        ShowMessage("Előbb nyomd meg a KÉSZ gombot!");
        return;
    }
    if (rule.kind == Rule::Kind::Div && rule.number >= 0 && rule.number <= lastDiv) {
        Panel1->Show();
        Panel2->Show();
        reopenedDiv = rule.number;
        showValues(*divs[rule.number]);
        Button3->SetEnabled(true);
    } else if (rule.kind == Rule::Kind::Body && body) {
        Panel1->Show();
        Panel2->Hide();
        showValues(*body);
        Button3->SetEnabled(true);
    }
}

void TForm1::reopenRuleCommand(const Rule& rule)
{
    runCommand(rule.kind == Rule::Kind::Body ? "body megnyitása" : "div" + std::to_string(rule.number) + " megnyitása",
               [this, rule] { reopenRule(rule); });
}

bool TForm1::rememberedShown(const char* view)
{
    return settings().value(QLatin1String(view), false).toBool();
}

void TForm1::rememberShown(const char* view, bool shown)
{
    QSettings remembered = settings();
    remembered.setValue(QLatin1String(view), shown);
}

QRect TForm1::rememberedPlace(const char* view)
{
    return settings().value(QLatin1String(view)).toRect();
}

void TForm1::rememberPlace(const char* view, const QRect& place)
{
    QSettings remembered = settings();
    remembered.setValue(QLatin1String(view), place);
}

void TForm1::Szablyok1Click()
{
    showRules(!Rules || Rules->isHidden());
    rememberShown(rulesShownKey, !Rules->isHidden());
}

void TForm1::goToRules()
{
    if (!Rules || Rules->isHidden())
        Szablyok1Click();
    Rules->focusTree();
}

// The window grows by the dock, so that the client area keeps its designed size, and gives
// the room back when the dock goes.
void TForm1::showRules(bool shown)
{
    if (shown) {
        makeRulesPanel();
        Rules->show();
    } else if (Rules) {
        const int taken = width() - ClientArea()->width();
        Rules->hide();
        layout()->activate();   // the smaller minimum first, or the window could not shrink
        resize(width() - taken, height());
    }
    Szablyok1->setChecked(shown);
}

// The panel is made when it is first shown: a window that never shows it starts as fast as
// the designed one.
void TForm1::createRulesPanel()
{
    Szablyok1->setCheckable(true);
    new GoToRulesKey(this);
    if (rememberedShown(rulesShownKey))
        showRules(true);
}

void TForm1::makeRulesPanel()
{
    if (Rules)
        return;
    Rules = new RulesPanel(
        this, [this](const Rule& rule) { reopenRuleCommand(rule); },
        [this](const std::string& typed) { RunGuarded([this, &typed] { openTypedRule(typed); }); });
    addDockWidget(Qt::RightDockWidgetArea, Rules);
    Rules->follow(wholeChange());
    addFollower(Rules);
}
