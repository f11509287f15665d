// The address-book panel: the look-up under the name box while a new entry is typed, the pick
// into the current correspondent row, deletion and correction of a name, and the check that
// offers to add the correspondents of a confirmed entry.
#include "address_book_panel.h"

#include "control_factory.h"
#include "data_control.h"
#include "entry_helpers.h"
#include "entry_mask.h"
#include "field_binding.h"
#include "frm_nominativi.h"

#include "address_book.h"
#include "message_service.h"
#include "open_register.h"
#include "recordset.h"
#include "recordset_model.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>

#include <algorithm>

namespace quad {

namespace {

using schede::aperto;
using schede::suUnRecord;

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

void erroreRubrica(const DbResult& r)
{
    msgBox(QString::fromUtf8(kMsgErroreNominativi) + QStringLiteral("\n\n") + r.message);
}

} // namespace

using namespace controls;

AddressBookPanel::AddressBookPanel(OpenRegister& registro, EntryMask& maschera, QWidget* parent)
    : QFrame(parent)
    , m_registro(registro)
    , m_maschera(maschera)
{
    setObjectName(QStringLiteral("Pic_nomi"));
    setAutoFillBackground(true);
    setGeometry(tw(300), tw(2600), tw(8000), tw(3000));
    Picture3 = nominato(new QWidget(this), QStringLiteral("Picture3"));
    Picture3->setGeometry(0, 0, tw(8000), tw(420));
    cmd_mod_nomi = bottone(Picture3, "cmd_mod_nomi", QStringLiteral("Correggi"), QRect(4, 2, tw(1200), tw(360)));
    cmd_del_nomi
        = bottone(Picture3, "cmd_del_nomi", QStringLiteral("Elimina"), QRect(8 + tw(1200), 2, tw(1200), tw(360)));
    DataGridAC = nominato(new QTableView(this), QStringLiteral("DataGridAC"));
    DataGridAC->setGeometry(0, tw(420), tw(8000), tw(2580));
    hide();

    // The grid fills the panel above the two buttons, which sit centred at its foot.
    const QRect ultimo = cmd_del_nomi->geometry();
    Picture3->resize(ultimo.right() + 1 + cmd_mod_nomi->x(), Picture3->height());
    DataGridAC->move(0, 0);
    DataGridAC->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGridAC->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGridAC->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGridAC->verticalHeader()->setDefaultSectionSize(tw(285));

    // The focus stays in the name box while the panel is shown: nothing in it takes the focus,
    // and the name box leaving it, or Escape there, closes the panel.
    for (QWidget* w : std::initializer_list<QWidget*> {DataGridAC, cmd_mod_nomi, cmd_del_nomi})
        w->setFocusPolicy(Qt::NoFocus);
    m_maschera.casella(EntryMask::Nominativo)->installEventFilter(this);
    // A click on the panel where it shows no name and no button goes to what lies beneath.
    for (QWidget* w : std::initializer_list<QWidget*> {this, Picture3, DataGridAC->viewport(),
                                                       DataGridAC->horizontalHeader()->viewport(),
                                                       DataGridAC->verticalHeader()->viewport()})
        w->installEventFilter(this);

    connect(cmd_del_nomi, &QPushButton::clicked, this, &AddressBookPanel::cmd_del_nomi_Click);
    connect(cmd_mod_nomi, &QPushButton::clicked, this, &AddressBookPanel::cmd_mod_nomi_Click);
    connect(DataGridAC, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const std::shared_ptr<Recordset> rs = m_registro.addressBookSource().Recordset();
        if (!index.isValid() || !rs || !rs->isOpen() || index.row() >= rs->recordCount())
            return;
        rs->setCurrentRow(index.row());
        DataGridAC_DblClick();
    });
}

bool AddressBookPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (!isVisible())
        return QFrame::eventFilter(watched, event);
    if (watched == m_maschera.casella(EntryMask::Nominativo)) {
        if (event->type() == QEvent::FocusOut) {
            // A message box or a dialog over the window does not take the clerk out of the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                hide();
        } else if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            hide();
            return true;
        }
        return QFrame::eventFilter(watched, event);
    }
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
        return QFrame::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    const QPoint punto = static_cast<QMouseEvent*>(event)->position().toPoint();
    const bool suUnNome = (widget == DataGridAC->viewport() && DataGridAC->indexAt(punto).isValid())
        || (widget == DataGridAC->verticalHeader()->viewport()
            && DataGridAC->verticalHeader()->logicalIndexAt(punto) >= 0);
    if (suUnNome)
        return QFrame::eventFilter(watched, event);
    vaiSotto(widget->mapToGlobal(punto));
    return true;
}

void AddressBookPanel::vaiSotto(const QPoint& globale)
{
    hide();
    QWidget* finestra = window();
    QWidget* sotto = finestra->childAt(finestra->mapFromGlobal(globale));
    auto* casella = qobject_cast<QLineEdit*>(sotto);
    if (!casella || !casella->isEnabled() || !(casella->focusPolicy() & Qt::ClickFocus))
        return;
    casella->setFocus(Qt::MouseFocusReason);
    casella->setCursorPosition(casella->cursorPositionAt(casella->mapFromGlobal(globale)));
}

