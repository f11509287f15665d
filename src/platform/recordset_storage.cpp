#include "recordset_storage.h"

#include "database.h"
#include "date_text.h"
#include "field_text.h"

#include <sqlcipher/sqlite3.h>

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

namespace quad::rs {

// ---------------------------------------------------------------------------------------------
// Memory

namespace {

/// Every block starts with its size and how it was made; the data follows, 16-byte aligned.
struct BlockHeader
{
    size_t bytes; ///< usable bytes after the header
    size_t mapped; ///< bytes of address space held (header included), 0 when from the allocator
};
static_assert(sizeof(BlockHeader) == 16, "the data stays 16-byte aligned");

constexpr size_t kMapFrom = 64 * 1024;
/// Address space a growing block holds once it is mapped, so that it goes on growing where it
/// is: a mapping moved to grow stops every thread of the process for the move.
constexpr size_t kMapReserve = size_t(32) << 20;

size_t pageRounded(size_t bytes)
{
    const size_t page = 4096;
    return (bytes + page - 1) & ~(page - 1);
}

BlockHeader* headerOf(void* block)
{
    return static_cast<BlockHeader*>(block) - 1;
}

/// True where the system counts address space as memory (overcommit mode 2): there, a block
/// holds no more than it uses.
bool strictCommit()
{
    static const bool strict = [] {
        char mode = 0;
        if (FILE* f = std::fopen("/proc/sys/vm/overcommit_memory", "r")) {
            mode = char(std::fgetc(f));
            std::fclose(f);
        }
        return mode == '2';
    }();
    return strict;
}

/// A mapping of size bytes, or of kMapReserve for a block that grows (its pages are only used
/// once written).
BlockHeader* newMapping(size_t size, bool growing)
{
    if (growing && size < kMapReserve && !strictCommit()) {
        void* reserved
            = mmap(nullptr, kMapReserve, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (reserved != MAP_FAILED) {
            auto* made = static_cast<BlockHeader*>(reserved);
            made->mapped = kMapReserve;
            return made;
        }
    }
    void* mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    auto* made = static_cast<BlockHeader*>(mapped);
    made->mapped = size;
    return made;
}

} // namespace

void* resizeBlock(void* block, size_t bytes)
{
    BlockHeader* old = block ? headerOf(block) : nullptr;
    const size_t total = sizeof(BlockHeader) + bytes;
    BlockHeader* made = nullptr;
    if (bytes < kMapFrom && (!old || old->mapped == 0)) {
        made = static_cast<BlockHeader*>(std::realloc(old, total));
        if (made)
            made->mapped = 0;
    } else if (old && old->mapped != 0) {
        const size_t size = pageRounded(total);
        if (size <= old->mapped && bytes >= old->bytes) {
            made = old; // the room is held already
        } else {
            // A block that shrinks gives the rest back where it is; one that outgrows its room
            // takes twice as much, moved if it must.
            const size_t room = size < old->mapped ? size : std::max(size, 2 * old->mapped);
            void* moved = room == old->mapped ? old : mremap(old, old->mapped, room, MREMAP_MAYMOVE);
            if (moved != MAP_FAILED) {
                made = static_cast<BlockHeader*>(moved);
                made->mapped = room;
            }
        }
    } else {
        // From the allocator to a mapping of its own (or a new mapping): copied once.
        made = newMapping(pageRounded(total), old != nullptr);
        if (made && old) {
            std::memcpy(made + 1, old + 1, std::min(old->bytes, bytes));
            std::free(old);
        }
    }
    if (!made)
        throw std::bad_alloc();
    made->bytes = bytes;
    return made + 1;
}

void freeBlock(void* block)
{
    if (!block)
        return;
    BlockHeader* h = headerOf(block);
    if (h->mapped != 0)
        munmap(h, h->mapped);
    else
        std::free(h);
}

// ---------------------------------------------------------------------------------------------
// Types

Storage storageFor(int adoType)
{
    switch (fieldKindOfAdoType(adoType)) {
    case FieldKind::Integer:
    case FieldKind::Count:
        return Storage::Integer;
    case FieldKind::Real:
        return Storage::Real;
    case FieldKind::YesNo:
        return Storage::Boolean;
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
        return Storage::DateTime;
    case FieldKind::Text:
        break;
    }
    return Storage::Text;
}

int criteriaTypeFor(int adoType)
{
    switch (storageFor(adoType)) {
    case Storage::Integer:
        return adInteger;
    case Storage::Real:
        return adDouble;
    case Storage::Boolean:
        return adBoolean;
    case Storage::DateTime:
        return adDate;
    case Storage::Text:
        break;
    }
    return (adoType == adLongVarWChar || adoType == 201) ? adLongVarWChar : adVarWChar;
}

// ---------------------------------------------------------------------------------------------
// Text folding

char16_t foldChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    const char32_t folded = QChar::toCaseFolded(char32_t(c));
    return folded > 0xFFFF ? c : char16_t(folded);
}

// ---------------------------------------------------------------------------------------------
// Dates

namespace {

/// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
qint64 daysFromCivil(qint64 y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + qint64(doe) - 719468;
}

const qint64 kEpochDays = daysFromCivil(1899, 12, 30);

qint64 epochJulianDay()
{
    static const qint64 jd = QDate(1899, 12, 30).toJulianDay();
    return jd;
}

bool leap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : days[m - 1];
}

inline bool digits(const char* s, int n, int* value)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        const char c = s[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

bool readIsoDate(const char* s, qint64* days)
{
    int y, m, d;
    if (s[4] != '-' || s[7] != '-' || !digits(s, 4, &y) || !digits(s + 5, 2, &m) || !digits(s + 8, 2, &d))
        return false;
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m))
        return false;
    *days = daysFromCivil(y, unsigned(m), unsigned(d)) - kEpochDays;
    return true;
}

