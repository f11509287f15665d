#include "criteria_match.h"

#include <QVarLengthArray>
#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quad::criteria {

namespace {

/// Reads the code point at *pos (a surrogate pair counts as one) and folds it.
inline char32_t foldedCodePointAt(const char16_t* text, qsizetype size, qsizetype* pos)
{
    const char16_t unit = text[(*pos)++];
    if (unit < 0x80)
        return (unit >= u'A' && unit <= u'Z') ? char32_t(unit + 32) : char32_t(unit);
    if (QChar::isHighSurrogate(unit) && *pos < size && QChar::isLowSurrogate(text[*pos]))
        return QChar::toCaseFolded(QChar::surrogateToUcs4(unit, text[(*pos)++]));
    return QChar::toCaseFolded(char32_t(unit));
}

template <typename Out> void appendCodePoint(Out& out, char32_t cp)
{
    if (QChar::requiresSurrogates(cp)) {
        out.push_back(QChar::highSurrogate(cp));
        out.push_back(QChar::lowSurrogate(cp));
    } else {
        out.push_back(char16_t(cp));
    }
}

struct FoldEachUnit
{
    char16_t operator()(char16_t unit) const { return foldUnit(unit); }
};

struct AlreadyFolded
{
    char16_t operator()(char16_t unit) const { return unit; }
};

/// Folding of a Latin-1 character by table (the micro sign folds outside Latin-1).
struct FoldLatin1
{
    const char16_t* table;
    char16_t operator()(uchar c) const { return table[c]; }
};

FoldLatin1 latin1Fold()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t {};
        for (int c = 0; c < 256; ++c)
            t[size_t(c)] = foldUnit(char16_t(c));
        return t;
    }();
    return FoldLatin1 {table.data()};
}

bool isWildcard(QChar c)
{
    return c == QLatin1Char('%') || c == QLatin1Char('*');
}

} // namespace

std::u32string foldText(QStringView text)
{
    std::u32string out;
    out.reserve(size_t(text.size()));
    const char16_t* p = text.utf16();
    qsizetype pos = 0;
    while (pos < text.size())
        out.push_back(foldedCodePointAt(p, text.size(), &pos));
    return out;
}

int compareFolded(QStringView text, const std::u32string& folded)
{
    const char16_t* p = text.utf16();
    const qsizetype size = text.size();
    qsizetype pos = 0;
    size_t j = 0;
    while (pos < size && j < folded.size()) {
        const char32_t c = foldedCodePointAt(p, size, &pos);
        const char32_t l = folded[j++];
        if (c != l)
            return c < l ? -1 : 1;
    }
    if (pos < size)
        return 1;
    return j < folded.size() ? -1 : 0;
}

int compareFoldedLatin1(const char* text, qsizetype size, const std::u32string& folded)
{
    const FoldLatin1 fold = latin1Fold();
    const auto* p = reinterpret_cast<const uchar*>(text);
    const qsizetype n = std::min(size, qsizetype(folded.size()));
    for (qsizetype i = 0; i < n; ++i) {
        const char32_t c = fold(p[i]);
        const char32_t l = folded[size_t(i)];
        if (c != l)
            return c < l ? -1 : 1;
    }
    if (size > n)
        return 1;
    return qsizetype(folded.size()) > n ? -1 : 0;
}

LikePattern::LikePattern(QStringView pattern)
{
    for (QChar c : pattern) {
        if (c.isSurrogate()) {
            m_codePoints = true;
            break;
        }
    }

    // Split at runs of wildcards; fold each literal run.
    qsizetype pos = 0;
    while (pos < pattern.size()) {
        if (isWildcard(pattern[pos])) {
            m_hasWildcard = true;
            if (pos == 0)
                m_anchoredStart = false;
            while (pos < pattern.size() && isWildcard(pattern[pos]))
                ++pos;
            if (pos == pattern.size())
                m_anchoredEnd = false;
            continue;
        }
        const qsizetype start = pos;
        while (pos < pattern.size() && !isWildcard(pattern[pos]))
            ++pos;
        const QStringView run = pattern.mid(start, pos - start);
        Segment segment;
        if (m_codePoints) {
            for (char32_t cp : foldText(run))
                appendCodePoint(segment.units, cp);
        } else {
            segment.units.reserve(size_t(run.size()));
            for (QChar c : run)
                segment.units.push_back(foldUnit(c.unicode()));
        }
        const qsizetype m = qsizetype(segment.units.size());
        const quint16 full = quint16(std::min<qsizetype>(m, 0xFFFF));
        segment.shift.fill(full);
        for (qsizetype j = 0; j + 1 < m; ++j)
            segment.shift[segment.units[size_t(j)] & 0xFF] = quint16(std::min<qsizetype>(m - 1 - j, 0xFFFF));
        m_segments.push_back(std::move(segment));
    }
}

