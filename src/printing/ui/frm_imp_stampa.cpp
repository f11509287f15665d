#include "frm_imp_stampa.h"

#include "control_factory.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTableView>

namespace quad {

namespace {

using controls::nominato;

constexpr int kGridHeight = 90;
constexpr int kMmGridHeight = 40;

} // namespace

long frm_imp_stampa::larghezza_pagina()
{
    // A printer object of the designer's own: the PDF page where no printer is configured.
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    QPrinter printer(QPrinter::HighResolution);
    if (info.isNull())
        printer.setOutputFormat(QPrinter::PdfFormat);
    else
        printer.setPrinterName(info.printerName());
    printer.setPageOrientation(QPageLayout::Landscape);
    return long(printer.pageLayout().paintRect(QPageLayout::Inch).width() * 1440.0);
}

frm_imp_stampa::frm_imp_stampa(const QStringList& campi, QWidget* parent, long scaleWidth)
    : QWidget(parent, Qt::Window)
    , m_widths(int(campi.size()), scaleWidth > 0 ? scaleWidth : larghezza_pagina())
{
    setObjectName(QStringLiteral("frm_imp_stampa"));
    setWindowTitle(QStringLiteral("Form1"));

    const int width = tw(m_widths.scaleWidth());
    Picture2 = nominato(new QWidget(this), QStringLiteral("Picture2"));
    Picture2->setGeometry(0, 0, width, kGridHeight + kMmGridHeight + 20);
    Picture1 = nominato(new QWidget(Picture2), QStringLiteral("Picture1"));
    Picture1->setGeometry(0, 0, width, kGridHeight + kMmGridHeight);

    m_model1 = new QStandardItemModel(0, int(campi.size()), this);
    m_model2 = new QStandardItemModel(0, int(campi.size()), this);
    m_model1->setHorizontalHeaderLabels(campi);
    const auto griglia = [this](const char* name, QStandardItemModel* model, int top, int height) {
        auto* grid = nominato(new QTableView(Picture1), QLatin1String(name));
        grid->setModel(model);
        grid->verticalHeader()->hide();
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->horizontalHeader()->setMinimumSectionSize(1);
        grid->setGeometry(0, top, tw(m_widths.scaleWidth()), height);
        return grid;
    };
    DataGrid1 = griglia("DataGrid1", m_model1, 0, kGridHeight);
    DataGrid2 = griglia("DataGrid2", m_model2, kGridHeight, kMmGridHeight);
    DataGrid1->horizontalHeader()->setSectionsClickable(true);
    DataGrid2->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Picture3 = nominato(new QWidget(Picture2), QStringLiteral("Picture3"));
    Picture3->resize(width, 6);

    Frame1 = nominato(new QGroupBox(this), QStringLiteral("Frame1"));
    Frame1->resize(260, 50);
    Command1 = nominato(new QPushButton(QStringLiteral("Salva ed Esci"), Frame1), QStringLiteral("Command1"));
    Command1->setGeometry(10, 12, 115, 28);
    Command2 = nominato(new QPushButton(QStringLiteral("Annulla"), Frame1), QStringLiteral("Command2"));
    Command2->setGeometry(135, 12, 115, 28);
    HScroll1 = nominato(new QScrollBar(Qt::Horizontal, this), QStringLiteral("HScroll1"));

    for (int i = 0; i <= 30; ++i) {
        auto* label = nominato(new QLabel(QStringLiteral("Label1"), this), QStringLiteral("Label1_%1").arg(i));
        label->setVisible(false);
        label->setAutoFillBackground(true);
        Label1.push_back(label);
    }

    mostra_larghezze();
    connect(DataGrid1->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int) {
        if (!m_programmatic)
            DataGrid1_ColResize(column);
    });
    connect(DataGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this, &frm_imp_stampa::DataGrid1_HeadClick);
    connect(HScroll1, &QScrollBar::valueChanged, this, &frm_imp_stampa::HScroll1_Change);
    resize(800, kGridHeight + kMmGridHeight + 110);
}

void frm_imp_stampa::mostra_larghezze()
{
    m_programmatic = true;
    QStringList mm;
    for (int i = 0; i < m_widths.count(); ++i) {
        const long w = m_widths.widths()[size_t(i)];
        DataGrid1->horizontalHeader()->resizeSection(i, tw(w));
        DataGrid2->horizontalHeader()->resizeSection(i, tw(w));
        mm << QString::number(PrintColumnWidths::millimetri(w));
    }
    m_model2->setHorizontalHeaderLabels(mm);
    m_programmatic = false;
}

void frm_imp_stampa::DataGrid1_ColResize(int ColIndex)
{
    DataGrid1->resize(tw(m_widths.scaleWidth()), DataGrid1->height());
    m_widths.ridimensiona(ColIndex, toTwips(DataGrid1->horizontalHeader()->sectionSize(ColIndex)));
    mostra_larghezze();
}

void frm_imp_stampa::DataGrid1_HeadClick(int ColIndex)
{
    if (!m_widths.rimuovi(ColIndex))
        return;
    m_programmatic = true;
    m_model1->removeColumn(ColIndex);
    m_model2->removeColumn(ColIndex);
    m_programmatic = false;
    mostra_larghezze();
}

void frm_imp_stampa::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int inner = width();
    HScroll1->setGeometry(0, height() - 18, inner, 18);
    const int max = std::max(0, tw(m_widths.scaleWidth()) - inner);
    HScroll1->setMaximum(max);
    HScroll1->setPageStep(std::max(1, max / 2));
    Frame1->move((inner - Frame1->width()) / 2, Picture2->geometry().bottom() + 4);
    Picture3->setGeometry(0, DataGrid1->y() + DataGrid1->height() - Picture3->height(), Picture1->width(),
                          Picture3->height());
}

void frm_imp_stampa::HScroll1_Change(int value)
{
    Picture2->move(-value, Picture2->y());
}

} // namespace quad
