#include "input/ParseArena.h"

#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>

// Each block is preceded by its size class in the 8 bytes before it; blocks start 8 bytes
// into a 16-byte granule, so that what is given is 16-byte aligned.
namespace {

constexpr std::uint64_t largeClass = ~std::uint64_t{0};

std::uint64_t& classOf(void* pointer)
{
    return *reinterpret_cast<std::uint64_t*>(static_cast<char*>(pointer) - sizeof(std::uint64_t));
}

} // namespace

struct ParseArena::Large {
    Large* previous;
    Large* next;
    std::uint64_t padding;
    std::uint64_t sizeClass;   // largeClass, just before the block
};

ParseArena::~ParseArena()
{
    release();
}

void* ParseArena::allocate(std::size_t size)
{
    if (size > largest) {
        if (size > SIZE_MAX - sizeof(Large))
            return nullptr;
        auto* large = static_cast<Large*>(std::malloc(sizeof(Large) + size));
        if (!large)
            return nullptr;
        large->previous = nullptr;
        large->next = larges;
        if (larges)
            larges->previous = large;
        larges = large;
        large->sizeClass = largeClass;
        return large + 1;
    }
    const std::size_t sizeClass = (size + header + granule - 1) / granule;
    if (Free* reused = freeBySize[sizeClass]) {
        freeBySize[sizeClass] = reused->next;
        return reused;
    }
    char* block = bump(sizeClass * granule);
    if (!block)
        return nullptr;
    void* given = block + header;
    classOf(given) = sizeClass;
    return given;
}

void ParseArena::deallocate(void* pointer)
{
    if (!pointer)
        return;
    const std::uint64_t sizeClass = classOf(pointer);
    if (sizeClass == largeClass) {
        Large* large = static_cast<Large*>(pointer) - 1;
        (large->previous ? large->previous->next : larges) = large->next;
        if (large->next)
            large->next->previous = large->previous;
        std::free(large);
        return;
    }
    auto* freed = static_cast<Free*>(pointer);
    freed->next = freeBySize[sizeClass];
    freeBySize[sizeClass] = freed;
}

// Each region begins with the address of the one made before it.
char* ParseArena::bump(std::size_t size)
{
    if (static_cast<std::size_t>(end - next) < size) {
        void* region = ::mmap(nullptr, regionSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (region == MAP_FAILED)
            return nullptr;
        ::madvise(region, regionSize, MADV_HUGEPAGE);   // only a wish: small pages do as well
        *static_cast<char**>(region) = lastRegion;
        lastRegion = static_cast<char*>(region);
        next = lastRegion + granule + header;
        end = lastRegion + regionSize;
    }
    char* block = next;
    next += size;
    return block;
}

void ParseArena::release()
{
    while (lastRegion) {
        char* region = lastRegion;
        lastRegion = *reinterpret_cast<char**>(region);
        ::munmap(region, regionSize);
    }
    next = end = nullptr;
    freeBySize.fill(nullptr);
    while (larges) {
        Large* large = larges;
        larges = large->next;
        std::free(large);
    }
}
