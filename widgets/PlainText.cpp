#include "widgets/PlainText.h"

#include <QBuffer>
#include <QImage>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVariant>
#include <QTextDocument>
#include <QWidget>

namespace vantorix {

void makeLabelsPlain(QWidget *root)
{
    if (auto *label = qobject_cast<QLabel *>(root))
        label->setTextFormat(Qt::PlainText);
    for (QLabel *label : root->findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
}

QString plainToolTip(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

QString pngInBase64(const QImage &picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return QString::fromLatin1(png.toBase64());
}

QString pictureToolTip(const QImage &picture, const QString &text)
{
    // Encoded once where the picture was read (ScaledPictures), else here.
    QString png = picture.text(QLatin1String(kPngInBase64));
    if (png.isEmpty())
        png = pngInBase64(picture);
    // The picture rides in the tool-tip itself; the text stays plain.
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\"><tr><td valign=\"top\"><img src=\"data:image/png;base64,")
           + png + QStringLiteral("\"></td><td width=\"8\"></td><td valign=\"top\">")
           + Qt::convertFromPlainText(text, Qt::WhiteSpacePre) + QStringLiteral("</td></tr></table>");
}

QString withoutMnemonics(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return escaped;
}

namespace {

const char kWholeText[] = "vantorixWholeText";

QString shownNow(const QWidget *widget)
{
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return QString(button->text()).replace(QLatin1String("&&"), QLatin1String("&"));
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    return QString();
}

int shownLength(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) ? kShownEditLength : kShownCaptionLength;
}

}  // namespace

void setStoredText(QWidget *widget, const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(widget);
    const QString shown = shownText(text, shownLength(widget));
    widget->setProperty(kWholeText, shown.size() == text.size() ? QVariant() : QVariant(text));
    if (auto *label = qobject_cast<QLabel *>(widget))
        label->setText(shown);
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        button->setText(withoutMnemonics(shown));
    if (!edit)
        return;
    const bool cut = shown.size() != text.size();
    edit->setText(shown);
    edit->setReadOnly(cut);
    edit->setToolTip(cut ? QCoreApplication::translate("PlainText", "%1 characters, too long to edit here: shown cut, kept and saved whole.")
                               .arg(text.size())
                         : QString());
}

QString storedText(const QWidget *widget)
{
    const QString shown = shownNow(widget);
    const QVariant whole = widget->property(kWholeText);
    // Once changed, the widget holds what it shows.
    if (whole.isValid() && shown == shownText(whole.toString(), shownLength(widget)))
        return whole.toString();
    return shown;
}

}  // namespace vantorix
