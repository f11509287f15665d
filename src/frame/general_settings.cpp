#include "general_settings.h"

#include "my_func.h"
#include "program_folder.h"

#include <QDir>
#include <QFileInfo>

namespace quad {

QString salva_impostazioni_generali(WorkingState& s, const ImpostazioniGenerali& v)
{
    const QString ini = iniPath();
    const QString section = QStringLiteral("IMPOSTA");
    const QString rete = v.rete ? QStringLiteral("1") : QStringLiteral("0");
    const QString backUp = v.backUp ? QStringLiteral("1") : QStringLiteral("0");
    const QString keys[][2] = {{QStringLiteral("Postazione"), v.postazione},
                               {QStringLiteral("Path_Postazione"), v.pathPostazione},
                               {QStringLiteral("Quad_rete"), rete},
                               {QStringLiteral("Check_back_up"), backUp},
                               {QStringLiteral("Path_back_up"), v.pathBackUp}};
    QString first;
    for (const auto& key : keys) {
        QString error;
        if (!scrivi_ini(ini, section, key[0], key[1], &error) && first.isEmpty())
            first = error;
    }
    s.p_postazione = v.postazione;
    s.p_path_postazione = v.pathPostazione;
    s.p_quad_rete = rete;
    s.p_chk_back_up = backUp;
    s.p_path_back_up = v.pathBackUp;
    return first;
}

bool valore_spunta(const QString& value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok && n != 0;
}

QString normalizza_percorso(const QString& path)
{
    if (path.isEmpty())
        return QDir::homePath();
    QString p = path;
    while (p.size() > 1 && (p.endsWith(QLatin1Char('/')) || p.endsWith(QLatin1Char('\\'))))
        p.chop(1);
    return p;
}

QString cartella_archivio(const QString& chosenFile)
{
    if (chosenFile.isEmpty())
        return QString();
    const QFileInfo info(chosenFile);
    if (info.fileName().compare(QLatin1String(kArchiveFile), Qt::CaseInsensitive) != 0)
        return QString();
    if (!file_esiste(chosenFile))
        return QString();
    return QDir::cleanPath(info.absolutePath());
}

} // namespace quad
