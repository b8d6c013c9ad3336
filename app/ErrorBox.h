#pragma once

#include <QString>

class QWidget;

namespace vantorix {

inline QString applicationTitle() { return QStringLiteral("Vantorix"); }

// The text as the error box shows it: a full stop is added when the last
// character's code is above that of the full stop.
QString withFullStop(const QString &text);

// The application's error box: title "Vantorix", error icon. When the
// error concerns a file, its name stands below the text.
void reportError(const QString &text, const QString &file = QString());

// A plain notice with an OK button, titled "Vantorix".
void showNotice(const QString &text);

}  // namespace vantorix
