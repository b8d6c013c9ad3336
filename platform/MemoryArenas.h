#pragma once

namespace vantorix {

// The window program's threads mostly wait on drives and hand what they
// read to the window's thread; glibc gives threads arenas of their own,
// and a pass over 100,000 games leaves them half empty (about 25 MiB of
// resident memory in the library's benchmark, still 23 MiB with two
// arenas). One arena serves as fast: the threads allocate little. Called first thing in main(), before any thread starts;
// MALLOC_ARENA_MAX, where set, is left to decide.
void useOneMemoryArena();

// Gives the heap's free pages back to the system: after a pass over
// 100,000 games, what its buffers, batches and key sets held is free but
// still resident (glibc keeps it), and a system monitor counts it as the
// program's.
void releaseFreeMemory();

}  // namespace vantorix
