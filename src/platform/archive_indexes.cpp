#include "archive_indexes.h"

#include "prefix_search.h"

namespace quad {

DbResult ensureArchiveIndexes(Connection& db)
{
    if (db.inTransaction())
        return {};
    struct Index
    {
        const char* table;
        const char* sql;
    };
    static const Index indexes[] = {
        {"sys_rela_tree", "CREATE INDEX IF NOT EXISTS sys_rela_tree_scheda ON sys_rela_tree (SYS_USER_ID)"},
        {"entrata", "CREATE INDEX IF NOT EXISTS entrata_data ON entrata (Data_quadernolo)"},
    };
    QStringList statements;
    for (const Index& index : indexes) {
        if (db.tableExists(QString::fromLatin1(index.table)))
            statements << QString::fromLatin1(index.sql);
    }
    // The autocomplete's indexes: made here rather than at the first keystroke in a box.
    static const char* const served[][2] = {
        {"entrata", "Tipo_documento"}, {"entrata", "Quad_rif"},    {"entrata", "Oggetto"},   {"entrata", "Note"},
        {"entrata", "Nota_annulla"},   {"Mittenti", "Nominativo"}, {"Mittenti", "P_iva_CF"}, {"Mittenti", "Indirizzo"},
        {"Mittenti", "Civico"},        {"Mittenti", "Prov"},       {"Mittenti", "Stato"},    {"Mittenti", "Cap"}};
    for (const auto& column : served) {
        if (db.tableExists(QString::fromLatin1(column[0])))
            statements << prefixIndexSql(QString::fromLatin1(column[0]), QString::fromLatin1(column[1]));
    }
    for (const QString& sql : statements) {
        const DbResult made = db.exec(sql);
        if (!made.ok())
            return made;
    }
    return {};
}

} // namespace quad
