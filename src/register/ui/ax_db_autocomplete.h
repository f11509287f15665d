#pragma once

#include "database.h"

#include <QFont>
#include <QLineEdit>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QKeyEvent;
class QListWidget;
class QListWidgetItem;

namespace quad {

/// Gives a host text box a list of the values already stored in one column of one table: as the
/// clerk types, the values beginning with the typed text are listed in a frameless list hung
/// under the box (above it near the bottom of the screen); the list never takes the focus.
/// Picking a value writes it into the box; picking a town of Comuni also hands its province,
/// country and postal code to the host through townPicked().
///
/// The host forwards its box's events through the hooks Text_Change, Text_KeyDown and
/// Text_KeyPress; the control only watches the box to hide its list when the box loses the
/// focus. Look-ups bind the typed text: a quote is an ordinary character and '%' and '_' typed
/// match themselves. Every box served on one database shares one connection (Connection::shared).
///
/// Query shapes: the town table ("Comuni", any case) lists town and province rows, showing the
/// province beside a name that several towns share; every other table lists the distinct values
/// of the column. A table without the column named lists nothing.
class AXDbAutoComplete : public QWidget
{
    Q_OBJECT
public:
    explicit AXDbAutoComplete(QWidget* parent = nullptr);
    ~AXDbAutoComplete() override;

    /// True while a town pick writes into the host's boxes; the host skips its Change
    /// forwarding while it is set.
    bool p_cliccato = false;

    /// The database searched, as an ADO-style connection string ("...;Data Source=<file>;...;
    /// Jet OLEDB:Database Password=<key>"). A non-empty string takes the program-wide connection of
    /// that file and key; a failure is returned and leaves the control without a connection. An
    /// empty string drops the connection and the last result.
    QString ConnectionString() const { return m_connectionString; }
    DbResult setConnectionString(const QString& text);

    /// The table searched. "Comuni" in any case turns on the town rows and the town pick.
    QString TableName() const { return m_tableName; }
    void setTableName(const QString& name) { m_tableName = name; }

    /// The host box. Setting it empties the last searched text.
    QLineEdit* TextObject() const { return m_box; }
    void setTextObject(QLineEdit* box);

    /// The column searched, listed and sorted on. Setting it forces the next change to query.
    QString FieldName() const { return m_fieldName; }
    void setFieldName(const QString& name);

    /// Row limit of a query; a stored value below 1 reads as 8.
    long MaxItems() const { return m_maxItems < 1 ? 8 : m_maxItems; }
    void setMaxItems(long value) { m_maxItems = value; }

    /// ADO type code of the column; only the text codes 129, 130, 200, 201, 202 and 203 allow a
    /// search. The default 0 allows none.
    long DataType() const { return m_dataType; }
    void setDataType(long type);

    /// When a search runs: 0 only after a search key (Ctrl, Shift or Alt + Space), 2 after the
    /// custom key (and then only while the list shows), any other value on every change.
    long SearchMode() const { return m_searchMode; }
    void setSearchMode(long mode) { m_searchMode = mode; }

    /// Shows (in front) or hides the list as it stands; hiding here keeps a search key armed.
    void setListBoxVisible(bool bVisible);
    /// 0: no border around the list; any other value: a plain line.
    void setListBoxBorderStyle(long nBorder);
    /// Modifier mask of the custom key: 1 Shift, 2 Ctrl, 4 Alt, summed.
    long CustomShiftMask() const { return m_customShiftMask; }
    void setCustomShiftMask(long mask) { m_customShiftMask = mask; }
    /// Key code (Windows virtual-key numbering, e.g. 113 for F2) of the custom search key.
    long CustomKeyCode() const { return m_customKeyCode; }
    void setCustomKeyCode(long code) { m_customKeyCode = code; }
    /// Kept for hosts that set it; the list's extended window style has no equivalent here.
    void setExBorderStyle(long style) { m_exBorderStyle = style; }
    /// Colours as 0x00BBGGRR.
    void setListForeColor(long nColor);
    void setListBackColor(long nColor);
    /// Rows the list shows before it scrolls; reading a stored value below 5 stores and returns
    /// MaxItems().
    long VisibleListItems();
    void setVisibleListItems(long rows) { m_visibleListItems = rows; }
    void setListFontName(const QString& name);
    void setListFontSize(double size);
    void setListFontBold(bool bold);
    void setListFontItalic(bool italic);
    void setListFontUnderline(bool underline);

