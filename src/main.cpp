#include "main_window.h"
#include "qt_message_service.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quadernolo"));
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));

    // Standard buttons read "Sì"/"No".
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTranslator);

    quad::QtMessageService messages;
    quad::MessageService::install(&messages);

    quad::Quadernolo window;
    // The login comes before the window shows; a failed login ends the program here.
    if (!window.Form_Load()) {
        quad::MessageService::install(nullptr);
        return 0;
    }
    window.show();
    const int rc = app.exec();
    quad::MessageService::install(nullptr);
    return rc;
}
