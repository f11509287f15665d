// Saving a registered entry (its note, link and annulment; its correspondent rows), moving from
// entry to entry in the mask, and the entry panel's captions by direction.
#include "data_control.h"
#include "entry_helpers.h"
#include "field_binding.h"
#include "main_window.h"
#include "register_query.h"

#include "entry_store.h"
#include "message_service.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

namespace quad {

namespace {

using schede::aperto;
using schede::inSospeso;
using schede::suUnRecord;

/// Hands the key presses that reach a widget to a function; true from it swallows the key.
class FiltroTasti : public QObject
{
public:
    FiltroTasti(QObject* parent, std::function<bool(QKeyEvent*)> tasto)
        : QObject(parent)
        , m_tasto(std::move(tasto))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && m_tasto(static_cast<QKeyEvent*>(event)))
            return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(QKeyEvent*)> m_tasto;
};

constexpr int kPaginaSu = 33;
constexpr int kPaginaGiu = 34;

} // namespace

void Quadernolo::collega_gestori_schede()
{
    if (m_gestoriSchede)
        return;
    m_gestoriSchede = true;
    connect(Adodc1, &DataControl::moveComplete, this, &Quadernolo::ricorda_scheda_caricata);
    ricorda_scheda_caricata();
    // The page keys of the mask reach its viewport from whichever box or button has the focus.
    m_tastiPagina = new FiltroTasti(this, [this](QKeyEvent* event) {
        if (event->key() == Qt::Key_PageUp)
            return Pic_mask_KeyDown(kPaginaSu);
        if (event->key() == Qt::Key_PageDown)
            return Pic_mask_KeyDown(kPaginaGiu);
        return false;
    });
    Pic_mask->installEventFilter(m_tastiPagina);
}

void Quadernolo::ricorda_scheda_caricata()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    // Values already changed on screen are not what the archive gave.
    if (!suUnRecord(rs) || rs->rowStatus() != RowStatus::Unmodified) {
        m_numeroCaricato = 0;
        m_valoriCaricati.clear();
        return;
    }
    m_numeroCaricato = rs->value(QStringLiteral("Progressivo")).toLongLong();
    m_valoriCaricati = {rs->value(QStringLiteral("Note")), rs->value(QStringLiteral("Collegamento")),
                        rs->value(QStringLiteral("Annullato")), rs->value(QStringLiteral("Nota_annulla"))};
}

void Quadernolo::salva_scheda()
{
    salva_scheda_esito();
}

bool Quadernolo::salva_scheda_esito()
{
    // A new entry is written by its own confirmation, never from here.
    if (state.p_new_ins)
        return true;
    binder->commitAll(Adodc1);
    binder->commitAll(ado_mittenti);
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const std::shared_ptr<Recordset> righe = ado_mittenti->Recordset();
    const qint64 numero = suUnRecord(rs) ? rs->value(QStringLiteral("Progressivo")).toLongLong() : qint64(0);

    bool scritto = false;
    bool incompleta = false;
    if (state.p_update) {
        const QVariant nome = suUnRecord(righe) ? righe->value(QStringLiteral("Nominativo")) : QVariant();
        if (!isEntryComplete(txt_mask1[2]->text(), txt_mask1[3]->text(), txt_mask1[7]->text(), nome)) {
            warn(QString::fromUtf8(kCannotSaveText));
            // The refused changes are dropped, so that the mask shows what the archive holds.
            if (aperto(rs))
                rs->cancelBatch();
            if (aperto(righe))
                righe->cancelBatch();
            state.p_update = false;
            state.p_update_mittenti = false;
            incompleta = true;
        } else {
            if (!salva_note_annullo(numero))
                return false;
            state.p_update = false;
            scritto = true;
        }
    }

    // The rows are written whenever their batch holds changes, whatever the flag says.
    if (!incompleta && aperto(righe) && (state.p_update_mittenti || inSospeso(righe))) {
        // A blank last row is dropped, but an entry never loses its only row.
        if (mittente_vuoto() && righe->recordCount() > 1) {
            righe->moveLast();
            righe->deleteCurrent();
        }
        const DbResult esito = righe->updateBatch();
        if (!esito.ok()) {
            state.p_update_mittenti = true;
            warn(QStringLiteral("ATTENZIONE !!\n\nImpossibile salvare i nominativi del quadernolo.\n\n")
                 + esito.message);
            return false;
        }
        state.p_update_mittenti = false;
        scritto = true;
    }

    if (aperto(righe) && righe->recordCount() >= 1)
        righe->moveFirst();
    mostra_posizione_mittenti();
    if (scritto && numero > 0)
        rileggi_registro(numero, true);
    return true;
}

