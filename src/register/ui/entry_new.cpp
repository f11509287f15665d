// A new register entry: the question, the issuing lock and the number, the typing in the mask,
// and its confirmation (one transaction) or drop.
//
// While the entry is typed the register's recordset holds it as a pending new record and the
// correspondents' recordset its pending rows: the mask's boxes are bound to them as to any entry.
// Nothing reaches the archive before the confirmation, which writes the record and its rows at
// once; a drop just throws the pending rows away. The issuing lock is held from the allocation of
// the number to the end of the confirmation or drop.
#include "ax_db_autocomplete.h"
#include "data_control.h"
#include "entry_helpers.h"
#include "field_binding.h"
#include "main_window.h"
#include "register_query.h"

#include "clock.h"
#include "entry_store.h"
#include "issuing_lock.h"
#include "message_service.h"
#include "numbering.h"
#include "program_folder.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>

namespace quad {

namespace {

using schede::aperto;
using schede::suUnRecord;

/// The pending values of the row at index row of rs that belong to table (Null left out).
QVariantMap valoriDellaRiga(const Recordset& rs, int row, const QString& table)
{
    QVariantMap valori;
    for (int i = 0; i < rs.fieldCount(); ++i) {
        const FieldInfo& f = rs.field(i);
        if (!table.isEmpty() && f.table.compare(table, Qt::CaseInsensitive) != 0)
            continue;
        const QVariant v = rs.valueAt(row, i);
        if (v.isValid() && !v.isNull())
            valori.insert(f.name, v);
    }
    return valori;
}

/// Throws the pending new entry out of both recordsets and reads the rows of entry numero again,
/// standing on that entry when sullaScheda and it is found, else on the last record. The move
/// events stay quiet meanwhile: the caller shows the entry reached.
void rileggiSenzaInSospeso(WorkingState& state, const std::shared_ptr<Recordset>& rs,
                           const std::shared_ptr<Recordset>& righe, qint64 numero, bool sullaScheda)
{
    state.p_stop = true;
    if (aperto(righe))
        righe->cancelBatch();
    if (aperto(rs)) {
        rs->cancelBatch();
        // The entry's rows as stored (none after a drop); the whole register when that fails.
        if (!refreshRegisterEntry(*rs, numero).ok())
            rs->requery();
        const bool trovato = sullaScheda && numero > 0
            && rs->find(QStringLiteral("Progressivo = %1").arg(numero), 0, SearchDirection::Forward, kBookmarkFirst);
        if (!trovato && rs->recordCount() >= 1)
            rs->moveLast();
    }
    state.p_stop = false;
}

} // namespace

bool Quadernolo::emissione_in_corso() const
{
    return m_bloccoEmissione && m_bloccoEmissione->isHeld();
}

void Quadernolo::cmd_ins_Click(int Index)
{
    Picture4->hide();
    if (msgBox(QStringLiteral("Confermi inserimento nuovo quadernolo ?\n\n"), MsgIcon::Question, MsgButtons::YesNo,
               QStringLiteral("Richiesta nuovo inserimento"))
        != MsgAnswer::Yes)
        return;
    if (!DataGrid1->isHidden())
        Toolbar1_ButtonClick(Toolbar1_Buttons(1));

    toolbarButton(QStringLiteral("tb_add_tree"))->setEnabled(false);
    Toolbar1->setEnabled(false);
    Toolbar2->setEnabled(false);
    pic_move->setEnabled(false);

    // A new entry is always made on the whole register.
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (rs && rs->isOpen() && rs->hasFilter()) {
        rs->clearFilter();
        rs->requery();
        rilascia_pulsante_filtro();
    }

    if (Index == 0) {
        state.p_sessione = QStringLiteral("Entrata");
        nuovo_quadernolo(QStringLiteral("E"));
    } else {
        state.p_sessione = QStringLiteral("Uscita");
        nuovo_quadernolo(QStringLiteral("U"));
    }
}

void Quadernolo::nuovo_quadernolo(const QString& tipo)
{
    Q_UNUSED(tipo); // the direction follows p_sessione, which the caller has set to match
    collega_gestori_schede();
    DbResult errore;
    std::shared_ptr<Connection> archivio = DataControl::connectionFor(Adodc1->ConnectionString(), &errore);
    std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!archivio || !rs || !rs->isOpen()) {
        warn(QStringLiteral("ATTENZIONE !!\n\nArchivio non disponibile.\n\n") + errore.message);
        ripristina_consultazione();
        return;
    }

