// The structures an archive is read through beyond its tables: indexes for the folder grid and
// the register print, and what the autocomplete finds earlier values with.
//
// The autocomplete's structures cost little room. A column of repeated values (document types,
// towns, names) keeps its distinct values once each in sys_voci, with the number of rows that
// hold them, kept right by triggers; a column where nearly every value differs (the subject, the
// tax code) has an index on its first characters only. Both use SQLite's own functions and
// collations, so that any SQLCipher tool can still write the archive and keep them right.

#include "archive_indexes.h"

#include <QMutex>
#include <QSet>
#include <QThreadPool>
#include <QWaitCondition>

#include <algorithm>

namespace quad {

namespace {

struct ServedColumn
{
    const char* table;
    const char* field;
    ValueSource source;
    int prefixChars = 0;
};

// The subject is long and nearly always new: its index holds the first characters only (and
// a short subject, often repeated word for word, whole). A tax code is short: its index holds it.
constexpr ServedColumn kServed[]
    = {{"entrata", "Tipo_documento", ValueSource::ValueTable}, {"entrata", "Quad_rif", ValueSource::ValueTable},
       {"entrata", "Oggetto", ValueSource::PrefixIndex, 24},   {"entrata", "Note", ValueSource::ValueTable},
       {"entrata", "Nota_annulla", ValueSource::ValueTable},   {"Mittenti", "Nominativo", ValueSource::ValueTable},
       {"Mittenti", "P_iva_CF", ValueSource::PrefixIndex, 0},  {"Mittenti", "Indirizzo", ValueSource::ValueTable},
       {"Mittenti", "Civico", ValueSource::ValueTable},        {"Mittenti", "Prov", ValueSource::ValueTable},
       {"Mittenti", "Stato", ValueSource::ValueTable},         {"Mittenti", "Cap", ValueSource::ValueTable}};

constexpr const char* kServedTables[] = {"entrata", "Mittenti"};

/// The indexes an archive made before the autocomplete's structures had, one per served column.
QString oldIndexName(const char* table, const char* field)
{
    return QString::fromLatin1(table).toLower() + QLatin1Char('_') + QString::fromLatin1(field).toLower()
        + QStringLiteral("_prefisso");
}

QString triggerName(const QString& table, const char* event)
{
    return QStringLiteral("sys_voci_%1_%2").arg(table.toLower(), QLatin1String(event));
}

/// The indexes the reads go through, made when missing.
struct ReadIndex
{
    const char* table;
    const char* name;
    const char* sql;
};
constexpr ReadIndex kReadIndexes[]
    = {{"sys_rela_tree", "sys_rela_tree_scheda",
        "CREATE INDEX IF NOT EXISTS sys_rela_tree_scheda ON sys_rela_tree (SYS_USER_ID)"},
       {"entrata", "entrata_data", "CREATE INDEX IF NOT EXISTS entrata_data ON entrata (Data_quadernolo)"}};

QStringList servedFields(const char* table, ValueSource source)
{
    QStringList fields;
    for (const ServedColumn& c : kServed) {
        if (qstrcmp(c.table, table) == 0 && c.source == source)
            fields << QString::fromLatin1(c.field);
    }
    return fields;
}

/// A value's beginning and the rest of it, as SQL over value.
QString beginningOf(const QString& value)
{
    return QStringLiteral("substr(%1, 1, %2)").arg(value).arg(kValueKeyChars);
}

QString restOf(const QString& value)
{
    return QStringLiteral("substr(%1, %2)").arg(value).arg(kValueKeyChars + 1);
}

/// The row of sys_voci holding value (an SQL expression) of field: its index finds it.
QString valueRow(const QString& field, const QString& value)
{
    return QStringLiteral("campo = '%1' AND inizio COLLATE NOCASE = %2 AND inizio = %2 AND resto = %3")
        .arg(field, beginningOf(value), restOf(value));
}

/// Trigger statements counting value (NEW.x or OLD.x) of field once more (step 1) or once less,
/// when the condition when holds: two seeks of the value's row at most. changes() tells what the
/// statement before did.
QString countStatements(const QString& field, const QString& value, int step, const QString& when)
{
    const QString guard = when.isEmpty() ? QString() : when + QStringLiteral(" AND ");
    const QString row = valueRow(field, value);
    if (step > 0)
        return QStringLiteral("UPDATE sys_voci SET volte = volte + 1 WHERE %1%2;\n"
                              "INSERT INTO sys_voci (campo, inizio, resto, volte) SELECT '%3', %4, %5, 1 WHERE %1"
                              "changes() = 0 AND typeof(%6) = 'text';\n")
            .arg(guard, row, field, beginningOf(value), restOf(value), value);
    return QStringLiteral("DELETE FROM sys_voci WHERE %1%2 AND volte <= 1;\n"
                          "UPDATE sys_voci SET volte = volte - 1 WHERE %1changes() = 0 AND %2;\n")
        .arg(guard, row);
}

QStringList triggersSql(const char* table)
{
    const QStringList fields = servedFields(table, ValueSource::ValueTable);
    const QString t = QString::fromLatin1(table);
    QString inserted, deleted, updated;
    for (const QString& f : fields) {
        const QString newValue = QStringLiteral("NEW.") + f;
        const QString oldValue = QStringLiteral("OLD.") + f;
        inserted += countStatements(f, newValue, 1, QString());
        deleted += countStatements(f, oldValue, -1, QString());
        const QString changed = QStringLiteral("%1 IS NOT %2").arg(oldValue, newValue);
        updated += countStatements(f, oldValue, -1, changed) + countStatements(f, newValue, 1, changed);
    }
    return {QStringLiteral("CREATE TRIGGER %1 AFTER INSERT ON %2 BEGIN\n%3END").arg(triggerName(t, "ins"), t, inserted),
            QStringLiteral("CREATE TRIGGER %1 AFTER DELETE ON %2 BEGIN\n%3END").arg(triggerName(t, "del"), t, deleted),
            QStringLiteral("CREATE TRIGGER %1 AFTER UPDATE OF %2 ON %3 BEGIN\n%4END")
                .arg(triggerName(t, "upd"), fields.join(QStringLiteral(", ")), t, updated)};
}

QString prefixIndexSql(const ServedColumn& c)
{
    const QString field = QString::fromLatin1(c.field);
    const QString ordered = c.prefixChars > 0
        ? archivePrefixKeySql(field, c.prefixChars) + QStringLiteral(", ") + archiveShortValueSql(field, c.prefixChars)
        : field + QStringLiteral(" COLLATE NOCASE");
    return QStringLiteral("CREATE INDEX %1 ON %2 (%3) WHERE %4 IS NOT NULL")
        .arg(archivePrefixIndexName(c.table, field), QString::fromLatin1(c.table), ordered, field);
}

// A value is kept as its beginning and the rest: the index holds the beginnings, so that a long
// text costs its seeks no more than a short one.
const QString kValueTableSql = QStringLiteral("CREATE TABLE sys_voci (campo TEXT NOT NULL, inizio TEXT NOT NULL, "
                                              "resto TEXT NOT NULL, volte INTEGER NOT NULL)");
const QString kValueIndexSql
    = QStringLiteral("CREATE INDEX sys_voci_inizio ON sys_voci (campo, inizio COLLATE NOCASE)");

/// The table of values, its index and its triggers, as "type name" in lower case.
QStringList valueTableNames()
{
    QStringList names = {QStringLiteral("table sys_voci"), QStringLiteral("index sys_voci_inizio")};
    for (const char* table : kServedTables) {
        for (const char* event : {"ins", "del", "upd"})
            names << QStringLiteral("trigger ") + triggerName(QString::fromLatin1(table), event);
    }
    return names;
}

/// The statements that bring db's file up to date, in order: none when it is, or when it is no
/// register archive.
QStringList upgradeStatements(Connection& db, DbResult* error)
{
    QSet<QString> present;
    *error = db.query(QStringLiteral("SELECT lower(type || ' ' || name) FROM sqlite_master"), {},
                      [&](const Statement& st) {
                          present.insert(st.value(0).toString());
                          return true;
                      });
    auto has = [&present](const QString& type, const QString& name) {
        return present.contains(type + QLatin1Char(' ') + name.toLower());
    };
    QStringList statements;
    if (!error->ok() || !has(QStringLiteral("table"), QStringLiteral("entrata"))
        || !has(QStringLiteral("table"), QStringLiteral("Mittenti")))
        return statements;
    for (const ReadIndex& index : kReadIndexes) {
        if (has(QStringLiteral("table"), QLatin1String(index.table))
            && !has(QStringLiteral("index"), QLatin1String(index.name)))
            statements << QString::fromLatin1(index.sql);
    }
    // The table of values is made again whole when a part of it is missing: counts kept without
    // all of its triggers cannot be trusted.
    const QStringList valueNames = valueTableNames();
    const bool valuesWhole = std::all_of(valueNames.begin(), valueNames.end(),
                                         [&present](const QString& name) { return present.contains(name); });
    if (!valuesWhole) {
        for (const QString& name : valueNames) {
            statements << QStringLiteral("DROP %1 IF EXISTS %2")
                              .arg(name.section(QLatin1Char(' '), 0, 0).toUpper(), name.section(QLatin1Char(' '), 1));
        }
        statements << kValueTableSql;
        for (const ServedColumn& c : kServed) {
            if (c.source != ValueSource::ValueTable)
                continue;
            // Grouped in the order of the index of an archive made before, read instead of the table.
            const QString field = QString::fromLatin1(c.field);
            statements << QStringLiteral("INSERT INTO sys_voci (campo, inizio, resto, volte) SELECT '%1', %3, %4, "
                                         "count(*) FROM %2 WHERE typeof(%1) = 'text' GROUP BY %1 COLLATE NOCASE, %1")
                              .arg(field, QString::fromLatin1(c.table), beginningOf(field), restOf(field));
        }
    }
    // The old indexes go before the new ones are made, which take their pages instead of growing
    // the file; none of it is seen by others before the commit.
    for (const ServedColumn& c : kServed) {
        if (has(QStringLiteral("index"), oldIndexName(c.table, c.field)))
            statements << QStringLiteral("DROP INDEX ") + oldIndexName(c.table, c.field);
    }
    if (!valuesWhole) {
        statements << kValueIndexSql;
        for (const char* table : kServedTables)
            statements << triggersSql(table);
    }
    for (const ServedColumn& c : kServed) {
        if (c.source == ValueSource::PrefixIndex
            && !has(QStringLiteral("index"), archivePrefixIndexName(c.table, QString::fromLatin1(c.field))))
            statements << prefixIndexSql(c);
    }
    return statements;
}

QMutex g_upgradesMutex;
QWaitCondition g_upgradesDone;
QSet<QString> g_upgrading;

} // namespace

ArchiveColumn archiveColumn(const QString& table, const QString& field)
{
    for (const ServedColumn& c : kServed) {
        if (table.compare(QLatin1String(c.table), Qt::CaseInsensitive) == 0
            && field.compare(QLatin1String(c.field), Qt::CaseInsensitive) == 0)
            return {c.source, QString::fromLatin1(c.field), c.prefixChars};
    }
    return {};
}

QString archivePrefixIndexName(const QString& table, const QString& field)
{
    return table.toLower() + QLatin1Char('_') + field.toLower() + QStringLiteral("_inizio");
}

QString archivePrefixKeySql(const QString& column, int chars)
{
    return QStringLiteral("lower(substr(%1, 1, %2))").arg(column).arg(chars);
}

QString archiveShortValueSql(const QString& column, int chars)
{
    return QStringLiteral("CASE WHEN length(%1) <= %2 THEN %1 END").arg(column).arg(chars);
}

QString archiveValueTableName()
{
    return QStringLiteral("sys_voci");
}

bool archiveServesValues(Connection& db, const QString& table, const QString& field)
{
    QStringList names;
    switch (archiveColumn(table, field).source) {
    case ValueSource::None:
        return false;
    case ValueSource::PrefixIndex:
        names << archivePrefixIndexName(table, field);
        break;
    case ValueSource::ValueTable:
        names << QStringLiteral("sys_voci") << QStringLiteral("sys_voci_inizio");
        for (const char* event : {"ins", "del", "upd"})
            names << triggerName(table, event);
        break;
    }
    QVariantList params;
    QStringList marks;
    for (const QString& n : names) {
        params << n;
        marks << QStringLiteral("?");
    }
    const QVariant found = db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE lower(name) IN (%1)")
                                         .arg(marks.join(QLatin1Char(','))),
                                     params);
    return found.toLongLong() == names.size();
}

