#include "input/GumboParse.h"

#include <algorithm>

namespace {

// Why a parse unwound.
constexpr int stopped = 1;
constexpr int noMemory = 2;

// About one node for each tag, comment and text between tags.
double expectedNodeCount(std::string_view bytes)
{
    std::size_t count = 1;
    for (std::size_t at = bytes.find_first_of("<>"); at != std::string_view::npos && at + 1 < bytes.size();
         at = bytes.find_first_of("<>", at + 1)) {
        const char next = bytes[at + 1];
        if (bytes[at] == '<' ? next != '/' : next != '<')
            ++count;
    }
    return static_cast<double>(count);
}

} // namespace

GumboParse::GumboParse(std::string_view bytes, const std::function<bool(double)>& progress)
    : progress(progress), options(kGumboDefaultOptions), expectedNodes(expectedNodeCount(bytes))
{
    options.allocator = &GumboParse::allocate;
    options.deallocator = &GumboParse::deallocate;
    options.userdata = this;
    // Each error gumbo records holds a copy of the open elements: quadratic in a page's depth.
    options.max_errors = 0;
    run(bytes);
}

// Nothing between here and the unwinding has anything to clean up: gumbo is C, and
// allocate() calls out only before it unwinds.
void GumboParse::run(std::string_view bytes)
{
    switch (setjmp(unwind)) {   // its value may be tested, never stored
    case 0:
        output = gumbo_parse_with_options(&options, bytes.data(), bytes.size());
        return;
    case noMemory:
        outOfMemory = true;
        break;
    default:
        break;
    }
    output = nullptr;
    arena.release();
}

// The tree goes with the arena, without gumbo's walk over it.
GumboParse::~GumboParse() = default;

void* GumboParse::allocate(void* userdata, std::size_t size)
{
    constexpr std::size_t askEvery = 64;
    auto* parse = static_cast<GumboParse*>(userdata);
    if (size == sizeof(GumboNode))
        ++parse->nodes;
    if (++parse->allocations % askEvery == 0
        && !parse->progress(std::min(0.95, static_cast<double>(parse->nodes) / parse->expectedNodes)))
        std::longjmp(parse->unwind, stopped);
    void* block = parse->arena.allocate(size);
    if (!block)
        std::longjmp(parse->unwind, noMemory);   // gumbo would not check
    return block;
}

void GumboParse::deallocate(void* parse, void* pointer)
{
    static_cast<GumboParse*>(parse)->arena.deallocate(pointer);
}
