#include "input/CssRulesAside.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Below this a thread costs more than it saves.
constexpr std::size_t worthAThread = 256 * 1024;
constexpr std::size_t rulesInABatch = 256;
// How far the reading may run ahead of the handling: a few batches, however long the sheet.
constexpr std::size_t batchesAhead = 4;

// Batches of rules from the reading thread to the handling one, in order.
class RuleBatches
{
public:
    // False once the handling has stopped: the reading is to stop too.
    bool put(std::vector<CssRule>&& batch)
    {
        std::unique_lock lock(mutex);
        room.wait(lock, [this] { return stopped || batches.size() < batchesAhead; });
        if (stopped)
            return false;
        batches.push_back(std::move(batch));
        ready.notify_one();
        return true;
    }
    // The reading is over: every rule was put, or `failure` ended it.
    void end(std::exception_ptr failure)
    {
        const std::lock_guard lock(mutex);
        ended = true;
        readingFailure = std::move(failure);
        ready.notify_one();
    }
    // The next batch; none once the reading is over and every batch was taken.
    std::optional<std::vector<CssRule>> take()
    {
        std::unique_lock lock(mutex);
        ready.wait(lock, [this] { return ended || !batches.empty(); });
        if (batches.empty())
            return std::nullopt;
        std::vector<CssRule> batch = std::move(batches.front());
        batches.pop_front();
        room.notify_one();
        return batch;
    }
    void stop()
    {
        const std::lock_guard lock(mutex);
        stopped = true;
        room.notify_one();
    }
    // A handled batch back to the reading thread, which frees what the rules held (its own
    // allocations) as it fills them again.
    void giveBack(std::vector<CssRule>&& batch)
    {
        const std::lock_guard lock(mutex);
        handled.push_back(std::move(batch));
    }
    std::vector<CssRule> handledBatch()
    {
        const std::lock_guard lock(mutex);
        if (handled.empty())
            return {};
        std::vector<CssRule> batch = std::move(handled.back());
        handled.pop_back();
        return batch;
    }
    std::exception_ptr failure()
    {
        const std::lock_guard lock(mutex);
        return readingFailure;
    }

private:
    std::mutex mutex;
    std::condition_variable ready, room;
    std::deque<std::vector<CssRule>> batches;
    std::vector<std::vector<CssRule>> handled;
    bool ended = false;
    bool stopped = false;
    std::exception_ptr readingFailure;
};

struct HandlingStopped {};

void readInto(std::string_view css, RuleBatches& batches)
{
    std::exception_ptr failure;
    try {
        std::vector<CssRule> batch;
        std::size_t filled = 0;
        const auto hand = [&] {
            batch.resize(filled);
            if (!batches.put(std::move(batch)))
                throw HandlingStopped{};
            batch = batches.handledBatch();
            filled = 0;
        };
        // A rule of a handled batch goes back to the parser, which empties it for the next.
        forEachCssRule(css, [&](CssRule& rule) {
            if (filled < batch.size())
                std::swap(batch[filled], rule);
            else
                batch.push_back(std::move(rule));
            if (++filled == rulesInABatch)
                hand();
        });
        if (filled > 0)
            hand();
    } catch (const HandlingStopped&) {
    } catch (...) {
        failure = std::current_exception();
    }
    batches.end(std::move(failure));
}

} // namespace

void forEachCssRuleReadAside(std::string_view css, const std::function<void(CssRule&)>& take)
{
    if (css.size() < worthAThread) {
        forEachCssRule(css, take);
        return;
    }
    RuleBatches batches;
    std::thread reading;
    try {
        reading = std::thread([css, &batches] { readInto(css, batches); });
    } catch (const std::system_error&) {
        forEachCssRule(css, take);
        return;
    }
    std::exception_ptr handlingFailure;
    try {
        while (std::optional<std::vector<CssRule>> batch = batches.take()) {
            for (CssRule& rule : *batch)
                take(rule);
            batches.giveBack(std::move(*batch));
        }
    } catch (...) {
        handlingFailure = std::current_exception();
        batches.stop();
    }
    reading.join();
    if (handlingFailure)
        std::rethrow_exception(handlingFailure);
    if (const std::exception_ptr failure = batches.failure())
        std::rethrow_exception(failure);
}
