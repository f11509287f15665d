#include "criteria.h"
#include "criteria_match.h"
#include "database.h"
#include "date_text.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <QTime>
#include <QVariant>

#include <algorithm>
#include <vector>

using quad::Criteria;
using quad::CriteriaField;
using quad::CriteriaRow;

namespace {

struct Column
{
    QString table;
    QString name;
    int type;
};

/// A few register rows with the columns a joined register has, read through CriteriaRow.
class Table
{
public:
    Table()
    {
        m_columns = {
            {"entrata", "Progressivo", quad::adInteger},  {"entrata", "Tipo", quad::adVarWChar},
            {"entrata", "Data_quadernolo", quad::adDate}, {"entrata", "Anno", quad::adInteger},
            {"entrata", "Oggetto", quad::adVarWChar},     {"entrata", "Ufficio_competente", quad::adVarWChar},
            {"entrata", "Annullato", quad::adBoolean},    {"entrata", "sys_consegnato", quad::adBoolean},
            {"entrata", "Orario", quad::adDate},          {"entrata", "Note", quad::adLongVarWChar},
            {"Mittenti", "tipo", quad::adVarWChar},       {"Mittenti", "Citta", quad::adVarWChar},
            {"Mittenti", "Nominativo", quad::adVarWChar}, {"", "Importo", quad::adDouble},
        };
        const QVariant null;
        auto d = [](int y, int m, int day) { return QVariant(QDate(y, m, day)); };
        auto t = [](int h, int m, int s) { return QVariant(QTime(h, m, s)); };
        // clang-format off
        add({qint64(5),  "E", d(2004, 2, 1),  qint64(2004), "Nota per ROSSI mario",     "Ufficio A",           false, false, t(8, 15, 0),   "prima",  "E", "CITTÀ",  "D'Amico", 1.5});
        add({qint64(10), "U", d(2004, 2, 15), qint64(2004), "Richiesta due parole qui", "Ufficio B",           true,  true,  t(12, 0, 0),   "",       "U", "città",  "Rossi",   2.0});
        add({qint64(12), "E", d(2004, 2, 29), qint64(2004), "nota_bene",                "Ufficio A",           false, true,  t(17, 45, 30), null,     "E", "citta",  "Bianchi", -3.25});
        add({qint64(20), "E", null,           qint64(2004), "abc * def 50%",            "Ufficio A/Ufficio B", false, false, null,          null,     "E", null,     "Verdi",   null});
        add({qint64(21), "U", d(2004, 4, 3),  qint64(2004), null,                       null,                  false, false, t(23, 59, 59), null,     "U", "Forlì",  "Neri",    10.0});
        add({qint64(30), "E", d(1999, 12, 31), qint64(1999), "Ultima nota",             "Ufficio A",           true,  false, t(0, 0, 0),    null,     "E", "Ävila",  "Straße",  0.0});
        // clang-format on
    }

    quad::CriteriaFieldResolver resolver() const
    {
        return [this](const QString& name, bool* ambiguous) -> std::optional<CriteriaField> {
            const int dot = name.indexOf('.');
            const QString table = dot < 0 ? QString() : name.left(dot);
            const QString bare = dot < 0 ? name : name.mid(dot + 1);
            int found = -1;
            int count = 0;
            for (int i = 0; i < int(m_columns.size()); ++i) {
                if (m_columns[i].name.compare(bare, Qt::CaseInsensitive) != 0)
                    continue;
                if (dot >= 0 && m_columns[i].table.compare(table, Qt::CaseInsensitive) != 0)
                    continue;
                found = i;
                ++count;
            }
            if (count > 1 && ambiguous)
                *ambiguous = true;
            if (count != 1)
                return std::nullopt;
            return CriteriaField {found, m_columns[found].type};
        };
    }

    /// The Progressivo of every row the text selects; fails the test when the text is refused.
    std::vector<qint64> select(const QString& text) const
    {
        QString error;
        const std::unique_ptr<Criteria> criteria = Criteria::parse(text, resolver(), &error);
        EXPECT_TRUE(criteria) << text.toStdString() << " -> " << error.toStdString();
        std::vector<qint64> out;
        if (!criteria)
            return out;
        for (const Row& row : m_rows) {
            if (criteria->matches(row))
                out.push_back(row.integer(0));
        }
        // Column by column the same rows come out, texts kept as Latin-1 or as UTF-16.
        for (bool latin1 : {true, false}) {
            const Columns columns(m_rows, latin1);
            std::vector<qint32> rows;
            for (size_t i = 0; i < m_rows.size(); ++i)
                rows.push_back(qint32(i));
            rows.resize(size_t(criteria->select(columns, rows.data(), qsizetype(rows.size()))));
            std::vector<qint64> kept;
            for (qint32 r : rows)
                kept.push_back(m_rows[size_t(r)].integer(0));
            EXPECT_EQ(kept, out) << text.toStdString() << (latin1 ? " (Latin-1)" : " (UTF-16)");
        }
        return out;
    }

