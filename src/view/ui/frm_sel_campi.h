#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QListWidget;
class QPushButton;

namespace quad {

class Recordset;
struct WorkingState;

/// The column chooser: one tick box per field of the register (bookkeeping "SYS_" fields left
/// out), ticked when the column mask shows it. "OK" writes the ticks into the mask
/// (p_eln_colonne) and into the settings file (IMPOSTA, Colonne_grid); "Annulla" changes
/// nothing. The caller rebuilds the grid after either.
class frm_sel_campi : public QDialog
{
    Q_OBJECT
public:
    frm_sel_campi(std::shared_ptr<Recordset> registro, WorkingState& state, QWidget* parent);

    void OKButton_Click();
    void CancelButton_Click();

    /// Each entry's field position counted from 1 (ItemData) is kept under Qt::UserRole.
    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    void Form_Load(const Recordset* registro);

    WorkingState& m_state;
};

} // namespace quad
