// The register grid of the main window: binding, captions, shown columns, stored widths,
// colour by filter state and the count in the status line.
#include "column_mask.h"
#include "data_control.h"
#include "frmquickfind1.h"
#include "main_window.h"
#include "message_service.h"

#include "my_func.h"
#include "program_folder.h"
#include "recordset_model.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>

namespace quad {

void Quadernolo::collega_griglia()
{
    // Column state set by the program is not the clerk's resize.
    const QScopedValueRollback<bool> guard(m_gridProgrammatic, true);
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!rs) {
        scollega_griglia();
        return;
    }
    QAbstractItemModel* vecchio = DataGrid1->model();
    auto* model = new RecordsetModel(rs.get(), DataGrid1);
    DataGrid1->setModel(model);
    if (vecchio && vecchio->parent() == DataGrid1)
        delete vecchio;
    // Bound afresh, every column shows at the default width.
    m_hiddenWidths.clear();
    QHeaderView* intestazione = DataGrid1->horizontalHeader();
    for (int i = 0; i < model->columnCount(); ++i) {
        DataGrid1->setColumnHidden(i, false);
        intestazione->resizeSection(i, intestazione->defaultSectionSize());
    }

    // The grid's current row and the register's current record follow each other.
    connect(DataGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, model,
            [this, model](const QModelIndex& current) {
                Recordset* r = model->recordset();
                if (m_gridSync || !r || !current.isValid() || current.row() == r->currentRow())
                    return;
                const QScopedValueRollback<bool> sync(m_gridSync, true);
                r->setCurrentRow(current.row());
            });
    const auto seguiRecord = [this, model](int row) {
        if (m_gridSync || row < 0 || DataGrid1->model() != model)
            return;
        const QScopedValueRollback<bool> sync(m_gridSync, true);
        const QModelIndex current = DataGrid1->currentIndex();
        DataGrid1->setCurrentIndex(model->index(row, current.isValid() ? current.column() : 0));
    };
    connect(model, &RecordsetModel::currentRowChanged, this, seguiRecord);
    seguiRecord(rs->currentRow());
}

void Quadernolo::scollega_griglia()
{
    const QScopedValueRollback<bool> guard(m_gridProgrammatic, true);
    QAbstractItemModel* vecchio = DataGrid1->model();
    DataGrid1->setModel(nullptr);
    if (vecchio && vecchio->parent() == DataGrid1)
        delete vecchio;
    m_hiddenWidths.clear();
}

void Quadernolo::colore_griglia_filtro()
{
    const bool filtro = toolbarButton(QStringLiteral("tb_filtro_off"))->isChecked();
    QPalette pal = DataGrid1->palette();
    pal.setColor(QPalette::Base, filtro ? QColor(0xFF, 0xFF, 0xC0) : QColor(0xFF, 0xFF, 0xFF));
    DataGrid1->setPalette(pal);
}

void Quadernolo::rilascia_pulsante_filtro()
{
    QAction* filtro = toolbarButton(QStringLiteral("tb_filtro_off"));
    filtro->setChecked(false);
    colore_griglia_filtro();
    filtro->setText(QStringLiteral("Filtro on"));
    filtro->setToolTip(QStringLiteral("Imposta filtro"));
}

void Quadernolo::aggiorna_totale_schede()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const bool filtro = rs && rs->isOpen() && rs->hasFilter();
    QString testo = QStringLiteral("   Totale schede : ") + QString::number(conta_schede());
    if (filtro)
        testo += QStringLiteral("  [Filtro inserito !]");
    lbl_filtro_ins->setVisible(filtro);
    Adodc1->setCaption(testo);
    lbl_filtro->setText(Adodc1->Caption());
}

void Quadernolo::imposta_intestazioni_griglia()
{
    auto* model = qobject_cast<RecordsetModel*>(DataGrid1->model());
    if (!model)
        return;
    const QScopedValueRollback<bool> guard(m_gridProgrammatic, true);
    const std::pair<int, const char*> intestazioni[]
        = {{0, "N."},         {1, "E/U"}, {2, "Data"},    {4, "Tipo"},         {5, "N. all."},
           {6, "Quad. rif."}, {7, "del"}, {8, "oggetto"}, {16, "Nota Annulla"}};
    for (const auto& [colonna, testo] : intestazioni) {
        if (colonna < model->columnCount())
            model->setHeaderCaption(colonna, QString::fromUtf8(testo));
    }
    for (int colonna : {1, 3}) {
        if (colonna < model->columnCount())
            DataGrid1->setColumnHidden(colonna, false);
    }
    if (18 < model->columnCount() && !DataGrid1->isColumnHidden(18)) {
        m_hiddenWidths[18] = toTwips(DataGrid1->columnWidth(18));
        DataGrid1->setColumnHidden(18, true);
    }
    // A column is at least as wide as its caption; the stored widths, applied afterwards, still win.
    QHeaderView* intestazione = DataGrid1->horizontalHeader();
    for (int colonna = 0; colonna < model->columnCount(); ++colonna) {
        const int serve = intestazione->sectionSizeHint(colonna);
        if (!DataGrid1->isColumnHidden(colonna) && intestazione->sectionSize(colonna) < serve)
            intestazione->resizeSection(colonna, serve);
    }
}

