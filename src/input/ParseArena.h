#pragma once

#include <array>
#include <cstddef>

// The memory of one parse, given back all at once when the parse is over. A page's tree is
// hundreds of thousands of small blocks; taking them from large regions the system backs
// with huge pages where it can costs a fault per 2 MiB rather than per 4 KiB, and giving the
// regions back returns all of it without trimming the heap. A block freed during the parse
// is kept for the next one of its size.
class ParseArena
{
public:
    ParseArena() = default;
    ~ParseArena();
    ParseArena(const ParseArena&) = delete;
    ParseArena& operator=(const ParseArena&) = delete;

    // Null when the system has no memory left.
    void* allocate(std::size_t size);
    void deallocate(void* pointer);
    // Gives back every block at once.
    void release();

private:
    struct Free { Free* next; };
    struct Large;   // a block too large for the regions, held as a list of its own

    static constexpr std::size_t granule = 16;        // blocks are 16-byte aligned
    static constexpr std::size_t header = 8;          // a block's size class, before it
    static constexpr std::size_t largest = 4096;      // larger blocks come from malloc
    static constexpr std::size_t regionSize = 32u << 20;

    char* bump(std::size_t size);

    char* lastRegion = nullptr;   // the regions, each holding the one before
    char* next = nullptr;
    char* end = nullptr;
    std::array<Free*, (largest + header) / granule + 2> freeBySize{};   // by size class, in granules
    Large* larges = nullptr;
};
