#include "catalogue/RomScan.h"

#include "app/IoError.h"
#include "catalogue/FileListing.h"
#include "catalogue/RomHeader.h"

#include <QDir>

namespace vantorix {

int scanFolder(const QString &folder, const QString &mask, FILE *out, FILE *err)
{
    QStringList names;
    try {
        names = listMatchingFiles(folder, mask);
    } catch (const IoError &error) {
        std::fprintf(err, "%s: %s\n", qUtf8Printable(folder), qUtf8Printable(error.text()));
        return 2;
    }
    const QDir dir(folder);
    int status = 0;
    QByteArray buffer;
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        if (!isRegularFile(path))
            continue;  // gone or replaced since it was listed
        try {
            buffer += readRomEntry(path, name).toUtf8();
            buffer += '\n';
        } catch (const IoError &error) {
            // Keep the error next to the entries printed before it.
            std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
            std::fflush(out);
            buffer.clear();
            std::fprintf(err, "%s: %s\n", qUtf8Printable(name), qUtf8Printable(error.text()));
            status = 1;
        }
        if (buffer.size() > 65536) {
            std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
            buffer.clear();
        }
    }
    std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
    std::fflush(out);
    return status;
}

}  // namespace vantorix