bool readIsoTime(const char* s, qsizetype n, qint64* secs)
{
    int h, m, sec = 0;
    if (n != 5 && n != 8)
        return false;
    if (s[2] != ':' || !digits(s, 2, &h) || !digits(s + 3, 2, &m))
        return false;
    if (n == 8 && (s[5] != ':' || !digits(s + 6, 2, &sec)))
        return false;
    if (h > 23 || m > 59 || sec > 59)
        return false;
    *secs = h * 3600 + m * 60 + sec;
    return true;
}

inline qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

qint64 packDate(qint64 serialSeconds, DateKind kind)
{
    return serialSeconds * 4 + kind;
}

QVariant unpackDate(qint64 packed)
{
    const qint64 kind = packed & 3;
    const qint64 serial = packed >> 2;
    const qint64 days = floorDiv(serial, 86400);
    const int secs = int(serial - days * 86400);
    const QTime time = QTime::fromMSecsSinceStartOfDay(secs * 1000);
    switch (kind) {
    case kDateOnly:
        return QDate::fromJulianDay(days + epochJulianDay());
    case kTimeOnly:
        return time;
    case kDateAndTime: {
        const QDate date = QDate::fromJulianDay(days + epochJulianDay());
        QDateTime dt(date, time);
        if (!dt.isValid()) // a local time that a clock change skips
            dt = QDateTime(date, time, Qt::UTC);
        return dt;
    }
    default:
        return QVariant();
    }
}

qint64 packDateText(const char* s, qsizetype n)
{
    qint64 days = 0, secs = 0;
    if (n == 10)
        return readIsoDate(s, &days) ? packDate(days * 86400, kDateOnly) : 0;
    if (n == 5 || n == 8)
        return readIsoTime(s, n, &secs) ? packDate(secs, kTimeOnly) : 0;
    if ((n == 16 || n == 19) && (s[10] == ' ' || s[10] == 'T')) {
        if (readIsoDate(s, &days) && readIsoTime(s + 11, n - 11, &secs))
            return packDate(days * 86400 + secs, kDateAndTime);
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Loose values

qint64 variantInteger(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? -1 : 0;
    case QMetaType::Double:
    case QMetaType::Float:
        return qRound64(v.toDouble());
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime:
        return variantDateTime(v);
    default:
        return v.toLongLong();
    }
}

double variantReal(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::Bool:
        return v.toBool() ? -1.0 : 0.0;
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QDateTime:
        return double(variantDateTime(v));
    default:
        return v.toDouble();
    }
}

qint64 variantDateTime(const QVariant& v)
{
    switch (v.metaType().id()) {
    case QMetaType::QDate:
        return dateSerial(v.toDate());
    case QMetaType::QTime:
        return QTime(0, 0).secsTo(v.toTime());
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dateSerial(dt.date(), dt.time());
    }
    case QMetaType::QString: {
        const auto parsed = parseDateText(v.toString());
        return parsed ? parsed->serial() : 0;
    }
    default:
        return v.toLongLong();
    }
}

// ---------------------------------------------------------------------------------------------
// Column defaults

