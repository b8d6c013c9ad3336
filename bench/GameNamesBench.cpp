// The game names: the weekly check of two unchanged files against a server
// on this machine (one request each, nothing read), against a fetch of the
// same two; and what the check of a fetched 3 MB list costs beside reading
// it into the databases from disk.
#include "downloads/GameNameDownloads.h"
#include "names/GameDatabase.h"
#include "names/GameNameFiles.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>

namespace {

// A clrmamepro list of system of about megabytes MB.
QByteArray namesList(const QString &system, int megabytes)
{
    QByteArray dat = "clrmamepro (\n\tname \"" + system.toUtf8() + "\"\n\tversion 20261201\n)\n\n";
    for (int i = 0; dat.size() < qint64(megabytes) << 20; ++i) {
        const QByteArray name = "Game " + QByteArray::number(i) + " (Europe) (En,Fr,De,Es,It)";
        dat += "game (\n\tname \"" + name + "\"\n\tdescription \"" + name + "\"\n\trom ( name \"" + name
               + ".gb\" size 1048576 crc " + QByteArray::number(quint32(i) * 2654435761u, 16).rightJustified(8, '0')
               + " md5 00000000000000000000000000000000 sha1 0000000000000000000000000000000000000000 )\n)\n\n";
    }
    return dat;
}

// Answers each list with its bytes and tag, and a 304 to a request that
// names the tag; counts the requests.
class ListServer : public QTcpServer {
public:
    int requests = 0;
    QHash<QString, QByteArray> lists;
    ListServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                auto *request = new QByteArray;
                connect(socket, &QObject::destroyed, [request] { delete request; });
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, request] {
                    *request += socket->readAll();
                    if (!request->contains("\r\n\r\n"))
                        return;
                    ++requests;
                    const QString path = QUrl::fromPercentEncoding(request->split(' ').value(1));
                    const QByteArray body = lists.value(path);
                    if (request->contains("If-None-Match: \"1\""))
                        socket->write("HTTP/1.1 304 Not Modified\r\nConnection: close\r\n\r\n");
                    else
                        socket->write("HTTP/1.1 200 OK\r\nETag: \"1\"\r\nContent-Length: " + QByteArray::number(body.size())
                                      + "\r\nConnection: close\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
        listen(QHostAddress::LocalHost);
    }
};

void runFetch(const QString &folder, const QUrl &base, bool check)
{
    vantorix::GameNameDownloads downloads(folder);
    downloads.setBase(base);
    bool done = false;
    downloads.fetch(check, [&](const vantorix::GameNameDownloads::Outcome &) { done = true; });
    QElapsedTimer watchdog;
    watchdog.start();
    while (!done && watchdog.elapsed() < 60'000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// state.range(0): 1 the weekly check of unchanged lists, 0 their fetch.
void GameNamesCheck(benchmark::State &state)
{
    ListServer server;
    for (const vantorix::GameNamesFile &file : vantorix::gameNamesFiles())
        server.lists.insert(QLatin1Char('/') + file.fileName, namesList(file.system, 1));
    QTemporaryDir dir;
    const QUrl base(QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort()));
    runFetch(dir.path(), base, false);
    const bool check = state.range(0) == 1;
    server.requests = 0;
    for (auto _ : state)
        runFetch(dir.path(), base, check);
    state.counters["requests_a_run"] = double(server.requests) / double(state.iterations());
}
BENCHMARK(GameNamesCheck)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// The check a fetched 3 MB list goes through before it is kept (the
// program's DAT reader over it), against reading it into the databases from
// disk, which follows either way.
void GameNamesKeepCheck(benchmark::State &state)
{
    const QByteArray list = namesList(QStringLiteral("Nintendo - Game Boy"), 3);
    for (auto _ : state) {
        QString version;
        benchmark::DoNotOptimize(vantorix::whyNotNamesDatabase(list, QStringLiteral("Nintendo - Game Boy"), &version));
    }
}
BENCHMARK(GameNamesKeepCheck)->Unit(benchmark::kMillisecond);

void GameNamesFromDisk(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Nintendo - Game Boy.dat"));
    vantorix::writeFileAtomically(path, namesList(QStringLiteral("Nintendo - Game Boy"), 3));
    for (auto _ : state)
        benchmark::DoNotOptimize(vantorix::loadGameDatabases({path}).database.gameCount());
}
BENCHMARK(GameNamesFromDisk)->Unit(benchmark::kMillisecond);

}  // namespace
