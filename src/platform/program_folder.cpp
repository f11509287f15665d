#include "program_folder.h"

#include "file_lookup.h"
#include "my_func.h"

#include <QCoreApplication>
#include <QDir>

namespace quad {

namespace {
QString g_programFolder;
}

QString programFolder()
{
    if (!g_programFolder.isEmpty())
        return g_programFolder;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder)
{
    g_programFolder = QDir::cleanPath(folder);
}

QString iniPath()
{
    // A settings file brought from another system may spell its name in another case.
    const QString found = findEntryNoCase(programFolder(), QLatin1String(kIniFile));
    return found.isNull() ? aggiungi_barra(programFolder()) + QLatin1String(kIniFile) : found;
}

QString resolveDataFolder(const QString& folder)
{
    if (folder.isEmpty())
        return programFolder();
    return resolveNoCase(programFolder(), folder);
}

QString fileInFolder(const QString& folder, const QString& name)
{
    const QString found = findEntryNoCase(folder, name);
    return found.isNull() ? QDir(folder).filePath(name) : found;
}

} // namespace quad
