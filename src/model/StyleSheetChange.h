#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"
#include "model/Rule.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

// What one command, undo or redo changed, told once to every view that follows the stylesheet.
struct StyleSheetChange {
    std::vector<Rule> values;      // rules whose values changed: the body first, then divs by number
    std::int32_t appended = 0;     // divs added after the last one, each at the top level
    std::vector<std::int32_t> renested;   // divs given another parent, in number order
    bool restructured = false;     // which rules there are changed otherwise: follow it whole
    bool fileChanged = false;      // the stylesheet's file, and so the pictures' folder
    bool savedStateChanged = false;
    bool unsaved = false;          // as it is now
    Rule panels;                   // the rule the panels stand for now

    // Everything anew: a view that starts following.
    static StyleSheetChange whole(const Rule& panels, bool unsaved);
    bool operator==(const StyleSheetChange&) const = default;
};

// A view that follows the stylesheet: it hears each change once, after the command.
class StyleSheetFollower
{
public:
    virtual void follow(const StyleSheetChange& change) = 0;

protected:
    ~StyleSheetFollower() = default;
};

// The records one step touched, as the other side of the step has them; slot by slot.
using TouchedDivs = std::vector<std::pair<std::size_t, std::unique_ptr<DivStyle>>>;

// What of the rules changed between the other side and now: `live` are the divs now, `touched`
// and `bodyTouched`/`otherBody` what the step kept of the other side, `otherLastDiv` its lastDiv.
// Costs what the step touched.
StyleSheetChange describeChange(std::span<const std::unique_ptr<DivStyle>> live, std::int32_t otherLastDiv,
                                const TouchedDivs& touched, const BodyStyle* body, bool bodyTouched,
                                const BodyStyle* otherBody);
