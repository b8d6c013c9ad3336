#include "widgets/FolderNameCompleter.h"

#include "reading/Catalogue.h"
#include "platform/FilePath.h"

#include <QAbstractItemView>
#include <QDir>
#include <QLineEdit>
#include <QStringListModel>

FolderNameCompleter::FolderNameCompleter(QLineEdit *field, vantorix::Catalogue &catalogue)
    : QCompleter(field), field_(field), catalogue_(catalogue), names_(new QStringListModel(this))
{
    setModel(names_);
    setCaseSensitivity(Qt::CaseSensitive);
    setCompletionMode(QCompleter::PopupCompletion);
    field->setCompleter(this);
    connect(field, &QLineEdit::textEdited, this, &FolderNameCompleter::follow);
}

void FolderNameCompleter::follow(const QString &text)
{
    if (text.startsWith(QLatin1Char('~')))
        return;  // opened on Return: "~" is the home folder there
    const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return;
    const QString folder = text.left(slash);
    if (folder == listed_ || folder == asked_)
        return;
    asked_ = folder;
    catalogue_.runThenHandBack(
        this, [folder] { return vantorix::subfolderNames(folder, kMostNames); },
        [this, folder](const QStringList &names) { take(folder, names); });
}

void FolderNameCompleter::take(const QString &folder, const QStringList &names)
{
    if (folder != asked_)
        return;  // the user typed on into another folder
    listed_ = folder;
    asked_.clear();
    QStringList paths;
    paths.reserve(names.size());
    for (const QString &name : names)
        paths.append(folder + QLatin1Char('/') + name);
    names_->setStringList(paths);
    if (field_->hasFocus() && field_->text().startsWith(folder + QLatin1Char('/'))) {
        setCompletionPrefix(field_->text());
        complete();
    }
}
