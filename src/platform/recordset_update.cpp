// Changes to a recordset: field writes, new and deleted rows, and the batch that writes them.

#include "recordset.h"

#include "recordset_p.h"
#include "sql_like.h"

#include <QMap>
#include <QSet>

#include <algorithm>

namespace quad {

using namespace rs;

namespace {

DbResult refused(const QString& text)
{
    return DbResult::failure(DbError::Other, text);
}

DbResult lostRow(const QString& table)
{
    return refused(QStringLiteral("Un record della tabella %1 non è più presente nell'archivio: è stato modificato "
                                  "o eliminato da un'altra postazione. Nessuna modifica è stata salvata.")
                       .arg(table));
}

DbResult notWritable(const QString& table)
{
    return refused(QStringLiteral("La tabella %1 non è aggiornabile da questo elenco.").arg(table));
}

/// A row id learnt while writing: of an inserted row, or the new one of an updated key.
struct NewRowid
{
    qsizetype row;
    int table;
    qint64 id;
    bool inserted;
};

class BatchWriter
{
public:
    BatchWriter(Shared& s, const std::vector<qsizetype>& rows)
        : m_s(s)
        , m_db(*s.db)
        , m_rows(rows)
    {
    }

    DbResult run(std::vector<NewRowid>* ids)
    {
        const bool nested = m_db.inTransaction();
        DbResult r = nested ? m_db.exec(QStringLiteral("SAVEPOINT quad_batch")) : m_db.begin(true);
        if (!r.ok())
            return r;
        r = writeAll(ids);
        if (r.ok())
            r = nested ? m_db.exec(QStringLiteral("RELEASE quad_batch")) : m_db.commit();
        if (!r.ok()) {
            // The write's own failure is the cause told. A savepoint is released only once
            // rolled back, so a failed rollback never keeps half the batch.
            if (nested) {
                if (m_db.exec(QStringLiteral("ROLLBACK TO quad_batch")).ok())
                    (void)m_db.exec(QStringLiteral("RELEASE quad_batch"));
            } else {
                (void)m_db.rollback();
            }
            ids->clear();
            if (r.code != DbError::WrongKey && r.code != DbError::Busy)
                r.message = QStringLiteral("Salvataggio non riuscito: %1").arg(r.message);
        }
        return r;
    }

private:
    DbResult writeAll(std::vector<NewRowid>* ids)
    {
        m_unique = -1;
        if (!m_s.uniqueTable.isEmpty()) {
            for (size_t t = 0; t < m_s.tables.size(); ++t) {
                if (m_s.tables[t].name.compare(m_s.uniqueTable, Qt::CaseInsensitive) == 0)
                    m_unique = int(t);
            }
            if (m_unique < 0)
                return refused(QStringLiteral("La tabella %1 non fa parte dell'elenco.").arg(m_s.uniqueTable));
        }
        // Deletes first, so that a new row may take the key of a deleted one.
        for (RowStatus pass : {RowStatus::Deleted, RowStatus::Modified, RowStatus::New}) {
            for (qsizetype row : m_rows) {
                if (m_s.status(row) != pass)
                    continue;
                DbResult r;
                if (pass == RowStatus::Deleted)
                    r = deleteRow(row);
                else if (pass == RowStatus::Modified)
                    r = updateRow(row, ids);
                else
                    r = insertRow(row, ids);
                if (!r.ok())
                    return r;
            }
        }
        return {};
    }

    DbResult deleteRow(qsizetype row)
    {
        bool any = false;
        for (int t = 0; t < int(m_s.tables.size()); ++t) {
            if (m_unique >= 0 && t != m_unique)
                continue;
            const SourceTable& table = m_s.tables[size_t(t)];
            if (!table.hasRowid) {
                if (m_unique >= 0)
                    return notWritable(table.name);
                continue;
            }
            const qint64 id = m_s.rowid(row, t);
            if (id == kNoRowid)
                continue;
            any = true;
            if (m_deleted.contains({t, id})) // another row of the same join
                continue;
            const DbResult r
                = m_db.exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoteName(table.name)), {id});
            if (!r.ok())
                return r;
            if (m_db.changes() == 0)
                return lostRow(table.name);
            m_deleted.insert({t, id});
        }
        if (!any)
            return refused(QStringLiteral("Il record non può essere eliminato: la sua tabella non è aggiornabile."));
        return {};
    }

