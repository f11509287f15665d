#include "frm_tree.h"

#include "data_control.h"
#include "entry_helpers.h"
#include "field_filter.h"
#include "folder_links.h"
#include "folder_tree_panel.h"
#include "frm_search.h"
#include "frmquickfind1.h"
#include "search_caller_tree.h"

#include "message_service.h"
#include "my_func.h"
#include "program_folder.h"
#include "recordset_model.h"
#include "register_grid.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace quad {

namespace {

/// The picture of a sort button: bars growing downwards (ascending) or shrinking, with an arrow
/// beside them, in the colours of the window's text.
QIcon icona_ordinamento(bool ascendente)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const QColor colore = QApplication::palette().color(QPalette::WindowText);
    for (int i = 0; i < 4; ++i) {
        const int lunghezza = 2 + 2 * (ascendente ? i : 3 - i);
        painter.fillRect(1, 2 + 3 * i, lunghezza, 2, colore);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colore, 1.5));
    painter.drawLine(QPointF(12.5, 2), QPointF(12.5, 13));
    painter.setBrush(colore);
    painter.drawPolygon(QPolygonF({QPointF(9.5, 10), QPointF(15.5, 10), QPointF(12.5, 14.5)}));
    return QIcon(pixmap);
}

} // namespace

using schede::suUnRecord;

