#pragma once

#include <QCompleter>
#include <QPointer>

class QLineEdit;
class QStringListModel;

namespace vantorix {
class Catalogue;
}

// Completes the folder names typed into a path field: the folder the
// typed text is in is listed on the catalogue's executor (folder names
// only, no file opened), and the names offered once they come back. The
// field never waits for a drive, nor for a folder of thousands of files.
class FolderNameCompleter : public QCompleter {
    Q_OBJECT
public:
    FolderNameCompleter(QLineEdit *field, vantorix::Catalogue &catalogue);

    // The folder whose names are offered (without its closing "/").
    const QString &listedFolder() const { return listed_; }

private:
    static constexpr int kMostNames = 5000;
    void follow(const QString &text);
    void take(const QString &folder, const QStringList &names);

    QLineEdit *field_;
    vantorix::Catalogue &catalogue_;
    QStringListModel *names_;
    QString listed_;
    QString asked_;
};