    /// The error text for a refused criteria text ("" when it was accepted).
    QString refusal(const QString& text) const
    {
        QString error;
        const std::unique_ptr<Criteria> criteria = Criteria::parse(text, resolver(), &error);
        if (criteria)
            return QString();
        EXPECT_FALSE(error.isEmpty());
        return error;
    }

    bool singleClause(const QString& text) const
    {
        QString error;
        const std::unique_ptr<Criteria> criteria = Criteria::parse(text, resolver(), &error);
        EXPECT_TRUE(criteria) << error.toStdString();
        return criteria && criteria->isSingleClause();
    }

private:
    class Row : public CriteriaRow
    {
    public:
        explicit Row(std::vector<QVariant> values)
            : m_values(std::move(values))
        {
            for (const QVariant& v : m_values)
                m_texts.push_back(v.typeId() == QMetaType::QString ? v.toString() : QString());
        }
        bool isNull(int column) const override { return m_values[size_t(column)].isNull(); }
        qint64 integer(int column) const override
        {
            const QVariant& v = m_values[size_t(column)];
            if (v.typeId() == QMetaType::Bool)
                return v.toBool() ? -1 : 0;
            return v.toLongLong();
        }
        double real(int column) const override { return m_values[size_t(column)].toDouble(); }
        QStringView text(int column) const override { return m_texts[size_t(column)]; }
        size_t columns() const { return m_values.size(); }
        qint64 dateTime(int column) const override
        {
            const QVariant& v = m_values[size_t(column)];
            if (v.typeId() == QMetaType::QTime)
                return quad::dateSerial(QDate(1899, 12, 30), v.toTime());
            if (v.typeId() == QMetaType::QDateTime)
                return quad::dateSerial(v.toDateTime().date(), v.toDateTime().time());
            return quad::dateSerial(v.toDate());
        }

    private:
        std::vector<QVariant> m_values;
        std::vector<QString> m_texts;
    };

    /// The rows read a column at a time.
    class Columns : public quad::CriteriaColumns
    {
    public:
        Columns(const std::vector<Row>& rows, bool latin1)
            : m_rows(rows)
        {
            for (const Row& row : rows) {
                std::vector<QByteArray> texts;
                for (size_t c = 0; c < row.columns(); ++c) {
                    const QString t = row.text(int(c)).toString();
                    const bool fits
                        = latin1 && std::all_of(t.begin(), t.end(), [](QChar ch) { return ch.unicode() < 0x100; });
                    texts.push_back(fits ? t.toLatin1() : QByteArray());
                }
                m_latin1.push_back(std::move(texts));
            }
        }
        void integers(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const override
        {
            for (qsizetype i = 0; i < n; ++i) {
                null[i] = m_rows[size_t(rows[i])].isNull(column);
                values[i] = null[i] ? 0 : m_rows[size_t(rows[i])].integer(column);
            }
        }
        void reals(int column, const qint32* rows, qsizetype n, quint8* null, double* values) const override
        {
            for (qsizetype i = 0; i < n; ++i) {
                null[i] = m_rows[size_t(rows[i])].isNull(column);
                values[i] = null[i] ? 0 : m_rows[size_t(rows[i])].real(column);
            }
        }
        void dateTimes(int column, const qint32* rows, qsizetype n, quint8* null, qint64* values) const override
        {
            for (qsizetype i = 0; i < n; ++i) {
                null[i] = m_rows[size_t(rows[i])].isNull(column);
                values[i] = null[i] ? 0 : m_rows[size_t(rows[i])].dateTime(column);
            }
        }
        void texts(int column, const qint32* rows, qsizetype n, Text* values) const override
        {
            for (qsizetype i = 0; i < n; ++i) {
                const Row& row = m_rows[size_t(rows[i])];
                const QByteArray& latin1 = m_latin1[size_t(rows[i])][size_t(column)];
                const QStringView wide = row.text(column);
                values[i].null = row.isNull(column);
                values[i].wide = latin1.isNull();
                values[i].data = values[i].wide ? static_cast<const void*>(wide.utf16()) : latin1.constData();
                values[i].size = values[i].wide ? wide.size() : latin1.size();
            }
        }
        const CriteriaRow& row(qint32 row) const override { return m_rows[size_t(row)]; }

    private:
        const std::vector<Row>& m_rows;
        std::vector<std::vector<QByteArray>> m_latin1;
    };

