#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace vantorix {

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
        if (!translator->load(locale, name, QStringLiteral("_"), folder)) {
            delete translator;
            return false;
        }
        QCoreApplication::installTranslator(translator);
        return true;
    };
    if (install(QStringLiteral("vantorix"), QStringLiteral(":/i18n")))
        language = QLocale::languageToCode(locale.language());
    install(QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return language;
}

QString bundledInterfaceFile(const QLocale &locale)
{
    return locale.language() == QLocale::Italian ? QStringLiteral("italian.txt") : QStringLiteral("english.txt");
}

}  // namespace vantorix
