// Where imported games are written down and found again: the name part an
// entry gets for each kind of folder, absolute names found as they stand or
// whatever their letter case, and the first start's own copy of the samples.
#include "platform/FilePath.h"
#include "rom/GameListEntry.h"
#include "rom/GamesFolder.h"
#include "settings/Configuration.h"
#include "settings/FirstStart.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace testing_support;
using namespace vantorix;

namespace {

TEST(ImportPlaces, EntryPrefixForEachKindOfFolder)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    for (const char *folder : {"games/Mono", "games/Twin", "games/TWIN", "other/Deep er"})
        QDir().mkpath(root + "/" + folder);
    CurrentFolderGuard current;
    QDir::setCurrent(root);
    const struct {
        QString games;
        QString folder;
        QString prefix;
    } cases[] = {
        {root + "/games", root + "/games", ""},
        {root + "/games/", root + "/games/Mono", "MONO/"},
        {root + "/games", root + "/games/Twin", "Twin/"},  // a twin but for case keeps its own
        {root + "/games", root + "/other/Deep er", root + "/other/Deep er/"},  // outside: the whole path
        {root + "/games", root + "/games/../other", root + "/other/"},
        {"games", root + "/games/Mono", root + "/games/Mono/"},  // a relative directory names no place
        {"", root + "/games", root + "/games/"},
        {root + "/missing", root + "/games/Mono", root + "/games/Mono/"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(entryPrefixFor(c.games, c.folder), c.prefix) << c.games.toStdString() << " " << c.folder.toStdString();

    // A folder whose name begins with a blank: its entry still starts its
    // own file once the padding is read off.
    const QString lead = writeFile(root + "/games/ lead/l.gb", "x");
    const QString entry = composeEntry("L", entryPrefixFor(root + "/games", root + "/games/ lead") + "L.GB");
    EXPECT_EQ(resolveRomPath(root + "/games", romFileName(entry)), lead) << entry.toStdString();
}

TEST(ImportPlaces, AbsoluteNamesFoundWhateverTheDirectory)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    const QString upper = writeFile(root + "/Other/TENNIS.GB", "x");
    const QString lower = writeFile(root + "/Other/tennis.gb", "y");
    const QString only = writeFile(root + "/Other/river.zip", "z");
    // Where nobody may list the folder but may pass through it, the
    // name as it stands still finds the file.
    QDir().mkpath(root + "/Shut");
    const QString shut = writeFile(root + "/Shut/A.GB", "a");
    QFile::setPermissions(root + "/Shut", QFile::ExeOwner | QFile::ExeOther | QFile::WriteOwner);
    const struct {
        QString name;
        QString found;
    } cases[] = {
        {upper, upper},
        {lower, lower},                         // twins: each its own
        {root + "/Other/RIVER.ZIP", only},      // letter case as entries write it
        {root + "/OTHER/RIVER.ZIP", only},
        {root + "/Other/../Other/RIVER.ZIP", ""},  // ".." names no game
        {root + "/Other//RIVER.ZIP", ""},
        {root + "/Other/none.gb", ""},
        {shut, shut},
    };
    for (const QString &games : {QString(), root + "/Other", QStringLiteral("/nonexistent")}) {
        const GamesFolder folder(games);
        for (const auto &c : cases)
            EXPECT_EQ(folder.find(c.name), c.found) << games.toStdString() << ": " << c.name.toStdString();
    }
    QFile::setPermissions(root + "/Shut", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ImportPlaces, FirstStartCopiesTheSamplesAndKeepsWhatIsThere)
{
    QTemporaryDir dir;
    const QString samples = dir.filePath("samples");
    writeFile(samples + "/A.GB", "sample a");
    writeFile(samples + "/B.GB", "sample b");
    writeFile(samples + "/COLOR/C.GB", "sample c");
    const QString games = dir.filePath("home/.local/share/vantorix/roms");
    writeFile(games + "/A.GB", "the user's own");
    // A link in a sample's place, leading nowhere: never written through.
    ASSERT_EQ(::symlink(QFile::encodeName(dir.filePath("elsewhere")).constData(),
                        QFile::encodeName(games + "/B.GB").constData()), 0);

    EXPECT_EQ(copySampleGames(samples, games), games);
    EXPECT_EQ(readFile(games + "/A.GB"), "the user's own");
    EXPECT_FALSE(QFile::exists(dir.filePath("elsewhere")));
    EXPECT_EQ(readFile(games + "/COLOR/C.GB"), "sample c");
    EXPECT_TRUE(QFileInfo(games + "/COLOR/C.GB").isWritable());
    // A place that cannot be made gives no folder: the installed samples
    // are used then.
    writeFile(dir.filePath("file"), "not a folder");
    EXPECT_EQ(copySampleGames(samples, dir.filePath("file/roms")), QString());
    EXPECT_EQ(copySampleGames(QString(), games), QString());

    // A disk that fills up part way: all or nothing, and the user's own
    // file stays.
    for (int i = 0; i < 7; ++i)
        writeFile(samples + QStringLiteral("/BIG%1.GB").arg(i), QByteArray(16384, char('a' + i)));
    const SmallTmpfs small(dir.filePath("small"));
    if (!small.mounted)
        GTEST_SKIP() << "cannot mount a small tmpfs here (not root?)";
    writeFile(small.path + "/roms/A.GB", "the user's own");
    EXPECT_EQ(copySampleGames(samples, small.path + "/roms"), QString());
    EXPECT_EQ(QDir(small.path + "/roms").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"A.GB"});
    EXPECT_EQ(copySampleGames(samples, small.path + "/new/roms"), QString());
    EXPECT_FALSE(QFileInfo::exists(small.path + "/new/roms"));
}

}  // namespace

namespace {

// "Add to Vantorix" from a file manager: ROMs inside and outside the games
// directory go into the last configuration's list, each entry starting its
// own file; what is no ROM is named and left out.
TEST(ImportPlaces, AddCommandPutsRomsIntoTheLastConfiguration)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    // Real cartridge images, their logo and all.
    const QString inside = writeFile(root + "/games/Sports/tennis.gb", readFile(SAMPLES_DIR "/roms/TENNIS.GB"));
    const QString outside = writeFile(root + "/elsewhere/Other Games/star.gb", readFile(SAMPLES_DIR "/roms/STARHOP.GB"));
    const QString text = writeFile(root + "/notes.gb", "not a game");
    Configuration config;
    config.gamesDirectory = root + "/games";
    config.gameList = {composeEntry("OLD", "OLD.GB")};
    const QString file = writeFile(root + "/mine.cfg", serializeConfiguration(config));
    writeFile(root + "/state/vantorix/last-configuration", QFile::encodeName(file) + "\n");

    QProcess kelpad;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_STATE_HOME", root + "/state");
    kelpad.setProcessEnvironment(env);
    kelpad.start(KELPAD_PATH, {"--add", inside, outside, text});
    ASSERT_TRUE(kelpad.waitForFinished(30000));
    EXPECT_EQ(kelpad.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(kelpad.readAllStandardError()), "kelpad: " + text + ": not a Game Boy ROM\n");
    const QStringList list = parseConfiguration(readFile(file)).gameList;
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[1], composeEntry("TINY TENNIS", "SPORTS/TENNIS.GB"));
    EXPECT_EQ(list[2], composeEntry("STAR HOPPER", root + "/elsewhere/Other Games/STAR.GB"));
    for (const auto &[entry, rom] : {std::pair{list[1], inside}, std::pair{list[2], outside}})
        EXPECT_EQ(resolveRomPath(config.gamesDirectory, romFileName(entry)), rom);
}

}  // namespace