qint64 Column::integer(qsizetype row) const
{
    return variantInteger(value(row));
}

double Column::real(qsizetype row) const
{
    return variantReal(value(row));
}

qint64 Column::dateTime(qsizetype row) const
{
    return variantDateTime(value(row));
}

QStringView Column::text(qsizetype row, TextScratch& scratch) const
{
    scratch.text = value(row).toString();
    return scratch.text;
}

bool Column::rawText(qsizetype, const char**, qsizetype*, bool*) const
{
    return false;
}

void Column::integers(const qint32* rows, qsizetype n, quint8* null, qint64* values) const
{
    for (qsizetype i = 0; i < n; ++i) {
        null[i] = quint8(isNull(rows[i]));
        values[i] = null[i] ? 0 : integer(rows[i]);
    }
}

void Column::reals(const qint32* rows, qsizetype n, quint8* null, double* values) const
{
    for (qsizetype i = 0; i < n; ++i) {
        null[i] = quint8(isNull(rows[i]));
        values[i] = null[i] ? 0 : real(rows[i]);
    }
}

void Column::dateTimes(const qint32* rows, qsizetype n, quint8* null, qint64* values) const
{
    for (qsizetype i = 0; i < n; ++i) {
        null[i] = quint8(isNull(rows[i]));
        values[i] = null[i] ? 0 : dateTime(rows[i]);
    }
}

void Column::texts(const qint32* rows, qsizetype n, CriteriaColumns::Text* values, std::vector<QString>& made) const
{
    made.resize(size_t(n));
    TextScratch scratch;
    for (qsizetype i = 0; i < n; ++i) {
        CriteriaColumns::Text& out = values[i];
        out = {};
        if (isNull(rows[i]))
            continue;
        made[size_t(i)] = text(rows[i], scratch).toString();
        out.data = made[size_t(i)].utf16();
        out.size = made[size_t(i)].size();
        out.wide = true;
        out.null = false;
    }
}

namespace {

QVariant oddFromSql(sqlite3_value* v)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_value_blob(v)), sqlite3_value_bytes(v)));
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v)));
    }
}

// ---------------------------------------------------------------------------------------------
// Integers: Null and odd cells carry the mark, odd ones are also kept aside.

class IntegerColumn final : public Column
{
public:
    IntegerColumn()
        : Column(Storage::Integer)
    {
    }
    static constexpr qint64 kMark = std::numeric_limits<qint64>::min();

    void appendSql(sqlite3_value* v) override
    {
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            m_cells.push_back(kMark);
            return;
        case SQLITE_INTEGER: {
            const qint64 number = sqlite3_value_int64(v);
            if (number != kMark) {
                m_cells.push_back(number);
                return;
            }
            break;
        }
        case SQLITE_TEXT:
            if (sqlite3_value_bytes(v) == 0) {
                m_cells.push_back(kMark);
                return;
            }
            break;
        default:
            break;
        }
        m_odd.insert(m_cells.size(), oddFromSql(v));
        m_cells.push_back(kMark);
    }
    void appendValue(const QVariant& value) override
    {
        if (value.isNull()) {
            m_cells.push_back(kMark);
            return;
        }
        bool ok = false;
        const qint64 v = value.toLongLong(&ok);
        if (ok && v != kMark && value.metaType().id() != QMetaType::QString) {
            m_cells.push_back(v);
            return;
        }
        m_odd.insert(m_cells.size(), value);
        m_cells.push_back(kMark);
    }
    void finish() override { m_cells.shrink(); }
    void join(Column& piece) override
    {
        auto& other = static_cast<IntegerColumn&>(piece);
        joinOdd(other, m_cells.alignedSize());
        m_cells.appendAligned(std::move(other.m_cells));
    }
    qsizetype size() const override { return m_cells.size(); }
    size_t bytes() const override { return m_cells.bytes(); }

    bool isNull(qsizetype row) const override { return m_cells[row] == kMark && !isOdd(row); }
    QVariant value(qsizetype row) const override
    {
        const qint64 v = m_cells[row];
        if (v != kMark)
            return QVariant(v);
        return m_odd.value(row);
    }
    qint64 integer(qsizetype row) const override
    {
        const qint64 v = m_cells[row];
        return v != kMark ? v : variantInteger(m_odd.value(row));
    }
    void integers(const qint32* rows, qsizetype n, quint8* null, qint64* values) const override
    {
        for (qsizetype i = 0; i < n; ++i) {
            const qint64 v = m_cells[rows[i]];
            null[i] = 0;
            values[i] = v;
            if (v == kMark) {
                null[i] = quint8(!isOdd(rows[i]));
                values[i] = null[i] ? 0 : variantInteger(m_odd.value(rows[i]));
            }
        }
    }
    double real(qsizetype row) const override
    {
        const qint64 v = m_cells[row];
        return v != kMark ? double(v) : variantReal(m_odd.value(row));
    }

