// Reading the rows of one key again (the rows of one register entry after it was saved), in
// place of a re-read of the whole query.

#include "recordset_p.h"

#include <algorithm>
#include <limits>
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

/// True when the base rows hold the key column's integers in rising order, piece after piece
/// (the query was ordered by it): then the rows of a key are found by halving. Checked once.
bool keyInOrder(const Shared& s, int column)
{
    if (s.keyOrder.size() != size_t(s.fields.size()))
        s.keyOrder.assign(size_t(s.fields.size()), -1);
    qint8& known = s.keyOrder[size_t(column)];
    if (known >= 0)
        return known == 1;
    const Column& col = *s.columns[size_t(column)];
    bool ordered = col.storage() == Storage::Integer && !col.hasOddCells();
    qint64 last = std::numeric_limits<qint64>::min();
    for (const auto& piece : s.pieces) {
        for (qsizetype r = piece.first; ordered && r < piece.first + piece.second; ++r) {
            ordered = !col.isNull(r) && col.integer(r) >= last;
            last = col.integer(r);
        }
    }
    known = ordered ? 1 : 0;
    return ordered;
}

/// Every written row whose key field equals key (in the query's order), and the place in that
/// order of the first written row past it (-1 when none). Through the key's order when the rows
/// have it (rows with changes of their own are looked at one by one), else by a scan.
void rowsOfKey(const Shared& s, int column, const QVariant& key, std::vector<qint32>* rows, qint64* nextRank)
{
    *nextRank = -1;
    auto written = [&s](qsizetype r) { return !(s.flags[r] & kGone) && s.status(r) != RowStatus::New; };
    if (!s.pieces.empty() && !s.inMemory && keyInOrder(s, column)) {
        bool isInteger = false;
        const qint64 k = key.toLongLong(&isInteger);
        if (isInteger) {
            const Column& col = *s.columns[size_t(column)];
            std::vector<qint32> found;
            auto consider = [&](qsizetype r) {
                if (!written(r))
                    return;
                const int c = compareKey(s, column, r, key);
                if (c == 0)
                    found.push_back(qint32(r));
                else if (c > 0 && (*nextRank < 0 || s.rank(r) < *nextRank))
                    *nextRank = s.rank(r);
            };
            for (const auto& piece : s.pieces) {
                qsizetype lo = piece.first, hi = piece.first + piece.second;
                while (lo < hi) {
                    const qsizetype mid = lo + (hi - lo) / 2;
                    if (col.integer(mid) < k)
                        lo = mid + 1;
                    else
                        hi = mid;
                }
                // The key's rows, then the first written row past them.
                qsizetype r = lo;
                for (; r < piece.first + piece.second && col.integer(r) == k; ++r) {
                    if (!(s.flags[r] & kTouched))
                        consider(r);
                }
                for (; r < piece.first + piece.second; ++r) {
                    if (!(s.flags[r] & kTouched) && written(r)) {
                        consider(r);
                        break;
                    }
                }
                if (r < piece.first + piece.second)
                    break; // later pieces hold larger keys only
            }
            for (auto it = s.touched.cbegin(); it != s.touched.cend(); ++it)
                consider(qsizetype(it.key()));
            std::sort(found.begin(), found.end(), [&s](qint32 a, qint32 b) { return s.rank(a) < s.rank(b); });
            *rows = std::move(found);
            return;
        }
    }
    auto consider = [&](qint32 r) {
        if (!written(r))
            return;
        const int c = compareKey(s, column, r, key);
        if (c == 0)
            rows->push_back(r);
        else if (c > 0 && *nextRank < 0)
            *nextRank = s.rank(r);
    };
    if (!s.order.empty()) {
        for (qint32 r : s.order)
            consider(r);
    } else {
        for (qsizetype r = 0; r < s.totalRows; ++r)
            consider(qint32(r));
    }
}

} // namespace

bool Recordset::findKey(const QString& keyField, const QVariant& key)
{
    if (!d->s)
        return false;
    const int column = d->s->fieldIndex(keyField);
    if (column < 0)
        return false;
    std::vector<qint32> rows;
    qint64 nextRank = -1;
    rowsOfKey(*d->s, column, key, &rows, &nextRank);
    // Rows added and not yet written count too.
    for (auto it = d->s->touched.cbegin(); it != d->s->touched.cend(); ++it) {
        const qsizetype r = qsizetype(it.key());
        if (d->s->isLive(r) && d->s->status(r) == RowStatus::New && compareKey(*d->s, column, r, key) == 0)
            rows.push_back(qint32(r));
    }
    int best = -1;
    for (qint32 r : rows) {
        const int index = d->viewIndexOf(r);
        if (index >= 0 && (best < 0 || index < best))
            best = index;
    }
    if (best < 0)
        return false;
    d->moveTo(best);
    return true;
}

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
    fresh.mayReadInPieces = false;
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
    rowsOfKey(s, keyColumn, key, &before, &nextRank);

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
