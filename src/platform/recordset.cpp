#include "recordset.h"

#include "recordset_p.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>

namespace quad {

using namespace rs;

namespace {

DbResult closedError()
{
    return DbResult::failure(DbError::Other, QStringLiteral("Il recordset non è aperto."));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Cursor state

Recordset::Impl::~Impl()
{
    detach();
}

void Recordset::Impl::attach(std::shared_ptr<Shared> shared)
{
    detach();
    s = std::move(shared);
    s->cursors.push_back(this);
    view.clear();
    pos = -1;
    deletedCurrent = -1;
    filter.reset();
    filterText.clear();
    sortKeys.clear();
    sortText.clear();
    sorted.clear();
    sortedGeneration = ~quint64(0);
    invalidateInverse();
}

void Recordset::Impl::detach()
{
    if (!s)
        return;
    auto& list = s->cursors;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    s.reset();
    view.clear();
    sorted.clear();
    inverse.clear();
    pos = -1;
    deletedCurrent = -1;
}

qint64 Recordset::Impl::currentRowId() const
{
    if (deletedCurrent >= 0)
        return deletedCurrent;
    if (pos >= 0 && pos < count())
        return view[size_t(pos)];
    return -1;
}

qint64 Recordset::Impl::requireCurrent() const
{
    if (!s)
        throw RecordsetError("Il recordset non è aperto.");
    const qint64 row = currentRowId();
    if (row < 0)
        throw RecordsetError("Nessun record corrente (BOF o EOF).");
    return row;
}

int Recordset::Impl::viewIndexOf(qint64 row) const
{
    if (!s || row < 0 || row >= s->totalRows)
        return -1;
    if (sortKeys.empty()) {
        // Without a sort the view keeps the query's order.
        const Shared& sh = *s;
        const auto it = std::lower_bound(view.begin(), view.end(), qint32(row),
                                         [&sh](qint32 a, qint32 b) { return sh.rank(a) < sh.rank(b); });
        return (it != view.end() && *it == row) ? int(it - view.begin()) : -1;
    }
    if (!inverseValid || inverse.size() != size_t(s->totalRows)) {
        inverse.assign(size_t(s->totalRows), -1);
        for (size_t i = 0; i < view.size(); ++i)
            inverse[size_t(view[i])] = qint32(i);
        inverseValid = true;
    }
    return inverse[size_t(row)];
}

bool Recordset::Impl::matches(RowReader& reader, qint64 row) const
{
    reader.setRow(row);
    return filter->matches(reader);
}

void Recordset::Impl::ensureSorted()
{
    if (sortedGeneration == s->generation && sorted.size() <= size_t(s->totalRows))
        return;
    sorted.clear();
    sorted.reserve(size_t(s->totalRows));
    for (qsizetype r = 0; r < s->totalRows; ++r) {
        if (s->isLive(r))
            sorted.push_back(qint32(r));
    }
    sortRows(*s, sortKeys, sorted);
    sortedGeneration = s->generation;
}

void Recordset::Impl::rebuildView()
{
    view.clear();
    invalidateInverse();
    if (!s)
        return;
    const Chunked<quint8>& flags = s->flags;
    // Nearly every row is as read: its flags alone say that it is live.
    auto live = [&](qint32 r) { return flags[r] == 0 || s->isLive(r); };
    // The live rows of n rows in order; a filter is asked about them a run at a time.
    auto select = [&](qsizetype n, auto rowAt) {
        if (!filter) {
            view.resize(size_t(n));
            qint32* out = view.data();
            for (qsizetype i = 0; i < n; ++i) {
                const qint32 r = rowAt(i);
                *out = r;
                if (live(r))
                    ++out;
            }
            view.resize(size_t(out - view.data()));
            return;
        }
        constexpr qsizetype kRun = 4096;
        ColumnReader columns(*s);
        std::vector<qint32> run;
        run.reserve(size_t(kRun));
        for (qsizetype start = 0; start < n; start += kRun) {
            run.clear();
            for (qsizetype i = start; i < std::min(n, start + kRun); ++i) {
                const qint32 r = rowAt(i);
                if (live(r))
                    run.push_back(r);
            }
            const qsizetype kept = filter->select(columns, run.data(), qsizetype(run.size()));
            view.insert(view.end(), run.begin(), run.begin() + kept);
        }
        view.shrink_to_fit();
    };
    if (!sortKeys.empty()) {
        ensureSorted();
        select(qsizetype(sorted.size()), [this](qsizetype i) { return sorted[size_t(i)]; });
    } else if (!s->order.empty()) {
        select(qsizetype(s->order.size()), [this](qsizetype i) { return s->order[size_t(i)]; });
    } else {
        select(s->totalRows, [](qsizetype i) { return qint32(i); });
    }
}

void Recordset::Impl::moveTo(int newPos)
{
    emit q->willMove();
    deletedCurrent = -1;
    pos = std::clamp(newPos, -1, count());
    emit q->moveComplete();
}

void Recordset::Impl::resetView(bool keepCurrent)
{
    const qint64 before = currentRowId();
    emit q->modelAboutToReset();
    rebuildView();
    deletedCurrent = -1;
    const int index = keepCurrent && before >= 0 ? viewIndexOf(before) : -1;
    pos = index >= 0 ? index : (count() > 0 ? 0 : -1);
    emit q->modelReset();
    if (currentRowId() != before) {
        emit q->willMove();
        emit q->moveComplete();
    }
}

void Recordset::Impl::rowValuesChanged(qint64 row)
{
    const int index = viewIndexOf(row);
    if (index >= 0)
        emit q->rowChanged(index);
}

void Recordset::Impl::rowAdded(qint64 row, bool own)
{
    if (!own && filter)
        return;
    const int index = count();
    emit q->rowsAboutToBeInserted(index, index);
    view.push_back(qint32(row));
    invalidateInverse();
    if (!own && pos >= index)
        ++pos; // EOF stays EOF
    emit q->rowsInserted(index, index);
}

void Recordset::Impl::rowRemoved(qint64 row)
{
    const int index = viewIndexOf(row);
    if (index < 0)
        return;
    emit q->rowsAboutToBeRemoved(index, index);
    view.erase(view.begin() + index);
    invalidateInverse();
    if (deletedCurrent < 0) {
        if (index < pos)
            --pos;
        else if (index == pos)
            deletedCurrent = row; // stays current until the next move; pos is now the next row
    } else if (index < pos) {
        --pos;
    }
    emit q->rowsRemoved(index, index);
}

bool Recordset::Impl::precedes(qint64 a, qint64 b) const
{
    if (!sortKeys.empty()) {
        const int c = compareRows(*s, sortKeys, a, b);
        if (c != 0)
            return c < 0;
    }
    return s->rank(a) < s->rank(b);
}

std::vector<int> Recordset::Impl::indexesOf(const std::vector<qint32>& rows) const
{
    std::vector<int> indexes;
    indexes.reserve(rows.size());
    for (qint32 r : rows)
        indexes.push_back(viewIndexOf(r));
    return indexes;
}

void Recordset::Impl::rowsReread(const std::vector<qint32>& before, const std::vector<int>& shownAt,
                                 const std::vector<qint32>& after, const QSet<qint32>& changed, bool leftGoesFirst)
{
    const qint64 current = currentRowId();
    const bool atEof = deletedCurrent < 0 && pos >= count();
    deletedCurrent = -1;

    // The rows read again as the view showed them, by index.
    std::vector<std::pair<int, qint32>> shown;
    for (size_t i = 0; i < before.size(); ++i) {
        if (shownAt[i] >= 0)
            shown.push_back({shownAt[i], before[i]});
    }
    std::sort(shown.begin(), shown.end());
    const int others = count() - int(shown.size());
    // Index in the view of the b-th row that was not read again.
    auto viewIndexOfOther = [&](int b) {
        int v = b;
        for (const auto& s : shown) {
            if (s.first <= v)
                ++v;
            else
                break;
        }
        return v;
    };

    // Where each row read again belongs now: among the other rows by the view's order, among
    // themselves likewise.
    std::vector<qint32> wanted;
    RowReader reader(*s);
    for (qint32 r : after) {
        if (s->isLive(r) && (!filter || matches(reader, r)))
            wanted.push_back(r);
    }
    std::stable_sort(wanted.begin(), wanted.end(), [this](qint32 a, qint32 b) { return precedes(a, b); });
    std::vector<int> target(wanted.size());
    for (size_t j = 0; j < wanted.size(); ++j) {
        int lo = 0, hi = others;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (precedes(view[size_t(viewIndexOfOther(mid))], wanted[j]))
                lo = mid + 1;
            else
                hi = mid;
        }
        target[j] = lo + int(j);
    }

    // Rows that keep their place among the other rows stay; the others leave and come back.
    QHash<qint32, int> slotBefore;
    for (size_t k = 0; k < shown.size(); ++k)
        slotBefore.insert(shown[k].second, shown[k].first - int(k));
    QSet<qint32> kept;
    int lastKept = -1;
    for (size_t j = 0; j < wanted.size(); ++j) {
        const auto it = slotBefore.constFind(wanted[j]);
        if (it == slotBefore.constEnd())
            continue;
        // The slot among the other rows before and after, and the order among the rows kept.
        const int slotAfter = target[j] - int(j);
        int keptBefore = 0;
        for (size_t k = 0; k < shown.size() && shown[k].second != wanted[j]; ++k)
            keptBefore += kept.contains(shown[k].second) ? 1 : 0;
        if (*it == slotAfter && keptBefore == int(kept.size()) && int(j) > lastKept) {
            kept.insert(wanted[j]);
            lastKept = int(j);
        }
    }

    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        if (kept.contains(it->second))
            continue;
        const int index = it->first;
        emit q->rowsAboutToBeRemoved(index, index);
        view.erase(view.begin() + index);
        if (index < pos)
            --pos;
        emit q->rowsRemoved(index, index);
    }
    for (size_t j = 0; j < wanted.size(); ++j) {
        if (kept.contains(wanted[j]))
            continue;
        const int index = target[j];
        emit q->rowsAboutToBeInserted(index, index);
        view.insert(view.begin() + index, wanted[j]);
        if (index <= pos)
            ++pos;
        emit q->rowsInserted(index, index);
    }
    invalidateInverse();
    for (size_t j = 0; j < wanted.size(); ++j) {
        if (kept.contains(wanted[j]) && changed.contains(wanted[j]))
            emit q->rowChanged(target[j]);
    }