    void add(std::vector<QVariant> values)
    {
        ASSERT_EQ(values.size(), m_columns.size());
        for (QVariant& v : values) {
            if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::Char)
                v = v.toString();
            else if (v.typeId() == QMetaType::QByteArray)
                v = QString::fromUtf8(v.toByteArray());
        }
        m_rows.emplace_back(std::move(values));
    }

    std::vector<Column> m_columns;
    std::vector<Row> m_rows;
};

using Rows = std::vector<qint64>;

} // namespace

TEST(Criteria, TextsTheProgramBuilds)
{
    const Table t;
    // one-field filter, register forms
    EXPECT_EQ(t.select("Oggetto like 'nota%'"), (Rows {5, 12}));
    EXPECT_EQ(t.select("Progressivo = 10"), (Rows {10}));
    EXPECT_EQ(t.select("Data_quadernolo = #15/02/2004#"), (Rows {10}));
    EXPECT_EQ(t.select("Orario = #12:00:00#"), (Rows {10}));
    EXPECT_EQ(t.select("Annullato = Vero"), (Rows {10, 30}));
    EXPECT_EQ(t.select("Annullato = Falso"), (Rows {5, 12, 20, 21}));
    EXPECT_EQ(t.select("Nominativo like 'D''Amico%'"), (Rows {5}));
    EXPECT_EQ(t.select("Importo = 1,5"), (Rows {5}));
    // quick find and simple find
    EXPECT_EQ(t.select("Oggetto like '%rossi%'"), (Rows {5}));
    EXPECT_EQ(t.select("Oggetto LIKE '*abc*'"), (Rows {20}));
    EXPECT_EQ(t.select("Progressivo = 12"), (Rows {12}));
    EXPECT_EQ(t.select("Progressivo= 12"), (Rows {12}));
    EXPECT_EQ(t.select("Progressivo =  12"), (Rows {12}));
    EXPECT_EQ(t.select("Progressivo= 120"), (Rows {}));
    EXPECT_EQ(t.select("Progressivo = 0"), (Rows {}));
    EXPECT_EQ(t.select("Data_quadernolo= #29/02/2004#"), (Rows {12}));
    EXPECT_EQ(t.select("Oggetto like '%nota%'"), (Rows {5, 12, 30}));
    // advanced filter and range panels
    EXPECT_EQ(t.select("Progressivo >= 10 AND Progressivo <= 20"), (Rows {10, 12, 20}));
    EXPECT_EQ(t.select("Data_quadernolo >= #01/02/2004# and Data_quadernolo <= #29/02/2004#"), (Rows {5, 10, 12}));
    EXPECT_EQ(t.select("Data_quadernolo >= #01/01/2004# AND Data_quadernolo <= #31/12/2004#"), (Rows {5, 10, 12, 21}));
    EXPECT_EQ(t.select("Anno >= 1999 AND Anno <= 2003"), (Rows {30}));
    EXPECT_EQ(t.select("entrata.Tipo like 'E%'"), (Rows {5, 12, 20, 30}));
    EXPECT_EQ(t.select("Progressivo >= 10 AND entrata.Tipo like 'U%'"), (Rows {10, 21}));
    EXPECT_EQ(t.select("Oggetto = 'Ultima nota' OR Progressivo = 5"), (Rows {5, 30}));
    EXPECT_EQ(t.select("Annullato = True"), (Rows {10, 30}));
    // forwarding to an office
    EXPECT_EQ(t.select("sys_consegnato <> -1 and Ufficio_competente = 'Ufficio A'"), (Rows {5, 30}));
}

