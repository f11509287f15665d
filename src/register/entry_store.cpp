#include "entry_store.h"

#include "field_text.h"
#include "sql_like.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace quad {

namespace {

bool isEmptyText(const QVariant& value, bool trim)
{
    if (!value.isValid() || value.isNull())
        return true;
    if (value.metaType().id() == QMetaType::QDate)
        return !value.toDate().isValid();
    const QString text = value.toString();
    return trim ? text.trimmed().isEmpty() : text.isEmpty();
}

/// Null and "" are the same value for a text field.
bool sameText(const QVariant& a, const QVariant& b)
{
    const bool emptyA = isEmptyText(a, false);
    const bool emptyB = isEmptyText(b, false);
    if (emptyA || emptyB)
        return emptyA == emptyB;
    return a.toString() == b.toString();
}

QString keyFor(const QVariantMap& row, const QString& name)
{
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    }
    return QString();
}

struct Column
{
    QString name;
    FieldKind kind = FieldKind::Text;
};

FieldKind kindOf(const QString& name, const QString& declared)
{
    // How many documents came with the entry: a count, never below zero.
    if (name.compare(QLatin1String("Numero_documenti"), Qt::CaseInsensitive) == 0)
        return FieldKind::Count;
    switch (adoTypeForDeclared(declared)) {
    case adInteger:
        return FieldKind::Integer;
    case adDouble:
        return FieldKind::Real;
    case adBoolean:
        return FieldKind::YesNo;
    case adDate:
        return declared.toUpper().contains(QLatin1String("DATE")) ? FieldKind::Date : FieldKind::Time;
    default:
        return FieldKind::Text;
    }
}

DbResult readColumns(Connection& conn, const QString& table, QList<Column>* columns)
{
    columns->clear();
    // The table name is one of ours, never user text.
    DbResult r = conn.query(QStringLiteral("PRAGMA table_info(%1)").arg(table), {}, [&](const Statement& st) {
        columns->append({st.value(1).toString(), kindOf(st.value(1).toString(), st.value(2).toString())});
        return true;
    });
    if (r.ok() && columns->isEmpty())
        r = DbResult::failure(DbError::MissingTable, QStringLiteral("Tabella %1 mancante nell'archivio.").arg(table));
    return r;
}

DbResult badValue(const QString& field, const QVariant& value)
{
    return DbResult::failure(DbError::Other,
                             QStringLiteral("Valore non valido nel campo %1: %2").arg(field, value.toString()));
}

/// The value as the archive stores it in a column of this kind, or an error when it does not fit.
/// Text is read as a box's typed text is; other values must already be of the column's kind.
DbResult toStorage(const Column& column, const QVariant& value, QVariant* out)
{
    *out = QVariant();
    QVariant v = value;
    if (v.isValid() && !v.isNull() && v.metaType().id() == QMetaType::QString && column.kind != FieldKind::Text) {
        const std::optional<QVariant> read = valueFromText(v.toString(), column.kind);
        if (!read)
            return badValue(column.name, value);
        v = *read;
    }
    const bool isNull = !v.isValid() || v.isNull();
    const int type = isNull ? QMetaType::UnknownType : v.metaType().id();
    switch (column.kind) {
    case FieldKind::YesNo:
        if (isNull) {
            *out = 0;
        } else if (type == QMetaType::Bool) {
            *out = v.toBool() ? -1 : 0;
        } else {
            bool ok = false;
            const double number = v.toDouble(&ok);
            if (!ok)
                return badValue(column.name, value);
            *out = number != 0 ? -1 : 0;
        }
        return {};
    case FieldKind::Integer:
    case FieldKind::Count:
    case FieldKind::Real: {
        if (isNull)
            return {};
        bool ok = false;
        const double number = v.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return badValue(column.name, value);
        if (column.kind == FieldKind::Real) {
            *out = number;
            return {};
        }
        const qint64 whole = v.toLongLong(&ok);
        if (!ok || static_cast<double>(whole) != number || (column.kind == FieldKind::Count && whole < 0))
            return badValue(column.name, value);
        *out = whole;
        return {};
    }
    case FieldKind::Date:
    case FieldKind::DateTime: {
        if (isNull)
            return {};
        QDate date;
        if (type == QMetaType::QDate)
            date = v.toDate();
        else if (type == QMetaType::QDateTime)
            date = v.toDateTime().date();
        if (!date.isValid())
            return type == QMetaType::QDate ? DbResult() : badValue(column.name, value);
        *out = date;
        return {};
    }
    case FieldKind::Time: {
        if (isNull)
            return {};
        QTime time;
        if (type == QMetaType::QTime)
            time = v.toTime();
        else if (type == QMetaType::QDateTime)
            time = v.toDateTime().time();
        if (!time.isValid())
            return type == QMetaType::QTime ? DbResult() : badValue(column.name, value);
        *out = time;
        return {};
    }
    case FieldKind::Text:
        if (!isNull)
            *out = value.toString();
        return {};
    }
    return {};
}

