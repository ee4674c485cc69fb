#pragma once

#include "model/BodyStyle.h"
#include "model/DivStyle.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// Records that are no window's: a stylesheet read back, or a copy for another thread. Its
// body, if it has one, and its divs in number order, each with its parent.
struct StyleSheetRecords {
    std::optional<BodyStyle> body;
    std::vector<std::unique_ptr<DivStyle>> divs;
};

// The window's records as every view that follows them reads them: the body, the live divs
// in number order and, in each, its parent. It holds nothing of its own, so it is always up
// to date; a view never changes the records through it.
class RecordsView
{
public:
    RecordsView(const std::unique_ptr<BodyStyle>& body, const std::vector<std::unique_ptr<DivStyle>>& divSlots,
                const std::int32_t& lastDiv)
        : bodyRecord(body), divSlots(divSlots), lastLive(lastDiv)
    {
    }

    const BodyStyle* body() const { return bodyRecord.get(); }
    std::span<const std::unique_ptr<DivStyle>> divs() const
    {
        return std::span(divSlots).first(static_cast<std::size_t>(lastLive + 1));
    }
    const DivStyle& div(std::int32_t number) const { return *divSlots[static_cast<std::size_t>(number)]; }
    // Div `number` when it is live; none otherwise.
    const DivStyle* liveDiv(std::int32_t number) const
    {
        return number >= 0 && number <= lastLive ? divSlots[static_cast<std::size_t>(number)].get() : nullptr;
    }
    std::int32_t lastDiv() const { return lastLive; }

    // A copy whose texts share the records' (so it costs little at any size), for a thread of
    // its own to read.
    StyleSheetRecords copy() const
    {
        StyleSheetRecords copied;
        if (body())
            copied.body = *body();
        copied.divs.reserve(divs().size());
        for (const std::unique_ptr<DivStyle>& div : divs())
            copied.divs.push_back(std::make_unique<DivStyle>(*div));
        return copied;
    }

private:
    const std::unique_ptr<BodyStyle>& bodyRecord;
    const std::vector<std::unique_ptr<DivStyle>>& divSlots;
    const std::int32_t& lastLive;
};
