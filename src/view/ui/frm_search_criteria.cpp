// The search dialog's criteria list, its drop-down lists, and the advanced filter.
#include "criteria_model.h"
#include "frm_search.h"

#include "advanced_criteria.h"
#include "control_factory.h" // tw(): design positions in twips
#include "entry_helpers.h"
#include "field_filter.h"
#include "search_caller.h"

#include "message_service.h"
#include "recordset.h"

#include <QComboBox>
#include <QCursor>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

namespace quad {

namespace {

const char* const kCampi[] = {"OPERATORE_UNIONE", "NOME_CAMPO", "OPERATORE_FILTRO", "CRITERIO"};
const int kMisure[] = {20, 255, 20, 255};
const char* const kIntestazioni[] = {"Operatore", "Campo", "Condizione", "Criterio"};

QString testo(const QVariant& value)
{
    return value.isNull() ? QString() : value.toString();
}

} // namespace

void frmSearch::creaCriteri()
{
    frAdvSearch = new QGroupBox(QStringLiteral("Opzioni di ricerca avanzate"), this);
    frAdvSearch->setObjectName(QStringLiteral("frAdvSearch"));
    frAdvSearch->setGeometry(tw(120), tw(2280), tw(8025), tw(4320));
    gridFilter = new QTableView(frAdvSearch);
    gridFilter->setObjectName(QStringLiteral("gridFilter"));
    gridFilter->setGeometry(tw(120), tw(300), tw(7785), tw(3480));
    gridFilter->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                | QAbstractItemView::AnyKeyPressed);
    gridFilter->setItemDelegate(new CriteriaDelegate(gridFilter));
    gridFilter->installEventFilter(this);
    // Rows picked by their headers are selected for deletion, without opening a list.
    m_intestazioneRighe = gridFilter->verticalHeader()->viewport();
    m_intestazioneRighe->installEventFilter(this);
    lstDropDown = new QListWidget(frAdvSearch);
    lstDropDown->setObjectName(QStringLiteral("lstDropDown"));
    lstDropDown->hide();
    lstDropDown->installEventFilter(this);
    cmdExecAdvSearch = new QPushButton(QStringLiteral("Filtra"), frAdvSearch);
    cmdExecAdvSearch->setObjectName(QStringLiteral("cmdExecAdvSearch"));
    cmdExecAdvSearch->setToolTip(QStringLiteral("Filtra in base ai criteri specificati "));
    cmdExecAdvSearch->setGeometry(tw(120), tw(3870), tw(900), tw(360));
    cmdExecAdvSearch->setAutoDefault(false);
    adodcAdvSearch = new QLabel(QStringLiteral("[Effettuare una ricerca]"), frAdvSearch);
    adodcAdvSearch->setObjectName(QStringLiteral("adodcAdvSearch"));
    adodcAdvSearch->setFrameShape(QFrame::Panel);
    adodcAdvSearch->setGeometry(tw(1080), tw(3870), tw(5880), tw(360));
    cmdFilterSourceRecordset = new QPushButton(QStringLiteral("Filtra origine"), frAdvSearch);
    cmdFilterSourceRecordset->setObjectName(QStringLiteral("cmdFilterSourceRecordset"));
    cmdFilterSourceRecordset->setToolTip(QStringLiteral(" Filtra i dati in base alla ricerca effettuata "));
    cmdFilterSourceRecordset->setGeometry(tw(7020), tw(3870), tw(885), tw(360));
    cmdFilterSourceRecordset->setAutoDefault(false);
    cmdFilterSourceRecordset->hide();
    cmdFilterSourceRecordset->setEnabled(false);

    connect(lstDropDown, &QListWidget::itemDoubleClicked, this, &frmSearch::lstDropDown_DblClick);
    connect(gridFilter, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() <= 2)
            gridFilter_ButtonClick(index.column());
    });
}

