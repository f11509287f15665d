#pragma once

#include "column_designer.h"

#include <QStringList>
#include <QWidget>

#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QStandardItemModel;
class QTableView;

namespace quad {

/// The print column designer: one column per register field whose widths the clerk drags, over a
/// second grid that shows each width in millimetres; the widths always fill the printable width
/// of a landscape page. Its two buttons have no action.
class frm_imp_stampa : public QWidget
{
    Q_OBJECT
public:
    /// campi: the register's field names. scaleWidth: the printable width in twips; 0 measures a
    /// landscape page of the designer's own printer.
    explicit frm_imp_stampa(const QStringList& campi, QWidget* parent = nullptr, long scaleWidth = 0);

    void DataGrid1_ColResize(int ColIndex);
    void DataGrid1_HeadClick(int ColIndex);
    void HScroll1_Change(int value);
    const PrintColumnWidths& larghezze() const { return m_widths; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QTableView* DataGrid1 = nullptr;
    QTableView* DataGrid2 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QWidget* Picture1 = nullptr;
    QWidget* Picture2 = nullptr;
    QWidget* Picture3 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    std::vector<QLabel*> Label1; ///< 0..30

    /// Puts the widths into both grids and the millimetres into the second grid's captions.
    void mostra_larghezze();
    static long larghezza_pagina();

    PrintColumnWidths m_widths;
    QStandardItemModel* m_model1 = nullptr;
    QStandardItemModel* m_model2 = nullptr;
    bool m_programmatic = false;
};

} // namespace quad
