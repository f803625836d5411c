#include "toolkit/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool installJapaneseQtTexts(QCoreApplication& application)
{
    // Owned by the application, so it lives as long as the texts it translates.
    auto* translator = new QTranslator(&application);
    const bool loaded =
        translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}