/// An INSERT of the fields of row into table: column names come from the table itself, values are
/// bound. A field the table does not have, given twice, or a value that does not fit is refused.
DbResult insertRow(Connection& conn, const QString& table, const QList<Column>& columns, const QVariantMap& row)
{
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (auto it = row.cbegin(); it != row.cend(); ++it) {
        const Column* column = nullptr;
        for (const Column& c : columns) {
            if (c.name.compare(it.key(), Qt::CaseInsensitive) == 0) {
                column = &c;
                break;
            }
        }
        if (!column)
            return DbResult::failure(DbError::Other, QStringLiteral("Campo sconosciuto: %1.%2").arg(table, it.key()));
        if (names.contains(quoteName(column->name)))
            return DbResult::failure(DbError::Other, QStringLiteral("Campo ripetuto: %1.%2").arg(table, it.key()));
        QVariant stored;
        DbResult r = toStorage(*column, it.value(), &stored);
        if (!r.ok())
            return r;
        names << quoteName(column->name);
        marks << QStringLiteral("?");
        values << stored;
    }
    return conn.exec(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(QLatin1String(", ")), marks.join(", ")),
        values);
}

} // namespace

QStringList correspondentFields()
{
    return {QStringLiteral("Nominativo"), QStringLiteral("P_iva_CF"), QStringLiteral("Data_nascita"),
            QStringLiteral("Indirizzo"),  QStringLiteral("Civico"),   QStringLiteral("Citta"),
            QStringLiteral("Prov"),       QStringLiteral("Stato"),    QStringLiteral("Cap")};
}

qint64 NewEntry::number() const
{
    return fieldValue(record, QStringLiteral("Progressivo")).toLongLong();
}

QString NewEntry::tipo() const
{
    return fieldValue(record, QStringLiteral("Tipo")).toString();
}

QVariant fieldValue(const QVariantMap& row, const QString& name)
{
    const QString key = keyFor(row, name);
    return key.isNull() ? QVariant() : row.value(key);
}

void setFieldValue(QVariantMap& row, const QString& name, const QVariant& value)
{
    const QString key = keyFor(row, name);
    if (!key.isNull() && key != name)
        row.remove(key);
    row.insert(name, value);
}

QVariantMap newCorrespondent(qint64 number, const QString& tipo)
{
    QVariantMap row;
    row.insert(QStringLiteral("Quadernolo"), number);
    row.insert(QStringLiteral("tipo"), tipo);
    return row;
}

