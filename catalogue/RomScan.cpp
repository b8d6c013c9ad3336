#include "catalogue/RomScan.h"

#include <QCoreApplication>

#include "app/FilePath.h"
#include "app/GameListEntry.h"
#include "app/IoError.h"
#include "app/TerminalText.h"
#include "catalogue/CartridgeDetails.h"
#include "catalogue/HeadReader.h"
#include "catalogue/HeaderPass.h"
#include "catalogue/RomFolder.h"
#include "catalogue/RomHeader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace vantorix {

QString withoutControlCharacters(const QString &line)
{
    // Control characters, and the marks that reorder text (a right-to-left
    // override makes "X<RLO>BG.EXE.GB" read as another name) or split lines
    // for a reader that honours Unicode's separators.
    const auto unsafe = [](QChar c) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F)  // nearly every character
            return false;
        return u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0) || u == 0x061C || u == 0x200E || u == 0x200F
               || (u >= 0x2028 && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
    };
    if (std::none_of(line.cbegin(), line.cend(), unsafe))
        return line;  // shared, not copied
    QString safe = line;
    std::replace_if(safe.begin(), safe.end(), unsafe, QLatin1Char('?'));
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
    printMessage(err, QCoreApplication::translate("kelpad", "the output cannot be written: %1")
                          .arg(QString::fromLocal8Bit(std::strerror(code))));
    return false;
}

// The entry's file name of an ASCII name, laid down in bytes: what
// withoutControlCharacters(entryFileName(name)) gives, without a text.
QByteArrayView asciiEntryName(const QByteArray &raw, QByteArray &bytes)
{
    qsizetype first = 0;
    qsizetype last = raw.size();
    while (first < last && uchar(raw.at(first)) <= 32)
        ++first;
    while (last > first && uchar(raw.at(last - 1)) <= 32)
        --last;
    bytes.resize(last - first);
    char *out = bytes.data();
    for (qsizetype i = first; i < last; ++i) {
        const char c = raw.at(i);
        *out++ = c >= 'a' && c <= 'z' ? char(c - 32) : c < 0x20 || c == 0x7F ? '?' : c;
    }
    return bytes;
}

}  // namespace

int scanFolder(const QString &folder, const QString &mask, FILE *out, FILE *err)
{
    auto complain = [err](const QString &name, const QString &text) {
        const QByteArray line = terminalText(withoutControlCharacters(displayPath(name)) + QStringLiteral(": ") + text
                                             + QLatin1Char('\n'));
        std::fwrite(line.constData(), 1, size_t(line.size()), err);
    };
    if (folder.isEmpty()) {
        complain(folder, IoError::fromErrno(ENOENT).text());
        return 2;
    }
    std::vector<QByteArray> names;
    try {
        const RomFolder dir(folder);
        names = dir.matchingFiles(mask);
        // Read ahead by a pool of threads from now on, printed here in
        // sorted order; the names are decoded as their turn comes.
        HeadReader reader(dir.fd(), names);
        const QSet<QString> twins = caseTwins(names);
        int status = 0;
        QByteArray buffer;
        QByteArray nameBytes;
        for (size_t k = 0; k < names.size(); ++k) {
            const HeadResult read = reader.take(k);
            const QByteArray raw = std::move(names[k]);  // what is printed is not kept
            std::optional<IoError> failure = read.error;
            if (!failure && read.regular) {
                try {
                    if (twins.isEmpty() && isAscii(raw)) {
                        char title[kTitleSize];
                        const QByteArrayView titleView = entryTitle(read.head, read.size, title);
                        appendComposedEntry(buffer, titleView, asciiEntryName(raw, nameBytes));
                    } else {
                        const QString name = displayPath(decodePath(raw));
                        buffer += withoutControlCharacters(
                                      entryFromHeadNamed(read.head, read.size, entryNameFor(name, twins)))
                                      .toUtf8();
                    }
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
                complain(decodePath(raw), failure->text());
                status = 1;
            }
            if (buffer.size() > 65536) {
                if (!writeOut(out, err, buffer))
                    return 1;
                buffer.resize(0);  // its room is kept
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
            const QByteArray line = terminalText(shown + QStringLiteral(": ") + error.text() + QLatin1Char('\n'));
            std::fwrite(line.constData(), 1, size_t(line.size()), err);
            status = 1;
        }
    }
    return writeOut(out, err, QByteArray(), true) ? status : 1;
}

}  // namespace vantorix
