#include "library/GameSaves.h"

#include "platform/FileDescriptor.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantorix {

namespace {

// A save is a few KiB; far beyond any.
constexpr qint64 kMaxSaveBytes = qint64(16) << 20;

const char *const kBesideRom[] = {".sav", ".srm", ".rtc"};
const char *const kRetroArch[] = {".srm", ".rtc"};

// The names in a folder (its own bytes), read once; subfolders apart.
struct SaveNames {
    QSet<QByteArray> files;
    QList<QByteArray> folders;
};

// Whether a name ends as a save does: a folder of 100,000 ROMs keeps only
// its few saves' names.
bool isSaveName(const char *name)
{
    const size_t length = std::strlen(name);
    if (length < 5 || name[length - 4] != '.')
        return false;
    const char *extension = name + length - 3;
    return std::strcmp(extension, "sav") == 0 || std::strcmp(extension, "srm") == 0
           || std::strcmp(extension, "rtc") == 0;
}

// savesOnly: the files that may be saves alone (every name else).
SaveNames listSaveNames(const QByteArray &folder, bool savesOnly = false)
{
    SaveNames names;
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        if (entry->d_type == DT_DIR)
            names.folders.append(QByteArray(name));
        else if (!savesOnly || isSaveName(name))
            names.files.insert(QByteArray(name));
    }
    ::closedir(dir);
    return names;
}

// The ROM's name without its extension, as emulators name its save.
QByteArray stemOf(const QByteArray &name)
{
    const qsizetype dot = name.lastIndexOf('.');
    return dot > 0 ? name.left(dot) : name;
}

bool saveOf(const QByteArray &path, const QString &emulator, SaveFile *save)
{
    struct stat st;
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    save->path = decodePath(path);
    save->size = st.st_size;
    save->modified = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
    save->emulator = emulator;
    return true;
}

// A folder's saves by name, read once: a folder and (RetroArch's) its
// subfolders.
class SavePlace {
public:
    SavePlace(const QString &folder, bool subfolders, QString emulator) : emulator_(std::move(emulator))
    {
        if (folder.isEmpty())
            return;
        const QByteArray root = encodePath(folder);
        SaveNames top = listSaveNames(root, true);
        take(root, top.files);
        if (subfolders)
            for (const QByteArray &below : std::as_const(top.folders)) {
                const QByteArray path = root + '/' + below;
                take(path, listSaveNames(path, true).files);
            }
    }
    bool isEmpty() const { return paths_.isEmpty(); }
    void find(const QByteArray &stem, const char *const *extensions, size_t count, QList<SaveFile> *saves) const
    {
        for (size_t i = 0; i < count; ++i) {
            const auto found = paths_.constFind(stem + extensions[i]);
            if (found == paths_.constEnd())
                continue;
            for (const QByteArray &path : found.value()) {
                SaveFile save;
                if (saveOf(path, emulator_, &save))
                    saves->append(save);
            }
        }
    }

private:
    void take(const QByteArray &folder, const QSet<QByteArray> &files)
    {
        for (const QByteArray &name : files)
            paths_[name].append(folder + '/' + name);
    }
    QString emulator_;
    QHash<QByteArray, QByteArrayList> paths_;
};

// One configuration line "key = value" (quotes taken off), or nothing.
QString configValue(const QByteArray &config, const QByteArray &key, char separator)
{
    for (QByteArray line : config.split('\n')) {
        line = line.trimmed();
        const qsizetype equals = line.indexOf(separator);
        if (equals < 0 || line.left(equals).trimmed() != key)
            continue;
        QByteArray value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        return decodePath(value);
    }
    return QString();
}

QString homeFolder()
{
    return decodePath(qgetenv("HOME"));
}

QString safeFileName(const QString &text)
{
    QString name;
    for (const QChar c : text)
        name += (c == QLatin1Char('/') || c.unicode() < 0x20 || c.unicode() == 0x7f) ? QLatin1Char('_') : c;
    name = name.trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("game");
    return name.left(200);
}

QString extensionOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash + 1 ? path.mid(dot + 1) : QStringLiteral("sav");
}

