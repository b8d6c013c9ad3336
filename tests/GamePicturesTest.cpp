// Pictures of games: their names in the thumbnails' layout, where they are
// looked for, and their download from a server on this machine.
#include "pictures/GamePictures.h"
#include "downloads/PictureDownloads.h"
#include "settings/UserSettings.h"
#include "platform/FilePath.h"
#include "tests/HttpServer.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;
using vantorix::PictureKind;

namespace {

TEST(GamePictures, NamesMatchingAndFilesThatAreNoPicture)
{
    // The name rule, then the three names in the order they are tried.
    const struct {
        QString rom;
        QString game;
        QStringList names;
    } names[] = {
        {"/g/tetris.gb", "Tetris (World) (Rev 1)", {"tetris", "Tetris (World) (Rev 1)", "Tetris"}},
        {"/g/Tetris (World) (Rev 1).gb", "Tetris (World) (Rev 1)", {"Tetris (World) (Rev 1)", "Tetris"}},
        {"/g/kirby.gb", "Kirby & The Amazing Mirror: Part 1/2 <Beta>?", {"kirby", "Kirby _ The Amazing Mirror_ Part 1_2 _Beta__"}},
        {"/g/x.gb", "Pokemon - Edition Jaune (France) (SGB Enhanced)",
         {"x", "Pokemon - Edition Jaune (France) (SGB Enhanced)", "Pokemon - Edition Jaune"}},
        {"/g/y.gbc", "Legend of Zelda, The - Link's Awakening DX (USA, Europe) (Rev 2)",
         {"y", "Legend of Zelda, The - Link's Awakening DX (USA, Europe) (Rev 2)",
          "Legend of Zelda, The - Link's Awakening DX"}},
        {"/g/z.gb", QString::fromUtf8("Pok\xc3\xa9mon `Gelb` | *\\*"), {"z", QString::fromUtf8("Pok\xc3\xa9mon _Gelb_ _ ___")}},
        {"/g/...gb", "..", {}},  // nothing that names a folder
        {"/g/homebrew.gb", "", {"homebrew"}},
    };
    for (const auto &n : names)
        EXPECT_EQ(vantorix::thumbnailNames(n.rom, n.game), n.names) << n.game.toStdString();
    EXPECT_EQ(vantorix::pictureQueryOf("/g/a.gb", "A", "Nintendo - Game Boy Color (Parent-Clone)", false).systems.first(),
              "Nintendo - Game Boy Color");
    EXPECT_EQ(vantorix::pictureQueryOf("/g/a.gb", "A", "Nintendo - Game Boy", true).systems.first(), "Nintendo - Game Boy");
    EXPECT_EQ(vantorix::pictureQueryOf("/g/a.gb", "", "", true).systems.first(), "Nintendo - Game Boy Color");

    // Roots in order; in each, only a regular file of a sane size within
    // the root is a picture.
    QTemporaryDir dir;
    const QString first = dir.filePath("first");
    const QString second = dir.filePath("second");
    const QString outside = writeFile(dir.filePath("outside.png"), "secret");
    const auto at = [](const QString &root, const QString &name, PictureKind kind = PictureKind::BoxArt) {
        return root + "/Nintendo - Game Boy/" + vantorix::pictureFolderName(kind) + "/" + name + ".png";
    };
    writeFile(at(second, "Tetris"), "png");
    writeFile(at(second, "tetris", PictureKind::Screenshot), "png");
    QDir().mkpath(QFileInfo(at(first, "x")).path());
    ASSERT_EQ(::mkfifo(QFile::encodeName(at(first, "tetris")).constData(), 0644), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(at(first, "Tetris (World) (Rev 1)")).constData()), 0);
    writeFile(at(first, "Tetris"), QByteArray(vantorix::kMaxPictureBytes + 1, 'x'));
    const vantorix::PictureQuery tetris = vantorix::pictureQueryOf("/g/tetris.gb", "Tetris (World) (Rev 1)", "", false);
    EXPECT_EQ(vantorix::findPicture({first, second}, tetris, PictureKind::BoxArt), at(second, "Tetris"));
    EXPECT_EQ(vantorix::findPicture({first, second}, tetris, PictureKind::Screenshot), at(second, "tetris", PictureKind::Screenshot));
    EXPECT_EQ(vantorix::findPicture({first, second}, tetris, PictureKind::TitleScreen), QString());
    EXPECT_TRUE(vantorix::isPictureRoot(second));
    EXPECT_FALSE(vantorix::isPictureRoot(dir.path()));
    // A folder the user added comes before the downloads.
    vantorix::UserSettings(dir.filePath("settings.ini")).addPictureRoot(second);
    EXPECT_EQ(vantorix::UserSettings(dir.filePath("settings.ini")).pictureRoots(), QStringList{second});
}

