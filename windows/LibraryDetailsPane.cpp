// The library's pane: the chosen game's pictures and what kelpad --info says
// of it, read off the window's thread; the question whether to download
// pictures is asked here.
#include "windows/LibraryWindow.h"
#include "windows/OffThread.h"
#include "windows/CoverDelegate.h"

#include "widgets/ErrorBox.h"
#include "widgets/PlainText.h"
#include "widgets/ScaledPictures.h"
#include "library/LibraryChanges.h"
#include "names/CartridgeDetails.h"
#include "reading/Catalogue.h"
#include "reading/DetailToolTips.h"
#include "pictures/GamePictures.h"
#include "downloads/PictureDownloads.h"
#include "settings/UserSettings.h"
#include "library/LibraryWatch.h"
#include "platform/FilePath.h"
#include "platform/IoError.h"
#include "platform/ShownText.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QUrl>
#include <QWheelEvent>
#include <QScreen>

#include <algorithm>

#include "platform/FileDescriptor.h"

#include <cerrno>
#include <fcntl.h>


void LibraryWindow::showCurrentGame()
{
    if (Views->currentWidget() == MissingView) {
        showMissingGame();
        return;
    }
    const quint64 serial = ++paneSerial_;
    const QString path = currentPath();
    panePath_ = path;
    for (QLabel *picture : {BoxArt, TitleScreen, Screenshot})
        picture->hide();
    DownloadBox->hide();
    if (path.isEmpty()) {
        DetailsText->clear();
        return;
    }
    DetailsText->setPlainText(vantorix::displayPath(path));
    // What kelpad --info says of it: header, CRC32, database.
    vantorix::Catalogue &catalogue = catalogue_;
    offThread<QString>(
        catalogue_, this,
        [&catalogue, path] {
            try {
                const vantorix::CartridgeDetails details = vantorix::readCartridgeDetails(path);
                return vantorix::detailLines(details, vantorix::displayPath(path), &catalogue.databases()->database, true)
                    .join(QLatin1Char('\n'));
            } catch (const vantorix::IoError &error) {
                return vantorix::displayPath(path) + QStringLiteral(": ") + error.text();
            }
        },
        [this, serial, path](const QString &text) {
            // Text of a file's and a database's: plain, never rich text.
            if (serial != paneSerial_)
                return;
            QStringList lines = text.split(QLatin1Char('\n'));
            for (QString &line : lines)
                line = vantorix::withoutControlCharacters(line);  // an archive entry's name is anyone's
            const QStringList collector = collectorLines(model_->rowOf(path));
            if (!collector.isEmpty())
                lines += QStringList{QString()} + collector;
            DetailsText->setPlainText(lines.join(QLatin1Char('\n')));
        });
    catalogue_.toolTips().request(path, this, [this, serial, path](const vantorix::DetailToolTip &tip) {
        if (serial != paneSerial_)
            return;
        showPictures(path, serial);
        if (tip.picture.isEmpty() && !tip.downloadable.isEmpty())
            askDownload(tip.downloadable, serial);
    });
}

void LibraryWindow::showPictures(const QString &path, quint64 serial)
{
    const int row = model_->rowOf(path);
    const QString name = row >= 0 ? model_->game(row).name : QString();
    const bool colour = row >= 0 && model_->game(row).colour;
    offThread<QStringList>(
        catalogue_, this,
        [path, name, colour] {
            const vantorix::PictureQuery query = vantorix::pictureQueryOf(path, name, QString(), colour);
            const QStringList roots = vantorix::pictureRoots();
            QStringList found;
            for (const vantorix::PictureKind kind :
                 {vantorix::PictureKind::BoxArt, vantorix::PictureKind::TitleScreen, vantorix::PictureKind::Screenshot})
                found.append(vantorix::findPicture(roots, query, kind));
            return found;
        },
        [this, serial](const QStringList &found) {
            QLabel *const labels[] = {BoxArt, TitleScreen, Screenshot};
            for (int i = 0; i < 3; ++i) {
                if (found.at(i).isEmpty())
                    continue;
                QPointer<QLabel> label(labels[i]);
                ScaledPictures::of(catalogue_).request(found.at(i), this, [this, label, serial](const QImage &image) {
                    if (label && serial == paneSerial_ && !image.isNull()) {
                        label->setPixmap(QPixmap::fromImage(image));
                        label->show();
                    }
                });
            }
        });
}

void LibraryWindow::askDownload(const vantorix::PictureQuery &query, quint64 serial)
{
    const vantorix::UserSettings::Downloads answer = vantorix::UserSettings().pictureDownloads();
    if (answer == vantorix::UserSettings::Downloads::NotAsked) {
        DownloadBox->show();
        return;
    }
    vantorix::PictureFetcher *downloads = catalogue_.pictureDownloads();
    if (answer != vantorix::UserSettings::Downloads::Allowed || !downloads)
        return;
    const QString path = currentPath();
    downloads->fetch(query, vantorix::PictureKind::BoxArt, this, [this, serial, path](const QString &got) {
        if (!got.isEmpty() && serial == paneSerial_) {
            covers_->forget();
            showPictures(path, serial);
        }
    });
}
