#pragma once

#include "working_state.h"

#include <QFrame>

#include <memory>
#include <vector>

class QPushButton;

namespace quad {

class OpenRegister;
class PrintSheet;

/// What the print panel reads of the window it prints from.
class PrintPanelHost
{
public:
    virtual ~PrintPanelHost() = default;
    /// The session's state: the register in use.
    virtual const WorkingState& stato() const = 0;
    /// Hides the tool bar's pop-ups, this panel among them.
    virtual void nascondi_popup() = 0;
};

/// The print pop-up under "Stampa": the receipt of the entry on screen and the register between
/// two dates, through one page-printing object made at its first use and kept for every print.
class PrintPanel : public QFrame
{
    Q_OBJECT
public:
    /// Prints the register open in registro: its entry shown, its archive.
    PrintPanel(OpenRegister& registro, PrintPanelHost& host, QWidget* parent);

    /// 0 "Stampa Ricevuta", 1 "Stampa Elenchi", 2 "Stampa Etichetta", 3 "Stampa Codice a barra".
    std::vector<QPushButton*> cmd_print;

    /// Index 0 prints the receipt, 1 the register; every button then hides the pop-ups.
    void cmd_print_Click(int Index);
    /// The receipt of the entry on screen (nothing on an empty register).
    void stampa_ricevuta();
    /// Asks the range of dates and prints the register of the session's direction.
    void stampa_registro();
    /// The page-printing object and page set-up of the prints, made on first use.
    PrintSheet& stampante();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OpenRegister& m_registro;
    PrintPanelHost& m_host;
    std::shared_ptr<PrintSheet> m_stampante;
};

} // namespace quad