const QByteArray kPng("\x89PNG\r\n\x1a\nDATA", 12);


TEST(PictureDownloads, DownloadMissRememberedLimitsAndHangs)
{
    QTemporaryDir dir;
    LocalServer server;
    ASSERT_TRUE(server.isListening());
    const QString box = "/Nintendo - Game Boy/Named_Boxarts/";
    server.answers[box + "Star Hopper (World) (Rev 1).png"] = [](QTcpSocket *s) { LocalServer::reply(s, "200 OK", kPng); };
    server.answers[box + "Huge.png"] = [](QTcpSocket *s) {
        LocalServer::reply(s, "200 OK", QByteArray(vantorix::kMaxPictureBytes + 10, 'x'));
    };
    server.answers[box + "Broken.png"] = [](QTcpSocket *s) { LocalServer::reply(s, "500 Internal Server Error", "no"); };
    server.answers[box + "Silent.png"] = [](QTcpSocket *) {};  // never answers
    server.answers[box + "Away.png"] = [](QTcpSocket *s) {
        LocalServer::reply(s, "302 Found", "", "Location: http://example.invalid/a.png\r\n");
    };
    server.answers[box + "Local.png"] = [](QTcpSocket *s) {
        LocalServer::reply(s, "302 Found", "", "Location: file:///etc/passwd\r\n");
    };
    // A captive portal's page, and an endless stream with no size said.
    server.answers[box + "Portal.png"] = [](QTcpSocket *s) { LocalServer::reply(s, "200 OK", "<html>Log in</html>"); };
    qint64 streamed = 0;
    server.answers[box + "Stream.png"] = [&streamed](QTcpSocket *s) {
        s->write("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
        const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, 'x') + "\r\n";
        const auto more = [s, chunk, &streamed] {
            while (s->state() == QAbstractSocket::ConnectedState && s->bytesToWrite() < 4 * chunk.size()
                   && streamed < (qint64(1) << 30)) {
                s->write(chunk);
                streamed += chunk.size();
            }
        };
        QObject::connect(s, &QTcpSocket::bytesWritten, s, more);
        more();
    };
    vantorix::PictureDownloads downloads(dir.path());
    downloads.setServer(QUrl(server.url()));
    downloads.setTimeoutMs(500);
    const auto fetch = [&](const QString &name) {
        vantorix::PictureQuery query;
        query.systems = {"Nintendo - Game Boy"};
        query.names = {name};
        QString got = "none yet";
        downloads.fetch(query, PictureKind::BoxArt, &server, [&](const QString &path) { got = path; });
        waitFor([&] { return got != "none yet"; });
        return got;
    };
    const QString saved = dir.path() + box + "Star Hopper (World) (Rev 1).png";
    EXPECT_EQ(fetch("Star Hopper (World) (Rev 1)"), saved);
    EXPECT_EQ(readFile(saved), kPng);
    EXPECT_EQ(fetch("Star Hopper (World) (Rev 1)"), saved);  // kept: not asked again
    EXPECT_EQ(fetch("Unknown"), QString());
    EXPECT_EQ(fetch("Unknown"), QString());  // the miss is remembered
    EXPECT_EQ(server.asked.count(box + "Unknown.png"), 1);
    EXPECT_EQ(server.asked.count(box + "Star Hopper (World) (Rev 1).png"), 1);
    for (const char *refused : {"Huge", "Broken", "Silent", "Away", "Local", "Portal", "Stream"}) {
        EXPECT_EQ(fetch(refused), QString()) << refused;
        EXPECT_FALSE(QFile::exists(dir.path() + box + refused + ".png")) << refused;
    }
    const QString log = QString::fromUtf8(readFile(vantorix::PictureDownloads::logPath(dir.path())));
    for (const char *said : {"Huge.png: larger than", "Broken.png: HTTP 500", "Silent.png: no answer in time",
                             "Away.png: redirected to http://example.invalid", "Local.png: redirect refused",
                             "Portal.png: not a PNG picture", "Stream.png: larger than"})
        EXPECT_TRUE(log.contains(said)) << said << "\n" << log.toStdString();
    EXPECT_FALSE(log.contains("Unknown"));  // a picture the server lacks is no failure
    // The stream was given up at the bound, not read to its end.
    EXPECT_LT(streamed, qint64(64) << 20);

    // Links in the cache are replaced, never written through: at a
    // picture's name, at a miss marker, at the log and at a folder.
    QTemporaryDir cache;
    const QString users = writeFile(cache.filePath("user/notes.txt"), "mine");
    QDir().mkpath(cache.filePath("user/folder"));
    const QString gb = cache.filePath("Nintendo - Game Boy");
    QDir().mkpath(gb + "/Named_Boxarts");
    QDir().mkpath(cache.filePath("Nintendo - Game Boy Color"));
    const auto link = [](const QString &to, const QString &at) { return ::symlink(QFile::encodeName(to), QFile::encodeName(at)) == 0; };
    ASSERT_TRUE(link(cache.filePath("user/new.png"), gb + "/Named_Boxarts/Star Hopper (World) (Rev 1).png"));
    ASSERT_TRUE(link(users, gb + "/Named_Boxarts/Unknown.png.missing"));
    ASSERT_TRUE(link(users, vantorix::PictureDownloads::logPath(cache.path())));
    ASSERT_TRUE(link(cache.filePath("user/folder"), cache.filePath("Nintendo - Game Boy Color/Named_Boxarts")));
    server.answers["/Nintendo - Game Boy Color/Named_Boxarts/Colour.png"] = [](QTcpSocket *s) { LocalServer::reply(s, "200 OK", kPng); };
    vantorix::PictureDownloads linked(cache.path());
    linked.setServer(QUrl(server.url()));
    const auto fetchInto = [&](const QString &system, const QString &name) {
        vantorix::PictureQuery query;
        query.systems = {system};
        query.names = {name};
        QString got = "none yet";
        linked.fetch(query, PictureKind::BoxArt, &server, [&](const QString &path) { got = path; });
        waitFor([&] { return got != "none yet"; });
        return got;
    };
    EXPECT_EQ(fetchInto("Nintendo - Game Boy", "Star Hopper (World) (Rev 1)"), gb + "/Named_Boxarts/Star Hopper (World) (Rev 1).png");
    EXPECT_EQ(fetchInto("Nintendo - Game Boy", "Unknown"), QString());
    EXPECT_EQ(fetchInto("Nintendo - Game Boy", "Broken"), QString());  // logged
    EXPECT_FALSE(fetchInto("Nintendo - Game Boy Color", "Colour").isEmpty());
    EXPECT_EQ(readFile(users), "mine");
    EXPECT_EQ(QDir(cache.filePath("user/folder")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    EXPECT_FALSE(QFileInfo::exists(cache.filePath("user/new.png")));
    for (const QString &own : {gb + "/Named_Boxarts/Star Hopper (World) (Rev 1).png", gb + "/Named_Boxarts/Unknown.png.missing",
                               vantorix::PictureDownloads::logPath(cache.path()), cache.filePath("Nintendo - Game Boy Color/Named_Boxarts")})
        EXPECT_FALSE(QFileInfo(own).isSymLink()) << own.toStdString();

    // The command: pictures on disk listed, a download only when asked for,
    // a failed one named.
    const QString game = dir.filePath("STARHOP.GB");
    ASSERT_TRUE(QFile::copy(SAMPLES_DIR "/roms/STARHOP.GB", game));
    const QString titles = vantorix::userDataHome() + "/vantorix/thumbnails/Nintendo - Game Boy/Named_Titles";
    writeFile(titles + "/STARHOP.png", "png");
    server.answers[box + "Star Hopper (World) (Rev 1).png"] = [](QTcpSocket *s) { LocalServer::reply(s, "503 Busy", ""); };
    const auto info = [&](const QStringList &options) {
        QProcess kelpad;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VANTORIX_THUMBNAIL_URL", server.url());
        kelpad.setProcessEnvironment(env);
        kelpad.start(KELPAD_PATH, QStringList{"--dat", SAMPLES_DIR "/vantorix-samples.xml", "--info"} + options + QStringList{game});
        waitFor([&] { return kelpad.state() == QProcess::NotRunning; });
        return QString::fromUtf8(kelpad.readAllStandardOutput());
    };
    const int askedBefore = int(server.asked.size());
    QString printed = info({});
    EXPECT_TRUE(printed.contains("\nTitle screen: " + titles + "/STARHOP.png\n")) << printed.toStdString();
    EXPECT_FALSE(printed.contains("Box art:"));
    EXPECT_EQ(server.asked.size(), askedBefore);  // nothing asked unless told to
    printed = info({"--download-pictures"});
    // By the file's own name (missing), then by the game's (failing).
    EXPECT_EQ(server.asked.mid(askedBefore), QStringList({box + "STARHOP.png", box + "Star Hopper (World) (Rev 1).png"}));
    EXPECT_TRUE(printed.contains("Download failed: ")) << printed.toStdString();
    EXPECT_TRUE(printed.contains("/Star Hopper (World) (Rev 1).png: HTTP 503")) << printed.toStdString();
}

}  // namespace
