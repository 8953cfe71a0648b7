// How much memory this machine has: what the programs size the largest picture they accept by,
// instead of Qt's fixed 128 MB.
#pragma once

#include <cstdint>

#include <unistd.h>

namespace platform {

// The machine's physical memory in bytes; 4 GiB when the system does not say.
inline std::uint64_t physicalMemory()
{
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? std::uint64_t(pages) * std::uint64_t(pageSize)
                                     : std::uint64_t(4) << 30;
}

} // namespace platform
