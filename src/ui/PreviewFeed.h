#pragma once

#include "model/RecordsView.h"
#include "model/StyleSheetChange.h"
#include "ui/PreviewLink.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the preview shows, kept up with the stylesheet's changes over the window's own
// records: the page anew only when the rules, their nesting or the pictures' folder changed,
// an added div's element when one was added, and otherwise the declarations of the rules
// that changed. Each change, and each value typed, goes to the link at once.
//
// A stylesheet of more divs than the preview can show a change of within a frame is shown
// in part: its first `shownDivs` divs (a div nested in a later one at the top level). So
// the feed's work and the messages stay small, and no command waits for them, whatever the
// number of divs.
class PreviewFeed : public StyleSheetFollower
{
public:
    static constexpr std::int32_t shownDivs = 1000;
    // Told whether the preview shows only part of the divs, when that changes.
    using ShowingPart = std::function<void(bool)>;

    // The rule the panels stand for with the values being typed into it laid over its record;
    // neither while no edit is open.
    struct TypedRule {
        std::optional<BodyStyle> body;
        std::optional<DivStyle> div;
    };
    using Typed = std::function<TypedRule()>;

    PreviewFeed(const RecordsView& records, const std::string& openedFileName, Typed typed, ShowingPart showingPart,
                PreviewLink& link);

    void follow(const StyleSheetChange& change) override;
    // A value was typed: only the panels' rule is shown again.
    void typedChanged();
    // Every div's outline and name, or none but the panels' rule's.
    void showOutlines(bool shown);
    // The box of the rule whose row the pointer is on ("body", "divN"), or none.
    void showHovered(const std::string& rule);
    // The marked box's part shaded ("margin", "border", "padding", "content", all four "box"),
    // or none.
    void showShaded(const std::string& part);
    // The page laid out at that width; 0 for the preview window's.
    void showAtWidth(int width);

private:
    void rebuild();
    void showTyped();
    void showViewChange();   // a change of how the page is shown, not of what it holds
    std::string declarationsOf(std::size_t rule) const;
    // The last div shown, and whether it is shown.
    std::int32_t lastShown() const { return std::min(records.lastDiv(), shownDivs - 1); }
    bool shows(const Rule& rule) const { return rule.kind != Rule::Kind::Div || rule.number <= lastShown(); }

    const RecordsView& records;
    const std::string& openedFileName;
    Typed typed;
    ShowingPart showingPart;
    PreviewLink& link;
    bool showsPart = false;

    std::string pageFolder;
    Rule panels;
    PreviewContent content;
};