    // The current record stays; one that left goes to the first row read again, else keeps its
    // place (the row after it).
    int index = current >= 0 ? viewIndexOf(current) : -1;
    if (index < 0 && current >= 0 && !wanted.empty() && !leftGoesFirst)
        index = target[0];
    if (index >= 0)
        pos = index;
    else if (leftGoesFirst)
        pos = count() > 0 ? 0 : -1;
    else if (atEof)
        pos = count();
    else
        pos = std::clamp(pos, count() > 0 ? 0 : -1, count());
    if (currentRowId() != current) {
        emit q->willMove();
        emit q->moveComplete();
    }
}

DbResult Recordset::Impl::fail(const DbResult& result)
{
    emit q->error(result);
    return result;
}

// ---------------------------------------------------------------------------------------------
// Opening

Recordset::Recordset(QObject* parent)
    : QObject(parent)
    , d(std::make_shared<Impl>())
{
    d->q = this;
}

Recordset::~Recordset()
{
    d->detach();
}

DbResult Recordset::open(std::shared_ptr<Connection> db, const QString& sql, const QVariantList& params)
{
    close();
    if (!db)
        return d->fail(DbResult::failure(DbError::Other, QStringLiteral("Nessuna connessione all'archivio.")));
    auto shared = std::make_shared<Shared>();
    shared->db = std::move(db);
    shared->sql = sql;
    shared->params = params;
    const DbResult r = loadQuery(*shared);
    if (!r.ok())
        return d->fail(r);
    emit modelAboutToReset();
    d->attach(std::move(shared));
    d->rebuildView();
    d->pos = d->count() > 0 ? 0 : -1;
    emit modelReset();
    emit moveComplete();
    return {};
}

void Recordset::appendField(const QString& name, int adoType, int definedSize)
{
    if (d->s)
        throw RecordsetError("Campo aggiunto a un recordset aperto.");
    if (!d->building)
        d->building = std::make_shared<Shared>();
    FieldInfo info;
    info.name = name;
    info.type = adoType;
    info.definedSize = definedSize;
    d->building->addField(info, FieldMeta());
}

void Recordset::openInMemory()
{
    close();
    std::shared_ptr<Shared> shared = d->building ? d->building : std::make_shared<Shared>();
    d->building.reset();
    shared->inMemory = true;
    shared->indexFields();
    shared->columns.clear();
    for (const FieldInfo& f : shared->fields)
        shared->columns.push_back(makeColumn(storageFor(f.type)));
    emit modelAboutToReset();
    d->attach(std::move(shared));
    emit modelReset();
    emit moveComplete();
}

DbResult Recordset::requery()
{
    if (!d->s)
        return d->fail(closedError());
    if (d->s->inMemory || !d->s->db)
        return d->fail(
            DbResult::failure(DbError::Other, QStringLiteral("Il recordset non ha una query da rileggere.")));
    // Nothing written since the rows were read: they are what a new read would give.
    Shared& current = *d->s;
    if (current.cursors.size() == 1 && current.version.isValid() && current.db->dataVersion() == current.version) {
        for (auto it = current.touched.begin(); it != current.touched.end(); ++it) {
            if (it->status == RowStatus::Unmodified)
                continue;
            if (it->status == RowStatus::New)
                current.flags[it.key()] |= kGone;
            it->status = RowStatus::Unmodified;
            it->pending.fill(QVariant());
            it->pendingSet.fill(false);
        }
        current.pendingRows = 0;
        ++current.generation;
        emit willMove();
        emit modelAboutToReset();
        d->filter.reset();
        d->filterText.clear();
        d->sortKeys.clear();
        d->sortText.clear();
        d->sorted.clear();
        d->deletedCurrent = -1;
        d->rebuildView();
        d->pos = d->count() > 0 ? 0 : -1;
        emit modelReset();
        emit moveComplete();
        return {};
    }
    auto shared = std::make_shared<Shared>();
    shared->db = current.db;
    shared->sql = current.sql;
    shared->params = current.params;
    shared->uniqueTable = current.uniqueTable;
    // The old rows stay until the new ones are read whole: a read that fails changes nothing.
    const DbResult r = loadQuery(*shared);
    if (!r.ok())
        return d->fail(r);
    emit willMove();
    emit modelAboutToReset();
    std::shared_ptr<Shared> old = d->s;
    d->attach(std::move(shared));
    d->rebuildView();
    d->pos = d->count() > 0 ? 0 : -1;
    emit modelReset();
    emit moveComplete();
    // The old rows go once the new ones are shown, on a worker: the clerk does not wait for them.
    releaseSnapshot(std::move(old));
    return {};
}

DataVersion Recordset::readVersion() const
{
    return d->s ? d->s->version : DataVersion();
}

void Recordset::adoptVersion(const DataVersion& version)
{
    if (d->s)
        d->s->version = version;
}

void Recordset::useConnection(std::shared_ptr<Connection> db)
{
    if (!d->s || d->s->inMemory || !d->s->db || !db)
        return;
    d->s->db = std::move(db);
    // What the rows show was read with the other key: nothing says the file still holds it.
    d->s->version = DataVersion();
}

int Recordset::readThreads() const
{
    return d->s ? d->s->readThreads : 0;
}

void Recordset::setParallelRead(int threads, qint64 minKeys)
{
    setReadPieces(threads, minKeys);
}

void Recordset::close()
{
    if (!d->s)
        return;
    emit modelAboutToReset();
    d->detach();
    emit modelReset();
}

bool Recordset::isOpen() const
{
    return d->s != nullptr;
}

std::shared_ptr<Connection> Recordset::connection() const
{
    return d->s ? d->s->db : nullptr;
}

QString Recordset::source() const
{
    return d->s ? d->s->sql : QString();
}

// ---------------------------------------------------------------------------------------------
// Fields

int Recordset::fieldCount() const
{
    if (d->s)
        return int(d->s->fields.size());
    return d->building ? int(d->building->fields.size()) : 0;
}

const FieldInfo& Recordset::field(int index) const
{
    const Shared* s = d->s ? d->s.get() : d->building.get();
    if (!s || index < 0 || index >= s->fields.size())
        throw RecordsetError(QStringLiteral("Campo %1 inesistente.").arg(index).toStdString());
    return s->fields[index];
}

int Recordset::fieldIndex(const QString& name) const
{
    return d->s ? d->s->fieldIndex(name) : -1;
}

QVariant Recordset::value(int index) const
{
    const qint64 row = d->requireCurrent();
    if (index < 0 || index >= d->s->fields.size())
        throw RecordsetError(QStringLiteral("Campo %1 inesistente.").arg(index).toStdString());
    return d->s->value(row, index);
}

QVariant Recordset::value(const QString& name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw RecordsetError(QStringLiteral("Campo sconosciuto o ambiguo: %1").arg(name).toStdString());
    return value(index);
}

QVariant Recordset::valueAt(int row, int column) const
{
    if (!d->s || row < 0 || row >= d->count() || column < 0 || column >= d->s->fields.size())
        throw RecordsetError(QStringLiteral("Cella %1, %2 inesistente.").arg(row).arg(column).toStdString());
    return d->s->value(d->view[size_t(row)], column);
}

// ---------------------------------------------------------------------------------------------
// Position

bool Recordset::bof() const
{
    if (d->deletedCurrent >= 0)
        return false;
    return d->count() == 0 || d->pos < 0;
}

bool Recordset::eof() const
{
    if (d->deletedCurrent >= 0)
        return false;
    return d->count() == 0 || d->pos >= d->count();
}

int Recordset::recordCount() const
{
    return d->count();
}

int Recordset::absolutePosition() const
{
    const int row = currentRow();
    return row >= 0 ? row + 1 : 0;
}

void Recordset::setAbsolutePosition(int position)
{
    if (!d->s)
        return;
    d->moveTo(position < 1 ? -1 : std::min(position - 1, d->count()));
}

int Recordset::currentRow() const
{
    if (d->deletedCurrent >= 0 || d->pos < 0 || d->pos >= d->count())
        return -1;
    return d->pos;
}

void Recordset::setCurrentRow(int row)
{
    if (d->s && row >= 0 && row < d->count())
        d->moveTo(row);
}

void Recordset::moveFirst()
{
    if (d->s)
        d->moveTo(d->count() > 0 ? 0 : -1);
}

void Recordset::moveLast()
{
    if (d->s)
        d->moveTo(d->count() - 1);
}

void Recordset::moveNext()
{
    if (!d->s)
        return;
    d->moveTo(d->deletedCurrent >= 0 ? d->pos : std::min(d->pos + 1, d->count()));
}

void Recordset::movePrevious()
{
    if (!d->s)
        return;
    d->moveTo(std::max(d->pos - 1, -1));
}

Bookmark Recordset::bookmark() const
{
    const qint64 row = d->currentRowId();
    return row >= 0 ? row + 1 : 0;
}

bool Recordset::setBookmark(Bookmark mark)
{
    const int index = rowOfBookmark(mark);
    if (index < 0)
        return false;
    d->moveTo(index);
    return true;
}

Bookmark Recordset::bookmarkAt(int row) const
{
    if (row < 0 || row >= d->count())
        return 0;
    return Bookmark(d->view[size_t(row)]) + 1;
}

int Recordset::rowOfBookmark(Bookmark mark) const
{
    if (mark < 1)
        return -1;
    return d->viewIndexOf(mark - 1);
}

// ---------------------------------------------------------------------------------------------
// Filter, find, sort

DbResult Recordset::setFilter(const QString& criteria)
{
    if (!d->s)
        return closedError();
    if (criteria.trimmed().isEmpty()) {
        clearFilter();
        return {};
    }
    QString why;
    std::unique_ptr<Criteria> parsed = Criteria::parse(criteria, resolverFor(d->s), &why);
    if (!parsed)
        return DbResult::failure(DbError::Other, why);
    applyFilter(std::move(parsed), criteria);
    return {};
}

void Recordset::clearFilter()
{
    if (!d->s)
        return;
    applyFilter(nullptr, QString());
}

void Recordset::applyFilter(std::unique_ptr<Criteria> filter, const QString& text)
{
    emit willMove();
    emit modelAboutToReset();
    d->filter = std::move(filter);
    d->filterText = text;
    d->rebuildView();
    d->deletedCurrent = -1;
    d->pos = d->count() > 0 ? 0 : -1;
    emit modelReset();
    emit moveComplete();
}

bool Recordset::hasFilter() const
{
    return d->filter != nullptr;
}

QString Recordset::filterText() const
{
    return d->filter ? d->filterText : QStringLiteral("none");
}

bool Recordset::find(const QString& criteria, int skip, SearchDirection direction, Bookmark start, DbResult* error)
{
    DbResult local;
    DbResult& err = error ? *error : local;
    err = {};
    if (!d->s) {
        err = closedError();
        return false;
    }
    QString why;
    std::unique_ptr<Criteria> parsed = Criteria::parse(criteria, resolverFor(d->s), &why);
    if (!parsed) {
        err = DbResult::failure(DbError::Other, why);
        return false;
    }
    if (!parsed->isSingleClause()) {
        err = DbResult::failure(DbError::Other,
                                QStringLiteral("La ricerca accetta una sola condizione: %1").arg(criteria));
        return false;
    }
    const int n = d->count();
    const int step = direction == SearchDirection::Backward ? -1 : 1;
    int from;
    if (start == kBookmarkCurrent) {
        if (d->deletedCurrent >= 0) {
            // The deleted record sits just before the row at pos.
            const int extra = std::max(skip - 1, 0);
            from = step > 0 ? d->pos + extra : d->pos - 1 - extra;
        } else if (d->pos < 0 || d->pos >= n) {
            from = step > 0 ? (d->pos < 0 ? 0 : n) : (d->pos >= n ? n - 1 : -1);
        } else {
            from = d->pos + skip * step;
        }
    } else if (start == kBookmarkFirst) {
        from = skip * step;
    } else if (start == kBookmarkLast) {
        from = n - 1 + skip * step;
    } else {
        const int index = rowOfBookmark(start);
        if (index < 0) {
            err = DbResult::failure(DbError::Other, QStringLiteral("Segnalibro non valido."));
            return false;
        }
        from = index + skip * step;
    }
    if (step > 0)
        from = std::max(from, 0);
    else
        from = std::min(from, n - 1);

    RowReader reader(*d->s);
    for (int i = from; i >= 0 && i < n; i += step) {
        reader.setRow(d->view[size_t(i)]);
        if (parsed->matches(reader)) {
            d->moveTo(i);
            return true;
        }
    }
    d->moveTo(step > 0 ? n : -1);
    return false;
}

DbResult Recordset::setSort(const QString& sort)
{
    if (!d->s)
        return closedError();
    std::vector<SortKey> keys;
    const QStringList parts = sort.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& raw : parts) {
        QString part = raw.trimmed();
        bool descending = false;
        if (part.endsWith(QLatin1String(" DESC"), Qt::CaseInsensitive)) {
            descending = true;
            part.chop(5);
        } else if (part.endsWith(QLatin1String(" ASC"), Qt::CaseInsensitive)) {
            part.chop(4);
        }
        const int column = d->s->fieldIndex(part.trimmed());
        if (part.trimmed().isEmpty() || column < 0)
            return DbResult::failure(DbError::Other,
                                     QStringLiteral("Chiave di ordinamento non valida: %1").arg(raw.trimmed()));
        keys.push_back({column, descending});
    }
    const qint64 current = d->currentRowId();
    const bool atEof = d->deletedCurrent < 0 && d->pos >= d->count();
    emit modelAboutToReset();
    d->sortKeys = keys;
    d->sortText = keys.empty() ? QString() : sort.trimmed();
    d->sortedGeneration = ~quint64(0);
    d->rebuildView();
    d->deletedCurrent = -1;
    const int index = current >= 0 ? d->viewIndexOf(current) : -1;
    d->pos = index >= 0 ? index : (atEof ? d->count() : -1);
    if (d->count() == 0)
        d->pos = -1;
    emit modelReset();
    return {};
}

