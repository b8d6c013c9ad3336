#include "reading/RomScan.h"

#include "pictures/GamePictures.h"
#include "platform/WholeFile.h"

#include <QEventLoop>

#include <QCoreApplication>

#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"
#include "platform/TerminalText.h"
#include "names/CartridgeDetails.h"
#include "reading/Catalogue.h"
#include "reading/DetailToolTips.h"
#include "names/GameDatabase.h"
#include "reading/GameNaming.h"
#include "rom/HeadReader.h"
#include "reading/HeaderPass.h"
#include "rom/RomFolder.h"
#include "rom/RomHeader.h"
#include "reading/RomListing.h"

#include <algorithm>
#include <optional>
#include <cerrno>
#include <cstring>
#include <vector>

namespace vantorix {

void reportDatabaseProblems(const LoadedGameDatabases &databases, FILE *err)
{
    for (const QString &problem : databases.problems)
        printMessage(err, QCoreApplication::translate("kelpad", "game database skipped: %1")
                              .arg(withoutControlCharacters(problem)));
    for (const QString &problem : databases.gamesLeftOut)
        printMessage(err, QCoreApplication::translate("kelpad", "games left out of a game database: %1")
                              .arg(withoutControlCharacters(problem)));
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

// Appends file k's entry line to out: titled with the game's name when the
// databases know it, else with its header's title (its file's name when
// the header has none); a name in ASCII is
// written straight from the bytes, which a large folder is mostly made of.
// Throws IoError when the head is too short.
void appendEntryLine(QByteArray &out, const HeadResult &read, const RomListing &listing, size_t k,
                     const KnownGame *game)
{
    char title[kTitleSize];
    // A head too short fails here, with names or without.
    const QByteArrayView headerTitle = entryTitle(read.head, read.size, title);
    QByteArray nameBytes;
    if (game) {
        out += withoutControlCharacters(composeEntry(entryTitleOfGame(game->name), listing.entryName(k))).toUtf8();
    } else if (!headerTitle.isEmpty() && listing.asciiEntryName(k, &nameBytes)) {
        appendComposedEntry(out, headerTitle, nameBytes);
    } else {
        out += withoutControlCharacters(entryFromHeadNamed(read.head, read.size, listing.entryName(k),
                                                           displayPath(listing.paths[k])))
                   .toUtf8();
    }
    out += '\n';
}

}  // namespace

int scanFolder(const QString &folder, const QString &mask, const ListingScope &scope, FILE *out, FILE *err,
               Catalogue *names, Executor *executor)
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
    try {
        const RomFolder dir(folder);
        RomListing listing = listRoms(dir, mask, scope);
        int status = 0;
        const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
        for (const auto &[path, reason] : listing.skipped) {
            complain(base + path, reason);
            status = 1;
        }
        if (listing.cutShort) {
            printMessage(err, QCoreApplication::translate("kelpad", "only the first %n file(s) are listed", nullptr,
                                                          int(scope.maxFiles)));
            status = 1;
        }
        std::optional<GameNaming> naming;
        if (names)
            naming.emplace(*names, dir.fd());

        // Read ahead on the executor from now on, printed here in sorted
        // order; the names are decoded as their turn comes.
        HeadReader reader(dir.fd(), listing.paths, executor, HeadReader::defaultThreads(),
                          naming ? naming->knownKeys() : nullptr);
        QByteArray buffer;
        for (size_t k = 0; k < listing.paths.size(); ++k) {
            const HeadResult read = reader.take(k);
            std::optional<IoError> failure = read.error;
            const KnownGame *game = naming && !failure && read.regular ? naming->gameOf(read) : nullptr;
            if (!failure && read.regular) {
                try {
                    appendEntryLine(buffer, read, listing, k, game);
                } catch (const IoError &error) {
                    failure = error;
                }
            }
            if (failure) {
                // Keep the error next to the entries printed before it.
                if (!writeOut(out, err, buffer, true))
                    return 1;
                buffer.clear();
                complain(decodePath(listing.paths[k]), failure->text());
                status = 1;
            }
            listing.paths[k] = QByteArray();  // what is printed is not kept
            if (buffer.size() > 65536) {
                if (!writeOut(out, err, buffer))
                    return 1;
                buffer.resize(0);  // its room is kept
            }
        }
        if (naming) {
            naming->rememberKeys();
            if (naming->cacheBusy())
                printMessage(err, QCoreApplication::translate("kelpad", "the hash cache is held by another program:"
                                                                        " what was read is not kept"));
            reportDatabaseProblems(naming->databases(), err);
        }
        return writeOut(out, err, buffer, true) ? status : 1;
    } catch (const IoError &error) {
        complain(folder, error.text());
        return 2;
    }
}

namespace {

// Where the game's pictures lie ("Box art: PATH"), after downloading the
// box art first when asked to, and the failed downloads of its names.
QStringList pictureLines(const QString &file, const CartridgeDetails &details, const GameDatabase &databases,
                         Catalogue &catalogue, bool download)
{
    const KnownGame *game = databases.find(details.key);
    const PictureQuery query = pictureQueryOf(file, details, databases);
    const QStringList roots = pictureRoots();
    PictureFetcher *downloads = download ? catalogue.pictureDownloads() : nullptr;
    if (downloads && game && findPicture(roots, query, PictureKind::BoxArt).isEmpty()) {
        QEventLoop waiting;
        bool done = false;
        downloads->fetch(query, PictureKind::BoxArt, &waiting, [&](const QString &) {
            done = true;
            waiting.quit();
        });
        if (!done)
            waiting.exec();
    }
    QStringList lines;
    const std::pair<PictureKind, const char *> kinds[] = {
        {PictureKind::BoxArt, "Box art: "}, {PictureKind::TitleScreen, "Title screen: "},
        {PictureKind::Screenshot, "Screenshot: "}};
    for (const auto &[kind, label] : kinds) {
        const QString picture = findPicture(roots, query, kind);
        if (!picture.isEmpty())
            lines.append(QLatin1String(label) + displayPath(picture));
    }
    QByteArray log;
    try {
        log = readWholeFile(pictureDownloadLogPath(), kMaxPictureBytes);
    } catch (const IoError &) {
    }
    for (const QByteArray &entry : log.split('\n'))
        for (const QString &name : query.names)
            if (entry.contains((QLatin1Char('/') + name + QStringLiteral(".png: ")).toUtf8())) {
                lines.append(QStringLiteral("Download failed: ") + QString::fromUtf8(entry));
                break;
            }
    return lines;
}

}  // namespace

int printDetails(const QStringList &files, Catalogue &catalogue, FILE *out, FILE *err, bool downloadPictures)
{
    int status = 0;
    bool first = true;
    const std::shared_ptr<const LoadedGameDatabases> databases = catalogue.databases();
    reportDatabaseProblems(*databases, err);
    for (const QString &file : files) {
        const QString shown = withoutControlCharacters(displayPath(file));
        try {
            const CartridgeDetails details = readCartridgeDetails(file);
            QStringList lines = detailLines(details, shown, &databases->database);
            lines += pictureLines(file, details, databases->database, catalogue, downloadPictures);
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
