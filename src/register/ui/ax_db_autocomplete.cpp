#include "ax_db_autocomplete.h"

#include "prefix_search.h"
#include "program_folder.h"
#include "sql_like.h"
#include "town_code.h"

#include <QApplication>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>

namespace quad {

namespace {

// Data of a town row, kept on its list item so that the pick uses the row chosen.
constexpr int kCittaRole = Qt::UserRole;
constexpr int kProvRole = Qt::UserRole + 1;
constexpr int kCodiciRole = Qt::UserRole + 2;

QString quoteIdentifier(const QString& name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QColor colorFromBgr(long value)
{
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

struct ListRow
{
    QString shown;
    QVariant citta;
    QString prov;
    QString codici;
};

} // namespace

AXDbAutoComplete::AXDbAutoComplete(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(32, 32);
    setFocusPolicy(Qt::NoFocus);

    // A window of its own, so that it can hang over the edge of the host window, and one that
    // never takes the focus away from the box being typed into.
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lstAutoComplete"));
    m_list->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    m_list->setAttribute(Qt::WA_ShowWithoutActivating);
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->hide();
    m_listFont = m_list->font();

    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_list->setToolTip(item->text());
        emit OnScrolling(item->text());
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_list->setCurrentItem(item);
        pick();
    });
}

AXDbAutoComplete::~AXDbAutoComplete()
{
    if (m_box)
        m_box->removeEventFilter(this);
}

DbResult AXDbAutoComplete::setConnectionString(const QString& text)
{
    m_connectionString = text;
    m_db.reset();
    if (text.isEmpty())
        return {};
    const quad::ConnectionString parts = quad::ConnectionString::parse(text);
    if (parts.dataSource.isEmpty())
        return DbResult::failure(DbError::NotFound, QStringLiteral("Origine dati non indicata."));
    const QFileInfo info(parts.dataSource);
    DbResult err;
    m_db = Connection::shared(fileInFolder(info.absolutePath(), info.fileName()), parts.password.toUtf8(), &err);
    return err;
}

void AXDbAutoComplete::setTextObject(QLineEdit* box)
{
    if (m_box)
        m_box->removeEventFilter(this);
    m_box = box;
    m_boxObject = box;
    m_lastSearched.clear();
    if (m_box)
        m_box->installEventFilter(this);
}

void AXDbAutoComplete::setFieldName(const QString& name)
{
    m_fieldName = name;
    m_refreshDue = true;
}

void AXDbAutoComplete::setDataType(long type)
{
    m_dataType = type;
    m_searchable = type == 129 || type == 130 || type == 200 || type == 201 || type == 202 || type == 203;
}

void AXDbAutoComplete::setListBoxVisible(bool bVisible)
{
    if (bVisible) {
        m_list->show();
        m_list->raise();
    } else {
        m_list->hide();
    }
}

void AXDbAutoComplete::setListBoxBorderStyle(long nBorder)
{
    m_list->setFrameStyle(nBorder == 0 ? QFrame::NoFrame : (QFrame::Box | QFrame::Plain));
}

void AXDbAutoComplete::setListForeColor(long nColor)
{
    QPalette pal = m_list->palette();
    pal.setColor(QPalette::Text, colorFromBgr(nColor));
    m_list->setPalette(pal);
}

void AXDbAutoComplete::setListBackColor(long nColor)
{
    QPalette pal = m_list->palette();
    pal.setColor(QPalette::Base, colorFromBgr(nColor));
    m_list->setPalette(pal);
}

long AXDbAutoComplete::VisibleListItems()
{
    if (m_visibleListItems < 5)
        m_visibleListItems = MaxItems();
    return m_visibleListItems;
}

void AXDbAutoComplete::setListFontName(const QString& name)
{
    m_listFont.setFamily(name);
    applyListFont();
}

void AXDbAutoComplete::setListFontSize(double size)
{
    if (size > 0)
        m_listFont.setPointSizeF(size);
    applyListFont();
}

void AXDbAutoComplete::setListFontBold(bool bold)
{
    m_listFont.setBold(bold);
    applyListFont();
}

void AXDbAutoComplete::setListFontItalic(bool italic)
{
    m_listFont.setItalic(italic);
    applyListFont();
}

void AXDbAutoComplete::setListFontUnderline(bool underline)
{
    m_listFont.setUnderline(underline);
    applyListFont();
}

void AXDbAutoComplete::applyListFont()
{
    m_list->setFont(m_listFont);
}

bool AXDbAutoComplete::isListVisible() const
{
    return m_list->isVisible();
}

bool AXDbAutoComplete::isTownTable() const
{
    return m_tableName.compare(QLatin1String("Comuni"), Qt::CaseInsensitive) == 0;
}

// ---------------------------------------------------------------------------------------------
// Typing

void AXDbAutoComplete::Text_Change()
{
    if (!m_box)
        return;
    if (m_searchMode == 0 && !m_armed)
        return;
    // Mode 2 only refines a list that is already shown.
    if (m_searchMode == 2 && !isListVisible())
        return;
    // A value the program wrote into the box starts no search.
    if (!m_box->isModified())
        return;
    const QString text = m_box->text();
    if (text.trimmed().isEmpty()) {
        m_lastSearched.clear();
        m_refreshDue = true;
        ShowList(false);
        return;
    }
    // After a query that found nothing, typing on or deleting back within the same stem runs no
    // new query.
    const bool related
        = m_lastSearched.size() > text.size() ? m_lastSearched.contains(text) : text.contains(m_lastSearched);
    if (!related || m_refreshDue)
        FillList();
    else
        m_lastSearched = text;
}

void AXDbAutoComplete::Text_KeyDown(int& KeyCode, int& Shift)
{
    if (!m_box)
        return;
    m_lastShift = Shift;
    if (m_searchMode == 2) {
        const bool custom = m_customShiftMask != 0 ? ((m_customShiftMask & Shift) != 0 && KeyCode == m_customKeyCode)
                                                   : (Shift == 0 && KeyCode == m_customKeyCode);
        if (custom) {
            m_armed = true;
            m_refreshDue = true;
            FillList();
        }
    }
    if (Shift != 0 && KeyCode == 32) {
        m_armed = true;
        m_refreshDue = true;
        FillList();
        return;
    }
    if (!m_searched)
        return;
    if (!isListVisible()) {
        if (KeyCode == 27)
            m_box->undo();
        return;
    }
    switch (KeyCode) {
    case 13:
        pick();
        break;
    case 27:
        ShowList(false);
        break;
    case 33:
    case 34:
    case 35:
    case 36:
    case 38:
    case 40: {
        static const QHash<int, int> qtKeys {{33, Qt::Key_PageUp}, {34, Qt::Key_PageDown}, {35, Qt::Key_End},
                                             {36, Qt::Key_Home},   {38, Qt::Key_Up},       {40, Qt::Key_Down}};
        QKeyEvent move(QEvent::KeyPress, qtKeys.value(KeyCode), Qt::NoModifier);
        QCoreApplication::sendEvent(m_list, &move);
        break;
    }
    default:
        break;
    }
}

void AXDbAutoComplete::Text_KeyPress(int& KeyAscii)
{
    // The space of Ctrl+Space or Alt+Space only starts a search; Shift+Space types its space.
    if (m_box && KeyAscii == 32 && m_lastShift > 1)
        KeyAscii = 0;
}

bool AXDbAutoComplete::Text_KeyDown(QKeyEvent* event)
{
    int code = keyCodeFor(event);
    int shift = shiftMaskFor(event);
    const bool listShown = m_searched && isListVisible();
    Text_KeyDown(code, shift);
    return listShown && (code == 13 || code == 27);
}

bool AXDbAutoComplete::Text_KeyPress(QKeyEvent* event)
{
    if (event->text() != QLatin1String(" "))
        return false;
    int ascii = 32;
    Text_KeyPress(ascii);
    return ascii == 0;
}

int AXDbAutoComplete::keyCodeFor(const QKeyEvent* event)
{
    const int key = event->key();
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

int AXDbAutoComplete::shiftMaskFor(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers m = event->modifiers();
    return (m.testFlag(Qt::ShiftModifier) ? 1 : 0) | (m.testFlag(Qt::ControlModifier) ? 2 : 0)
        | (m.testFlag(Qt::AltModifier) ? 4 : 0);
}

// ---------------------------------------------------------------------------------------------
// Query

QStringList AXDbAutoComplete::columnsOf(const QString& table) const
{
    QStringList names;
    const DbResult letto = m_db->query(QStringLiteral("PRAGMA table_info(%1)").arg(quoteIdentifier(table)), {},
                                       [&](const Statement& st) {
                                           names << st.value(1).toString();
                                           return true;
                                       });
    // A table that cannot be read has no column to propose from.
    return letto.ok() ? names : QStringList();
}

bool AXDbAutoComplete::resolveSource(QString* table, QString* field) const
{
    if (!m_db || m_tableName.isEmpty() || m_fieldName.isEmpty())
        return false;
    const QString t = m_db->scalar(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table', 'view') "
                                                  "AND lower(name) = lower(?)"),
                                   {m_tableName})
                          .toString();
    if (t.isEmpty())
        return false;
    // A column the table does not have proposes nothing (the correspondent boxes of the mask are
    // served under the register's table).
    for (const QString& c : columnsOf(t)) {
        if (c.compare(m_fieldName, Qt::CaseInsensitive) == 0) {
            *table = t;
            *field = c;
            return true;
        }
    }
    return false;
}

void AXDbAutoComplete::FillList()
{
    if (!m_searchable) {
        m_searched = false;
        return;
    }
    const QString text = m_box ? m_box->text() : QString();
    const bool towns = isTownTable();

    QList<ListRow> rows;
    QString table, field;
    if (resolveSource(&table, &field)) {
        const QString t = quoteIdentifier(table);
        const QString f = quoteIdentifier(field);
        // The values come from the column's prefix index, never from a scan of the table.
        const int limit = int(MaxItems());
        const QStringList values = prefixValues(*m_db, table, field, text, limit);
        if (towns) {
            // Towns that share a name are told apart by their province, both in the list and in
            // the row the pick takes.
            for (const QString& name : values) {
                const DbResult letto
                    = m_db->query(QStringLiteral("SELECT DISTINCT c.%2, c.Prov, c.codici, "
                                                 "(SELECT count(DISTINCT d.Prov) FROM %1 d WHERE d.%2 = c.%2) "
                                                 "FROM %1 c WHERE c.%2 = ? ORDER BY c.Prov, c.codici")
                                      .arg(t, f),
                                  {name}, [&](const Statement& st) {
                                      ListRow row;
                                      row.citta = st.value(0);
                                      row.prov = st.value(1).toString();
                                      row.codici = st.value(2).toString();
                                      row.shown = name;
                                      if (st.value(3).toLongLong() > 1)
                                          row.shown += QStringLiteral(" (%1)").arg(row.prov);
                                      rows << row;
                                      return rows.size() < limit;
                                  });
                // A search that fails part way proposes nothing rather than a part of the list.
                if (!letto.ok()) {
                    rows.clear();
                    break;
                }
                if (rows.size() >= limit)
                    break;
            }
        } else {
            for (const QString& v : values)
                rows << ListRow {v, {}, {}, {}};
        }
    }

    m_searched = true;
    m_lastSearched = text;
    m_list->setUpdatesEnabled(false);
    m_list->clear();
    if (rows.isEmpty()) {
        m_list->setUpdatesEnabled(true);
        ShowList(false);
        m_refreshDue = false;
        return;
    }
    for (const ListRow& row : rows) {
        auto* item = new QListWidgetItem(row.shown, m_list);
        if (towns) {
            item->setData(kCittaRole, row.citta);
            item->setData(kProvRole, row.prov);
            item->setData(kCodiciRole, row.codici);
        }
    }
    m_list->setUpdatesEnabled(true);
    emit OnListFilled(long(rows.size()) - 1);
    m_list->setCurrentRow(0);

    const int itemHeight = qMax(1, m_list->sizeHintForRow(0));
    const long visibleRows = VisibleListItems();
    const long shownRows = visibleRows < rows.size() ? visibleRows : long(rows.size());
    m_list->resize(m_box ? m_box->width() : m_list->width(), int(shownRows + 1) * itemHeight);

    if (!isListVisible()) {
        m_refreshDue = true;
        ShowList(true);
    }
}

void AXDbAutoComplete::ShowList(bool show)
{
    if (!show) {
        m_list->hide();
        m_armed = false;
        return;
    }
    if (!m_box)
        return;
    const QPoint topLeft = m_box->mapToGlobal(QPoint(0, 0));
    const int height = m_list->height();
    const int boxBottom = topLeft.y() + m_box->height();
    const QScreen* screen = m_box->screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 0, 0);
    // Below the box when the list fits on the screen, otherwise above it.
    if (area.y() + area.height() > boxBottom + height)
        m_list->setGeometry(topLeft.x(), boxBottom, m_box->width(), height);
    else
        m_list->setGeometry(topLeft.x(), topLeft.y() - height, m_box->width(), height);
    m_list->show();
    m_list->raise();
}

