// The register grid of the main window: binding, captions, shown columns, stored widths,
// colour by filter state and the count in the status line.
#include "column_mask.h"
#include "data_control.h"
#include "frmquickfind1.h"
#include "main_window.h"

#include "recordset_model.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace quad {

void Quadernolo::collega_griglia()
{
    DataGrid1->bind(Adodc1->Recordset());
}

void Quadernolo::scollega_griglia()
{
    DataGrid1->unbind();
}

void Quadernolo::colore_griglia_filtro()
{
    DataGrid1->setFilterColour(pic_tool_orizz->toolbarButton(QStringLiteral("tb_filtro_off"))->isChecked());
}

void Quadernolo::rilascia_pulsante_filtro()
{
    pic_tool_orizz->mostra_filtro(false);
    colore_griglia_filtro();
}

void Quadernolo::aggiorna_totale_schede()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const bool filtro = rs && rs->isOpen() && rs->hasFilter();
    QString testo = QStringLiteral("   Totale schede : ") + QString::number(conta_schede());
    if (filtro)
        testo += QStringLiteral("  [Filtro inserito !]");
    Frm_mask->lbl_filtro_ins->setVisible(filtro);
    Adodc1->setCaption(testo);
    pic_move->lbl_filtro->setText(Adodc1->Caption());
}

void Quadernolo::imposta_intestazioni_griglia()
{
    RecordsetModel* model = DataGrid1->recordsetModel();
    if (!model)
        return;
    DataGrid1->setCaptions({{0, QStringLiteral("N.")},
                            {1, QStringLiteral("E/U")},
                            {2, QStringLiteral("Data")},
                            {4, QStringLiteral("Tipo")},
                            {5, QStringLiteral("N. all.")},
                            {6, QStringLiteral("Quad. rif.")},
                            {7, QStringLiteral("del")},
                            {8, QStringLiteral("oggetto")},
                            {16, QStringLiteral("Nota Annulla")}});
    DataGrid1->byProgram([this, model] {
        for (int colonna : {1, 3}) {
            if (colonna < model->columnCount())
                DataGrid1->setColumnHidden(colonna, false);
        }
        if (18 < model->columnCount())
            DataGrid1->hideKeepingWidth(18);
        // A column is at least as wide as its caption; the stored widths, applied afterwards,
        // still win.
        QHeaderView* intestazione = DataGrid1->horizontalHeader();
        for (int colonna = 0; colonna < model->columnCount(); ++colonna) {
            const int serve = intestazione->sectionSizeHint(colonna);
            if (!DataGrid1->isColumnHidden(colonna) && intestazione->sectionSize(colonna) < serve)
                intestazione->resizeSection(colonna, serve);
        }
    });
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
    const QAbstractItemModel* model = DataGrid1->model();
    if (!model)
        return;
    const QString maschera = maschera_colonne(state.p_eln_colonne, model->columnCount());
    // The hiding rules reach every column, also those without a stored width.
    DataGrid1->loadWidths([&maschera](int colonna, const QString& intestazione) {
        return campo_sistema(intestazione) || colonna_esclusa(maschera, colonna);
    });
}

void Quadernolo::salva_larghezza_colonne()
{
    DataGrid1->saveWidths();
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
    Toolbar1_ButtonClick(pic_tool_orizz->Toolbar1_Buttons(1));
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
