#pragma once

#include <QString>

#include <QtGlobal>

class QColor;
class QFont;
class QObject;
class QPrinter;
class QWidget;

namespace quad {

/// Raised by a Show method when CancelError is set and the user cancels.
class CommonDialogError
{
public:
    CommonDialogError(qint32 number, const QString& description)
        : m_number(number)
        , m_description(description)
    {
    }
    /// 2001 for the file, font and printer dialogs; -2147220610 for the colour one.
    qint32 number() const { return m_number; }
    QString description() const { return m_description; }

private:
    qint32 m_number;
    QString m_description;
};

/// Turns a filter of descriptions and patterns separated by "|" ("Archivio|*.mdb;*.MDB|Tutti|*.*")
/// into the form Qt's file dialogs take ("Archivio (*.mdb *.MDB);;Tutti (*.*)"). An empty filter
/// gives an empty one; a description without its pattern matches every file.
QString filtro_qt(const QString& filter);

/// The common dialogs (open, save, colour, font, printer, help, page set-up) behind properties named
/// like those of the common-dialog control. Every property starts at zero, empty or false.
///
/// The open dialog goes through the message service; the others run Qt's dialogs through protected
/// virtual members that a subclass (or a test) may replace.
class clsCommonDialog
{
public:
    explicit clsCommonDialog(QWidget* owner = nullptr);
    virtual ~clsCommonDialog();
    clsCommonDialog(const clsCommonDialog&) = delete;
    clsCommonDialog& operator=(const clsCommonDialog&) = delete;

    QString Filter() const { return m_filter; }
    /// Colour dialog: Color in and out (0x00BBGGRR). Action 3.
    void ShowColor();
    /// Font dialog: FontBold, FontItalic, FontUnderline, FontStrikethru and FontSize in and out,
    /// FontName out; a size comes back rounded to whole points, halves to even. Action 4.
    void ShowFont();
    /// Opens HelpFile with the program the desktop associates with it; HelpCommand 2 (quit the
    /// help) opens nothing. ExtendedError takes the extended error of the last dialog shown.
    /// Action 6.
    void ShowHelp();
    /// File-open dialog: FileName and FileTitle out (the folder of FileName, or InitDir, first).
    /// It starts on the FilterIndex-th filter, which the list then offers first (Qt's dialog
    /// starts on its first filter). A name of MaxFileSize characters or more (260 when
    /// MaxFileSize is below 1) is not handed back: the call fails as a cancel does, with
    /// ExtendedError 0x3003 (the buffer is too small).
    void ShowOpen();
    /// Printer dialog: FromPage, ToPage, Min, Max and Copies in and out. Action 5.
    void ShowPrinter();
    /// File-save dialog: FileName and FileTitle out; DefaultExt is added to a name without one.
    /// FilterIndex and MaxFileSize as for ShowOpen (the dialog starts on the filter chosen).
    void ShowSave();
    QString FileName() const { return m_fileName; }
    void setFileName(const QString& value) { m_fileName = value; }
    void setFilter(const QString& value) { m_filter = value; }
    /// The code of the last colour (3), font (4), printer (5) or help (6) call; 0 on a new object.
    qint16 Action() const { return m_action; }
    qint16 FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(qint16 value) { m_filterIndex = value; }
    bool CancelError() const { return m_cancelError; }
    void setCancelError(bool value) { m_cancelError = value; }
    qint32 Color() const { return m_color; }
    void setColor(qint32 value) { m_color = value; }
    qint32 Copies() const { return m_copies; }
    void setCopies(qint32 value) { m_copies = value; }
    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& value) { m_defaultExt = value; }
    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString& value) { m_dialogTitle = value; }
    qint32 flags() const { return m_flags; }
    void setflags(qint32 value) { m_flags = value; }
    bool FontBold() const { return m_fontBold; }
    void setFontBold(bool value) { m_fontBold = value; }
    bool FontItalic() const { return m_fontItalic; }
    void setFontItalic(bool value) { m_fontItalic = value; }
    QString FontName() const { return m_fontName; }
    void setFontName(const QString& value) { m_fontName = value; }
    qint32 FontSize() const { return m_fontSize; }
    void setFontSize(qint32 value) { m_fontSize = value; }
    bool FontStrikethru() const { return m_fontStrikethru; }
    void setFontStrikethru(bool value) { m_fontStrikethru = value; }
    bool FontUnderline() const { return m_fontUnderline; }
    void setFontUnderline(bool value) { m_fontUnderline = value; }
    qint32 FromPage() const { return m_fromPage; }
    void setFromPage(qint32 value) { m_fromPage = value; }
    qint32 hdc() const { return m_hdc; }
    void sethdc(qint32 value) { m_hdc = value; }
    qint32 HelpCommand() const { return m_helpCommand; }
    void setHelpCommand(qint32 value) { m_helpCommand = value; }
    QString HelpContext() const { return m_helpContext; }
    void setHelpContext(const QString& value) { m_helpContext = value; }
    QString HelpFile() const { return m_helpFile; }
    void setHelpFile(const QString& value) { m_helpFile = value; }
    QString HelpKey() const { return m_helpKey; }
    void setHelpKey(const QString& value) { m_helpKey = value; }
    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString& value) { m_initDir = value; }
    qint32 Max() const { return m_max; }
    void setMax(qint32 value) { m_max = value; }
    /// The longest file name the file dialogs hand back, terminator included (260 below 1).
    qint32 MaxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(qint32 value) { m_maxFileSize = value; }
    qint32 Min() const { return m_min; }
    void setMin(qint32 value) { m_min = value; }
    QObject* Object() const { return m_object; }
    void setObject(QObject* value) { m_object = value; }
    bool PrinterDefault() const { return m_printerDefault; }
    void setPrinterDefault(bool value) { m_printerDefault = value; }
    qint32 ToPage() const { return m_toPage; }
    void setToPage(qint32 value) { m_toPage = value; }
    QString FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString& value) { m_fileTitle = value; }
    /// 1 when the last open, save, colour, font, printer or help call was confirmed, 0 otherwise.
    qint32 APIReturn() const { return m_apiReturn; }
    /// The cause of the last failed file dialog (0x3003: the name did not fit MaxFileSize), or 0
    /// (a cancel; the colour, font and printer dialogs of Qt report no failure of their own).
    qint32 ExtendedError() const { return m_extendedError; }
    /// Qt has no find or replace dialog: these do nothing and change nothing.
    void ShowFind();
    void ShowFindReplace();
    /// Page set-up dialog over a printer held by the object, so its values survive between calls.
    /// Paper size and margins in hundredths of a millimetre: the margins (when any is set) and the
    /// minimum margins go in; paper size and margins come back whatever the user chose.
    void ShowPageSetup();
    qint32 PaperWidth() const { return m_paperWidth; }
    void setPaperWidth(qint32 value) { m_paperWidth = value; }
    qint32 PaperHeight() const { return m_paperHeight; }
    void setPaperHeight(qint32 value) { m_paperHeight = value; }
    qint32 PaperLeftMargin() const { return m_marginLeft; }
    void setPaperLeftMargin(qint32 value) { m_marginLeft = value; }
    qint32 PaperUpperMargin() const { return m_marginTop; }
    void setPaperUpperMargin(qint32 value) { m_marginTop = value; }
    qint32 PaperRightMargin() const { return m_marginRight; }
    void setPaperRightMargin(qint32 value) { m_marginRight = value; }
    qint32 PaperLowerMargin() const { return m_marginBottom; }
    void setPaperLowerMargin(qint32 value) { m_marginBottom = value; }
    void setPaperMinLeftMargin(qint32 value) { m_minLeft = value; }
    void setPaperMinUpperMargin(qint32 value) { m_minTop = value; }
    void setPaperMinRightMargin(qint32 value) { m_minRight = value; }
    void setPaperMinLowerMargin(qint32 value) { m_minBottom = value; }

