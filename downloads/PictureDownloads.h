#pragma once

#include "pictures/PictureFetcher.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

namespace vantorix {

class Executor;

// Downloads the pictures of games from the libretro thumbnail server
// (VANTORIX_THUMBNAIL_URL replaces it) into pictureCacheRoot(), in the
// same layout, once: a picture the server lacks is not asked for again for
// kMissKeptDays. At most kMaxRunning requests at once, each given up after
// timeoutMs without an answer (and three times that in all), larger than
// kMaxPictureBytes, or redirected elsewhere than to HTTPS or the server
// itself. A failure shows nothing: it is written to the log (logPath) and,
// when the network itself failed, nothing is asked for a while. Lives on
// the thread that made it, which needs an event loop.
class PictureDownloads : public QObject, public PictureFetcher {
    Q_OBJECT
public:
    static constexpr int kMaxRunning = 4;
    static constexpr int kTimeoutMs = 10'000;
    static constexpr int kMissKeptDays = 30;
    static constexpr int kOfflinePauseMs = 60'000;

    // What is written waits for the disk: done on writer where one is
    // given (the catalogue's executor), else at once.
    explicit PictureDownloads(const QString &cacheRoot = pictureCacheRoot(), Executor *writer = nullptr,
                              QObject *parent = nullptr);
    ~PictureDownloads() override;

    // https://thumbnails.libretro.com, or VANTORIX_THUMBNAIL_URL.
    static QUrl defaultServer();
    void setServer(const QUrl &server) { server_ = server; }
    void setTimeoutMs(int ms) { timeoutMs_ = ms; }
    // Where failures are written, one line each.
    static QString logPath(const QString &cacheRoot = pictureCacheRoot());

    // Fetches the first picture of that kind the server has for the query
    // (each system and name in turn); done receives its path in the cache,
    // or nothing, on this object's thread unless context is gone.
    void fetch(const PictureQuery &query, PictureKind kind, QObject *context,
               std::function<void(const QString &)> done) override;

    // For Catalogue::allowPictureDownloads.
    static PictureFetcherMaker maker();

private:
    struct Job {
        std::vector<std::pair<QUrl, QString>> candidates;  // what to ask for, where it goes
        size_t next = 0;
        std::vector<std::pair<QPointer<QObject>, std::function<void(const QString &)>>> waiters;
    };

    void pump();
    void askNext(const QString &key);
    void finish(const QString &key, const QString &path);
    void log(const QUrl &url, const QString &reason, std::function<void()> logged = {});
    static void appendToLog(const QString &cacheRoot, const QUrl &url, const QString &reason);
    // Runs work where files are written, then hands its result to then on
    // this object's thread, while it lives.
    void onDisk(std::function<QString()> work, std::function<void(const QString &)> then);

    QString cacheRoot_;
    QUrl server_;
    Executor *writer_;
    std::shared_ptr<std::mutex> diskTurn_ = std::make_shared<std::mutex>();
    int timeoutMs_ = kTimeoutMs;
    QNetworkAccessManager *network_;
    QHash<QString, Job> jobs_;     // by the first file they may write
    std::deque<QString> waiting_;  // jobs with a request to make
    int running_ = 0;
    QDeadlineTimer offlineUntil_;
};

}  // namespace vantorix
