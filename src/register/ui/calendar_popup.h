#pragma once

#include <QDate>
#include <QFrame>

class QCalendarWidget;
class QLabel;

namespace quad {

/// The month calendar that fills the two date boxes of the entry mask (Frame_calendar). It
/// lies inside the mask, hidden until a date box opens it. A day chosen with a double click
/// (or Enter) hides it and is signalled with datePicked(); Esc hides it without a choice
/// and signals closedWithoutPick(). lbl_data keeps the caption of the box it serves.
class CalendarPopup : public QFrame
{
    Q_OBJECT
public:
    explicit CalendarPopup(QWidget* parent);

    static QString captionDataQuadernolo() { return QStringLiteral("Data quadernolo"); }
    static QString captionDataQuadRif() { return QStringLiteral("Data quad. rif."); }

    /// The date the calendar opens on for a box: today (from the program's clock) when the box
    /// is blank or its text is not a date, otherwise the box's date.
    static QDate dataIniziale(const QString& boxText);

    /// Opens the calendar for box with the caption of the box it serves: placed over the box,
    /// a little above it (in this frame's parent's coordinates), on dataIniziale(box text),
    /// in front, visible and with the focus.
    void apri(QWidget* box, const QString& caption, const QString& boxText);

    /// The date shown and picked.
    QDate data() const;
    void setData(const QDate& date);

    QCalendarWidget* CalendarVB1 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* lbl_data = nullptr;

signals:
    /// A day was chosen; the calendar is already hidden.
    void datePicked(const QDate& date);
    /// The calendar was closed without a choice; it is already hidden.
    void closedWithoutPick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace quad
