// The start menu and the register's tool bars, dispatched to the register's window and to the
// window's own parts and dialogs.
#include "main_window.h"

#include "archive_open.h"
#include "folder_actions.h"
#include "frm_mod_pass.h"
#include "print_panel.h"
#include "register_widget.h"
#include "window_parts.h"

#include "my_func.h"
#include "program_folder.h"

#include <QAction>

namespace quad {

namespace {

QString manuale()
{
    return fileInFolder(programFolder(), QStringLiteral("manuale quadernolo.chm"));
}

} // namespace

void Quadernolo::Command1_Click()
{
    if (!m_apertura->apri()) {
        m_stato->nascondi_archivio();
        return;
    }
    mostra_registro();
}

void Quadernolo::cmd_menu_Click(int Index)
{
    if (Index != 4)
        m_finestraRegistro->parcheggia_fuoco();
    switch (Index) {
    case 0: {
        frm_mod_pass dialog(state, this);
        dialog.exec();
        break;
    }
    case 1:
        cmd_menu_database(this, state);
        break;
    case 4:
        close();
        break;
    case 5:
        apri_documento(manuale(), QStringLiteral("open"));
        break;
    default:
        break;
    }
}

void Quadernolo::Toolbar1_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    if (!m_finestraRegistro->salva_se_modificata())
        return;

    const QString key = Button->objectName();
    const auto rifiutato = [this] { return m_finestraRegistro->rifiuta_durante_inserimento(); };
    const auto chiudiPopup = [this] {
        Picture1->hide();
        Picture4->hide();
    };

    if (key == QLatin1String("tb_modo")) {
        if (rifiutato())
            return;
        chiudiPopup();
        m_finestraRegistro->cambia_vista();
    } else if (key == QLatin1String("tb_insert")) {
        if (rifiutato())
            return;
        Picture1->hide();
        Picture4->setVisible(Picture4->isHidden());
        Picture4->raise();
    } else if (key == QLatin1String("tb_trova")) {
        if (!m_finestraRegistro->griglia_visibile()) {
            chiudiPopup();
            if (rifiutato())
                return;
        }
        m_finestraRegistro->cerca();
    } else if (key == QLatin1String("tb_stampa")) {
        if (rifiutato())
            return;
        Picture1->setVisible(Picture1->isHidden());
        Picture1->raise();
    } else if (key == QLatin1String("tb_notifica") || key == QLatin1String("tb_statistiche")
               || key == QLatin1String("tb_scanner")) {
        chiudiPopup();
    } else if (key == QLatin1String("tb_fascicoli")) {
        chiudiPopup();
        m_fascicoli->apri_fascicoli();
        if (m_finestraRegistro->registro().count() >= 1)
            m_finestraRegistro->mostra_nodo_corrente();
    } else if (key == QLatin1String("tb_add_tree")) {
        m_finestraRegistro->parcheggia_fuoco();
        if (m_finestraRegistro->registro().count() < 1)
            return;
        m_fascicoli->apri_collega_fascicolo();
    } else if (key == QLatin1String("tb_esci")) {
        // Leaving gives up a new entry being typed: nothing of it is written and its lock goes.
        m_finestraRegistro->abbandona_inserimento();
        ripristina_menu();
        chiudiPopup();
        chiudi_registro();
    }
    m_finestraRegistro->nascondi_elenchi();
}

void Quadernolo::Toolbar2_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    const QString key = Button->objectName();
    if (key == QLatin1String("tb_filtro_off"))
        m_finestraRegistro->filtro_campo(Button->isChecked());
    else if (key == QLatin1String("tb_question"))
        apri_documento(manuale(), QStringLiteral("open"));
}

} // namespace quad