protected:
    /// Each runs one of Qt's dialogs owned by owner() on the values given and returns false on cancel.
    virtual QString askSaveFileName(const QString& title, const QString& start, const QString& filter,
                                    const QString& selectedFilter);
    virtual bool askColor(QColor& color);
    virtual bool askFont(QFont& font);
    /// The printer dialog hands back the page range it worked with in minPage and maxPage.
    virtual bool askPrinter(QPrinter& printer, int& minPage, int& maxPage);
    virtual bool askPageSetup(QPrinter& printer);
    QWidget* owner() const { return m_owner; }

private:
    void ShowFileDialog(int mode);
    [[noreturn]] static void raiseCancel(qint32 number, const QString& description);

    QWidget* m_owner = nullptr;
    QPrinter* m_pageSetup = nullptr;

    qint16 m_action = 0;
    qint32 m_apiReturn = 0;
    qint32 m_extendedError = 0;
    /// The extended error of the last dialog shown (0 after a success or a cancel).
    qint32 m_dialogError = 0;
    bool m_cancelError = false;
    qint32 m_color = 0;
    qint32 m_copies = 0;
    qint32 m_fromPage = 0;
    qint32 m_toPage = 0;
    qint32 m_min = 0;
    qint32 m_max = 0;
    QString m_defaultExt;
    QString m_dialogTitle;
    QString m_initDir;
    QString m_fileName;
    QString m_fileTitle;
    QString m_filter;
    qint16 m_filterIndex = 0;
    qint32 m_flags = 0;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    bool m_fontUnderline = false;
    bool m_fontStrikethru = false;
    QString m_fontName;
    qint32 m_fontSize = 0;
    qint32 m_hdc = 0;
    QString m_helpFile;
    qint32 m_helpCommand = 0;
    QString m_helpContext;
    QString m_helpKey;
    qint32 m_maxFileSize = 0;
    QObject* m_object = nullptr;
    bool m_printerDefault = false;
    qint32 m_paperWidth = 0;
    qint32 m_paperHeight = 0;
    qint32 m_marginLeft = 0;
    qint32 m_marginTop = 0;
    qint32 m_marginRight = 0;
    qint32 m_marginBottom = 0;
    qint32 m_minLeft = 0;
    qint32 m_minTop = 0;
    qint32 m_minRight = 0;
    qint32 m_minBottom = 0;
};

} // namespace quad
