#include "platform/MemoryArenas.h"

#include <cstdlib>
#include <malloc.h>

namespace vantorix {

void useOneMemoryArena()
{
    if (!std::getenv("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 1);
}

void releaseFreeMemory()
{
    malloc_trim(0);
}

}  // namespace vantorix
