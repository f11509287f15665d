// ADO's XML rowset format: Recordset::save and Recordset::openXml.

#include "recordset.h"

#include "field_text.h"
#include "file_replace.h"
#include "recordset_p.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace quad {

using namespace rs;

namespace {

const QString kSchemaNs = QStringLiteral("uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882");
const QString kTypeNs = QStringLiteral("uuid:C2F41010-65B3-11d1-A29F-00AA00C14882");
const QString kRowsetNs = QStringLiteral("urn:schemas-microsoft-com:rowset");
const QString kRowNs = QStringLiteral("#RowsetSchema");

DbResult xmlError(const QString& text)
{
    return DbResult::failure(DbError::Other, text);
}

// ---------------------------------------------------------------------------------------------
// Types

struct XmlType
{
    QString type; ///< dt:type
    QString dbtype; ///< rs:dbtype, "" when none
    int maxLength = 0;
    bool isLong = false;
    bool fixed = false;
    /// rs:precision: digits of a number, characters of a date's text; 0 for the types that have
    /// none (texts, yes/no).
    int precision = 0;
};

XmlType xmlTypeFor(const FieldInfo& f)
{
    XmlType t;
    switch (f.type) {
    case 2:
        t = {QStringLiteral("i2"), {}, 2, false, true, 5};
        break;
    case 3:
        t = {QStringLiteral("int"), {}, 4, false, true, 10};
        break;
    case 16:
        t = {QStringLiteral("i1"), {}, 1, false, true, 3};
        break;
    case 17:
        t = {QStringLiteral("ui1"), {}, 1, false, true, 3};
        break;
    case 18:
        t = {QStringLiteral("ui2"), {}, 2, false, true, 5};
        break;
    case 19:
        t = {QStringLiteral("ui4"), {}, 4, false, true, 10};
        break;
    case 20:
        t = {QStringLiteral("i8"), {}, 8, false, true, 19};
        break;
    case 21:
        t = {QStringLiteral("ui8"), {}, 8, false, true, 20};
        break;
    case 4:
        t = {QStringLiteral("r4"), {}, 4, false, true, 7};
        break;
    case 5:
        t = {QStringLiteral("float"), {}, 8, false, true, 15};
        break;
    case 6:
        t = {QStringLiteral("number"), QStringLiteral("currency"), 8, false, true, 19};
        break;
    case 14:
        t = {QStringLiteral("number"), QStringLiteral("decimal"), 19, false, true, 18};
        break;
    case 131:
        t = {QStringLiteral("number"), QStringLiteral("numeric"), 19, false, true, 18};
        break;
    case 11:
        t = {QStringLiteral("boolean"), {}, 2, false, true};
        break;
    case 7:
        t = {QStringLiteral("dateTime"), QStringLiteral("variantdate"), 16, false, true, 19};
        break;
    case 133:
        t = {QStringLiteral("date"), {}, 6, false, true, 10};
        break;
    case 134:
        t = {QStringLiteral("time"), {}, 6, false, true, 8};
        break;
    case 135:
        t = {QStringLiteral("dateTime"), QStringLiteral("timestamp"), 16, false, true, 19};
        break;
    case 200:
    case 201:
    case 129:
        t = {QStringLiteral("string"), QStringLiteral("str"), 255, f.type == 201, f.type == 129};
        break;
    case adLongVarWChar:
        t = {QStringLiteral("string"), {}, 536870910, true, false};
        break;
    default:
        t = {QStringLiteral("string"), {}, 255, false, f.type == 130};
        break;
    }
    if (storageFor(f.type) == Storage::Text && f.definedSize > 0)
        t.maxLength = f.definedSize;
    return t;
}

int adoTypeFor(const XmlType& t)
{
    const QString type = t.type.toLower();
    const QString db = t.dbtype.toLower();
    if (type == QLatin1String("int") || type == QLatin1String("i4"))
        return 3;
    if (type == QLatin1String("i2"))
        return 2;
    if (type == QLatin1String("i1"))
        return 16;
    if (type == QLatin1String("ui1"))
        return 17;
    if (type == QLatin1String("ui2"))
        return 18;
    if (type == QLatin1String("ui4"))
        return 19;
    if (type == QLatin1String("i8"))
        return db == QLatin1String("currency") ? 6 : 20;
    if (type == QLatin1String("ui8"))
        return 21;
    if (type == QLatin1String("r4"))
        return 4;
    if (type == QLatin1String("float") || type == QLatin1String("r8"))
        return 5;
    if (type == QLatin1String("number"))
        return db == QLatin1String("currency") ? 6 : db == QLatin1String("decimal") ? 14 : 131;
    if (type == QLatin1String("fixed.14.4"))
        return 6;
    if (type == QLatin1String("boolean"))
        return 11;
    if (type == QLatin1String("datetime") || type == QLatin1String("datetime.tz"))
        return db == QLatin1String("timestamp") ? 135 : 7;
    if (type == QLatin1String("date"))
        return 133;
    if (type == QLatin1String("time") || type == QLatin1String("time.tz"))
        return 134;
    if (db == QLatin1String("str"))
        return t.isLong ? 201 : (t.fixed ? 129 : 200);
    return t.isLong ? adLongVarWChar : (t.fixed ? 130 : adVarWChar);
}

// ---------------------------------------------------------------------------------------------
// Values

bool isXmlChar(char16_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

bool validXmlText(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate() || !isXmlChar(c.unicode())) {
            return false;
        }
    }
    return true;
}

