#pragma once

namespace vantorix {

// The window program's threads mostly wait on drives and hand what they
// read to the window's thread; glibc gives threads arenas of their own,
// and a pass over 100,000 games leaves them half empty (about 25 MiB of
// resident memory in the library's benchmark, still 23 MiB with two
// arenas). One arena serves as fast: the threads allocate little. Called first thing in main(), before any thread starts;
// MALLOC_ARENA_MAX, where set, is left to decide.
void useOneMemoryArena();

}  // namespace vantorix
