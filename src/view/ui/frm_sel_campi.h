#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QListWidget;
class QPushButton;

namespace quad {

class Recordset;

/// The column chooser: one tick box per field of the register (bookkeeping "SYS_" fields left
/// out), ticked when the column mask given shows it. "OK" writes the ticks into the mask, stores
/// it in the settings file (IMPOSTA, Colonne_grid) and accepts the dialog: p_eln_colonne() then
/// hands the new mask back. "Annulla" changes nothing. The caller rebuilds the grid after either.
class frm_sel_campi : public QDialog
{
    Q_OBJECT
public:
    frm_sel_campi(std::shared_ptr<Recordset> registro, const QString& p_eln_colonne, QWidget* parent);

    /// The column mask: the one given, or the one chosen once "OK" has been pressed.
    QString p_eln_colonne() const { return m_mascheraColonne; }

    void OKButton_Click();
    void CancelButton_Click();

private:
    /// Each entry's field position counted from 1 (ItemData) is kept under Qt::UserRole.
    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

    void Form_Load(const Recordset* registro);

    QString m_mascheraColonne;
};

} // namespace quad