private:
    Chunked<qint64> m_cells;
};

// ---------------------------------------------------------------------------------------------
// Reals: Null and odd cells are NaN (SQLite never stores a NaN).

class RealColumn final : public Column
{
public:
    RealColumn()
        : Column(Storage::Real)
    {
    }

    void appendSql(sqlite3_value* v) override
    {
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            m_cells.push_back(std::nan(""));
            return;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            m_cells.push_back(sqlite3_value_double(v));
            return;
        case SQLITE_TEXT:
            if (sqlite3_value_bytes(v) == 0) {
                m_cells.push_back(std::nan(""));
                return;
            }
            break;
        default:
            break;
        }
        m_odd.insert(m_cells.size(), oddFromSql(v));
        m_cells.push_back(std::nan(""));
    }
    void appendValue(const QVariant& value) override
    {
        if (value.isNull()) {
            m_cells.push_back(std::nan(""));
            return;
        }
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (ok && !std::isnan(v) && value.metaType().id() != QMetaType::QString) {
            m_cells.push_back(v);
            return;
        }
        m_odd.insert(m_cells.size(), value);
        m_cells.push_back(std::nan(""));
    }
    void finish() override { m_cells.shrink(); }
    void join(Column& piece) override
    {
        auto& other = static_cast<RealColumn&>(piece);
        joinOdd(other, m_cells.alignedSize());
        m_cells.appendAligned(std::move(other.m_cells));
    }
    qsizetype size() const override { return m_cells.size(); }
    size_t bytes() const override { return m_cells.bytes(); }

    bool isNull(qsizetype row) const override { return std::isnan(m_cells[row]) && !isOdd(row); }
    QVariant value(qsizetype row) const override
    {
        const double v = m_cells[row];
        if (!std::isnan(v))
            return QVariant(v);
        return m_odd.value(row);
    }
    double real(qsizetype row) const override
    {
        const double v = m_cells[row];
        return !std::isnan(v) ? v : variantReal(m_odd.value(row));
    }
    void reals(const qint32* rows, qsizetype n, quint8* null, double* values) const override
    {
        for (qsizetype i = 0; i < n; ++i) {
            const double v = m_cells[rows[i]];
            null[i] = 0;
            values[i] = v;
            if (std::isnan(v)) {
                null[i] = quint8(!isOdd(rows[i]));
                values[i] = null[i] ? 0 : variantReal(m_odd.value(rows[i]));
            }
        }
    }

private:
    Chunked<double> m_cells;
};

// ---------------------------------------------------------------------------------------------
// Yes/no: 0 false, 1 true, 2 Null, 3 odd.

class BooleanColumn final : public Column
{
public:
    BooleanColumn()
        : Column(Storage::Boolean)
    {
    }
    enum : qint8 { kFalse = 0, kTrue = 1, kNull = 2, kOdd = 3 };

    void appendSql(sqlite3_value* v) override
    {
        switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            m_cells.push_back(kNull);
            return;
        case SQLITE_INTEGER:
            m_cells.push_back(sqlite3_value_int64(v) != 0 ? kTrue : kFalse);
            return;
        case SQLITE_FLOAT:
            m_cells.push_back(sqlite3_value_double(v) != 0.0 ? kTrue : kFalse);
            return;
        case SQLITE_TEXT:
            if (sqlite3_value_bytes(v) == 0) {
                m_cells.push_back(kNull);
                return;
            }
            break;
        default:
            break;
        }
        m_odd.insert(m_cells.size(), oddFromSql(v));
        m_cells.push_back(kOdd);
    }
    void appendValue(const QVariant& value) override
    {
        if (value.isNull())
            m_cells.push_back(kNull);
        else if (value.metaType().id() == QMetaType::Bool)
            m_cells.push_back(value.toBool() ? kTrue : kFalse);
        else {
            m_odd.insert(m_cells.size(), value);
            m_cells.push_back(kOdd);
        }
    }
    void finish() override { m_cells.shrink(); }
    void join(Column& piece) override
    {
        auto& other = static_cast<BooleanColumn&>(piece);
        joinOdd(other, m_cells.alignedSize());
        m_cells.appendAligned(std::move(other.m_cells));
    }
    qsizetype size() const override { return m_cells.size(); }
    size_t bytes() const override { return m_cells.bytes(); }

    bool isNull(qsizetype row) const override { return m_cells[row] == kNull; }
    QVariant value(qsizetype row) const override
    {
        switch (m_cells[row]) {
        case kFalse:
            return QVariant(false);
        case kTrue:
            return QVariant(true);
        case kOdd:
            return m_odd.value(row);
        default:
            return QVariant();
        }
    }
    qint64 integer(qsizetype row) const override
    {
        const qint8 v = m_cells[row];
        if (v == kTrue)
            return -1;
        // A value another tool wrote (a text such as "Vero") counts as the program reads a yes/no.
        if (v == kOdd)
            return isTrueValue(m_odd.value(row)) ? -1 : 0;
        return 0;
    }

