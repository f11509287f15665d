#pragma once

#include <QDialog>
#include <QString>

#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quad {

/// The annulment reason dialog. exec() returns Accepted only when it was left with "Salva ed
/// Esci"; p_mess_annullato() then hands back the reason as typed ("" otherwise). Closing it any
/// other way counts as "Annulla".
class frm_annullato : public QDialog
{
    Q_OBJECT
public:
    explicit frm_annullato(QWidget* parent);

    /// The reason confirmed with "Salva ed Esci", as typed ("" otherwise).
    QString p_mess_annullato() const { return m_motivo; }

    /// Turns the dialog into the read-only view of a stored reason: the box locked, only
    /// "Esci" offered, centred.
    void mostra_motivo(const QString& nota);

    /// Index 0 "Salva ed Esci", 1 "Annulla" (or "Esci").
    void Command1_Click(int Index);

protected:
    void reject() override;

private:
    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::vector<QPushButton*> Command1;

    QString m_motivo;
    bool m_solo_lettura = false;
};

/// The annul button's dialogue: asks "Confermi ?", shows the reason dialog and checks the
/// reason. Returns the reason to store (as typed, not trimmed) when the entry is to be annulled;
/// nullopt when the user said No, cancelled, or left the reason blank (after "Nota non inserita
/// ...azione annullata.").
std::optional<QString> chiedi_motivo_annullamento(QWidget* parent);

/// "Vedi note": shows a stored reason read-only.
void mostra_motivo_annullamento(QWidget* parent, const QString& nota);

} // namespace quad