// Writes bytes as a new file at the first free name of base + ext in
// folder ("base.ext", "base 2.ext", ...): written whole beside it first, so
// that a backup is there whole or not at all, and never over another.
QString writeNewFile(const QString &folder, const QString &base, const QString &ext, const QByteArray &bytes)
{
    const QByteArray temporary = encodePath(folder + QStringLiteral("/.backup-XXXXXX"));
    QByteArray name = temporary;
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        throw IoError::fromErrno(errno);
    const FileDescriptor file(fd);
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            ::unlink(name.constData());
            throw IoError::fromErrno(err);
        }
        written += n;
    }
    if (::fsync(fd) != 0) {
        const int err = errno;
        ::unlink(name.constData());
        throw IoError::fromErrno(err);
    }
    for (int n = 1;; ++n) {
        const QString target = folder + QLatin1Char('/') + base + (n > 1 ? QStringLiteral(" %1").arg(n) : QString())
                               + QLatin1Char('.') + ext;
        if (::link(name.constData(), encodePath(target).constData()) == 0) {
            ::unlink(name.constData());
            return target;
        }
        if (errno != EEXIST || n > 1000) {
            const int err = errno;
            ::unlink(name.constData());
            throw IoError::fromErrno(err);
        }
    }
}

QString backupRoot(const QString &root)
{
    return root.isEmpty() ? userDataHome() + QStringLiteral("/vantorix/saves") : root;
}

}  // namespace

QString retroArchSaveFolder(const QByteArray &config, const QString &configPath)
{
    const QString configFolder = configPath.left(configPath.lastIndexOf(QLatin1Char('/')));
    QString folder = configValue(config, "savefile_directory", '=');
    if (folder.isEmpty() || folder == QLatin1String("default"))
        return configFolder + QStringLiteral("/saves");
    if (folder.startsWith(QLatin1String(":/")))  // RetroArch's "beside the configuration"
        folder = configFolder + folder.mid(1);
    else if (folder.startsWith(QLatin1String("~/")))
        folder = homeFolder() + folder.mid(1);
    return folder;
}

QString mgbaSaveFolder(const QByteArray &config)
{
    QString folder = configValue(config, "savegamePath", '=');
    if (folder.startsWith(QLatin1String("~/")))
        folder = homeFolder() + folder.mid(1);
    return folder.startsWith(QLatin1Char('/')) ? folder : QString();
}

SaveFolders SaveFolders::ofUser()
{
    const QString config = xdgUserFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
    SaveFolders folders;
    const QString retroArch = config + QStringLiteral("/retroarch/retroarch.cfg");
    const std::optional<QByteArray> retroArchConfig = headOfRegularFile(retroArch, 4 << 20);
    folders.retroArch = retroArchSaveFolder(retroArchConfig.value_or(QByteArray()), retroArch);
    if (const std::optional<QByteArray> mgba = headOfRegularFile(config + QStringLiteral("/mgba/config.ini"), 1 << 20))
        folders.mgba = mgbaSaveFolder(*mgba);
    return folders;
}

FoundSaves findSaves(const QStringList &romPaths, const SaveFolders &folders)
{
    std::vector<QByteArray> paths;
    paths.reserve(size_t(romPaths.size()));
    for (const QString &path : romPaths)
        paths.push_back(encodePath(path));
    FoundSaves found;
    findSaves(
        paths.size(), [&paths](size_t i) { return paths[i]; }, folders,
        [&](size_t i, const QList<SaveFile> &saves) { found.insert(romPaths.at(qsizetype(i)), saves); });
    return found;
}

void findSaves(size_t count, const std::function<QByteArray(size_t)> &pathAt, const SaveFolders &folders,
               const std::function<void(size_t, const QList<SaveFile> &)> &found)
{
    const SavePlace retroArch(folders.retroArch, true, QStringLiteral("RetroArch"));
    const SavePlace mgba(folders.mgba, false, QStringLiteral("mGBA"));
    // The ROMs by folder: each folder listed once. A pass gives them folder
    // by folder, so that a folder is looked up once a run of its ROMs.
    QHash<QByteArray, std::vector<size_t>> byFolder;
    std::vector<size_t> *run = nullptr;
    QByteArray runFolder;
    for (size_t i = 0; i < count; ++i) {
        const QByteArray path = pathAt(i);
        const QByteArrayView folder = QByteArrayView(path).first(qMax<qsizetype>(path.lastIndexOf('/'), 0));
        if (!run || folder != runFolder) {
            runFolder = folder.toByteArray();
            run = &byFolder[runFolder];
        }
        run->push_back(i);
    }
    const bool elsewhere = !retroArch.isEmpty() || !mgba.isEmpty();
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        const QByteArray folder = it.key().isEmpty() ? QByteArray("/") : it.key();
        const QSet<QByteArray> beside = listSaveNames(folder, true).files;
        if (beside.isEmpty() && !elsewhere)
            continue;  // no save here, none kept apart: no ROM of it looked at
        for (const size_t index : it.value()) {
            const QByteArray rom = pathAt(index);
            const QByteArray stem = stemOf(rom.sliced(rom.lastIndexOf('/') + 1));
            QList<SaveFile> saves;
            for (const char *extension : kBesideRom) {
                if (beside.isEmpty())
                    break;
                const QByteArray name = stem + extension;
                SaveFile save;
                if (beside.contains(name) && saveOf(folder + '/' + name, QString(), &save))
                    saves.append(save);
            }
            retroArch.find(stem, kRetroArch, std::size(kRetroArch), &saves);
            static const char *const kSav[] = {".sav"};
            mgba.find(stem, kSav, 1, &saves);
            if (!saves.isEmpty())
                found(index, saves);
        }
    }
}

