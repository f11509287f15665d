// The main window's folder actions: the folder window, the filing of the current entry and the
// list of the current entry's folders.
#include "data_control.h"
#include "entry_helpers.h"
#include "folder_links.h"
#include "frm_add_tree.h"
#include "frm_tree.h"
#include "main_window.h"

#include "message_service.h"

#include <QLabel>

namespace quad {

using schede::suUnRecord;

void Quadernolo::apri_fascicoli()
{
    if (m_registro->session().p_new_ins()) {
        avviso_inserimento_in_corso();
        return;
    }
    apri_frm_tree(this, Adodc1->ConnectionString(), [this] {
        // An unlink emptied an entry's folder: the register shows what the archive now holds.
        const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
        if (suUnRecord(rs))
            m_schede->rileggi_registro(rs->value(QStringLiteral("Progressivo")).toLongLong());
    });
}

void Quadernolo::apri_collega_fascicolo()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (m_registro->session().p_new_ins() || !suUnRecord(rs))
        return;
    SchedaDaArchiviare scheda;
    scheda.numero = rs->value(QStringLiteral("Progressivo")).toLongLong();
    scheda.tipo = rs->value(QStringLiteral("entrata.Tipo")).toString();
    apri_frm_add_tree(this, Adodc1->ConnectionString(), scheda, [this, scheda](const QString& percorso) {
        // The folder path was stored with the link: the register reads it back rather than
        // holding it as a change of its own.
        m_schede->rileggi_registro(scheda.numero, true);
        m_registro->session().clearRecordModified();
        Frm_mask->lbl_nodo->setText(QStringLiteral("Nodo : ") + percorso);
        Frm_mask->lbl_nodo->show();
    });
}

void Quadernolo::cmd_tree_Click()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (m_schede->conta_schede() < 1 || !suUnRecord(rs))
        return;
    DbResult error;
    const std::shared_ptr<Connection> db = DataControl::connectionFor(Adodc1->ConnectionString(), &error);
    QStringList captions;
    if (db)
        captions = nodi_della_scheda(*db, rs->value(QStringLiteral("Progressivo")).toLongLong(),
                                     rs->value(QStringLiteral("entrata.Tipo")).toString(), &error);
    if (!error.ok()) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere i fascicoli del quadernolo.\n\n") + error.message);
        return;
    }
    if (!captions.isEmpty())
        msgBox(testo_elenco_nodi(captions));
}

} // namespace quad
