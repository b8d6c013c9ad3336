#include "app/Translations.h"

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
    const auto install = [&](const QString &name, const QString &folder) {
        auto *translator = new QTranslator(app);
        translator->setObjectName(QStringLiteral("vantorixTranslator"));
        const bool loaded = folder.isEmpty() ? translator->load(name)
                                             : translator->load(locale, name, QStringLiteral("_"), folder);
        if (!loaded) {
            delete translator;
            return false;
        }
        QCoreApplication::installTranslator(translator);
        return true;
    };
    // English plural forms ("1 file", "2 files") under every language: a
    // language without a translation shows English, and the last
    // translator installed is asked first.
    install(QStringLiteral(":/i18n/vantorix_plurals_en.qm"), QString());
    if (install(QStringLiteral("vantorix"), QStringLiteral(":/i18n")))
        language = QLocale::languageToCode(locale.language());
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    lastInstalled() = language;
    return language;
}

QString bundledInterfaceFile(const QString &language)
{
    return language == QLatin1String("it") ? QStringLiteral("italian.txt") : QStringLiteral("english.txt");
}

}  // namespace vantorix
