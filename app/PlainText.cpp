#include "app/PlainText.h"

#include <QLabel>
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

QString shownText(const QString &text, int limit)
{
    if (text.size() <= limit)
        return text;
    qsizetype cut = limit;
    if (text.at(cut - 1).isHighSurrogate())
        --cut;
    return text.left(cut) + QChar(0x2026);
}

}  // namespace vantorix
