#pragma once
// Reads printed PDF files back with poppler's command-line tools.

#include "my_func.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

/// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace quad::test {

inline QString runTool(const QString& tool, const QStringList& args)
{
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(20000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

/// The text of a PDF (of one page when page > 0), every run of blanks made one blank.
inline QString pdfText(const QString& file, int page = 0)
{
    QStringList args;
    if (page > 0)
        args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    args << file << QStringLiteral("-");
    QString text = runTool(QStringLiteral("pdftotext"), args);
    text.replace(QRegularExpression(QStringLiteral("[ \\t]+")), QStringLiteral(" "));
    return text;
}

/// The non-empty lines of pdfText, trimmed.
inline QStringList pdfLines(const QString& file, int page = 0)
{
    QStringList lines;
    for (const QString& l : pdfText(file, page).split(QLatin1Char('\n'))) {
        const QString t = l.trimmed();
        if (!t.isEmpty())
            lines << t;
    }
    return lines;
}

/// A field of pdfinfo's report ("Pages", "Page size").
inline QString pdfInfo(const QString& file, const QString& key)
{
    for (const QString& line : runTool(QStringLiteral("pdfinfo"), {file}).split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).trimmed();
    }
    return QString();
}

inline int pdfPages(const QString& file)
{
    return pdfInfo(file, QStringLiteral("Pages")).toInt();
}

/// True when the first page is wider than it is high.
inline bool pdfLandscape(const QString& file)
{
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("([\\d.]+) x ([\\d.]+)")).match(pdfInfo(file, QStringLiteral("Page size")));
    return m.hasMatch() && m.captured(1).toDouble() > m.captured(2).toDouble();
}

/// A word of the PDF and its box in millimetres from the paper's top-left corner.
struct PdfWord
{
    QString text;
    double x = 0;
    double y = 0;
    double bottom = 0;
    int page = 0;
    double right = 0;
};

inline QList<PdfWord> pdfWords(const QString& file)
{
    QList<PdfWord> words;
    const QString html = runTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    const QRegularExpression word(QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                                                 "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    auto it = word.globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        const double mm = 25.4 / 72.0;
        words.append({m.captured(5), m.captured(1).toDouble() * mm, m.captured(2).toDouble() * mm,
                      m.captured(4).toDouble() * mm, page, m.captured(3).toDouble() * mm});
    }
    return words;
}

inline PdfWord findWord(const QList<PdfWord>& words, const QString& text)
{
    for (const PdfWord& w : words) {
        if (w.text == text)
            return w;
    }
    return {};
}

/// Records the files handed to the desktop opener while it lives.
class OpenedFiles
{
public:
    OpenedFiles()
    {
        setDocumentOpener([this](const QString& file) {
            files << file;
            return true;
        });
    }
    ~OpenedFiles()
    {
        setDocumentOpener([](const QString&) { return false; });
    }
    QStringList files;
};

/// The PDF files of a folder, by name.
inline QStringList pdfFiles(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

} // namespace quad::test
