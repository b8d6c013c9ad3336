#include "names/StartableRom.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"
#include "rom/ArchiveParts.h"
#include "names/CartridgeDetails.h"
#include "rom/RomArchive.h"
#include "rom/RomHeader.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

constexpr qint64 kLogoOffset = 0x104;

}  // namespace

void checkStartableRom(const QString &path)
{
    struct stat st;
    const FileDescriptor fd = openForReading(path, &st);
    if (!S_ISREG(st.st_mode))
        throw IoError::notRegularFile();
    char lead[8] = {};
    const qint64 leadBytes = readAt(fd.get(), lead, sizeof lead, 0);
    if (!isArchive(QByteArray(lead, int(leadBytes))))
        return;
    try {
        const ArchiveRom rom = readArchiveRom(fd.get(), kHeadBytes);
        const QByteArray logo = rom.bytes.mid(kLogoOffset, cartridgeLogo().size());
        if (!hasRomName(rom.entryName.toUtf8()) && logo != cartridgeLogo())
            throw IoError::noRomInArchive();
    } catch (const IoError &error) {
        if (error.code() == IoError::EmptyArchive)
            throw IoError::noRomInArchive();
        throw;
    }
}

bool isRomFile(const QString &path)
{
    const std::optional<QByteArray> lead = headOfRegularFile(path, 3);
    if (!lead || *lead == "## ")
        return false;
    try {
        const CartridgeDetails details = readCartridgeDetails(path);
        return details.logoValid || !details.archiveEntry.isEmpty();
    } catch (const IoError &) {
        return false;
    }
}

bool isStartedAsRom(const QString &path)
{
    return hasRomName(encodePath(baseName(path))) || isRomFile(path);
}

}  // namespace vantorix
