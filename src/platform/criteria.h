#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <optional>

namespace quad {

/// A field as the criteria engine sees it: its column in the row and its ADO type code.
struct CriteriaField
{
    int column = -1;
    int adoType = 0;
};

/// Looks a field up by the name written in a criteria text (bare, "table.name" or "[name]"
/// with the brackets already removed). Returns nullopt when the name is unknown; sets
/// *ambiguous when a bare name stands for several columns.
using CriteriaFieldResolver = std::function<std::optional<CriteriaField>(const QString& name, bool* ambiguous)>;

/// Read access to one row's values, by column, for evaluation. The recordset implements it
/// over its own row storage; values are asked for in the form the column's type suggests.
class CriteriaRow
{
public:
    virtual ~CriteriaRow() = default;
    virtual bool isNull(int column) const = 0;
    /// Integer and yes/no columns (yes/no as -1/0).
    virtual qint64 integer(int column) const = 0;
    /// Real columns (integers also answer, converted).
    virtual double real(int column) const = 0;
    /// Text of a text or memo column.
    virtual QStringView text(int column) const = 0;
    /// Date/time columns as seconds since 1899-12-30 00:00:00 (a date alone is its midnight,
    /// a time alone is counted from 1899-12-30).
    virtual qint64 dateTime(int column) const = 0;
};

/// Read access to one column over a run of rows at once, for filtering many rows: each call
/// gives, for every row of the run, what CriteriaRow would give for that row, in one go.
class CriteriaColumns
{
public:
    /// A text cell as kept: Latin-1 bytes, or UTF-16 units when wide.
    struct Text
    {
        const void* data = nullptr;
        qsizetype size = 0; ///< characters
        bool wide = false;
        bool null = true;
    };

    virtual ~CriteriaColumns() = default;
    /// null[i] is 1 for a Null cell, else 0 and values[i] holds what CriteriaRow::integer gives.
    virtual void integers(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const = 0;
    virtual void reals(int column, const qint32* rows, qsizetype n, quint8* null, double* values) const = 0;
    virtual void dateTimes(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const = 0;
    /// The texts stay valid until the next call.
    virtual void texts(int column, const qint32* rows, qsizetype n, Text* values) const = 0;
    /// One row, for what has no column-wise form.
    virtual const CriteriaRow& row(qint32 row) const = 0;
};

/// A parsed criteria text, ready to be evaluated over many rows without parsing again.
/// Grammar and semantics: clauses "Field Op Value" (Op one of = <> < > <= >= LIKE, any case,
/// blanks around it optional), joined by AND / OR in any case (AND binds tighter), parentheses
/// allowed; fields bare, "table.name" or [bracketed], matched by the resolver.
/// Values by the field's kind:
/// - text fields: 'text' in single quotes ('' for a quote); compares ignore case (Unicode
///   folding) and keep accents ("città" = "CITTÀ", "citta" differs); order is by code point;
/// - number fields: a number with point or comma ("1,5", "-1"), also written as quoted text
///   ('12'); True/False/Vero/Falso count as -1/0; "12a" is refused;
/// - date/time fields: #date# or a quoted date, read by parseDateText (day first); compared as
///   seconds since 1899-12-30, a date alone being its midnight, a time alone counted from day 0;
/// - yes/no fields: True/False/Vero/Falso (any case), -1 or 0.
/// LIKE wants a quoted pattern: % and * match any run, anywhere; _ is literal; the whole value
/// must match. On a field that is not text it matches the value as the program shows it
/// (numbers in digits, dd/MM/yyyy, HH:mm:ss, Vero/Falso).
/// Null matches no comparison ("<>" and LIKE '%' included).
class Criteria
{
public:
    virtual ~Criteria() = default;

    /// Parses text against the fields the resolver knows. Returns null and an Italian error
    /// text in *error ("Criterio non valido: " and the reason) for a text that is empty or does
    /// not parse, names an unknown or ambiguous field, or compares a value of the wrong kind
    /// ("12a" with a number, an impossible date, unquoted text). On success *error is cleared.
    /// error may be null.
    static std::unique_ptr<Criteria> parse(const QString& text, const CriteriaFieldResolver& resolver, QString* error);

    virtual bool matches(const CriteriaRow& row) const = 0;
    /// Keeps, in order, the rows of rows[0..n) that match, at the front of rows; returns how
    /// many. The same answer as matches() row by row.
    virtual qsizetype select(const CriteriaColumns& columns, qint32* rows, qsizetype n) const = 0;
    /// True when the text is a single clause, parentheses around it allowed (what Find accepts).
    virtual bool isSingleClause() const = 0;
};

} // namespace quad
