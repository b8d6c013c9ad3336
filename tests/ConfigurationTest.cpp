#include "widgets/ErrorBox.h"
#include "app/Forms.h"
#include "rom/GameListEntry.h"
#include "platform/IoError.h"
#include "settings/Configuration.h"
#include "settings/InterfaceFile.h"
#include "settings/TextFile.h"
#include "app/Unit1.h"
#include "windows/Unit2.h"
#include "tests/WindowTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <unistd.h>

#include <gtest/gtest.h>

using namespace vantorix;
using namespace testing_support;

namespace {

Configuration sampleConfiguration()
{
    Configuration c;
    c.interfaceName = "english.txt";
    c.gamesDirectory = "/home/me/My Games/";
    c.executables = {"mgba-qt", "  /usr/bin/mgba  ", ""};
    c.displayNames = {"mGBA (Qt)", "mGBA (SDL)", "Visual Boy Advance"};
    for (int i = 0; i < kInfoLineCount; ++i)
        c.infoLines[i] = QString("info line %1 ").arg(i + 1);
    c.infoLines[4].clear();
    c.gameList = {composeEntry("TETRIS", "TETRIS.GB"), QString(), QStringLiteral("Ünïcødé ÉLÈVE")};
    return c;
}

QStringList linesOf(const QByteArray &bytes)
{
    TextFileReader reader(bytes);
    QStringList lines;
    while (!reader.atEnd())
        lines.append(reader.readLine());
    return lines;
}

TEST(Configuration, HugeLinesManyLinesNulAndBrokenUtf8)
{
    QTemporaryDir dir;
    FormsGuard forms;

    // 60 MB in one line: it is line 1, a comment; every field is empty.
    const QString huge = writeFile(dir.filePath("huge.cfg"), "## " + QByteArray(60 * 1024 * 1024, 'A'));
    Form1->Edit1->setText("before");
    EXPECT_TRUE(Form1->loadConfigurationFile(huge));
    EXPECT_TRUE(Form1->Edit1->text().isEmpty());
    EXPECT_EQ(Form1->ComboBox1->count(), 0);
    // 100 MB: refused before it is read, with the file's name.
    writeFile(huge, QByteArray(100 * 1024 * 1024, 'A'));
    {
        ModalAnswerer box(pressOk);
        EXPECT_FALSE(Form1->loadConfigurationFile(huge));
        EXPECT_EQ(box.seenText(), QStringLiteral("File too large."));
    }

    // A million entry lines: the first 680 are the game list.
    QByteArray many = vantorix::serializeConfiguration(Configuration());
    many.reserve(many.size() + 1000000 * 8);
    for (int i = 0; i < 1000000; ++i)
        many += QByteArray::number(i) + "\r\n";
    const QString manyFile = writeFile(dir.filePath("many.cfg"), many);
    {
        ModalAnswerer notice(pressOk);  // how many were left out
        EXPECT_TRUE(Form1->loadConfigurationFile(manyFile));
    }
    EXPECT_EQ(Form1->ComboBox1->count(), vantorix::kPlaylistLimit);
    EXPECT_EQ(Form1->ComboBox1->itemText(679), QStringLiteral("679"));

    // NUL bytes are characters like any other and survive a round trip.
    Configuration withNul;
    withNul.gamesDirectory = QString::fromLatin1("/roms\0/x", 8);
    withNul.gameList = {QString::fromLatin1("A\0B", 3)};
    const Configuration readBack = vantorix::parseConfiguration(vantorix::serializeConfiguration(withNul));
    EXPECT_EQ(readBack, withNul);

    // Bytes that are not UTF-8 are read as Windows-1252, never dropped.
    Configuration marked;
    marked.gamesDirectory = QStringLiteral("MARK");
    QByteArray broken = vantorix::serializeConfiguration(marked);
    broken.replace("MARK", "C:\\Giochi\\Citt\xE0\xFF\x80");
    EXPECT_EQ(vantorix::parseConfiguration(broken).gamesDirectory,
              QString::fromUtf8("C:\\Giochi\\Citt\u00E0\u00FF\u20AC"));
    EXPECT_EQ(folderState(dir.path()).size(), 2);
}

TEST(Configuration, DirectoriesAndOddNodesWhereFilesBelong)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("folder.cfg");
    for (const QString &path : {dir.filePath("folder.cfg"), QStringLiteral("/dev/null"),
                                QStringLiteral("/proc/self/mem")}) {
        try {
            vantorix::readWholeFile(path);
            ADD_FAILURE() << "read " << path.toStdString();
        } catch (const IoError &error) {
            EXPECT_FALSE(error.text().isEmpty());
        }
    }
    // A link to itself cannot be followed.
    const QString loop = dir.filePath("loop.cfg");
    ASSERT_EQ(::symlink("loop.cfg", QFile::encodeName(loop).constData()), 0);
    try {
        vantorix::readWholeFile(loop);
        ADD_FAILURE();
    } catch (const IoError &error) {
        EXPECT_EQ(error.text(), QStringLiteral("Too many levels of symbolic links"));
    }
    try {
        vantorix::writeFileAtomically(loop, "x");
        ADD_FAILURE();
    } catch (const IoError &error) {
        EXPECT_EQ(error.text(), QStringLiteral("Too many levels of symbolic links"));
    }
    EXPECT_TRUE(QFileInfo(loop).isSymLink());

