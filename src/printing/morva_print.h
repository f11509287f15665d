#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPointF>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QPrinter;

namespace quad {

class FileBeside;

/// The page-printing object: places text, lines, boxes and pictures in millimetres measured from
/// the top-left corner of the paper, over the system's default printer. Where no printer is
/// configured every document goes to a PDF file in the folder given by setPdfFolder(), which is
/// opened with the desktop's viewer once the document ends.
///
/// A document runs from the first output after the previous EndDoc() (or KillDoc()) up to the
/// next EndDoc(). Fonts, pen and page settings stay as the last caller left them.
///
/// A document that cannot be started (no printer, a PDF file that cannot be written) shows the
/// "MorvaPrint" error box once and is killed: the rest of its output is dropped and nothing of it
/// stays pending for the next document.
class MorvaPrint
{
public:
    enum class Output { Automatic, Pdf };

    /// Automatic: the default printer, or PDF files where there is none. Pdf: always PDF files,
    /// whose printable area starts `margins` millimetres inside the paper (tests use it to stand
    /// for a printer that cannot print up to the paper's edge).
    explicit MorvaPrint(Output output = Output::Automatic, double margins = 0.0);
    ~MorvaPrint();
    MorvaPrint(const MorvaPrint&) = delete;
    MorvaPrint& operator=(const MorvaPrint&) = delete;

    /// True when documents go to PDF files rather than to a printer.
    bool toPdf() const { return m_pdf; }
    /// Folder of the PDF files.
    void setPdfFolder(const QString& folder) { m_pdfFolder = folder; }
    /// What the next document holds; the PDF file is named by it and by the moment it starts
    /// ("<name>_yyyy_dd_MM__hh_mm_ss.pdf"), and a printer shows it in its queue.
    void setNomeDocumento(const QString& name) { m_docName = name; }
    /// The PDF file of the last document that ended (empty when it went to a printer or failed).
    QString ultimoPdf() const { return m_lastPdf; }

    // --- properties -----------------------------------------------------------------------
    /// Extra gap in millimetres between the lines of a multi-line text; a negative value
    /// stores 1.
    float SpaziaturaLinea() const { return m_spaziatura; }
    void setSpaziaturaLinea(float spaziatura) { m_spaziatura = spaziatura < 0 ? 1.0f : spaziatura; }
    int FontSize() const;
    void setFontSize(int size);
    QString FontName() const { return m_fontName; }
    /// The name is kept as given; a font the system lacks is replaced by a similar one
    /// ("New Times Romans" by a serif font).
    void setFontName(const QString& name);
    bool FontBold() const { return m_font.bold(); }
    void setFontBold(bool bold)
    {
        m_font.setBold(bold);
        m_metrics.reset();
    }
    bool FontItalic() const { return m_font.italic(); }
    void setFontItalic(bool italic)
    {
        m_font.setItalic(italic);
        m_metrics.reset();
    }
    bool FontUnderline() const { return m_font.underline(); }
    void setFontUnderline(bool underline)
    {
        m_font.setUnderline(underline);
        m_metrics.reset();
    }
    /// Colour as 0x00BBGGRR.
    long ForeColor() const { return m_foreColor; }
    void setForeColor(long color);
    /// 1 Letter, 5 Legal, 8 A3, 9 A4, 11 A5; other values leave the paper as it is.
    long PaperSize() const { return m_paperSize; }
    void setPaperSize(long size);
    int Copies() const;
    void setCopies(int copies);
    void setPrintQuality(long quality);
    /// 1 monochrome, 2 colour.
    void setColorMode(long mode);
    /// 1 portrait, 2 landscape; other values are ignored. Takes effect at the next document.
    void setOrientation(long orientation);
    /// 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 invisible, 6 inside solid.
    void setDrawStyle(long style) { m_drawStyle = int(style); }
    /// Pen width in printer dots.
    void setDrawWidth(int width) { m_drawWidth = width; }
    /// The printing position in millimetres from the paper's edge.
    float CurrentX() const { return m_x - m_leftOffset; }
    void setCurrentX(float x) { m_x = x + m_leftOffset; }
    float CurrentY() const { return m_y - m_topOffset; }
    void setCurrentY(float y) { m_y = y + m_topOffset; }
    int FontCount() const;
    QString Fonts(int index) const;
    /// The paper's height and width in millimetres (the printable area plus twice its margin).
    float PageHeight() const;
    float PageWidth() const;
    /// Number of the page being printed (1 for the first).
    int Page() const { return m_page; }