QString saveBackupFolder(const QString &game, const QString &root)
{
    return backupRoot(root) + QLatin1Char('/') + safeFileName(game);
}

QStringList saveBackups(const QString &game, const QString &root)
{
    const QString folder = saveBackupFolder(game, root);
    QStringList backups;
    for (const QByteArray &name : listSaveNames(encodePath(folder)).files)
        if (!name.startsWith('.'))
            backups.append(folder + QLatin1Char('/') + decodePath(name));
    backups.sort();
    return backups;
}

QString backUpSave(const SaveFile &save, const QString &game, const QString &emulator, const QDateTime &when,
                   const QString &root)
{
    const QByteArray bytes = readWholeFile(save.path, kMaxSaveBytes);
    // An emulator that made a save and wrote nothing (a zip it could not
    // save into) leaves nothing to keep.
    if (bytes.isEmpty())
        return QString();
    const QString ext = extensionOf(save.path);
    const QStringList backups = saveBackups(game, root);
    for (qsizetype i = backups.size() - 1; i >= 0; --i) {
        if (extensionOf(backups.at(i)) != ext)
            continue;
        try {
            if (readWholeFile(backups.at(i), kMaxSaveBytes) == bytes)
                return QString();
        } catch (const IoError &) {
            // A backup that cannot be read is no reason to make none.
        }
        break;
    }
    const QString folder = saveBackupFolder(game, root);
    makeFolders(folder);
    return writeNewFile(folder, when.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss")) + QLatin1Char(' ')
                                    + safeFileName(emulator),
                        ext, bytes);
}

void restoreSave(const QString &backup, const QString &savePath, const QString &game, const QString &emulator,
                 bool running, const QString &root)
{
    if (running)
        throw IoError(IoError::GameRunning,
                      QCoreApplication::translate("IoError", "The game is running: its emulator would write over the "
                                                             "save. Quit the game first."));
    const QByteArray bytes = readWholeFile(backup, kMaxSaveBytes);
    struct stat st;
    if (::stat(encodePath(savePath).constData(), &st) == 0) {
        SaveFile current;
        current.path = savePath;
        backUpSave(current, game, emulator, QDateTime::currentDateTime(), root);
    }
    writeFileAtomically(savePath, bytes, LinkAtPath::SaveThrough);
}

QString emulatorLabel(const QString &emulatorText, const SaveFile &save)
{
    if (!save.emulator.isEmpty())
        return save.emulator;
    QString program = emulatorText.trimmed();
    if (program.startsWith(QLatin1Char('"'))) {
        const qsizetype close = program.indexOf(QLatin1Char('"'), 1);
        program = program.mid(1, close < 0 ? -1 : close - 1);
    } else {
        program = program.section(QLatin1Char(' '), 0, 0);
    }
    program = program.mid(program.lastIndexOf(QLatin1Char('/')) + 1);
    // "flatpak run io.mgba.mGBA": the application, not the tool that runs it.
    if (program == QLatin1String("flatpak")) {
        const QStringList words = emulatorText.simplified().split(QLatin1Char(' '));
        for (const QString &word : words)
            if (word.count(QLatin1Char('.')) >= 2 && !word.startsWith(QLatin1Char('-')))
                return word.section(QLatin1Char('.'), -1);
    }
    return program.isEmpty() ? QStringLiteral("save") : program;
}

}  // namespace vantorix
