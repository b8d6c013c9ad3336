// The game names fetched for the user, against a server on this machine:
// what is kept, what never is, and the weekly check that reads nothing
// when nothing changed.
#include "downloads/GameNameDownloads.h"
#include "names/GameNameFiles.h"
#include "tests/HttpServer.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testing_support;
using namespace vantorix;

namespace {

// A clrmamepro DAT of system listing games games.
QByteArray namesDat(const QString &system, int games, const QByteArray &version = "20261201-000000")
{
    QByteArray dat = "clrmamepro (\n\tname \"" + system.toUtf8() + "\"\n\tversion " + version + "\n)\n\n";
    for (int i = 0; i < games; ++i) {
        const QByteArray name = "Game " + QByteArray::number(i) + " (World)";
        dat += "game (\n\tname \"" + name + "\"\n\trom ( name \"" + name + ".gb\" size 32768 crc "
               + QByteArray::number(quint32(i) * 2654435761u + 7, 16).rightJustified(8, '0').toUpper() + " )\n)\n\n";
    }
    return dat;
}

const QString kGameBoy = "/Nintendo - Game Boy.dat";
const QString kColour = "/Nintendo - Game Boy Color.dat";

GameNameDownloads::Outcome fetchFrom(LocalServer &server, const QString &folder, bool check)
{
    GameNameDownloads downloads(folder);
    downloads.setBase(QUrl(server.url() + "/"));
    downloads.setStallMs(2000);
    GameNameDownloads::Outcome outcome;
    bool done = false;
    downloads.fetch(check, [&](const GameNameDownloads::Outcome &o) {
        outcome = o;
        done = true;
    });
    EXPECT_TRUE(waitFor([&] { return done; }, 60000));
    return outcome;
}

TEST(GameNames, KeptOnlyWhenWholeAndChecked)
{
    const QByteArray gameBoy = namesDat("Nintendo - Game Boy", 150);
    const QByteArray colour = namesDat("Nintendo - Game Boy Color", 120);
    const auto serve = [](QByteArray body, QByteArray headers = "ETag: \"v1\"\r\n") {
        return [body, headers](QTcpSocket *s) { LocalServer::reply(s, "200 OK", body, headers); };
    };
    const auto streamForever = [](QTcpSocket *s) {
        s->write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        auto *timer = new QTimer(s);
        QObject::connect(timer, &QTimer::timeout, s, [s] { s->write("1000\r\n" + QByteArray(0x1000, '#') + "\r\n"); });
        timer->start(1);
    };
    const struct {
        const char *what;
        std::function<void(QTcpSocket *)> answer;
        const char *reason;  // of the Game Boy file's failure; empty: kept
    } cases[] = {
        {"a good database", serve(gameBoy), ""},
        {"a captive portal's page", serve("<html><body>Log in to the network</body></html>"), "not a game database"},
        {"a truncated database", serve(gameBoy.left(gameBoy.size() / 2)), "not a game database"},
        {"another system's", serve(colour), "not the database of Nintendo - Game Boy"},
        {"too few games", serve(namesDat("Nintendo - Game Boy", 20)), "only 20 games"},
        {"not there", [](QTcpSocket *s) { LocalServer::reply(s, "404 Not Found", "no"); }, "HTTP 404"},
        {"an endless stream", streamForever, "File too large"},
        {"a redirect loop",
         [](QTcpSocket *s) { LocalServer::reply(s, "302 Found", "", "Location: /Nintendo%20-%20Game%20Boy.dat\r\n"); },
         "Nintendo - Game Boy.dat: "},  // given up, whatever the toolkit calls it
        {"a redirect to plain HTTP elsewhere",
         [](QTcpSocket *s) { LocalServer::reply(s, "302 Found", "", "Location: http://example.invalid/x.dat\r\n"); },
         "redirected to http://example.invalid/x.dat"},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        QTemporaryDir dir;
        const QString folder = dir.filePath("dat");
        LocalServer server;
        ASSERT_TRUE(server.isListening());
        server.answers[kGameBoy] = test.answer;
        server.answers[kColour] = serve(colour);
        const GameNameDownloads::Outcome outcome = fetchFrom(server, folder, false);
        EXPECT_TRUE(outcome.fetched.contains("Nintendo - Game Boy Color.dat"));
        if (QByteArray(test.reason).isEmpty()) {
            EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join('\n').toStdString();
            EXPECT_EQ(readFile(folder + kGameBoy), gameBoy);
            EXPECT_EQ(NamesDownloadRecord::read(folder, gameNamesFiles().at(0)).version, "20261201-000000");
            continue;
        }
        ASSERT_EQ(outcome.failures.size(), 1);
        EXPECT_TRUE(outcome.failures.constFirst().contains(test.reason)) << outcome.failures.constFirst().toStdString();
        EXPECT_FALSE(QFile::exists(folder + kGameBoy));  // nothing unchecked is kept
    }
}

TEST(GameNames, WeeklyCheckNewerVersionUsersOwnAndLinks)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("dat");
    LocalServer server;
    QByteArray gameBoy = namesDat("Nintendo - Game Boy", 150);
    QByteArray tag = "\"v1\"";
    server.answers[kGameBoy] = [&](QTcpSocket *s) {
        if (server.requests.constLast().contains("If-None-Match: " + tag))
            LocalServer::reply(s, "304 Not Modified", "");
        else
            LocalServer::reply(s, "200 OK", gameBoy, "ETag: " + tag + "\r\n");
    };
    server.answers[kColour] = [&](QTcpSocket *s) {
        LocalServer::reply(s, "200 OK", namesDat("Nintendo - Game Boy Color", 120), "ETag: \"c1\"\r\n");
    };
    EXPECT_EQ(fetchFrom(server, folder, false).fetched.size(), 2);
    EXPECT_FALSE(namesCheckDue(folder));
    EXPECT_TRUE(namesCheckDue(folder, QDateTime::currentDateTimeUtc().addDays(8)));

