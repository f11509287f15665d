#include "archive_indexes.h"

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
    for (const Index& index : indexes) {
        if (!db.tableExists(QString::fromLatin1(index.table)))
            continue;
        const DbResult made = db.exec(QString::fromLatin1(index.sql));
        if (!made.ok())
            return made;
    }
    return {};
}

} // namespace quad