    // --- output ---------------------------------------------------------------------------
    /// Prints Testo left-aligned from (XPos, YPos) of the paper, one line per carriage return
    /// (a line feed after it is dropped, blanks around each line removed). Rientro indents the
    /// first line; WidthMax > 0 cuts each line at the right to that many millimetres. A
    /// negative XPos or YPos keeps the current position on that axis. A text without carriage
    /// returns is cut in the caller's variable too.
    void PrintLeft(float XPos, float YPos, QString& Testo, float Rientro, int WidthMax);
    /// The same with each line ending at XPos (the first Rientro further left); the cut keeps
    /// the end of a line.
    void PrintRight(float XPos, float YPos, QString& Testo, float Rientro, int WidthMax);
    /// The same with each line centred on XPos; no indent.
    void PrintCentre(float XPos, float YPos, QString& Testo, int WidthMax);
    /// The outline of a rectangle (a line when a side is 0); corners rounded with radius
    /// Rounded when above 0, reduced to half the shorter side when larger (the caller's
    /// variable receives the radius used). The position ends at the opposite corner.
    void PrintShape(float StartX, float StartY, float ObjWidth, float ObjHeight, float& Rounded);
    /// Draws a picture with its corner at (StartX, StartY): scaled to Width x Height when both
    /// are above 0, one side given and the other kept in proportion when only that one is
    /// above 0 and the other 0, natural size otherwise.
    void PrintPicture(float StartX, float StartY, const QImage& picture, float Height, float Width);
    /// Width and height of a text in the current font, in millimetres.
    float TextWidth(const QString& sText) const;
    float TextHeight(const QString& sText) const;
    /// Ends the document: it goes to the printer, or its PDF file is written and opened.
    void EndDoc();
    void NewPage();
    /// Discards the document: nothing of it is printed, its PDF file is removed.
    void KillDoc();

private:
    QString CutToWidth(QString& Testo, int WidthMax, bool KeepStart) const;
    static QString SplitLines(const QString& Testo, int LineIndex);
    static int CountLines(const QString& Testo);
    void ShowPrintError(int ErrNumber, const QString& description);
    void ComputePhysicalMargins();

    enum class Align { Left, Right, Centre };
    void printAligned(Align align, float XPos, float YPos, QString& Testo, float Rientro, int WidthMax);
    /// Prints one line at the printing position and moves to the next line.
    void printLine(const QString& line);
    /// Starts the document when none is running; false (after the error box, once) when it
    /// cannot be started.
    bool avvia();
    double dpmm() const;
    QPointF device(float x, float y) const;
    QFont deviceFont() const;
    /// Metrics of the current font on the printer (kept until the font changes).
    const QFontMetricsF& metrics() const;
    void applyPen();
    QString nuovoPdf() const;

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter;
    bool m_pdf = false;
    QString m_pdfFolder;
    QString m_docName = QStringLiteral("Stampa");
    QString m_currentPdf;
    std::unique_ptr<FileBeside> m_scrittura; ///< the running document's PDF while it is written
    QString m_lastPdf;
    bool m_failed = false; ///< the running document was killed; output is dropped until it ends

    float m_leftOffset = 0;
    float m_topOffset = 0;
    float m_spaziatura = 0;
    float m_x = 0; ///< printing position, millimetres from the printable area's corner
    float m_y = 0;
    QFont m_font;
    mutable std::optional<QFontMetricsF> m_metrics;
    QString m_fontName;
    long m_foreColor = 0;
    long m_paperSize = 9;
    int m_drawStyle = 0;
    int m_drawWidth = 1;
    int m_page = 0;
};

} // namespace quad