QString Recordset::sort() const
{
    return d->sortText;
}

std::shared_ptr<Recordset> Recordset::clone()
{
    auto copy = std::make_shared<Recordset>();
    if (d->s) {
        copy->d->attach(d->s);
        copy->d->rebuildView();
        copy->d->pos = copy->d->count() > 0 ? 0 : -1;
    }
    return copy;
}

// ---------------------------------------------------------------------------------------------
// Text

QString Recordset::getString(const QString& columnSep, const QString& rowSep, const QString& nullExpr, int rows)
{
    QString out;
    if (!d->s)
        return out;
    const int n = d->count();
    int i = d->deletedCurrent >= 0 ? d->pos : std::max(d->pos, 0);
    const int columns = int(d->s->fields.size());
    int taken = 0;
    for (; i < n && (rows < 0 || taken < rows); ++i, ++taken) {
        const qint64 row = d->view[size_t(i)];
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out += columnSep;
            const QVariant v = d->s->value(row, c);
            if (v.isNull())
                out += nullExpr;
            else if (v.metaType().id() == QMetaType::Bool)
                out += v.toBool() ? QLatin1String("-1") : QLatin1String("0");
            else
                out += displayOf(v);
        }
        out += rowSep;
    }
    d->moveTo(i);
    return out;
}

QString Recordset::displayText(const QVariant& value)
{
    return displayOf(value);
}

} // namespace quad
