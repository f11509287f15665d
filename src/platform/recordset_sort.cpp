// Sorting the rows of a recordset: a multikey sort on 64-bit keys. Each level sorts a range
// of rows on one key word (a number, or the next 8 folded characters of a text); rows that tie
// are sorted again on the next word of the same text or on the next sort key. The key words sit
// in one flat array, so the sort runs on cached memory instead of chasing cells for every
// comparison. Ties keep the rows' own order.

#include "recordset_p.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quad::rs {

namespace {

struct Item
{
    quint64 key;
    qint32 row;
    quint8 rank; ///< orders Null against values: Null first ascending, last descending
    quint8 more; ///< the text goes on past this word
};

inline quint64 orderedInteger(qint64 v)
{
    return quint64(v) ^ (quint64(1) << 63);
}

inline quint64 orderedReal(double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits >> 63) ? ~bits : bits | (quint64(1) << 63);
}

class Sorter
{
public:
    Sorter(const Shared& s, const std::vector<SortKey>& keys)
        : m_s(s)
        , m_sortKeys(keys)
    {
        for (int c = 0; c < 256; ++c)
            m_latin[size_t(c)] = foldChar(char16_t(c));
    }

    void run(std::vector<qint32>& rows)
    {
        m_items.resize(rows.size());
        // Eight characters a word while every character folds within Latin-1, else four.
        for (bool wide : {false, true}) {
            m_wide = wide;
            m_tooWide = false;
            for (size_t i = 0; i < rows.size(); ++i)
                m_items[i].row = rows[i];
            tieOrderFirst();
            sortRange(0, m_items.size(), 0, 0);
            if (!m_tooWide)
                break;
        }
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = m_items[i].row;
    }

private:
    template <typename C> quint64 word(const C* text, qsizetype length, qsizetype from)
    {
        const int width = m_wide ? 4 : 8;
        const int bits = m_wide ? 16 : 8;
        const int present = int(std::clamp<qsizetype>(length - from, 0, width));
        const C* at = text + from;
        quint64 key = 0;
        quint64 widest = 0;
        for (int i = 0; i < present; ++i) {
            quint64 c;
            if constexpr (sizeof(C) == 1)
                c = m_latin[uchar(at[i])];
            else
                c = foldChar(char16_t(at[i]));
            widest |= c;
            key = (key << bits) | c;
        }
        if (widest > 0xFF && !m_wide)
            m_tooWide = true;
        // Missing characters sort first: the word is left-aligned (a shift of a whole word is
        // undefined, and an empty word is 0 anyway).
        if (present == 0)
            return 0;
        return present < width ? key << (bits * (width - present)) : key;
    }

    /// Fills the keys of a range a run of rows at a time: straight from the column while no
    /// row of the run has changes of its own.
    void fill(size_t begin, size_t end, int k, int depth)
    {
        for (size_t at = begin; at < end; at += kRun) {
            const size_t stop = std::min(end, at + kRun);
            bool plain = true;
            if (!m_s.touched.isEmpty()) {
                for (size_t i = at; i < stop && plain; ++i)
                    plain = !(m_s.flags[m_items[i].row] & kTouched);
            }
            if (plain)
                fillFromColumn(at, stop, k, depth);
            else
                fillByRow(at, stop, k, depth);
        }
    }

    void fillFromColumn(size_t begin, size_t end, int k, int depth)
    {
        const SortKey& sk = m_sortKeys[size_t(k)];
        const Column& column = *m_s.columns[size_t(sk.column)];
        const qsizetype width = m_wide ? 4 : 8;
        const qsizetype from = qsizetype(depth) * width;
        const qsizetype n = qsizetype(end - begin);
        Item* items = m_items.data() + begin;
        for (qsizetype i = 0; i < n; ++i)
            m_rows[size_t(i)] = items[i].row;
        auto put = [&](auto keyOf) {
            for (qsizetype i = 0; i < n; ++i) {
                Item& item = items[i];
                item.more = 0;
                if (m_null[size_t(i)]) {
                    item.rank = sk.descending ? 2 : 0;
                    item.key = 0;
                    continue;
                }
                item.rank = 1;
                const quint64 key = keyOf(i, item);
                item.key = sk.descending ? ~key : key;
            }
        };
        switch (column.storage()) {
        case Storage::Integer:
        case Storage::Boolean:
            column.integers(m_rows.data(), n, m_null.data(), m_integers.data());
            return put([&](qsizetype i, Item&) { return orderedInteger(m_integers[size_t(i)]); });
        case Storage::DateTime:
            column.dateTimes(m_rows.data(), n, m_null.data(), m_integers.data());
            return put([&](qsizetype i, Item&) { return orderedInteger(m_integers[size_t(i)]); });
        case Storage::Real:
            column.reals(m_rows.data(), n, m_null.data(), m_reals.data());
            return put([&](qsizetype i, Item&) { return orderedReal(m_reals[size_t(i)]); });
        case Storage::Text:
            break;
        }
        column.texts(m_rows.data(), n, m_texts.data(), m_made);
        for (qsizetype i = 0; i < n; ++i)
            m_null[size_t(i)] = quint8(m_texts[size_t(i)].null);
        put([&](qsizetype i, Item& item) {
            const CriteriaColumns::Text& t = m_texts[size_t(i)];
            item.more = t.size > from + width ? 1 : 0;
            return t.wide ? word(static_cast<const char16_t*>(t.data), t.size, from)
                          : word(static_cast<const uchar*>(t.data), t.size, from);
        });
    }

