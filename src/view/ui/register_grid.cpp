#include "register_grid.h"

#include "control_factory.h"
#include "message_service.h"
#include "recordset.h"
#include "recordset_model.h"

#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScopedValueRollback>

namespace quad {

RegisterGrid::RegisterGrid(GridWidthStore widths, QWidget* parent)
    : QTableView(parent)
    , m_widths(std::move(widths))
{
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (m_programmatic)
            return;
        if (m_dragging)
            m_resizedWhileDragging = column;
        else
            emit columnResized(column);
    });
    horizontalHeader()->viewport()->installEventFilter(this);
}

RegisterGrid::~RegisterGrid()
{
    // The model follows a recordset that may go before the grid.
    unbind();
}

void RegisterGrid::byProgram(const std::function<void()>& f)
{
    const QScopedValueRollback<bool> guard(m_programmatic, true);
    f();
}

RecordsetModel* RegisterGrid::recordsetModel() const
{
    return qobject_cast<RecordsetModel*>(model());
}

void RegisterGrid::unbind()
{
    byProgram([this] {
        QAbstractItemModel* vecchio = model();
        setModel(nullptr);
        if (vecchio && vecchio->parent() == this)
            delete vecchio;
        m_hiddenWidths.clear();
    });
}

void RegisterGrid::bind(const std::shared_ptr<Recordset>& recordset, Selection selection)
{
    if (!recordset) {
        unbind();
        return;
    }
    const QScopedValueRollback<bool> guard(m_programmatic, true);
    QAbstractItemModel* vecchio = model();
    auto* nuovo = new RecordsetModel(recordset.get(), this);
    setModel(nuovo);
    if (vecchio && vecchio->parent() == this)
        delete vecchio;
    // Bound afresh, every column shows at the default width.
    m_hiddenWidths.clear();
    QHeaderView* intestazione = horizontalHeader();
    for (int i = 0; i < nuovo->columnCount(); ++i) {
        setColumnHidden(i, false);
        intestazione->resizeSection(i, intestazione->defaultSectionSize());
    }

    // The grid's current row and the register's current record follow each other.
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, nuovo,
            [this, nuovo](const QModelIndex& current) {
                Recordset* r = nuovo->recordset();
                if (m_sync || !r || !current.isValid() || current.row() == r->currentRow())
                    return;
                const QScopedValueRollback<bool> sync(m_sync, true);
                r->setCurrentRow(current.row());
            });
    const auto seguiRecord = [this, nuovo](int row) {
        if (m_sync || row < 0 || model() != nuovo)
            return;
        const QScopedValueRollback<bool> sync(m_sync, true);
        const QModelIndex current = currentIndex();
        setCurrentIndex(nuovo->index(row, current.isValid() ? current.column() : 0));
    };
    connect(nuovo, &RecordsetModel::currentRowChanged, this, seguiRecord);
    if (selection == Selection::CurrentRecord)
        seguiRecord(recordset->currentRow());
}

void RegisterGrid::setCaptions(const std::vector<std::pair<int, QString>>& captions)
{
    RecordsetModel* m = recordsetModel();
    if (!m)
        return;
    for (const auto& [colonna, testo] : captions) {
        if (colonna < m->columnCount())
            m->setHeaderCaption(colonna, testo);
    }
}

void RegisterGrid::hideKeepingWidth(int column)
{
    if (isColumnHidden(column))
        return;
    byProgram([&] {
        m_hiddenWidths[column] = toTwips(columnWidth(column));
        setColumnHidden(column, true);
    });
}

void RegisterGrid::loadWidths(const std::function<bool(int, const QString&)>& hidden)
{
    QAbstractItemModel* m = model();
    if (!m)
        return;
    const std::vector<std::optional<int>> larghezze = m_widths.load();
    if (larghezze.empty() && !hidden)
        return;
    const QScopedValueRollback<bool> guard(m_programmatic, true);
    for (int i = 0; i < m->columnCount(); ++i) {
        const int* stored = i < int(larghezze.size()) && larghezze[size_t(i)] ? &*larghezze[size_t(i)] : nullptr;
        if (hidden && hidden(i, m->headerData(i, Qt::Horizontal).toString())) {
            // A hidden column keeps its stored width for the next save.
            if (!isColumnHidden(i)) {
                m_hiddenWidths[i] = stored ? *stored : toTwips(columnWidth(i));
                setColumnHidden(i, true);
            }
            continue;
        }
        if (!stored)
            continue; // no stored width, or a malformed one: the column keeps its width
        if (hidden && isColumnHidden(i))
            m_hiddenWidths[i] = *stored;
        setColumnWidth(i, tw(*stored));
    }
}

void RegisterGrid::saveWidths()
{
    const QAbstractItemModel* m = model();
    if (!m)
        return;
    std::vector<int> twips;
    for (int i = 0; i < m->columnCount(); ++i) {
        // A hidden column keeps the width it had when it was hidden.
        const int corrente = toTwips(columnWidth(i));
        twips.push_back(isColumnHidden(i) ? m_hiddenWidths.value(i, corrente) : corrente);
    }
    QString errore;
    if (!m_widths.save(twips, &errore))
        warn(QStringLiteral("ATTENZIONE !\n\n") + errore);
}

void RegisterGrid::setFilterColour(bool filtered)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, filtered ? QColor(0xFF, 0xFF, 0xC0) : QColor(0xFF, 0xFF, 0xFF));
    setPalette(pal);
}

bool RegisterGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_dragging = true;
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
            if (m_resizedWhileDragging >= 0) {
                const int colonna = m_resizedWhileDragging;
                m_resizedWhileDragging = -1;
                emit columnResized(colonna);
            }
        }
    }
    return QTableView::eventFilter(watched, event);
}

} // namespace quad
