#pragma once

#include <QFont>
#include <QStringList>

class QPainter;
class QRect;

// Text laid out in a few lines of a width: broken between words where it
// can be, within a word where a word is wider than a line, and the last
// line elided at its end. Nothing is ever cut through.
QStringList fittedLines(const QFont &font, const QString &text, int width, int maxLines);

// Draws lines centred across rect, one under the other, the block at the
// top or centred down it (vertical: Qt::AlignTop or Qt::AlignVCenter).
void drawTextLines(QPainter *painter, const QRect &rect, const QStringList &lines, Qt::Alignment vertical);
