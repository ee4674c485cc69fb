// "Szerkesztés" → "Másolás", "Beillesztés" and "Div kettőzése": rules to and from other
// programs as CSS, and a div's copy.

#include "ui/Unit1.h"

#include "input/CssMapping.h"
#include "output/WebPageWriter.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Conversions.h"
#include "ui/PanelBindings.h"
#include "ui/RulesModel.h"
#include "ui/RulesPanel.h"

#include <QTreeView>

#include <new>

// The rules tree's current row while the tree has the focus, else the panels' rule.
Rule TForm1::currentRule() const
{
    if (Rules && Rules->tree()->hasFocus()) {
        const Rule row = Rules->rules()->ruleAt(Rules->tree()->currentIndex());
        if ((row.kind == Rule::Kind::Body && body) || (row.kind == Rule::Kind::Div && row.number >= 0 && row.number <= lastDiv))
            return row;
    }
    return panelsRule();
}

void TForm1::Msols1Click()
{
    const Rule rule = currentRule();
    if (rule.kind == Rule::Kind::Body)
        SetClipboardCss(bodyRuleText(*body));
    else if (rule.kind == Rule::Kind::Div)
        SetClipboardCss(divRuleText(static_cast<std::size_t>(rule.number), *divs[rule.number]));
    commandStatus = rule.kind == Rule::Kind::None ? "Nincs mit másolni: nyiss meg egy szabályt"
                                                  : "Kimásoltam: " + ruleName(rule);
    showStatus();
}

// Refused while an edit is open (the layout's menu table).
void TForm1::Beilleszts1Click()
{
    const std::optional<std::string> css = ClipboardCss();
    if (!css) {
        commandStatus = "A vágólap gazdája nem válaszolt, így nem illesztettem be semmit.";
        showStatus();
        return;
    }
    PastedRules pasted = pastedRules(*css);
    const std::string leftOut = pasted.leftOut.empty() ? "" : " " + pasted.leftOut;
    if (pasted.divs.empty()) {
        commandStatus = "A vágólapon nincs beilleszthető CSS." + leftOut;
    } else {
        const std::int32_t first = lastDiv + 1;
        appendDivs(std::move(pasted.divs));
        commandStatus = "Beillesztettem: div" + IntToStr(first) + (lastDiv > first ? "–div" + IntToStr(lastDiv) : "") + "." + leftOut;
    }
    showStatus();
}

// Refused while an edit is open (the layout's menu table).
void TForm1::Divkettzse1Click()
{
    const Rule rule = currentRule();
    if (rule.kind != Rule::Kind::Div) {
        commandStatus = "Csak divet lehet kettőzni: nyiss meg egyet";
    } else {
        std::vector<std::unique_ptr<DivStyle>> copy;
        copy.push_back(std::make_unique<DivStyle>(*divs[rule.number]));   // its values and its parent
        appendDivs(std::move(copy));
        commandStatus = "Kettőztem: " + ruleName(rule) + " → div" + IntToStr(lastDiv);
    }
    showStatus();
}

// As if each were made with "Új Div" and committed with "KÉSZ": listed, the last one in the
// panels.
void TForm1::appendDivs(std::vector<std::unique_ptr<DivStyle>> made)
{
    try {
        resizeDivStorage(static_cast<std::size_t>(lastDiv + 1) + made.size());
    } catch (const std::bad_alloc&) {
        ShowMessage("Súlyos memóriahiba");
        return;
    }
    for (std::unique_ptr<DivStyle>& div : made) {
        journalSlot(static_cast<std::size_t>(lastDiv + 1));
        ++lastDiv;
        divs[lastDiv] = std::move(div);
        listLastDiv();
    }
    Panel1->Show();
    Panel2->Show();
    reopenedDiv = -1;
    showValues(*this, *divs[lastDiv]);
    Button3->SetEnabled(false);
}
