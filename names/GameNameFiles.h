#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The game names downloaded for the user: No-Intro's lists of Game Boy and
// Game Boy Color games, as libretro-database keeps them. What decides
// whether a download is kept, where it goes, and what is remembered of it
// beside it (its version, the server's tag, when it was last checked).
namespace vantorix {

struct GameNamesFile {
    QString system;    // as the DAT's header names it: "Nintendo - Game Boy"
    QString fileName;  // as the server and the user's folder name it
};

// The two files, in order.
const QList<GameNamesFile> &gameNamesFiles();

// The least a database must list to be kept: a page or a stub is none.
constexpr int kLeastGamesKept = 100;
// The most a download may bring.
constexpr qint64 kMostNamesBytes = qint64(16) << 20;

// Why bytes are no database of the system's names (a page, a truncated
// file, another system's, too few games), or nothing when they are;
// version receives the header's version (or date).
QString whyNotNamesDatabase(const QByteArray &bytes, const QString &system, QString *version);

// What is remembered of a download, beside it in the user's folder of
// databases (a hidden file, which no reading of DATs takes).
struct NamesDownloadRecord {
    QByteArray etag;
    QByteArray lastModified;
    QDateTime checked;  // UTC; invalid when never
    QString version;

    static QString pathOf(const QString &datFolder, const GameNamesFile &file);
    // Nothing (checked invalid) where there is none.
    static NamesDownloadRecord read(const QString &datFolder, const GameNamesFile &file);
    // Throws IoError.
    void write(const QString &datFolder, const GameNamesFile &file) const;
};

// Whether the file of that name in the user's folder is a download of
// ours (it has its record); one without is the user's own and never
// touched.
bool isDownloadedNamesFile(const QString &datFolder, const GameNamesFile &file);

// Whether the user has a database of their own naming Game Boy or Game Boy
// Color games in their folder (one they put there, not a download; Debian's
// old list does not count).
bool hasOwnNamesDatabase(const QString &datFolder);

// Whether a week has gone since the downloads were last checked (or they
// never were).
bool namesCheckDue(const QString &datFolder, const QDateTime &now = QDateTime::currentDateTimeUtc());

}  // namespace vantorix