    // From here on the station counts as inserting: nothing else (a received notification) may
    // write to the register while the start number is asked.
    state.p_new_ins = true;
    // A lock this station could not remove earlier is still its own.
    if (!emissione_in_corso())
        m_bloccoEmissione = std::make_shared<IssuingLock>(resolveDataFolder(state.p_path_cartella));
    const Allocation numero = allocateNumber(*archivio, *m_bloccoEmissione, [] {
        QString risposta;
        if (!MessageService::instance().inputText(QString::fromUtf8(kStartNumberPrompt), QStringLiteral("Quadernolo"),
                                                  QString(), &risposta))
            return std::optional<QString>();
        return std::optional<QString>(risposta);
    });
    switch (numero.status) {
    case AllocationStatus::Allocated:
        break;
    case AllocationStatus::LockHeld:
        warn(QString::fromUtf8(kLockHeldText));
        ripristina_consultazione();
        return;
    case AllocationStatus::StartRefused:
        msgBox(QString::fromUtf8(kStartNumberRefusedText));
        if (!numero.message.isEmpty())
            warn(QStringLiteral("ATTENZIONE !!\n\n") + numero.message);
        state.p_locked = true;
        ripristina_consultazione();
        return;
    case AllocationStatus::LockFailed:
        warn(QStringLiteral("ATTENZIONE !!\n\nImpossibile creare il file emissione.txt.\n\n") + numero.message);
        ripristina_consultazione();
        return;
    case AllocationStatus::ReadFailed:
        warn(QStringLiteral("ATTENZIONE !!\n\nImpossibile leggere l' archivio.\n\n") + numero.message);
        ripristina_consultazione();
        return;
    }

    // With the register shared on a network it is read again, so that it shows what the other
    // stations registered; the number itself always comes from the archive file.
    if (state.p_quad_rete.trimmed().toInt() == 1)
        rs->requery();

    state.p_new_ins = true;
    state.p_locked = false;
    Frame_new_ins->show();
    Frame_new_ins->raise();
    Adodc1->setEnabled(false);

    const NewEntry scheda = makeNewEntry(numero.number, state.p_sessione, Clock::currentDateTime());
    if (numero.firstEntry) {
        state.p_primo_ins = int(numero.number);
    } else {
        state.p_stop = true;
        rs->moveLast();
        state.p_stop = false;
    }
    state.p_ultima_data = numero.lastDate;
    sblocca_maschera();
    rs->addNew();
    for (auto it = scheda.record.cbegin(); it != scheda.record.cend(); ++it) {
        // The register joins the correspondents, which have a "tipo" of their own.
        const QString campo = it.key() == QLatin1String("Tipo") ? QStringLiteral("entrata.Tipo") : it.key();
        rs->setValue(campo, it.value());
    }
    state.p_primo_ins = 0;

    // The rows of the new number and direction. Rows left there by an entry that was never
    // completed are no correspondents of this one: they leave the list (and the archive, when
    // the entry is confirmed).
    carica_corrispondenti(numero.number);
    for (int i : {8, 9, 10, 11, 12, 13, 14, 15, 25})
        binder->setDataSource(txt_mask1[i], ado_mittenti);
    const std::shared_ptr<Recordset> righe = ado_mittenti->Recordset();
    if (aperto(righe)) {
        while (righe->recordCount() > 0) {
            righe->moveFirst();
            if (!righe->deleteCurrent().ok())
                break;
        }
        righe->addNew();
        const QVariantMap& primo = scheda.correspondents.first();
        for (auto it = primo.cbegin(); it != primo.cend(); ++it)
            righe->setValue(it.key(), it.value());
    }

    mostra_posizione_mittenti();
    Picture2[2]->hide();
    lbl_numero->hide();
    frame_annulla->hide();
    Frame_annullato->hide();
    txt_mask1[2]->setFocus();
    state.p_uscita = false;
    mostra_intestazione();
    mostra_anteprima_collegamento();
}

void Quadernolo::ripristina_consultazione()
{
    state.p_new_ins = false;
    Frame_new_ins->hide();
    Adodc1->setEnabled(true);
    if (auto* completamento = qobject_cast<AXDbAutoComplete*>(AXDbAutoComplete1))
        completamento->setListBoxVisible(false);
    mostra_anteprima_collegamento();
    mostra_annullato();
    toolbarButton(QStringLiteral("tb_add_tree"))->setEnabled(true);
    Toolbar1->setEnabled(true);
    Toolbar2->setEnabled(true);
    pic_move->setEnabled(true);
    aggiorna_totale_schede();
}

