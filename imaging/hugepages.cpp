// Large blocks on transparent huge pages, for the image tools.
//
// Every 4 KiB page of a fresh buffer costs a page fault; a tool on a 2048 × 2048 image touches
// some 36,000 of them, and measured on blur.exe they were two thirds of its CPU time (0.35 s
// of user and 0.25 s of system time against 0.13 s and 0.03 s on 2 MiB pages). Debian's kernel
// gives huge pages to memory that asks for them with madvise(MADV_HUGEPAGE), and only to 2 MiB
// extents aligned as such; so the tools' operator new hands out blocks of 4 MiB and more
// aligned to 2 MiB and asks for them. Smaller blocks come from malloc as usual. Linked into
// the tools and their benchmark floor only.
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kLarge = 2 * kHugePage;

void *allocate(std::size_t size)
{
    if (size >= kLarge) {
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        if (void *p = std::aligned_alloc(kHugePage, rounded)) {
            ::madvise(p, rounded, MADV_HUGEPAGE); // a kernel without huge pages just says no
            return p;
        }
        throw std::bad_alloc();
    }
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

} // namespace

void *operator new(std::size_t size)
{
    return allocate(size);
}

void *operator new[](std::size_t size)
{
    return allocate(size);
}

void operator delete(void *p) noexcept
{
    std::free(p);
}

void operator delete[](void *p) noexcept
{
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void *p, std::size_t) noexcept
{
    std::free(p);
}
