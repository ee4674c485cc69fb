#pragma once

#include <gumbo.h>

#include <csetjmp>
#include <cstddef>
#include <functional>
#include <string_view>

// A web page parsed by libgumbo, which can neither be stopped nor tell how far it has come.
// Every block gumbo takes comes from this parse: counting the nodes among them tells how
// far it is, and a stop unwinds from gumbo's next block straight back to the parse's start,
// after which every block it still held is freed.
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
    struct alignas(std::max_align_t) Block {
        Block* previous;
        Block* next;
    };
    static void* allocate(void* parse, std::size_t size);
    static void deallocate(void* parse, void* pointer);
    void run(std::string_view bytes);
    void freeAll();

    const std::function<bool(double)>& progress;
    GumboOptions options;
    GumboOutput* output = nullptr;
    Block blocks{&blocks, &blocks};   // every block gumbo holds, in a ring
    std::jmp_buf unwind;
    bool outOfMemory = false;
    std::size_t allocations = 0;
    std::size_t nodes = 0;
    double expectedNodes = 1;
};
