#include "catalogue/RomScan.h"

#include <QCoreApplication>

#include "app/FilePath.h"
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "catalogue/CartridgeDetails.h"
#include "catalogue/HeadReader.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomFolder.h"
#include "catalogue/RomHeader.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace vantorix {

QString withoutControlCharacters(const QString &line)
{
    QString safe = line;
    for (QChar &c : safe) {
        const char16_t u = c.unicode();
        // Control characters, and the marks that reorder text (a right-to-
        // left override makes "X<RLO>BG.EXE.GB" read as another name) or
        // split lines for a reader that honours Unicode's separators.
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x061C || u == 0x200E || u == 0x200F
            || (u >= 0x2028 && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069))
            c = QLatin1Char('?');
    }
    return safe;
}

namespace {

// A write that failed (a full disk, a closed pipe) is said on err; the
// caller stops and fails.
bool writeOut(FILE *out, FILE *err, const QByteArray &bytes, bool flush = false)
{
    if ((bytes.isEmpty() || std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) == size_t(bytes.size()))
        && (!flush || std::fflush(out) == 0) && !std::ferror(out))
        return true;
    const int code = errno;
    std::fprintf(err, "kelpad: %s\n",
                 qUtf8Printable(QCoreApplication::translate("kelpad", "the output cannot be written: %1")
                                    .arg(QString::fromLocal8Bit(std::strerror(code)))));
    return false;
}

}  // namespace

int scanFolder(const QString &folder, const QString &mask, FILE *out, FILE *err)
{
    auto complain = [err](const QString &name, const QString &text) {
        std::fprintf(err, "%s: %s\n", withoutControlCharacters(displayPath(name)).toUtf8().constData(),
                     text.toUtf8().constData());
    };
    if (folder.isEmpty()) {
        complain(folder, IoError::fromErrno(ENOENT).text());
        return 2;
    }
    std::vector<QByteArray> names;
    try {
        const RomFolder dir(folder);
        names = dir.matchingFiles(mask);
        QStringList shownNames;
        shownNames.reserve(qsizetype(names.size()));
        for (const QByteArray &raw : names)
            shownNames.append(displayPath(decodePath(raw)));
        const QSet<QString> twins = caseTwins(shownNames);
        int status = 0;
        QByteArray buffer;
        // Read ahead by a pool of threads, printed here in sorted order.
        HeadReader reader(dir.fd(), names);
        for (size_t k = 0; k < names.size(); ++k) {
            const HeadResult read = reader.take(k);
            const QString name = std::move(shownNames[qsizetype(k)]);
            names[k] = QByteArray();  // what is printed is not kept
            std::optional<IoError> failure = read.error;
            if (!failure && read.regular) {
                try {
                    buffer += withoutControlCharacters(
                                  entryFromHeadNamed(read.head, read.size, entryNameFor(name, twins)))
                                  .toUtf8();
                    buffer += '\n';
                } catch (const IoError &error) {
                    failure = error;
                }
            }
            if (failure) {
                // Keep the error next to the entries printed before it.
                if (!writeOut(out, err, buffer, true))
                    return 1;
                buffer.clear();
                complain(name, failure->text());
                status = 1;
            }
            if (buffer.size() > 65536) {
                if (!writeOut(out, err, buffer))
                    return 1;
                buffer.clear();
            }
        }
        return writeOut(out, err, buffer, true) ? status : 1;
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
            const QString block = (first ? QString() : QStringLiteral("\n")) + lines.join(QLatin1Char('\n'))
                                  + QLatin1Char('\n');
            if (!writeOut(out, err, block.toUtf8()))
                return 1;
            first = false;
        } catch (const IoError &error) {
            std::fflush(out);
            std::fprintf(err, "%s: %s\n", shown.toUtf8().constData(), error.text().toUtf8().constData());
            status = 1;
        }
    }
    return writeOut(out, err, QByteArray(), true) ? status : 1;
}

}  // namespace vantorix
