#pragma once

#include "working_state.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

/// The date-range dialog of the register print. Hands back through the working state: p_alert1
/// and p_alert2 (the two texts as typed) and p_modo_window (true only after "Stampa"). It checks
/// nothing itself; closing it by its close box counts as "Annulla".
class frm_date : public QDialog
{
    Q_OBJECT
public:
    frm_date(WorkingState& state, QWidget* parent);

    void OKButton_Click();
    void CancelButton_Click();
    /// F2 writes today's date into the box; true when the key was used.
    bool txt_KeyDown(QLineEdit* box, int keyCode);
    /// A typed character goes through the date typing mask; true when it was swallowed.
    bool txt_KeyPress(QLineEdit* box, const QString& typed);

    QGroupBox* Frame1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txt_dalla = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txt_alla = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WorkingState& m_state;
};

} // namespace quad
