// Any rule opened again, and the rules panel that shows them all ("Nézet" → "Szabályok").

#include "ui/Unit1.h"

#include "model/Nesting.h"
#include "ui/GoToRulesKey.h"
#include "ui/PanelBindings.h"
#include "ui/RememberedViews.h"
#include "ui/RulesModel.h"
#include "ui/RulesPanel.h"

#include <QLayout>
#include <QScreen>

#include <algorithm>

namespace {

const char* const rulesShownKey = "view/rules";

} // namespace

Rule TForm1::liveRuleNamed(const std::string& name) const
{
    return ruleNamed(name, body != nullptr, lastDiv);
}

void TForm1::openTypedRule(const std::string& typed)
{
    const Rule rule = liveRuleNamed(typed);
    if (rule.kind != Rule::Kind::None) {
        reopenRuleCommand(rule);
        return;
    }
    commandStatus = "Nincs ilyen szabály: " + typed;
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
        showValues(*this, *divs[rule.number]);
        Button3->SetEnabled(true);
    } else if (rule.kind == Rule::Kind::Body && body) {
        Panel1->Show();
        Panel2->Hide();
        showValues(*this, *body);
        Button3->SetEnabled(true);
    }
}

// What "Ok" records for the two lists' divs, from the rules tree: one step of its own.
void TForm1::nestDiv(std::int32_t div, std::int32_t parent)
{
    runCommand("Beágyazás", [this, div, parent] {
        if (div >= 0 && div <= lastDiv && parent >= -1 && parent <= lastDiv && parent != div
            && divs[div]->getParent() != parent && mayNestThatDeep(div, parent))
            changeDiv(div).setParent(parent);
    });
}

bool TForm1::mayNestThatDeep(std::int32_t div, std::int32_t parent)
{
    // The tree, where there is one, answers from its own branches.
    const bool tooDeep = Rules ? Rules->rules()->nestsTooDeep(div, parent)
                               : nestsTooDeep(std::span(divs).first(static_cast<std::size_t>(lastDiv + 1)), div, parent);
    if (!tooDeep)
        return true;
    ShowMessage("Ennél mélyebbre nem ágyazhatod: legfeljebb " + std::to_string(maxNestingDepth) + " szint lehet.");
    return false;
}

void TForm1::reopenRuleCommand(const Rule& rule)
{
    runCommand(rule.kind == Rule::Kind::Body ? "body megnyitása" : "div" + std::to_string(rule.number) + " megnyitása",
               [this, rule] { reopenRule(rule); });
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
        Rules->fitWithin(RulesPanel::designedWidth);
        Rules->show();
        layout()->activate();
        // Never wider than the screen: on a narrow one the rules take what is left.
        const int over = frameGeometry().width() - screen()->availableGeometry().width();
        if (over > 0) {
            Rules->fitWithin(Rules->width() - over);
            layout()->activate();
            resize(std::max(minimumWidth(), width() - over), height());
        }
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
    RulesPanel::Requests requests;
    requests.open = [this](const Rule& rule) { reopenRuleCommand(rule); };
    requests.openNamed = [this](const std::string& typed) { RunGuarded([this, &typed] { openTypedRule(typed); }); };
    requests.nest = [this](std::int32_t div, std::int32_t parent) { nestDiv(div, parent); };
    requests.hovered = [this](const Rule& rule) { hoverPreview(rule); };
    Rules = new RulesPanel(this, std::move(requests));
    addDockWidget(Qt::RightDockWidgetArea, Rules);
    placeDocks();
    watchRulesPlace();
    Rules->follow(wholeChange());
    addFollower(Rules);
}
