#include "unlock.h"

#include "my_func.h"
#include "program_folder.h"

#include <QDir>
#include <QFile>

namespace quad {

QString file_blocco(const QString& dataFolder)
{
    return fileInFolder(resolveDataFolder(dataFolder), QLatin1String(kLockFile));
}

bool rimuovi_blocco(const QString& dataFolder, QString* error)
{
    const QString lock = file_blocco(dataFolder);
    if (!file_esiste(lock))
        return true;
    QFile file(lock);
    if (file.remove())
        return true;
    if (error) {
        *error = QStringLiteral("Impossibile eliminare il file di blocco %1:\n%2")
                     .arg(QDir::toNativeSeparators(lock), file.errorString());
    }
    return false;
}

} // namespace quad
