#include "program.h"

#include "desktop_opener.h"
#include "main_window.h"
#include "my_func.h"
#include "qt_message_service.h"
#include "window_keys.h"

#include <QApplication>

namespace quad {

int esegui_programma(QApplication& app)
{
    QtMessageService messages;
    MessageService::install(&messages);
    setDocumentOpener(openWithDesktop);
    installWindowKeys(app);

    int rc = 0;
    {
        Quadernolo window;
        // The login comes before the window shows; a failed login ends the program here.
        if (window.Form_Load()) {
            window.show();
            rc = app.exec();
        }
    }
    MessageService::install(nullptr);
    setDocumentOpener(nullptr);
    return rc;
}

} // namespace quad
