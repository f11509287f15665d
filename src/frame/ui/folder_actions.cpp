// The main window's folder actions: the folder window, the filing of the current entry and the
// list of the current entry's folders.
#include "folder_links.h"
#include "frm_add_tree.h"
#include "frm_tree.h"
#include "main_window.h"

#include "message_service.h"

#include <QLabel>

namespace quad {

void Quadernolo::apri_fascicoli()
{
    if (m_registro->session().p_new_ins()) {
        avviso_inserimento_in_corso();
        return;
    }
    apri_frm_tree(this, m_registro->connectionString(), [this] {
        // An unlink emptied an entry's folder: the register shows what the archive now holds.
        if (m_registro->onEntry())
            m_schede->rileggi_registro(m_registro->currentNumber());
    });
}

void Quadernolo::apri_collega_fascicolo()
{
    if (m_registro->session().p_new_ins() || !m_registro->onEntry())
        return;
    SchedaDaArchiviare scheda;
    scheda.numero = m_registro->currentNumber();
    scheda.tipo = m_registro->currentDirection();
    apri_frm_add_tree(this, m_registro->connectionString(), scheda, [this, scheda](const QString& percorso) {
        // The folder path was stored with the link: the register reads it back rather than
        // holding it as a change of its own.
        m_schede->rileggi_registro(scheda.numero, true);
        m_registro->markEntryWritten();
        Frm_mask->mostra_nodo(percorso);
    });
}

void Quadernolo::cmd_tree_Click()
{
    if (!m_registro->onEntry())
        return;
    DbResult error;
    const std::shared_ptr<Connection> db = m_registro->archive(&error);
    QStringList captions;
    if (db)
        captions = nodi_della_scheda(*db, m_registro->currentNumber(), m_registro->currentDirection(), &error);
    if (!error.ok()) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere i fascicoli del quadernolo.\n\n") + error.message);
        return;
    }
    if (!captions.isEmpty())
        msgBox(testo_elenco_nodi(captions));
}

} // namespace quad
