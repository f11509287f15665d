#include "desktop_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace quad {

bool openWithDesktop(const QString& file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace quad
