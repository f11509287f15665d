#pragma once

// Compact column storage of a recordset snapshot. A column keeps its cells in flat chunked
// arrays of one machine word or less per cell; text lives in per-block byte arenas, one byte a
// character when every character of the cell fits Latin-1 (Italian text nearly always does)
// and two otherwise. A cell that does not fit the column's compact form (a text in a number
// column, a date that is no date) is kept aside as it was read.

#include "criteria.h"

#include <sqlcipher/sqlite3.h>

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace quad::rs {

/// Memory of the large arrays of a snapshot: blocks from 64 KB up are mapped from the system on
/// their own (grown in place without a copy, and given back to the system when freed, whichever
/// thread made them); smaller ones come from the allocator. resizeBlock(nullptr, n) makes a block.
void* resizeBlock(void* block, size_t bytes);
void freeBlock(void* block);

constexpr int kChunkShift = 16;
constexpr qsizetype kChunkSize = qsizetype(1) << kChunkShift;
constexpr qsizetype kChunkMask = kChunkSize - 1;

/// A growable array in chunks of kChunkSize: no big reallocation (and no doubled peak) while
/// a million rows are read, and no more than one chunk of slack. The first chunk grows from
/// small, so that a few rows take little room. Elements are plain values.
template <typename T> class Chunked
{
    static_assert(std::is_trivially_copyable_v<T>, "Chunked holds plain values");

public:
    Chunked() = default;
    Chunked(Chunked&& other) noexcept { swap(other); }
    Chunked& operator=(Chunked&& other) noexcept
    {
        swap(other);
        return *this;
    }
    Chunked(const Chunked&) = delete;
    Chunked& operator=(const Chunked&) = delete;
    ~Chunked()
    {
        for (T* chunk : m_chunks)
            freeBlock(chunk);
    }

    void push_back(const T& value)
    {
        if (Q_UNLIKELY(m_end == m_limit))
            grow();
        *m_end++ = value;
        ++m_size;
    }
    const T& operator[](qsizetype i) const { return m_chunks[size_t(i >> kChunkShift)][i & kChunkMask]; }
    T& operator[](qsizetype i) { return m_chunks[size_t(i >> kChunkShift)][i & kChunkMask]; }
    T& back() { return m_end[-1]; }
    qsizetype size() const { return m_size; }
    /// Gives the last chunk's slack back.
    void shrink() { resizeLast(std::max<qsizetype>(lastCount(), 1)); }
    /// Appends one value without room to spare for more (the end mark of a piece).
    void pushTight(const T& value)
    {
        if (m_end == m_limit) {
            if (m_chunks.empty() || lastCount() == kChunkSize) {
                push_back(value);
                return;
            }
            resizeLast(lastCount() + 1);
        }
        *m_end++ = value;
        ++m_size;
    }
    /// Size rounded up to a whole number of chunks: where a piece joined after this one starts.
    qsizetype alignedSize() const { return (m_size + kChunkMask) & ~kChunkMask; }
    /// Takes over the chunks of other, read apart, as the values from alignedSize() on. The
    /// indexes between size() and alignedSize() hold nothing and must never be read.
    void appendAligned(Chunked&& other)
    {
        if (other.m_size == 0)
            return;
        if (m_chunks.empty()) {
            swap(other);
            return;
        }
        const qsizetype start = alignedSize();
        m_chunks.insert(m_chunks.end(), other.m_chunks.begin(), other.m_chunks.end());
        other.m_chunks.clear();
        m_end = std::exchange(other.m_end, nullptr);
        m_limit = std::exchange(other.m_limit, nullptr);
        m_size = start + std::exchange(other.m_size, 0);
    }
    size_t bytes() const
    {
        if (m_chunks.empty())
            return 0;
        return ((m_chunks.size() - 1) * size_t(kChunkSize) + size_t(m_limit - m_chunks.back())) * sizeof(T);
    }

private:
    qsizetype lastCount() const { return m_chunks.empty() ? 0 : qsizetype(m_end - m_chunks.back()); }

    void resizeLast(qsizetype capacity)
    {
        if (m_chunks.empty() || m_limit - m_chunks.back() == capacity)
            return;
        const qsizetype count = lastCount();
        auto* grown = static_cast<T*>(resizeBlock(m_chunks.back(), size_t(capacity) * sizeof(T)));
        if (!grown)
            throw std::bad_alloc();
        m_chunks.back() = grown;
        m_end = grown + count;
        m_limit = grown + capacity;
    }

    Q_NEVER_INLINE void grow()
    {
        if (!m_chunks.empty() && lastCount() < kChunkSize) {
            // The first chunk doubles up to a full one.
            resizeLast(std::min(kChunkSize, 2 * lastCount()));
            return;
        }
        // A later chunk is full from the start.
        const qsizetype capacity = m_chunks.empty() ? 16 : kChunkSize;
        auto* chunk = static_cast<T*>(resizeBlock(nullptr, size_t(capacity) * sizeof(T)));
        if (!chunk)
            throw std::bad_alloc();
        m_chunks.push_back(chunk);
        m_end = chunk;
        m_limit = chunk + capacity;
    }

    void swap(Chunked& other) noexcept
    {
        std::swap(m_chunks, other.m_chunks);
        std::swap(m_end, other.m_end);
        std::swap(m_limit, other.m_limit);
        std::swap(m_size, other.m_size);
    }

    std::vector<T*> m_chunks; ///< every one but the last holds kChunkSize values
    T* m_end = nullptr; ///< past the last value
    T* m_limit = nullptr; ///< past the last chunk's room
    qsizetype m_size = 0;
};

/// How a column keeps its cells, from its ADO type.
enum class Storage : quint8 { Integer, Real, Boolean, DateTime, Text };

Storage storageFor(int adoType);
/// The type code the criteria engine is given for a field: one of adInteger, adDouble,
/// adBoolean, adDate, adVarWChar, adLongVarWChar.
int criteriaTypeFor(int adoType);

/// Scratch space for text handed out as QStringView (a Latin-1 cell widened to UTF-16).
struct TextScratch
{
    std::vector<char16_t> wide;
    QString text;
};

/// Case folding of the recordset's sort: simple Unicode folding, accents kept.
char16_t foldChar(char16_t c);

// Cells of date/time columns are packed as serial seconds since 1899-12-30 times 4 plus a
// kind; a kind of 0 marks Null (0) or a cell kept aside (4).
enum DateKind : qint64 { kDateOnly = 1, kTimeOnly = 2, kDateAndTime = 3 };
qint64 packDate(qint64 serialSeconds, DateKind kind);
QVariant unpackDate(qint64 packed);
/// 'yyyy-MM-dd', 'HH:mm[:ss]' or 'yyyy-MM-dd[ T]HH:mm[:ss]' (as the archive stores them);
/// 0 when the text is none of these.
qint64 packDateText(const char* text, qsizetype length);

class Column
{
public:
    explicit Column(Storage storage)
        : m_storage(storage)
    {
    }
    virtual ~Column() = default;
    Storage storage() const { return m_storage; }

    /// Appends a cell as the statement gives it (sqlite3_column_value of the current row).
    virtual void appendSql(sqlite3_value* value) = 0;
    /// Appends a value already in the storage's form (see convertForStorage) or null.
    virtual void appendValue(const QVariant& value) = 0;
    /// Releases slack after the last row.
    virtual void finish() { }
    /// Joins the cells of piece (a column of the same storage, read apart) after this column's,
    /// from its next chunk boundary on (see Chunked::appendAligned); piece is left empty.
    virtual void join(Column& piece) = 0;
    /// False when the column could not hold what was appended (a text block over 4 GB).
    virtual bool ok() const { return true; }
    virtual qsizetype size() const = 0;
    virtual size_t bytes() const = 0;
    /// True when some cell did not fit the compact form and is kept aside.
    bool hasOddCells() const { return !m_odd.isEmpty(); }

    virtual bool isNull(qsizetype row) const = 0;
    virtual QVariant value(qsizetype row) const = 0;
    virtual qint64 integer(qsizetype row) const;
    virtual double real(qsizetype row) const;
    virtual qint64 dateTime(qsizetype row) const;
    virtual QStringView text(qsizetype row, TextScratch& scratch) const;
    /// Text columns: the characters of a cell as kept (Latin-1 bytes, or UTF-16 when wide);
    /// false for Null and for other columns.
    virtual bool rawText(qsizetype row, const char** data, qsizetype* length, bool* wide) const;

    // The same for a run of rows at once (what the filters read): null[i] marks a Null cell,
    // values[i] is what the one-row reader above gives otherwise.
    virtual void integers(const qint32* rows, qsizetype n, quint8* null, qint64* values) const;
    virtual void reals(const qint32* rows, qsizetype n, quint8* null, double* values) const;
    virtual void dateTimes(const qint32* rows, qsizetype n, quint8* null, qint64* values) const;
    /// Texts that are not kept as such are made into strings held in made (one per row).
    virtual void texts(const qint32* rows, qsizetype n, CriteriaColumns::Text* values,
                       std::vector<QString>& made) const;

protected:
    bool isOdd(qsizetype row) const { return !m_odd.isEmpty() && m_odd.contains(row); }
    /// Takes the odd cells of piece, their rows moved to start from start.
    void joinOdd(Column& piece, qsizetype start)
    {
        for (auto it = piece.m_odd.cbegin(); it != piece.m_odd.cend(); ++it)
            m_odd.insert(it.key() + start, it.value());
        piece.m_odd.clear();
    }
    /// Cells that do not fit the compact form, as read.
    QHash<qsizetype, QVariant> m_odd;

private:
    Storage m_storage;
};

std::unique_ptr<Column> makeColumn(Storage storage);
/// Appends the current row of a statement, its columns from first on, to columns made by
/// makeColumn (one per statement column, in order).
void appendSqlRow(const std::vector<Column*>& columns, sqlite3_stmt* statement, int first);

// Helpers over loose values (pending changes, odd cells), consistent with the columns.
qint64 variantInteger(const QVariant& v);
double variantReal(const QVariant& v);
qint64 variantDateTime(const QVariant& v);

} // namespace quad::rs
