#pragma once

#include <QDate>
#include <QFrame>
#include <QPointer>

class QAbstractItemView;
class QCalendarWidget;
class QKeyEvent;
class QLabel;
class QLineEdit;

namespace quad {

/// The month calendar that fills a date box (Frame_calendar): the two date boxes of the entry
/// mask, the two boxes of the search dialog's dates panel. It lies over its window, hidden until
/// a date box opens it. A day chosen with a double click (or Enter) is signalled with
/// datePicked(); Esc closes it without a choice and signals closedWithoutPick(). Either way
/// the focus is back in the box, unless the handler moves it on. Its caption lbl_data names the
/// box it serves (didascalia()).
///
/// The calendar is the box's own: what the clerk types while it has the focus goes into the box
/// (the calendar closes and the box's text is replaced by what is typed), Tab and Shift+Tab close
/// it and go to the control after or before the box, and it closes when the focus goes anywhere
/// else in its window.
class CalendarPopup : public QFrame
{
    Q_OBJECT
public:
    /// hintName and hint: the name and text of the label under the days.
    explicit CalendarPopup(QWidget* parent, const QString& hintName = QStringLiteral("Label5"),
                           const QString& hint = QStringLiteral("Doppio click per assegnare la data"));

    static QString captionDataQuadernolo() { return QStringLiteral("Data quadernolo"); }
    static QString captionDataQuadRif() { return QStringLiteral("Data quad. rif."); }

    /// The date the calendar opens on for a box: today (from the program's clock) when the box
    /// is blank or its text is not a date, otherwise the box's date.
    static QDate dataIniziale(const QString& boxText);

    /// Opens the calendar for box, placed over it, a little above it (in this frame's parent's
    /// coordinates), then as mostra() does on dataIniziale(boxText).
    void apri(QLineEdit* box, const QString& caption, const QString& boxText);
    /// Shows the calendar for box on date, with caption in lbl_data, in front, and gives it the
    /// focus once the box has taken it. Nothing while the calendar hands the focus back to its
    /// box (the box's arrival does not open it again).
    void mostra(QLineEdit* box, const QString& caption, const QDate& date);
    /// Hides the calendar; the focus, when it was in the calendar, goes back to its box.
    void chiudi();

    /// The date shown and picked.
    QDate data() const;
    void setData(const QDate& date);
    /// The caption of the box the calendar serves, as the last apri() or mostra() wrote it.
    QString didascalia() const;
    /// The calendar of the search dialog's dates panel: its caption is not seen, no week
    /// numbers stand beside the days, and the days are at least minimo large.
    void soloGiorni(const QSize& minimo);

signals:
    /// A day was chosen; the calendar is already hidden.
    void datePicked(const QDate& date);
    /// The calendar was closed without a choice; it is already hidden.
    void closedWithoutPick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The focus to the box, without opening the calendar again.
    void restituisciFuoco();
    /// A key typed in the days: the calendar closes and the box takes the key in place of its text.
    void digitaNellaCasella(const QKeyEvent* key);
    /// Tab (avanti) or Shift+Tab: the control after or before the box.
    void tabula(bool avanti);

    QCalendarWidget* CalendarVB1 = nullptr;
    QLabel* suggerimento = nullptr; ///< the hint under the days
    QLabel* lbl_data = nullptr;

    QAbstractItemView* m_giorni = nullptr;
    QPointer<QLineEdit> m_casella;
    bool m_restituzione = false;
};

} // namespace quad
