#include "library/SharedBytes.h"

#include <cstdlib>
#include <limits>
#include <new>

namespace vantorix {

SharedBytes::SharedBytes(qsizetype size)
{
    if (size <= 0)
        return;
    if (quint64(size) > std::numeric_limits<quint32>::max())
        throw std::bad_alloc();
    void *memory = std::malloc(sizeof(Header) + size_t(size));
    if (!memory)
        throw std::bad_alloc();
    d_ = new (memory) Header{{1}, quint32(size)};
}

SharedBytes::~SharedBytes()
{
    if (d_ && d_->owners.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        d_->~Header();
        std::free(d_);
    }
}

}  // namespace vantorix
