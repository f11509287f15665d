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

#include <cstdint>
#include <vector>

namespace quad::rs {

constexpr int kChunkShift = 16;
constexpr qsizetype kChunkSize = qsizetype(1) << kChunkShift;
constexpr qsizetype kChunkMask = kChunkSize - 1;

/// A growable array in chunks of kChunkSize: no big reallocation (and no doubled peak) while
/// a million rows are read, and no more than one chunk of slack.
template <typename T> class Chunked
{
public:
    void push_back(const T& value)
    {
        if (m_chunks.empty() || m_chunks.back().size() == size_t(kChunkSize)) {
            if (!m_chunks.empty())
                m_chunks.back().shrink_to_fit();
            m_chunks.emplace_back();
            if (m_chunks.size() > 1)
                m_chunks.back().reserve(size_t(kChunkSize));
        }
        m_chunks.back().push_back(value);
        ++m_size;
    }
    const T& operator[](qsizetype i) const { return m_chunks[size_t(i >> kChunkShift)][size_t(i & kChunkMask)]; }
    T& operator[](qsizetype i) { return m_chunks[size_t(i >> kChunkShift)][size_t(i & kChunkMask)]; }
    qsizetype size() const { return m_size; }
    void shrink()
    {
        if (!m_chunks.empty())
            m_chunks.back().shrink_to_fit();
    }
    size_t bytes() const
    {
        size_t total = 0;
        for (const auto& c : m_chunks)
            total += c.capacity() * sizeof(T);
        return total;
    }

private:
    std::vector<std::vector<T>> m_chunks;
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
    /// False when the column could not hold what was appended (a text block over 4 GB).
    virtual bool ok() const { return true; }
    virtual qsizetype size() const = 0;
    virtual size_t bytes() const = 0;

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
    /// Cells that do not fit the compact form, as read.
    QHash<qsizetype, QVariant> m_odd;

private:
    Storage m_storage;
};

std::unique_ptr<Column> makeColumn(Storage storage);

// Helpers over loose values (pending changes, odd cells), consistent with the columns.
qint64 variantInteger(const QVariant& v);
double variantReal(const QVariant& v);
qint64 variantDateTime(const QVariant& v);

} // namespace quad::rs