    // Unchanged: one request each, answered 304, nothing read or written.
    const QDateTime written = QFileInfo(folder + kGameBoy).lastModified();
    server.requests.clear();
    GameNameDownloads::Outcome outcome = fetchFrom(server, folder, true);
    EXPECT_EQ(server.requests.size(), 2);
    EXPECT_TRUE(outcome.current.contains("Nintendo - Game Boy.dat"));
    EXPECT_EQ(QFileInfo(folder + kGameBoy).lastModified(), written);

    // A newer version is taken, whole.
    gameBoy = namesDat("Nintendo - Game Boy", 160, "20261208-000000");
    tag = "\"v2\"";
    outcome = fetchFrom(server, folder, true);
    EXPECT_TRUE(outcome.fetched.contains("Nintendo - Game Boy.dat"));
    EXPECT_EQ(readFile(folder + kGameBoy), gameBoy);
    EXPECT_EQ(NamesDownloadRecord::read(folder, gameNamesFiles().at(0)).version, "20261208-000000");

    // A link at the target is replaced, never written through.
    const QString elsewhere = writeFile(dir.filePath("mine.txt"), "mine");
    QFile::remove(folder + kColour);
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere).constData(), QFile::encodeName(folder + kColour).constData()), 0);
    fetchFrom(server, folder, false);
    EXPECT_EQ(readFile(elsewhere), "mine");
    EXPECT_FALSE(QFileInfo(folder + kColour).isSymLink());

    // The user's own file of that name is never touched.
    QTemporaryDir other;
    const QString own = writeFile(other.filePath("dat") + kGameBoy, "clrmamepro ( name \"Nintendo - Game Boy\" )\n");
    EXPECT_TRUE(hasOwnNamesDatabase(other.filePath("dat")));
    outcome = fetchFrom(server, other.filePath("dat"), false);
    EXPECT_EQ(readFile(own), "clrmamepro ( name \"Nintendo - Game Boy\" )\n");
    ASSERT_EQ(outcome.failures.size(), 1);
    EXPECT_TRUE(outcome.failures.constFirst().contains("of your own"));
    EXPECT_FALSE(hasOwnNamesDatabase(folder));  // downloads are not the user's own
}

}  // namespace
