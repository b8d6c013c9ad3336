#pragma once

class QImage;

#include "platform/ShownText.h"

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
// A tool-tip of a picture to the left of a plain text.
QString pictureToolTip(const QImage &picture, const QString &text);
// The picture as PNG in base64, as a tool-tip carries it; a picture that
// holds it already under the text key kPngInBase64 is not encoded again.
constexpr const char *kPngInBase64 = "vantorix-png-base64";
QString pngInBase64(const QImage &picture);

// A text as a button or a group box shows it literally: an "&" of a name
// such as "Tom&Jerry" is no keyboard accelerator there.
QString withoutMnemonics(const QString &text);

// Sets the text of a label, a button or an edit, shown cut where it is
// long; storedText gives the whole text back, or what the user typed since.
void setStoredText(QWidget *widget, const QString &text);
QString storedText(const QWidget *widget);

}  // namespace vantorix
