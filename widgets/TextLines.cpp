#include "widgets/TextLines.h"

#include <QPainter>
#include <QRect>
#include <QTextLayout>

QStringList fittedLines(const QFont &font, const QString &text, int width, int maxLines)
{
    const QFontMetrics metrics(font);
    QStringList lines;
    if (text.isEmpty() || width <= 0 || maxLines <= 0)
        return lines;
    QTextLayout layout(text);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setFont(font);
    layout.beginLayout();
    int start = 0;
    while (lines.size() < maxLines) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        start = line.textStart();
        if (lines.size() == maxLines - 1) {
            // The last line there is room for: the rest of the text, elided.
            lines.append(metrics.elidedText(text.mid(start).trimmed(), Qt::ElideRight, width));
            break;
        }
        lines.append(text.mid(start, line.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

void drawTextLines(QPainter *painter, const QRect &rect, const QStringList &lines, Qt::Alignment vertical)
{
    const QFontMetrics metrics = painter->fontMetrics();
    const int height = metrics.lineSpacing() * int(lines.size());
    int y = vertical & Qt::AlignVCenter ? rect.y() + (rect.height() - height) / 2 : rect.y();
    for (const QString &line : lines) {
        painter->drawText(QRect(rect.x(), y, rect.width(), metrics.lineSpacing()), Qt::AlignHCenter | Qt::AlignTop,
                          line);
        y += metrics.lineSpacing();
    }
}