TEST(Criteria, QuotesAndWildcards)
{
    const Table t;
    EXPECT_EQ(t.select("Nominativo = 'D''Amico'"), (Rows {5}));
    EXPECT_EQ(t.select("Nominativo = 'D''amico'"), (Rows {5}));
    EXPECT_EQ(t.select("Nominativo like 'D''%'"), (Rows {5}));
    EXPECT_EQ(t.select("Nominativo like '%''%'"), (Rows {5}));
    EXPECT_EQ(t.select("Nominativo = 'DAmico'"), (Rows {}));
    EXPECT_EQ(t.select("Oggetto like 'Richiesta due parole qui'"), (Rows {10})); // no wildcard: whole text
    EXPECT_EQ(t.select("Oggetto like 'Richiesta due'"), (Rows {}));
    EXPECT_EQ(t.select("Oggetto like '%due parole%'"), (Rows {10}));
    EXPECT_EQ(t.select("Oggetto like 'r%due%qui'"), (Rows {10}));
    EXPECT_EQ(t.select("Oggetto like 'r*due*QUI'"), (Rows {10}));
    EXPECT_EQ(t.select("Oggetto like '%mario'"), (Rows {5}));
    EXPECT_EQ(t.select("Oggetto like '%mari'"), (Rows {}));
    EXPECT_EQ(t.select("Oggetto like 'abc%50%'"), (Rows {20}));
    EXPECT_EQ(t.select("Oggetto like '%'"), (Rows {5, 10, 12, 20, 30})); // Null is not matched
    EXPECT_EQ(t.select("Oggetto like '%%'"), (Rows {5, 10, 12, 20, 30}));
    EXPECT_EQ(t.select("Oggetto like ''"), (Rows {}));
    EXPECT_EQ(t.select("Note like ''"), (Rows {10}));
    // '_' stands for itself, not for any character
    EXPECT_EQ(t.select("Oggetto like 'nota_%'"), (Rows {12}));
    EXPECT_EQ(t.select("Oggetto like 'not_%'"), (Rows {}));
    // a literal '*' or '%' in the text is matched by the wildcard, like any character
    EXPECT_EQ(t.select("Oggetto like '%* def 50%'"), (Rows {20}));
    // operators and quotes inside a text are only text
    EXPECT_EQ(t.select("Oggetto <> 'x'' AND Progressivo = 1 OR ''y'"), (Rows {5, 10, 12, 20, 30}));
}

TEST(Criteria, CaseIsIgnoredAccentsAreNot)
{
    const Table t;
    EXPECT_EQ(t.select("Citta = 'città'"), (Rows {5, 10}));
    EXPECT_EQ(t.select("Citta = 'CITTÀ'"), (Rows {5, 10}));
    EXPECT_EQ(t.select("Citta = 'citta'"), (Rows {12}));
    EXPECT_EQ(t.select("Citta like 'CITT%'"), (Rows {5, 10, 12}));
    EXPECT_EQ(t.select("Citta like 'cittÀ%'"), (Rows {5, 10}));
    EXPECT_EQ(t.select("Citta like '%Ì'"), (Rows {21}));
    EXPECT_EQ(t.select("Citta = 'ÄVILA'"), (Rows {30}));
    EXPECT_EQ(t.select("Citta = 'avila'"), (Rows {}));
    EXPECT_EQ(t.select("Nominativo = 'STRAßE'"), (Rows {30}));
    EXPECT_EQ(t.select("Oggetto like '%ROSSI MARIO'"), (Rows {5}));
    // ordering folds case too
    EXPECT_EQ(t.select("Nominativo < 'c'"), (Rows {12}));
    EXPECT_EQ(t.select("Nominativo < 'C'"), (Rows {12}));
    EXPECT_EQ(t.select("Nominativo >= 'r'"), (Rows {10, 20, 30}));
    EXPECT_EQ(t.select("Nominativo > 'rossi'"), (Rows {20, 30}));
    EXPECT_EQ(t.select("Nominativo <= 'ROSSI'"), (Rows {5, 10, 12, 21}));
    EXPECT_EQ(t.select("Nominativo > 'Ross'"), (Rows {10, 20, 30})); // a longer text sorts after its prefix
}