private:
    Chunked<qint8> m_cells;
};

// ---------------------------------------------------------------------------------------------
// Dates, times and both: packed serials.

class DateTimeColumn final : public Column
{
public:
    DateTimeColumn()
        : Column(Storage::DateTime)
    {
    }
    static constexpr qint64 kNull = 0;
    static constexpr qint64 kOddMark = 4;

    void appendSql(sqlite3_value* v) override
    {
        // The archive keeps dates and times as text; anything else that does not read as one
        // is kept aside as its text.
        const char* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        if (!text) {
            m_cells.push_back(kNull);
            return;
        }
        const int n = sqlite3_value_bytes(v);
        if (n == 0) {
            m_cells.push_back(kNull);
            return;
        }
        // Rows of a join repeat their entry's dates, and a register's dates come in runs.
        if (n == m_lastLength && std::memcmp(text, m_last, size_t(n)) == 0) {
            m_cells.push_back(m_lastPacked);
            return;
        }
        const qint64 packed = packDateText(text, n);
        if (packed != 0) {
            if (n <= qsizetype(sizeof m_last)) {
                std::memcpy(m_last, text, size_t(n));
                m_lastLength = n;
                m_lastPacked = packed;
            }
            m_cells.push_back(packed);
            return;
        }
        m_odd.insert(m_cells.size(), QString::fromUtf8(text, n));
        m_cells.push_back(kOddMark);
    }
    void appendValue(const QVariant& value) override
    {
        qint64 packed = kOddMark;
        switch (value.metaType().id()) {
        case QMetaType::QDate:
            if (value.toDate().isValid())
                packed = packDate(dateSerial(value.toDate()), kDateOnly);
            break;
        case QMetaType::QTime:
            if (value.toTime().isValid())
                packed = packDate(QTime(0, 0).secsTo(value.toTime()), kTimeOnly);
            break;
        case QMetaType::QDateTime:
            if (value.toDateTime().isValid())
                packed = packDate(variantDateTime(value), kDateAndTime);
            break;
        default:
            if (value.isNull())
                packed = kNull;
            break;
        }
        if (packed == kOddMark)
            m_odd.insert(m_cells.size(), value);
        m_cells.push_back(packed);
    }
    void finish() override { m_cells.shrink(); }
    void join(Column& piece) override
    {
        auto& other = static_cast<DateTimeColumn&>(piece);
        joinOdd(other, m_cells.alignedSize());
        m_cells.appendAligned(std::move(other.m_cells));
    }
    qsizetype size() const override { return m_cells.size(); }
    size_t bytes() const override { return m_cells.bytes(); }

    bool isNull(qsizetype row) const override { return m_cells[row] == kNull; }
    QVariant value(qsizetype row) const override
    {
        const qint64 v = m_cells[row];
        if (v == kOddMark)
            return m_odd.value(row);
        return unpackDate(v);
    }
    qint64 dateTime(qsizetype row) const override
    {
        const qint64 v = m_cells[row];
        if (v == kOddMark)
            return variantDateTime(m_odd.value(row));
        return v >> 2;
    }
    qint64 integer(qsizetype row) const override { return dateTime(row); }
    void dateTimes(const qint32* rows, qsizetype n, quint8* null, qint64* values) const override
    {
        for (qsizetype i = 0; i < n; ++i) {
            const qint64 v = m_cells[rows[i]];
            null[i] = quint8(v == kNull);
            values[i] = v == kOddMark ? variantDateTime(m_odd.value(rows[i])) : v >> 2;
        }
    }

private:
    Chunked<qint64> m_cells;
    // The last text read as a date and what it packed to.
    char m_last[19] = {};
    qsizetype m_lastLength = -1;
    qint64 m_lastPacked = 0;
};

