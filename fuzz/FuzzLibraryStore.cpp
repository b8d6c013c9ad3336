// Any bytes at the library store's place are refused as no store, or read
// into a store whose text reads back to the same text: nothing a store
// holds is lost or changed by a read and a write.
#include "library/LibraryStore.h"
#include "platform/IoError.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    vantorix::LibraryStore store;
    try {
        store = vantorix::LibraryStore::parse(bytes);
    } catch (const vantorix::IoError &error) {
        if (error.code() != vantorix::IoError::NotLibraryStore)
            std::abort();
        return 0;
    }
    const QByteArray once = store.serialize();
    try {
        if (vantorix::LibraryStore::parse(once).serialize() != once)
            std::abort();
    } catch (const vantorix::IoError &) {
        std::abort();  // what it wrote is a store
    }
    return 0;
}
