#include "rom/NameOrder.h"

#include "platform/FilePath.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vantorix {

namespace {

// A name's folded text laid down once in a shared buffer of keys, as bytes
// whose order is the order of the text's code units: each code unit as
// UTF-8 encodes a number (a surrogate alone too), one byte for ASCII. Its
// first 16 bytes, big-endian in two integers, settle nearly every
// comparison without touching the buffer.
struct SortKey {
    uint64_t high = 0;
    uint64_t low = 0;
    uint32_t start = 0;
    uint32_t size = 0;
    size_t index = 0;
};

constexpr uint32_t kPrefixBytes = 16;

void appendUnit(char16_t u, std::vector<char> &keys)
{
    if (u < 0x80) {
        keys.push_back(char(u));
    } else if (u < 0x800) {
        keys.push_back(char(0xC0 | (u >> 6)));
        keys.push_back(char(0x80 | (u & 0x3F)));
    } else {
        keys.push_back(char(0xE0 | (u >> 12)));
        keys.push_back(char(0x80 | ((u >> 6) & 0x3F)));
        keys.push_back(char(0x80 | (u & 0x3F)));
    }
}

void appendFoldedKey(const QByteArray &name, std::vector<char> &keys)
{
    // Nearly every name is ASCII: folded byte by byte, undecoded.
    if (isAscii(name)) {
        for (const char c : name)
            keys.push_back(asciiLower(c));
        return;
    }
    for (const QChar c : decodePath(name).toCaseFolded())
        appendUnit(c.unicode(), keys);
}

uint64_t bigEndian(const char *bytes, uint32_t size)
{
    uint64_t value = 0;
    for (uint32_t i = 0; i < 8; ++i)
        value = value << 8 | (i < size ? uchar(bytes[i]) : 0);
    return value;
}

}  // namespace

void sortNamesAsShown(std::vector<QByteArray> &names)
{
    std::vector<char> keys;
    std::vector<SortKey> order(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const size_t start = keys.size();
        appendFoldedKey(names[i], keys);
        order[i].start = uint32_t(start);
        order[i].size = uint32_t(keys.size() - start);
        order[i].index = i;
    }
    for (SortKey &key : order) {
        const char *bytes = keys.data() + key.start;
        key.high = bigEndian(bytes, key.size);
        key.low = bigEndian(bytes + qMin(key.size, 8u), key.size > 8 ? key.size - 8 : 0);
    }
    const char *base = keys.data();
    std::sort(order.begin(), order.end(), [&](const SortKey &a, const SortKey &b) {
        if (a.high != b.high)
            return a.high < b.high;
        if (a.low != b.low)
            return a.low < b.low;
        // No key holds a zero byte, so equal prefixes are the same bytes.
        const uint32_t common = std::min(a.size, b.size);
        if (common > kPrefixBytes) {
            const int byKey = std::memcmp(base + a.start + kPrefixBytes, base + b.start + kPrefixBytes,
                                          common - kPrefixBytes);
            if (byKey != 0)
                return byKey < 0;
        }
        if (a.size != b.size)
            return a.size < b.size;
        return names[a.index] < names[b.index];
    });
    std::vector<QByteArray> sorted;
    sorted.reserve(names.size());
    for (const SortKey &key : order)
        sorted.push_back(std::move(names[key.index]));
    names = std::move(sorted);
}

}  // namespace vantorix