    // Saving through links writes the file they name and keeps the links.
    const QString link = dir.filePath("link.cfg");
    const QString dangling = dir.filePath("dangling.cfg");
    writeFile(dir.filePath("real.cfg"), "old");
    ASSERT_EQ(::symlink("real.cfg", QFile::encodeName(link).constData()), 0);
    ASSERT_EQ(::symlink("new.cfg", QFile::encodeName(dangling).constData()), 0);
    vantorix::writeFileAtomically(link, "saved");
    vantorix::writeFileAtomically(dangling, "created");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readFile(dir.filePath("real.cfg")), QByteArray("saved"));
    EXPECT_EQ(readFile(dir.filePath("new.cfg")), QByteArray("created"));
}


}  // namespace

TEST(TextFileReader, LineEndsAndEndOfText)
{
    EXPECT_EQ(linesOf("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("a\r\n"), QStringList{"a"});  // the closing line end adds no line
    EXPECT_EQ(linesOf("a\r\n\r\n"), (QStringList{"a", ""}));
    EXPECT_EQ(linesOf("a\n\rb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(linesOf("a\r\nb\x1A" "c\r\nd"), (QStringList{"a", "b"}));
    EXPECT_TRUE(linesOf("").isEmpty());
    EXPECT_TRUE(linesOf("\x1A" "abc").isEmpty());
    TextFileReader reader(QByteArray("x"));
    EXPECT_EQ(reader.readLine(), QStringLiteral("x"));
    EXPECT_EQ(reader.readLine(), QString());  // past the end: empty, no error
    EXPECT_TRUE(reader.atEnd());
}

TEST(TextFileReader, Utf8OrWindows1252)
{
    EXPECT_EQ(decodeText("caf\xC3\xA9"), QStringLiteral("café"));
    EXPECT_EQ(decodeText("caf\xE9 \x80 \x96"), QStringLiteral("café € –"));
    EXPECT_EQ(encodeLines({"é"}), QByteArray("\xC3\xA9\r\n"));
    EXPECT_EQ(encodeLines({"a\nb\r\x1A"}), QByteArray("a b  \r\n"));
}

TEST(Configuration, RoundTripOfEveryField)
{
    const Configuration original = sampleConfiguration();
    const QByteArray bytes = serializeConfiguration(original);
    EXPECT_EQ(parseConfiguration(bytes), original);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));

    const QStringList lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), kFixedLineCount + 3);
    EXPECT_EQ(lines[0], QStringLiteral("## Configuration file for \"Vantorix v2.5\""));
    EXPECT_EQ(lines[6], QStringLiteral("english.txt"));
    EXPECT_EQ(lines[10], QStringLiteral("/home/me/My Games/"));
    EXPECT_EQ(lines[12], QStringLiteral("  /usr/bin/mgba  "));
    EXPECT_EQ(lines[19], QStringLiteral("Visual Boy Advance"));
    EXPECT_EQ(lines[23], QStringLiteral("info line 1 "));
    EXPECT_EQ(lines[55], QStringLiteral("info line 27 "));
    EXPECT_EQ(lines[57], QStringLiteral("## Romlist"));

    EXPECT_EQ(linesOf(serializeConfiguration(Configuration())).size(), kFixedLineCount);
    EXPECT_EQ(parseConfiguration(serializeConfiguration(Configuration())), Configuration());
}

