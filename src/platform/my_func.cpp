#include "my_func.h"

#include "profile_file.h"

#include <QDir>
#include <QFileInfo>

namespace quad {

namespace {

std::function<bool(const QString&)>& opener()
{
    static std::function<bool(const QString&)> f;
    return f;
}

bool isOrdinaryFile(const QFileInfo& info)
{
    return info.exists() && info.isFile() && !info.isHidden();
}

} // namespace

QString leggi_ini(const QString& ini_file, const QString& section, const QString& key, const QString& def)
{
    return ProfileFile::read(ini_file, section, key, def);
}

long scrivi_ini(const QString& ini_file, const QString& section, const QString& key, const QString& value,
                QString* error)
{
    return ProfileFile::write(ini_file, section, key, value, error) ? 1 : 0;
}

long scrivi_ini(const QString& ini_file, const QList<ProfileValue>& values, QString* error)
{
    return ProfileFile::write(ini_file, values, error) ? 1 : 0;
}

QStringList dividi_elenco(const QString& text)
{
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char(';'));
}

QString aggiungi_barra(const QString& path)
{
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        return path;
    return path + QLatin1Char('/');
}

bool file_esiste(const QString& path)
{
    if (path.isEmpty())
        return false;
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QFileInfo info(p);
    const QString name = info.fileName();
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
        return isOrdinaryFile(info);
    const QFileInfoList matches = QDir(info.path()).entryInfoList({name}, QDir::Files, QDir::Name);
    for (const QFileInfo& m : matches) {
        if (isOrdinaryFile(m))
            return true;
    }
    return false;
}

long apri_documento(const QString& file, const QString& verb)
{
    Q_UNUSED(verb);
    QString p = file;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return opener() && opener()(p) ? 42 : 2;
}

void setDocumentOpener(std::function<bool(const QString&)> f)
{
    opener() = std::move(f);
}

} // namespace quad