    DbResult updateRow(qsizetype row, std::vector<NewRowid>* ids)
    {
        const RowState* st = m_s.state(row);
        QMap<int, QList<int>> byTable;
        for (int c = 0; c < m_s.fields.size(); ++c) {
            if (st->pendingSet.testBit(c) && m_s.meta[c].table >= 0)
                byTable[m_s.meta[c].table].append(c);
        }
        for (auto it = byTable.cbegin(); it != byTable.cend(); ++it) {
            const int t = it.key();
            const SourceTable& table = m_s.tables[size_t(t)];
            if (!table.hasRowid)
                return notWritable(table.name);
            const qint64 id = m_s.rowid(row, t);
            if (id == kNoRowid)
                return refused(QStringLiteral("Il record non ha una riga nella tabella %1.").arg(table.name));
            QStringList sets;
            QVariantList params;
            for (int c : it.value()) {
                sets << quoteName(m_s.meta[c].origin) + QLatin1String(" = ?");
                params << st->pending[c];
            }
            params << id;
            const DbResult r = m_db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                             .arg(quoteName(table.name), sets.join(QLatin1String(", "))),
                                         params);
            if (!r.ok())
                return r;
            if (m_db.changes() == 0)
                return lostRow(table.name);
            const int alias = table.aliasField;
            if (alias >= 0 && it.value().contains(alias) && !st->pending[alias].isNull())
                ids->push_back({row, t, st->pending[alias].toLongLong(), false});
        }
        return {};
    }

    DbResult insertRow(qsizetype row, std::vector<NewRowid>* ids)
    {
        const RowState* st = m_s.state(row);
        auto given = [&](int c) { return st->pendingSet.testBit(c) && !st->pending[c].isNull(); };
        std::vector<int> targets;
        if (m_unique >= 0) {
            targets.push_back(m_unique);
        } else {
            for (int t = 0; t < int(m_s.tables.size()); ++t) {
                for (int c = 0; c < m_s.fields.size(); ++c) {
                    if (m_s.meta[c].table == t && given(c)) {
                        targets.push_back(t);
                        break;
                    }
                }
            }
            if (targets.empty() && m_s.tables.size() == 1)
                targets.push_back(0);
        }
        if (targets.empty() && m_s.tables.empty())
            return refused(QStringLiteral("Il nuovo record non ha una tabella in cui essere scritto."));
        for (int t : targets) {
            const SourceTable& table = m_s.tables[size_t(t)];
            if (!table.hasRowid)
                return notWritable(table.name);
            QStringList names, marks;
            QVariantList params;
            for (int c = 0; c < m_s.fields.size(); ++c) {
                if (m_s.meta[c].table == t && given(c)) {
                    names << quoteName(m_s.meta[c].origin);
                    marks << QStringLiteral("?");
                    params << st->pending[c];
                }
            }
            const QString sql = names.isEmpty()
                ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoteName(table.name))
                : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(quoteName(table.name), names.join(QLatin1String(", ")), marks.join(QLatin1String(", ")));
            const DbResult r = m_db.exec(sql, params);
            if (!r.ok())
                return r;
            ids->push_back({row, t, m_db.lastInsertId(), true});
        }
        return {};
    }

    Shared& m_s;
    Connection& m_db;
    const std::vector<qsizetype>& m_rows;
    int m_unique = -1;
    QSet<QPair<int, qint64>> m_deleted;
};

