// The library's way to the game names: the question in the pane, the
// weekly check, and "Game names…".
#include "windows/LibraryWindow.h"

#include "downloads/GameNameDownloads.h"
#include "names/GameDatabase.h"
#include "names/GameNameFiles.h"
#include "reading/Catalogue.h"
#include "settings/UserSettings.h"
#include "widgets/ErrorBox.h"

#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

void LibraryWindow::followGameNames()
{
    const vantorix::UserSettings::Downloads answer = vantorix::UserSettings().gameNameDownloads();
    if (answer == vantorix::UserSettings::Downloads::Refused || fetchingNames_)
        return;
    const QString folder = vantorix::userDatFolder();
    // Whether there are names already, and when they were checked: a look
    // at the folder, off the window's thread.
    struct Found {
        bool own = false;
        bool downloaded = false;
        bool due = false;
    };
    catalogue_.runThenHandBack(
        this,
        [folder] {
            Found found;
            found.own = vantorix::hasOwnNamesDatabase(folder);
            for (const vantorix::GameNamesFile &file : vantorix::gameNamesFiles())
                found.downloaded = found.downloaded || vantorix::isDownloadedNamesFile(folder, file);
            found.due = vantorix::namesCheckDue(folder);
            return found;
        },
        [this, answer](const Found &found) {
            vantorix::atHandlerEdge([&] {
                if (answer == vantorix::UserSettings::Downloads::Allowed) {
                    if (found.due)
                        fetchGameNames(found.downloaded);
                    return;
                }
                if (found.own || found.downloaded || namesAsked_)
                    return;
                namesAsked_ = true;
                NamesBox->show();
            });
        });
}

void LibraryWindow::fetchGameNames(bool check)
{
    if (fetchingNames_)
        return;
    if (!names_)
        names_ = new vantorix::GameNameDownloads(vantorix::userDatFolder(), &catalogue_.executor(), this);
    fetchingNames_ = true;
    if (!check)
        StatusLine->setText(tr("Downloading the game names…"));
    names_->fetch(check, [this, check](const vantorix::GameNameDownloads::Outcome &outcome) {
        fetchingNames_ = false;
        if (!outcome.failures.isEmpty()) {
            // One line, in the pane's status: the older names stay.
            StatusLine->setText(tr("Game names not downloaded: %1").arg(outcome.failures.constFirst()));
            return;
        }
        if (!outcome.fetched.isEmpty())
            StatusLine->setText(tr("Game names downloaded: the games are named again."));
        else if (!check)
            StatusLine->setText(tr("The game names are up to date."));
        // The databases' folder is watched: the names follow by themselves.
        catalogue_.reloadDatabasesInBackground();
    });
}

void LibraryWindow::showGameNames()
{
    const QString folder = vantorix::userDatFolder();
    QStringList lines;
    for (const vantorix::GameNamesFile &file : vantorix::gameNamesFiles()) {
        if (!vantorix::isDownloadedNamesFile(folder, file)) {
            lines.append(tr("%1: not downloaded").arg(file.system));
            continue;
        }
        const vantorix::NamesDownloadRecord record = vantorix::NamesDownloadRecord::read(folder, file);
        lines.append(tr("%1: version %2, checked %3")
                         .arg(file.system, record.version.isEmpty() ? tr("unknown") : record.version,
                              QLocale().toString(record.checked.toLocalTime(), QLocale::ShortFormat)));
    }
    lines.append(QString());
    lines.append(tr("Names by No-Intro, via libretro-database."));
    QMessageBox box(QMessageBox::Information, tr("Game names"), lines.join(QLatin1Char('\n')), QMessageBox::Close, this);
    box.setObjectName(QStringLiteral("GameNamesBox"));
    box.setTextFormat(Qt::PlainText);
    QPushButton *now = box.addButton(tr("Download now"), QMessageBox::AcceptRole);
    box.exec();
    if (box.clickedButton() == now) {
        vantorix::UserSettings().setGameNameDownloads(true);
        NamesBox->hide();
        fetchGameNames(false);
    }
}
