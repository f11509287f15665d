#include "application_setup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <clocale>

namespace quad {

void prepareItalianEnvironment()
{
    // The environment's own locale first: when the Italian one is not installed, the application
    // object's own setlocale() then fails and leaves this one, rather than the bare "C".
    std::setlocale(LC_ALL, "");
    qputenv("LC_ALL", "it_IT.UTF-8");
    qputenv("LANG", "it_IT.UTF-8");
    qputenv("LANGUAGE", "it_IT:it");
}

void setUpApplication(QCoreApplication& app)
{
    QCoreApplication::setApplicationName(QStringLiteral("Quadernolo"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

} // namespace quad
