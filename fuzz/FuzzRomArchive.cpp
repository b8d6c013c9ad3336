// Hostile bytes as an archive: the ROM inside or one of the archive errors,
// never a crash, a leak, or more unpacked than was asked for.
#include "platform/IoError.h"
#include "rom/RomArchive.h"
#include "rom/RomDigest.h"
#include "rom/RomHeader.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(const QByteArray &archive, bool whole)
{
    try {
        vantorix::RomDigest digest;
        const vantorix::ArchiveRom rom =
            vantorix::readArchiveRom(archive, vantorix::kHeadBytes, whole ? &digest : nullptr);
        if (rom.bytes.size() > vantorix::kHeadBytes || digest.size() > vantorix::kMaxRomBytes)
            std::abort();
        if (whole && (rom.size != digest.size() || rom.crc32 != digest.crc32()))
            std::abort();
    } catch (const vantorix::IoError &error) {
        switch (error.code()) {
        case vantorix::IoError::DamagedArchive:
        case vantorix::IoError::LockedArchive:
        case vantorix::IoError::EmptyArchive:
        case vantorix::IoError::FileTooLarge:
            break;
        default:
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray archive = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    check(archive, false);
    check(archive, true);
    return 0;
}
