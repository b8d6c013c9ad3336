#pragma once

#include <QByteArray>

// What one streaming read of a whole ROM keeps: its first bytes (every
// header layout's block lies in them), its size, its CRC32 and the sum of
// all its bytes. Memory stays bounded whatever the file holds.
namespace vantorix {

class RomDigest {
public:
    void add(const char *data, qint64 length);

    const QByteArray &head() const { return head_; }
    qint64 size() const { return size_; }
    quint32 crc32() const { return crc32_; }
    quint32 byteSum() const { return byteSum_; }

private:
    QByteArray head_;
    qint64 size_ = 0;
    quint32 crc32_ = 0;
    quint32 byteSum_ = 0;
};

}  // namespace vantorix
