#include "downloads/PictureDownloads.h"
#include "platform/TaskLine.h"

#include "platform/Executor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <ctime>
#include <memory>
#include <sys/stat.h>

namespace vantorix {

namespace {

constexpr qint64 kLogBytes = 64 * 1024;
constexpr qint64 kReadBufferBytes = 256 * 1024;
const QByteArray kPngSignature("\x89PNG\r\n\x1a\n", 8);

QString missMarker(const QString &file)
{
    return file + QStringLiteral(".missing");
}

// A regular file of the cache's own, never what a link there points to.
bool isOwnFile(const QString &path, struct stat *st)
{
    return ::lstat(encodePath(path).constData(), st) == 0 && S_ISREG(st->st_mode);
}

bool recentlyMissing(const QString &file)
{
    struct stat st;
    return isOwnFile(missMarker(file), &st)
           && qint64(::time(nullptr)) - qint64(st.st_mtime) < qint64(PictureDownloads::kMissKeptDays) * 86400;
}

// What a download that finished writes: the picture, or its miss marker,
// in its folder below the cache, never through a link there.
void writeIntoCache(const QString &cacheRoot, const QString &file, const QByteArray &bytes)
{
    const QString folder = file.left(file.lastIndexOf(QLatin1Char('/')));
    makeOwnFolders(cacheRoot, folder.mid(cacheRoot.size() + 1));
    writeFileAtomically(file, bytes, LinkAtPath::Replace);
}

// A transfer under way: why it was given up, and what came so far.
struct Transfer {
    QString reason;
    QByteArray data;
};

// Errors that say the network, not the server, failed.
bool isNetworkDown(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return true;
    default:
        return false;
    }
}

}  // namespace

PictureDownloads::PictureDownloads(const QString &cacheRoot, Executor *writer, QObject *parent)
    : QObject(parent), cacheRoot_(cacheRoot), server_(defaultServer()), writer_(writer),
      network_(new QNetworkAccessManager(this))
{
}

PictureDownloads::~PictureDownloads() = default;

QUrl PictureDownloads::defaultServer()
{
    const QString configured = qEnvironmentVariable("VANTORIX_THUMBNAIL_URL");
    return QUrl(configured.isEmpty() ? QStringLiteral("https://thumbnails.libretro.com") : configured);
}

QString PictureDownloads::logPath(const QString &cacheRoot)
{
    return pictureDownloadLogPath(cacheRoot);
}

PictureFetcherMaker PictureDownloads::maker()
{
    return [](Executor &writer) { return std::make_unique<PictureDownloads>(pictureCacheRoot(), &writer); };
}

void PictureDownloads::fetch(const PictureQuery &query, PictureKind kind, QObject *context,
                             std::function<void(const QString &)> done)
{
    Job job;
    const QString folder = pictureFolderName(kind);
    for (const QString &system : query.systems) {
        for (const QString &name : query.names) {
            const QString file = cacheRoot_ + QLatin1Char('/') + system + QLatin1Char('/') + folder + QLatin1Char('/')
                                 + name + QStringLiteral(".png");
            QUrl url = server_;
            // Each part percent-encoded: names hold blanks, "#" and "%".
            url.setPath(server_.path(QUrl::FullyEncoded).chopped(server_.path().endsWith(QLatin1Char('/')) ? 1 : 0)
                            + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(system))
                            + QLatin1Char('/') + folder + QLatin1Char('/')
                            + QString::fromLatin1(QUrl::toPercentEncoding(name + QStringLiteral(".png"))),
                        QUrl::TolerantMode);
            job.candidates.emplace_back(url, file);
        }
    }
    if (job.candidates.empty()) {
        done(QString());
        return;
    }
    const QString key = job.candidates.front().second;
    auto known = jobs_.find(key);
    if (known != jobs_.end()) {
        known->waiters.emplace_back(context, std::move(done));
        return;
    }
    job.waiters.emplace_back(context, std::move(done));
    jobs_.insert(key, std::move(job));
    waiting_.push_back(key);
    pump();
}

void PictureDownloads::pump()
{
    while (running_ < kMaxRunning && !waiting_.empty()) {
        const QString key = waiting_.front();
        waiting_.pop_front();
        askNext(key);
    }
}

