#pragma once

#include "working_state.h"

#include <QDialog>

class QListWidget;
class QPushButton;

namespace quad {

/// The chooser of the historical archives. OK (or a double click) sets p_path_cartella to
/// "SUB_" + the chosen name; "Annulla" or closing the window sets it to "".
class frm_sel_cartella : public QDialog
{
    Q_OBJECT
public:
    frm_sel_cartella(WorkingState& state, QWidget* parent);

    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void OKButton_Click();
    void CancelButton_Click();

protected:
    void done(int result) override;

private:
    WorkingState& m_state;
    bool m_scelta = false;
};

} // namespace quad
