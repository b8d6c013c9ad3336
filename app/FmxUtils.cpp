#include "app/FmxUtils.h"

#include "widgets/ErrorBox.h"
#include "platform/FilePath.h"
#include "platform/ProgramStart.h"
#include "widgets/PlainText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vantorix {

namespace {

QRandomGenerator &generator()
{
    static QRandomGenerator instance;
    return instance;
}

bool looksLikeUrl(const QString &text)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = text.at(i);
        if (!(c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    }
    return text.at(0).isLetter();
}

bool reportCannotStart(const QString &program, const QString &reason, QString *failure)
{
    // A command of a megabyte is named by its start.
    const QString text = QCoreApplication::translate("ShellRunFile", "Cannot start \"%1\": %2").arg(shownText(program, 200), reason);
    if (failure)
        *failure = text;
    else
        reportError(text);
    return false;
}

}  // namespace

bool startProgram(const QString &program, const QStringList &arguments, QString *failure)
{
    const QString why = spawnProgram(program, arguments);
    if (why.isEmpty())
        return true;
    if (failure)
        *failure = why;
    else
        reportError(why);
    return false;
}

void seedRandomGenerator()
{
    generator().seed(quint32(QDateTime::currentMSecsSinceEpoch()));
}

int randomBelow(int bound)
{
    return int(generator().bounded(bound));
}

}  // namespace vantorix

bool ShellRunFile(const QString &program, const QString &parameters, const QString &folder, int)
{
    if (program.isEmpty())
        return false;
    const QString executable = vantorix::findExecutable(program);
    if (!executable.isEmpty()) {
        QProcess process;
        process.setProgram(executable);
        if (!parameters.isEmpty())
            process.setArguments({parameters});
        if (!folder.isEmpty())
            process.setWorkingDirectory(folder);
        process.setStandardInputFile(QProcess::nullDevice());
        if (!process.startDetached())
            return vantorix::reportCannotStart(program, process.errorString(), nullptr);
        return true;
    }
    const QFileInfo info(program);
    QUrl url;
    if (info.exists())
        url = QUrl::fromLocalFile(info.absoluteFilePath());
    else if (vantorix::looksLikeUrl(program))
        url = QUrl(program);
    if (!url.isValid() || url.isEmpty())
        return vantorix::reportCannotStart(program, QString::fromLocal8Bit(std::strerror(ENOENT)), nullptr);
    if (!QDesktopServices::openUrl(url))
        return vantorix::reportCannotStart(program, QCoreApplication::translate("ShellRunFile", "No application is set to open it"), nullptr);
    return true;
}
