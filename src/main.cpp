#include "application_setup.h"
#include "main_window.h"
#include "qt_message_service.h"

#include <QApplication>

int main(int argc, char** argv)
{
    quad::prepareItalianEnvironment();
    QApplication app(argc, argv);
    quad::setUpApplication(app);

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