TEST(Configuration, ShortLongAndOddFiles)
{
    QByteArray bytes = serializeConfiguration(sampleConfiguration());
    // Line 7 longer than 11 characters: the rest is dropped, the lines after
    // it still land on their fields.
    QByteArray longName = bytes;
    longName.replace("english.txt\r\n", "english.txt.old\r\n");
    const Configuration c = parseConfiguration(longName);
    EXPECT_EQ(c.interfaceName, QStringLiteral("english.txt"));
    EXPECT_EQ(c.gamesDirectory, QStringLiteral("/home/me/My Games/"));

    // 681 entry lines: 680 are taken.
    Configuration many;
    for (int i = 0; i < 681; ++i)
        many.gameList.append(QString::number(i));
    EXPECT_EQ(parseConfiguration(serializeConfiguration(many)).gameList.size(), kPlaylistLimit);

    // A short file: the missing fields are empty, no error.
    const Configuration shortOne = parseConfiguration(bytes.left(bytes.indexOf("mgba-qt")));
    EXPECT_EQ(shortOne.gamesDirectory, QStringLiteral("/home/me/My Games/"));
    EXPECT_TRUE(shortOne.executables[0].isEmpty());
    EXPECT_TRUE(shortOne.gameList.isEmpty());

    // A file edited on Linux, with LF line ends, loads the same.
    QByteArray unix = bytes;
    unix.replace("\r\n", "\n");
    EXPECT_EQ(parseConfiguration(unix), sampleConfiguration());

    // 0x1A ends the text; blank entry lines are empty entries.
    EXPECT_EQ(parseConfiguration(bytes + "\r\nX\x1A" "Y\r\n").gameList.mid(3),
              (QStringList{"", "X"}));
    EXPECT_EQ(parseConfiguration(QByteArray()), Configuration());
    EXPECT_NO_THROW(parseConfiguration(QByteArray(4096, '\0')));
    // UTF-16 with its mark; half a surrogate pair is no character.
    EXPECT_EQ(decodeText(QByteArray("\xFF\xFE" "a\0\x00\xDC", 6)), QStringLiteral("a\uFFFD"));
    EXPECT_EQ(decodeText(QByteArray("\xFE\xFF\xFE\xFF\0b", 6)), QStringLiteral("\uFEFFb"));
    // A text that starts with that mark's character keeps it through a file.
    EXPECT_EQ(linesOf(encodeLines({QStringLiteral("\uFEFFx")})), QStringList{QStringLiteral("\uFEFFx")});
}

// The platform's failures and the program's own never share a code: an
// errno whose number once met a program code (EMLINK, EPIPE) shows its
// own text.
TEST(IoErrors, PlatformErrorsAndProgramErrorsEachShowTheirOwnText)
{
    const struct {
        IoError error;
        IoError::Code code;
        int platformErrno;
        const char *text;
    } cases[] = {
        {IoError::fromErrno(EMLINK), IoError::OtherPlatformError, EMLINK, "I/O error 31"},
        {IoError::fromErrno(EPIPE), IoError::OtherPlatformError, EPIPE, "I/O error 32"},
        {IoError::fromErrno(EIO), IoError::OtherPlatformError, EIO, "I/O error 5"},
        {IoError::fromErrno(ENOENT), IoError::FileNotFound, ENOENT, "File not found"},
        {IoError::fromErrno(EISDIR), IoError::IsFolder, EISDIR, "Is a folder"},
        {IoError::fromErrno(ENOSPC), IoError::DiskFull, ENOSPC, "Disk full"},
        {IoError::fromErrno(EFBIG), IoError::FileTooLarge, EFBIG, "File too large"},
        {IoError::notRegularFile(), IoError::NotRegularFile, 0, "Not a regular file"},
        {IoError::damagedArchive(), IoError::DamagedArchive, 0, "Damaged or truncated archive"},
        {IoError::lockedArchive(), IoError::LockedArchive, 0, "Password-protected archive"},
        {IoError::emptyArchive(), IoError::EmptyArchive, 0, "No file in the archive"},
        {IoError::noRomInArchive(), IoError::NoRomInArchive, 0, "No ROM in the archive"},
        {IoError::readBeyondEnd(), IoError::ReadBeyondEnd, 0, "Read beyond end of file"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.error.text(), QString::fromLatin1(c.text));
        EXPECT_EQ(c.error.code(), c.code) << c.text;
        EXPECT_EQ(c.error.platformErrno(), c.platformErrno) << c.text;
    }
}

TEST(TextFiles, ErrorsCarryThePlatformText)
{
    QTemporaryDir dir;
    try {
        readWholeFile(dir.filePath("missing.cfg"));
        FAIL();
    } catch (const IoError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("File not found"));
    }
    try {
        readWholeFile(dir.path());
        FAIL();
    } catch (const IoError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Is a folder"));
    }
    const QString secret = writeFile(dir.filePath("secret.cfg"), "x");
    QFile::setPermissions(secret, QFile::WriteOwner);
    const int status = runUnprivileged([&] {
        try {
            readWholeFile(secret);
        } catch (const IoError &e) {
            return e.code() == IoError::AccessDenied ? 0 : 1;
        }
        return 2;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
    }
}

