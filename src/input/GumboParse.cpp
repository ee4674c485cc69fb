#include "input/GumboParse.h"

#include <algorithm>
#include <cstdlib>

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
    freeAll();
}

GumboParse::~GumboParse()
{
    if (output)
        gumbo_destroy_output(&options, output);
    freeAll();
}

void GumboParse::freeAll()
{
    while (blocks.next != &blocks) {
        Block* block = blocks.next;
        blocks.next = block->next;
        std::free(block);
    }
    blocks.previous = &blocks;
}

void* GumboParse::allocate(void* userdata, std::size_t size)
{
    constexpr std::size_t askEvery = 64;
    auto* parse = static_cast<GumboParse*>(userdata);
    if (size == sizeof(GumboNode))
        ++parse->nodes;
    if (++parse->allocations % askEvery == 0
        && !parse->progress(std::min(0.95, static_cast<double>(parse->nodes) / parse->expectedNodes)))
        std::longjmp(parse->unwind, stopped);
    auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
    if (!block)
        std::longjmp(parse->unwind, noMemory);   // gumbo would not check
    block->previous = &parse->blocks;
    block->next = parse->blocks.next;
    parse->blocks.next->previous = block;
    parse->blocks.next = block;
    return block + 1;
}

void GumboParse::deallocate(void*, void* pointer)
{
    if (!pointer)
        return;
    Block* block = static_cast<Block*>(pointer) - 1;
    block->previous->next = block->next;
    block->next->previous = block->previous;
    std::free(block);
}