/// Text of a file as a message shows it, so that what is there can be seen: the blanks around
/// it dropped unless it is blank throughout, and every character that cannot be seen (a
/// non-breaking space, a tab, a control; any blank of a text blank throughout) written as its
/// code ("\u00A0"). At most limit characters of the text are shown.
QString visibleText(QStringView text, qsizetype limit = 40)
{
    const QList<uint> codes = text.toUcs4();
    const auto blank = [](uint c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    qsizetype first = 0;
    qsizetype last = codes.size();
    while (first < last && blank(codes[first]))
        ++first;
    while (last > first && blank(codes[last - 1]))
        --last;
    const bool allBlank = first == last;
    if (allBlank) {
        first = 0;
        last = codes.size();
    }
    QString shown;
    for (qsizetype i = first; i < last && i < first + limit; ++i) {
        const char32_t c = codes[i];
        const bool seen = c == ' ' ? !allBlank : QChar::isPrint(c) && !QChar::isSpace(c);
        if (seen)
            shown += QString::fromUcs4(&c, 1);
        else
            shown += QStringLiteral("\\u") + QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    }
    return shown;
}

/// A number in plain decimal digits, never in exponent form ("1000000000000000", not "1e+15";
/// "0.00000015", not "1.5e-07"), with the fewest digits that read back as the same value.
QString plainNumber(double v)
{
    const QString shortest = QString::number(v, 'g', QLocale::FloatingPointShortest);
    const qsizetype e = shortest.indexOf(QLatin1Char('e'));
    if (e < 0)
        return shortest;
    QString mantissa = shortest.left(e);
    const int exponent = shortest.mid(e + 1).toInt();
    const bool negative = mantissa.startsWith(QLatin1Char('-'));
    if (negative)
        mantissa.remove(0, 1);
    const qsizetype dot = mantissa.indexOf(QLatin1Char('.'));
    const QString digits = QString(mantissa).remove(QLatin1Char('.'));
    const qsizetype whole = (dot < 0 ? mantissa.size() : dot) + exponent; // digits before the point
    QString plain;
    if (whole <= 0)
        plain = QStringLiteral("0.") + QString(-whole, QLatin1Char('0')) + digits;
    else if (whole >= digits.size())
        plain = digits + QString(whole - digits.size(), QLatin1Char('0'));
    else
        plain = digits.left(whole) + QLatin1Char('.') + digits.mid(whole);
    return negative ? QLatin1Char('-') + plain : plain;
}

/// A value as the rowset writes it; false when it cannot be written for this type.
bool xmlValue(const QVariant& v, Storage storage, QString* out)
{
    switch (storage) {
    case Storage::Integer:
        if (v.metaType().id() == QMetaType::QString)
            return false;
        *out = QString::number(variantInteger(v));
        return true;
    case Storage::Real: {
        if (v.metaType().id() == QMetaType::QString)
            return false;
        const double real = variantReal(v);
        if (!std::isfinite(real))
            return false;
        *out = plainNumber(real);
        return true;
    }
    case Storage::Boolean:
        if (v.metaType().id() != QMetaType::Bool)
            return false;
        *out = v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return true;
    case Storage::DateTime:
        switch (v.metaType().id()) {
        case QMetaType::QDate:
            *out = v.toDate().toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("T00:00:00");
            return true;
        case QMetaType::QTime:
            *out = QStringLiteral("1899-12-30T") + v.toTime().toString(QStringLiteral("HH:mm:ss"));
            return true;
        case QMetaType::QDateTime:
            *out = v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
            return true;
        default:
            return false;
        }
    case Storage::Text:
        *out = v.toString();
        return validXmlText(*out);
    }
    return false;
}

bool readXmlValue(const QString& text, const FieldInfo& field, const XmlType& type, QVariant* out)
{
    // What the writer could not write back (a NUL, say) is no value of the file.
    if (!validXmlText(text))
        return false;
    const QString t = text.trimmed();
    switch (storageFor(field.type)) {
    case Storage::Integer: {
        bool ok = false;
        const qint64 v = t.toLongLong(&ok);
        if (!ok || !integerFitsAdoType(v, field.type))
            return false;
        *out = v;
        return true;
    }
    case Storage::Real: {
        bool ok = false;
        const double v = QLocale::c().toDouble(t, &ok);
        if (ok && std::isfinite(v))
            *out = v;
        return ok && std::isfinite(v);
    }
    case Storage::Boolean: {
        const QString l = t.toLower();
        if (l == QLatin1String("true") || l == QLatin1String("1") || l == QLatin1String("-1"))
            *out = true;
        else if (l == QLatin1String("false") || l == QLatin1String("0"))
            *out = false;
        else
            return false;
        return true;
    }
    case Storage::DateTime: {
        // yyyy-mm-dd, hh:mm:ss or yyyy-mm-ddThh:mm:ss, with optional fractions and zone.
        QString body = t;
        const qsizetype zone = body.indexOf(QRegularExpression(QStringLiteral("(Z|[+-]\\d\\d:\\d\\d)$")));
        if (zone > 8)
            body.truncate(zone);
        const qsizetype dot = body.indexOf(QLatin1Char('.'));
        if (dot > 0)
            body.truncate(dot);
        QDate date;
        QTime time;
        const QString typeName = type.type.toLower();
        if (typeName.startsWith(QLatin1String("time")) && body.size() == 8) {
            time = QTime::fromString(body, QStringLiteral("HH:mm:ss"));
            if (!time.isValid())
                return false;
            *out = time;
            return true;
        }
        date = QDate::fromString(body.left(10), QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            return false;
        if (body.size() > 10) {
            if (body[10] != QLatin1Char('T') && body[10] != QLatin1Char(' '))
                return false;
            const QString clock = body.mid(11);
            time = QTime::fromString(clock, clock.size() == 5 ? QStringLiteral("HH:mm") : QStringLiteral("HH:mm:ss"));
            if (!time.isValid())
                return false;
        } else {
            time = QTime(0, 0);
        }
        if (date == QDate(1899, 12, 30))
            *out = time; // a time alone sits on day 0
        else if (time == QTime(0, 0))
            *out = date;
        else
            *out = QDateTime(date, time);
        return true;
    }
    case Storage::Text:
        *out = text;
        return true;
    }
    return false;
}

bool isNcName(const QString& name)
{
    if (name.isEmpty())
        return false;
    const QChar first = name[0];
    if (!(first.isLetter() || first == QLatin1Char('_')))
        return false;
    for (QChar c : name) {
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    }
    return !name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive);
}

// ---------------------------------------------------------------------------------------------
// Reading

struct XmlColumn
{
    QString xmlName;
    QString name;
    int number = 0;
    int order = 0;
    XmlType type;
    int maybeNull = -1; ///< rs:maybenull: 1 true, 0 false, -1 not given
    int nullable = -1; ///< rs:nullable, likewise
    /// A column that never holds Null: rs:maybenull="false", or rs:nullable="false" alone.
    bool notNull() const { return maybeNull == 0 || (maybeNull < 0 && nullable == 0); }
};

enum class RowKind { Plain, Insert, Update, Delete };

/// What an element of a rowset file is, by where it stands: the root, the schema or an element
/// within it, the data section, the wrappers of a saved batch's changes in it, a row.
enum class Element { Root, Schema, Data, Insert, Update, Original, Delete, Row };

struct XmlRow
{
    RowKind kind = RowKind::Plain;
    QVector<QVariant> values; ///< Plain / Insert / Delete values, or the original of an Update
    QVector<QVariant> current; ///< Update: values as changed
    QBitArray changed; ///< Update: which values changed
};

class RowsetReader
{
public:
    explicit RowsetReader(const QByteArray& bytes)
        : m_xml(bytes)
    {
    }

    /// Reads the whole file. Whatever it holds is taken in full or the file is refused: no
    /// DOCTYPE (the program's files never have one, and the entities it declares would be
    /// dropped or read as raw text), one schema and one data section under the root, in the
    /// schema one description of the rows and only the schema's own elements, in the data
    /// section only rows (z:row) and the wrappers of a saved batch's changes, in a row nothing
    /// and only values of the schema's fields, and no text but blanks between elements anywhere.
    DbResult read()
    {
        std::vector<Element> open; // the elements open, outermost first
        XmlColumn* column = nullptr;
        bool haveSchema = false;
        bool haveRowType = false;
        bool haveData = false;
        while (!m_xml.atEnd()) {
            const QXmlStreamReader::TokenType token = m_xml.readNext();
            if (token == QXmlStreamReader::DTD) {
                return xmlError(
                    QStringLiteral("Dichiarazione DOCTYPE nel file XML (riga %1): un file di dati non ne ha.")
                        .arg(m_xml.lineNumber()));
            } else if (token == QXmlStreamReader::EntityReference) {
                return xmlError(
                    QStringLiteral("Riferimento a un' entità che non si può leggere nel file XML (riga %1): "
                                   "&%2;")
                        .arg(m_xml.lineNumber())
                        .arg(visibleText(m_xml.name())));
            } else if (token == QXmlStreamReader::Characters) {
                if (!m_xml.isWhitespace())
                    return xmlError(QStringLiteral("Testo inatteso nel file XML (riga %1): \"%2\"")
                                        .arg(m_xml.lineNumber())
                                        .arg(visibleText(m_xml.text())));
            } else if (token == QXmlStreamReader::StartElement) {
                const QStringView ns = m_xml.namespaceUri();
                const QStringView local = m_xml.name();
                const bool data = ns == kRowsetNs && local == QLatin1String("data");
                const bool row = ns == kRowNs && local == QLatin1String("row");
                Element element = Element::Root;
                if (open.empty()) {
                    // the root
                } else if (data && haveData) {
                    return xmlError(QStringLiteral("Più di una sezione di dati (rs:data) nel file XML (riga %1).")
                                        .arg(m_xml.lineNumber()));
                } else if (open.back() == Element::Root) {
                    if (ns == kSchemaNs && local == QLatin1String("Schema") && !haveSchema) {
                        element = Element::Schema;
                        haveSchema = true;
                    } else if (data) {
                        if (m_columns.isEmpty())
                            return xmlError(QStringLiteral("File XML senza descrizione dei campi."));
                        const DbResult r = prepareColumns();
                        if (!r.ok())
                            return r;
                        element = Element::Data;
                        haveData = true;
                    } else {
                        return unexpected();
                    }
                } else if (open.back() == Element::Schema) {
                    // The schema's own elements, describing one kind of row: rows here would be
                    // lost, and the fields of a second description taken as the rows' own.
                    const bool rowType = local == QLatin1String("ElementType");
                    if (ns != kSchemaNs || local == QLatin1String("Schema") || (rowType && haveRowType))
                        return unexpected();
                    haveRowType = haveRowType || rowType;
                    element = Element::Schema;
                    if (ns == kSchemaNs && local == QLatin1String("AttributeType")) {
                        m_columns.append(XmlColumn());
                        column = &m_columns.last();
                        column->order = int(m_columns.size());
                        readColumnAttributes(column);
                    } else if (column && ns == kSchemaNs && local == QLatin1String("datatype")) {
                        readTypeAttributes(&column->type);
                        readNullability(column);
                    }
                } else if (row && open.back() != Element::Row) {
                    const DbResult r = readRow(open.back());
                    if (!r.ok())
                        return r;
                    element = Element::Row;
                } else if (ns == kRowsetNs && open.back() == Element::Data && local == QLatin1String("insert")) {
                    element = Element::Insert;
                } else if (ns == kRowsetNs && open.back() == Element::Data && local == QLatin1String("delete")) {
                    element = Element::Delete;
                } else if (ns == kRowsetNs && open.back() == Element::Data && local == QLatin1String("update")) {
                    element = Element::Update;
                    m_currents.clear();
                    m_originals.clear();
                } else if (ns == kRowsetNs && open.back() == Element::Update && local == QLatin1String("original")) {
                    element = Element::Original;
                } else {
                    return unexpected();
                }
                open.push_back(element);
            } else if (token == QXmlStreamReader::EndElement) {
                if (m_xml.namespaceUri() == kSchemaNs && m_xml.name() == QLatin1String("AttributeType"))
                    column = nullptr;
                if (!open.empty() && open.back() == Element::Update) {
                    const DbResult r = closeUpdate();
                    if (!r.ok())
                        return r;
                }
                if (!open.empty())
                    open.pop_back();
            }
        }
        if (m_xml.hasError())
            return xmlError(QStringLiteral("File XML non valido (riga %1, colonna %2): %3")
                                .arg(m_xml.lineNumber())
                                .arg(m_xml.columnNumber())
                                .arg(m_xml.errorString()));
        if (!haveData)
            return xmlError(QStringLiteral("File XML senza dati (rs:data)."));
        return {};
    }

    const QVector<FieldInfo>& fields() const { return m_fields; }
    bool notNull(int column) const { return m_notNull.value(column); }
    const QVector<XmlRow>& rows() const { return m_rows; }

private:
    QString attribute(const QString& ns, const QString& name) const
    {
        return m_xml.attributes().value(ns, name).toString();
    }

    void readColumnAttributes(XmlColumn* c)
    {
        c->xmlName = attribute(QString(), QStringLiteral("name"));
        const QString alias = attribute(kRowsetNs, QStringLiteral("name"));
        c->name = alias.isEmpty() ? c->xmlName : alias;
        c->number = attribute(kRowsetNs, QStringLiteral("number")).toInt();
        readTypeAttributes(&c->type);
        readNullability(c);
    }

    void readNullability(XmlColumn* c)
    {
        const QXmlStreamAttributes attrs = m_xml.attributes();
        const auto flag = [&attrs](const QString& name, int* out) {
            if (attrs.hasAttribute(kRowsetNs, name))
                *out = attrs.value(kRowsetNs, name).compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
        };
        flag(QStringLiteral("maybenull"), &c->maybeNull);
        flag(QStringLiteral("nullable"), &c->nullable);
    }

    void readTypeAttributes(XmlType* t)
    {
        const QXmlStreamAttributes attrs = m_xml.attributes();
        if (attrs.hasAttribute(kTypeNs, QStringLiteral("type")))
            t->type = attrs.value(kTypeNs, QStringLiteral("type")).toString();
        if (attrs.hasAttribute(kTypeNs, QStringLiteral("maxLength")))
            t->maxLength = attrs.value(kTypeNs, QStringLiteral("maxLength")).toInt();
        if (attrs.hasAttribute(kRowsetNs, QStringLiteral("dbtype")))
            t->dbtype = attrs.value(kRowsetNs, QStringLiteral("dbtype")).toString();
        if (attrs.hasAttribute(kRowsetNs, QStringLiteral("long")))
            t->isLong
                = attrs.value(kRowsetNs, QStringLiteral("long")).compare(QLatin1String("true"), Qt::CaseInsensitive)
                == 0;
        if (attrs.hasAttribute(kRowsetNs, QStringLiteral("fixedlength")))
            t->fixed = attrs.value(kRowsetNs, QStringLiteral("fixedlength"))
                           .compare(QLatin1String("true"), Qt::CaseInsensitive)
                == 0;
    }

    DbResult prepareColumns()
    {
        if (!m_fields.isEmpty())
            return {};
        std::stable_sort(m_columns.begin(), m_columns.end(), [](const XmlColumn& a, const XmlColumn& b) {
            const int x = a.number > 0 ? a.number : 1 << 30;
            const int y = b.number > 0 ? b.number : 1 << 30;
            return x != y ? x < y : a.order < b.order;
        });
        for (int i = 0; i < m_columns.size(); ++i) {
            const XmlColumn& c = m_columns[i];
            if (c.xmlName.isEmpty())
                return xmlError(QStringLiteral("Campo senza nome nel file XML."));
            if (m_byXmlName.contains(c.xmlName))
                return xmlError(QStringLiteral("Campo ripetuto nel file XML: %1").arg(c.xmlName));
            m_byXmlName.insert(c.xmlName, i);
            FieldInfo f;
            f.name = c.name;
            f.type = adoTypeFor(c.type);
            f.definedSize = c.type.maxLength;
            m_fields.append(f);
            m_notNull.append(c.notNull());
        }
        return {};
    }

    DbResult readValues(QVector<QVariant>* values, QBitArray* given)
    {
        values->fill(QVariant(), m_fields.size());
        given->fill(false, m_fields.size());
        const QXmlStreamAttributes attrs = m_xml.attributes();
        QStringList forceNull;
        for (const QXmlStreamAttribute& a : attrs) {
            // A saved batch's row names the fields it sets to Null.
            if (a.namespaceUri() == kRowsetNs && a.name() == QLatin1String("forcenull")) {
                forceNull = a.value().toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
                continue;
            }
            // Any other attribute is a field's value: one the schema lacks (a misspelt name,
            // another prefix) would be lost.
            const auto it
                = a.namespaceUri().isEmpty() ? m_byXmlName.constFind(a.name().toString()) : m_byXmlName.constEnd();
            if (it == m_byXmlName.constEnd())
                return unknownField(a.qualifiedName());
            QVariant v;
            if (!readXmlValue(a.value().toString(), m_fields[*it], m_columns[*it].type, &v))
                return xmlError(QStringLiteral("Valore non valido nel file XML (riga %1) per il campo %2: %3")
                                    .arg(m_xml.lineNumber())
                                    .arg(m_fields[*it].name, visibleText(a.value(), a.value().size())));
            (*values)[*it] = v;
            given->setBit(*it);
        }
        for (const QString& name : forceNull) {
            const auto it = m_byXmlName.constFind(name);
            if (it == m_byXmlName.constEnd())
                return unknownField(name);
            (*values)[*it] = QVariant();
            given->setBit(*it);
        }
        return {};
    }

    /// The row at the reader, refused: it gives a value to a field the schema lacks.
    DbResult unknownField(QStringView name) const
    {
        return xmlError(QStringLiteral("Un valore nel file XML (riga %1) è di un campo che lo schema non ha: \"%2\".")
                            .arg(m_xml.lineNumber())
                            .arg(visibleText(name)));
    }

    /// The element at the reader, refused: it has no place where it stands.
    DbResult unexpected() const
    {
        return xmlError(QStringLiteral("Elemento inatteso nel file XML (riga %1): <%2>")
                            .arg(m_xml.lineNumber())
                            .arg(m_xml.qualifiedName()));
    }

    /// The row at the reader, within the element in.
    DbResult readRow(Element in)
    {
        XmlRow row;
        QBitArray given;
        const DbResult r = readValues(&row.values, &given);
        if (!r.ok())
            return r;
        if (in == Element::Update) {
            m_currents.append({row.values, given});
            return {};
        }
        if (in == Element::Original) {
            m_originals.append(row.values);
            return {};
        }
        row.kind = in == Element::Insert ? RowKind::Insert : in == Element::Delete ? RowKind::Delete : RowKind::Plain;
        m_rows.append(row);
        return {};
    }

    DbResult closeUpdate()
    {
        if (m_currents.size() != m_originals.size())
            return xmlError(QStringLiteral("Modifica incompleta nel file XML (riga %1).").arg(m_xml.lineNumber()));
        for (int i = 0; i < m_currents.size(); ++i) {
            XmlRow row;
            row.kind = RowKind::Update;
            row.values = m_originals[i];
            row.current = m_currents[i].first;
            row.changed = m_currents[i].second;
            m_rows.append(row);
        }
        m_currents.clear();
        m_originals.clear();
        return {};
    }

    QXmlStreamReader m_xml;
    QVector<FieldInfo> m_fields;
    QVector<bool> m_notNull;
    QVector<XmlColumn> m_columns;
    QHash<QString, int> m_byXmlName;
    QVector<XmlRow> m_rows;
    QVector<QPair<QVector<QVariant>, QBitArray>> m_currents;
    QVector<QVector<QVariant>> m_originals;
};

/// The attribute name of every field: its own name when XML allows it and no earlier field took
/// it, else an alias that is no other field's name (the rows address columns by these names, so
/// two alike would make the file unreadable).
QStringList attributeNames(const QVector<FieldInfo>& fields)
{
    const int n = int(fields.size());
    QStringList names;
    QSet<QString> used;
    for (int i = 0; i < n; ++i) {
        const QString& own = fields[i].uniqueName;
        const bool keep = isNcName(own) && !used.contains(own);
        names << (keep ? own : QString());
        if (keep)
            used.insert(own);
    }
    for (int i = 0; i < n; ++i) {
        if (!names[i].isEmpty())
            continue;
        QString alias = QStringLiteral("c%1").arg(i);
        for (int k = 2; used.contains(alias); ++k)
            alias = QStringLiteral("c%1_%2").arg(i).arg(k);
        used.insert(alias);
        names[i] = alias;
    }
    return names;
}

/// The schema types for the rows written: a text column's length is never below its longest
/// value, and one without a declared size that holds more than 255 characters is long text; an
/// integer column holding a value beyond 32 bits is written as a 64-bit one.
QVector<XmlType> typesForRows(const Shared& s, const std::vector<qint32>& view)
{
    const int n = int(s.fields.size());
    QVector<XmlType> types;
    for (int i = 0; i < n; ++i) {
        const FieldInfo& f = s.fields[i];
        XmlType t = xmlTypeFor(f);
        const Storage storage = storageFor(f.type);
        if (storage == Storage::Text && !t.isLong) {
            qsizetype longest = 0;
            for (const qint32 row : view) {
                const QVariant v = s.value(row, i);
                if (!v.isNull())
                    longest = std::max(longest, v.toString().size());
            }
            if (f.definedSize <= 0 && longest > t.maxLength) {
                t.isLong = true;
                t.fixed = false;
                t.maxLength = 536870910;
            } else if (longest > t.maxLength) {
                t.maxLength = int(longest);
            }
        } else if (storage == Storage::Integer && t.maxLength < 8) {
            for (const qint32 row : view) {
                const QVariant v = s.value(row, i);
                if (!v.isNull() && v.metaType().id() != QMetaType::QString
                    && !integerFitsAdoType(variantInteger(v), f.type)) {
                    t = {QStringLiteral("i8"), {}, 8, false, true, 19};
                    break;
                }
            }
        }
        types.append(t);
    }
    return types;
}

} // namespace

