#include "calendar_popup.h"

#include "clock.h"
#include "date_text.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace quad {

CalendarPopup::CalendarPopup(QWidget* parent)
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
    CalendarVB1->installEventFilter(this);
    Label5 = new QLabel(QStringLiteral("Doppio click per assegnare la data"), this);
    Label5->setObjectName(QStringLiteral("Label5"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lbl_data);
    layout->addWidget(CalendarVB1);
    layout->addWidget(Label5);

    // QCalendarWidget signals a double click on a day, or Enter, as activated().
    connect(CalendarVB1, &QCalendarWidget::activated, this, [this](const QDate& date) {
        hide();
        emit datePicked(date);
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

void CalendarPopup::apri(QWidget* box, const QString& caption, const QString& boxText)
{
    lbl_data->setText(caption);
    adjustSize();
    if (box && parentWidget()) {
        const QPoint corner = box->mapTo(parentWidget()->window(), QPoint(0, 0));
        const QPoint inParent = parentWidget()->mapFrom(parentWidget()->window(), corner);
        move(inParent.x(), qMax(0, inParent.y() - 13));
    }
    setData(dataIniziale(boxText));
    raise();
    show();
    // The box that opened the calendar is still taking the focus: the calendar takes it once the
    // box has, so that the box gives its caret up with it.
    QTimer::singleShot(0, CalendarVB1, [this] {
        if (isVisible())
            CalendarVB1->setFocus();
    });
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

bool CalendarPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == CalendarVB1 && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        hide();
        emit closedWithoutPick();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace quad
