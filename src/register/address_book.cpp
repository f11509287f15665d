#include "address_book.h"

#include "date_text.h"
#include "program_folder.h"
#include "sql_like.h"

#include <QDate>
#include <QDateTime>

namespace quad {

namespace {

const QString kDataNascita = QStringLiteral("Data_nascita");
const QString kNominativo = QStringLiteral("Nominativo");

QString columnList()
{
    return campiAnagrafici().join(QStringLiteral(", "));
}

/// The record of a statement whose column 0 is the row id and 1..9 the personal columns.
AddressRecord recordFrom(const Statement& st)
{
    AddressRecord rec;
    rec.id = st.value(0).toLongLong();
    const QStringList& fields = campiAnagrafici();
    for (int i = 0; i < fields.size(); ++i) {
        QVariant v = st.value(i + 1);
        if (fields[i] == kDataNascita && !v.isNull()) {
            const QDate d = dataDaValore(v);
            if (d.isValid())
                v = d;
        }
        rec.values.insert(fields[i], v);
    }
    return rec;
}

bool filled(const QVariant& v)
{
    return !v.isNull() && !v.toString().trimmed().isEmpty();
}

} // namespace

const QStringList& campiAnagrafici()
{
    static const QStringList fields {
        QStringLiteral("Nominativo"), QStringLiteral("P_iva_CF"), QStringLiteral("Data_nascita"),
        QStringLiteral("Indirizzo"),  QStringLiteral("Civico"),   QStringLiteral("Citta"),
        QStringLiteral("Prov"),       QStringLiteral("Stato"),    QStringLiteral("Cap")};
    return fields;
}

QVariant valoreCampo(const QVariantMap& row, const QString& field)
{
    const auto exact = row.constFind(field);
    if (exact != row.constEnd())
        return exact.value();
    for (auto it = row.constBegin(); it != row.constEnd(); ++it) {
        if (it.key().compare(field, Qt::CaseInsensitive) == 0)
            return it.value();
    }
    return QVariant();
}

QDate dataDaValore(const QVariant& value)
{
    if (value.isNull())
        return QDate();
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate();
    case QMetaType::QDateTime:
        return value.toDateTime().date();
    default:
        break;
    }
    const QString text = value.toString().trimmed();
    const QDate iso = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    if (iso.isValid())
        return iso;
    const auto parsed = parseDateText(text);
    if (parsed && parsed->date)
        return *parsed->date;
    return QDate();
}

BoundQuery cerca_in_elenco_query(const QString& text)
{
    return {QStringLiteral("SELECT Elenco.*, Elenco.rowid AS Id FROM Elenco WHERE Nominativo LIKE ? ESCAPE '\\' "
                           "ORDER BY Nominativo COLLATE NOCASE, Nominativo, Elenco.rowid"),
            {escapeLikeText(text) + QLatin1Char('%')}};
}

AddressBook::AddressBook(std::shared_ptr<Connection> db)
    : m_db(std::move(db))
{
}

std::shared_ptr<Connection> AddressBook::openSettings(DbResult* error)
{
    return Connection::shared(fileInFolder(programFolder(), QString::fromLatin1(kSettingsDbFile)), QByteArray(), error);
}

QList<AddressRecord> AddressBook::cerca_in_elenco(const QString& text, DbResult* error) const
{
    QList<AddressRecord> out;
    const DbResult r = m_db->query(QStringLiteral("SELECT rowid, %1 FROM Elenco WHERE Nominativo LIKE ? ESCAPE '\\' "
                                                  "ORDER BY Nominativo COLLATE NOCASE, Nominativo, rowid")
                                       .arg(columnList()),
                                   {escapeLikeText(text) + QLatin1Char('%')}, [&](const Statement& st) {
                                       out.append(recordFrom(st));
                                       return true;
                                   });
    if (error)
        *error = r;
    return r.ok() ? out : QList<AddressRecord>();
}

bool AddressBook::leggi(qint64 id, AddressRecord* record, DbResult* error) const
{
    bool found = false;
    const DbResult r = m_db->query(QStringLiteral("SELECT rowid, %1 FROM Elenco WHERE rowid = ?").arg(columnList()),
                                   {id}, [&](const Statement& st) {
                                       if (record)
                                           *record = recordFrom(st);
                                       found = true;
                                       return false;
                                   });
    if (error)
        *error = r;
    return r.ok() && found;
}

bool AddressBook::trova_corrispondente(const QVariantMap& row, bool* looked, DbResult* error) const
{
    QStringList conditions;
    QVariantList params;
    for (const QString& field : campiAnagrafici()) {
        const QVariant v = valoreCampo(row, field);
        if (field == kNominativo) {
            // A blank name that is not Null still asks for a blank name.
            if (v.isNull())
                continue;
        } else if (field == kDataNascita) {
            const QDate d = dataDaValore(v);
            if (!d.isValid())
                continue;
            conditions << field + QStringLiteral(" = ?");
            params << d;
            continue;
        } else if (!filled(v)) {
            continue;
        }
        // LIKE with every wildcard escaped is an equality that ignores case, as names are
        // compared everywhere else in the program.
        conditions << field + QStringLiteral(" LIKE ? ESCAPE '\\'");
        params << escapeLikeText(v.toString());
    }
    if (looked)
        *looked = !conditions.isEmpty();
    if (error)
        *error = {};
    if (conditions.isEmpty())
        return false;
    DbResult r;
    const QVariant count = m_db->scalar(
        QStringLiteral("SELECT count(*) FROM Elenco WHERE %1").arg(conditions.join(QStringLiteral(" AND "))), params,
        &r);
    if (error)
        *error = r;
    return r.ok() && count.toLongLong() > 0;
}