// ---------------------------------------------------------------------------------------------

DbResult Recordset::save(const QString& file) const
{
    QByteArray bytes;
    const DbResult made = saveXml(&bytes);
    if (!made.ok())
        return made;
    QString why;
    if (!replaceFile(file, bytes, &why))
        return DbResult::failure(DbError::ReadOnly, why);
    return {};
}

DbResult Recordset::saveXml(QByteArray* out) const
{
    if (!d->s)
        return xmlError(QStringLiteral("Il recordset non è aperto."));
    const Shared& s = *d->s;
    const int n = int(s.fields.size());

    const QStringList names = attributeNames(s.fields);
    const QVector<XmlType> types = typesForRows(s, d->view);

    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(1);
    w.writeNamespace(kSchemaNs, QStringLiteral("s"));
    w.writeNamespace(kTypeNs, QStringLiteral("dt"));
    w.writeNamespace(kRowsetNs, QStringLiteral("rs"));
    w.writeNamespace(kRowNs, QStringLiteral("z"));
    w.writeStartElement(QStringLiteral("xml"));
    w.writeStartElement(kSchemaNs, QStringLiteral("Schema"));
    w.writeAttribute(QStringLiteral("id"), QStringLiteral("RowsetSchema"));
    w.writeStartElement(kSchemaNs, QStringLiteral("ElementType"));
    w.writeAttribute(QStringLiteral("name"), QStringLiteral("row"));
    w.writeAttribute(QStringLiteral("content"), QStringLiteral("eltOnly"));
    w.writeAttribute(kRowsetNs, QStringLiteral("updatable"), QStringLiteral("true"));
    for (int i = 0; i < n; ++i) {
        const FieldInfo& f = s.fields[i];
        if (!validXmlText(f.uniqueName))
            return xmlError(QStringLiteral("Nome di campo non scrivibile in XML: %1").arg(f.uniqueName));
        const FieldMeta& meta = s.meta[i];
        const SourceTable* table = meta.table >= 0 ? &s.tables[size_t(meta.table)] : nullptr;
        // The INTEGER PRIMARY KEY is its table's key and never Null, though not declared NOT NULL.
        const bool key = table && table->aliasField == i;
        const bool notNull = meta.notNull || key;
        w.writeStartElement(kSchemaNs, QStringLiteral("AttributeType"));
        w.writeAttribute(QStringLiteral("name"), names[i]);
        if (names[i] != f.uniqueName)
            w.writeAttribute(kRowsetNs, QStringLiteral("name"), f.uniqueName);
        w.writeAttribute(kRowsetNs, QStringLiteral("number"), QString::number(i + 1));
        if (!notNull)
            w.writeAttribute(kRowsetNs, QStringLiteral("nullable"), QStringLiteral("true"));
        w.writeAttribute(kRowsetNs, QStringLiteral("writeunknown"), QStringLiteral("true"));
        if (table) {
            w.writeAttribute(kRowsetNs, QStringLiteral("basetable"), table->name);
            w.writeAttribute(kRowsetNs, QStringLiteral("basecolumn"), meta.origin);
            w.writeAttribute(kRowsetNs, QStringLiteral("keycolumn"),
                             key ? QStringLiteral("true") : QStringLiteral("false"));
        }
        const XmlType& t = types[i];
        w.writeEmptyElement(kSchemaNs, QStringLiteral("datatype"));
        w.writeAttribute(kTypeNs, QStringLiteral("type"), t.type);
        if (!t.dbtype.isEmpty())
            w.writeAttribute(kRowsetNs, QStringLiteral("dbtype"), t.dbtype);
        w.writeAttribute(kTypeNs, QStringLiteral("maxLength"), QString::number(t.maxLength));
        if (t.precision > 0)
            w.writeAttribute(kRowsetNs, QStringLiteral("precision"), QString::number(t.precision));
        if (t.isLong)
            w.writeAttribute(kRowsetNs, QStringLiteral("long"), QStringLiteral("true"));
        if (t.fixed)
            w.writeAttribute(kRowsetNs, QStringLiteral("fixedlength"), QStringLiteral("true"));
        // As the published format has it: "may be Null" is said only of the columns that never are.
        if (notNull)
            w.writeAttribute(kRowsetNs, QStringLiteral("maybenull"), QStringLiteral("false"));
        w.writeEndElement(); // AttributeType
    }
    w.writeEmptyElement(kSchemaNs, QStringLiteral("extends"));
    w.writeAttribute(QStringLiteral("type"), QStringLiteral("rs:rowbase"));
    w.writeEndElement(); // ElementType
    w.writeEndElement(); // Schema

    w.writeStartElement(kRowsetNs, QStringLiteral("data"));
    QString text;
    for (size_t r = 0; r < d->view.size(); ++r) {
        const qint64 row = d->view[r];
        w.writeEmptyElement(kRowNs, QStringLiteral("row"));
        for (int i = 0; i < n; ++i) {
            const QVariant v = s.value(row, i);
            if (v.isNull())
                continue;
            if (!xmlValue(v, storageFor(s.fields[i].type), &text))
                return xmlError(QStringLiteral("Il campo %1 della riga %2 contiene un valore non scrivibile: %3")
                                    .arg(s.fields[i].uniqueName)
                                    .arg(r + 1)
                                    .arg(v.toString()));
            w.writeAttribute(names[i], text);
        }
    }
    w.writeEndElement(); // data
    w.writeEndElement(); // xml
    w.writeEndDocument();
    *out = std::move(bytes);
    return {};
}