// ---------------------------------------------------------------------------------------------
// Pick

void AXDbAutoComplete::pick()
{
    if (!m_box)
        return;
    QListWidgetItem* item = m_list->currentItem();
    if (!item)
        return;
    const QString shown = item->text();
    bool cancel = false;
    emit OnItemSelected(shown, &cancel);
    if (cancel || !m_box)
        return;
    if (!isTownTable()) {
        m_box->setText(shown);
        m_box->setFocus();
        ShowList(false);
        return;
    }
    p_cliccato = true;
    const QVariant citta = item->data(kCittaRole);
    if (citta.isValid()) {
        const QString prov = item->data(kProvRole).toString();
        if (prov != QLatin1String("EE"))
            emit townPicked(citta.toString(), prov, QStringLiteral("IT"),
                            estrai_codice_comune(1, item->data(kCodiciRole).toString()));
        else
            emit townPicked(citta.toString(), QString(), QStringLiteral("EE"), QString());
        if (m_box)
            m_box->setText(citta.toString());
    }
    p_cliccato = false;
    ShowList(false);
}

// ---------------------------------------------------------------------------------------------
// Events

bool AXDbAutoComplete::eventFilter(QObject* watched, QEvent* event)
{
    // Compared as plain objects: a box being destroyed is no longer a QLineEdit.
    if (!m_box.isNull() && watched == m_boxObject && isListVisible()) {
        if (event->type() == QEvent::FocusOut) {
            const auto* focus = static_cast<QFocusEvent*>(event);
            if (!(focus->reason() == Qt::ActiveWindowFocusReason && QApplication::activeWindow() == m_list))
                ShowList(false);
        } else if (event->type() == QEvent::Hide) {
            ShowList(false);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void AXDbAutoComplete::showEvent(QShowEvent* event)
{
    m_armed = false;
    QWidget::showEvent(event);
}

void AXDbAutoComplete::hideEvent(QHideEvent* event)
{
    m_armed = false;
    m_list->hide();
    QWidget::hideEvent(event);
}

} // namespace quad
