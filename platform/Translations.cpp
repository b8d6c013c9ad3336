#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vantorix {

namespace {

QString &lastInstalled()
{
    static QString language;
    return language;
}

}  // namespace

QString installedLanguage()
{
    return lastInstalled();
}

QString installTranslations(const QLocale &locale)
{
    auto *app = QCoreApplication::instance();
    if (!app)
        return QString();
    // Replaced, not stacked, when called again (a test switching languages).
    for (QTranslator *old : app->findChildren<QTranslator *>(QStringLiteral("vantorixTranslator"))) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    QString language;
    // Returns the translator installed, or null.
    const auto install = [&](const QString &name, const QString &folder) -> QTranslator * {
        auto *translator = new QTranslator(app);
        translator->setObjectName(QStringLiteral("vantorixTranslator"));
        const bool loaded = folder.isEmpty() ? translator->load(name)
                                             : translator->load(locale, name, QStringLiteral("_"), folder);
        if (!loaded) {
            delete translator;
            return nullptr;
        }
        QCoreApplication::installTranslator(translator);
        return translator;
    };
    // English plural forms ("1 file", "2 files") under every language: a
    // language without a translation shows English, and the last
    // translator installed is asked first.
    install(QStringLiteral(":/i18n/vantorix_plurals_en.qm"), QString());
    // The language of the translation found, which need not be the locale's
    // own: LANGUAGE=xx:it picks Italian for a locale of another language.
    if (const QTranslator *found = install(QStringLiteral("vantorix"), QStringLiteral(":/i18n")))
        language = QLocale::languageToCode(QLocale(found->language()).language());
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    lastInstalled() = language;
    return language;
}

QString bundledInterfaceFile(const QString &language)
{
    return language == QLatin1String("it") ? QStringLiteral("italian.txt") : QStringLiteral("english.txt");
}

}  // namespace vantorix