bool LikePattern::matches(QStringView text) const
{
    if (!m_codePoints)
        return matchUnits(text.utf16(), text.size(), FoldEachUnit());

    // The pattern holds characters outside the Basic Multilingual Plane: fold the text by
    // code point first, so that surrogate pairs fold as one character.
    QVarLengthArray<char16_t, 256> folded;
    const char16_t* p = text.utf16();
    qsizetype pos = 0;
    while (pos < text.size())
        appendCodePoint(folded, foldedCodePointAt(p, text.size(), &pos));
    return matchUnits(folded.constData(), folded.size(), AlreadyFolded());
}

bool LikePattern::matchesLatin1(const char* text, qsizetype size) const
{
    if (!m_codePoints)
        return matchUnits(reinterpret_cast<const uchar*>(text), size, latin1Fold());
    QVarLengthArray<char16_t, 256> wide(size);
    for (qsizetype i = 0; i < size; ++i)
        wide[i] = uchar(text[i]);
    return matches(QStringView(wide.constData(), size));
}

template <typename Char, typename Fold>
bool LikePattern::equalAt(const Char* text, qsizetype at, const Segment& segment, Fold fold)
{
    const char16_t* s = segment.units.data();
    const qsizetype m = qsizetype(segment.units.size());
    for (qsizetype j = 0; j < m; ++j) {
        if (fold(text[at + j]) != s[j])
            return false;
    }
    return true;
}

template <typename Char, typename Fold>
qsizetype LikePattern::find(const Char* text, qsizetype from, qsizetype to, const Segment& segment, Fold fold)
{
#if defined(__SSE2__)
    return findByProbes(text, from, to, segment, fold);
#endif
    const qsizetype m = qsizetype(segment.units.size());
    const char16_t* s = segment.units.data();
    if (m == 1) {
        for (qsizetype i = from; i < to; ++i) {
            if (fold(text[i]) == s[0])
                return i;
        }
        return -1;
    }
    // Horspool over the folded text: compare the last unit of the window first and skip by
    // the table when it does not close a match.
    const char16_t last = s[m - 1];
    qsizetype i = from + m - 1;
    while (i < to) {
        const char16_t c = fold(text[i]);
        if (c == last) {
            const qsizetype start = i - (m - 1);
            qsizetype j = m - 2;
            while (j >= 0 && fold(text[start + j]) == s[j])
                --j;
            if (j < 0)
                return start;
        }
        i += segment.shift[c & 0xFF];
    }
    return -1;
}

#if defined(__SSE2__)
namespace {

/// Which of eight text units might fold to a given folded unit: for an ASCII unit, itself in
/// either case; and always any unit outside ASCII, which the exact check then folds.
struct Probe
{
    explicit Probe(char16_t folded)
        : ascii(folded < 0x80)
        , lower(_mm_set1_epi16(short(folded)))
        , upper(_mm_set1_epi16(short((folded >= u'a' && folded <= u'z') ? folded - 32 : folded)))
    {
    }

    __m128i candidates(__m128i units) const
    {
        const __m128i outsideAscii = _mm_xor_si128(
            _mm_cmpeq_epi16(_mm_subs_epu16(units, _mm_set1_epi16(0x7F)), _mm_setzero_si128()), _mm_set1_epi16(-1));
        if (!ascii)
            return outsideAscii;
        return _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, lower), _mm_cmpeq_epi16(units, upper)), outsideAscii);
    }

    bool ascii;
    __m128i lower;
    __m128i upper;
};