/// Makes the pending changes the recordset's own after they were written; returns the rows
/// whose values changed (their own and the other rows of a join that share a changed row).
QSet<qsizetype> acceptBatch(Shared& s, const std::vector<qsizetype>& rows, const std::vector<NewRowid>& ids)
{
    QSet<qsizetype> changed;
    // Changed cells of a table row, to bring the other rows of a join that show it up to date.
    QHash<int, QHash<qint64, QList<QPair<int, QVariant>>>> shown;
    for (qsizetype row : rows) {
        RowState* st = s.state(row);
        if (!st)
            continue;
        if (st->status == RowStatus::Deleted) {
            s.flags[row] |= kGone;
        } else {
            const bool update = st->status == RowStatus::Modified;
            for (int c = 0; c < s.fields.size(); ++c) {
                if (!st->pendingSet.testBit(c))
                    continue;
                st->committed[c] = st->pending[c];
                st->committedSet.setBit(c);
                const int t = s.meta[c].table;
                if (update && t >= 0 && s.tables[size_t(t)].hasRowid)
                    shown[t][s.rowid(row, t)].append({c, st->pending[c]});
            }
            changed.insert(row);
        }
        st->pending.fill(QVariant());
        st->pendingSet.fill(false);
        st->status = RowStatus::Unmodified;
    }
    for (const NewRowid& id : ids) {
        s.setRowid(id.row, id.table, id.id);
        const int alias = s.tables[size_t(id.table)].aliasField;
        if (id.inserted && alias >= 0 && s.isNull(id.row, alias)) {
            RowState& st = s.touch(id.row);
            st.committed[alias] = id.id;
            st.committedSet.setBit(alias);
        }
    }
    const QSet<qsizetype> own(rows.begin(), rows.end());
    for (auto t = shown.cbegin(); t != shown.cend(); ++t) {
        for (qsizetype r = 0; r < s.totalRows; ++r) {
            if (own.contains(r) || (s.flags[r] & kGone))
                continue;
            const auto cells = t.value().constFind(s.rowid(r, t.key()));
            if (cells == t.value().constEnd())
                continue;
            for (const auto& cell : *cells) {
                RowState& st = s.touch(r);
                st.committed[cell.first] = cell.second;
                st.committedSet.setBit(cell.first);
            }
            changed.insert(r);
        }
    }
    s.pendingRows = 0;
    ++s.generation;
    return changed;
}

} // namespace

// ---------------------------------------------------------------------------------------------

DbResult Recordset::setValue(int index, const QVariant& value)
{
    const qint64 row = d->requireCurrent();
    Shared& s = *d->s;
    if (index < 0 || index >= s.fields.size())
        throw RecordsetError(QStringLiteral("Campo %1 inesistente.").arg(index).toStdString());
    const FieldInfo& f = s.fields[index];
    if (s.status(row) == RowStatus::Deleted)
        return refused(QStringLiteral("Il record corrente è stato eliminato."));
    if (!s.inMemory) {
        const int t = s.meta[index].table;
        if (t < 0 || !s.tables[size_t(t)].hasRowid)
            return refused(QStringLiteral("Il campo %1 non è aggiornabile.").arg(f.uniqueName));
    }
    QVariant converted;
    QString why;
    if (!convertForField(f, value, &converted, &why))
        return refused(why);

    RowState& st = s.touch(row);
    const bool first = st.status == RowStatus::Unmodified;
    st.pending[index] = converted;
    st.pendingSet.setBit(index);
    if (first) {
        st.status = RowStatus::Modified;
        ++s.pendingRows;
    }
    ++s.generation;
    for (Impl* cursor : s.cursors)
        cursor->rowValuesChanged(row);
    if (first) {
        EventStatus status = EventStatus::OK;
        emit recordChangeComplete(ChangeReason::FirstChange, &status);
    }
    return {};
}

DbResult Recordset::setValue(const QString& name, const QVariant& value)
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw RecordsetError(QStringLiteral("Campo sconosciuto o ambiguo: %1").arg(name).toStdString());
    return setValue(index, value);
}

void Recordset::addNew()
{
    if (!d->s)
        throw RecordsetError("Il recordset non è aperto.");
    Shared& s = *d->s;
    emit willMove();
    const qsizetype row = s.addRow();
    ++s.pendingRows;
    ++s.generation;
    const std::vector<Impl*> cursors = s.cursors;
    for (Impl* cursor : cursors)
        cursor->rowAdded(row, cursor == d.get());
    d->deletedCurrent = -1;
    d->pos = d->count() - 1;
    emit moveComplete();
    EventStatus status = EventStatus::OK;
    emit recordChangeComplete(ChangeReason::AddNew, &status);
}