// ---------------------------------------------------------------------------------------------
// Text: blocks of kChunkSize cells share one byte arena; a cell is Latin-1 (one byte a
// character) or UTF-16 (two, aligned) and runs to the start of the next cell of its block.

/// A growable byte buffer without the zero-filling and range checks of std::vector.
class Arena
{
public:
    Arena() = default;
    Arena(Arena&& other) noexcept
        : m_data(std::exchange(other.m_data, nullptr))
        , m_size(std::exchange(other.m_size, 0))
        , m_capacity(std::exchange(other.m_capacity, 0))
    {
    }
    Arena& operator=(Arena&& other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
        return *this;
    }
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena() { freeBlock(m_data); }

    qsizetype size() const { return m_size; }
    qsizetype capacity() const { return m_capacity; }
    const char* data() const { return m_data; }
    /// Grows in place where the allocator can (large blocks are remapped, not copied).
    void reserve(qsizetype capacity)
    {
        if (capacity <= m_capacity)
            return;
        auto* grown = static_cast<char*>(resizeBlock(m_data, size_t(capacity)));
        if (!grown)
            throw std::bad_alloc();
        m_data = grown;
        m_capacity = capacity;
    }
    char* grow(qsizetype n)
    {
        // Even an empty cell gets a real address, never the null of an unallocated buffer.
        if (m_size + n > m_capacity || !m_data)
            reserve(std::max(m_size + n, m_capacity + m_capacity / 2 + 256));
        char* at = m_data + m_size;
        m_size += n;
        return at;
    }
    void truncate(qsizetype size) { m_size = size; }
    void shrink()
    {
        if (m_capacity > m_size) {
            const qsizetype size = std::max<qsizetype>(m_size, 1);
            if (auto* exact = static_cast<char*>(resizeBlock(m_data, size_t(size)))) {
                m_data = exact;
                m_capacity = size;
            }
        }
    }

private:
    char* m_data = nullptr;
    qsizetype m_size = 0;
    qsizetype m_capacity = 0;
};

/// Copies n bytes, sizeof(Word) <= n <= 2 sizeof(Word), as a word at each end; returns the
/// two words or-ed.
template <typename Word> quint64 copyEnds(char* out, const char* in, qsizetype n)
{
    Word head, tail;
    std::memcpy(&head, in, sizeof(Word));
    std::memcpy(&tail, in + n - qsizetype(sizeof(Word)), sizeof(Word));
    std::memcpy(out, &head, sizeof(Word));
    std::memcpy(out + n - qsizetype(sizeof(Word)), &tail, sizeof(Word));
    return quint64(head | tail);
}

/// Copies n bytes; true when n is at most 16 and every byte is ASCII. Short texts (most cells)
/// are moved as two overlapping words, without a call.
inline bool copyShort(char* out, const char* in, qsizetype n)
{
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    if (n > 16) {
        std::memcpy(out, in, size_t(n));
        return false;
    }
    quint64 bits = 0;
    if (n >= 8) {
        bits = copyEnds<quint64>(out, in, n);
    } else if (n >= 4) {
        bits = copyEnds<quint32>(out, in, n);
    } else {
        for (qsizetype i = 0; i < n; ++i) {
            out[i] = in[i];
            bits |= uchar(in[i]);
        }
    }
    return (bits & kHigh) == 0;
}

/// Where the first byte outside ASCII is, or n when there is none.
inline qsizetype firstNonAscii(const char* text, qsizetype n)
{
    constexpr quint64 kHigh = 0x8080808080808080ULL;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, text + i, 8);
        if (word & kHigh)
            return i + qCountTrailingZeroBits(word & kHigh) / 8; // little-endian
    }
    for (; i < n; ++i) {
        if (uchar(text[i]) >= 0x80)
            return i;
    }
    return n;
}

class TextColumn final : public Column
{
public:
    TextColumn()
        : Column(Storage::Text)
    {
    }
    // A cell's start in its block, with its kind in the two top bits: a block holds up to
    // 1 GB of text.
    enum : quint32 { kNullFlag = 1u << 31, kWide = 1u << 30, kOffset = kWide - 1 };