bool Quadernolo::salva_note_annullo(qint64 numero)
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!suUnRecord(rs) || numero <= 0) {
        state.p_update = false;
        return true;
    }
    RegisteredEntryEdit modifica;
    modifica.note = rs->value(QStringLiteral("Note"));
    modifica.collegamento = rs->value(QStringLiteral("Collegamento"));
    modifica.annullato = Check1->isChecked();
    modifica.notaAnnulla = txt_mask1[26]->text();

    RegisteredEntryEdit caricata;
    const bool conCaricata = m_numeroCaricato == numero && m_valoriCaricati.size() == 4;
    if (conCaricata) {
        caricata.note = m_valoriCaricati[0];
        caricata.collegamento = m_valoriCaricati[1];
        caricata.annullato = m_valoriCaricati[2].toBool();
        caricata.notaAnnulla = m_valoriCaricati[3];
    }

    DbResult esito;
    std::shared_ptr<Connection> archivio = DataControl::connectionFor(Adodc1->ConnectionString(), &esito);
    if (archivio)
        esito = EntryStore(*archivio).salva_note_annullo(numero, modifica, conCaricata ? &caricata : nullptr);
    if (!esito.ok()) {
        // The entry stays modified: its changes are still on screen and are saved again later.
        warn(QStringLiteral("ATTENZIONE !!\n\nImpossibile salvare il quadernolo n. %1.\n\n").arg(numero)
             + esito.message);
        return false;
    }
    state.p_update = false;
    return true;
}

void Quadernolo::rileggi_registro(qint64 numero, bool soloScheda)
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!rs || !rs->isOpen())
        return;
    state.p_stop = true;
    bool trovato = false;
    if (soloScheda && refreshRegisterEntry(*rs, numero).ok()) {
        trovato = suUnRecord(rs) && rs->value(QStringLiteral("Progressivo")).toLongLong() == numero;
    } else {
        const QString filtro = rs->hasFilter() ? rs->filterText() : QString();
        const QString ordine = rs->sort();
        const int posizione = rs->absolutePosition();
        rs->requery();
        if (!ordine.isEmpty())
            rs->setSort(ordine);
        if (!filtro.isEmpty())
            rs->setFilter(filtro);
        // The same row when it still shows the entry, else the entry's first row.
        if (posizione >= 1 && posizione <= rs->recordCount()) {
            rs->setAbsolutePosition(posizione);
            trovato = suUnRecord(rs) && rs->value(QStringLiteral("Progressivo")).toLongLong() == numero;
        }
    }
    if (!trovato
        && !rs->find(QStringLiteral("Progressivo = %1").arg(numero), 0, SearchDirection::Forward, kBookmarkFirst)
        && rs->recordCount() >= 1)
        rs->moveFirst();
    state.p_stop = false;
    ricorda_scheda_caricata();
    Adodc1_MoveComplete();
    aggiorna_totale_schede();
}

bool Quadernolo::salva_prima_di_muovere()
{
    cmd_focus->setFocus();
    // The entry being typed stays on screen until it is confirmed or dropped.
    if (state.p_new_ins)
        return false;
    binder->commitAll(Adodc1);
    binder->commitAll(ado_mittenti);
    if (state.p_update
        && !isEntryComplete(txt_mask1[2]->text(), txt_mask1[3]->text(), txt_mask1[7]->text(), txt_mask1[8]->text())) {
        warn(QString::fromUtf8(kCannotSaveText));
        return false;
    }
    if (state.p_update || inSospeso(ado_mittenti->Recordset())) {
        if (!salva_scheda_esito())
            return false;
        state.p_update = false;
    }
    return true;
}

void Quadernolo::muovi_registro(int verso)
{
    Adodc1->muovi(verso);
}

void Quadernolo::cmd_move_Click(int Index)
{
    Picture1->hide();
    Picture4->hide();
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (conta_schede() < 1)
        return;
    if (rs->eof())
        rs->moveFirst();
    if (!salva_prima_di_muovere())
        return;
    muovi_registro(Index);
    mostra_anteprima_collegamento();
    mostra_intestazione();
}

bool Quadernolo::Pic_mask_KeyDown(int KeyCode)
{
    if (KeyCode != kPaginaSu && KeyCode != kPaginaGiu)
        return false;
    if (state.p_new_ins || conta_schede() < 1)
        return true;
    // A changed entry is saved before it is left, as with the move buttons.
    if (!salva_prima_di_muovere())
        return true;
    muovi_registro(KeyCode == kPaginaSu ? 1 : 2);
    mostra_anteprima_collegamento();
    mostra_intestazione();
    return true;
}

void Quadernolo::mostra_intestazione()
{
    collega_gestori_schede();
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (conta_schede() < 1 || !suUnRecord(rs))
        return;
    mostra_nodo_corrente();
    if (rs->value(1).toString() == QLatin1String("E")) {
        lbl_modo->setText(QStringLiteral("Quadernolo in ENTRATA"));
        cmd_altri->setText(QStringLiteral("Altri mittenti"));
        lbl_mask1[8]->setText(QStringLiteral("Mittente"));
        lbl_mask1[5]->setText(QStringLiteral("Quad. Rif."));
        Check2->show();
    } else {
        lbl_modo->setText(QStringLiteral("Quadernolo in USCITA"));
        cmd_altri->setText(QStringLiteral("Altri destinatari"));
        Check2->hide();
        lbl_mask1[8]->setText(QStringLiteral("Destinatario"));
        lbl_mask1[5]->setText(QStringLiteral("Quad. Interno"));
    }
}

} // namespace quad
