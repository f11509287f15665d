#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

/// The date-range dialog of the register print. exec() returns Accepted only after "Stampa"
/// (closing it by its close box counts as "Annulla"); p_alert1() and p_alert2() then hand back
/// the two texts as typed. It checks nothing itself.
class frm_date : public QDialog
{
    Q_OBJECT
public:
    explicit frm_date(QWidget* parent);

    /// The from text confirmed with "Stampa" ("" before).
    QString p_alert1() const { return m_dalla; }
    /// The to text confirmed with "Stampa" ("" before).
    QString p_alert2() const { return m_alla; }

    void OKButton_Click();
    void CancelButton_Click();
    /// F2 writes today's date into the box; true when the key was used.
    bool txt_KeyDown(QLineEdit* box, int keyCode);
    /// A typed character goes through the date typing mask; true when it was swallowed.
    bool txt_KeyPress(QLineEdit* box, const QString& typed);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txt_dalla = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txt_alla = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    QString m_dalla;
    QString m_alla;
};

} // namespace quad