void AddressBookPanel::scollega()
{
    DataGridAC->setModel(nullptr);
}

/// The address book's recordset on the record chosen in the panel's grid; null, after telling
/// the clerk to choose one, when no row is chosen.
std::shared_ptr<Recordset> AddressBookPanel::nominativoScelto()
{
    const std::shared_ptr<Recordset> rs = m_registro.addressBookSource().Recordset();
    const QModelIndexList scelte = righeScelte(DataGridAC);
    if (scelte.isEmpty() || !aperto(rs)) {
        msgBox(QString::fromUtf8(kMsgSelezionareNominativo));
        return nullptr;
    }
    rs->setCurrentRow(scelte.first().row());
    return rs;
}

/// Shows the address-book data control's recordset in the panel's grid.
void AddressBookPanel::collegaGriglia()
{
    QTableView* grid = DataGridAC;
    QItemSelectionModel* vecchiaSelezione = grid->selectionModel();
    const QList<RecordsetModel*> vecchi = grid->findChildren<RecordsetModel*>(QString(), Qt::FindDirectChildrenOnly);
    const std::shared_ptr<Recordset> rs = m_registro.addressBookSource().Recordset();
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
        // Each column as wide as what it shows (a tax code whole), a long name no wider than a
        // third of the grid.
        grid->resizeColumnsToContents();
        for (int c = 0; c < model->columnCount(); ++c)
            grid->setColumnWidth(c, std::min(grid->columnWidth(c), std::max(tw(1500), grid->width() / 3)));
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
void AddressBookPanel::mostraPannello()
{
    const std::shared_ptr<Recordset> rs = m_registro.addressBookSource().Recordset();
    if (aperto(rs) && rs->recordCount() > 0) {
        show();
        raise();
        DataGridAC->raise();
    } else {
        hide();
    }
}

void AddressBookPanel::cerca_in_elenco(const QString& text)
{
    // The panel hangs under the name box, as wide as the mask from the box on, inside the window.
    QLineEdit* nome = m_maschera.casella(EntryMask::Nominativo);
    const QWidget* maschera = &m_maschera;
    const QPoint sotto = nome->mapTo(parentWidget(), QPoint(0, nome->height()));
    const int larghezza = std::min(maschera->width() - nome->mapTo(maschera, QPoint(0, 0)).x() + tw(500),
                                   parentWidget()->width() - sotto.x());
    setGeometry(sotto.x(), sotto.y(), larghezza, std::min(tw(3400), parentWidget()->height() - sotto.y()));
    Picture3->move((width() - Picture3->width()) / 2, height() - Picture3->height() - tw(100));
    DataGridAC->resize(width() - tw(50), Picture3->y() - DataGridAC->y() - tw(30));

    // The record's row id, last, stays out of sight in the grid.
    const BoundQuery ricerca = cerca_in_elenco_query(text);
    DataSource& rubrica = m_registro.addressBookSource();
    rubrica.setRecordSource(ricerca.sql, ricerca.params);
    const DbResult r = rubrica.Refresh();
    collegaGriglia();
    mostraPannello();
    if (!r.ok())
        erroreRubrica(r);
}

void AddressBookPanel::DataGridAC_DblClick()
{
    const std::shared_ptr<Recordset> nomi = m_registro.addressBookSource().Recordset();
    const std::shared_ptr<Recordset> riga = m_registro.correspondents();
    DbResult errore;
    {
        // The row is filled by the program: the name box's look-up stays quiet.
        const QScopedValueRollback<bool> modifica(m_p_modifica, true);
        if (suUnRecord(nomi) && suUnRecord(riga)) {
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
        hide();
    }
    (void)schede::mostra_errore_ado(errore);
    m_maschera.casella(EntryMask::Ufficio_competente)->setFocus(Qt::OtherFocusReason);
}

void AddressBookPanel::cmd_del_nomi_Click()
{
    const std::shared_ptr<Recordset> rs = nominativoScelto();
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
        hide();
}

void AddressBookPanel::cmd_mod_nomi_Click()
{
    const std::shared_ptr<Recordset> rs = nominativoScelto();
    if (!suUnRecord(rs))
        return;
    DbResult r;
    const std::shared_ptr<Connection> db
        = DataSource::connectionFor(m_registro.addressBookSource().ConnectionString(), &r);
    if (!db) {
        erroreRubrica(r);
        return;
    }
    AddressBook rubrica(db);
    {
        // While the dialog is open its own town box takes the town picks (p_frm_nomi()).
        frm_nominativi dialog(&rubrica, recordCorrente(*rs), window());
        dialog.exec();
    }

    // The look-up again, so that the grid shows the record as it now stands.
    r = m_registro.addressBookSource().Refresh();
    collegaGriglia();
    mostraPannello();
    if (!r.ok())
        erroreRubrica(r);
}

bool AddressBookPanel::p_frm_nomi() const
{
    return window()->findChild<frm_nominativi*>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
}

void AddressBookPanel::aggiorna_nominativi()
{
    const std::shared_ptr<Recordset> rs = m_registro.correspondents();
    if (!aperto(rs) || rs->recordCount() == 0)
        return;
    DbResult r;
    const std::shared_ptr<Connection> db
        = DataSource::connectionFor(m_registro.addressBookSource().ConnectionString(), &r);
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
