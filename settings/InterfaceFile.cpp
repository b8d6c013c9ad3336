#include "settings/InterfaceFile.h"

#include "settings/TextFile.h"

#include <QDir>
#include <QFileInfo>

namespace vantorix {

InterfaceTexts parseInterfaceFile(const QByteArray &bytes)
{
    InterfaceTexts result;
    TextFileReader reader(bytes);
    for (int i = 0; i < kInterfaceHeaderLines; ++i)
        reader.readLine();
    for (QString &text : result.texts)
        text = reader.readLine();
    while (!reader.atEnd())
        result.helpLines.append(reader.readLine());
    return result;
}

QString locateInterfaceFile(const QString &name, const QString &configFolder,
                            const QString &programFolder)
{
    if (name.isEmpty())
        return QString();
    auto isFile = [](const QString &path) {
        const QFileInfo info(path);
        return info.exists() && !info.isDir();
    };
    if (isFile(name))
        return name;
    if (name.contains(QLatin1Char('/')))
        return QString();
    // An installed program keeps its bundled files in ../share/vantorix.
    const QString dataFolder = programFolder.isEmpty()
        ? QString()
        : QDir(programFolder).filePath(QStringLiteral("../share/vantorix"));
    for (const QString &folder : {configFolder, programFolder, dataFolder}) {
        if (folder.isEmpty())
            continue;
        const QString candidate = QDir(folder).filePath(name);
        if (isFile(candidate))
            return candidate;
    }
    return QString();
}

}  // namespace vantorix
