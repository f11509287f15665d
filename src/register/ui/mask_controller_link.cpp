// The linked document of an entry (its box Collegamento): choosing it, dropping it on the box, opening it,
// and the preview of a linked picture with its full-size viewer.
#include "mask_controller.h"
#include "mask_rules.h"

#include "entry_mask.h"
#include "field_binding.h"
#include "link_preview.h"

#include "message_service.h"
#include "my_func.h"
#include "open_register.h"
#include "program_folder.h"

#include <QLabel>
#include <QLineEdit>

namespace quad {

void MaskController::Image1_DblClick()
{
    Frm_mask->apri_anteprima_collegamento();
}

void MaskController::scegli_collegamento()
{
    const qint64 numero = m_registro->currentNumber();
    const QString path = MessageService::instance().openFileName(QString(), programFolder(), QString());
    if (path.isEmpty())
        return;
    // The file is linked to the entry it was chosen for: the register may have moved meanwhile.
    if (const SessionResult stessa = m_registro->checkStillOn(numero, QStringLiteral("collegamento del file"));
        !stessa.ok()) {
        warn(stessa.message);
        return;
    }
    scrivi_casella(binder, Frm_mask->caselle(), Frm_mask->casella(EntryMask::Collegamento), path);
    Frm_mask->mostra_anteprima_collegamento();
}

void MaskController::txt_mask1_DblClick(int Index)
{
    if (Index == EntryMask::Collegamento)
        scegli_collegamento();
}

void MaskController::txt_mask1_OLEDragDrop(int Index, const QString& dropped)
{
    if (Index != EntryMask::Collegamento)
        return;
    scrivi_casella(binder, Frm_mask->caselle(), Frm_mask->casella(EntryMask::Collegamento), dropped);
    Frm_mask->mostra_anteprima_collegamento();
}

void MaskController::picOpenWWW_Click(int Index)
{
    switch (Index) {
    case 0: {
        const QString link = Frm_mask->casella(EntryMask::Collegamento)->text().trimmed();
        if (link.isEmpty())
            return;
        // A file named without regard to case is opened as it is on disk.
        const QString file = file_collegamento(link);
        apri_documento(file.isEmpty() ? link : file, QStringLiteral("open"));
        return;
    }
    case 1:
        emit inoltro_richiesto();
        return;
    case 2:
        if (conta_schede() >= 1)
            scegli_collegamento();
        return;
    default:
        return;
    }
}

} // namespace quad
