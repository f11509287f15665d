// The folders over the open register: the folder window, the filing of the current entry and
// the list of the current entry's folders.
#include "folder_actions.h"

#include "folder_links.h"
#include "frm_add_tree.h"
#include "frm_tree.h"
#include "register_widget.h"

#include "entry_session.h"
#include "message_service.h"

#include <QLabel>

namespace quad {

FolderActions::FolderActions(RegisterWidget& finestraRegistro, QWidget* finestra)
    : QObject(finestra)
    , m_finestraRegistro(finestraRegistro)
    , m_finestra(finestra)
{
    setObjectName(QStringLiteral("fascicoli"));
    connect(&finestraRegistro, &RegisterWidget::elenco_fascicoli_richiesto, this, &FolderActions::cmd_tree_Click);
}

bool FolderActions::chiave_provata()
{
    // The folder windows read the archive on a connection of their own, made with the key of the
    // register open: a key changed at another station is asked for before they open.
    const DbResult prova = m_finestraRegistro.registro().proveArchiveKey();
    if (!prova.ok())
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere i fascicoli.\n\n") + causeText(prova));
    return prova.ok();
}

void FolderActions::apri_fascicoli()
{
    if (m_finestraRegistro.rifiuta_durante_inserimento() || !chiave_provata())
        return;
    OpenRegister& registro = m_finestraRegistro.registro();
    apri_frm_tree(m_finestra, registro.connectionString(), [this, &registro] {
        // An unlink emptied an entry's folder: the register shows what the archive now holds.
        if (registro.onEntry())
            m_finestraRegistro.rileggi_registro(registro.currentNumber());
    });
}

void FolderActions::apri_collega_fascicolo()
{
    OpenRegister& registro = m_finestraRegistro.registro();
    if (registro.session().p_new_ins() || !registro.onEntry() || !chiave_provata())
        return;
    SchedaDaArchiviare scheda;
    scheda.numero = registro.currentNumber();
    scheda.tipo = registro.currentDirection();
    apri_frm_add_tree(m_finestra, registro.connectionString(), scheda,
                      [this, &registro, scheda](const QString& percorso) {
                          // The folder path was stored with the link: the register reads it back
                          // rather than holding it as a change of its own.
                          m_finestraRegistro.rileggi_registro(scheda.numero, true);
                          registro.markEntryWritten();
                          m_finestraRegistro.mostra_nodo(percorso);
                      });
}

void FolderActions::cmd_tree_Click()
{
    OpenRegister& registro = m_finestraRegistro.registro();
    if (!registro.onEntry())
        return;
    QStringList captions;
    const DbResult error = registro.withArchiveKey([&] {
        DbResult letto;
        if (const std::shared_ptr<Connection> db = registro.archive(&letto))
            captions = nodi_della_scheda(*db, registro.currentNumber(), registro.currentDirection(), &letto);
        return letto;
    });
    if (!error.ok()) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere i fascicoli del quadernolo.\n\n") + causeText(error));
        return;
    }
    if (!captions.isEmpty())
        msgBox(testo_elenco_nodi(captions));
}

} // namespace quad
