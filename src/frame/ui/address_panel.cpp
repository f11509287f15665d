// The address-book panel of the main window: the look-up under the name box while a new entry
// is typed, the pick into the current correspondent row, deletion and correction of a name,
// and the check that offers to add the correspondents of a confirmed entry.
#include "address_wiring.h"
#include "entry_helpers.h"

#include "address_book.h"
#include "data_control.h"
#include "field_binding.h"
#include "frm_nominativi.h"
#include "main_window.h"

#include "message_service.h"
#include "recordset.h"
#include "recordset_model.h"
#include <QScopedValueRollback>

#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace quad {

namespace {

constexpr int kNome = 8;
constexpr int kUfficioCompetente = 16;

struct Intestazione
{
    const char* field;
    const char* caption;
};
const Intestazione kIntestazioni[] = {{"Nominativo", "Nominativo"},
                                      {"P_iva_CF", "P.iva/CF"},
                                      {"Data_nascita", "Nato il"},
                                      {"Indirizzo", "Indirizzo"},
                                      {"Civico", "N."},
                                      {"Citta", "Città"},
                                      {"Prov", "Prov"},
                                      {"Stato", "Stato"},
                                      {"Cap", "Cap"}};

bool aperto(const std::shared_ptr<Recordset>& rs)
{
    return rs && rs->isOpen();
}

bool suUnRecord(const std::shared_ptr<Recordset>& rs)
{
    return aperto(rs) && !rs->bof() && !rs->eof();
}

/// The address-book record that is current in the look-up.
AddressRecord recordCorrente(const Recordset& rs)
{
    AddressRecord rec;
    const int id = rs.fieldIndex(QStringLiteral("Id"));
    if (id >= 0)
        rec.id = rs.value(id).toLongLong();
    for (const QString& campo : campiAnagrafici()) {
        const int i = rs.fieldIndex(campo);
        rec.values.insert(campo, i >= 0 ? rs.value(i) : QVariant());
    }
    return rec;
}

/// The rows of a recordset's view as maps of field name to value, without moving it.
QList<QVariantMap> righe(const Recordset& rs)
{
    QList<QVariantMap> out;
    for (int r = 0; r < rs.recordCount(); ++r) {
        QVariantMap row;
        for (int c = 0; c < rs.fieldCount(); ++c)
            row.insert(rs.field(c).name, rs.valueAt(r, c));
        out << row;
    }
    return out;
}

/// The rows the clerk selected in the panel's grid.
QModelIndexList righeScelte(const QTableView* grid)
{
    const QItemSelectionModel* sel = grid->selectionModel();
    return sel ? sel->selectedRows() : QModelIndexList();
}

/// The address book's recordset on the record chosen in the panel's grid; null, after telling
/// the clerk to choose one, when no row is chosen.
std::shared_ptr<Recordset> nominativoScelto(Quadernolo& w)
{
    const std::shared_ptr<Recordset> rs = w.Ado_nomi->Recordset();
    const QModelIndexList scelte = righeScelte(w.DataGridAC);
    if (scelte.isEmpty() || !aperto(rs)) {
        msgBox(QString::fromUtf8(kMsgSelezionareNominativo));
        return nullptr;
    }
    rs->setCurrentRow(scelte.first().row());
    return rs;
}

/// Shows the address-book data control's recordset in the panel's grid.
void collegaGriglia(Quadernolo& w)
{
    QTableView* grid = w.DataGridAC;
    QItemSelectionModel* vecchiaSelezione = grid->selectionModel();
    const QList<RecordsetModel*> vecchi = grid->findChildren<RecordsetModel*>(QString(), Qt::FindDirectChildrenOnly);
    const std::shared_ptr<Recordset> rs = w.Ado_nomi->Recordset();
    if (!aperto(rs)) {
        grid->setModel(nullptr);
    } else {
        auto* model = new RecordsetModel(rs.get(), grid);
        for (const Intestazione& h : kIntestazioni) {
            const int i = rs->fieldIndex(QLatin1String(h.field));
            if (i >= 0)
                model->setHeaderCaption(i, QString::fromUtf8(h.caption));
        }
        grid->setModel(model);
        for (int c = 0; c < model->columnCount(); ++c)
            grid->setColumnHidden(c, c == rs->fieldIndex(QStringLiteral("Id")));
        // The row the clerk clicks is the record that the buttons and the pick act on.
        QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, model,
                         [model](const QModelIndex& current) {
                             Recordset* r = model->recordset();
                             if (r && current.isValid() && current.row() < r->recordCount()
                                 && current.row() != r->currentRow())
                                 r->setCurrentRow(current.row());
                         });
    }
    if (vecchiaSelezione && vecchiaSelezione != grid->selectionModel())
        delete vecchiaSelezione;
    for (RecordsetModel* m : vecchi)
        delete m;
}

/// Shows the panel when the look-up holds a record, hides it otherwise.
void mostraPannello(Quadernolo& w)
{
    const std::shared_ptr<Recordset> rs = w.Ado_nomi->Recordset();
    if (aperto(rs) && rs->recordCount() > 0) {
        w.Pic_nomi->show();
        w.Pic_nomi->raise();
        w.DataGridAC->raise();
    } else {
        w.Pic_nomi->hide();
    }
}

void erroreRubrica(const DbResult& r)
{
    msgBox(QString::fromUtf8(kMsgErroreNominativi) + QStringLiteral("\n\n") + r.message);
}

} // namespace