TEST(Criteria, NullMatchesNoComparison)
{
    const Table t;
    EXPECT_EQ(t.select("Oggetto <> 'x'"), (Rows {5, 10, 12, 20, 30}));
    EXPECT_EQ(t.select("Data_quadernolo <> #01/02/2004#"), (Rows {10, 12, 21, 30}));
    EXPECT_EQ(t.select("Orario >= #00:00#"), (Rows {5, 10, 12, 21, 30}));
    EXPECT_EQ(t.select("Importo <> 99"), (Rows {5, 10, 12, 21, 30}));
    EXPECT_EQ(t.select("Importo like '%'"), (Rows {5, 10, 12, 21, 30}));
    EXPECT_EQ(t.select("Ufficio_competente <> 'Ufficio A' OR Ufficio_competente = 'Ufficio A'"),
              (Rows {5, 10, 12, 20, 30}));
    EXPECT_EQ(t.select("Note = ''"), (Rows {10})); // an empty text is not Null
}

TEST(Criteria, AndBindsTighterThanOr)
{
    const Table t;
    EXPECT_EQ(t.select("Progressivo = 5 OR Progressivo = 10 AND Annullato = True"), (Rows {5, 10}));
    EXPECT_EQ(t.select("(Progressivo = 5 OR Progressivo = 10) AND Annullato = True"), (Rows {10}));
    EXPECT_EQ(t.select("Annullato = True AND Progressivo = 5 OR Progressivo = 12"), (Rows {12}));
    EXPECT_EQ(t.select("Annullato = True AND (Progressivo = 5 OR Progressivo = 12)"), (Rows {}));
    EXPECT_EQ(t.select("((Progressivo = 5)) or (progressivo = 21 and (Anno = 2004))"), (Rows {5, 21}));
    EXPECT_EQ(t.select("progressivo = 5 oR PROGRESSIVO = 12 AnD anno = 2004"), (Rows {5, 12}));
    EXPECT_EQ(t.select("Progressivo>=10 AND Progressivo<=12"), (Rows {10, 12}));
    EXPECT_EQ(t.select("(Progressivo>=10)AND(Progressivo<=12)"), (Rows {10, 12}));
    EXPECT_EQ(t.select("  Oggetto   LIKE   '%nota%'   "), (Rows {5, 12, 30}));
}

TEST(Criteria, DatesAreReadDayFirst)
{
    const Table t;
    EXPECT_EQ(t.select("Data_quadernolo = #03/04/2004#"), (Rows {21})); // 3 April
    EXPECT_EQ(t.select("Data_quadernolo = #04/03/2004#"), (Rows {}));
    EXPECT_EQ(t.select("Data_quadernolo = #3/4/04#"), (Rows {21}));
    EXPECT_EQ(t.select("Data_quadernolo = #03-04-2004#"), (Rows {21}));
    EXPECT_EQ(t.select("Data_quadernolo = #03.04.2004#"), (Rows {21}));
    EXPECT_EQ(t.select("Data_quadernolo = #2004-04-03#"), (Rows {21}));
    EXPECT_EQ(t.select("Data_quadernolo = # 03/04/2004 #"), (Rows {21}));
    EXPECT_EQ(t.select("Data_quadernolo = #31/12/99#"), (Rows {30}));
    EXPECT_EQ(t.select("Data_quadernolo = '01/02/2004'"), (Rows {5}));
    // a date without time is that day at midnight, on both sides
    EXPECT_EQ(t.select("Data_quadernolo <= #29/02/2004#"), (Rows {5, 10, 12, 30}));
    EXPECT_EQ(t.select("Data_quadernolo > #29/02/2004#"), (Rows {21}));
    EXPECT_EQ(t.select("Data_quadernolo < #01/02/2004 10:00#"), (Rows {5, 30}));
    EXPECT_EQ(t.select("Data_quadernolo = #01/02/2004 00:00:00#"), (Rows {5}));
    EXPECT_EQ(t.select("Data_quadernolo > #31/01/2004 23:59:59#"), (Rows {5, 10, 12, 21}));
    // times alone compare with time fields
    EXPECT_EQ(t.select("Orario > #12:00#"), (Rows {12, 21}));
    EXPECT_EQ(t.select("Orario = #8:15#"), (Rows {5}));
    EXPECT_EQ(t.select("Orario < #08:15:01# AND Orario >= #0:00#"), (Rows {5, 30}));
}

