#include "calendar_popup.h"

#include "clock.h"
#include "date_text.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

namespace quad {

namespace {

/// Tab stops on w: shown, enabled, taking the focus by Tab, and not handing it to another.
bool fermataTab(const QWidget* w)
{
    return (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->isVisible() && w->isEnabled() && !w->focusProxy();
}

/// The control Tab (avanti) or Shift+Tab goes to from da, in da's window, leaving out
/// escluso and what it holds; null when there is none.
QWidget* vicinoInTab(QWidget* da, bool avanti, const QWidget* escluso)
{
    for (QWidget* w = da;;) {
        w = avanti ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == da)
            return nullptr;
        if (w->window() == da->window() && w != escluso && !escluso->isAncestorOf(w) && fermataTab(w))
            return w;
    }
}

bool tastoTab(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
        && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

/// A key that writes a character (no shortcut).
bool tastoCarattere(const QKeyEvent* key)
{
    return !key->text().isEmpty() && key->text().at(0).isPrint()
        && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

CalendarPopup::CalendarPopup(QWidget* parent, const QString& hintName, const QString& hint)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("Frame_calendar"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);

    lbl_data = new QLabel(this);
    lbl_data->setObjectName(QStringLiteral("lbl_data"));
    CalendarVB1 = new QCalendarWidget(this);
    CalendarVB1->setObjectName(QStringLiteral("CalendarVB1"));
    CalendarVB1->setGridVisible(true);
    CalendarVB1->setFirstDayOfWeek(Qt::Monday);
    // The clerk types a date into the box, not into the calendar's own editor.
    CalendarVB1->setDateEditEnabled(false);
    suggerimento = new QLabel(hint, this);
    suggerimento->setObjectName(hintName);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lbl_data);
    layout->addWidget(CalendarVB1);
    layout->addWidget(suggerimento);

    // The days and the year's box take the keys first.
    m_giorni = CalendarVB1->findChild<QAbstractItemView*>();
    CalendarVB1->installEventFilter(this);
    for (QWidget* w : CalendarVB1->findChildren<QWidget*>()) {
        if (w == m_giorni || qobject_cast<QAbstractSpinBox*>(w))
            w->installEventFilter(this);
    }

    // QCalendarWidget signals a double click on a day, or Enter, as activated().
    connect(CalendarVB1, &QCalendarWidget::activated, this, [this](const QDate& date) {
        chiudi();
        emit datePicked(date);
    });
    // The focus gone elsewhere in the window (a click, a box given the focus) closes the calendar.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isVisible() && now && now != m_casella && now != this && !isAncestorOf(now) && now->window() == window())
            hide();
    });
    hide();
}

QDate CalendarPopup::dataIniziale(const QString& boxText)
{
    if (!boxText.trimmed().isEmpty()) {
        const auto value = parseDateText(boxText.trimmed());
        if (value && value->date)
            return *value->date;
    }
    return Clock::currentDate();
}

void CalendarPopup::apri(QLineEdit* box, const QString& caption, const QString& boxText)
{
    if (m_restituzione)
        return;
    lbl_data->setText(caption);
    adjustSize();
    if (box && parentWidget()) {
        const QPoint corner = box->mapTo(parentWidget()->window(), QPoint(0, 0));
        const QPoint inParent = parentWidget()->mapFrom(parentWidget()->window(), corner);
        move(inParent.x(), qMax(0, inParent.y() - 13));
    }
    mostra(box, caption, dataIniziale(boxText));
}

void CalendarPopup::mostra(QLineEdit* box, const QString& caption, const QDate& date)
{
    if (m_restituzione)
        return;
    m_casella = box;
    lbl_data->setText(caption);
    setData(date);
    raise();
    show();
    // The box that opened the calendar is still taking the focus: the calendar takes it once the
    // box has, so that the box gives its caret up with it.
    QTimer::singleShot(0, CalendarVB1, [this] {
        if (isVisible())
            CalendarVB1->setFocus();
    });
}

void CalendarPopup::chiudi()
{
    QWidget* fuoco = QApplication::focusWidget();
    if (fuoco && (fuoco == this || isAncestorOf(fuoco)))
        restituisciFuoco();
    hide();
}

void CalendarPopup::restituisciFuoco()
{
    if (!m_casella)
        return;
    const QScopedValueRollback<bool> restituzione(m_restituzione, true);
    m_casella->setFocus(Qt::OtherFocusReason);
}

QDate CalendarPopup::data() const
{
    return CalendarVB1->selectedDate();
}

void CalendarPopup::setData(const QDate& date)
{
    CalendarVB1->setSelectedDate(date);
    CalendarVB1->setCurrentPage(date.year(), date.month());
}

QString CalendarPopup::didascalia() const
{
    return lbl_data->text();
}

void CalendarPopup::soloGiorni(const QSize& minimo)
{
    lbl_data->hide();
    CalendarVB1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    CalendarVB1->setMinimumSize(CalendarVB1->minimumSizeHint().expandedTo(minimo));
    adjustSize();
}

void CalendarPopup::digitaNellaCasella(const QKeyEvent* key)
{
    QLineEdit* box = m_casella;
    chiudi();
    if (!box || !box->hasFocus())
        return;
    box->selectAll();
    QKeyEvent copia(QEvent::KeyPress, key->key(), key->modifiers(), key->text(), key->isAutoRepeat());
    QCoreApplication::sendEvent(box, &copia);
}

void CalendarPopup::tabula(bool avanti)
{
    QWidget* prossimo = m_casella ? vicinoInTab(m_casella, avanti, this) : nullptr;
    if (!prossimo) {
        chiudi();
        return;
    }
    // The focus leaving the calendar closes it.
    prossimo->setFocus(avanti ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    hide();
}

bool CalendarPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QFrame::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (tastoTab(key)) {
        tabula(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
        return true;
    }
    // The year's box keeps its own keys (Esc gives the year it had back).
    const auto* anno = CalendarVB1->findChild<QAbstractSpinBox*>();
    if ((watched != m_giorni && watched != CalendarVB1) || (anno && anno->isVisible()))
        return QFrame::eventFilter(watched, event);
    if (key->key() == Qt::Key_Escape) {
        chiudi();
        emit closedWithoutPick();
        return true;
    }
    if (watched == m_giorni && tastoCarattere(key)) {
        digitaNellaCasella(key);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace quad
