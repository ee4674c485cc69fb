#include "model/Nesting.h"

std::vector<std::int32_t> shownParents(std::span<const std::unique_ptr<DivStyle>> divs)
{
    const auto count = static_cast<std::int32_t>(divs.size());
    std::vector<std::int32_t> parents(divs.size(), -1);
    for (std::int32_t n = 0; n < count; ++n) {
        const std::int32_t parent = divs[static_cast<std::size_t>(n)]->getParent();
        if (parent >= 0 && parent < count)
            parents[static_cast<std::size_t>(n)] = parent;
    }
    // Walks each chain of parents once: a walk that meets itself has found a loop.
    enum class Seen : char { No, OnThisWalk, Done };
    std::vector<Seen> seen(divs.size(), Seen::No);
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
    return parents;
}

