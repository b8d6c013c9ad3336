#include "app/ErrorBox.h"

#include "app/FilePath.h"
#include "app/PlainText.h"

#include <QApplication>
#include <QMessageBox>

namespace vantorix {

namespace {

void showBox(QMessageBox::Icon icon, const QString &text, const QString &file = QString())
{
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(icon == QMessageBox::Critical ? QStringLiteral("ErrorBox")
                                                    : QStringLiteral("NoticeBox"));
    box.setTextFormat(Qt::PlainText);
    if (!file.isEmpty())
        box.setInformativeText(displayPath(file));
    // The informative text's label guesses its format by itself.
    makeLabelsPlain(&box);
    box.exec();
}

}  // namespace

QString withFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + QLatin1Char('.');
    return text;
}

void reportError(const QString &text, const QString &file)
{
    showBox(QMessageBox::Critical, withFullStop(text), file);
}

void showNotice(const QString &text)
{
    showBox(QMessageBox::NoIcon, text);
}

}  // namespace vantorix
