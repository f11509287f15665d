// The print panel: the receipt of the entry on screen and the register print between two dates,
// through the one page-printing object of the window.
#include "print_panel.h"

#include "control_factory.h"
#include "frm_date.h"
#include "morva_print.h"
#include "print_sheet.h"
#include "receipt.h"
#include "register_print.h"

#include "entry_session.h"
#include "message_service.h"
#include "open_register.h"
#include "recordset.h"

#include <QEvent>
#include <QFileInfo>
#include <QPushButton>

namespace quad {

using namespace controls;

PrintPanel::PrintPanel(OpenRegister& registro, const QString& sessione, QWidget* parent)
    : QFrame(parent)
    , m_registro(registro)
    , p_sessione(sessione)
{
    setObjectName(QStringLiteral("Picture1"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    resize(tw(2200), tw(780));
    const char* stampe[] = {"    Stampa Ricevuta      ", "  Stampa Elenchi       ", "Stampa Etichetta         ",
                            "Stampa Codice a barra"};
    for (int i = 0; i < 4; ++i) {
        // Return on the focused button presses it, as Space does.
        QPushButton* b = preme_con_invio(
            bottone(this, "", QString::fromUtf8(stampe[i]), QRect(0, i * tw(360), tw(2200), tw(360))));
        b->setObjectName(indicizzato("cmd_print", i));
        // A print button that loses the focus hides the pop-ups.
        b->installEventFilter(this);
        connect(b, &QPushButton::clicked, this, [this, i] { cmd_print_Click(i); });
        cmd_print.push_back(b);
    }
    hide();
}

bool PrintPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        emit popup_lasciato();
    return QFrame::eventFilter(watched, event);
}

void PrintPanel::showEvent(QShowEvent* event)
{
    m_scheda = m_registro.currentNumber();
    QFrame::showEvent(event);
}

void PrintPanel::cmd_print_Click(int Index)
{
    if (Index == 0)
        stampa_ricevuta();
    else if (Index == 1)
        stampa_registro();
    emit popup_lasciato();
}

PrintSheet& PrintPanel::stampante()
{
    if (!m_stampante)
        m_stampante = std::make_shared<PrintSheet>(std::make_shared<MorvaPrint>());
    // Where no printer is configured the prints become PDF files beside the archive in use.
    m_stampante->printer().setPdfFolder(QFileInfo(m_registro.archiveFile()).absolutePath());
    return *m_stampante;
}

void PrintPanel::stampa_ricevuta()
{
    if (!m_registro.onEntry())
        return;
    // From the pop-up, the receipt is of the entry shown when it opened: the register may have moved.
    if (isVisible()) {
        const SessionResult stessa = m_registro.checkStillOn(m_scheda, QStringLiteral("stampa della ricevuta"));
        if (!stessa.ok()) {
            warn(stessa.message);
            return;
        }
    }
    const std::shared_ptr<Recordset> registro = m_registro.registerRows();
    const std::shared_ptr<Recordset> mittenti = m_registro.correspondents();
    const Recordset nessuno;
    ReceiptData dati;
    try {
        dati = leggi_ricevuta(*registro, mittenti ? *mittenti : nessuno);
    } catch (const RecordsetError& e) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile stampare la ricevuta:\n") + QString::fromUtf8(e.what()));
        return;
    }
    quad::stampa_ricevuta(stampante(), dati);
}

void PrintPanel::stampa_registro()
{
    QString dal;
    QString al;
    {
        frm_date dialog(window());
        if (dialog.exec() != QDialog::Accepted)
            return;
        dal = dialog.p_alert1();
        al = dialog.p_alert2();
    }
    const DateRange intervallo = controlla_intervallo(dal, al);
    if (!intervallo.errore.isEmpty()) {
        msgBox(intervallo.errore);
        return;
    }
    const QString tipo = codice_registro(p_sessione);
    if (tipo.isEmpty()) {
        warn(QStringLiteral("ATTENZIONE !\n\nNessun registro aperto da stampare."));
        return;
    }

    // Read with the key of the register open, asked again when another station changed it.
    std::shared_ptr<Recordset> righe;
    const DbResult letto = m_registro.withArchiveKey([&] {
        DbResult errore;
        righe = leggi_registro(m_registro.archiveFile(), m_registro.archiveKey(), tipo, intervallo.dal, intervallo.al,
                               &errore);
        return errore;
    });
    if (!righe) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere il registro da stampare:\n") + causeText(letto));
        return;
    }
    if (righe->recordCount() < 1) {
        msgBox(QStringLiteral("Nessun quadernolo per le date inserite !"));
        return;
    }
    stampa_tabelle_registro(stampante(), *righe, p_sessione);
}

} // namespace quad