void prepara_pannello_rubrica(Quadernolo& w)
{
    // The grid fills the panel above the two buttons, which sit centred at its foot.
    const QRect ultimo = w.cmd_del_nomi->geometry();
    w.Picture3->resize(ultimo.right() + 1 + w.cmd_mod_nomi->x(), w.Picture3->height());
    w.DataGridAC->move(0, 0);
    w.DataGridAC->setSelectionBehavior(QAbstractItemView::SelectRows);
    w.DataGridAC->setSelectionMode(QAbstractItemView::SingleSelection);
    w.DataGridAC->setEditTriggers(QAbstractItemView::NoEditTriggers);
    w.DataGridAC->verticalHeader()->setDefaultSectionSize(tw(285));
}

void Quadernolo::cerca_in_elenco(const QString& text)
{
    collega_rubrica();
    // The panel hangs under the name box, as wide as the mask from the box on.
    QLineEdit* nome = Frm_mask->txt_mask1[kNome];
    const QPoint sotto = nome->mapTo(Pic_nomi->parentWidget(), QPoint(0, nome->height()));
    const int larghezza = Frm_mask->width() - nome->mapTo(Frm_mask, QPoint(0, 0)).x() + tw(500);
    Pic_nomi->setGeometry(sotto.x(), sotto.y(), larghezza, tw(3400));
    Picture3->move((Pic_nomi->width() - Picture3->width()) / 2, Pic_nomi->height() - Picture3->height() - tw(100));
    DataGridAC->resize(Pic_nomi->width() - tw(50), Picture3->y() - DataGridAC->y() - tw(30));

    // The record's row id, last, stays out of sight in the grid.
    const BoundQuery ricerca = cerca_in_elenco_query(text);
    Ado_nomi->setRecordSource(ricerca.sql, ricerca.params);
    const DbResult r = Ado_nomi->Refresh();
    collegaGriglia(*this);
    mostraPannello(*this);
    if (!r.ok())
        erroreRubrica(r);
}

void Quadernolo::DataGridAC_DblClick()
{
    const std::shared_ptr<Recordset> nomi = Ado_nomi->Recordset();
    const std::shared_ptr<Recordset> riga = ado_mittenti->Recordset();
    DbResult errore;
    {
        // The row is filled by the program: the name box's look-up stays quiet.
        const QScopedValueRollback<bool> modifica(m_p_modifica, true);
        if (suUnRecord(nomi) && suUnRecord(riga)) {
            // Text typed in the boxes goes into the row first, so that showing the row again loses nothing.
            (void)binder->commitAll(ado_mittenti);
            QVariantMap valori;
            copia_in_corrispondente(recordCorrente(*nomi), &valori);
            for (const QString& campo : campiAnagrafici()) {
                if (!valori.contains(campo))
                    continue;
                const DbResult r = riga->setValue(campo, valori.value(campo));
                if (!r.ok() && errore.ok())
                    errore = r;
            }
        }
        Pic_nomi->hide();
    }
    (void)schede::mostra_errore_ado(errore);
    Frm_mask->txt_mask1[kUfficioCompetente]->setFocus(Qt::OtherFocusReason);
}

void Quadernolo::cmd_del_nomi_Click()
{
    const std::shared_ptr<Recordset> rs = nominativoScelto(*this);
    if (!rs || !askYesNo(QString::fromUtf8(kMsgConfermaEliminazione)))
        return;
    DbResult r = rs->deleteCurrent();
    if (r.ok())
        r = rs->updateBatch();
    if (!r.ok()) {
        // Nothing was deleted: the record comes back into the grid.
        rs->cancelBatch();
        erroreRubrica(r);
        return;
    }
    r = rs->requery();
    if (!r.ok())
        erroreRubrica(r);
    if (!aperto(rs) || rs->recordCount() == 0)
        Pic_nomi->hide();
}

void Quadernolo::cmd_mod_nomi_Click()
{
    const std::shared_ptr<Recordset> rs = nominativoScelto(*this);
    if (!suUnRecord(rs))
        return;
    DbResult r;
    const std::shared_ptr<Connection> db = DataControl::connectionFor(Ado_nomi->ConnectionString(), &r);
    if (!db) {
        erroreRubrica(r);
        return;
    }
    AddressBook rubrica(db);
    {
        // While the dialog is open its own town box takes the town picks (p_frm_nomi()).
        frm_nominativi dialog(&rubrica, recordCorrente(*rs), this);
        dialog.exec();
    }

    // The look-up again, so that the grid shows the record as it now stands.
    r = Ado_nomi->Refresh();
    collegaGriglia(*this);
    mostraPannello(*this);
    if (!r.ok())
        erroreRubrica(r);
}

bool Quadernolo::p_frm_nomi() const
{
    return findChild<frm_nominativi*>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
}

void Quadernolo::aggiorna_nominativi()
{
    const std::shared_ptr<Recordset> rs = ado_mittenti->Recordset();
    if (!aperto(rs) || rs->recordCount() == 0)
        return;
    DbResult r;
    const std::shared_ptr<Connection> db = DataControl::connectionFor(Ado_nomi->ConnectionString(), &r);
    if (!db) {
        msgBox(QString::fromUtf8(kMsgErroreNominativi));
        return;
    }
    AddressBook rubrica(db);
    const UpdateOutcome esito = rubrica.aggiorna_nominativi(righe(*rs), [] {
        return msgBox(QString::fromUtf8(kMsgAggiornoArchivio), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
    });
    if (!esito.error.ok()) {
        msgBox(QString::fromUtf8(kMsgErroreNominativi));
        return;
    }
    rs->moveFirst();
}

} // namespace quad
