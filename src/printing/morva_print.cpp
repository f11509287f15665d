#include "morva_print.h"

#include "clock.h"
#include "file_replace.h"
#include "message_service.h"
#include "my_func.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cmath>
#include <cstring>

#include <unistd.h>

namespace quad {

namespace {

constexpr double kMmPerInch = 25.4;
/// Resolution of PDF documents: lines keep the thickness a laser printer gives them.
constexpr int kPdfDpi = 600;
constexpr int kErrPrinter = 482;

/// The font the program names for its prints is not a real family: a serif font stands for it.
void registerSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitutions(QStringLiteral("New Times Romans"),
                               {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                                QStringLiteral("DejaVu Serif"), QStringLiteral("FreeSerif")});
}

QString trimBlanks(const QString& text)
{
    int start = 0;
    int end = text.size();
    while (start < end && text.at(start) == QLatin1Char(' '))
        ++start;
    while (end > start && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(start, end - start);
}

Qt::PenStyle penStyle(int drawStyle)
{
    switch (drawStyle) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QColor colorOf(long bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

/// A name usable in a file name: blanks become "_", path and shell characters go.
QString fileNamePart(const QString& name)
{
    QString out;
    for (const QChar c : name.trimmed()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('.'))
            out += c;
        else if (c.isSpace() || c == QLatin1Char('_'))
            out += QLatin1Char('_');
    }
    return out.isEmpty() ? QStringLiteral("Stampa") : out;
}

/// Whether a PDF file reached its disk whole: its data is on the disk, it ends with the PDF's
/// end mark, and the cross-reference table sits where its trailer says. Why not in *why.
bool pdfIntero(const QString& path, QString* why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    *why = QStringLiteral("il documento è incompleto (disco pieno?).");
    const qint64 size = file.size();
    if (size < 32 || !file.seek(std::max<qint64>(0, size - 64)))
        return false;
    const QByteArray tail = file.read(64);
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$")).match(QString::fromLatin1(tail));
    if (!m.hasMatch())
        return false;
    const qint64 xref = m.captured(1).toLongLong();
    if (xref <= 0 || xref >= size || !file.seek(xref) || file.read(4) != "xref")
        return false;
    why->clear();
    return true;
}

} // namespace

MorvaPrint::MorvaPrint(Output output, double margins)
{
    registerSubstitutes();
    m_pdf = output == Output::Pdf || QPrinterInfo::defaultPrinter().isNull();
    if (m_pdf) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setOutputFormat(QPrinter::PdfFormat);
        m_printer->setResolution(kPdfDpi);
        m_printer->setPageMargins(QMarginsF(margins, margins, margins, margins), QPageLayout::Millimeter);
    } else {
        m_printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    }
    m_printer->setFullPage(false);
    m_printer->setPageSize(QPageSize(QPageSize::A4));
    m_painter = std::make_unique<QPainter>();
    m_font.setPointSize(10);

    ComputePhysicalMargins();
    m_x = m_leftOffset;
    m_y = m_topOffset;
}

MorvaPrint::~MorvaPrint()
{
    // A document still running when the program ends is not printed half-way.
    KillDoc();
}

void MorvaPrint::ComputePhysicalMargins()
{
    const QRectF printable = m_printer->pageLayout().paintRect(QPageLayout::Millimeter);
    m_leftOffset = float(-printable.left());
    m_topOffset = float(-printable.top());
}

int MorvaPrint::FontSize() const
{
    return int(std::lround(m_font.pointSizeF()));
}

void MorvaPrint::setFontSize(int size)
{
    if (size > 0)
        m_font.setPointSizeF(size);
    m_metrics.reset();
}

void MorvaPrint::setFontName(const QString& name)
{
    if (name.trimmed().isEmpty())
        return;
    m_fontName = name;
    m_font.setFamily(name);
    m_font.setStyleHint(name.contains(QLatin1String("Times"), Qt::CaseInsensitive) ? QFont::Serif : QFont::AnyStyle);
}

void MorvaPrint::setForeColor(long color)
{
    m_foreColor = color >= 0 && color <= 0xFFFFFF ? color : 0;
}

void MorvaPrint::setPaperSize(long size)
{
    QPageSize::PageSizeId id;
    switch (size) {
    case 1:
        id = QPageSize::Letter;
        break;
    case 5:
        id = QPageSize::Legal;
        break;
    case 8:
        id = QPageSize::A3;
        break;
    case 9:
        id = QPageSize::A4;
        break;
    case 11:
        id = QPageSize::A5;
        break;
    default:
        return; // the printer keeps its own paper
    }
    m_paperSize = size;
    m_printer->setPageSize(QPageSize(id));
    ComputePhysicalMargins();
}

int MorvaPrint::Copies() const
{
    return m_printer->copyCount();
}

void MorvaPrint::setCopies(int copies)
{
    if (copies > 0)
        m_printer->setCopyCount(copies);
}

void MorvaPrint::setPrintQuality(long quality)
{
    // Negative values are the driver's draft to high settings; the resolution stays the
    // driver's (or the PDF's) own.
    Q_UNUSED(quality);
}

void MorvaPrint::setColorMode(long mode)
{
    if (mode == 1)
        m_printer->setColorMode(QPrinter::GrayScale);
    else if (mode == 2)
        m_printer->setColorMode(QPrinter::Color);
}

void MorvaPrint::setOrientation(long orientation)
{
    if (orientation != 1 && orientation != 2)
        return;
    m_printer->setPageOrientation(orientation == 1 ? QPageLayout::Portrait : QPageLayout::Landscape);
    ComputePhysicalMargins();
}

int MorvaPrint::FontCount() const
{
    return int(QFontDatabase::families().size());
}

QString MorvaPrint::Fonts(int index) const
{
    const QStringList families = QFontDatabase::families();
    return index >= 0 && index < families.size() ? families.at(index) : QString();
}

float MorvaPrint::PageHeight() const
{
    return float(m_printer->pageLayout().paintRect(QPageLayout::Millimeter).height()) - 2 * m_topOffset;
}

float MorvaPrint::PageWidth() const
{
    return float(m_printer->pageLayout().paintRect(QPageLayout::Millimeter).width()) - 2 * m_leftOffset;
}

double MorvaPrint::dpmm() const
{
    return m_printer->resolution() / kMmPerInch;
}

QPointF MorvaPrint::device(float x, float y) const
{
    return QPointF(x * dpmm(), y * dpmm());
}

QFont MorvaPrint::deviceFont() const
{
    // Point sizes are resolved against the printer's resolution, not the screen's.
    return QFont(m_font, m_printer.get());
}

const QFontMetricsF& MorvaPrint::metrics() const
{
    if (!m_metrics)
        m_metrics.emplace(deviceFont(), m_printer.get());
    return *m_metrics;
}

float MorvaPrint::TextWidth(const QString& sText) const
{
    return float(metrics().horizontalAdvance(sText) / dpmm());
}

float MorvaPrint::TextHeight(const QString& sText) const
{
    Q_UNUSED(sText);
    return float(metrics().height() / dpmm());
}

QString MorvaPrint::CutToWidth(QString& Testo, int WidthMax, bool KeepStart) const
{
    while (!Testo.isEmpty() && TextWidth(Testo) > float(WidthMax)) {
        if (KeepStart)
            Testo.chop(1);
        else
            Testo.remove(0, 1);
    }
    return Testo;
}

int MorvaPrint::CountLines(const QString& Testo)
{
    return int(Testo.count(QLatin1Char('\r')));
}

QString MorvaPrint::SplitLines(const QString& Testo, int LineIndex)
{
    const QStringList parts = Testo.split(QLatin1Char('\r'));
    if (LineIndex < 0 || LineIndex >= parts.size())
        return QString();
    QString line = parts.at(LineIndex);
    if (LineIndex > 0 && line.startsWith(QLatin1Char('\n')))
        line.remove(0, 1);
    return trimBlanks(line);
}

void MorvaPrint::ShowPrintError(int ErrNumber, const QString& description)
{
    msgBox(QStringLiteral("Errore nella routine di stampa\nErrore numero: %1\n%2").arg(ErrNumber).arg(description),
           MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("MorvaPrint"));
}

QString MorvaPrint::nuovoPdf() const
{
    const QDir folder(m_pdfFolder.isEmpty() ? QDir::currentPath() : m_pdfFolder);
    const QString base = fileNamePart(m_docName) + QLatin1Char('_')
        + Clock::currentDateTime().toString(QStringLiteral("yyyy_dd_MM__hh_mm_ss"));
    QString path = folder.filePath(base + QStringLiteral(".pdf"));
    for (int n = 2; QFile::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1_%2.pdf").arg(base).arg(n));
    return path;
}

bool MorvaPrint::avvia()
{
    if (m_failed)
        return false;
    if (m_painter->isActive())
        return true;

    m_printer->setDocName(m_docName);
    m_currentPdf.clear();
    bool pronto = true;
    if (m_pdf) {
        // The document is written aside, in a file locked while it is written, and takes its name
        // only once it is whole. What prints killed half-way left there, and no living print
        // still writes, goes first.
        m_currentPdf = nuovoPdf();
        const QString inScrittura = QFileInfo(m_currentPdf).dir().filePath(QStringLiteral("stampa.pdf"));
        FileBeside::removeLeftovers(inScrittura);
        m_scrittura = std::make_unique<FileBeside>(inScrittura);
        pronto = m_scrittura->isOpen();
        if (pronto)
            m_printer->setOutputFileName(m_scrittura->path());
    }
    ComputePhysicalMargins();
    if (!pronto || !m_painter->begin(m_printer.get())) {
        m_failed = true;
        const QString where = m_pdf
            ? QStringLiteral("Impossibile scrivere il file %1.").arg(QDir::toNativeSeparators(m_currentPdf))
            : QStringLiteral("La stampante %1 non risponde.").arg(m_printer->printerName());
        m_scrittura.reset();
        m_currentPdf.clear();
        ShowPrintError(kErrPrinter, where);
        return false;
    }
    m_page = 1;
    return true;
}

void MorvaPrint::applyPen()
{
    QPen pen(colorOf(m_foreColor));
    pen.setStyle(penStyle(m_drawStyle));
    pen.setWidthF(std::max(1, m_drawWidth));
    m_painter->setPen(pen);
    m_painter->setBrush(Qt::NoBrush);
}

void MorvaPrint::printLine(const QString& line)
{
    if (!avvia())
        return;
    m_painter->setFont(deviceFont());
    m_painter->setPen(colorOf(m_foreColor));
    m_painter->drawText(device(m_x, m_y) + QPointF(0, metrics().ascent()), line);
    m_x = 0;
    m_y += float(metrics().height() / dpmm());
}

void MorvaPrint::printAligned(Align align, float XPos, float YPos, QString& Testo, float Rientro, int WidthMax)
{
    const bool keepStart = align != Align::Right;
    const auto placeX = [&](float edge, const QString& line) {
        if (XPos < 0)
            return;
        switch (align) {
        case Align::Left:
            m_x = edge + m_leftOffset;
            break;
        case Align::Right:
            m_x = edge + m_leftOffset - TextWidth(line);
            break;
        case Align::Centre:
            m_x = XPos + m_leftOffset - TextWidth(line) / 2;
            break;
        }
    };
    const float firstEdge = align == Align::Left ? XPos + Rientro : align == Align::Right ? XPos - Rientro : XPos;

    const int n = CountLines(Testo);
    if (n == 0) {
        if (YPos >= 0)
            m_y = YPos + m_topOffset;
        if (WidthMax > 0)
            CutToWidth(Testo, WidthMax, keepStart);
        placeX(firstEdge, Testo);
        printLine(Testo);
        return;
    }
    for (int i = 0; i <= n; ++i) {
        QString line = SplitLines(Testo, i);
        if (WidthMax > 0)
            CutToWidth(line, WidthMax, keepStart);
        placeX(i == 0 ? firstEdge : XPos, line);
        if (YPos >= 0)
            m_y = YPos + m_topOffset + i * TextHeight(line) + i * m_spaziatura;
        printLine(line);
    }
}

void MorvaPrint::PrintLeft(float XPos, float YPos, QString& Testo, float Rientro, int WidthMax)
{
    printAligned(Align::Left, XPos, YPos, Testo, Rientro, WidthMax);
}

void MorvaPrint::PrintRight(float XPos, float YPos, QString& Testo, float Rientro, int WidthMax)
{
    printAligned(Align::Right, XPos, YPos, Testo, Rientro, WidthMax);
}

void MorvaPrint::PrintCentre(float XPos, float YPos, QString& Testo, int WidthMax)
{
    printAligned(Align::Centre, XPos, YPos, Testo, 0, WidthMax);
}

void MorvaPrint::PrintShape(float StartX, float StartY, float ObjWidth, float ObjHeight, float& Rounded)
{
    if (Rounded > 0) {
        const float shorter = std::min(ObjWidth, ObjHeight);
        if (shorter / 2 < Rounded)
            Rounded = shorter / 2;
    }
    if (!avvia())
        return;
    applyPen();
    const QPointF a = device(StartX + m_leftOffset, StartY + m_topOffset);
    const QPointF b = device(StartX + ObjWidth + m_leftOffset, StartY + ObjHeight + m_topOffset);
    if (ObjWidth == 0 || ObjHeight == 0)
        m_painter->drawLine(a, b);
    else if (Rounded > 0)
        m_painter->drawRoundedRect(QRectF(a, b).normalized(), Rounded * dpmm(), Rounded * dpmm());
    else
        m_painter->drawRect(QRectF(a, b).normalized());
    m_x = StartX + ObjWidth + m_leftOffset;
    m_y = StartY + ObjHeight + m_topOffset;
}

void MorvaPrint::PrintPicture(float StartX, float StartY, const QImage& picture, float Height, float Width)
{
    if (picture.isNull() || !avvia())
        return;
    const double dotsPerMm = picture.dotsPerMeterX() > 0 ? picture.dotsPerMeterX() / 1000.0 : 96 / kMmPerInch;
    const double naturalW = picture.width() / dotsPerMm;
    const double naturalH = picture.height() / dotsPerMm;
    double w = naturalW;
    double h = naturalH;
    if (Height > 0 && Width > 0) {
        w = Width;
        h = Height;
    } else if (Height == 0 && Width > 0) {
        w = Width;
        h = naturalH * Width / naturalW;
    } else if (Height > 0 && Width == 0) {
        h = Height;
        w = naturalW * Height / naturalH;
    }
    const QPointF corner = device(StartX + m_leftOffset, StartY + m_topOffset);
    m_painter->drawImage(QRectF(corner, QSizeF(w * dpmm(), h * dpmm())), picture);
}

void MorvaPrint::NewPage()
{
    if (!avvia())
        return;
    m_printer->newPage();
    ++m_page;
}

void MorvaPrint::EndDoc()
{
    const bool failed = m_failed;
    m_failed = false;
    if (failed || !m_painter->isActive())
        return;
    const QString file = m_currentPdf;
    m_currentPdf.clear();
    m_page = 0;
    // Unless it takes its name below, the file being written goes with it.
    const std::unique_ptr<FileBeside> scrittura = std::move(m_scrittura);
    if (!m_painter->end()) {
        ShowPrintError(kErrPrinter, QStringLiteral("Il documento non è stato completato."));
        return;
    }
    if (file.isEmpty())
        return; // at the printer
    // The PDF writer does not report a failed write (a full disk): the file is checked before it
    // takes its name, and one that is not whole is removed.
    QString perche;
    if (!pdfIntero(scrittura->path(), &perche) || !scrittura->commitAs(file)) {
        if (perche.isEmpty())
            perche = QFileInfo::exists(file) ? QStringLiteral("il nome è già in uso.") : scrittura->errorString();
        ShowPrintError(
            kErrPrinter,
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(file), perche));
        return;
    }
    m_lastPdf = file;
    if (apri_documento(file) <= 32)
        msgBox(QStringLiteral("Nessun programma ha aperto il documento stampato.\n\nIl documento è nel file:\n%1")
                   .arg(QDir::toNativeSeparators(file)),
               MsgIcon::Information);
}

void MorvaPrint::KillDoc()
{
    m_failed = false;
    if (!m_painter || !m_painter->isActive())
        return;
    m_printer->abort();
    if (m_painter->isActive())
        m_painter->end();
    m_scrittura.reset();
    m_currentPdf.clear();
    m_page = 0;
}

} // namespace quad
