#include "criteria.h"

#include "field_text.h"

#include "criteria_match.h"
#include "database.h"
#include "date_text.h"

#include <QDate>
#include <QLocale>
#include <QVarLengthArray>

#include <algorithm>

#include <optional>
#include <vector>

namespace quad {

namespace {

using criteria::LikePattern;

/// How a field's values are compared.
enum class Kind { Text, Integer, Real, Date, YesNo };

enum class Op { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like };

std::optional<Kind> kindOfAdoType(int adoType)
{
    switch (adoType) {
    case 2: // small integer
    case adInteger:
    case 16: // tiny integer
    case 17: // unsigned tiny integer
    case 18: // unsigned small integer
    case 19: // unsigned integer
    case 20: // big integer
    case 21: // unsigned big integer
        return Kind::Integer;
    case 4: // single
    case adDouble:
    case 6: // currency
    case 14: // decimal
    case 131: // numeric
        return Kind::Real;
    case adDate:
    case 133: // date
    case 134: // time
    case 135: // time stamp
        return Kind::Date;
    case adBoolean:
        return Kind::YesNo;
    case 8: // BSTR
    case 129: // char
    case 130: // wide char
    case 200: // varchar
    case 201: // long varchar
    case adVarWChar:
    case adLongVarWChar:
        return Kind::Text;
    default:
        return std::nullopt;
    }
}

template <typename T> int compareValues(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool holds(Op op, int order)
{
    switch (op) {
    case Op::Equal:
        return order == 0;
    case Op::NotEqual:
        return order != 0;
    case Op::Less:
        return order < 0;
    case Op::Greater:
        return order > 0;
    case Op::LessEqual:
        return order <= 0;
    case Op::GreaterEqual:
        return order >= 0;
    case Op::Like:
        break;
    }
    return false;
}

/// A small text built without touching the heap, for LIKE on a field that is not text.
using ShownText = QVarLengthArray<char16_t, 40>;

void appendLatin1(ShownText& out, const char* text)
{
    while (*text)
        out.push_back(char16_t(*text++));
}

void appendNumber(ShownText& out, qint64 value, int width = 1)
{
    char16_t digits[24];
    int n = 0;
    const bool negative = value < 0;
    quint64 v = negative ? quint64(0) - quint64(value) : quint64(value);
    do {
        digits[n++] = char16_t(u'0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (n < width)
        digits[n++] = u'0';
    if (negative)
        out.push_back(u'-');
    while (n > 0)
        out.push_back(digits[--n]);
}

/// The text a serial date shows: dd/MM/yyyy, HH:mm:ss for a time alone, both for a date with a time.
void appendSerialDate(ShownText& out, qint64 serial)
{
    qint64 days = serial / 86400;
    qint64 seconds = serial % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    if (days != 0) {
        const QDate date = QDate(1899, 12, 30).addDays(days);
        appendNumber(out, date.day(), 2);
        out.push_back(u'/');
        appendNumber(out, date.month(), 2);
        out.push_back(u'/');
        appendNumber(out, date.year(), 4);
        if (seconds == 0)
            return;
        out.push_back(u' ');
    }
    appendNumber(out, seconds / 3600, 2);
    out.push_back(u':');
    appendNumber(out, seconds / 60 % 60, 2);
    out.push_back(u':');
    appendNumber(out, seconds % 60, 2);
}

/// Rows are filtered in runs of this many; the cells of a run sit in small arrays.
constexpr qsizetype kRun = 1024;

/// keep[i] = the cell holds and order(values[i]) satisfies op, the operator's test chosen once
/// for the whole run.
template <typename Order> void keepWhere(Op op, const quint8* null, qsizetype n, quint8* keep, Order order)
{
    auto run = [&](auto test) {
        for (qsizetype i = 0; i < n; ++i)
            keep[i] = quint8(!null[i] & test(order(i)));
    };
    switch (op) {
    case Op::Equal:
        return run([](int o) { return o == 0; });
    case Op::NotEqual:
        return run([](int o) { return o != 0; });
    case Op::Less:
        return run([](int o) { return o < 0; });
    case Op::Greater:
        return run([](int o) { return o > 0; });
    case Op::LessEqual:
        return run([](int o) { return o <= 0; });
    case Op::GreaterEqual:
        return run([](int o) { return o >= 0; });
    case Op::Like:
        break;
    }
    std::fill(keep, keep + n, quint8(0));
}

/// One comparison "field op value", with the value already in the field's terms.
struct Clause
{
    int column = -1;
    Kind kind = Kind::Text;
    Op op = Op::Equal;
    qint64 integer = 0; ///< integer value, yes/no as -1/0, or date serial
    double real = 0;
    bool integral = true; ///< a number without fraction: compare integer columns as integers
    std::u32string text; ///< folded text literal
    std::optional<LikePattern> like;

    bool matches(const CriteriaRow& row) const
    {
        if (row.isNull(column))
            return false;
        if (like) {
            if (kind == Kind::Text)
                return like->matches(row.text(column));
            return matchesShown(row);
        }
        switch (kind) {
        case Kind::Text:
            return holds(op, criteria::compareFolded(row.text(column), text));
        case Kind::Integer:
            if (integral)
                return holds(op, compareValues(row.integer(column), integer));
            return holds(op, compareValues(double(row.integer(column)), real));
        case Kind::Real:
            return holds(op, compareValues(row.real(column), real));
        case Kind::Date:
            return holds(op, compareValues(row.dateTime(column), integer));
        case Kind::YesNo:
            return holds(op, compareValues<qint64>(row.integer(column) != 0 ? -1 : 0, integer));
        }
        return false;
    }

    /// keep[i] = matches() for rows[i], column by column where the kind allows it.
    void select(const CriteriaColumns& columns, const qint32* rows, qsizetype n, quint8* keep) const
    {
        if (like && kind != Kind::Text) {
            for (qsizetype i = 0; i < n; ++i) {
                const CriteriaRow& row = columns.row(rows[i]);
                keep[i] = quint8(!row.isNull(column) && matchesShown(row));
            }
            return;
        }
        quint8 null[kRun];
        switch (kind) {
        case Kind::Text: {
            CriteriaColumns::Text cells[kRun];
            columns.texts(column, rows, n, cells);
            for (qsizetype i = 0; i < n; ++i)
                null[i] = quint8(cells[i].null);
            if (like) {
                for (qsizetype i = 0; i < n; ++i) {
                    const CriteriaColumns::Text& c = cells[i];
                    keep[i]
                        = quint8(!c.null
                                 && (c.wide ? like->matches(QStringView(static_cast<const char16_t*>(c.data), c.size))
                                            : like->matchesLatin1(static_cast<const char*>(c.data), c.size)));
                }
                return;
            }
            return keepWhere(op, null, n, keep, [&](qsizetype i) {
                const CriteriaColumns::Text& c = cells[i];
                if (c.null)
                    return 0;
                return c.wide ? criteria::compareFolded(QStringView(static_cast<const char16_t*>(c.data), c.size), text)
                              : criteria::compareFoldedLatin1(static_cast<const char*>(c.data), c.size, text);
            });
        }
        case Kind::Integer: {
            qint64 values[kRun];
            columns.integers(column, rows, n, null, values);
            if (integral)
                return keepWhere(op, null, n, keep, [&](qsizetype i) { return compareValues(values[i], integer); });
            return keepWhere(op, null, n, keep, [&](qsizetype i) { return compareValues(double(values[i]), real); });
        }
        case Kind::Real: {
            double values[kRun];
            columns.reals(column, rows, n, null, values);
            return keepWhere(op, null, n, keep, [&](qsizetype i) { return compareValues(values[i], real); });
        }
        case Kind::Date: {
            qint64 values[kRun];
            columns.dateTimes(column, rows, n, null, values);
            return keepWhere(op, null, n, keep, [&](qsizetype i) { return compareValues(values[i], integer); });
        }
        case Kind::YesNo: {
            qint64 values[kRun];
            columns.integers(column, rows, n, null, values);
            return keepWhere(op, null, n, keep,
                             [&](qsizetype i) { return compareValues<qint64>(values[i] != 0 ? -1 : 0, integer); });
        }
        }
        std::fill(keep, keep + n, quint8(0));
    }

    /// LIKE on a number, date or yes/no field: the pattern is matched against the value as
    /// the program shows it.
    bool matchesShown(const CriteriaRow& row) const
    {
        ShownText shown;
        switch (kind) {
        case Kind::Integer:
            appendNumber(shown, row.integer(column));
            break;
        case Kind::Real: {
            // as shown in the grid: the user's decimal separator, no grouping
            QLocale locale;
            locale.setNumberOptions(QLocale::OmitGroupSeparator);
            return like->matches(locale.toString(row.real(column), 'g', QLocale::FloatingPointShortest));
        }
        case Kind::Date:
            appendSerialDate(shown, row.dateTime(column));
            break;
        case Kind::YesNo:
            appendLatin1(shown, row.integer(column) != 0 ? "Vero" : "Falso");
            break;
        case Kind::Text:
            break;
        }
        return like->matches(QStringView(shown.constData(), shown.size()));
    }
};

/// Node of the expression: a clause, or AND / OR over a run of nodes.
struct Node
{
    enum Type { Leaf, And, Or } type = Leaf;
    int first = -1; ///< clause index for a leaf, else the first of its operands
    int count = 0; ///< operands of AND / OR
};

class ParsedCriteria : public Criteria
{
public:
    std::vector<Clause> clauses;
    std::vector<Node> nodes;
    std::vector<int> operands; ///< node indices, each AND / OR owning a run of them
    int root = -1;

    bool matches(const CriteriaRow& row) const override { return evaluate(root, row); }
    bool isSingleClause() const override { return nodes[size_t(root)].type == Node::Leaf; }

    qsizetype select(const CriteriaColumns& columns, qint32* rows, qsizetype n) const override
    {
        qsizetype kept = 0;
        quint8 keep[kRun];
        for (qsizetype from = 0; from < n; from += kRun) {
            const qsizetype size = std::min(kRun, n - from);
            selectRun(root, columns, rows + from, size, keep);
            for (qsizetype i = 0; i < size; ++i) {
                rows[kept] = rows[from + i];
                kept += keep[i];
            }
        }
        return kept;
    }

private:
    /// keep[i] = the node holds for rows[i], n at most kRun. AND asks each operand only about
    /// the rows still in, OR only about the rows not yet in.
    void selectRun(int index, const CriteriaColumns& columns, const qint32* rows, qsizetype n, quint8* keep) const
    {
        const Node& node = nodes[size_t(index)];
        if (node.type == Node::Leaf) {
            clauses[size_t(node.first)].select(columns, rows, n, keep);
            return;
        }
        const bool isAnd = node.type == Node::And;
        std::fill(keep, keep + n, quint8(isAnd));
        qint32 open[kRun]; // rows whose answer is still open
        qint32 at[kRun]; // their places in rows
        quint8 answer[kRun];
        qsizetype count = n;
        for (qsizetype i = 0; i < n; ++i) {
            open[i] = rows[i];
            at[i] = qint32(i);
        }
        for (int k = node.first; k < node.first + node.count && count > 0; ++k) {
            selectRun(operands[size_t(k)], columns, open, count, answer);
            qsizetype still = 0;
            for (qsizetype i = 0; i < count; ++i) {
                if (bool(answer[i]) != isAnd) {
                    keep[at[i]] = quint8(!isAnd);
                } else {
                    open[still] = open[i];
                    at[still] = at[i];
                    ++still;
                }
            }
            count = still;
        }
    }

    /// Depth is bounded by the nesting of parentheses, which the parser limits.
    bool evaluate(int index, const CriteriaRow& row) const
    {
        const Node& node = nodes[size_t(index)];
        if (node.type == Node::Leaf)
            return clauses[size_t(node.first)].matches(row);
        const bool isAnd = node.type == Node::And;
        for (int k = node.first; k < node.first + node.count; ++k) {
            if (evaluate(operands[size_t(k)], row) != isAnd)
                return !isAnd;
        }
        return isAnd;
    }
};

/// A value as written in the text, before it meets its field.
struct Literal
{
    enum Form { Quoted, Hashed, Bare } form = Bare;
    QString text; ///< inside the quotes or the # signs ('' already made one quote), or the bare word
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

QString quoted(QStringView text)
{
    return QLatin1Char('\'') + text.toString() + QLatin1Char('\'');
}

/// Recursive descent over the criteria text:
///   or     := and ( OR and )*
///   and    := factor ( AND factor )*
///   factor := '(' or ')' | field op value
class Parser
{
public:
    Parser(const QString& text, const CriteriaFieldResolver& resolver, ParsedCriteria* out)
        : m_text(text)
        , m_resolver(resolver)
        , m_out(out)
    {
    }

    bool parse()
    {
        skipBlanks();
        if (atEnd())
            return fail(QStringLiteral("criterio vuoto"));
        if (!parseOr(&m_out->root))
            return false;
        skipBlanks();
        if (atEnd())
            return true;
        if (m_text[m_pos] == QLatin1Char(')'))
            return fail(QStringLiteral("parentesi chiusa senza quella aperta"));
        return fail(QStringLiteral("testo inatteso %1").arg(quoted(rest())));
    }

    QString error() const { return m_error; }

private:
    static constexpr int kMaxDepth = 100;

    bool atEnd() const { return m_pos >= m_text.size(); }

    void skipBlanks()
    {
        while (!atEnd() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    QStringView rest() const { return QStringView(m_text).mid(m_pos).trimmed(); }

    bool fail(const QString& reason)
    {
        if (m_error.isEmpty())
            m_error = reason;
        return false;
    }

    /// The keyword (ASCII letters, any case) at the current position, as a whole word.
    bool keywordAhead(QLatin1String word) const
    {
        const qsizetype n = word.size();
        if (m_pos + n > m_text.size())
            return false;
        if (QStringView(m_text).mid(m_pos, n).compare(word, Qt::CaseInsensitive) != 0)
            return false;
        return m_pos + n == m_text.size() || !isNameChar(m_text[m_pos + n]);
    }

    /// A chain of operands joined by one keyword becomes one node over all of them, so that a
    /// long chain costs no depth when it is evaluated.
    template <typename ParseOperand>
    bool parseChain(int* node, Node::Type type, QLatin1String keyword, ParseOperand parseOperand)
    {
        std::vector<int> operands(1, -1);
        if (!parseOperand(&operands[0]))
            return false;
        for (;;) {
            skipBlanks();
            if (!keywordAhead(keyword))
                break;
            m_pos += keyword.size();
            int operand = -1;
            if (!parseOperand(&operand))
                return false;
            operands.push_back(operand);
        }
        if (operands.size() == 1) {
            *node = operands[0];
            return true;
        }
        Node chain;
        chain.type = type;
        chain.first = int(m_out->operands.size());
        chain.count = int(operands.size());
        m_out->operands.insert(m_out->operands.end(), operands.begin(), operands.end());
        m_out->nodes.push_back(chain);
        *node = int(m_out->nodes.size()) - 1;
        return true;
    }

    bool parseOr(int* node)
    {
        return parseChain(node, Node::Or, QLatin1String("OR"), [this](int* n) { return parseAnd(n); });
    }

    bool parseAnd(int* node)
    {
        return parseChain(node, Node::And, QLatin1String("AND"), [this](int* n) { return parseFactor(n); });
    }

    bool parseFactor(int* node)
    {
        skipBlanks();
        if (atEnd())
            return fail(QStringLiteral("manca una condizione dopo AND oppure OR"));
        if (m_text[m_pos] != QLatin1Char('('))
            return parseClause(node);
        if (++m_depth > kMaxDepth)
            return fail(QStringLiteral("troppe parentesi annidate"));
        ++m_pos;
        if (!parseOr(node))
            return false;
        skipBlanks();
        if (atEnd() || m_text[m_pos] != QLatin1Char(')'))
            return fail(QStringLiteral("parentesi non chiusa"));
        ++m_pos;
        --m_depth;
        return true;
    }

    /// One part of a field name: [anything but a closing bracket] or a run of letters, digits and '_'.
    bool readNamePart(QString* part)
    {
        if (!atEnd() && m_text[m_pos] == QLatin1Char('[')) {
            const qsizetype close = m_text.indexOf(QLatin1Char(']'), m_pos + 1);
            if (close < 0)
                return fail(QStringLiteral("parentesi quadra non chiusa"));
            *part = m_text.mid(m_pos + 1, close - m_pos - 1).trimmed();
            m_pos = close + 1;
            if (part->isEmpty())
                return fail(QStringLiteral("nome di campo vuoto tra parentesi quadre"));
            return true;
        }
        const qsizetype start = m_pos;
        while (!atEnd() && isNameChar(m_text[m_pos]))
            ++m_pos;
        if (m_pos == start) {
            if (atEnd())
                return fail(QStringLiteral("manca il nome del campo"));
            return fail(QStringLiteral("manca il nome del campo prima di %1").arg(quoted(rest())));
        }
        *part = m_text.mid(start, m_pos - start);
        return true;
    }

    /// Field name: bare, [bracketed], or qualified "table.name" (either part may be bracketed).
    bool readFieldName(QString* name, QString* written)
    {
        const qsizetype start = m_pos;
        if (!readNamePart(name))
            return false;
        while (m_pos + 1 < m_text.size() && m_text[m_pos] == QLatin1Char('.')
               && (m_text[m_pos + 1] == QLatin1Char('[') || isNameChar(m_text[m_pos + 1]))) {
            ++m_pos;
            QString part;
            if (!readNamePart(&part))
                return false;
            *name += QLatin1Char('.') + part;
        }
        *written = m_text.mid(start, m_pos - start);
        return true;
    }

    bool readOperator(Op* op, QString* written)
    {
        skipBlanks();
        const qsizetype start = m_pos;
        if (atEnd()) {
            // reported by the caller, which knows the field
        } else if (m_text[m_pos] == QLatin1Char('=')) {
            *op = Op::Equal;
            ++m_pos;
        } else if (m_text[m_pos] == QLatin1Char('<')) {
            ++m_pos;
            if (!atEnd() && m_text[m_pos] == QLatin1Char('=')) {
                *op = Op::LessEqual;
                ++m_pos;
            } else if (!atEnd() && m_text[m_pos] == QLatin1Char('>')) {
                *op = Op::NotEqual;
                ++m_pos;
            } else {
                *op = Op::Less;
            }
        } else if (m_text[m_pos] == QLatin1Char('>')) {
            ++m_pos;
            if (!atEnd() && m_text[m_pos] == QLatin1Char('=')) {
                *op = Op::GreaterEqual;
                ++m_pos;
            } else {
                *op = Op::Greater;
            }
        } else if (keywordAhead(QLatin1String("LIKE"))) {
            *op = Op::Like;
            m_pos += 4;
        }
        if (m_pos == start)
            return false;
        *written = m_text.mid(start, m_pos - start);
        return true;
    }

    bool readLiteral(Literal* literal, const QString& head)
    {
        skipBlanks();
        if (atEnd() || m_text[m_pos] == QLatin1Char(')') || keywordAhead(QLatin1String("AND"))
            || keywordAhead(QLatin1String("OR")))
            return fail(QStringLiteral("manca il valore dopo %1").arg(quoted(head)));

        const QChar first = m_text[m_pos];
        if (first == QLatin1Char('\'')) {
            literal->form = Literal::Quoted;
            qsizetype pos = m_pos + 1;
            for (;;) {
                if (pos >= m_text.size())
                    return fail(QStringLiteral("apice non chiuso dopo %1").arg(quoted(head)));
                if (m_text[pos] == QLatin1Char('\'')) {
                    if (pos + 1 < m_text.size() && m_text[pos + 1] == QLatin1Char('\'')) {
                        literal->text += QLatin1Char('\'');
                        pos += 2;
                        continue;
                    }
                    break;
                }
                literal->text += m_text[pos++];
            }
            m_pos = pos + 1;
            return true;
        }
        if (first == QLatin1Char('#')) {
            literal->form = Literal::Hashed;
            const qsizetype close = m_text.indexOf(QLatin1Char('#'), m_pos + 1);
            if (close < 0)
                return fail(QStringLiteral("manca il # che chiude la data dopo %1").arg(quoted(head)));
            literal->text = m_text.mid(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            return true;
        }
        literal->form = Literal::Bare;
        const qsizetype start = m_pos;
        while (!atEnd() && !m_text[m_pos].isSpace() && m_text[m_pos] != QLatin1Char('(')
               && m_text[m_pos] != QLatin1Char(')'))
            ++m_pos;
        literal->text = m_text.mid(start, m_pos - start);
        if (literal->text.isEmpty())
            return fail(QStringLiteral("manca il valore dopo %1").arg(quoted(head)));
        return true;
    }

    bool parseClause(int* node)
    {
        QString name, writtenName;
        if (!readFieldName(&name, &writtenName))
            return false;

        Op op = Op::Equal;
        QString writtenOp;
        if (!readOperator(&op, &writtenOp)) {
            if (atEnd())
                return fail(QStringLiteral("manca l'operatore dopo %1").arg(quoted(writtenName)));
            return fail(QStringLiteral("operatore non valido dopo %1: %2").arg(quoted(writtenName), quoted(rest())));
        }
        const QString head = writtenName + QLatin1Char(' ') + writtenOp;

        Literal literal;
        if (!readLiteral(&literal, head))
            return false;

        bool ambiguous = false;
        const std::optional<CriteriaField> field = m_resolver ? m_resolver(name, &ambiguous) : std::nullopt;
        if (!field) {
            if (ambiguous)
                return fail(QStringLiteral("il campo %1 è in più tabelle: indicare anche la tabella (tabella.campo)")
                                .arg(quoted(writtenName)));
            return fail(QStringLiteral("campo sconosciuto %1").arg(quoted(writtenName)));
        }
        const std::optional<Kind> kind = kindOfAdoType(field->adoType);
        if (!kind)
            return fail(QStringLiteral("il campo %1 non si può confrontare").arg(quoted(writtenName)));

        Clause clause;
        clause.column = field->column;
        clause.kind = *kind;
        clause.op = op;
        if (!fillValue(&clause, literal, writtenName))
            return false;

        m_out->clauses.push_back(std::move(clause));
        Node leaf;
        leaf.first = int(m_out->clauses.size()) - 1;
        m_out->nodes.push_back(leaf);
        *node = int(m_out->nodes.size()) - 1;
        return true;
    }

    /// Puts the literal into the field's terms, or refuses a value of the wrong kind.
    bool fillValue(Clause* clause, const Literal& literal, const QString& field)
    {
        const QString shown = literal.form == Literal::Hashed ? QLatin1Char('#') + literal.text + QLatin1Char('#')
                                                              : quoted(literal.text);
        if (clause->op == Op::Like) {
            if (literal.form != Literal::Quoted)
                return fail(QStringLiteral("LIKE vuole un testo tra apici, non %1").arg(shown));
            clause->like.emplace(literal.text);
            return true;
        }

        switch (clause->kind) {
        case Kind::Text:
            if (literal.form != Literal::Quoted)
                return fail(QStringLiteral("il valore per il campo di testo %1 va scritto tra apici: %2")
                                .arg(quoted(field), shown));
            clause->text = criteria::foldText(literal.text);
            return true;

        case Kind::Integer:
        case Kind::Real:
            if (literal.form != Literal::Hashed) {
                if (readNumberText(literal.text, &clause->integer, &clause->real, &clause->integral))
                    return true;
                if (const std::optional<bool> yes = readYesNoText(literal.text)) {
                    clause->integer = *yes ? -1 : 0;
                    clause->real = double(clause->integer);
                    clause->integral = true;
                    return true;
                }
            }
            return fail(QStringLiteral("valore non numerico %1 per il campo numerico %2").arg(shown, quoted(field)));

        case Kind::Date: {
            if (literal.form == Literal::Bare)
                return fail(QStringLiteral("la data per il campo %1 va scritta tra # (#gg/mm/aaaa#): %2")
                                .arg(quoted(field), shown));
            const std::optional<DateTimeValue> value = parseDateText(literal.text);
            if (!value)
                return fail(QStringLiteral("data non valida %1 per il campo %2").arg(shown, quoted(field)));
            clause->integer = value->serial();
            return true;
        }

        case Kind::YesNo: {
            if (literal.form != Literal::Hashed) {
                if (const std::optional<bool> yes = readYesNoText(literal.text)) {
                    clause->integer = *yes ? -1 : 0;
                    return true;
                }
            }
            return fail(QStringLiteral("valore non valido %1 per il campo sì/no %2 (Vero, Falso, Sì, No, -1, 1 o 0)")
                            .arg(shown, quoted(field)));
        }
        }
        return false;
    }

    const QString& m_text;
    const CriteriaFieldResolver& m_resolver;
    ParsedCriteria* m_out;
    qsizetype m_pos = 0;
    int m_depth = 0;
    QString m_error;
};

} // namespace

std::unique_ptr<Criteria> Criteria::parse(const QString& text, const CriteriaFieldResolver& resolver, QString* error)
{
    auto parsed = std::make_unique<ParsedCriteria>();
    Parser parser(text, resolver, parsed.get());
    if (!parser.parse()) {
        if (error)
            *error = QStringLiteral("Criterio non valido: ") + parser.error();
        return nullptr;
    }
    if (error)
        error->clear();
    return parsed;
}

} // namespace quad
