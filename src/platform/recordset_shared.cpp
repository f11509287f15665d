#include "date_text.h"
#include "field_text.h"
#include "recordset_p.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QThreadPool>
#include <QTime>

#include <cmath>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace quad::rs {

namespace {

const QVariant kNull;

QString normalizeName(const QString& name)
{
    QString n = name;
    n.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
    return n.trimmed().toLower();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Fields

Shared::~Shared()
{
    // A large register given back: its pages go back to the system, not only to the allocator
    // (which keeps the freed heap of every thread that read a piece).
    const bool large = baseRows >= kChunkSize;
    columns.clear();
    rowids.clear();
    flags = Chunked<quint8>();
    touched.clear();
#ifdef __GLIBC__
    if (large)
        malloc_trim(0);
#endif
}

void releaseSnapshot(std::shared_ptr<Shared> snapshot)
{
    if (!snapshot || snapshot.use_count() > 1 || snapshot->baseRows < kChunkSize)
        return;
    // The worker holds the last reference: the snapshot is freed there, never here.
    auto* last = new std::shared_ptr<Shared>(std::move(snapshot));
    QThreadPool::globalInstance()->start([last] { delete last; });
}

void Shared::addField(const FieldInfo& info, const FieldMeta& fieldMeta)
{
    fields.append(info);
    meta.append(fieldMeta);
}

void Shared::indexFields()
{
    byName.clear();
    byQualified.clear();
    for (int i = 0; i < fields.size(); ++i) {
        const QString key = fields[i].name.toLower();
        byName.insert(key, byName.contains(key) ? -2 : i);
        if (!fields[i].table.isEmpty()) {
            const QString q = fields[i].table.toLower() + QLatin1Char('.') + key;
            byQualified.insert(q, byQualified.contains(q) ? -2 : i);
        }
    }
    for (FieldInfo& f : fields)
        f.uniqueName = byName.value(f.name.toLower()) == -2 ? f.qualifiedName() : f.name;
}

int Shared::fieldIndex(const QString& name, bool* ambiguous) const
{
    if (ambiguous)
        *ambiguous = false;
    const QString key = normalizeName(name);
    const auto bare = byName.constFind(key);
    if (bare != byName.constEnd()) {
        if (*bare >= 0)
            return *bare;
        if (ambiguous)
            *ambiguous = true;
        return -1;
    }
    const auto qualified = byQualified.constFind(key);
    if (qualified != byQualified.constEnd() && *qualified >= 0)
        return *qualified;
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Rows

bool Shared::isLive(qsizetype row) const
{
    const quint8 f = flags[row];
    if (f & kGone)
        return false;
    if (f & kTouched)
        return touched.find(row)->status != RowStatus::Deleted;
    return true;
}

RowState* Shared::state(qsizetype row)
{
    if (!(flags[row] & kTouched))
        return nullptr;
    auto it = touched.find(row);
    return it == touched.end() ? nullptr : &*it;
}

const RowState* Shared::state(qsizetype row) const
{
    if (!(flags[row] & kTouched))
        return nullptr;
    auto it = touched.constFind(row);
    return it == touched.constEnd() ? nullptr : &*it;
}

RowState& Shared::touch(qsizetype row)
{
    if (RowState* st = state(row))
        return *st;
    RowState st;
    st.committed.resize(fields.size());
    st.committedSet.resize(fields.size());
    st.pending.resize(fields.size());
    st.pendingSet.resize(fields.size());
    flags[row] |= kTouched;
    return *touched.insert(row, st);
}

const QVariant* Shared::loose(qsizetype row, int column) const
{
    const RowState* st = state(row);
    if (!st)
        return nullptr;
    if (st->pendingSet.testBit(column))
        return &st->pending[column];
    if (st->committedSet.testBit(column))
        return &st->committed[column];
    if (st->isNew)
        return &kNull;
    return nullptr;
}

QVariant Shared::value(qsizetype row, int column) const
{
    if (const QVariant* v = loose(row, column))
        return *v;
    return columns[size_t(column)]->value(row);
}

bool Shared::isNull(qsizetype row, int column) const
{
    if (const QVariant* v = loose(row, column))
        return v->isNull();
    return columns[size_t(column)]->isNull(row);
}

qint64 Shared::rowid(qsizetype row, int table) const
{
    if (row < baseRows)
        return rowids[size_t(table)][row];
    const RowState* st = state(row);
    if (!st || st->rowids.size() <= size_t(table))
        return kNoRowid;
    return st->rowids[size_t(table)];
}

void Shared::setRowid(qsizetype row, int table, qint64 id)
{
    if (row < baseRows) {
        rowids[size_t(table)][row] = id;
        return;
    }
    RowState& st = touch(row);
    if (st.rowids.size() < tables.size())
        st.rowids.resize(tables.size(), kNoRowid);
    st.rowids[size_t(table)] = id;
}

RowStatus Shared::status(qsizetype row) const
{
    const RowState* st = state(row);
    return st ? st->status : RowStatus::Unmodified;
}

qsizetype Shared::addRow()
{
    const qsizetype row = totalRows++;
    flags.push_back(0);
    if (!order.empty()) {
        rankOf.push_back(qint32(order.size()));
        order.push_back(qint32(row));
    }
    RowState& st = touch(row);
    st.isNew = true;
    st.status = RowStatus::New;
    return row;
}

void Shared::setOrder(std::vector<qint32> rows)
{
    std::vector<qint32> place(size_t(totalRows), -1);
    for (size_t i = 0; i < rows.size(); ++i)
        place[size_t(rows[i])] = qint32(i);
    for (qsizetype r = 0; r < totalRows; ++r) {
        if (place[size_t(r)] < 0) {
            place[size_t(r)] = qint32(rows.size());
            rows.push_back(qint32(r));
        }
    }
    bool own = true;
    for (size_t i = 0; i < rows.size() && own; ++i)
        own = rows[i] == qint32(i);
    if (own) {
        order.clear();
        rankOf.clear();
    } else {
        order = std::move(rows);
        rankOf = std::move(place);
    }
}

// ---------------------------------------------------------------------------------------------
// Criteria access

RowReader::RowReader(const Shared& shared)
    : m_s(shared)
    , m_scratch(size_t(shared.fields.size()))
{
}

void RowReader::setRow(qsizetype row)
{
    m_row = row;
    m_rowState = m_s.state(row);
}

const QVariant* RowReader::loose(int column) const
{
    if (!m_rowState)
        return nullptr;
    return m_s.loose(m_row, column);
}

bool RowReader::isNull(int column) const
{
    if (const QVariant* v = loose(column))
        return v->isNull();
    return m_s.columns[size_t(column)]->isNull(m_row);
}

qint64 RowReader::integer(int column) const
{
    if (const QVariant* v = loose(column))
        return variantInteger(*v);
    return m_s.columns[size_t(column)]->integer(m_row);
}

double RowReader::real(int column) const
{
    if (const QVariant* v = loose(column))
        return variantReal(*v);
    return m_s.columns[size_t(column)]->real(m_row);
}

QStringView RowReader::text(int column) const
{
    TextScratch& scratch = m_scratch[size_t(column)];
    if (const QVariant* v = loose(column)) {
        scratch.text = v->isNull() ? QString() : displayOf(*v);
        return scratch.text;
    }
    return m_s.columns[size_t(column)]->text(m_row, scratch);
}

qint64 RowReader::dateTime(int column) const
{
    if (const QVariant* v = loose(column))
        return variantDateTime(*v);
    return m_s.columns[size_t(column)]->dateTime(m_row);
}

ColumnReader::ColumnReader(const Shared& shared)
    : m_s(shared)
    , m_reader(shared)
{
}

bool ColumnReader::plain(const qint32* rows, qsizetype n) const
{
    if (m_s.touched.isEmpty())
        return true;
    for (qsizetype i = 0; i < n; ++i) {
        if (m_s.flags[rows[i]] & kTouched)
            return false;
    }
    return true;
}

const CriteriaRow& ColumnReader::row(qint32 row) const
{
    m_reader.setRow(row);
    return m_reader;
}

template <typename T, typename FromColumn, typename FromRow>
void ColumnReader::read(int column, const qint32* rows, qsizetype n, quint8* null, T* values, FromColumn fromColumn,
                        FromRow fromRow) const
{
    if (plain(rows, n))
        return (m_s.columns[size_t(column)].get()->*fromColumn)(rows, n, null, values);
    for (qsizetype i = 0; i < n; ++i) {
        const CriteriaRow& r = row(rows[i]);
        null[i] = quint8(r.isNull(column));
        values[i] = null[i] ? 0 : (r.*fromRow)(column);
    }
}

void ColumnReader::integers(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const
{
    read(column, rows, n, null, values, &Column::integers, &CriteriaRow::integer);
}

void ColumnReader::reals(int column, const qint32* rows, qsizetype n, quint8* null, double* values) const
{
    read(column, rows, n, null, values, &Column::reals, &CriteriaRow::real);
}

void ColumnReader::dateTimes(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const
{
    read(column, rows, n, null, values, &Column::dateTimes, &CriteriaRow::dateTime);
}

void ColumnReader::texts(int column, const qint32* rows, qsizetype n, Text* values) const
{
    if (plain(rows, n))
        return m_s.columns[size_t(column)]->texts(rows, n, values, m_made);
    m_made.resize(size_t(n));
    for (qsizetype i = 0; i < n; ++i) {
        const CriteriaRow& r = row(rows[i]);
        Text& out = values[i];
        out = {};
        if (r.isNull(column))
            continue;
        m_made[size_t(i)] = r.text(column).toString();
        out.data = m_made[size_t(i)].utf16();
        out.size = m_made[size_t(i)].size();
        out.wide = true;
        out.null = false;
    }
}

CriteriaFieldResolver resolverFor(const std::shared_ptr<Shared>& shared)
{
    const Shared* s = shared.get();
    return [s](const QString& name, bool* ambiguous) -> std::optional<CriteriaField> {
        bool repeated = false;
        const int index = s->fieldIndex(name, &repeated);
        if (ambiguous)
            *ambiguous = repeated;
        if (index < 0)
            return std::nullopt;
        return CriteriaField {index, criteriaTypeFor(s->fields[index].type)};
    };
}

// ---------------------------------------------------------------------------------------------
// Conversions

namespace {

bool isNumberType(int id)
{
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

} // namespace

bool convertForField(const FieldInfo& field, const QVariant& in, QVariant* out, QString* error)
{
    const int id = in.metaType().id();
    const bool isText = id == QMetaType::QString || id == QMetaType::QByteArray || id == QMetaType::QChar;
    const Storage storage = storageFor(field.type);
    auto refuse = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("Valore non valido per il campo %1: %2").arg(field.uniqueName, why);
        return false;
    };

    if (!in.isValid() || in.isNull()) {
        *out = QVariant();
        return true;
    }
    // A blank text empties any field that is not text.
    if (isText && storage != Storage::Text && in.toString().trimmed().isEmpty()) {
        *out = QVariant();
        return true;
    }

    switch (storage) {
    case Storage::Text: {
        const QString text = isText ? in.toString() : displayOf(in);
        if (field.definedSize > 0 && text.size() > field.definedSize)
            return refuse(QStringLiteral("testo più lungo di %1 caratteri").arg(field.definedSize));
        *out = text;
        return true;
    }
    case Storage::Integer: {
        if (id == QMetaType::Bool) {
            *out = qint64(in.toBool() ? -1 : 0);
            return true;
        }
        double v = 0;
        if (isNumberType(id)) {
            if (id == QMetaType::Double || id == QMetaType::Float)
                v = in.toDouble();
            else {
                *out = in.toLongLong();
                return true;
            }
        } else if (isText) {
            const std::optional<QVariant> whole = valueFromText(in.toString(), FieldKind::Integer);
            if (!whole)
                return refuse(in.toString());
            *out = *whole;
            return true;
        } else {
            return refuse(in.toString());
        }
        if (!std::isfinite(v) || std::fabs(v) > 9.2e18)
            return refuse(in.toString());
        *out = qint64(qRound64(v));
        return true;
    }
    case Storage::Real: {
        if (id == QMetaType::Bool) {
            *out = in.toBool() ? -1.0 : 0.0;
            return true;
        }
        double v = 0;
        if (isNumberType(id)) {
            v = in.toDouble();
        } else if (isText) {
            const std::optional<QVariant> real = valueFromText(in.toString(), FieldKind::Real);
            if (!real)
                return refuse(in.toString());
            v = real->toDouble();
        } else {
            return refuse(in.toString());
        }
        if (!std::isfinite(v))
            return refuse(in.toString());
        *out = v;
        return true;
    }
    case Storage::Boolean: {
        if (id == QMetaType::Bool) {
            *out = in.toBool();
            return true;
        }
        if (isNumberType(id)) {
            *out = in.toDouble() != 0.0;
            return true;
        }
        if (isText) {
            if (const std::optional<QVariant> b = valueFromText(in.toString(), FieldKind::YesNo)) {
                *out = *b;
                return true;
            }
        }
        return refuse(in.toString());
    }
    case Storage::DateTime: {
        switch (id) {
        case QMetaType::QDate:
            if (!in.toDate().isValid())
                return refuse(QStringLiteral("data non valida"));
            *out = in.toDate();
            return true;
        case QMetaType::QTime:
            if (!in.toTime().isValid())
                return refuse(QStringLiteral("ora non valida"));
            *out = in.toTime();
            return true;
        case QMetaType::QDateTime:
            if (!in.toDateTime().isValid())
                return refuse(QStringLiteral("data non valida"));
            *out = in.toDateTime();
            return true;
        default:
            break;
        }
        if (!isText)
            return refuse(in.toString());
        const std::optional<QVariant> when = valueFromText(in.toString(), fieldKindOfAdoType(field.type));
        if (!when)
            return refuse(in.toString());
        *out = *when;
        return true;
    }
    }
    return refuse(in.toString());
}

QString displayOf(const QVariant& value)
{
    return textOfValue(value);
}

} // namespace quad::rs