NewEntry Quadernolo::nuova_scheda_digitata() const
{
    NewEntry scheda;
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (suUnRecord(rs))
        scheda.record = valoriDellaRiga(*rs, rs->currentRow(), QStringLiteral("entrata"));
    const std::shared_ptr<Recordset> righe = ado_mittenti->Recordset();
    if (aperto(righe)) {
        for (int r = 0; r < righe->recordCount(); ++r)
            scheda.correspondents.append(valoriDellaRiga(*righe, r, QString()));
    }
    return scheda;
}

void Quadernolo::cmd_new_ins_Click(int Index)
{
    if (!state.p_new_ins)
        return;
    list_elenco->hide();
    // What is being typed goes into the pending rows first.
    binder->commitAll(Adodc1);
    binder->commitAll(ado_mittenti);
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const std::shared_ptr<Recordset> righe = ado_mittenti->Recordset();

    if (Index == 0) {
        if (!isEntryComplete(txt_mask1[2]->text(), txt_mask1[3]->text(), txt_mask1[7]->text(), txt_mask1[8]->text())) {
            warn(QString::fromUtf8(kIncompleteNewEntryText));
            return;
        }
        if (!txt_mask1[11]->text().trimmed().isEmpty() && txt_mask1[12]->text().trimmed().isEmpty()
            && suUnRecord(righe))
            righe->setValue(QStringLiteral("Civico"), QStringLiteral("snc"));

        const NewEntry scheda = nuova_scheda_digitata();
        DbResult esito;
        std::shared_ptr<Connection> archivio = DataControl::connectionFor(Adodc1->ConnectionString(), &esito);
        if (archivio)
            esito = EntryStore(*archivio).commitNewEntry(scheda);
        if (!esito.ok()) {
            // Nothing was written: the entry stays on screen as typed, and the number with it.
            warn(QStringLiteral("ATTENZIONE !!\n\nIl quadernolo non è stato salvato.\n\n") + esito.message);
            return;
        }

        state.p_del_new_ins = false;
        state.p_locked = true;
        state.p_uscita = true;
        state.p_new_ins = false;
        state.p_update_mittenti = false;

        // The pending rows are written: the register is read again and shows the new entry.
        rileggiSenzaInSospeso(state, rs, righe, scheda.number(), true);
        Adodc1_MoveComplete();
        state.p_update = false;
        blocca_maschera();
        state.p_new_ins = false;
        state.p_uscita = true;
    } else {
        const qint64 numero = suUnRecord(rs) ? rs->value(QStringLiteral("Progressivo")).toLongLong() : qint64(0);
        // Rows under the number that no entry owns (left by a station stopped while typing) go.
        if (numero > 0) {
            DbResult esito;
            std::shared_ptr<Connection> archivio = DataControl::connectionFor(Adodc1->ConnectionString(), &esito);
            if (archivio)
                esito = EntryStore(*archivio).cancella_mittenti(numero);
            if (!esito.ok())
                warn(QStringLiteral("ATTENZIONE !!\n\nErrore nell' eliminazione dei nominativi.\n\n") + esito.message);
        }

        state.p_locked = true;
        state.p_del_new_ins = true;
        state.p_uscita = true;
        state.p_update_nomi = false;
        state.p_update_mittenti = false;

        rileggiSenzaInSospeso(state, rs, righe, numero, false);
        if (conta_schede() >= 1)
            Adodc1_MoveComplete();
        else
            carica_corrispondenti(numero); // nothing is left under the number
        state.p_update = false;
        state.p_update_mittenti = false;
        mostra_posizione_mittenti();
        state.p_uscita = false;
        blocca_maschera();
    }
    fine_inserimento();
}

void Quadernolo::fine_inserimento()
{
    // The number is written (or given up): the other stations may issue again. The lock goes
    // before anything below asks the clerk a question.
    if (m_bloccoEmissione) {
        QString errore;
        if (!m_bloccoEmissione->release(&errore))
            warn(QStringLiteral("ATTENZIONE !!\n\nImpossibile eliminare il file emissione.txt.\n\n") + errore);
    }
    ripristina_consultazione();
    // Correspondents the address book lacks are offered to it (after a confirmation only).
    aggiorna_nominativi();
    // The captions follow the entry now shown, whatever the direction of the one dropped.
    mostra_intestazione();
}

} // namespace quad
