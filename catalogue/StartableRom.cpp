#include "catalogue/StartableRom.h"

#include "app/FileDescriptor.h"
#include "app/FilePath.h"
#include "app/IoError.h"
#include "catalogue/ArchiveParts.h"
#include "catalogue/CartridgeDetails.h"
#include "catalogue/RomArchive.h"
#include "catalogue/RomHeader.h"

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
    const ssize_t leadBytes = ::pread(fd.get(), lead, sizeof lead, 0);
    if (leadBytes < 0)
        throw IoError::fromErrno(errno);
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

}  // namespace vantorix