TEST(Criteria, NumbersAndYesNo)
{
    const Table t;
    EXPECT_EQ(t.select("Importo = 1.5"), (Rows {5}));
    EXPECT_EQ(t.select("Importo = -3,25"), (Rows {12}));
    EXPECT_EQ(t.select("Importo >= 2"), (Rows {10, 21}));
    EXPECT_EQ(t.select("Importo > 1,5"), (Rows {10, 21}));
    EXPECT_EQ(t.select("Importo = '2'"), (Rows {10}));
    EXPECT_EQ(t.select("Progressivo = '12'"), (Rows {12}));
    EXPECT_EQ(t.select("Progressivo = ' 12 '"), (Rows {12}));
    EXPECT_EQ(t.select("Progressivo > 11,5"), (Rows {12, 20, 21, 30}));
    EXPECT_EQ(t.select("Progressivo = 12,0"), (Rows {12}));
    EXPECT_EQ(t.select("Progressivo = +12"), (Rows {12}));
    EXPECT_EQ(t.select("Progressivo > -1"), (Rows {5, 10, 12, 20, 21, 30}));
    EXPECT_EQ(t.select("Progressivo < 99999999999999999999"), (Rows {5, 10, 12, 20, 21, 30}));

    EXPECT_EQ(t.select("Annullato = -1"), (Rows {10, 30}));
    EXPECT_EQ(t.select("Annullato = 0"), (Rows {5, 12, 20, 21}));
    EXPECT_EQ(t.select("annullato = vero"), (Rows {10, 30}));
    EXPECT_EQ(t.select("Annullato = FALSE"), (Rows {5, 12, 20, 21}));
    EXPECT_EQ(t.select("Annullato <> True"), (Rows {5, 12, 20, 21}));
    EXPECT_EQ(t.select("Annullato = 'Vero'"), (Rows {10, 30}));
    EXPECT_EQ(t.select("sys_consegnato <> -1"), (Rows {5, 20, 21, 30}));
}

TEST(Criteria, LikeOnOtherFieldsReadsTheShownValue)
{
    const Table t;
    EXPECT_EQ(t.select("Progressivo like '1%'"), (Rows {10, 12}));
    EXPECT_EQ(t.select("Annullato like 'v%'"), (Rows {10, 30}));
    EXPECT_EQ(t.select("Data_quadernolo like '%/02/2004'"), (Rows {5, 10, 12}));
    EXPECT_EQ(t.select("Data_quadernolo like '01/02/2004'"), (Rows {5}));
    EXPECT_EQ(t.select("Orario like '12:%'"), (Rows {10}));
    EXPECT_EQ(t.select("Orario like '00:00:00'"), (Rows {30}));
}

TEST(Criteria, FieldNames)
{
    const Table t;
    EXPECT_EQ(t.select("[Oggetto] like '%nota%'"), (Rows {5, 12, 30}));
    EXPECT_EQ(t.select("[entrata].[Tipo] = 'u'"), (Rows {10, 21}));
    EXPECT_EQ(t.select("entrata.[Tipo] = 'u'"), (Rows {10, 21}));
    EXPECT_EQ(t.select("ENTRATA.TIPO = 'u'"), (Rows {10, 21}));
    EXPECT_EQ(t.select("Mittenti.tipo like 'U%'"), (Rows {10, 21}));
    EXPECT_EQ(t.select("OGGETTO like '%nota%'"), (Rows {5, 12, 30}));
    EXPECT_EQ(t.select("[ Oggetto ]='nota_bene'"), (Rows {12}));

    EXPECT_TRUE(t.singleClause("Progressivo = 12"));
    EXPECT_TRUE(t.singleClause("(Progressivo = 12)"));
    EXPECT_FALSE(t.singleClause("Progressivo = 12 AND Anno = 2004"));
    EXPECT_FALSE(t.singleClause("(Progressivo = 12 OR Anno = 2004)"));
}

