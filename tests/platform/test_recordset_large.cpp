// Filters and sorts over many rows read whole columns at a time: they must give exactly what
// reading row by row gives.

#include "recordset.h"

#include <QDate>
#include <QDateTime>
#include <QTemporaryDir>
#include <QTime>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

using namespace quad;

namespace {

/// Rows with Null, accents, mixed case, wildcard characters, dates at month, year and day
/// boundaries, negative numbers and odd cells, many enough to span several runs of rows.
std::shared_ptr<Recordset> trickyRows(const QString& file)
{
    const QStringList texts = {"Nota per ROSSI mario",
                               "nota_bene",
                               "abc * def 50%",
                               QString::fromUtf8("CITTÀ di Forlì"),
                               QString::fromUtf8("città"),
                               "citta",
                               QString::fromUtf8("µm e MICRO"),
                               QString::fromUtf8("Straße"),
                               QString::fromUtf8("€uro 100"),
                               QString::fromUtf8("ÄVILA"),
                               "",
                               "variante URBANISTICA n. 5",
                               "Richiesta di variante urbanistica"};
    const QDate first(1999, 12, 30);
    {
        Recordset rs;
        rs.appendField("T", adVarWChar);
        rs.appendField("N", adInteger);
        rs.appendField("D", adDate);
        rs.appendField("R", adDouble);
        rs.appendField("B", adBoolean);
        rs.appendField("M", adLongVarWChar);
        rs.openInMemory();
        for (int i = 0; i < 5000; ++i) {
            rs.addNew();
            auto set = [&rs](int field, const QVariant& value) { EXPECT_TRUE(rs.setValue(field, value).ok()); };
            if (i % 17 != 3)
                set(0, texts[i % texts.size()]);
            if (i % 11 != 5)
                set(1, (i % 2 ? -1 : 1) * (i % 400));
            if (i % 13 == 7)
                set(2, QDateTime(first.addDays(i % 800), QTime(23, 59, 59)));
            else if (i % 19 != 2)
                set(2, first.addDays(i % 800));
            if (i % 7 != 1)
                set(3, (i % 3 - 1) * 0.5 * (i % 50));
            if (i % 23 != 4)
                set(4, i % 3 == 0);
            set(5, texts[(i * 7) % texts.size()] + QString(i % 5, QChar(u'x')));
        }
        EXPECT_TRUE(rs.save(file).ok());
    }
    DbResult err;
    auto rs = Recordset::openXml(file, &err);
    EXPECT_TRUE(rs) << err.message.toStdString();
    return rs;
}

using Marks = std::vector<Bookmark>;

/// The rows the filter keeps, in the view's order.
Marks filtered(Recordset& rs, const QString& criteria)
{
    Marks out;
    EXPECT_TRUE(rs.setFilter(criteria).ok()) << criteria.toStdString();
    for (int r = 0; r < rs.recordCount(); ++r)
        out.push_back(rs.bookmarkAt(r));
    rs.clearFilter();
    return out;
}

/// The rows a search row by row finds, in the view's order.
Marks found(Recordset& rs, const QString& clause)
{
    Marks out;
    rs.clearFilter();
    bool hit = rs.find(clause, 0, SearchDirection::Forward, kBookmarkFirst);
    while (hit) {
        out.push_back(rs.bookmark());
        hit = rs.find(clause, 1);
    }
    return out;
}

Marks both(const Marks& a, const Marks& b)
{
    Marks out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

Marks either(const Marks& a, const Marks& b)
{
    Marks out;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

} // namespace

TEST(RecordsetFilterTest, FiltersKeepExactlyTheRowsASearchFinds)
{
    QTemporaryDir dir;
    auto rs = trickyRows(dir.filePath("righe.xml"));
    ASSERT_TRUE(rs);
    // Pending values among the snapshot's cells: a Null made a value, a value made Null,
    // texts wider than Latin-1.
    for (Bookmark b : {2, 1500, 4097, 4999}) {
        ASSERT_TRUE(rs->setBookmark(b));
        ASSERT_TRUE(rs->setValue(0, QString::fromUtf8("Città ŁÓDŹ variante urbanistica")).ok());
        ASSERT_TRUE(rs->setValue(1, b == 2 ? QVariant() : QVariant(-7)).ok());
        ASSERT_TRUE(rs->setValue(2, QDate(2000, 1, 1)).ok());
        ASSERT_TRUE(rs->setValue(3, QVariant()).ok());
    }

    const QStringList clauses = {
        "T like '%variante urbanistica%'",
        "T like 'CITTA%'",
        QString::fromUtf8("T like 'città%'"),
        QString::fromUtf8("T = 'CITTÀ'"),
        "T = 'citta'",
        QString::fromUtf8("T > 'città'"),
        "T <> ''",
        "T like '%'",
        "T like '%*%'",
        "T like '%50%%'",
        "T like 'nota_bene'",
        "T like 'NOTA%'",
        QString::fromUtf8("T like '%µ%'"),
        QString::fromUtf8("T like '%Μ%'"),
        QString::fromUtf8("T like '%STRASSE%'"),
        QString::fromUtf8("T like '%straße%'"),
        QString::fromUtf8("T like '%ŁÓDŹ%'"),
        QString::fromUtf8("T like '€%'"),
        "M like '%xx'",
        "N >= -100",
        "N < 0",
        "N = -7",
        "N >= 1,5",
        "N like '-%'",
        "D >= #01/01/2000#",
        "D <= #31/12/2000#",
        "D < #01/01/2000#",
        "D > #29/02/2000#",
        "D = #29/02/2000#",
        "D like '%/02/2000%'",
        "R < 0",
        "R >= -0,5",
        "B = Vero",
        "B = Falso",
    };
    for (const QString& c : clauses)
        EXPECT_EQ(filtered(*rs, c), found(*rs, c)) << c.toStdString();

    // AND keeps what both clauses find, OR what either does, nested as written.
    const Marks date = both(found(*rs, "D >= #01/01/2000#"), found(*rs, "D <= #31/12/2000#"));
    EXPECT_EQ(filtered(*rs, "D >= #01/01/2000# AND D <= #31/12/2000#"), date);
    EXPECT_EQ(filtered(*rs, "N < 0 OR T like '%variante urbanistica%'"),
              either(found(*rs, "N < 0"), found(*rs, "T like '%variante urbanistica%'")));
    const Marks inner = either(found(*rs, "N > 10"), found(*rs, "T like '%citt%'"));
    EXPECT_EQ(filtered(*rs, "B = Falso AND (N > 10 OR T like '%citt%') AND R < 0"),
              both(both(found(*rs, "B = Falso"), inner), found(*rs, "R < 0")));
    EXPECT_EQ(filtered(*rs, "(D >= #01/01/2000# AND D <= #31/12/2000#) OR M like '%xx' OR N = -7"),
              either(either(date, found(*rs, "M like '%xx'")), found(*rs, "N = -7")));

    // Not vacuous: the texts select something, and not everything.
    const Marks some = filtered(*rs, "T like '%variante urbanistica%'");
    EXPECT_GT(some.size(), 700u);
    EXPECT_LT(some.size(), 1000u);
}

namespace {

/// A three-way order of two cells of a column as the recordset sorts them ascending: Null
/// first, texts by their case-folded characters.
int referenceOrder(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    auto three = [](const auto& x, const auto& y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (a.typeId()) {
    case QMetaType::QString:
        return three(a.toString().toCaseFolded(), b.toString().toCaseFolded());
    case QMetaType::Double:
        return three(a.toDouble(), b.toDouble());
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return three(a.toDateTime(), b.toDateTime());
    case QMetaType::Bool:
        return three(a.toBool() ? -1 : 0, b.toBool() ? -1 : 0);
    default:
        return three(a.toLongLong(), b.toLongLong());
    }
}

} // namespace

TEST(RecordsetLargeSortTest, SortsAgreeWithAStableSortOfTheValues)
{
    QTemporaryDir dir;
    auto rs = trickyRows(dir.filePath("righe.xml"));
    ASSERT_TRUE(rs);
    ASSERT_TRUE(rs->setBookmark(300));
    ASSERT_TRUE(rs->setValue(0, QString::fromUtf8("Città ŁÓDŹ variante urbanistica")).ok());
    ASSERT_TRUE(rs->setValue(1, QVariant()).ok());
    ASSERT_TRUE(rs->setValue(3, -1e9).ok());

    // Column lists of sort keys, descending when negative (column + 1).
    const std::vector<std::pair<QString, std::vector<int>>> sorts = {
        {"T", {1}}, {"T DESC", {-1}}, {"M, N DESC", {6, -2}}, {"N", {2}},       {"N DESC, T", {-2, 1}},
        {"R", {4}}, {"R DESC", {-4}}, {"B, D DESC", {5, -3}}, {"D, R", {3, 4}},
    };
    for (const auto& [text, keys] : sorts) {
        ASSERT_TRUE(rs->setSort(text).ok()) << text.toStdString();
        std::vector<Bookmark> want;
        for (int r = 0; r < rs->recordCount(); ++r)
            want.push_back(rs->bookmarkAt(r));
        std::vector<std::vector<QVariant>> values(want.size() + 1);
        for (Bookmark b : want) {
            rs->setBookmark(b);
            for (int c = 0; c < 6; ++c)
                values[size_t(b)].push_back(rs->value(c));
        }
        std::sort(want.begin(), want.end());
        std::stable_sort(want.begin(), want.end(), [&](Bookmark a, Bookmark b) {
            for (int key : keys) {
                const int c = referenceOrder(values[size_t(a)][size_t(std::abs(key) - 1)],
                                             values[size_t(b)][size_t(std::abs(key) - 1)]);
                if (c != 0)
                    return key > 0 ? c < 0 : c > 0;
            }
            return false;
        });
        std::vector<Bookmark> got;
        for (int r = 0; r < rs->recordCount(); ++r)
            got.push_back(rs->bookmarkAt(r));
        EXPECT_EQ(got, want) << text.toStdString();
    }
}
