#pragma once

#include <QLocale>
#include <QString>

namespace vantorix {

// Installs the program's texts and the toolkit's own (file dialogs, message
// box buttons) in the user's language: LC_ALL, LC_MESSAGES or LANG, as
// QLocale reads them. A language without a translation keeps English.
// Returns the language installed for the program, or an empty text.
QString installTranslations(const QLocale &locale = QLocale::system());

// The interface file that speaks the locale's language, of those bundled.
QString bundledInterfaceFile(const QLocale &locale = QLocale::system());

}  // namespace vantorix
