#include "settings/Configuration.h"

#include "platform/FilePath.h"
#include "settings/TextFile.h"

#include <QDir>
#include <QStandardPaths>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

// One row of the fixed part of the file: either a literal line that the
// reader skips, or a value line bound to a field.
struct FixedLine {
    const char *literal;                    // written as is when field is null
    QString *(*field)(Configuration &);     // the value a line carries
};

template <int N>
QString *infoLine(Configuration &c) { return &c.infoLines[N]; }

#define VANTORIX_INFO_BLOCK(base)                                              \
    {nullptr, &infoLine<base + 0>}, {nullptr, &infoLine<base + 1>},            \
    {nullptr, &infoLine<base + 2>}, {nullptr, &infoLine<base + 3>},            \
    {nullptr, &infoLine<base + 4>}, {nullptr, &infoLine<base + 5>},            \
    {nullptr, &infoLine<base + 6>}, {nullptr, &infoLine<base + 7>},            \
    {nullptr, &infoLine<base + 8>}

const FixedLine kFixedLines[kFixedLineCount] = {
    {"## Configuration file for \"Vantorix v2.5\"", nullptr},
    {"## A program by info@vantorix.example", nullptr},
    {"## You can modify the text strings but not add new or erase some", nullptr},
    {"", nullptr},
    {"## Name of the interface", nullptr},
    {"", nullptr},
    {nullptr, [](Configuration &c) { return &c.interfaceName; }},
    {"", nullptr},
    {"## System folders", nullptr},
    {"", nullptr},
    {nullptr, [](Configuration &c) { return &c.gamesDirectory; }},
    {nullptr, [](Configuration &c) { return &c.executables[0]; }},
    {nullptr, [](Configuration &c) { return &c.executables[1]; }},
    {nullptr, [](Configuration &c) { return &c.executables[2]; }},
    {"", nullptr},
    {"## Name and version", nullptr},
    {"", nullptr},
    {nullptr, [](Configuration &c) { return &c.displayNames[0]; }},
    {nullptr, [](Configuration &c) { return &c.displayNames[1]; }},
    {nullptr, [](Configuration &c) { return &c.displayNames[2]; }},
    {"", nullptr},
    {"## Emulator n. 1", nullptr},
    {"", nullptr},
    VANTORIX_INFO_BLOCK(0),
    {"", nullptr},
    {"## Emulator n. 2", nullptr},
    {"", nullptr},
    VANTORIX_INFO_BLOCK(9),
    {"", nullptr},
    {"## Emulator n. 3", nullptr},
    {"", nullptr},
    VANTORIX_INFO_BLOCK(18),
    {"", nullptr},
    {"## Romlist", nullptr},
    {"", nullptr},
};

#undef VANTORIX_INFO_BLOCK

}  // namespace

bool Configuration::operator==(const Configuration &other) const
{
    return interfaceName == other.interfaceName && gamesDirectory == other.gamesDirectory
           && executables == other.executables && displayNames == other.displayNames
           && infoLines == other.infoLines && gameList == other.gameList;
}

QString truncatedInterfaceName(const QString &line)
{
    qsizetype n = qMin<qsizetype>(line.size(), kInterfaceNameCapacity);
    if (n > 0 && n < line.size() && line.at(n - 1).isHighSurrogate())
        --n;
    return line.left(n);
}

Configuration parseConfiguration(const QByteArray &bytes)
{
    Configuration config;
    TextFileReader reader(bytes);
    for (const FixedLine &line : kFixedLines) {
        const QString text = reader.readLine();
        if (line.field)
            *line.field(config) = text;
    }
    config.interfaceName = truncatedInterfaceName(config.interfaceName);
    for (int i = 0; i < kPlaylistLimit && !reader.atEnd(); ++i)
        config.gameList.append(reader.readLine());
    for (; !reader.atEnd(); ++config.entriesLeftOut)
        reader.readLine();
    return config;
}

QString userConfigurationFolder()
{
    // The XDG rules: a relative XDG_CONFIG_HOME is ignored; the home folder
    // comes from the password database where HOME is unset or relative.
    const QString xdg = decodePath(qgetenv("XDG_CONFIG_HOME"));
    if (xdg.startsWith(QLatin1Char('/')))
        return xdg + QStringLiteral("/vantorix");
    QString home = decodePath(qgetenv("HOME"));
    if (!home.startsWith(QLatin1Char('/'))) {
        const passwd *entry = ::getpwuid(::geteuid());
        home = entry && entry->pw_dir ? decodePath(QByteArray(entry->pw_dir)) : QString();
    }
    if (!home.startsWith(QLatin1Char('/')))
        return QString();
    return (home.endsWith(QLatin1Char('/')) ? home : home + QLatin1Char('/')) + QStringLiteral(".config/vantorix");
}

QString configurationFolder(const QString &programFolder)
{
    // An installed copy is told by its layout (its data in
    // ../share/vantorix), never by who may write beside it: one installed
    // into ~/.local, or run as root, still keeps the user's files in the
    // user's folder.
    struct stat data;
    const bool installed = ::stat(encodePath(programFolder + QStringLiteral("/../share/vantorix")).constData(), &data) == 0
                           && S_ISDIR(data.st_mode);
    if (!installed && ::access(encodePath(programFolder).constData(), W_OK) == 0)
        return programFolder;
    const QString userFolder = userConfigurationFolder();
    // Something else where the folder belongs: the current folder instead.
    struct stat st;
    if (userFolder.isEmpty()
        || (::stat(encodePath(userFolder).constData(), &st) == 0 && !S_ISDIR(st.st_mode)))
        return currentFolderPath();
    return userFolder;
}

QByteArray serializeConfiguration(const Configuration &config)
{
    Configuration source = config;
    QStringList lines;
    lines.reserve(kFixedLineCount + config.gameList.size());
    for (const FixedLine &line : kFixedLines)
        lines.append(line.field ? *line.field(source) : QString::fromUtf8(line.literal));
    lines += config.gameList;
    return encodeLines(lines);
}

}  // namespace vantorix
