#include "common_dialog.h"

#include "message_service.h"
#include "my_func.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

#include <cmath>

namespace quad {

namespace {

constexpr qint32 kCancelError = 2001;
constexpr qint32 kColorCancelError = -2147220610;
/// The extended error of a file dialog whose name does not fit the buffer the caller sized.
constexpr qint32 kBufferTooSmall = 0x3003;
/// The file-name buffers hold this many characters, terminator included, when MaxFileSize is
/// below 1.
constexpr qint32 kDefaultFileBuffer = 260;
/// The help command that closes the help instead of showing it.
constexpr qint32 kHelpQuit = 2;

/// Windows colour value 0x00BBGGRR.
QColor fromColorRef(qint32 value)
{
    const quint32 v = static_cast<quint32>(value);
    return QColor(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff);
}

qint32 toColorRef(const QColor& color)
{
    return static_cast<qint32>(static_cast<quint32>(color.red()) | (static_cast<quint32>(color.green()) << 8)
                               | (static_cast<quint32>(color.blue()) << 16));
}

qint32 hundredths(qreal millimetres)
{
    return static_cast<qint32>(std::lround(millimetres * 100.0));
}

/// The filter of the FilterIndex-th pair (1-based), or "" when there is none.
QString selectedFilter(const QString& qtFilter, int index)
{
    const QStringList filters = qtFilter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    return index >= 1 && index <= filters.size() ? filters.at(index - 1) : QString();
}

/// The filters with the FilterIndex-th one first: the open dialog starts on its first filter.
QString filtersFrom(const QString& qtFilter, int index)
{
    QStringList filters = qtFilter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (index >= 2 && index <= filters.size())
        filters.move(index - 1, 0);
    return filters.join(QStringLiteral(";;"));
}

} // namespace

QString filtro_qt(const QString& filter)
{
    if (filter.isEmpty())
        return QString();
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i);
        QString patterns = i + 1 < parts.size() ? parts.at(i + 1).trimmed() : QString();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.isEmpty())
            patterns = QStringLiteral("*");
        out << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

clsCommonDialog::clsCommonDialog(QWidget* owner)
    : m_owner(owner)
{
}

clsCommonDialog::~clsCommonDialog()
{
    delete m_pageSetup;
}

void clsCommonDialog::raiseCancel(qint32 number, const QString& description)
{
    throw CommonDialogError {number, description};
}

// ---------------------------------------------------------------------------------------------
// File dialogs

void clsCommonDialog::ShowOpen()
{
    ShowFileDialog(1);
}

void clsCommonDialog::ShowSave()
{
    ShowFileDialog(2);
}

void clsCommonDialog::ShowFileDialog(int mode)
{
    if (mode != 1 && mode != 2)
        return;
    m_apiReturn = 0;
    m_extendedError = 0;
    m_dialogError = 0;
    const int buffer = m_maxFileSize < 1 ? kDefaultFileBuffer : m_maxFileSize;
    const QString filter = filtro_qt(m_filter);
    // The dialog opens in InitDir, on the file already named.
    QString start = m_initDir;
    if (!m_fileName.isEmpty())
        start = start.isEmpty() ? m_fileName : QDir(start).filePath(m_fileName);

    QString chosen;
    if (mode == 1)
        chosen = MessageService::instance().openFileName(m_dialogTitle, start, filtersFrom(filter, m_filterIndex));
    else
        chosen = askSaveFileName(m_dialogTitle, start, filter, selectedFilter(filter, m_filterIndex));

    if (mode == 2 && !chosen.isEmpty() && !m_defaultExt.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) {
        QString ext = m_defaultExt;
        if (ext.startsWith(QLatin1Char('.')))
            ext.remove(0, 1);
        chosen += QLatin1Char('.') + ext;
    }
    // A name that does not fit the buffer, with its terminator, is not handed back: the call
    // fails as a cancel does, with the cause in ExtendedError.
    if (chosen.size() >= buffer)
        m_dialogError = kBufferTooSmall;
    if (chosen.isEmpty() || m_dialogError != 0) {
        if (m_cancelError)
            raiseCancel(kCancelError, QStringLiteral("Cancel"));
        m_extendedError = m_dialogError;
        return;
    }
    m_apiReturn = 1;
    m_fileName = chosen;
    m_fileTitle = QFileInfo(chosen).fileName();
}

QString clsCommonDialog::askSaveFileName(const QString& title, const QString& start, const QString& filter,
                                         const QString& selected)
{
    QString chosenFilter = selected;
    return QFileDialog::getSaveFileName(m_owner, title, start, filter, &chosenFilter);
}

// ---------------------------------------------------------------------------------------------
// Colour, font, printer

void clsCommonDialog::ShowColor()
{
    m_action = 3;
    m_apiReturn = 0;
    m_extendedError = 0;
    m_dialogError = 0;
    QColor color = fromColorRef(m_color);
    if (!askColor(color)) {
        if (m_cancelError)
            raiseCancel(kColorCancelError, QStringLiteral("Cancel Pressed"));
        return;
    }
    m_apiReturn = 1;
    m_color = toColorRef(color);
}

