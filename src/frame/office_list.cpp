#include "office_list.h"

#include "my_func.h"
#include "program_folder.h"

namespace quad {

namespace {
const QString kSection = QStringLiteral("Uffici");
}

QString verifica_nome_ufficio(const QString& name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("E' obbligatorio inserire il nome dell' ufficio !");
    if (name.contains(QLatin1Char(';')))
        return QStringLiteral("Il nome dell' ufficio non può contenere il carattere ; !");
    return QString();
}

QString verifica_percorso_ufficio(const QString& folder)
{
    if (folder.contains(QLatin1Char(';')))
        return QStringLiteral("Il percorso dell' ufficio non può contenere il carattere ; !");
    return QString();
}

QString aggiungi_ufficio(WorkingState& s, const QString& name)
{
    const QString refusal = verifica_nome_ufficio(name);
    if (!refusal.isEmpty())
        return refusal;
    const QString ini = iniPath();
    const QStringList names = dividi_elenco(s.p_eln_uffici);
    const QStringList folders = dividi_elenco(s.p_path_eln_uffici);
    const QString elenco = s.p_eln_uffici.isEmpty() ? name : s.p_eln_uffici + QLatin1Char(';') + name;
    QList<ProfileValue> keys {{kSection, QStringLiteral("Elenco"), elenco}};
    QString path = s.p_path_eln_uffici;
    if (folders.size() > names.size()) {
        path = folders.mid(0, names.size()).join(QLatin1Char(';'));
        keys << ProfileValue {kSection, QStringLiteral("Path"), path};
    }
    // One replacement of the file: names and folders never come apart.
    QString error;
    if (!scrivi_ini(ini, keys, &error))
        return error;
    s.p_eln_uffici = elenco;
    s.p_path_eln_uffici = path;
    return QString();
}

QString salva_elenco_uffici(WorkingState& s, const QStringList& names, const QStringList& folders)
{
    QStringList paired;
    for (int i = 0; i < names.size(); ++i)
        paired << folders.value(i);
    const QString ini = iniPath();
    const QString elenco = names.join(QLatin1Char(';'));
    const QString path = paired.join(QLatin1Char(';'));
    // One replacement of the file: either both keys change or neither, so a failure never pairs
    // an office with another's folder.
    QString error;
    scrivi_ini(ini, {{kSection, QStringLiteral("Elenco"), elenco}, {kSection, QStringLiteral("Path"), path}}, &error);
    s.p_eln_uffici = elenco;
    s.p_path_eln_uffici = path;
    return error;
}

} // namespace quad