    void fillByRow(size_t begin, size_t end, int k, int depth)
    {
        const SortKey& sk = m_sortKeys[size_t(k)];
        const Column& column = *m_s.columns[size_t(sk.column)];
        const Storage storage = column.storage();
        const qsizetype width = m_wide ? 4 : 8;
        const qsizetype from = qsizetype(depth) * width;
        for (size_t i = begin; i < end; ++i) {
            Item& item = m_items[i];
            const qsizetype row = item.row;
            const QVariant* loose = m_s.loose(row, sk.column);
            const bool null = loose ? loose->isNull() : column.isNull(row);
            item.more = 0;
            if (null) {
                item.rank = sk.descending ? 2 : 0;
                item.key = 0;
                continue;
            }
            item.rank = 1;
            quint64 key = 0;
            switch (storage) {
            case Storage::Integer:
            case Storage::Boolean:
                key = orderedInteger(loose ? variantInteger(*loose) : column.integer(row));
                break;
            case Storage::Real:
                key = orderedReal(loose ? variantReal(*loose) : column.real(row));
                break;
            case Storage::DateTime:
                key = orderedInteger(loose ? variantDateTime(*loose) : column.dateTime(row));
                break;
            case Storage::Text: {
                const char* data = nullptr;
                qsizetype length = 0;
                bool wide = false;
                if (!loose && column.rawText(row, &data, &length, &wide)) {
                    key = wide ? word(reinterpret_cast<const char16_t*>(data), length, from)
                               : word(reinterpret_cast<const uchar*>(data), length, from);
                } else {
                    m_text = loose ? loose->toString() : column.value(row).toString();
                    length = m_text.size();
                    key = word(reinterpret_cast<const char16_t*>(m_text.constData()), length, from);
                }
                item.more = length > from + width ? 1 : 0;
                break;
            }
            }
            item.key = sk.descending ? ~key : key;
        }
    }

    /// True when a comes before b among rows whose keys tie: the query's order.
    bool tieOrder(qint32 a, qint32 b) const
    {
        return m_s.rankOf.empty() ? a < b : m_s.rankOf[size_t(a)] < m_s.rankOf[size_t(b)];
    }

    /// Puts the items in tie order, so that a stable sort of them keeps it among equal keys.
    void tieOrderFirst()
    {
        for (size_t i = 1; i < m_items.size(); ++i) {
            if (!tieOrder(m_items[i - 1].row, m_items[i].row)) {
                std::sort(m_items.begin(), m_items.end(),
                          [this](const Item& a, const Item& b) { return tieOrder(a.row, b.row); });
                return;
            }
        }
    }

    /// Sorts a range on its filled keys. The range is in tie order (the whole set at first,
    /// then the runs of equal keys of a sorted range), which the sort keeps.
    void sortFilled(size_t begin, size_t end)
    {
        if (end - begin >= 256) {
            radixSort(begin, end);
            return;
        }
        std::sort(m_items.begin() + qsizetype(begin), m_items.begin() + qsizetype(end),
                  [this](const Item& a, const Item& b) {
                      if (a.rank != b.rank)
                          return a.rank < b.rank;
                      if (a.key != b.key)
                          return a.key < b.key;
                      return tieOrder(a.row, b.row);
                  });
    }