Frm_tree::Frm_tree(const QString& connectionString, std::function<void()> registroCambiato, QWidget* parent)
    : QDialog(parent)
    , m_registroCambiato(std::move(registroCambiato))
{
    setObjectName(QStringLiteral("Frm_tree"));
    setWindowTitle(QStringLiteral("Quadernolo - Gestione Fascicoli"));
    setModal(true);
    resize(900, 560);

    Picture1 = new FolderTreePanel(true, this);
    Picture1->setFixedWidth(260);

    Picture2 = new QWidget(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    tb_mask = new QToolBar(Picture2);
    tb_mask->setObjectName(QStringLiteral("tb_mask"));
    tb_mask->setIconSize(QSize(16, 16));
    const struct
    {
        const char* key;
        const char* tip;
        QIcon icon;
    } pulsanti[] = {{"tb_trova", "Cerca", style()->standardIcon(QStyle::SP_FileDialogContentsView)},
                    {"tb_stampa", "Gestione stampe", style()->standardIcon(QStyle::SP_DialogSaveButton)},
                    {"tb_flash", "Vai al giorno ...", style()->standardIcon(QStyle::SP_ArrowLeft)},
                    {"tb_sort_asc", "Riordino ascendente", icona_ordinamento(true)},
                    {"tb_sort_desc", "Riordino discendente", icona_ordinamento(false)},
                    {"tb_filtro", "Filtro in base a selezione", style()->standardIcon(QStyle::SP_FileDialogListView)},
                    {"tb_esci", "Esci", style()->standardIcon(QStyle::SP_DialogCloseButton)}};
    for (const auto& p : pulsanti) {
        QAction* a = tb_mask->addAction(p.icon, QString::fromUtf8(p.tip));
        a->setObjectName(QLatin1String(p.key));
        a->setToolTip(QString::fromUtf8(p.tip));
    }
    pulsante(QStringLiteral("tb_filtro"))->setCheckable(true);

    DataGrid1 = new RegisterGrid(
        GridWidthStore(QStringLiteral("GRID_TREE_WIDTH"), QStringLiteral("Width"), GridWidthStore::Reading::Decimal),
        Picture2);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    // A click on a cell or on the row's selector makes that row the current one (the one the
    // unlink acts on); the cell clicked gives the column the sort and the filter act on.
    DataGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DataGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DataGrid1->installEventFilter(this);
    Adodc1 = new DataControl(Picture2);
    Adodc1->setObjectName(QStringLiteral("Adodc1"));
    Adodc1->hide();

    pic_cmd = new QWidget(Picture2);
    pic_cmd->setObjectName(QStringLiteral("pic_cmd"));
    cmd_add_new = new QPushButton(QStringLiteral("Nuovo"), pic_cmd);
    cmd_add_new->setObjectName(QStringLiteral("cmd_add_new"));
    cmd_del = new QPushButton(pic_cmd);
    cmd_del->setObjectName(QStringLiteral("cmd_del"));
    cmd_del->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    cmd_del->setToolTip(QStringLiteral("Elimina il collegamento selezionato"));
    // A picture button: a screen reader announces it by what it does.
    cmd_del->setAccessibleName(cmd_del->toolTip());
    // Enter in the grid or the tree presses neither button.
    cmd_add_new->setAutoDefault(false);
    cmd_del->setAutoDefault(false);
    lbl_nodo = new QLabel(QStringLiteral("Nodo : "), pic_cmd);
    lbl_nodo->setObjectName(QStringLiteral("lbl_nodo"));
    auto* strip = new QHBoxLayout(pic_cmd);
    strip->setContentsMargins(0, 2, 0, 2);
    strip->addWidget(cmd_add_new);
    strip->addWidget(cmd_del);
    strip->addWidget(lbl_nodo, 1);

    auto* destra = new QVBoxLayout(Picture2);
    destra->setContentsMargins(0, 0, 0, 0);
    destra->setSpacing(0);
    destra->addWidget(tb_mask);
    destra->addWidget(DataGrid1, 1);
    destra->addWidget(pic_cmd);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Picture1);
    layout->addWidget(Picture2, 1);

    connect(tb_mask, &QToolBar::actionTriggered, this, &Frm_tree::tb_mask_ButtonClick);
    connect(cmd_del, &QPushButton::clicked, this, &Frm_tree::cmd_del_Click);
    connect(cmd_add_new, &QPushButton::clicked, this, &Frm_tree::cmd_add_new_Click);
    connect(Picture1, &FolderTreePanel::nodoSelezionato, this, &Frm_tree::TreeView1_NodeClick);
    connect(Picture1, &FolderTreePanel::livelloCambiato, this, &Frm_tree::RefreshNodeGrid);
    connect(Picture1, &FolderTreePanel::nodoRimosso, this, [this] {
        // The label may name the folder just removed: it goes with the selection, and a row read
        // again names its own folder.
        lbl_nodo->clear();
        RefreshNodeGrid();
        HideSysColumns();
    });
    connect(Adodc1, &DataControl::recordsetChanged, this, &Frm_tree::collegaGriglia);
    connect(Adodc1, &DataControl::moveComplete, this, &Frm_tree::Adodc1_MoveComplete);
    connect(Adodc1, &DataControl::error, this, [](const DbResult& error) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile leggere i quadernoli del fascicolo.\n\n") + error.message);
    });
    connect(DataGrid1, &RegisterGrid::columnResized, this, &Frm_tree::SaveGridWidths);

    Adodc1->setConnectionString(connectionString);
    DbResult error;
    m_db = DataControl::connectionFor(connectionString, &error);
    Picture1->setConnection(m_db);
}

Frm_tree::~Frm_tree()
{
    // The grid's model follows a recordset that goes with the data control.
    DataGrid1->setModel(nullptr);
}

QAction* Frm_tree::pulsante(const QString& key) const
{
    for (QAction* a : tb_mask->actions()) {
        if (a->objectName() == key)
            return a;
    }
    return nullptr;
}

std::shared_ptr<Recordset> Frm_tree::recordset() const
{
    return Adodc1->Recordset();
}

bool Frm_tree::Form_Load()
{
    Picture1->stocktree1();
    if (!Picture1->caricato())
        return false;
    if (QTreeWidgetItem* root = Picture1->radice()) {
        Picture1->selezionaNodo(root);
        root->setExpanded(true);
    }
    // Selecting the root (the load left no folder selected) has shown its entries.
    return true;
}

void Frm_tree::Form_Unload()
{
    Picture1->SaveTree();
}

void Frm_tree::done(int result)
{
    // Every way out of the window stores the tree once.
    if (!m_scaricato) {
        m_scaricato = true;
        Form_Unload();
    }
    QDialog::done(result);
}

void Frm_tree::collegaGriglia()
{
    DataGrid1->bind(Adodc1->Recordset(), RegisterGrid::Selection::None);
    m_model = DataGrid1->recordsetModel();
    if (!m_model)
        return;
    // A filter or a sort rebuilds the columns: captions and hidden columns are set again.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        SetGridCaptions();
        HideSysColumns();
    });
}

