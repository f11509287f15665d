// The print panel of the main window: the receipt of the entry on screen and the register
// print between two dates, through the one page-printing object of the window.
#include "data_control.h"
#include "frm_date.h"
#include "main_window.h"
#include "morva_print.h"
#include "print_sheet.h"
#include "receipt.h"
#include "register_print.h"

#include "message_service.h"

#include <QEvent>
#include <QFileInfo>
#include <QPushButton>

namespace quad {

namespace {

/// Hides the pop-ups when a print button loses the focus.
class PrintButtonsFocus : public QObject
{
public:
    explicit PrintButtonsFocus(Quadernolo* w)
        : QObject(w)
        , m_w(w)
    {
        setObjectName(QStringLiteral("pannello_stampa"));
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut)
            m_w->nascondi_popup();
        return QObject::eventFilter(watched, event);
    }

private:
    Quadernolo* m_w;
};

} // namespace

void Quadernolo::collega_pannello_stampa()
{
    if (findChild<PrintButtonsFocus*>(QStringLiteral("pannello_stampa"), Qt::FindDirectChildrenOnly))
        return;
    auto* focus = new PrintButtonsFocus(this);
    for (QPushButton* button : cmd_print)
        button->installEventFilter(focus);
}

PrintSheet& Quadernolo::stampante()
{
    if (!m_stampante)
        m_stampante = std::make_shared<PrintSheet>(std::make_shared<MorvaPrint>());
    // Where no printer is configured the prints become PDF files beside the archive in use.
    m_stampante->printer().setPdfFolder(QFileInfo(percorso_archivio(state.p_path_cartella)).absolutePath());
    return *m_stampante;
}

void Quadernolo::stampa_ricevuta()
{
    const std::shared_ptr<Recordset> registro = Adodc1->Recordset();
    if (conta_schede() < 1 || registro->bof() || registro->eof())
        return;
    const std::shared_ptr<Recordset> mittenti = ado_mittenti->Recordset();
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

void Quadernolo::stampa_registro()
{
    QString dal;
    QString al;
    {
        frm_date dialog(this);
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
    const QString tipo = codice_registro(state.p_sessione);
    if (tipo.isEmpty()) {
        warn(QStringLiteral("ATTENZIONE !\n\nNessun registro aperto da stampare."));
        return;
    }

    DbResult errore;
    const std::shared_ptr<Recordset> righe
        = leggi_registro(percorso_archivio(state.p_path_cartella), state.p_password_archivio, tipo, intervallo.dal,
                         intervallo.al, &errore);
    if (!righe) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere il registro da stampare:\n") + errore.message);
        return;
    }
    if (righe->recordCount() < 1) {
        msgBox(QStringLiteral("Nessun quadernolo per le date inserite !"));
        return;
    }
    stampa_tabelle_registro(stampante(), *righe, state.p_sessione);
}

} // namespace quad