    /// Hook for the host box's Change (the host forwards textEdited or textChanged; a text the
    /// program wrote with setText() starts no search, as the box is not marked modified).
    void Text_Change();
    /// Hook for the host box's key-down, in Windows numbering: KeyCode a virtual-key code (13 Enter,
    /// 27 Escape, 32 Space, 33-36 Page Up/Page Down/End/Home, 38 Up, 40 Down, 112-123 F1-F12),
    /// Shift the modifiers (1 Shift, 2 Ctrl, 4 Alt). Neither is changed, so the host box also
    /// receives the key.
    void Text_KeyDown(int& KeyCode, int& Shift);
    /// Hook for the host box's key-press: the space of Ctrl+Space or Alt+Space becomes 0.
    void Text_KeyPress(int& KeyAscii);

    /// The same hooks for a Qt key event received by the host box. Text_KeyDown returns true when
    /// the key was used by the list (Enter picking, Escape hiding it): the host should then not
    /// pass it on, so that a dialog does not also take Enter or Escape. Text_KeyPress returns
    /// true when the character must not be typed.
    bool Text_KeyDown(QKeyEvent* event);
    bool Text_KeyPress(QKeyEvent* event);

    /// The pop-up list (objectName "lstAutoComplete"), a frameless window of its own.
    QListWidget* list() const { return m_list; }
    bool isListVisible() const;
    /// Runs the query for the box's text now, as a search key does.
    void FillList();

    /// Windows virtual-key code and modifier mask of a Qt key event.
    static int keyCodeFor(const QKeyEvent* event);
    static int shiftMaskFor(const QKeyEvent* event);

signals:
    /// After a query that returned rows filled the list: the index of the last item.
    void OnListFilled(long NumberOfItems);
    /// An item is being picked (its text as listed); setting *Cancel stops the pick.
    void OnItemSelected(const QString& Item, bool* Cancel);
    /// A single click in the list, with the clicked item.
    void OnScrolling(const QString& CurrentItem);
    /// A town was picked: its name and, for an Italian town, its province, "IT" and its postal
    /// code; abroad an empty province, "EE" and an empty postal code. Emitted while p_cliccato is
    /// set, before the town's name is written into the host box.
    void townPicked(const QString& Citta, const QString& Prov, const QString& Stato, const QString& Cap);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ShowList(bool show);
    void pick();
    bool isTownTable() const;
    /// The table and column to query, as the database spells them; false when there is none.
    bool resolveSource(QString* table, QString* field) const;
    QStringList columnsOf(const QString& table) const;
    void applyListFont();

    QListWidget* m_list = nullptr;
    QPointer<QLineEdit> m_box;
    QObject* m_boxObject = nullptr; ///< the same box, only ever compared with a watched object
    std::shared_ptr<Connection> m_db;

    QString m_connectionString;
    QString m_tableName;
    QString m_fieldName;
    long m_maxItems = 0;
    long m_dataType = 0;
    long m_searchMode = 0;
    long m_customShiftMask = 0;
    long m_customKeyCode = 0;
    long m_exBorderStyle = 0;
    long m_visibleListItems = 0;
    QFont m_listFont;

    int m_lastShift = 0;
    bool m_searchable = false;
    bool m_searched = false;
    bool m_armed = false;
    QString m_lastSearched;
    bool m_refreshDue = false;
};

} // namespace quad
