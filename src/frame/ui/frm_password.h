#pragma once

#include "working_state.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

/// The login dialog: the password typed is the archives' key. OK (or Enter in the box) writes
/// it into p_password; closing the window leaves p_password as it was.
class frm_password : public QDialog
{
    Q_OBJECT
public:
    frm_password(WorkingState& state, QWidget* parent);

    QLabel* Label1 = nullptr;
    QLineEdit* txt_password = nullptr;
    QPushButton* OKButton = nullptr;

    void OKButton_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    WorkingState& m_state;
};

} // namespace quad