void Frm_tree::RefreshNodeGrid()
{
    BuildNodeQuery();
}

void Frm_tree::BuildNodeQuery()
{
    QAction* livello = Picture1->pulsante(QStringLiteral("sel_livello"));
    const bool soloLivello = livello && livello->isChecked();
    rilasciaFiltro();
    QTreeWidgetItem* sel = Picture1->selezionato();
    const QString key = sel ? FolderTreePanel::chiave(sel) : kRadiceFascicoli;
    QVariantList params;
    const QString sql = query_nodo(key, soloLivello, &params);
    Adodc1->setRecordSource(sql, params);
    (void)Adodc1->Refresh(); // a failure is shown by the data control's error handler
    SetGridCaptions();
    HideSysColumns();
}

void Frm_tree::SetGridCaptions()
{
    LoadGridWidths();
    DataGrid1->setCaptions({{5, QStringLiteral("N.")},
                            {6, QStringLiteral("E/U")},
                            {7, QStringLiteral("Data")},
                            {8, QStringLiteral("Anno")},
                            {9, QStringLiteral("Tipo")},
                            {10, QStringLiteral("N. all.")},
                            {11, QStringLiteral("Quad. rif.")},
                            {12, QStringLiteral("del")},
                            {13, QStringLiteral("oggetto")}});
}

void Frm_tree::HideSysColumns()
{
    if (!m_model)
        return;
    DataGrid1->byProgram([this] {
        for (int i = 0; i < m_model->columnCount(); ++i) {
            const QString caption = m_model->headerData(i, Qt::Horizontal).toString();
            if (caption.left(3).toUpper() == QLatin1String("SYS"))
                DataGrid1->setColumnHidden(i, true);
        }
    });
}

void Frm_tree::SaveGridWidths()
{
    DataGrid1->saveWidths();
}

void Frm_tree::LoadGridWidths()
{
    DataGrid1->loadWidths();
}

void Frm_tree::Adodc1_MoveComplete()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!suUnRecord(rs) || rs->fieldIndex(QStringLiteral("SYS_TREE")) < 0)
        return;
    // A folder no longer in the tree leaves the label as it was.
    if (QTreeWidgetItem* item = Picture1->nodo(rs->value(QStringLiteral("SYS_TREE")).toString()))
        lbl_nodo->setText(FolderTreePanel::percorso(item));
}

void Frm_tree::TreeView1_NodeClick()
{
    RefreshNodeGrid();
    SetGridCaptions();
}

