#include "pickers.h"

#include "sql_like.h"

namespace quad {

QStringList elenco_uffici(const QString& p_eln_uffici)
{
    QStringList offices;
    for (const QString& name : p_eln_uffici.split(QLatin1Char(';'))) {
        if (!name.trimmed().isEmpty())
            offices << name;
    }
    return offices;
}

QString rifiuto_lista_uffici(const QStringList& offices)
{
    return offices.isEmpty() ? QStringLiteral("Nessuna voce in elenco.") : QString();
}

int selezione_lista_uffici(const QStringList& offices, const QString& boxText)
{
    if (boxText.trimmed().isEmpty())
        return -1;
    return offices.lastIndexOf(boxText);
}

OfficePick aggiungi_ufficio(const QString& boxText, const QString& office)
{
    const QString text = boxText.isNull() ? QString(QLatin1String("")) : boxText;
    const QString slash = QStringLiteral("/");
    // The office is already there when it stands as one of the joined names (an office whose
    // name is part of another one, "Ragioneria" beside "Ragioneria generale", is not).
    const bool already = text == office || text.startsWith(office + slash) || text.endsWith(slash + office)
        || text.contains(slash + office + slash);
    if (already)
        return {false, text, QStringLiteral("Già inserito !")};
    if (text.trimmed().isEmpty())
        return {true, office, QString()};
    return {true, text + slash + office, QString()};
}

QStringList elenco_tipi_documento(Connection& settingsDb, DbResult* error)
{
    QStringList types;
    const DbResult result
        = settingsDb.query(QStringLiteral("SELECT descrizione FROM tipo_doc_entrata"), {}, [&](const Statement& st) {
              const QString name = st.value(0).toString();
              if (!name.trimmed().isEmpty())
                  types << name;
              return true;
          });
    if (error)
        *error = result;
    return result.ok() ? types : QStringList();
}

std::optional<DocumentTypeOffices> uffici_tipo_documento(Connection& settingsDb, const QString& descrizione,
                                                         DbResult* error)
{
    std::optional<DocumentTypeOffices> found;
    const DbResult result
        = settingsDb.query(QStringLiteral("SELECT Ufficio_competente, Ufficio_conoscenza FROM tipo_doc_entrata "
                                          "WHERE descrizione LIKE ? ESCAPE '\\'"),
                           {escapeLikeText(descrizione)}, [&](const Statement& st) {
                               found = DocumentTypeOffices {st.value(0).toString(), st.value(1).toString()};
                               return false;
                           });
    if (error)
        *error = result;
    return result.ok() ? found : std::nullopt;
}

} // namespace quad