    void appendSql(sqlite3_value* v) override
    {
        // sqlite3_value_text gives null exactly for Null (numbers come back as their text).
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(v));
        if (!text) {
            appendNull();
            return;
        }
        const qsizetype n = sqlite3_value_bytes(v);
        Arena& block = beginCell(n);
        if (!m_ok) {
            mark(kNullFlag);
            return;
        }
        // Copy first, check after: plain ASCII (the common case) is then done.
        const qsizetype start = block.size();
        char* out = block.grow(n);
        if (copyShort(out, text, n))
            return;
        const qsizetype ascii = firstNonAscii(out, n);
        if (ascii == n)
            return;
        // Accented Latin-1 letters (two-byte sequences led by C2 or C3) decode in place, from
        // the first of them on.
        qsizetype w = ascii;
        bool latin = true;
        for (qsizetype i = ascii; i < n && latin; ++i) {
            const uchar b = uchar(text[i]);
            if (b < 0x80) {
                out[w++] = char(b);
            } else if ((b == 0xC2 || b == 0xC3) && i + 1 < n && (uchar(text[i + 1]) & 0xC0) == 0x80) {
                out[w++] = char(((b & 0x1F) << 6) | (uchar(text[i + 1]) & 0x3F));
                ++i;
            } else {
                latin = false;
            }
        }
        if (latin) {
            block.truncate(start + w);
            return;
        }
        block.truncate(start);
        const QString wide = QString::fromUtf8(text, n);
        if (block.size() + 2 * wide.size() + 1 > qsizetype(kOffset)) {
            m_ok = false;
            mark(kNullFlag);
            return;
        }
        if (block.size() & 1)
            block.grow(1);
        std::memcpy(block.grow(2 * wide.size()), wide.constData(), size_t(wide.size()) * 2);
        mark(kWide);
    }
    void appendValue(const QVariant& value) override
    {
        if (value.isNull()) {
            appendNull();
            return;
        }
        const QString text = value.toString();
        appendUtf16(text.constData(), text.size());
    }
    void finish() override
    {
        if (!m_blocks.empty())
            m_blocks.back().shrink();
        m_start.shrink();
    }
    void join(Column& piece) override
    {
        auto& other = static_cast<TextColumn&>(piece);
        if (other.m_start.size() == 0)
            return;
        // A cell runs to the start of the next cell of its block: the last cell before the gap
        // gets an end mark in the first index of the gap.
        if (m_start.size() & kChunkMask)
            m_start.pushTight(quint32(m_blocks.back().size()) | kNullFlag);
        m_start.appendAligned(std::move(other.m_start));
        for (Arena& block : other.m_blocks)
            m_blocks.push_back(std::move(block));
        other.m_blocks.clear();
        m_ok = m_ok && other.m_ok;
    }
    bool ok() const override { return m_ok; }
    qsizetype size() const override { return m_start.size(); }
    size_t bytes() const override
    {
        size_t total = m_start.bytes();
        for (const auto& b : m_blocks)
            total += size_t(b.capacity());
        return total;
    }

    bool isNull(qsizetype row) const override { return (m_start[row] & kNullFlag) != 0; }
    QVariant value(qsizetype row) const override
    {
        const Cell c = cell(row);
        if (c.flags & kNullFlag)
            return QVariant();
        if (c.flags & kWide)
            return QString(reinterpret_cast<const QChar*>(c.data), c.bytes / 2);
        return QString::fromLatin1(c.data, c.bytes);
    }
    bool rawText(qsizetype row, const char** data, qsizetype* length, bool* wide) const override
    {
        const Cell c = cell(row);
        if (c.flags & kNullFlag)
            return false;
        *data = c.data;
        *wide = (c.flags & kWide) != 0;
        *length = *wide ? c.bytes / 2 : c.bytes;
        return true;
    }
    void texts(const qint32* rows, qsizetype n, CriteriaColumns::Text* values, std::vector<QString>&) const override
    {
        for (qsizetype i = 0; i < n; ++i) {
            const Cell c = cell(rows[i]);
            CriteriaColumns::Text& out = values[i];
            out.data = c.data;
            out.wide = (c.flags & kWide) != 0;
            out.size = out.wide ? c.bytes / 2 : c.bytes;
            out.null = (c.flags & kNullFlag) != 0;
        }
    }
    QStringView text(qsizetype row, TextScratch& scratch) const override
    {
        const Cell c = cell(row);
        if (c.flags & kNullFlag)
            return QStringView();
        if (c.flags & kWide)
            return QStringView(reinterpret_cast<const char16_t*>(c.data), c.bytes / 2);
        if (scratch.wide.size() < size_t(c.bytes))
            scratch.wide.resize(size_t(c.bytes) + 64);
        char16_t* out = scratch.wide.data();
        const auto* in = reinterpret_cast<const uchar*>(c.data);
        for (qsizetype i = 0; i < c.bytes; ++i)
            out[i] = in[i];
        return QStringView(out, c.bytes);
    }

