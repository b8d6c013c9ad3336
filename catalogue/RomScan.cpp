#include "catalogue/RomScan.h"

#include "app/FilePath.h"
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "catalogue/CartridgeDetails.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomFolder.h"
#include "catalogue/RomHeader.h"

#include <vector>

namespace vantorix {

QString withoutControlCharacters(const QString &line)
{
    QString safe = line;
    for (QChar &c : safe) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            c = QLatin1Char('?');
    }
    return safe;
}

int scanFolder(const QString &folder, const QString &mask, FILE *out, FILE *err)
{
    auto complain = [err](const QString &name, const QString &text) {
        std::fprintf(err, "%s: %s\n", withoutControlCharacters(displayPath(name)).toUtf8().constData(),
                     text.toUtf8().constData());
    };
    std::vector<QByteArray> names;
    try {
        const RomFolder dir(folder);
        names = dir.matchingFiles(mask);
        QStringList shownNames;
        shownNames.reserve(qsizetype(names.size()));
        for (const QByteArray &raw : names)
            shownNames.append(displayPath(decodePath(raw)));
        const QSet<QString> twins = caseTwins(shownNames);
        shownNames.clear();
        int status = 0;
        QByteArray head;
        QByteArray buffer;
        for (QByteArray &raw : names) {
            const QString name = displayPath(decodePath(raw));
            try {
                qint64 size = 0;
                if (readRomHead(dir.fd(), raw, &head, &size)) {
                    buffer += withoutControlCharacters(entryFromHeadNamed(head, size, entryNameFor(name, twins)))
                                  .toUtf8();
                    buffer += '\n';
                }
            } catch (const IoError &error) {
                // Keep the error next to the entries printed before it.
                std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
                std::fflush(out);
                buffer.clear();
                complain(name, error.text());
                status = 1;
            }
            raw = QByteArray();  // what is printed is not kept
            if (buffer.size() > 65536) {
                std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
                buffer.clear();
            }
        }
        std::fwrite(buffer.constData(), 1, size_t(buffer.size()), out);
        std::fflush(out);
        return status;
    } catch (const IoError &error) {
        complain(folder, error.text());
        return 2;
    }
}

int printDetails(const QStringList &files, FILE *out, FILE *err)
{
    int status = 0;
    bool first = true;
    for (const QString &file : files) {
        const QString shown = withoutControlCharacters(displayPath(file));
        try {
            QStringList lines = detailLines(readCartridgeDetails(file), shown);
            for (QString &line : lines)
                line = withoutControlCharacters(line);  // an archive entry's name is anyone's
            std::fprintf(out, "%s%s\n", first ? "" : "\n", lines.join(QLatin1Char('\n')).toUtf8().constData());
            first = false;
        } catch (const IoError &error) {
            std::fflush(out);
            std::fprintf(err, "%s: %s\n", shown.toUtf8().constData(), error.text().toUtf8().constData());
            status = 1;
        }
    }
    std::fflush(out);
    return status;
}

}  // namespace vantorix
