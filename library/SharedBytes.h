#pragma once

#include <QByteArrayView>

#include <atomic>
#include <utility>

namespace vantorix {

// Bytes written once and then only read, shared by whoever holds them (on
// any thread) and freed with the last. Eight bytes a holder and eight of
// header: the library keeps 100,000 of these, where a QByteArray costs 24
// and 16.
class SharedBytes {
public:
    SharedBytes() = default;
    // size bytes, not set: written through data() before the first copy.
    explicit SharedBytes(qsizetype size);
    SharedBytes(const SharedBytes &other) noexcept : d_(other.d_)
    {
        if (d_)
            d_->owners.fetch_add(1, std::memory_order_relaxed);
    }
    SharedBytes(SharedBytes &&other) noexcept : d_(std::exchange(other.d_, nullptr)) {}
    SharedBytes &operator=(SharedBytes other) noexcept
    {
        std::swap(d_, other.d_);
        return *this;
    }
    ~SharedBytes();

    const char *constData() const { return d_ ? bytesOf(d_) : ""; }
    char *data() { return d_ ? bytesOf(d_) : nullptr; }
    qsizetype size() const { return d_ ? qsizetype(d_->size) : 0; }
    QByteArrayView view() const { return QByteArrayView(constData(), size()); }

private:
    struct Header {
        std::atomic<quint32> owners;
        quint32 size;
    };
    static char *bytesOf(Header *header) { return reinterpret_cast<char *>(header + 1); }
    static const char *bytesOf(const Header *header) { return reinterpret_cast<const char *>(header + 1); }

    Header *d_ = nullptr;
};

}  // namespace vantorix
