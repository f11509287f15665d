#pragma once

// Text matching for the criteria engine: case folding on the fly, comparisons against a folded
// literal and LIKE patterns. Nothing here allocates per compared text, except a LIKE pattern
// holding characters outside the Basic Multilingual Plane on texts longer than 256 units.

#include <QChar>
#include <QStringView>

#include <array>
#include <string>
#include <vector>

namespace quad::criteria {

/// Simple case folding of one UTF-16 unit; surrogate halves are left as they are (no character
/// of the Basic Multilingual Plane folds outside it, nor the other way round).
inline char16_t foldUnit(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'A' && unit <= u'Z') ? char16_t(unit + 32) : unit;
    if (QChar::isSurrogate(unit))
        return unit;
    return char16_t(QChar::toCaseFolded(char32_t(unit)));
}

/// The text's code points, case-folded (accents kept).
std::u32string foldText(QStringView text);

/// Compares text, folded as it is read, with an already folded literal, code point by code
/// point: negative, zero or positive as text sorts before, equal to or after the literal.
int compareFolded(QStringView text, const std::u32string& folded);

/// The same over Latin-1 text (one byte a character).
int compareFoldedLatin1(const char* text, qsizetype size, const std::u32string& folded);

/// A LIKE pattern compiled once: '%' and '*' match any run of characters (also none), anywhere;
/// every other character, '_' included, matches itself without regard to case. The whole text
/// must match ("nota%" is a prefix match).
class LikePattern
{
public:
    explicit LikePattern(QStringView pattern);
    bool matches(QStringView text) const;
    /// The same over Latin-1 text (one byte a character).
    bool matchesLatin1(const char* text, qsizetype size) const;

private:
    struct Segment
    {
        std::u16string units; ///< folded
        std::array<quint16, 256> shift {}; ///< skip table by the low byte of a folded unit
    };

    template <typename Char, typename Fold> bool matchUnits(const Char* text, qsizetype size, Fold fold) const;
    template <typename Char, typename Fold>
    static bool equalAt(const Char* text, qsizetype at, const Segment& segment, Fold fold);
    template <typename Char, typename Fold>
    static qsizetype findByProbes(const Char* text, qsizetype from, qsizetype to, const Segment& segment, Fold fold);
    template <typename Char, typename Fold>
    static qsizetype find(const Char* text, qsizetype from, qsizetype to, const Segment& segment, Fold fold);

    std::vector<Segment> m_segments; ///< the literal runs between wildcards, in order
    bool m_hasWildcard = false;
    bool m_anchoredStart = true; ///< the pattern does not begin with a wildcard
    bool m_anchoredEnd = true; ///< the pattern does not end with a wildcard
    bool m_codePoints = false; ///< the pattern holds surrogate pairs: fold texts by code point
};

} // namespace quad::criteria