std::shared_ptr<Recordset> Recordset::openXml(const QString& file, DbResult* error)
{
    DbResult local;
    DbResult& err = error ? *error : local;
    err = {};
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        err = DbResult::failure(in.exists() ? DbError::CantOpen : DbError::NotFound,
                                QStringLiteral("Impossibile leggere il file %1: %2").arg(file, in.errorString()));
        return nullptr;
    }
    RowsetReader reader(in.readAll());
    err = reader.read();
    if (!err.ok()) {
        err.message = QStringLiteral("%1: %2").arg(file, err.message);
        return nullptr;
    }

    auto shared = std::make_shared<Shared>();
    shared->inMemory = true;
    shared->sql = file;
    for (int i = 0; i < reader.fields().size(); ++i) {
        FieldMeta meta;
        meta.notNull = reader.notNull(i);
        shared->addField(reader.fields()[i], meta);
    }
    shared->indexFields();
    for (const FieldInfo& f : shared->fields)
        shared->columns.push_back(makeColumn(storageFor(f.type)));

    const int n = int(shared->fields.size());
    QVector<QPair<qsizetype, const XmlRow*>> later;
    for (const XmlRow& row : reader.rows()) {
        if (row.kind == RowKind::Insert) {
            later.append({-1, &row});
            continue;
        }
        for (int c = 0; c < n; ++c)
            shared->columns[size_t(c)]->appendValue(row.values[c]);
        shared->flags.push_back(0);
        const qsizetype index = shared->baseRows++;
        if (row.kind != RowKind::Plain)
            later.append({index, &row});
    }
    shared->totalRows = shared->baseRows;
    for (auto& column : shared->columns)
        column->finish();
    // Pending changes of the saved batch stay pending.
    for (const auto& item : later) {
        const XmlRow& row = *item.second;
        if (row.kind == RowKind::Insert) {
            const qsizetype index = shared->addRow();
            RowState& st = shared->touch(index);
            for (int c = 0; c < n; ++c) {
                st.pending[c] = row.values[c];
                st.pendingSet.setBit(c);
            }
        } else if (row.kind == RowKind::Update) {
            RowState& st = shared->touch(item.first);
            st.status = RowStatus::Modified;
            for (int c = 0; c < n; ++c) {
                if (row.changed.testBit(c)) {
                    st.pending[c] = row.current[c];
                    st.pendingSet.setBit(c);
                }
            }
        } else {
            shared->touch(item.first).status = RowStatus::Deleted;
        }
        ++shared->pendingRows;
    }

    auto recordset = std::make_shared<Recordset>();
    recordset->d->attach(shared);
    recordset->d->rebuildView();
    recordset->d->pos = recordset->d->count() > 0 ? 0 : -1;
    return recordset;
}

} // namespace quad