    /// Stable least-significant-digit radix sort on the key's bytes, then on the rank; bytes
    /// that are the same in every item of the range cost no pass.
    void radixSort(size_t begin, size_t end)
    {
        const size_t n = end - begin;
        if (m_spare.size() < n)
            m_spare.resize(n);
        std::array<std::array<quint32, 256>, 9> counts {};
        for (size_t i = begin; i < end; ++i) {
            const quint64 key = m_items[i].key;
            for (int b = 0; b < 8; ++b)
                ++counts[size_t(b)][(key >> (8 * b)) & 0xFF];
            ++counts[8][m_items[i].rank];
        }
        Item* from = m_items.data() + begin;
        Item* to = m_spare.data();
        for (int digit = 0; digit < 9; ++digit) {
            std::array<quint32, 256>& count = counts[size_t(digit)];
            if (std::find(count.begin(), count.end(), quint32(n)) != count.end())
                continue; // one value for all: nothing moves
            quint32 sum = 0;
            for (quint32& c : count) {
                const quint32 here = c;
                c = sum;
                sum += here;
            }
            for (size_t i = 0; i < n; ++i) {
                const Item& item = from[i];
                const size_t value = digit < 8 ? size_t((item.key >> (8 * digit)) & 0xFF) : item.rank;
                to[count[value]++] = item;
            }
            std::swap(from, to);
        }
        if (from != m_items.data() + begin)
            std::copy(from, from + n, m_items.data() + begin);
    }

    void sortRange(size_t begin, size_t end, int k, int depth)
    {
        fill(begin, end, k, depth);
        if (m_tooWide)
            return;
        sortFilled(begin, end);
        size_t i = begin;
        while (i < end) {
            size_t j = i + 1;
            bool more = m_items[i].more;
            while (j < end && m_items[j].rank == m_items[i].rank && m_items[j].key == m_items[i].key) {
                more = more || m_items[j].more;
                ++j;
            }
            if (j - i > 1) {
                if (more)
                    sortRange(i, j, k, depth + 1);
                else if (size_t(k) + 1 < m_sortKeys.size())
                    sortRange(i, j, k + 1, 0);
                if (m_tooWide)
                    return;
            }
            i = j;
        }
    }

    const Shared& m_s;
    const std::vector<SortKey>& m_sortKeys;
    std::vector<Item> m_items;
    std::vector<Item> m_spare; ///< the radix sort's other half
    // A run of cells read from a column.
    static constexpr size_t kRun = 1024;
    std::vector<qint32> m_rows = std::vector<qint32>(kRun);
    std::vector<quint8> m_null = std::vector<quint8>(kRun);
    std::vector<qint64> m_integers = std::vector<qint64>(kRun);
    std::vector<double> m_reals = std::vector<double>(kRun);
    std::vector<CriteriaColumns::Text> m_texts = std::vector<CriteriaColumns::Text>(kRun);
    std::vector<QString> m_made;
    std::array<char16_t, 256> m_latin {};
    QString m_text;
    bool m_wide = false;
    bool m_tooWide = false;
};

template <typename A, typename B> int compareFolded(const A* a, qsizetype an, const B* b, qsizetype bn)
{
    const qsizetype n = std::min(an, bn);
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = foldChar(char16_t(a[i]));
        const char16_t y = foldChar(char16_t(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return an == bn ? 0 : (an < bn ? -1 : 1);
}

/// One cell's place in the sort order of its column (Null first), as the sorter sees it.
int compareCells(const Shared& s, int column, qsizetype a, qsizetype b)
{
    const Column& col = *s.columns[size_t(column)];
    const QVariant* la = s.loose(a, column);
    const QVariant* lb = s.loose(b, column);
    const bool na = la ? la->isNull() : col.isNull(a);
    const bool nb = lb ? lb->isNull() : col.isNull(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    auto three = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (col.storage()) {
    case Storage::Integer:
    case Storage::Boolean:
        return three(la ? variantInteger(*la) : col.integer(a), lb ? variantInteger(*lb) : col.integer(b));
    case Storage::Real:
        return three(orderedReal(la ? variantReal(*la) : col.real(a)),
                     orderedReal(lb ? variantReal(*lb) : col.real(b)));
    case Storage::DateTime:
        return three(la ? variantDateTime(*la) : col.dateTime(a), lb ? variantDateTime(*lb) : col.dateTime(b));
    case Storage::Text:
        break;
    }
    const QString ta = la ? la->toString() : col.value(a).toString();
    const QString tb = lb ? lb->toString() : col.value(b).toString();
    return compareFolded(reinterpret_cast<const char16_t*>(ta.constData()), ta.size(),
                         reinterpret_cast<const char16_t*>(tb.constData()), tb.size());
}

} // namespace

int compareRows(const Shared& s, const std::vector<SortKey>& keys, qsizetype a, qsizetype b)
{
    for (const SortKey& k : keys) {
        const int c = compareCells(s, k.column, a, b);
        if (c != 0)
            return k.descending ? -c : c;
    }
    return 0;
}

void sortRows(const Shared& s, const std::vector<SortKey>& keys, std::vector<qint32>& rows)
{
    if (keys.empty() || rows.size() < 2)
        return;
    Sorter(s, keys).run(rows);
}

} // namespace quad::rs
