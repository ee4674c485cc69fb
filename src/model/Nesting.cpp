#include "model/Nesting.h"

std::vector<std::int32_t> recordedParents(std::span<const std::unique_ptr<DivStyle>> divs)
{
    std::vector<std::int32_t> parents(divs.size());
    for (std::size_t n = 0; n < divs.size(); ++n)
        parents[n] = divs[n]->getParent();
    return parents;
}

namespace {

// Parents that name no live div, and every loop, go to the top level.
void removeLoops(std::vector<std::int32_t>& parents)
{
    const auto count = static_cast<std::int32_t>(parents.size());
    for (std::int32_t& parent : parents)
        if (parent < 0 || parent >= count)
            parent = -1;
    // Walks each chain of parents once: a walk that meets itself has found a loop.
    enum class Seen : char { No, OnThisWalk, Done };
    std::vector<Seen> seen(parents.size(), Seen::No);
    std::vector<std::int32_t> walk;
    for (std::int32_t start = 0; start < count; ++start) {
        walk.clear();
        std::int32_t at = start;
        while (at >= 0 && seen[static_cast<std::size_t>(at)] == Seen::No) {
            seen[static_cast<std::size_t>(at)] = Seen::OnThisWalk;
            walk.push_back(at);
            at = parents[static_cast<std::size_t>(at)];
        }
        if (at >= 0 && seen[static_cast<std::size_t>(at)] == Seen::OnThisWalk) {
            const std::int32_t loopStart = at;
            do {
                const std::int32_t next = parents[static_cast<std::size_t>(at)];
                parents[static_cast<std::size_t>(at)] = -1;
                at = next;
            } while (at != loopStart);
        }
        for (const std::int32_t n : walk)
            seen[static_cast<std::size_t>(n)] = Seen::Done;
    }
}

// Each div's depth (1 at the top level) over parents with no loop, without recursion.
// `cap`: a div that would lie deeper than maxNestingDepth moves into its grandparent.
std::vector<std::int32_t> depths(std::vector<std::int32_t>& parents, bool cap, std::size_t* flattened)
{
    std::vector<std::int32_t> depth(parents.size(), 0);
    std::vector<std::int32_t> walk;
    for (std::size_t start = 0; start < parents.size(); ++start) {
        walk.clear();
        for (auto at = static_cast<std::int32_t>(start); at >= 0 && depth[static_cast<std::size_t>(at)] == 0;
             at = parents[static_cast<std::size_t>(at)])
            walk.push_back(at);
        for (auto n = walk.rbegin(); n != walk.rend(); ++n) {
            std::int32_t& parent = parents[static_cast<std::size_t>(*n)];
            std::int32_t below = parent < 0 ? 1 : depth[static_cast<std::size_t>(parent)] + 1;
            if (cap && below > maxNestingDepth) {
                parent = parents[static_cast<std::size_t>(parent)];
                below = maxNestingDepth;
                if (flattened)
                    ++*flattened;
            }
            depth[static_cast<std::size_t>(*n)] = below;
        }
    }
    return depth;
}

} // namespace

std::vector<std::int32_t> shownParents(std::vector<std::int32_t> recorded, std::size_t* flattened)
{
    removeLoops(recorded);
    depths(recorded, true, flattened);
    return recorded;
}

std::vector<std::int32_t> shownParents(std::span<const std::unique_ptr<DivStyle>> divs)
{
    return shownParents(recordedParents(divs));
}

bool nestsTooDeep(std::span<const std::unique_ptr<DivStyle>> divs, std::int32_t div, std::int32_t parent)
{
    std::vector<std::int32_t> parents = recordedParents(divs);
    if (div < 0 || static_cast<std::size_t>(div) >= parents.size())
        return false;
    parents[static_cast<std::size_t>(div)] = parent;
    removeLoops(parents);
    const std::vector<std::int32_t> depth = depths(parents, false, nullptr);
    // Whether each div lies in `div`, found once per chain.
    enum class Inside : char { Unknown, Yes, No };
    std::vector<Inside> inside(parents.size(), Inside::Unknown);
    inside[static_cast<std::size_t>(div)] = Inside::Yes;
    std::vector<std::int32_t> walk;
    for (std::size_t start = 0; start < parents.size(); ++start) {
        walk.clear();
        auto at = static_cast<std::int32_t>(start);
        while (at >= 0 && inside[static_cast<std::size_t>(at)] == Inside::Unknown) {
            walk.push_back(at);
            at = parents[static_cast<std::size_t>(at)];
        }
        const Inside found = at >= 0 ? inside[static_cast<std::size_t>(at)] : Inside::No;
        for (const std::int32_t n : walk)
            inside[static_cast<std::size_t>(n)] = found;
        if (found == Inside::Yes && depth[start] > maxNestingDepth)
            return true;
    }
    return false;
}