void Quadernolo::posiziona_griglia()
{
    const int barra = pic_tool_orizz->height();
    const int cw = centralWidget()->width();
    const int ch = centralWidget()->height();
    DataGrid1->setGeometry(0, barra, cw, std::max(0, ch - Adodc1->height() - barra - tw(300)));
}

void Quadernolo::imposta_colonne_griglia()
{
    posiziona_griglia();
    Frame1->hide();
    DataGrid1->show();
    cmd_colonne->move(DataGrid1->x(), DataGrid1->y());
    cmd_colonne->show();
    cmd_colonne->raise();
}

void Quadernolo::carica_colonne_griglia()
{
    auto* model = DataGrid1->model();
    if (!model)
        return;
    const QString larghezze = leggi_ini(iniPath(), QStringLiteral("GRID_WIDTH"), QStringLiteral("Entrata"), QString());
    // The stored value ends in "_": its last part is empty and not a width.
    QStringList parti;
    if (!larghezze.trimmed().isEmpty()) {
        parti = larghezze.split(QLatin1Char('_'));
        parti.removeLast();
    }
    const QScopedValueRollback<bool> guard(m_gridProgrammatic, true);
    const QString maschera = maschera_colonne(state.p_eln_colonne, model->columnCount());
    // The hiding rules reach every column, also those without a stored width.
    for (int i = 0; i < model->columnCount(); ++i) {
        const QString intestazione = model->headerData(i, Qt::Horizontal).toString();
        bool ok = false;
        const int twips = i < parti.size() ? parti[i].trimmed().toInt(&ok) : 0;
        if (campo_sistema(intestazione) || colonna_esclusa(maschera, i)) {
            // A hidden column keeps its stored width for the next save.
            if (!DataGrid1->isColumnHidden(i)) {
                m_hiddenWidths[i] = ok && twips >= 0 ? twips : toTwips(DataGrid1->columnWidth(i));
                DataGrid1->setColumnHidden(i, true);
            }
            continue;
        }
        if (!ok || twips < 0)
            continue; // no stored width, or a malformed one: the column keeps its width
        if (DataGrid1->isColumnHidden(i))
            m_hiddenWidths[i] = twips;
        DataGrid1->setColumnWidth(i, tw(twips));
    }
}

void Quadernolo::salva_larghezza_colonne()
{
    QString testo;
    const int colonne = DataGrid1->model() ? DataGrid1->model()->columnCount() : 0;
    for (int i = 0; i < colonne; ++i) {
        // A hidden column keeps the width it had when it was hidden.
        const int twips = DataGrid1->isColumnHidden(i) ? m_hiddenWidths.value(i, toTwips(DataGrid1->columnWidth(i)))
                                                       : toTwips(DataGrid1->columnWidth(i));
        testo += QString::number(twips) + QLatin1Char('_');
    }
    QString errore;
    if (!scrivi_ini(iniPath(), QStringLiteral("GRID_WIDTH"), QStringLiteral("Entrata"), testo, &errore))
        warn(QStringLiteral("ATTENZIONE !\n\n") + errore);
}

void Quadernolo::DataGrid1_ColResize(int ColIndex)
{
    Q_UNUSED(ColIndex);
    salva_larghezza_colonne();
}

void Quadernolo::DataGrid1_HeadClick(int ColIndex)
{
    const QAbstractItemModel* model = DataGrid1->model();
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!model || !rs || ColIndex < 0 || ColIndex >= model->columnCount())
        return;
    const QModelIndex current = DataGrid1->currentIndex();
    const int row = current.isValid() ? current.row() : rs->currentRow();
    if (row < 0 || row >= model->rowCount())
        return;
    DataGrid1->setCurrentIndex(model->index(row, ColIndex));
    // Typing goes on to the quick find of that column.
    DataGrid1->setFocus(Qt::MouseFocusReason);
}

void Quadernolo::DataGrid1_DblClick()
{
    Toolbar1_ButtonClick(Toolbar1_Buttons(1));
    mostra_intestazione();
    mostra_anteprima_collegamento();
}

bool Quadernolo::DataGrid1_KeyDown(QKeyEvent* event)
{
    // A character typed on a column starts the quick find on that column's field. The key is
    // used up: the grid's own search by typing would move the register again.
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const QModelIndex current = DataGrid1->currentIndex();
    if (!rs || !rs->isOpen() || rs->recordCount() < 1 || !current.isValid() || current.column() >= rs->fieldCount())
        return false;
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isPrint() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    return apri_ricerca_rapida(this, rs, rs->field(current.column()).uniqueName, typed, QString(),
                               [this] { mostra_nodo_corrente(); });
}

void Quadernolo::cmd_colonne_Click()
{
    cmd_focus->setFocus();
    apri_scelta_colonne();
    // Whatever was chosen, the columns are built again from the recordset.
    collega_griglia();
    imposta_intestazioni_griglia();
    carica_colonne_griglia();
}

} // namespace quad
