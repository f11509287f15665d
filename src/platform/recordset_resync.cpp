// Reading the rows of one key again (the rows of one register entry after it was saved), in
// place of a re-read of the whole query.

#include "recordset_p.h"

#include <map>

namespace quad {

using namespace rs;

namespace {

/// -1, 0 or 1 as the key field of row is below, equal to or above key; Null is below.
int compareKey(const Shared& s, int column, qsizetype row, const QVariant& key)
{
    const Column& col = *s.columns[size_t(column)];
    const QVariant* loose = s.loose(row, column);
    if (loose ? loose->isNull() : col.isNull(row))
        return -1;
    if (col.storage() == Storage::Integer && !loose) {
        const qint64 v = col.integer(row);
        const qint64 k = key.toLongLong();
        return v < k ? -1 : (v > k ? 1 : 0);
    }
    const QVariant v = loose ? *loose : col.value(row);
    const QPartialOrdering o = QVariant::compare(v, key);
    if (o == QPartialOrdering::Less)
        return -1;
    if (o == QPartialOrdering::Greater)
        return 1;
    return o == QPartialOrdering::Equivalent ? 0 : -1;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.metaType() == b.metaType() && a == b;
}

DbResult refusal(const QString& text)
{
    return DbResult::failure(DbError::Other, text);
}

} // namespace

DbResult Recordset::resyncKey(const QString& keyField, const QVariant& key, const QString& sql,
                              const QVariantList& params)
{
    if (!d->s)
        return d->fail(refusal(QStringLiteral("Il recordset non è aperto.")));
    Shared& s = *d->s;
    if (s.inMemory || !s.db)
        return d->fail(refusal(QStringLiteral("Il recordset non ha una query da rileggere.")));
    const int keyColumn = s.fieldIndex(keyField);
    if (keyColumn < 0)
        return d->fail(refusal(QStringLiteral("Campo sconosciuto o ambiguo: %1").arg(keyField)));

    Shared fresh;
    fresh.db = s.db;
    fresh.sql = sql;
    fresh.params = params;
    const DbResult loaded = loadQuery(fresh);
    if (!loaded.ok())
        return d->fail(loaded);
    bool sameShape = fresh.fields.size() == s.fields.size() && fresh.tables.size() == s.tables.size();
    for (int c = 0; sameShape && c < s.fields.size(); ++c) {
        sameShape = fresh.fields[c].name.compare(s.fields[c].name, Qt::CaseInsensitive) == 0
            && fresh.fields[c].table.compare(s.fields[c].table, Qt::CaseInsensitive) == 0;
    }
    for (size_t t = 0; sameShape && t < s.tables.size(); ++t)
        sameShape = fresh.tables[t].name.compare(s.tables[t].name, Qt::CaseInsensitive) == 0
            && fresh.tables[t].hasRowid == s.tables[t].hasRowid;
    for (qsizetype r = 0; sameShape && r < fresh.totalRows; ++r)
        sameShape = compareKey(fresh, keyColumn, r, key) == 0;
    if (!sameShape)
        return d->fail(refusal(QStringLiteral("La rilettura non corrisponde al recordset: %1").arg(sql)));

    // The rows that hold the key now (written rows only: a row added and not yet written is no
    // row of the archive) and the first row past the key in the query's order.
    std::vector<qint32> before;
    qint64 nextRank = -1;
    auto consider = [&](qint32 r) {
        if ((s.flags[r] & kGone) || s.status(r) == RowStatus::New)
            return;
        const int c = compareKey(s, keyColumn, r, key);
        if (c == 0)
            before.push_back(r);
        else if (c > 0 && nextRank < 0)
            nextRank = s.rank(r);
    };
    if (!s.order.empty()) {
        for (qint32 r : s.order)
            consider(r);
    } else {
        for (qsizetype r = 0; r < s.totalRows; ++r)
            consider(qint32(r));
    }

    std::vector<std::vector<int>> shownAt;
    for (Impl* cursor : s.cursors)
        shownAt.push_back(cursor->indexesOf(before));

    // Rows are matched by their row ids in every source table.
    auto idsOf = [](const Shared& from, qsizetype row) {
        std::vector<qint64> ids;
        for (size_t t = 0; t < from.tables.size(); ++t) {
            if (from.tables[t].hasRowid)
                ids.push_back(from.rowid(row, int(t)));
        }
        return ids;
    };
    const bool matchable = !s.tables.empty()
        && std::all_of(s.tables.begin(), s.tables.end(), [](const SourceTable& t) { return t.hasRowid; });
    std::map<std::vector<qint64>, qint32> byIds;
    if (matchable) {
        for (qint32 r : before)
            byIds.emplace(idsOf(s, r), r);
    }

    auto dropPending = [&s](qint32 r) {
        RowState* st = s.state(r);
        if (!st || st->status == RowStatus::Unmodified)
            return false;
        st->status = RowStatus::Unmodified;
        st->pending.fill(QVariant());
        st->pendingSet.fill(false);
        --s.pendingRows;
        return true;
    };

    std::vector<qint32> after;
    QSet<qint32> changed;
    QSet<qint32> matched;
    bool onlyAppended = nextRank < 0;
    qint64 lastRank = -1;
    bool keptInOrder = true;
    for (qsizetype i = 0; i < fresh.totalRows; ++i) {
        qint32 row = -1;
        if (matchable) {
            const auto it = byIds.find(idsOf(fresh, i));
            if (it != byIds.end() && !matched.contains(it->second))
                row = it->second;
        }
        if (row >= 0) {
            matched.insert(row);
            bool differs = dropPending(row);
            for (int c = 0; c < s.fields.size(); ++c) {
                const QVariant v = fresh.value(i, c);
                if (sameValue(v, s.value(row, c)))
                    continue;
                RowState& st = s.touch(row);
                st.committed[c] = v;
                st.committedSet.setBit(c);
                differs = true;
            }
            if (differs)
                changed.insert(row);
            if (!after.empty() && s.rank(after.back()) > s.rank(row))
                keptInOrder = false;
            if (s.rank(row) < lastRank)
                keptInOrder = false;
            lastRank = s.rank(row);
            if (!after.empty() && s.status(after.back()) == RowStatus::Unmodified && !matched.contains(after.back()))
                onlyAppended = false; // a new row before a row that stays
        } else {
            row = qint32(s.addRow());
            RowState& st = s.touch(row);
            st.status = RowStatus::Unmodified;
            for (int c = 0; c < s.fields.size(); ++c) {
                st.committed[c] = fresh.value(i, c);
                st.committedSet.setBit(c);
            }
            for (size_t t = 0; t < s.tables.size(); ++t)
                s.setRowid(row, int(t), fresh.rowid(i, int(t)));
            changed.insert(row);
        }
        after.push_back(row);
    }
    for (qint32 r : before) {
        if (matched.contains(r))
            continue;
        dropPending(r);
        s.flags[r] |= kGone;
    }

    // New rows were put at the end of the query's order; elsewhere, or when the rows kept
    // changed places, the order is rebuilt with the key's rows where the query puts them.
    const bool hasNew = int(matched.size()) < int(after.size());
    if (!keptInOrder || (hasNew && !onlyAppended)) {
        std::vector<qint32> order;
        order.reserve(size_t(s.totalRows));
        const QSet<qint32> block(after.begin(), after.end());
        bool placed = false;
        auto place = [&](qint32 r) {
            if (!placed && nextRank >= 0 && s.rank(r) == nextRank) {
                order.insert(order.end(), after.begin(), after.end());
                placed = true;
            }
            if (!block.contains(r))
                order.push_back(r);
        };
        if (!s.order.empty()) {
            const std::vector<qint32> old = s.order;
            for (qint32 r : old)
                place(r);
        } else {
            for (qsizetype r = 0; r < s.totalRows; ++r)
                place(qint32(r));
        }
        if (!placed)
            order.insert(order.end(), after.begin(), after.end());
        s.setOrder(std::move(order));
    }
    ++s.generation;

    const std::vector<Impl*> cursors = s.cursors;
    for (size_t i = 0; i < cursors.size(); ++i)
        cursors[i]->rowsReread(before, shownAt[i], after, changed);
    return {};
}

} // namespace quad