bool Frm_tree::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DataGrid1 && event->type() == QEvent::KeyPress)
        return DataGrid1_KeyDown(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

bool Frm_tree::DataGrid1_KeyDown(QKeyEvent* event)
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const int colonna = colonnaSelezionata();
    if (!rs || !rs->isOpen() || rs->recordCount() < 1 || colonna < 0 || colonna >= rs->fieldCount())
        return false;
    const QString typed = event->text();
    if (typed.isEmpty() || !typed.at(0).isPrint() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false;
    return apri_ricerca_rapida(this, rs, rs->field(colonna).uniqueName, typed, QStringLiteral("treeview"),
                               [this] { Adodc1_MoveComplete(); });
}

int Frm_tree::colonnaSelezionata() const
{
    const QModelIndex current = DataGrid1->currentIndex();
    if (!m_model || !current.isValid() || !DataGrid1->selectionModel()->hasSelection())
        return -1;
    return current.column();
}

void Frm_tree::rilasciaFiltro()
{
    pulsante(QStringLiteral("tb_filtro"))->setChecked(false);
}

void Frm_tree::tb_mask_ButtonClick(QAction* Button)
{
    if (!Button)
        return;
    const QString key = Button->objectName();
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const int righe = rs && rs->isOpen() ? rs->recordCount() : 0;
    if (key == QLatin1String("tb_trova")) {
        RegistroFascicolo chiamante(*this);
        apri_frm_search(chiamante, this);
    } else if (key == QLatin1String("tb_flash")) {
        if (!suUnRecord(rs))
            return;
        // A folder no longer in the tree changes nothing.
        if (Picture1->seleziona(rs->value(QStringLiteral("SYS_TREE")).toString()))
            HideSysColumns();
    } else if (key == QLatin1String("tb_sort_asc")) {
        SortBySelectedColumn(0);
    } else if (key == QLatin1String("tb_sort_desc")) {
        SortBySelectedColumn(1);
    } else if (key == QLatin1String("tb_filtro")) {
        if (!Button->isChecked()) {
            RegistroFascicolo chiamante(*this);
            rilascia_filtro(chiamante, false);
        } else if (righe == 0) {
            rilasciaFiltro();
        } else {
            FilterBySelectedCell();
        }
    } else if (key == QLatin1String("tb_esci")) {
        close();
    }
}

void Frm_tree::FilterBySelectedCell()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    const QModelIndex current = DataGrid1->currentIndex();
    if (!rs || !current.isValid() || current.column() < 1 || !DataGrid1->selectionModel()->hasSelection()) {
        warn(QStringLiteral("Selezionare il campo di interesse."));
        rilasciaFiltro();
        return;
    }
    const QVariant valore = rs->valueAt(current.row(), current.column());
    const QString testo = Recordset::displayText(valore);
    if (valore.isNull() || testo.trimmed().isEmpty())
        return;
    RegistroFascicolo chiamante(*this);
    const QString errore = applica_filtro_campo(chiamante, rs->field(current.column()).uniqueName, testo);
    if (!errore.isEmpty()) {
        // The rows stay as they were, with their earlier filter if any.
        warn(errore);
        chiamante.imposta_pulsante_filtro(rs->hasFilter());
    }
}

void Frm_tree::SortBySelectedColumn(int direction)
{
    const int colonna = colonnaSelezionata();
    if (colonna < 0) {
        msgBox(QStringLiteral("Selezionare una colonna.\n"));
        return;
    }
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!rs || !rs->isOpen())
        return;
    // A key the recordset refuses leaves the order as it was.
    (void)rs->setSort(rs->field(colonna).uniqueName
                      + (direction == 0 ? QStringLiteral(" ASC") : QStringLiteral(" DESC")));
    // The rows were put in a new order: the column stays selected for the next sort.
    const QModelIndex cella = m_model->index(std::max(rs->currentRow(), 0), colonna);
    DataGrid1->setCurrentIndex(cella);
    DataGrid1->selectionModel()->select(cella, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void Frm_tree::cmd_add_new_Click()
{
    if (FolderTreePanel::chiave(Picture1->selezionato()) == kRadiceFascicoli)
        warn(QStringLiteral("Non è possibile effettuare collegamenti a tale livello !"));
}

void Frm_tree::cmd_del_Click()
{
    const std::shared_ptr<Recordset> rs = Adodc1->Recordset();
    if (!suUnRecord(rs) || !DataGrid1->selectionModel() || !DataGrid1->selectionModel()->hasSelection()) {
        warn(QStringLiteral("Selezionare il collegamento da eliminare !"));
        return;
    }
    if (!askYesNo(QStringLiteral("Confermi l' eliminazione del collegamento selezionato ?")))
        return;
    const qint64 link = rs->value(QStringLiteral("SYS_ID")).toLongLong();
    const qint64 numero = rs->value(QStringLiteral("SYS_USER_ID")).toLongLong();
    const DbResult esito = m_db ? scollega_scheda(*m_db, link, numero)
                                : DbResult::failure(DbError::NotFound, QStringLiteral("Archivio non collegato."));
    if (!esito.ok()) {
        warn(QStringLiteral("ATTENZIONE !\n\nImpossibile eliminare il collegamento.\n\n") + esito.message);
        return;
    }
    if (m_registroCambiato)
        m_registroCambiato();
    TreeView1_NodeClick();
}

void apri_frm_tree(QWidget* parent, const QString& connectionString, const std::function<void()>& registroCambiato)
{
    Frm_tree finestra(connectionString, registroCambiato, parent);
    if (finestra.Form_Load())
        finestra.exec();
}

} // namespace quad