TEST(Criteria, RefusalsSayWhy)
{
    const Table t;
    auto refused = [&](const QString& text, const QString& reason) {
        const QString error = t.refusal(text);
        EXPECT_TRUE(error.startsWith("Criterio non valido: ")) << text.toStdString() << " -> " << error.toStdString();
        EXPECT_TRUE(error.contains(reason, Qt::CaseInsensitive)) << text.toStdString() << " -> " << error.toStdString();
    };
    refused("Progressivo >=", "manca il valore dopo 'Progressivo >='");
    refused("Progressivo >= ", "manca il valore");
    refused("Progressivo >=  AND Progressivo <= 20", "manca il valore dopo 'Progressivo >='");
    refused("(Progressivo >= )", "manca il valore");
    refused("Pippo = 1", "campo sconosciuto 'Pippo'");
    refused("Oggetto like 'x' AND pippo.Oggetto = 'x'", "campo sconosciuto 'pippo.Oggetto'");
    refused("Tipo like 'E%'", "'Tipo'");
    refused("Tipo like 'E%'", "tabella");
    refused("Progressivo = 12a", "valore non numerico '12a'");
    refused("Anno >= '12a'", "valore non numerico '12a'");
    refused("Progressivo = ''", "valore non numerico");
    refused("Progressivo = 1,", "valore non numerico");
    refused("Progressivo = 1.2.3", "valore non numerico");
    refused("Progressivo = #01/02/2004#", "valore non numerico");
    refused("Oggetto = 'abc", "apice non chiuso");
    refused("Oggetto = 'D''Amico", "apice non chiuso");
    refused("Oggetto = abc", "apici");
    refused("Oggetto = 12", "apici");
    refused("Data_quadernolo = #31/02/1980#", "data non valida #31/02/1980#");
    refused("Data_quadernolo = #29/02/2005#", "data non valida");
    refused("Data_quadernolo = '31/02/1980'", "data non valida");
    refused("Data_quadernolo = #12/31/2004#", "data non valida");
    refused("Data_quadernolo = #01/02/2004", "#");
    refused("Data_quadernolo = 01/02/2004", "#");
    refused("Data_quadernolo = ##", "data non valida");
    refused("Annullato = 2", "Annullato");
    refused("Annullato = forse", "sì/no");
    refused("Progressivo like 1", "LIKE");
    refused("Data_quadernolo like #01/02/2004#", "LIKE");
    refused("", "vuoto");
    refused("   ", "vuoto");
    refused("Progressivo", "manca l'operatore dopo 'Progressivo'");
    refused("Progressivo ! 3", "operatore non valido");
    refused("Progressivo == 3", "valore non numerico '='");
    refused("Progressivo = 1 AND", "manca una condizione");
    refused("Progressivo = 1 OR ()", "manca il nome del campo");
    refused("= 1", "manca il nome del campo");
    refused("(Progressivo = 1", "parentesi non chiusa");
    refused("Progressivo = 1)", "parentesi chiusa");
    refused("Progressivo = 1 2", "testo inatteso '2'");
    refused("Progressivo = 1 Anno = 2", "testo inatteso");
    refused("[Oggetto = 'x'", "parentesi quadra");
    refused("[] = 'x'", "vuoto");
    refused(QString(300, '(') + "Progressivo = 1" + QString(300, ')'), "parentesi");
}

TEST(Criteria, RefusedWithoutResolverOrError)
{
    // A caller that passes no error pointer still gets null for a bad text.
    const Table t;
    EXPECT_EQ(Criteria::parse("Progressivo =", t.resolver(), nullptr), nullptr);
    EXPECT_NE(Criteria::parse("Progressivo = 1", t.resolver(), nullptr), nullptr);
    QString error = "old";
    EXPECT_EQ(Criteria::parse("Progressivo = 1", quad::CriteriaFieldResolver(), &error), nullptr);
    EXPECT_TRUE(error.contains("Progressivo"));
}

// ------------------------------------------------------------------------------------------
// The LIKE matcher on its own: the fast paths (eight starts at a time, the overlapping last
// block, short texts) against a plain matcher.

namespace {

/// Whole-text match by dynamic programming over folded code points.
bool referenceLike(const std::u32string& p, const std::u32string& t)
{
    // row[j]: the pattern so far matches the first j characters of the text
    std::vector<char> row(t.size() + 1, 0);
    row[0] = 1;
    for (char32_t c : p) {
        std::vector<char> next(t.size() + 1, 0);
        const bool wildcard = c == U'%' || c == U'*';
        for (size_t j = 0; j <= t.size(); ++j) {
            if (wildcard)
                next[j] = row[j] || (j > 0 && next[j - 1]);
            else
                next[j] = j > 0 && row[j - 1] && t[j - 1] == c;
        }
        row.swap(next);
    }
    return row[t.size()];
}

bool referenceLike(const QString& pattern, const QString& text)
{
    return referenceLike(quad::criteria::foldText(pattern), quad::criteria::foldText(text));
}

} // namespace

