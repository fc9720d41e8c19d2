#include "platform/base/LocalMemory.h"

#include "platform/base/LastError.h"

#include <cstdlib>

HLOCAL LocalAlloc(UINT flags, std::size_t bytes) {
    // A zero-byte request still gives a block of its own.
    void* block = (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (!block)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

HLOCAL LocalFree(HLOCAL block) {
    std::free(block);
    return nullptr;
}
