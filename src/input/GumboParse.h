#pragma once

#include "input/ParseArena.h"

#include <gumbo.h>

#include <csetjmp>
#include <cstddef>
#include <functional>
#include <string_view>

// A web page parsed by libgumbo, which can neither be stopped nor tell how far it has come.
// Every block gumbo takes comes from this parse's arena: counting the nodes among them tells
// how far it is, and a stop unwinds from gumbo's next block straight back to the parse's
// start. The arena gives back every block at once, after a stop as after the tree is read.
class GumboParse
{
public:
    // `progress` is told the share done (0 to 1) now and then; false from it stops the parse.
    GumboParse(std::string_view bytes, const std::function<bool(double)>& progress);
    ~GumboParse();
    GumboParse(const GumboParse&) = delete;
    GumboParse& operator=(const GumboParse&) = delete;

    // The document, or null when the parse was stopped or ran out of memory.
    const GumboNode* document() const { return output ? output->document : nullptr; }
    bool ranOutOfMemory() const { return outOfMemory; }

private:
    static void* allocate(void* parse, std::size_t size);
    static void deallocate(void* parse, void* pointer);
    void run(std::string_view bytes);

    const std::function<bool(double)>& progress;
    GumboOptions options;
    GumboOutput* output = nullptr;
    ParseArena arena;
    std::jmp_buf unwind;
    bool outOfMemory = false;
    std::size_t allocations = 0;
    std::size_t nodes = 0;
    double expectedNodes = 1;
};