TEST(TextFiles, FailedWriteLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString target = writeFile(dir.filePath("user.cfg"), "old contents\r\n");
    writeFileAtomically(target, "new\r\n");
    EXPECT_EQ(readFile(target), QByteArray("new\r\n"));
    try {
        writeFileAtomically(dir.path(), "x");
        FAIL();
    } catch (const IoError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Is a folder"));
    }
    try {
        writeFileAtomically(dir.filePath("no/such/folder/user.cfg"), "x");
        FAIL();
    } catch (const IoError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("File not found"));
    }
    EXPECT_EQ(readFile(target), QByteArray("new\r\n"));
}

TEST(ConfigurationFolder, BesideTheProgramOrInTheUsersFolderCreatingNothing)
{
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                          | QFile::ExeOther);
    const QString installed = dir.filePath("prefix/bin");
    const QString unpacked = dir.filePath("unpacked");
    const QString home = dir.filePath("home");
    QDir().mkpath(installed);
    QDir().mkpath(unpacked);
    // Installed into a prefix of the user's own (cmake --install --prefix
    // ~/.local): an installed copy all the same.
    const QString ownInstall = dir.filePath("own/games");
    QDir().mkpath(ownInstall);
    QDir().mkpath(dir.filePath("own/share/vantorix"));
    QDir().mkpath(home + "/.config");
    writeFile(dir.filePath("blocked/vantorix"), "a file where the folder belongs");
    for (const QString &mine : {unpacked, ownInstall, home, home + "/.config", dir.filePath("blocked")})
        ASSERT_EQ(::chown(QFile::encodeName(mine).constData(), 65534, 65534), 0);
    const int status = testing_support::runUnprivileged([&] {
        const QByteArray unset = "<unset>";
        const struct {
            QByteArray xdg;
            QByteArray homeVariable;  // empty: unset
            QString expected;
        } cases[] = {
            {unset, QFile::encodeName(home), home + "/.config/vantorix"},
            {"", QFile::encodeName(home), home + "/.config/vantorix"},
            {"relative/config", QFile::encodeName(home), home + "/.config/vantorix"},  // ignored
            {"/elsewhere", QFile::encodeName(home), "/elsewhere/vantorix"},
            // A plain file where the folder belongs: the current folder.
            {QFile::encodeName(dir.filePath("blocked")), QFile::encodeName(home), QDir::currentPath()},
            // No usable HOME: the password database's home of nobody.
            {unset, QByteArray(), "/nonexistent/.config/vantorix"},
        };
        int failures = 0;
        for (const auto &c : cases) {
            c.xdg == unset ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", c.xdg);
            c.homeVariable.isEmpty() ? qunsetenv("HOME") : qputenv("HOME", c.homeVariable);
            if (configurationFolder(installed) != c.expected)
                failures |= 1;
        }
        if (configurationFolder(unpacked) != unpacked)
            failures |= 2;
        qunsetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home));
        if (configurationFolder(ownInstall) != home + "/.config/vantorix")
            failures |= 8;
        if (QFileInfo::exists(home + "/.config/vantorix"))
            failures |= 4;  // nothing is made before a save
        return failures;
    });
    if (status >= 0) {
        EXPECT_EQ(status, 0);
    }
}

TEST(InterfaceFile, PositionsAndHelpLines)
{
    QByteArray bytes = "1\r\n2\r\n3\r\n4\r\n";
    for (int line = 5; line <= 22; ++line)
        bytes += " text " + QByteArray::number(line) + " \r\n";
    InterfaceTexts exact = parseInterfaceFile(bytes);
    EXPECT_EQ(exact.text(InterfaceTexts::SelectGame), QStringLiteral(" text 5 "));
    EXPECT_EQ(exact.text(InterfaceTexts::Info), QStringLiteral(" text 10 "));
    EXPECT_EQ(exact.text(InterfaceTexts::Import), QStringLiteral(" text 22 "));
    EXPECT_TRUE(exact.helpLines.isEmpty());

    const InterfaceTexts help = parseInterfaceFile(bytes + "help 1\r\n\r\nhelp 3\r\n");
    EXPECT_EQ(help.helpLines, (QStringList{"help 1", "", "help 3"}));

    const InterfaceTexts tiny = parseInterfaceFile("a\r\nb\r\n");
    for (const QString &text : tiny.texts)
        EXPECT_TRUE(text.isEmpty());
}