DbResult AddressBook::aggiungi_da_corrispondente(const QVariantMap& row, qint64* id)
{
    QVariantList params;
    QStringList marks;
    for (const QString& field : campiAnagrafici()) {
        const QVariant v = valoreCampo(row, field);
        marks << QStringLiteral("?");
        if (field == kDataNascita) {
            const QDate d = dataDaValore(v);
            params << (d.isValid() ? QVariant(d) : QVariant());
        } else {
            params << (filled(v) ? QVariant(v.toString()) : QVariant());
        }
    }
    const DbResult r = m_db->exec(
        QStringLiteral("INSERT INTO Elenco (%1) VALUES (%2)").arg(columnList(), marks.join(QLatin1Char(','))), params);
    if (r.ok() && id)
        *id = m_db->lastInsertId();
    return r;
}

UpdateOutcome AddressBook::aggiorna_nominativi(const QList<QVariantMap>& rows, const std::function<bool()>& ask)
{
    UpdateOutcome out;
    bool accepted = false;
    bool refused = false;
    for (const QVariantMap& row : rows) {
        bool looked = false;
        DbResult r;
        const bool found = trova_corrispondente(row, &looked, &r);
        if (!r.ok()) {
            out.error = r;
            return out;
        }
        if (!looked || found || refused)
            continue;
        if (!accepted) {
            out.asked = true;
            if (ask && ask()) {
                accepted = true;
            } else {
                refused = true;
                continue;
            }
        }
        r = aggiungi_da_corrispondente(row);
        if (!r.ok()) {
            out.error = r;
            return out;
        }
        ++out.added;
    }
    return out;
}

DbResult AddressBook::locate(const AddressRecord& record, qint64* id) const
{
    const DbResult gone
        = DbResult::failure(DbError::Other, QStringLiteral("Il nominativo non è più presente in archivio."));
    if (record.id > 0) {
        DbResult r;
        const QVariant n = m_db->scalar(QStringLiteral("SELECT count(*) FROM Elenco WHERE rowid = ?"), {record.id}, &r);
        if (!r.ok())
            return r;
        if (n.toLongLong() == 0)
            return gone;
        *id = record.id;
        return {};
    }
    QStringList conditions;
    QVariantList params;
    for (const QString& field : campiAnagrafici()) {
        conditions << field + QStringLiteral(" IS ?");
        params << record.value(field);
    }
    DbResult r;
    const QVariant found = m_db->scalar(
        QStringLiteral("SELECT rowid FROM Elenco WHERE %1 ORDER BY rowid LIMIT 1").arg(conditions.join(" AND ")),
        params, &r);
    if (!r.ok())
        return r;
    if (found.isNull())
        return gone;
    *id = found.toLongLong();
    return {};
}

DbResult AddressBook::elimina(const AddressRecord& record)
{
    qint64 id = 0;
    DbResult r = locate(record, &id);
    if (!r.ok())
        return r;
    return m_db->exec(QStringLiteral("DELETE FROM Elenco WHERE rowid = ?"), {id});
}

DbResult AddressBook::correggi(AddressRecord* record, const QVariantMap& values)
{
    qint64 id = 0;
    DbResult r = locate(*record, &id);
    if (!r.ok())
        return r;
    QStringList sets;
    QVariantList params;
    QVariantMap stored;
    for (const QString& field : campiAnagrafici()) {
        const QVariant v = valoreCampo(values, field);
        QVariant value;
        if (field == kDataNascita) {
            const QDate d = dataDaValore(v);
            if (d.isValid())
                value = d;
        } else if (!v.isNull() && !v.toString().isEmpty()) {
            value = v.toString();
        }
        sets << field + QStringLiteral(" = ?");
        params << value;
        stored.insert(field, value);
    }
    params << id;
    r = m_db->exec(QStringLiteral("UPDATE Elenco SET %1 WHERE rowid = ?").arg(sets.join(QStringLiteral(", "))), params);
    if (r.ok()) {
        record->id = id;
        record->values = stored;
    }
    return r;
}

void copia_in_corrispondente(const AddressRecord& record, QVariantMap* row)
{
    auto put = [row](const QString& field, const QVariant& value) {
        for (auto it = row->begin(); it != row->end(); ++it) {
            if (it.key().compare(field, Qt::CaseInsensitive) == 0) {
                it.value() = value;
                return;
            }
        }
        row->insert(field, value);
    };
    for (const QString& field : campiAnagrafici()) {
        const QVariant v = record.value(field);
        if (field == kNominativo)
            put(field, v);
        else if (field == kDataNascita) {
            if (!v.isNull())
                put(field, v);
        } else
            put(field, v.isNull() ? QVariant(QString()) : v);
    }
}

} // namespace quad
