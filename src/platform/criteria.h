#pragma once

#include <QString>
#include <QStringView>

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

/// A parsed criteria text, ready to be evaluated over many rows without parsing again.
/// Grammar and semantics: clauses "Field Op Value" (Op one of = <> < > <= >= LIKE, any case),
/// joined by AND / OR (AND binds tighter), parentheses allowed; text in single quotes ('' for
/// a quote), dates between # read day first, numbers with point or comma, True/False/Vero/Falso.
/// LIKE: % and * match any run, anywhere; _ is literal; text compares ignore case, keep accents.
/// Null matches no comparison.
class Criteria
{
public:
    virtual ~Criteria() = default;

    /// Parses text against the fields the resolver knows. Returns null and an Italian error
    /// text in *error for a text that does not parse, names an unknown or ambiguous field, or
    /// compares a value of the wrong kind ("12a" with a number, an impossible date).
    static std::unique_ptr<Criteria> parse(const QString& text, const CriteriaFieldResolver& resolver, QString* error);

    virtual bool matches(const CriteriaRow& row) const = 0;
    /// True when the text is a single clause (what Find accepts).
    virtual bool isSingleClause() const = 0;
};

} // namespace quad
