#pragma once

#include "grid_widths.h"

#include <QMap>
#include <QTableView>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace quad {

class Recordset;
class RecordsetModel;

/// A grid over a register recordset, as the main window and the folder window show it: its current
/// row and the recordset's current record follow each other, its columns carry captions, some are
/// hidden, and their widths are kept in the settings file. The windows decide when to load and save
/// the widths and which columns to hide; the grid keeps the width of a column it hid, so that the
/// next save still writes it.
class RegisterGrid : public QTableView
{
    Q_OBJECT
public:
    RegisterGrid(GridWidthStore widths, QWidget* parent);
    ~RegisterGrid() override;

    /// What a grid bound afresh has selected: the recordset's current record, or nothing until the
    /// clerk or the recordset moves.
    enum class Selection { CurrentRecord, None };

    /// Shows the recordset (null: shows nothing). Every column shows again at the default width.
    void bind(const std::shared_ptr<Recordset>& recordset, Selection selection = Selection::CurrentRecord);
    /// Shows nothing.
    void unbind();
    /// The model over the bound recordset, or null.
    RecordsetModel* recordsetModel() const;

    /// Captions by column position; positions beyond the recordset's fields are skipped.
    void setCaptions(const std::vector<std::pair<int, QString>>& captions);
    /// Hides a column, keeping the width it had (in twips) for the next save.
    void hideKeepingWidth(int column);

    /// Applies the stored widths. hidden, when given, decides for every column (also one without a
    /// stored width) whether it is hidden: such a column keeps its stored width for the next save.
    /// A malformed stored width leaves its column as it is.
    void loadWidths(const std::function<bool(int column, const QString& caption)>& hidden = {});
    /// Stores the widths of every column; a hidden column stores the width it had when the grid
    /// hid it. A failure to write is shown.
    void saveWidths();

    /// The background of a filtered register (light yellow) or of the whole register (white).
    void setFilterColour(bool filtered);
    /// Column changes made by f are the program's: none of them is reported as the clerk's.
    void byProgram(const std::function<void()>& f);

signals:
    /// The clerk changed the width of a column: a column dragged with the mouse is reported once,
    /// when the button is let go.
    void columnResized(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    GridWidthStore m_widths;
    bool m_programmatic = false;
    bool m_sync = false; ///< grid row and recordset being put in step
    bool m_dragging = false; ///< a mouse button is down on the column headers
    int m_resizedWhileDragging = -1; ///< the column resized during that drag
    QMap<int, int> m_hiddenWidths; ///< widths in twips of columns the grid hid
};

} // namespace quad