DbResult Recordset::deleteCurrent()
{
    if (!d->s)
        return refused(QStringLiteral("Il recordset non è aperto."));
    if (d->deletedCurrent >= 0)
        return refused(QStringLiteral("Il record corrente è già stato eliminato."));
    if (d->pos < 0 || d->pos >= d->count())
        return refused(QStringLiteral("Nessun record corrente da eliminare."));
    Shared& s = *d->s;
    const qsizetype row = d->view[size_t(d->pos)];
    RowState& st = s.touch(row);
    if (st.status == RowStatus::New) {
        // Never written: it just goes.
        s.flags[row] |= kGone;
        st.status = RowStatus::Unmodified;
        --s.pendingRows;
    } else {
        if (st.status == RowStatus::Unmodified)
            ++s.pendingRows;
        st.status = RowStatus::Deleted;
    }
    ++s.generation;
    const std::vector<Impl*> cursors = s.cursors;
    for (Impl* cursor : cursors)
        cursor->rowRemoved(row);
    EventStatus status = EventStatus::OK;
    emit recordChangeComplete(ChangeReason::Delete, &status);
    return {};
}

DbResult Recordset::updateBatch()
{
    if (!d->s)
        return d->fail(refused(QStringLiteral("Il recordset non è aperto.")));
    Shared& s = *d->s;
    if (s.pendingRows == 0)
        return {};
    std::vector<qsizetype> rows;
    for (auto it = s.touched.cbegin(); it != s.touched.cend(); ++it) {
        if (it->status != RowStatus::Unmodified && !(s.flags[it.key()] & kGone))
            rows.push_back(it.key());
    }
    std::sort(rows.begin(), rows.end());

    std::vector<NewRowid> ids;
    if (!s.inMemory) {
        if (!s.db)
            return d->fail(refused(QStringLiteral("Nessuna connessione all'archivio.")));
        const DbResult r = BatchWriter(s, rows).run(&ids);
        if (!r.ok())
            return d->fail(r);
    }
    const QSet<qsizetype> changed = acceptBatch(s, rows, ids);
    const std::vector<Impl*> cursors = s.cursors;
    for (Impl* cursor : cursors) {
        for (qsizetype row : changed)
            cursor->rowValuesChanged(row);
    }
    EventStatus status = EventStatus::OK;
    emit recordChangeComplete(ChangeReason::Update, &status);
    return {};
}

void Recordset::cancelBatch()
{
    if (!d->s || d->s->pendingRows == 0)
        return;
    Shared& s = *d->s;
    // A few rows (the entry being typed) are put back in every view where they belong; many
    // rows rebuild the views.
    constexpr int kFewRows = 1000;
    const bool few = s.pendingRows <= kFewRows;
    std::vector<qint32> before;
    for (auto it = s.touched.cbegin(); it != s.touched.cend(); ++it) {
        if (it->status != RowStatus::Unmodified)
            before.push_back(qint32(it.key()));
    }
    std::vector<std::vector<int>> shownAt;
    if (few) {
        for (Impl* cursor : s.cursors)
            shownAt.push_back(cursor->indexesOf(before));
    }
    std::vector<qint32> after;
    QSet<qint32> changed;
    for (qint32 row : before) {
        RowState& st = *s.state(row);
        if (st.status == RowStatus::New) {
            s.flags[row] |= kGone;
        } else {
            after.push_back(row);
            changed.insert(row);
        }
        st.status = RowStatus::Unmodified;
        st.pending.fill(QVariant());
        st.pendingSet.fill(false);
    }
    s.pendingRows = 0;
    ++s.generation;
    const std::vector<Impl*> cursors = s.cursors;
    for (size_t i = 0; i < cursors.size(); ++i) {
        if (few)
            cursors[i]->rowsReread(before, shownAt[i], after, changed, true);
        else
            cursors[i]->resetView(true);
    }
    EventStatus status = EventStatus::OK;
    emit recordChangeComplete(ChangeReason::UndoUpdate, &status);
}

bool Recordset::hasPendingChanges() const
{
    return d->s && d->s->pendingRows > 0;
}

RowStatus Recordset::rowStatus() const
{
    const qint64 row = d->currentRowId();
    return row >= 0 ? d->s->status(row) : RowStatus::Unmodified;
}

void Recordset::setUniqueTable(const QString& table)
{
    if (d->s)
        d->s->uniqueTable = table.trimmed();
}

QString Recordset::uniqueTable() const
{
    return d->s ? d->s->uniqueTable : QString();
}

} // namespace quad
