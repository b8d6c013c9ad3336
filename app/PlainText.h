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

}  // namespace vantorix