NewEntry makeNewEntry(qint64 number, const QString& p_sessione, const QDateTime& now)
{
    const QString tipo = p_sessione == QLatin1String("Entrata") ? QStringLiteral("E") : QStringLiteral("U");
    const QTime time(now.time().hour(), now.time().minute(), now.time().second());
    NewEntry entry;
    entry.record.insert(QStringLiteral("Progressivo"), number);
    entry.record.insert(QStringLiteral("Tipo"), tipo);
    entry.record.insert(QStringLiteral("Data_quadernolo"), now.date());
    entry.record.insert(QStringLiteral("Anno"), now.date().year());
    entry.record.insert(QStringLiteral("Orario"), time);
    entry.record.insert(QStringLiteral("Numero_documenti"), 0);
    entry.record.insert(QStringLiteral("Annullato"), false);
    entry.record.insert(QStringLiteral("Riservato"), false);
    entry.correspondents.append(newCorrespondent(number, tipo));
    return entry;
}

bool isBlankCorrespondent(const QVariantMap& row)
{
    for (const QString& field : correspondentFields()) {
        if (!isEmptyText(fieldValue(row, field), true))
            return false;
    }
    return true;
}

bool fillMissingHouseNumber(QVariantMap& row)
{
    if (isEmptyText(fieldValue(row, QStringLiteral("Indirizzo")), true)
        || !isEmptyText(fieldValue(row, QStringLiteral("Civico")), true))
        return false;
    setFieldValue(row, QStringLiteral("Civico"), QStringLiteral("snc"));
    return true;
}

bool isEntryComplete(const QVariant& dataQuadernolo, const QVariant& tipoDocumento, const QVariant& oggetto,
                     const QVariant& nominativo)
{
    return !isEmptyText(dataQuadernolo, false) && !isEmptyText(tipoDocumento, true) && !isEmptyText(oggetto, true)
        && !isEmptyText(nominativo, true);
}

bool isEntryComplete(const NewEntry& entry, int currentRow)
{
    if (currentRow < 0 || currentRow >= entry.correspondents.size())
        return false;
    return isEntryComplete(fieldValue(entry.record, QStringLiteral("Data_quadernolo")),
                           fieldValue(entry.record, QStringLiteral("Tipo_documento")),
                           fieldValue(entry.record, QStringLiteral("Oggetto")),
                           fieldValue(entry.correspondents.at(currentRow), QStringLiteral("Nominativo")));
}

FieldWrite fieldWrite(const QVariant& stored, const QVariant* loaded, const QVariant& typed)
{
    if (sameText(stored, typed) || (loaded && sameText(*loaded, typed)))
        return FieldWrite::Keep;
    return loaded && !sameText(*loaded, stored) ? FieldWrite::Conflict : FieldWrite::Write;
}

QString conflictText(qint64 numero, const QList<FieldConflict>& conflicts)
{
    // The fields by the captions the clerk reads beside their boxes.
    const auto caption = [](const QString& field) {
        if (field == QLatin1String("Note"))
            return QStringLiteral("NOTE");
        if (field == QLatin1String("Collegamento"))
            return QStringLiteral("File");
        if (field == QLatin1String("Nota_annulla"))
            return QStringLiteral("Motivo dell' annullamento");
        return field;
    };
    const auto shown = [](const QVariant& value) {
        return isEmptyText(value, false) ? QStringLiteral("(vuoto)") : QStringLiteral("\"%1\"").arg(value.toString());
    };
    QString text = QStringLiteral("ATTENZIONE !\n\nIl quadernolo n. %1 è stato modificato da un' altra postazione "
                                  "dopo che era stato letto qui.")
                       .arg(numero);
    for (const FieldConflict& conflict : conflicts) {
        text += QStringLiteral("\n\n%1\nnell' archivio: %2\nscritto qui: %3")
                    .arg(caption(conflict.field), shown(conflict.stored), shown(conflict.typed));
    }
    return text;
}

EntryStore::EntryStore(Connection& conn)
    : m_conn(conn)
{
}

QString numberTakenText(qint64 number)
{
    return QStringLiteral("Il numero %1 è già stato assegnato a un altro quadernolo.").arg(number);
}

