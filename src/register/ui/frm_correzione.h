#pragma once

#include <QDialog>
#include <QString>
#include <QVariant>

#include <optional>

class QLineEdit;
class QPushButton;

namespace quad {

/// The subject correction dialog " Quadernolo - Correzione". OK accepts the edited text, which
/// p_txt_corr() then hands back; a blank text is refused with a message, the dialog staying open
/// with the focus in its box. Any other way out rejects the dialog and hands nothing back.
class frm_correzione : public QDialog
{
    Q_OBJECT
public:
    explicit frm_correzione(QWidget* parent);

    /// The corrected subject accepted with OK ("" before).
    QString p_txt_corr() const { return m_testo; }

    /// The subject to correct, shown in the box with the caret at its start.
    void imposta_oggetto(const QString& oggetto);

    void OKButton_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* txt_correzione = nullptr;
    QPushButton* OKButton = nullptr;

    QString m_testo;
};

/// F12 on the subject: shows the dialog with the current subject (a Null subject shows as an
/// empty box) and returns the corrected text when it was confirmed with OK (never blank);
/// nullopt otherwise, when nothing must be written.
std::optional<QString> correggi_oggetto(QWidget* parent, const QVariant& oggetto);

} // namespace quad