private:
    struct Cell
    {
        const char* data;
        qsizetype bytes;
        quint32 flags;
    };

    Cell cell(qsizetype row) const
    {
        const Arena& block = m_blocks[size_t(row >> kChunkShift)];
        const quint32 flags = m_start[row];
        qsizetype start = flags & kOffset;
        const qsizetype next = row + 1;
        const qsizetype end
            = ((next & kChunkMask) != 0 && next < m_start.size()) ? qsizetype(m_start[next] & kOffset) : block.size();
        if (flags & kWide)
            start += start & 1;
        return {block.data() + start, end - start, flags};
    }

    /// The arena of the cell about to be appended, its start recorded.
    Q_ALWAYS_INLINE Arena& beginCell(qsizetype extra)
    {
        if ((m_start.size() & kChunkMask) == 0) {
            qsizetype reserve = 0;
            if (!m_blocks.empty()) {
                m_blocks.back().shrink();
                reserve = m_blocks.back().size() + m_blocks.back().size() / 16;
            }
            m_blocks.emplace_back();
            m_blocks.back().reserve(reserve);
        }
        Arena& block = m_blocks.back();
        if (block.size() + extra + 1 > qsizetype(kOffset))
            m_ok = false;
        m_start.push_back(quint32(block.size()));
        return block;
    }

    /// Marks the cell just begun as Null (or unread) or as wide text.
    void mark(quint32 kind) { m_start.back() |= kind; }

    void appendNull()
    {
        beginCell(0);
        mark(kNullFlag);
    }

    void appendLatin1(const char* data, qsizetype n)
    {
        Arena& block = beginCell(n);
        if (m_ok) {
            char* out = block.grow(n);
            if (n > 0)
                std::memcpy(out, data, size_t(n));
        } else {
            mark(kNullFlag);
        }
    }

    void appendUtf16(const QChar* data, qsizetype n)
    {
        bool latin = true;
        for (qsizetype i = 0; i < n && latin; ++i)
            latin = data[i].unicode() < 0x100;
        if (latin) {
            m_scratch.resize(size_t(n));
            for (qsizetype i = 0; i < n; ++i)
                m_scratch[size_t(i)] = char(data[i].unicode());
            appendLatin1(m_scratch.data(), n);
            return;
        }
        Arena& block = beginCell(n * 2 + 1);
        if (m_ok) {
            if (block.size() & 1)
                block.grow(1);
            std::memcpy(block.grow(n * 2), data, size_t(n) * 2);
            mark(kWide);
        } else {
            mark(kNullFlag);
        }
    }

    std::vector<Arena> m_blocks;
    Chunked<quint32> m_start;
    std::vector<char> m_scratch;
    bool m_ok = true;
};

} // namespace

std::unique_ptr<Column> makeColumn(Storage storage)
{
    switch (storage) {
    case Storage::Integer:
        return std::make_unique<IntegerColumn>();
    case Storage::Real:
        return std::make_unique<RealColumn>();
    case Storage::Boolean:
        return std::make_unique<BooleanColumn>();
    case Storage::DateTime:
        return std::make_unique<DateTimeColumn>();
    case Storage::Text:
        break;
    }
    return std::make_unique<TextColumn>();
}

void appendSqlRow(const std::vector<Column*>& columns, sqlite3_stmt* statement, int first)
{
    // Each kind of column called as itself: no indirect call per cell.
    int index = first;
    for (Column* column : columns) {
        sqlite3_value* value = sqlite3_column_value(statement, index++);
        switch (column->storage()) {
        case Storage::Integer:
            static_cast<IntegerColumn*>(column)->IntegerColumn::appendSql(value);
            break;
        case Storage::Real:
            static_cast<RealColumn*>(column)->RealColumn::appendSql(value);
            break;
        case Storage::Boolean:
            static_cast<BooleanColumn*>(column)->BooleanColumn::appendSql(value);
            break;
        case Storage::DateTime:
            static_cast<DateTimeColumn*>(column)->DateTimeColumn::appendSql(value);
            break;
        case Storage::Text:
            static_cast<TextColumn*>(column)->TextColumn::appendSql(value);
            break;
        }
    }
}

} // namespace quad::rs
