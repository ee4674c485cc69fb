#include "model/StyleSheetChange.h"

#include <algorithm>

StyleSheetChange StyleSheetChange::whole(const Rule& panels, bool unsaved)
{
    StyleSheetChange change;
    change.restructured = true;
    change.fileChanged = true;
    change.savedStateChanged = true;
    change.unsaved = unsaved;
    change.panels = panels;
    return change;
}

namespace {

// Whether divs added after `otherLastDiv` sit at the top level. The others stay where they
// were: every command leaves each live div's parent a live div or none, so an untouched div
// names none of the added ones.
bool addedAtTheTop(std::span<const std::unique_ptr<DivStyle>> live, std::int32_t otherLastDiv)
{
    const auto count = static_cast<std::int32_t>(live.size());
    for (std::int32_t n = otherLastDiv + 1; n < count; ++n) {
        const std::int32_t parent = live[static_cast<std::size_t>(n)]->getParent();
        if (parent >= 0 && parent < count)
            return false;
    }
    return true;
}

} // namespace

StyleSheetChange describeChange(std::span<const std::unique_ptr<DivStyle>> live, std::int32_t otherLastDiv,
                                const TouchedDivs& touched, const BodyStyle* body, bool bodyTouched,
                                const BodyStyle* otherBody)
{
    StyleSheetChange change;
    const auto lastDiv = static_cast<std::int32_t>(live.size()) - 1;
    change.restructured = lastDiv < otherLastDiv;
    if (bodyTouched && (body == nullptr) != (otherBody == nullptr))
        change.restructured = true;
    else if (bodyTouched && body && !(*body == *otherBody))
        change.values.push_back({Rule::Kind::Body, -1});
    for (const auto& [slot, other] : touched) {
        const auto number = static_cast<std::int32_t>(slot);
        const DivStyle* now = number <= lastDiv ? live[slot].get() : nullptr;
        const DivStyle* was = number <= otherLastDiv ? other.get() : nullptr;
        if (!now || !was) {
            change.restructured = change.restructured || (now != was && number <= otherLastDiv);
            continue;
        }
        if (now->getParent() != was->getParent())
            change.renested.push_back(number);
        if (!now->sameContent(*was))
            change.values.push_back({Rule::Kind::Div, number});
    }
    if (!change.restructured && lastDiv > otherLastDiv) {
        if (addedAtTheTop(live, otherLastDiv))
            change.appended = lastDiv - otherLastDiv;
        else
            change.restructured = true;
    }
    if (change.restructured) {
        change.values.clear();   // followed whole
        change.renested.clear();
        return change;
    }
    std::sort(change.renested.begin(), change.renested.end());
    std::sort(change.values.begin(), change.values.end(), [](const Rule& a, const Rule& b) {
        return std::pair(a.kind != Rule::Kind::Body, a.number) < std::pair(b.kind != Rule::Kind::Body, b.number);
    });
    return change;
}
