#pragma once

#include <QLocale>
#include <QString>

namespace vantorix {

// Installs the program's texts and the toolkit's own (file dialogs, message
// box buttons) in the user's language: LC_ALL, LC_MESSAGES or LANG, as
// QLocale reads them. A language without a translation keeps English.
// Returns the language installed for the program, or an empty text.
QString installTranslations(const QLocale &locale = QLocale::system());

// The language installTranslations installed last ("it"), or empty.
QString installedLanguage();

// The interface file of those bundled that speaks language (as
// installTranslations returns it), so that the interface file and the
// program's own texts speak one language, the one the translations chose.
QString bundledInterfaceFile(const QString &language = installedLanguage());

}  // namespace vantorix