bool clsCommonDialog::askColor(QColor& color)
{
    const QColor chosen = QColorDialog::getColor(color, m_owner);
    if (!chosen.isValid())
        return false;
    color = chosen;
    return true;
}

void clsCommonDialog::ShowFont()
{
    m_action = 4;
    m_apiReturn = 0;
    m_extendedError = 0;
    m_dialogError = 0;
    QFont font;
    font.setBold(m_fontBold);
    font.setItalic(m_fontItalic);
    font.setUnderline(m_fontUnderline);
    font.setStrikeOut(m_fontStrikethru);
    if (m_fontSize > 0)
        font.setPointSize(m_fontSize);
    if (!askFont(font)) {
        if (m_cancelError)
            raiseCancel(kCancelError, QStringLiteral("Cancel"));
        return;
    }
    m_apiReturn = 1;
    m_fontBold = font.weight() >= QFont::Bold;
    m_fontItalic = font.italic();
    m_fontUnderline = font.underline();
    m_fontStrikethru = font.strikeOut();
    m_fontName = font.family();
    // Whole points, halves to even (10.5 reads back as 10).
    const qreal size = font.pointSizeF();
    m_fontSize = size > 0 ? static_cast<qint32>(std::nearbyint(size)) : 0;
}

bool clsCommonDialog::askFont(QFont& font)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, m_owner);
    if (ok)
        font = chosen;
    return ok;
}

void clsCommonDialog::ShowPrinter()
{
    m_action = 5;
    m_apiReturn = 0;
    m_extendedError = 0;
    m_dialogError = 0;
    QPrinter printer;
    if (m_fromPage > 0 && m_toPage >= m_fromPage)
        printer.setFromTo(m_fromPage, m_toPage);
    if (m_copies > 0)
        printer.setCopyCount(m_copies);
    int minPage = m_min;
    int maxPage = m_max;
    if (!askPrinter(printer, minPage, maxPage)) {
        if (m_cancelError)
            raiseCancel(kCancelError, QStringLiteral("Cancel"));
        return;
    }
    m_apiReturn = 1;
    m_fromPage = printer.fromPage();
    m_toPage = printer.toPage();
    m_min = minPage;
    m_max = maxPage;
    m_copies = printer.copyCount();
}

bool clsCommonDialog::askPrinter(QPrinter& printer, int& minPage, int& maxPage)
{
    QPrintDialog dialog(&printer, m_owner);
    const bool pagine = maxPage >= minPage && maxPage > 0;
    if (pagine)
        dialog.setMinMax(minPage, maxPage);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // The range the dialog worked with comes back; without one the values stay as they were.
    if (pagine) {
        minPage = dialog.minPage();
        maxPage = dialog.maxPage();
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Help, find, page set-up

void clsCommonDialog::ShowHelp()
{
    m_action = 6;
    m_apiReturn = 0;
    // The help reports no error of its own: what stands is the last dialog's.
    m_extendedError = m_dialogError;
    if (m_helpCommand == kHelpQuit)
        m_apiReturn = 1; // nothing is shown, so nothing is to be closed
    else if (!m_helpFile.isEmpty())
        m_apiReturn = apri_documento(m_helpFile) > 32 ? 1 : 0;
}

void clsCommonDialog::ShowFind() { }

void clsCommonDialog::ShowFindReplace() { }

void clsCommonDialog::ShowPageSetup()
{
    if (!m_pageSetup)
        m_pageSetup = new QPrinter;
    QPageLayout layout = m_pageSetup->pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    layout.setMode(QPageLayout::StandardMode);
    layout.setMinimumMargins(QMarginsF(m_minLeft / 100.0, m_minTop / 100.0, m_minRight / 100.0, m_minBottom / 100.0));
    if (m_marginLeft || m_marginTop || m_marginRight || m_marginBottom) {
        layout.setMargins(
            QMarginsF(m_marginLeft / 100.0, m_marginTop / 100.0, m_marginRight / 100.0, m_marginBottom / 100.0));
    }
    m_pageSetup->setPageLayout(layout);

    askPageSetup(*m_pageSetup);

    // The values come back whatever the user chose.
    const QPageLayout after = m_pageSetup->pageLayout();
    const QRectF paper = after.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = after.margins(QPageLayout::Millimeter);
    m_paperWidth = hundredths(paper.width());
    m_paperHeight = hundredths(paper.height());
    m_marginLeft = hundredths(margins.left());
    m_marginTop = hundredths(margins.top());
    m_marginRight = hundredths(margins.right());
    m_marginBottom = hundredths(margins.bottom());
}

bool clsCommonDialog::askPageSetup(QPrinter& printer)
{
    QPageSetupDialog dialog(&printer, m_owner);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace quad
