#pragma once

#include <sys/syscall.h>
#include <unistd.h>

namespace vantorix {

// An open file descriptor, closed when it goes out of scope. The close
// goes straight to the kernel where that is plain (64-bit Linux): glibc
// wraps each cancellation point in two atomic updates of the thread's
// state once a process has threads, and the reading threads close a file
// for every ROM.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ < 0)
            return;
#if defined(__linux__) && defined(__LP64__)
        ::syscall(SYS_close, fd_);
#else
        ::close(fd_);
#endif
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

}  // namespace vantorix