TEST(CriteriaLike, AgreesWithAPlainMatcher)
{
    QRandomGenerator random(20040229);
    const QString patternAlphabet = QStringLiteral("aAbb%*_é");
    const QString textAlphabet = QStringLiteral("aAbB_éÉ");
    for (int round = 0; round < 20000; ++round) {
        QString pattern, text;
        const int pn = random.bounded(12);
        const int tn = random.bounded(round % 2 ? 40 : 12);
        for (int i = 0; i < pn; ++i)
            pattern += patternAlphabet[random.bounded(patternAlphabet.size())];
        for (int i = 0; i < tn; ++i)
            text += textAlphabet[random.bounded(textAlphabet.size())];
        const quad::criteria::LikePattern like(pattern);
        ASSERT_EQ(like.matches(text), referenceLike(pattern, text))
            << "pattern " << pattern.toStdString() << " text " << text.toStdString();
        const QByteArray latin1 = text.toLatin1();
        ASSERT_EQ(like.matchesLatin1(latin1.constData(), latin1.size()), like.matches(text))
            << "pattern " << pattern.toStdString() << " Latin-1 text " << text.toStdString();
    }
}

TEST(CriteriaLike, Latin1TextsFoldAsTheirCharacters)
{
    using quad::criteria::LikePattern;
    // The micro sign folds to the Greek letter, outside Latin-1; ß and ÿ have no other case
    // within it.
    QRandomGenerator random(19991231);
    const QString patternAlphabet = QString::fromUtf8("vVaA%*_µΜμßÿŸéÉ");
    const QString textAlphabet = QString::fromUtf8("vVaA_%µßÿéÉ ");
    for (int round = 0; round < 20000; ++round) {
        QString pattern, text;
        const int pn = 1 + random.bounded(6);
        const int tn = random.bounded(round % 2 ? 70 : 12);
        for (int i = 0; i < pn; ++i)
            pattern += patternAlphabet[random.bounded(patternAlphabet.size())];
        for (int i = 0; i < tn; ++i)
            text += textAlphabet[random.bounded(textAlphabet.size())];
        const QByteArray latin1 = text.toLatin1();
        ASSERT_EQ(LikePattern(pattern).matchesLatin1(latin1.constData(), latin1.size()), referenceLike(pattern, text))
            << "pattern " << pattern.toStdString() << " text " << text.toStdString();
        const QString literal = pattern.remove('%').remove('*');
        const int wide = quad::criteria::compareFolded(text, quad::criteria::foldText(literal));
        const int narrow
            = quad::criteria::compareFoldedLatin1(latin1.constData(), latin1.size(), quad::criteria::foldText(literal));
        ASSERT_EQ(narrow, wide) << "literal " << literal.toStdString() << " text " << text.toStdString();
    }
}

TEST(CriteriaLike, LongRunsAndRepeats)
{
    using quad::criteria::LikePattern;
    EXPECT_TRUE(LikePattern(u"%aab%").matches(u"aaab"));
    EXPECT_TRUE(LikePattern(u"%ab%ab%").matches(u"abab"));
    EXPECT_FALSE(LikePattern(u"%ab%ab%").matches(u"aba"));
    EXPECT_FALSE(LikePattern(u"a%a").matches(u"a"));
    EXPECT_TRUE(LikePattern(u"a%a").matches(u"aa"));
    const QString longNeedle = QString(300, 'x') + "y";
    const QString haystack = QString(1000, 'X') + "Y" + QString(10, 'x');
    EXPECT_TRUE(LikePattern(QString("%" + longNeedle + "%")).matches(haystack));
    EXPECT_TRUE(LikePattern(QString("%" + longNeedle + "x%")).matches(haystack));
    EXPECT_FALSE(LikePattern(QString("%" + longNeedle + "z%")).matches(haystack));
}

TEST(CriteriaLike, FoldingBeyondAscii)
{
    using quad::criteria::LikePattern;
    // Kelvin sign folds to k; long s to s
    EXPECT_TRUE(LikePattern(u"%k%").matches(u"\u212A"));
    EXPECT_TRUE(LikePattern(u"%s").matches(u"ca\u017F"));
    // Deseret capital and small letters, outside the Basic Multilingual Plane
    const QString capital = QString::fromUcs4(U"\U00010400");
    const QString small = QString::fromUcs4(U"\U00010428");
    EXPECT_TRUE(LikePattern(QString("%" + small + "%")).matches(QString("x" + capital + "y")));
    EXPECT_TRUE(LikePattern(QString(capital + "%")).matches(QString(small + QString(600, 'z'))));
    EXPECT_FALSE(LikePattern(QString("%" + small + "%")).matches(u"xy"));
    EXPECT_EQ(quad::criteria::compareFolded(capital, quad::criteria::foldText(small)), 0);
}