DbResult EntryStore::commitNewEntry(const NewEntry& entry, bool* numberTaken)
{
    if (numberTaken)
        *numberTaken = false;
    bool numeric = false;
    const qint64 number = fieldValue(entry.record, QStringLiteral("Progressivo")).toLongLong(&numeric);
    if (!numeric || number <= 0)
        return DbResult::failure(DbError::Other, QStringLiteral("Numero di quadernolo non valido."));
    const QString tipo = entry.tipo();
    if (tipo != QLatin1String("E") && tipo != QLatin1String("U"))
        return DbResult::failure(DbError::Other, QStringLiteral("Tipo di quadernolo non valido: %1").arg(tipo));

    // An annulment cannot be undone: it is never stored without its reason.
    if (isTrueValue(fieldValue(entry.record, QStringLiteral("Annullato")))
        && isEmptyText(fieldValue(entry.record, QStringLiteral("Nota_annulla")), true))
        return DbResult::failure(DbError::Other,
                                 QStringLiteral("Quadernolo n. %1: annullamento senza motivo.").arg(number));

    QVariantMap record = entry.record;
    setFieldValue(record, QStringLiteral("Progressivo"), number);
    QList<QVariantMap> rows;
    for (const QVariantMap& source : entry.correspondents) {
        if (isBlankCorrespondent(source))
            continue;
        QVariantMap row = source;
        fillMissingHouseNumber(row);
        setFieldValue(row, QStringLiteral("Quadernolo"), number);
        setFieldValue(row, QStringLiteral("tipo"), tipo);
        rows.append(row);
    }
    if (rows.isEmpty())
        return DbResult::failure(DbError::Other, QStringLiteral("Il quadernolo non ha né mittenti né destinatari."));

    QList<Column> entryColumns, rowColumns;
    DbResult r = readColumns(m_conn, QStringLiteral("entrata"), &entryColumns);
    if (r.ok())
        r = readColumns(m_conn, QStringLiteral("Mittenti"), &rowColumns);
    if (!r.ok())
        return r;

    // The year always follows the registration date.
    for (const Column& column : entryColumns) {
        if (column.name.compare(QLatin1String("Data_quadernolo"), Qt::CaseInsensitive) == 0) {
            QVariant date;
            r = toStorage(column, fieldValue(record, column.name), &date);
            if (!r.ok())
                return r;
            setFieldValue(record, QStringLiteral("Anno"), date.isNull() ? QVariant() : QVariant(date.toDate().year()));
        }
    }

    // IMMEDIATE: the write lock is taken before the number is checked, so no other writer can
    // slip an entry with the same number in between.
    Transaction transaction(m_conn, true);
    if (!transaction.begun().ok())
        return transaction.begun();
    const QVariant taken
        = m_conn.scalar(QStringLiteral("SELECT count(*) FROM entrata WHERE Progressivo = ?"), {number}, &r);
    if (!r.ok())
        return r;
    if (taken.toLongLong() > 0) {
        if (numberTaken)
            *numberTaken = true;
        return DbResult::failure(DbError::Constraint, numberTakenText(number));
    }
    // Rows left under this number by an entry that was never completed would join the new one.
    r = m_conn.exec(QStringLiteral("DELETE FROM Mittenti WHERE Quadernolo = ?"), {number});
    if (!r.ok())
        return r;
    r = insertRow(m_conn, QStringLiteral("entrata"), entryColumns, record);
    if (!r.ok())
        return r;
    for (const QVariantMap& row : rows) {
        r = insertRow(m_conn, QStringLiteral("Mittenti"), rowColumns, row);
        if (!r.ok())
            return r;
    }
    return transaction.commit();
}

DbResult EntryStore::cancella_mittenti(qint64 numero, const QString& tipo, int* deleted)
{
    if (deleted)
        *deleted = 0;
    QString sql = QStringLiteral("DELETE FROM Mittenti WHERE Quadernolo = ? "
                                 "AND NOT EXISTS (SELECT 1 FROM entrata WHERE entrata.Progressivo = ?)");
    QVariantList params {numero, numero};
    if (!tipo.isEmpty()) {
        sql += QStringLiteral(" AND upper(tipo) = upper(?)");
        params << tipo;
    }
    const DbResult r = m_conn.exec(sql, params);
    if (r.ok() && deleted)
        *deleted = m_conn.changes();
    return r;
}

