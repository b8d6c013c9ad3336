#pragma once

#include "names/GameNameFiles.h"

#include <QObject>
#include <QStringList>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;

namespace vantorix {

class Executor;

// Fetches the game names (No-Intro's Game Boy and Game Boy Color lists,
// from libretro-database; VANTORIX_DATABASE_URL replaces the address) into
// the user's folder of databases. Each file is read whole into memory
// within bounds (kMostNamesBytes received, kStallMs without progress, at
// most 5 redirects, to HTTPS only but on this machine), read by the
// program's own DAT reader, and kept only when it lists at least
// kLeastGamesKept games of its system: then written atomically over the
// older download, never through a link. A user's own file of that name is
// never touched. A check asks the server whether a file changed (its tag,
// else its time) and reads nothing when it did not.
class GameNameDownloads : public QObject {
    Q_OBJECT
public:
    static constexpr int kStallMs = 30'000;

    struct Outcome {
        QStringList fetched;   // files written anew
        QStringList current;   // unchanged on the server
        QStringList failures;  // "file: reason"
    };

    // Writes on writer where one is given (the catalogue's executor).
    explicit GameNameDownloads(const QString &datFolder, Executor *writer = nullptr, QObject *parent = nullptr);

    // https://raw.githubusercontent.com/libretro/libretro-database/master/metadat/no-intro/,
    // or VANTORIX_DATABASE_URL.
    static QUrl defaultBase();
    void setBase(const QUrl &base) { base_ = base; }
    void setStallMs(int ms) { stallMs_ = ms; }

    // Fetches both files (check: only those changed since the last
    // download); done receives what came of it on this object's thread.
    void fetch(bool check, std::function<void(const Outcome &)> done);

private:
    void fetchOne(int index, bool check, std::shared_ptr<Outcome> outcome, std::function<void(const Outcome &)> done);

    QString datFolder_;
    Executor *writer_;
    QUrl base_;
    int stallMs_ = kStallMs;
    QNetworkAccessManager *network_;
};

}  // namespace vantorix
