#include "downloads/GameNameDownloads.h"

#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/TaskLine.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace vantorix {

namespace {

struct Transfer {
    QByteArray data;
    QString reason;  // why it was given up
};

bool onThisMachine(const QUrl &url)
{
    return url.host() == QLatin1String("127.0.0.1") || url.host() == QLatin1String("localhost")
           || url.host() == QLatin1String("::1");
}

// Checks what came and writes it where it belongs: the text of the failure,
// or nothing.
QString keep(const QString &datFolder, const GameNamesFile &file, const QByteArray &bytes,
             NamesDownloadRecord record)
{
    QString version;
    const QString why = whyNotNamesDatabase(bytes, file.system, &version);
    if (!why.isEmpty())
        return why;
    try {
        makeFolders(datFolder);
        const QString target = datFolder + QLatin1Char('/') + file.fileName;
        // A file the user put there by this name is theirs: left alone.
        if (isRegularFile(target) && !isDownloadedNamesFile(datFolder, file))
            return QCoreApplication::translate("GameNames", "a database of your own has this name");
        record.version = version;
        record.write(datFolder, file);  // first: the file that follows is known as ours
        writeFileAtomically(target, bytes, LinkAtPath::Replace);
    } catch (const IoError &error) {
        return error.text();
    }
    return QString();
}

}  // namespace

GameNameDownloads::GameNameDownloads(const QString &datFolder, Executor *writer, QObject *parent)
    : QObject(parent),
      datFolder_(datFolder),
      writer_(writer),
      base_(defaultBase()),
      network_(new QNetworkAccessManager(this))
{
}

QUrl GameNameDownloads::defaultBase()
{
    QString base = qEnvironmentVariable("VANTORIX_DATABASE_URL");
    if (base.isEmpty())
        base = QStringLiteral("https://raw.githubusercontent.com/libretro/libretro-database/master/metadat/no-intro/");
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return QUrl(base);
}

void GameNameDownloads::fetch(bool check, std::function<void(const Outcome &)> done)
{
    fetchOne(0, check, std::make_shared<Outcome>(), std::move(done));
}

void GameNameDownloads::fetchOne(int index, bool check, std::shared_ptr<Outcome> outcome,
                                 std::function<void(const Outcome &)> done)
{
    if (index >= gameNamesFiles().size()) {
        done(*outcome);
        return;
    }
    const GameNamesFile file = gameNamesFiles().at(index);
    const auto next = [this, index, check, outcome, done] { fetchOne(index + 1, check, outcome, done); };
    const auto failed = [outcome, file, next](const QString &why) {
        outcome->failures.append(file.fileName + QStringLiteral(": ") + why);
        next();
    };
    const QUrl url = base_.resolved(QUrl(QString::fromLatin1(QUrl::toPercentEncoding(file.fileName))));
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(6);  // the sixth is refused here, with its reason
    request.setTransferTimeout(stallMs_);  // no progress for that long ends it
    NamesDownloadRecord record = NamesDownloadRecord::read(datFolder_, file);
    const bool ours = isDownloadedNamesFile(datFolder_, file)
                      && isRegularFile(datFolder_ + QLatin1Char('/') + file.fileName);
    if (check && ours) {
        // The server says whether it changed: nothing is read when not.
        if (!record.etag.isEmpty())
            request.setRawHeader("If-None-Match", record.etag);
        else if (!record.lastModified.isEmpty())
            request.setRawHeader("If-Modified-Since", record.lastModified);
    }
    QNetworkReply *reply = network_->get(request);
    auto transfer = std::make_shared<Transfer>();
    const auto giveUp = [reply, transfer](const QString &why) {
        if (transfer->reason.isEmpty())
            transfer->reason = why;
        reply->abort();
    };
    connect(reply, &QNetworkReply::redirected, reply, [reply, giveUp, redirects = 0](const QUrl &to) mutable {
        if (++redirects > 5)
            giveUp(QCoreApplication::translate("GameNames", "too many redirects"));
        else if (to.scheme() == QLatin1String("https") || onThisMachine(to))
            Q_EMIT reply->redirectAllowed();
        else
            giveUp(QCoreApplication::translate("GameNames", "redirected to %1").arg(to.toString(QUrl::RemoveUserInfo)));
    });
    const QString tooLarge = IoError::fileTooLarge().text();
    connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer, giveUp, tooLarge] {
        // Counted as it comes, whatever the headers said.
        transfer->data += reply->readAll();
        if (transfer->data.size() > kMostNamesBytes) {
            transfer->data.clear();
            giveUp(tooLarge);
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, transfer, file, record, next, failed, outcome]() mutable {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        record.checked = QDateTime::currentDateTimeUtc();
        if (!transfer->reason.isEmpty()) {
            failed(transfer->reason);
            return;
        }
        if (status == 304) {
            outcome->current.append(file.fileName);
            try {
                record.write(datFolder_, file);
            } catch (const IoError &) {
            }
            next();
            return;
        }
        if (reply->error() != QNetworkReply::NoError || status != 200) {
            if (reply->error() == QNetworkReply::OperationCanceledError || reply->error() == QNetworkReply::TimeoutError)
                failed(QCoreApplication::translate("GameNames", "no answer in time"));
            else if (reply->error() == QNetworkReply::TooManyRedirectsError)
                failed(QCoreApplication::translate("GameNames", "too many redirects"));
            else if (status >= 300 && status < 400)
                failed(QCoreApplication::translate("GameNames", "too many redirects (HTTP %1)").arg(status));
            else if (status > 0)
                failed(QStringLiteral("HTTP %1").arg(status));
            else
                failed(reply->errorString());
            return;
        }
        record.etag = reply->rawHeader("ETag");
        record.lastModified = reply->rawHeader("Last-Modified");
        const QByteArray bytes = transfer->data + reply->readAll();
        // Read, checked and written on the executor: 3 MB of names take a
        // moment, and the window waits for none of it.
        const QString datFolder = datFolder_;
        const auto work = [datFolder, file, bytes, record] { return keep(datFolder, file, bytes, record); };
        const auto then = [outcome, file, next, failed](const QString &why) {
            if (!why.isEmpty()) {
                failed(why);
                return;
            }
            outcome->fetched.append(file.fileName);
            next();
        };
        if (writer_)
            handBack(*writer_, this, work, then);
        else
            then(work());
    });
}

}  // namespace vantorix