DbResult EntryStore::salva_note_annullo(qint64 numero, const RegisteredEntryEdit& edit,
                                        const RegisteredEntryEdit* loaded, QStringList* written,
                                        QList<FieldConflict>* conflicts)
{
    if (written)
        written->clear();
    if (conflicts)
        conflicts->clear();
    // IMMEDIATE: no other station writes between the compare with the stored values and the write.
    Transaction transaction(m_conn, true);
    if (!transaction.begun().ok())
        return transaction.begun();
    bool found = false;
    QVariant note, collegamento, notaAnnulla;
    bool annullato = false;
    DbResult r = m_conn.query(QStringLiteral("SELECT Note, Collegamento, Annullato, Nota_annulla FROM entrata "
                                             "WHERE Progressivo = ?"),
                              {numero}, [&](const Statement& st) {
                                  found = true;
                                  note = st.value(0);
                                  collegamento = st.value(1);
                                  annullato = isTrueValue(st.value(2));
                                  notaAnnulla = st.value(3);
                                  return false;
                              });
    if (!r.ok())
        return r;
    if (!found)
        return DbResult::failure(DbError::Other,
                                 QStringLiteral("Quadernolo n. %1 non trovato nell'archivio.").arg(numero));

    QStringList fields;
    QVariantList values;
    auto change = [&](const char* field, const QVariant& value) {
        fields << QString::fromLatin1(field);
        values << value;
    };
    QList<FieldConflict> bothChanged;
    // A field changed here and at another station since it was loaded is left as the other
    // station stored it.
    auto changedText = [&](const char* field, const QVariant& stored, const QVariant RegisteredEntryEdit::*member) {
        const FieldWrite what = fieldWrite(stored, loaded ? &(loaded->*member) : nullptr, edit.*member);
        if (what == FieldWrite::Conflict)
            bothChanged.append({QString::fromLatin1(field), stored, edit.*member});
        return what == FieldWrite::Write;
    };
    auto textValue
        = [](const QVariant& value) { return isEmptyText(value, false) ? QVariant() : QVariant(value.toString()); };
    if (changedText("Note", note, &RegisteredEntryEdit::note))
        change("Note", textValue(edit.note));
    if (changedText("Collegamento", collegamento, &RegisteredEntryEdit::collegamento))
        change("Collegamento", textValue(edit.collegamento));
    // An annulment cannot be undone, and its reason stays as it was first written.
    if (!annullato) {
        if (edit.annullato) {
            if (isEmptyText(edit.notaAnnulla, true))
                return DbResult::failure(DbError::Other,
                                         QStringLiteral("Quadernolo n. %1: annullamento senza motivo.").arg(numero));
            change("Annullato", -1);
        }
        if (edit.annullato ? !sameText(notaAnnulla, edit.notaAnnulla)
                           : changedText("Nota_annulla", notaAnnulla, &RegisteredEntryEdit::notaAnnulla))
            change("Nota_annulla", textValue(edit.notaAnnulla));
    } else if (edit.annullato && (!loaded || !loaded->annullato) && !sameText(notaAnnulla, edit.notaAnnulla)) {
        // Annulled here and, since the entry was read, at another station: the first reason stays.
        bothChanged.append({QStringLiteral("Annullato"), notaAnnulla, edit.notaAnnulla});
    }
    if (!fields.isEmpty()) {
        QStringList assignments;
        for (const QString& field : fields)
            assignments << field + QStringLiteral(" = ?");
        values << numero;
        r = m_conn.exec(QStringLiteral("UPDATE entrata SET %1 WHERE Progressivo = ?").arg(assignments.join(", ")),
                        values);
        if (!r.ok())
            return r;
    }
    r = transaction.commit();
    if (r.ok() && written)
        *written = fields;
    if (r.ok() && conflicts)
        *conflicts = bothChanged;
    return r;
}

} // namespace quad
