#include "app/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace vantorix {

namespace {

void showBox(QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(icon == QMessageBox::Critical ? QStringLiteral("ErrorBox")
                                                    : QStringLiteral("NoticeBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

QString withFullStop(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + QLatin1Char('.');
    return text;
}

void reportError(const QString &text)
{
    showBox(QMessageBox::Critical, withFullStop(text));
}

void showNotice(const QString &text)
{
    showBox(QMessageBox::NoIcon, text);
}

}  // namespace vantorix
