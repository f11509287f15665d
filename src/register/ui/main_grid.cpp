// The register grid of the register's window: binding, captions, shown columns, stored widths
// and colour by filter state.
#include "main_grid.h"

#include "column_mask.h"
#include "control_factory.h"
#include "frm_sel_campi.h"
#include "frmquickfind1.h"
#include "register_grid.h"

#include "open_register.h"
#include "recordset_model.h"
#include "register_settings.h"

#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace quad {

using namespace controls;

MainGrid::MainGrid(OpenRegister& registro, RegisterSettings& impostazioni, QWidget* fuoco, QWidget* area)
    : QObject(area)
    , m_registro(registro)
    , m_impostazioni(impostazioni)
    , m_fuoco(fuoco)
{
    DataGrid1 = nominato(new RegisterGrid(GridWidthStore(QStringLiteral("GRID_WIDTH"), QStringLiteral("Entrata"),
                                                         GridWidthStore::Reading::Whole),
                                          area),
                         QStringLiteral("DataGrid1"));
    // The current cell shows on its own (the quick find and the one-field filter act on its
    // column); rows are chosen for the transfer file by their headers.
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DataGrid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->setAutoFillBackground(true);
    DataGrid1->verticalHeader()->setDefaultSectionSize(tw(285));
    DataGrid1->hide();
    cmd_colonne = bottone(area, "cmd_colonne", QStringLiteral("..."), QRect(0, 0, tw(300), tw(300)),
                          QStringLiteral("Imposta le colonne da visualizzare"));
    cmd_colonne->hide();

    connect(DataGrid1, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const std::shared_ptr<Recordset> rs = m_registro.registerRows();
        if (index.isValid() && rs)
            rs->setCurrentRow(index.row());
        emit DataGrid1_DblClick();
    });
    // A column header makes its column current, in the current row; it selects no column.
    QObject::disconnect(DataGrid1->horizontalHeader(), SIGNAL(sectionPressed(int)), DataGrid1, nullptr);
    QObject::disconnect(DataGrid1->horizontalHeader(), SIGNAL(sectionEntered(int)), DataGrid1, nullptr);
    connect(DataGrid1->horizontalHeader(), &QHeaderView::sectionPressed, this, &MainGrid::DataGrid1_HeadClick);
    connect(DataGrid1, &RegisterGrid::columnResized, this, &MainGrid::DataGrid1_ColResize);
    connect(cmd_colonne, &QPushButton::clicked, this, &MainGrid::cmd_colonne_Click);
    // A character typed in the grid goes to the quick find.
    DataGrid1->installEventFilter(this);
}

bool MainGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DataGrid1 && event->type() == QEvent::KeyPress)
        return DataGrid1_KeyDown(static_cast<QKeyEvent*>(event));
    return QObject::eventFilter(watched, event);
}

QTableView* MainGrid::vista() const
{
    return DataGrid1;
}

bool MainGrid::visibile() const
{
    return !DataGrid1->isHidden();
}

QRect MainGrid::geometria() const
{
    return DataGrid1->geometry();
}

QModelIndex MainGrid::cella_corrente() const
{
    return DataGrid1->currentIndex();
}

std::vector<Bookmark> MainGrid::righe_scelte() const
{
    std::vector<Bookmark> segni;
    const std::shared_ptr<Recordset> rs = m_registro.registerRows();
    QItemSelectionModel* selezione = DataGrid1->selectionModel();
    if (!rs || !selezione)
        return segni;
    for (const QItemSelectionRange& tratto : selezione->selection()) {
        for (int r = tratto.top(); r <= tratto.bottom(); ++r) {
            const Bookmark segno = rs->bookmarkAt(r);
            if (segno != 0 && std::find(segni.begin(), segni.end(), segno) == segni.end())
                segni.push_back(segno);
        }
    }
    return segni;
}

void MainGrid::collega_griglia()
{
    DataGrid1->bind(m_registro.registerRows());
}

void MainGrid::scollega_griglia()
{
    DataGrid1->unbind();
}

void MainGrid::colore_griglia_filtro(bool premuto)
{
    DataGrid1->setFilterColour(premuto);
}

void MainGrid::imposta_intestazioni_griglia()
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

void MainGrid::posiziona_griglia(int barra, int fondo)
{
    const QWidget* area = DataGrid1->parentWidget();
    DataGrid1->setGeometry(0, barra, area->width(), std::max(0, area->height() - fondo - barra - tw(300)));
}

void MainGrid::mostra(int scostamento)
{
    DataGrid1->show();
    cmd_colonne->move(DataGrid1->x() + scostamento, DataGrid1->y() + scostamento);
    cmd_colonne->show();
    cmd_colonne->raise();
}

void MainGrid::nascondi()
{
    DataGrid1->hide();
    cmd_colonne->hide();
}

void MainGrid::carica_colonne_griglia()
{
    const QAbstractItemModel* model = DataGrid1->model();
    if (!model)
        return;
    const QString maschera = maschera_colonne(m_impostazioni.p_eln_colonne, model->columnCount());
    // The hiding rules reach every column, also those without a stored width.
    DataGrid1->loadWidths([&maschera](int colonna, const QString& intestazione) {
        return campo_sistema(intestazione) || colonna_esclusa(maschera, colonna);
    });
}

void MainGrid::salva_larghezza_colonne()
{
    DataGrid1->saveWidths();
}

void MainGrid::DataGrid1_ColResize(int ColIndex)
{
    Q_UNUSED(ColIndex);
    salva_larghezza_colonne();
}

void MainGrid::DataGrid1_HeadClick(int ColIndex)
{
    const QAbstractItemModel* model = DataGrid1->model();
    const std::shared_ptr<Recordset> rs = m_registro.registerRows();
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

bool MainGrid::DataGrid1_KeyDown(QKeyEvent* event)
{
    // A character typed on a column starts the quick find on that column's field. The key is
    // used up: the grid's own search by typing would move the register again.
    const std::shared_ptr<Recordset> rs = m_registro.registerRows();
    const QModelIndex current = DataGrid1->currentIndex();
    if (!rs || !rs->isOpen() || rs->recordCount() < 1 || !current.isValid() || current.column() >= rs->fieldCount())
        return false;
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isPrint() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    return apri_ricerca_rapida(DataGrid1->window(), rs, rs->field(current.column()).uniqueName, typed, QString(),
                               [this] { emit record_trovato(); });
}

void MainGrid::cmd_colonne_Click()
{
    m_fuoco->setFocus();
    frm_sel_campi dialog(m_registro.registerRows(), m_impostazioni.p_eln_colonne, DataGrid1->window());
    if (dialog.exec() == QDialog::Accepted)
        m_impostazioni.p_eln_colonne = dialog.p_eln_colonne();
    // Whatever was chosen, the columns are built again from the recordset.
    collega_griglia();
    imposta_intestazioni_griglia();
    carica_colonne_griglia();
}

} // namespace quad