QStringList archiveValueStructuresSql()
{
    QStringList statements = {kValueTableSql, kValueIndexSql};
    for (const char* table : kServedTables)
        statements << triggersSql(table);
    for (const ServedColumn& c : kServed) {
        if (c.source == ValueSource::PrefixIndex)
            statements << prefixIndexSql(c);
    }
    return statements;
}

DbResult upgradeArchive(Connection& db)
{
    if (db.inTransaction())
        return DbResult::failure(DbError::Other, QStringLiteral("Aggiornamento dell'archivio dentro una transazione."));
    DbResult err;
    if (upgradeStatements(db, &err).isEmpty())
        return err;
    // One transaction, taken for writing at once: no other station writes while the values are
    // counted, and the old indexes go only with the new structures in place.
    Transaction transaction(db, true);
    if (!transaction.begun().ok())
        return transaction.begun();
    // Read again under the lock: another station may have upgraded the file meanwhile.
    const QStringList statements = upgradeStatements(db, &err);
    for (const QString& sql : statements) {
        if (err.ok())
            err = db.exec(sql);
    }
    return err.ok() ? transaction.commit() : err;
}

void ensureArchiveIndexes(Connection& db)
{
    DbResult err;
    if (db.inTransaction() || upgradeStatements(db, &err).isEmpty())
        return;
    const QString path = db.path();
    {
        QMutexLocker lock(&g_upgradesMutex);
        if (g_upgrading.contains(path))
            return;
        g_upgrading.insert(path);
    }
    const QByteArray key = db.key();
    QThreadPool::globalInstance()->start([path, key] {
        DbResult opened;
        if (auto own = Connection::open(path, key, &opened)) {
            // Nothing is written into the file before the commit (which would lock out the readers):
            // the pages changed stay in memory until then. The pages of the old indexes are let go
            // as they are, not wiped (which would change every one of them): what they hold is in
            // the tables.
            (void)own->exec(QStringLiteral("PRAGMA cache_spill = OFF"));
            (void)own->exec(QStringLiteral("PRAGMA secure_delete = OFF"));
            (void)upgradeArchive(*own); // a failure leaves the archive as it was, to try again
        }
        QMutexLocker lock(&g_upgradesMutex);
        g_upgrading.remove(path);
        g_upgradesDone.wakeAll();
    });
}

void waitForArchiveUpgrades()
{
    QMutexLocker lock(&g_upgradesMutex);
    while (!g_upgrading.isEmpty())
        g_upgradesDone.wait(&g_upgradesMutex);
}

} // namespace quad
