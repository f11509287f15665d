#pragma once

#include <QFrame>
#include <QString>

#include <memory>
#include <vector>

class QPushButton;

namespace quad {

class OpenRegister;
class PrintSheet;

/// The print pop-up under "Stampa": the receipt of the entry on screen and the register between
/// two dates, through one page-printing object made at its first use and kept for every print.
class PrintPanel : public QFrame
{
    Q_OBJECT
public:
    /// Prints the register open in registro: its entry shown, its archive. sessione is the
    /// session's register as the window keeps it ("Entrata", "Uscita" or "Menu"), read at each
    /// print; it outlives the panel.
    PrintPanel(OpenRegister& registro, const QString& sessione, QWidget* parent);

    /// 0 "Stampa Ricevuta", 1 "Stampa Elenchi", 2 "Stampa Etichetta", 3 "Stampa Codice a barra".
    std::vector<QPushButton*> cmd_print;

    /// Index 0 prints the receipt, 1 the register; every button then tells popup_lasciato().
    void cmd_print_Click(int Index);
    /// The receipt of the entry on screen (nothing on an empty register); refused with a message
    /// when the register moved to another entry since the pop-up opened.
    void stampa_ricevuta();
    /// Asks the range of dates and prints the register of the session's direction.
    void stampa_registro();
    /// The page-printing object and page set-up of the prints, made on first use.
    PrintSheet& stampante();

signals:
    /// The clerk is done with the pop-up: a print button was used or lost the focus. The window
    /// hides its pop-ups, this panel among them.
    void popup_lasciato();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    OpenRegister& m_registro;
    const QString& p_sessione;
    std::shared_ptr<PrintSheet> m_stampante;
    /// The entry shown when the pop-up opened (0 on none): its receipt is the one printed.
    qint64 m_scheda = 0;
};

} // namespace quad