void frmSearch::PrepareADVSearch()
{
    lstDropDown->hide();
    auto rs = std::make_shared<Recordset>();
    for (int i = 0; i < 4; ++i)
        rs->appendField(QString::fromLatin1(kCampi[i]), adVarWChar, kMisure[i]);
    rs->openInMemory();
    QAbstractItemModel* vecchio = gridFilter->model();
    m_model = new CriteriaModel(rs.get(), gridFilter);
    for (int i = 0; i < 4; ++i)
        m_model->setHeaderCaption(i, QString::fromLatin1(kIntestazioni[i]));
    gridFilter->setModel(m_model);
    delete vecchio;
    m_rsFilter = rs;
    gridFilter->setColumnWidth(0, 78);
    gridFilter->setColumnWidth(2, 78);
    // The field column shows the longest field name beside its arrow, within a third of the grid.
    int campo = 0;
    for (int i = 0; i < cmbFields->count(); ++i)
        campo = std::max(campo, gridFilter->fontMetrics().horizontalAdvance(cmbFields->itemText(i)));
    // The style keeps a margin on both sides of the text twice: around the item and around its text.
    campo += kFrecciaCriteri + 4 * (gridFilter->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    gridFilter->setColumnWidth(
        1, std::clamp(campo, gridFilter->horizontalHeader()->defaultSectionSize(), gridFilter->width() / 3));
    gridFilter->horizontalHeader()->setStretchLastSection(true);
    connect(m_model, &CriteriaModel::valoreDigitato, this, &frmSearch::valore_digitato);
    connect(gridFilter->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &frmSearch::gridFilter_RowColChange);
}

void frmSearch::scrivi_cella(int row, int column, const QVariant& value)
{
    if (!m_rsFilter || row < 0 || row >= m_rsFilter->recordCount())
        return;
    m_rsFilter->setCurrentRow(row);
    // A text longer than its cell is refused and said so; the cell keeps what it had.
    if (!schede::mostra_errore_ado(m_rsFilter->setValue(column, value)))
        return;
    // A row's field chosen again: its comparison is chosen again too (an empty text always fits).
    if (column == 1)
        (void)m_rsFilter->setValue(2, QString());
}

void frmSearch::valore_digitato(int row, int column, const QString& text)
{
    if (!m_model->riga_nuova(row)) {
        scrivi_cella(row, column, text);
        gridFilter_AfterColUpdate(column, row);
        return;
    }
    // An editor left empty on the new-row line starts nothing.
    if (text.isEmpty())
        return;
    gridFilter_OnAddNew();
    scrivi_cella(row, column, text);
}

void frmSearch::aggiungi_riga_vuota()
{
    m_rsFilter->addNew();
    (void)m_rsFilter->setValue(0, QStringLiteral(" e ")); // fits its cell
}

void frmSearch::gridFilter_OnAddNew()
{
    aggiungi_riga_vuota();
    rendi_corrente(m_rsFilter->currentRow(), 0, false);
}

void frmSearch::rendi_corrente(int row, int column, bool modifica)
{
    // A typed value is written while the grid is still leaving its cell (closing the editor,
    // moving by mouse or arrow key): the cell is made current once that is done.
    const QPersistentModelIndex cella = m_model->index(row, column);
    QTimer::singleShot(0, this, [this, cella, modifica] {
        if (!cella.isValid())
            return;
        gridFilter->setFocus();
        gridFilter->setCurrentIndex(cella);
        if (modifica)
            gridFilter->edit(cella);
    });
}

QList<RigaCriterio> frmSearch::righe_criteri() const
{
    QList<RigaCriterio> righe;
    for (int r = 0; m_rsFilter && r < m_rsFilter->recordCount(); ++r) {
        righe.append({testo(m_rsFilter->valueAt(r, 0)), testo(m_rsFilter->valueAt(r, 1)),
                      testo(m_rsFilter->valueAt(r, 2)), testo(m_rsFilter->valueAt(r, 3))});
    }
    return righe;
}

void frmSearch::FillAdvFieldsList()
{
    lstDropDown->clear();
    for (int i = 0; i < cmbFields->count(); ++i)
        lstDropDown->addItem(cmbFields->itemText(i));
}

void frmSearch::FillAdvOperatorsList(const QString& strF)
{
    lstDropDown->clear();
    const std::shared_ptr<Recordset> registro = m_caller.registro();
    lstDropDown->addItems(operatori_per_tipo(tipo_campo_criterio(registro.get(), strF)));
    if (lstDropDown->count() > 0)
        lstDropDown->setCurrentRow(0);
}

void frmSearch::gridFilter_ButtonClick(int ColIndex)
{
    // One list at a time: an open one closes first.
    lstDropDown->hide();
    lstDropDown->clear();
    if (p_insdate)
        return;
    const QModelIndex cella = gridFilter->currentIndex();
    switch (ColIndex) {
    case 0:
        lstDropDown->addItems({QStringLiteral(" e "), QStringLiteral(" oppure ")});
        lstDropDown->setCurrentRow(0);
        break;
    case 1:
        FillAdvFieldsList();
        lstDropDown->setCurrentRow(0);
        break;
    case 2: {
        const bool riga = cella.isValid() && !m_model->riga_nuova(cella.row());
        const QVariant campo = riga ? m_rsFilter->valueAt(cella.row(), 1) : QVariant();
        if (campo.isNull())
            return;
        FillAdvOperatorsList(campo.toString());
        break;
    }
    default:
        break;
    }
    if (ColIndex < 0 || !cella.isValid())
        return;
    // Under the current cell, up to 8 items tall, as wide as its column or as its longest
    // item if that is wider, and kept inside the frame.
    const QRect rect = gridFilter->visualRect(cella);
    const QPoint sotto = gridFilter->viewport()->mapTo(frAdvSearch, rect.bottomLeft());
    const int voce = lstDropDown->sizeHintForRow(0) > 0 ? lstDropDown->sizeHintForRow(0) : rect.height();
    const int voci = std::min(lstDropDown->count(), 8) + 1;
    int larghezza = lstDropDown->sizeHintForColumn(0) + 2 * lstDropDown->frameWidth();
    if (lstDropDown->count() >= voci)
        larghezza += lstDropDown->verticalScrollBar()->sizeHint().width();
    larghezza = std::max(larghezza, gridFilter->columnWidth(ColIndex));
    const int sinistra = std::max(0, std::min(sotto.x(), frAdvSearch->width() - larghezza));
    lstDropDown->setGeometry(sinistra, sotto.y() + 1, larghezza, voce * voci + 2 * lstDropDown->frameWidth());
    lstDropDown->show();
    lstDropDown->raise();
    lstDropDown->setFocus();
}

void frmSearch::lstDropDown_DblClick()
{
    QListWidgetItem* scelta = lstDropDown->currentItem();
    if (!scelta || !scelta->isSelected())
        return;
    QModelIndex cella = gridFilter->currentIndex();
    if (!cella.isValid())
        return;
    if (m_model->riga_nuova(cella.row())) {
        // A pick on the new-row line starts a criterion; the picked cell stays current.
        QScopedValueRollback<bool> fermo(bCriteriaBusy, true);
        aggiungi_riga_vuota();
        cella = m_model->index(cella.row(), cella.column());
        gridFilter->setCurrentIndex(cella);
    }
    scrivi_cella(cella.row(), cella.column(), scelta->text());
    lstDropDown->hide();
    gridFilter->setFocus();
    const QRect rect = gridFilter->visualRect(cella);
    QCursor::setPos(gridFilter->viewport()->mapToGlobal(rect.center()));
}

void frmSearch::lstDropDown_KeyDown(int KeyCode)
{
    lstDropDown->hide();
    gridFilter->setFocus();
    const QModelIndex cella = gridFilter->currentIndex();
    if (!cella.isValid())
        return;
    const int colonna = cella.column() + (KeyCode == Qt::Key_Left ? -1 : 1);
    if (colonna >= 0 && colonna < m_model->columnCount())
        gridFilter->setCurrentIndex(m_model->index(cella.row(), colonna));
}

void frmSearch::lstDropDown_KeyUp(int KeyCode)
{
    if (KeyCode == Qt::Key_Return || KeyCode == Qt::Key_Enter) {
        lstDropDown_DblClick();
    } else if (KeyCode == Qt::Key_Escape) {
        lstDropDown->hide();
        gridFilter->setFocus();
    }
}

void frmSearch::gridFilter_RowColChange()
{
    const QModelIndex cella = gridFilter->currentIndex();
    if (cella.isValid() && cella.column() <= 2 && !bCriteriaBusy && !m_righeDaIntestazione)
        gridFilter_ButtonClick(cella.column());
}

void frmSearch::gridFilter_AfterColUpdate(int ColIndex, int row)
{
    if (ColIndex != 3 || row < 0 || row >= m_rsFilter->recordCount())
        return;
    const QString operatore = testo(m_rsFilter->valueAt(row, 2));
    if (operatore.isEmpty())
        return; // no comparison chosen yet: the value is checked with the operator
    const std::shared_ptr<Recordset> registro = m_caller.registro();
    const int tipo = tipo_campo_criterio(registro.get(), testo(m_rsFilter->valueAt(row, 1)));
    if (ValidateUserInputCriteria(testo(m_rsFilter->valueAt(row, 3)), tipo))
        return;
    // Typed again from scratch: the cell is emptied and takes the caret.
    scrivi_cella(row, 3, QString());
    rendi_corrente(row, 3, true);
}

void frmSearch::gridFilter_KeyUp(int KeyCode)
{
    if (KeyCode == Qt::Key_Insert) {
        aggiungi_riga_vuota();
    } else if (KeyCode == Qt::Key_Delete) {
        // The current cell moves as its row goes: no list opens for it.
        QScopedValueRollback<bool> fermo(bCriteriaBusy, true);
        QList<Bookmark> scelte;
        for (const QModelIndex& riga : gridFilter->selectionModel()->selectedRows()) {
            if (!m_model->riga_nuova(riga.row()))
                scelte.append(m_rsFilter->bookmarkAt(riga.row()));
        }
        for (Bookmark b : scelte) {
            if (m_rsFilter->setBookmark(b))
                (void)schede::mostra_errore_ado(m_rsFilter->deleteCurrent());
        }
    }
}

void frmSearch::mostra_stato(const QString& testo)
{
    // An empty status shows nothing, not an empty frame.
    adodcAdvSearch->setText(testo);
    adodcAdvSearch->setVisible(!testo.isEmpty());
}

void frmSearch::cmdExecAdvSearch_Click()
{
    DoAdvSearch();
}

void frmSearch::criteri_non_validi()
{
    cmdFilterSourceRecordset->setEnabled(false);
    mostra_stato(QStringLiteral("[Criteri di ricerca non validi!]"));
}

void frmSearch::DoAdvSearch()
{
    const std::shared_ptr<Recordset> registro = m_caller.registro();
    bCriteriaBusy = true;
    const QList<RigaCriterio> righe = righe_criteri();
    bCriteriaBusy = false;
    // The whole expression is built and checked before the register is touched: a list that
    // does not make a filter leaves the register, its filter and the window as they were.
    const FiltroAvanzato filtro = registro ? costruisci_filtro(righe, *registro) : FiltroAvanzato();
    if (!filtro.valido) {
        criteri_non_validi();
        return;
    }
    if (!m_caller.verifica_modifiche())
        return;
    if (!registro->setFilter(filtro.testo).ok()) {
        criteri_non_validi();
        return;
    }
    if (registro->recordCount() < 1) {
        mostra_stato(QStringLiteral("[Record non trovato]"));
        msgBox(QStringLiteral("Nessun record soddisfa la query impostata."), MsgIcon::Exclamation, MsgButtons::Ok,
               m_caller.titolo_messaggi());
        togli_filtro(m_caller, false);
        return;
    }
    m_caller.imposta_pulsante_filtro(true);
    mostra_stato(QString());
    m_caller.aggiorna_totale();
    registro->moveFirst();
    cmdFilterSourceRecordset->setEnabled(true);
    m_caller.record_trovato();
}

void frmSearch::BuildFilterFromString(const QString& strString)
{
    const QList<RigaCriterio> righe = righe_da_testo(strString);
    if (righe.isEmpty())
        return;
    bCriteriaBusy = true;
    for (const RigaCriterio& riga : righe) {
        m_rsFilter->addNew();
        const QString celle[] = {riga.unione, riga.campo, riga.operatore, riga.criterio};
        for (int j = 0; j < 4; ++j) {
            if (!celle[j].isNull())
                (void)schede::mostra_errore_ado(m_rsFilter->setValue(j, celle[j]));
        }
    }
    bCriteriaBusy = false;
}

} // namespace quad