/// The same over Latin-1 bytes, sixteen at a time. A byte outside ASCII never folds into
/// ASCII, so an ASCII unit is looked for in its two cases only.
struct ByteProbe
{
    explicit ByteProbe(char16_t folded)
        : ascii(folded < 0x80)
        , lower(_mm_set1_epi8(char(folded)))
        , upper(_mm_set1_epi8(char((folded >= u'a' && folded <= u'z') ? folded - 32 : folded)))
    {
    }

    __m128i candidates(__m128i bytes) const
    {
        const __m128i outsideAscii = _mm_cmplt_epi8(bytes, _mm_setzero_si128());
        if (!ascii)
            return outsideAscii;
        return _mm_or_si128(_mm_cmpeq_epi8(bytes, lower), _mm_cmpeq_epi8(bytes, upper));
    }

    bool ascii;
    __m128i lower;
    __m128i upper;
};

} // namespace

template <typename Char, typename Fold>
qsizetype LikePattern::findByProbes(const Char* text, qsizetype from, qsizetype to, const Segment& segment, Fold fold)
{
    // Sixteen bytes of start positions at a time: a start is a candidate when the unit there
    // might be the run's first unit and the unit m - 1 further on might be its last; only
    // candidates are compared in full. A mask bit per byte: sizeof(Char) bits per start.
    using ProbeFor = std::conditional_t<sizeof(Char) == 1, ByteProbe, Probe>;
    constexpr qsizetype lanes = 16 / sizeof(Char);
    constexpr uint startBits = sizeof(Char) == 1 ? 1u : 3u;
    const qsizetype m = qsizetype(segment.units.size());
    const qsizetype last = to - m; // last possible start
    const ProbeFor head(segment.units.front());
    const ProbeFor tail(segment.units.back());
    auto candidates = [&](qsizetype block) {
        const __m128i firsts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block));
        const __m128i lasts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + block + m - 1));
        return uint(_mm_movemask_epi8(_mm_and_si128(head.candidates(firsts), tail.candidates(lasts))));
    };
    auto check = [&](qsizetype block, uint mask) -> qsizetype {
        while (mask != 0) {
            const uint bit = qCountTrailingZeroBits(mask);
            const qsizetype start = block + qsizetype(bit / sizeof(Char));
            if (equalAt(text, start, segment, fold))
                return start;
            mask &= ~(startBits << bit);
        }
        return -1;
    };

    if (last - from < lanes - 1) {
        // Too short for a block of starts.
        for (qsizetype at = from; at <= last; ++at) {
            if (equalAt(text, at, segment, fold))
                return at;
        }
        return -1;
    }
    qsizetype at = from;
    for (; at <= last - (lanes - 1); at += lanes) {
        const qsizetype found = check(at, candidates(at));
        if (found >= 0)
            return found;
    }
    if (at <= last) {
        // The last block of starts, overlapping the block before: drop the starts already seen.
        const qsizetype back = last - (lanes - 1);
        return check(back, candidates(back) & ~((1u << (sizeof(Char) * (at - back))) - 1));
    }
    return -1;
}
#endif

template <typename Char, typename Fold> bool LikePattern::matchUnits(const Char* text, qsizetype size, Fold fold) const
{
    if (!m_hasWildcard) {
        if (m_segments.empty())
            return size == 0;
        const Segment& only = m_segments.front();
        return qsizetype(only.units.size()) == size && equalAt(text, 0, only, fold);
    }

    size_t first = 0;
    size_t last = m_segments.size();
    qsizetype pos = 0;
    qsizetype end = size;
    if (m_anchoredStart && first < last) {
        const Segment& head = m_segments[first++];
        const qsizetype m = qsizetype(head.units.size());
        if (m > size || !equalAt(text, 0, head, fold))
            return false;
        pos = m;
    }
    if (m_anchoredEnd && first < last) {
        const Segment& tail = m_segments[--last];
        const qsizetype m = qsizetype(tail.units.size());
        if (size - m < pos || !equalAt(text, size - m, tail, fold))
            return false;
        end = size - m;
    }
    // The runs in between: the leftmost occurrence of each leaves the most room for the next.
    for (size_t k = first; k < last; ++k) {
        const Segment& segment = m_segments[k];
        const qsizetype found = find(text, pos, end, segment, fold);
        if (found < 0)
            return false;
        pos = found + qsizetype(segment.units.size());
    }
    return true;
}

} // namespace quad::criteria
