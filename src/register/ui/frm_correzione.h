#pragma once

#include "working_state.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

namespace quad {

/// The subject correction dialog " Quadernolo - Correzione". OK writes the edited text into
/// p_txt_corr and closes the dialog, but only when the text is not blank; any other way out
/// leaves p_txt_corr as it was.
class frm_correzione : public QDialog
{
    Q_OBJECT
public:
    frm_correzione(WorkingState& state, QWidget* parent);

    void OKButton_Click();

    QLineEdit* txt_correzione = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    WorkingState& m_state;
};

/// F12 on the subject: shows the dialog with the current subject (a Null subject shows as an
/// empty box) and returns the corrected text when it was confirmed with OK and is not blank;
/// nullopt otherwise, when nothing must be written.
std::optional<QString> correggi_oggetto(WorkingState& state, QWidget* parent, const QVariant& oggetto);

} // namespace quad
