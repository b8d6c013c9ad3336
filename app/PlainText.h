#pragma once

#include <QString>

class QWidget;

// Text read from a file or a file name is shown as it is, never as markup:
// a name such as "<img src=x>" must not make the toolkit open x.
namespace vantorix {

// Every label below root (root included) shows plain text.
void makeLabelsPlain(QWidget *root);

// A tool-tip that shows text literally. The toolkit guesses a tool-tip's
// format, so text that could pass for markup is escaped.
QString plainToolTip(const QString &text);

// Text shortened for display only: at most limit characters, the cut
// marked with "…". What is stored keeps the whole text.
QString shownText(const QString &text, int limit);

// Laying out a text of megabytes freezes a window for seconds. Captions are
// shown cut to kShownCaptionLength characters (no label is wider than that
// many); an edit holding more than kShownEditLength characters (more than
// any path can have) shows it cut, read-only, with a tool-tip saying so.
constexpr int kShownCaptionLength = 1000;
constexpr int kShownEditLength = 4096;

// Sets the text of a label, a button or an edit, shown cut where it is
// long; storedText gives the whole text back, or what the user typed since.
void setStoredText(QWidget *widget, const QString &text);
QString storedText(const QWidget *widget);

}  // namespace vantorix
