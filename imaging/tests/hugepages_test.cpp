// The tools' allocator for large blocks: on 2 MiB boundaries, and a block let go is handed to
// the next large request it can hold, its contents kept whole, while small blocks are left to
// malloc.
#include "check.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

bool onHugePage(const void *p)
{
    return reinterpret_cast<std::uintptr_t>(p) % (std::uintptr_t(2) << 20) == 0;
}

} // namespace

int main()
{
    constexpr std::size_t kMiB = std::size_t(1) << 20;
    void *first = ::operator new(8 * kMiB);
    CHECK(onHugePage(first));
    std::memset(first, 7, 8 * kMiB);
    ::operator delete(first);

    // Let go of, the block serves the next large request that fits, however small things come
    // and go between; a second request at once needs a block of its own.
    delete new int(100);
    char *again = static_cast<char *>(::operator new(6 * kMiB));
    CHECK(again == first);
    std::memset(again, 1, 6 * kMiB);
    char *other = static_cast<char *>(::operator new(6 * kMiB));
    CHECK(other != again && onHugePage(other));
    std::memset(other, 2, 6 * kMiB);
    CHECK(again[0] == 1 && again[6 * kMiB - 1] == 1);

    // One larger than any block let go is a new one, on its boundary too.
    ::operator delete(again);
    ::operator delete(other);
    char *larger = static_cast<char *>(::operator new(20 * kMiB));
    CHECK(onHugePage(larger));
    larger[20 * kMiB - 1] = 3;
    ::operator delete(larger);
    return check::summary();
}
