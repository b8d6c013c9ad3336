#pragma once

namespace vantorix {

// glibc looks at /etc/localtime again at every conversion of a time while
// TZ is unset, and libzip converts each entry's time as it opens a zip: a
// system call an archive. Naming the system's zone once (TZ set to
// ":/etc/localtime", which means the same, also to the programs started)
// ends that. Call at the start of main, before any thread.
void settleTimeZone();

}  // namespace vantorix