void PictureDownloads::askNext(const QString &key)
{
    auto job = jobs_.find(key);
    if (job == jobs_.end())
        return;
    // Already here, or missing lately: nothing to ask.
    while (job->next < job->candidates.size()) {
        const QString &file = job->candidates[job->next].second;
        struct stat st;
        if (isOwnFile(file, &st)) {
            finish(key, file);
            return;
        }
        if (!recentlyMissing(file))
            break;
        ++job->next;
    }
    if (job->next >= job->candidates.size() || !offlineUntil_.hasExpired()) {
        finish(key, QString());
        return;
    }
    const auto [url, file] = job->candidates[job->next];
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    request.setTransferTimeout(timeoutMs_);
    QNetworkReply *reply = network_->get(request);
    // What comes is taken as it comes and counted: a stream without an
    // announced size stops at the bound, never held whole in memory.
    reply->setReadBufferSize(kReadBufferBytes);
    ++running_;
    auto transfer = std::make_shared<Transfer>();
    const auto giveUp = [reply, transfer](const QString &why) {
        if (transfer->reason.isEmpty())
            transfer->reason = why;
        reply->abort();
    };
    connect(reply, &QNetworkReply::redirected, reply, [this, reply, giveUp](const QUrl &to) {
        const bool server = to.scheme() == server_.scheme() && to.host() == server_.host() && to.port() == server_.port();
        if (to.scheme() == QLatin1String("https") || server)
            Q_EMIT reply->redirectAllowed();
        else
            giveUp(QStringLiteral("redirected to %1").arg(to.toString(QUrl::RemoveUserInfo)));
    });
    const QString tooLarge = QStringLiteral("larger than %1 bytes").arg(kMaxPictureBytes);
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, giveUp, tooLarge] {
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxPictureBytes)
            giveUp(tooLarge);
    });
    connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer, giveUp, tooLarge] {
        transfer->data += reply->readAll();
        if (transfer->data.size() > kMaxPictureBytes) {
            transfer->data.clear();
            giveUp(tooLarge);
        }
    });
    // A server that drips a byte now and then keeps the transfer timeout
    // from ever running out.
    QTimer::singleShot(3 * timeoutMs_, reply, [giveUp] { giveUp(QStringLiteral("no answer in time")); });
    connect(reply, &QNetworkReply::finished, this, [this, key, reply, transfer, url = url, file = file] {
        reply->deleteLater();
        --running_;
        const QString givenUp = transfer->reason;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (givenUp.isEmpty() && reply->error() == QNetworkReply::NoError && status == 200) {
            const QByteArray bytes = transfer->data + reply->readAll();
            try {
                // A captive portal's page or a server's error text is no
                // picture: not kept, asked again another time.
                if (bytes.size() > kMaxPictureBytes || !bytes.startsWith(kPngSignature))
                    throw IoError(IoError::OtherPlatformError, bytes.size() > kMaxPictureBytes
                                                                   ? QStringLiteral("larger than %1 bytes").arg(kMaxPictureBytes)
                                                                   : QStringLiteral("not a PNG picture"));
            } catch (const IoError &error) {
                log(url, error.text(), [this, key] { finish(key, QString()); });
                pump();
                return;
            }
            // Written with a wait for the disk: on the writer's thread.
            onDisk(
                [cacheRoot = cacheRoot_, file, bytes] {
                    try {
                        writeIntoCache(cacheRoot, file, bytes);
                        return QString();
                    } catch (const IoError &error) {
                        return error.text();
                    }
                },
                [this, key, url, file](const QString &failure) {
                    if (failure.isEmpty())
                        finish(key, file);
                    else
                        log(url, failure, [this, key] { finish(key, QString()); });
                });
        } else if (givenUp.isEmpty() && (status == 404 || reply->error() == QNetworkReply::ContentNotFoundError)) {
            // Remembered, so that it is not asked again for a while.
            onDisk(
                [cacheRoot = cacheRoot_, marker = missMarker(file)] {
                    try {
                        writeIntoCache(cacheRoot, marker, QByteArray());
                    } catch (const IoError &) {
                    }
                    return QString();
                },
                [](const QString &) {});
            auto job = jobs_.find(key);
            if (job != jobs_.end()) {
                ++job->next;
                waiting_.push_front(key);
            }
        } else {
            const bool down = givenUp.isEmpty() && isNetworkDown(reply->error());
            if (down)
                offlineUntil_ = QDeadlineTimer(kOfflinePauseMs);
            QString why = givenUp;
            if (why.isEmpty() && status >= 300 && status < 400)
                why = QStringLiteral("redirect refused (HTTP %1)").arg(status);  // to a scheme Qt never follows
            else if (why.isEmpty() && status > 0)
                why = QStringLiteral("HTTP %1").arg(status);
            else if (why.isEmpty() && (reply->error() == QNetworkReply::OperationCanceledError
                                       || reply->error() == QNetworkReply::TimeoutError))
                why = QStringLiteral("no answer in time");  // the transfer timeout ran out
            else if (why.isEmpty())
                why = reply->errorString();
            log(url, why, [this, key] { finish(key, QString()); });
        }
        pump();
    });
}

void PictureDownloads::finish(const QString &key, const QString &path)
{
    const Job job = jobs_.take(key);
    for (const auto &[context, done] : job.waiters)
        if (context)
            done(path);
}

void PictureDownloads::onDisk(std::function<QString()> work, std::function<void(const QString &)> then)
{
    if (!writer_) {
        then(work());
        return;
    }
    handBack(
        *writer_, this,
        [turn = diskTurn_, work = std::move(work)] {
            // One write at a time: the log is read and written again for
            // each line.
            const std::lock_guard<std::mutex> one(*turn);
            return work();
        },
        std::move(then));
}

void PictureDownloads::log(const QUrl &url, const QString &reason, std::function<void()> logged)
{
    // Written on the writer's thread, each line a read and a rewrite of
    // the file; whoever waits for the failure finds it in the log.
    onDisk([cacheRoot = cacheRoot_, url, reason] { appendToLog(cacheRoot, url, reason); return QString(); },
           [logged = std::move(logged)](const QString &) {
               if (logged)
                   logged();
           });
}

void PictureDownloads::appendToLog(const QString &cacheRoot, const QUrl &url, const QString &reason)
{
    const QString file = logPath(cacheRoot);
    QByteArray kept;
    try {
        kept = readOwnFile(file, 4 * kLogBytes);
    } catch (const IoError &) {
    }
    // The latest failures only.
    if (kept.size() > kLogBytes)
        kept = kept.mid(kept.indexOf('\n', kept.size() - kLogBytes / 2) + 1);
    // The path as the names read, so that --info finds a game's lines.
    const QString shown = url.scheme() + QStringLiteral("://") + url.host() + (url.port() >= 0 ? QStringLiteral(":%1").arg(url.port()) : QString())
                          + url.path(QUrl::FullyDecoded);
    kept += QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8() + ' '
            + withoutControlCharacters(shown).toUtf8() + ": " + reason.toUtf8() + '\n';
    try {
        makeFolders(cacheRoot);
        writeFileAtomically(file, kept, LinkAtPath::Replace);
    } catch (const IoError &) {
        // A cache that cannot be written keeps no log either.
    }
}

}  // namespace vantorix
