// Large blocks on transparent huge pages, kept for reuse, for the image tools.
//
// Every 4 KiB page of a fresh buffer costs a page fault; a tool on a 2048 × 2048 image touches
// some 36,000 of them, and measured on blur.exe they were two thirds of its CPU time (0.35 s
// of user and 0.25 s of system time against 0.13 s and 0.03 s on 2 MiB pages). Debian's kernel
// gives huge pages to memory that asks for them with madvise(MADV_HUGEPAGE), and only to 2 MiB
// extents aligned as such; so the tools' operator new hands out blocks of 4 MiB and more
// aligned to 2 MiB and asks for them. Smaller blocks come from malloc as usual.
//
// Even on huge pages the kernel clears every fresh page, and a tool lets go of one image-sized
// buffer and asks for the next many times in a run (the file read, the image, the spectrum,
// the result, the file written): measured at 2048², that clearing took from a third to more
// than half of the CPU time of blur.exe and motion.exe.
// So a large block that is let go is kept, and handed out again to the next request it can
// hold. Blocks are kept only until the next large request: whatever it does not take goes
// back to the system then, as does the part of a kept block beyond a smaller request, so the
// memory a tool holds never exceeds what it held before letting go, and its peak does not
// grow. Linked into the tools and their benchmark floor only.
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

#include <malloc.h>
#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t(2) << 20;
constexpr std::size_t kLarge = 2 * kHugePage;

struct Kept
{
    void *block;
    std::size_t size; // bytes of the block that are mapped and may hold pages
};
constexpr int kMaxKept = 8;
Kept kept[kMaxKept];
int keptCount = 0;
std::mutex keptLock; // the tools have one thread, but a block is too dear to lose to a race

void releaseKept()
{
    for (int i = 0; i < keptCount; ++i)
        std::free(kept[i].block);
    keptCount = 0;
}

void *allocateLarge(std::size_t size)
{
    const std::lock_guard guard(keptLock);
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    int best = -1;
    for (int i = 0; i < keptCount; ++i)
        if (kept[i].size >= rounded && (best < 0 || kept[i].size < kept[best].size))
            best = i;
    if (best >= 0) {
        const Kept k = kept[best];
        kept[best] = kept[--keptCount];
        releaseKept();
        if (k.size > rounded) // the pages beyond the request go back to the system
            ::madvise(static_cast<char *>(k.block) + rounded, k.size - rounded, MADV_DONTNEED);
        return k.block;
    }
    releaseKept();
    if (void *p = std::aligned_alloc(kHugePage, rounded)) {
        ::madvise(p, rounded, MADV_HUGEPAGE); // a kernel without huge pages just says no
        return p;
    }
    throw std::bad_alloc();
}

void *allocate(std::size_t size)
{
    if (size >= kLarge)
        return allocateLarge(size);
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void release(void *p) noexcept
{
    if (p && reinterpret_cast<std::uintptr_t>(p) % kHugePage == 0) {
        const std::size_t usable = ::malloc_usable_size(p);
        if (usable >= kLarge) {
            const std::lock_guard guard(keptLock);
            if (keptCount == kMaxKept) {
                std::free(kept[0].block);
                kept[0] = kept[--keptCount];
            }
            kept[keptCount++] = {p, usable / kHugePage * kHugePage};
            return;
        }
    }
    std::free(p);
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
    release(p);
}

void operator delete[](void *p) noexcept
{
    release(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    release(p);
}

void operator delete[](void *p, std::size_t) noexcept
{
    release(p);
}
