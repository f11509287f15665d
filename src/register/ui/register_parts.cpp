#include "register_parts.h"

#include "control_factory.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSize>

#include <algorithm>

namespace quad {

using namespace controls;

MaskViewport::MaskViewport(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Pic_mask"));
    setGeometry(0, 0, tw(10215), tw(6495));
    hide();
    cmd_scroll_1 = bottone(this, "cmd_scroll_1", QString(), QRect(0, 0, tw(255), tw(255)));
    cmd_scroll_1->setEnabled(false);
    cmd_scroll_1->hide();
    VScroll2 = nominato(new QScrollBar(Qt::Vertical, this), QStringLiteral("VScroll2"));
    VScroll2->setGeometry(0, 0, tw(255), tw(2000));
    VScroll2->hide();
    HScroll2 = nominato(new QScrollBar(Qt::Horizontal, this), QStringLiteral("HScroll2"));
    HScroll2->setGeometry(0, 0, tw(2000), tw(255));
    HScroll2->hide();
    connect(VScroll2, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_content && !VScroll2->isHidden())
            m_content->move(m_content->x(), -value);
    });
    connect(HScroll2, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_content && !HScroll2->isHidden())
            m_content->move(-value, m_content->y());
        VScroll2->raise();
    });
}

void MaskViewport::imposta_contenuto(QWidget* content)
{
    m_content = content;
}

void MaskViewport::centra_contenuto(int alzata)
{
    m_content->move((width() - m_content->width()) / 2, (height() - m_content->height()) / 2 - alzata);
}

int MaskViewport::adatta(const QSize& area, int altezzaBarra)
{
    QWidget* maschera = m_content;
    // Vertical fit.
    if (maschera->height() > height()) {
        VScroll2->setGeometry(area.width() - VScroll2->width(), 0, VScroll2->width(), std::max(altezzaBarra, 0));
        VScroll2->setRange(0, maschera->height() - height());
        VScroll2->setPageStep(std::max(1, VScroll2->maximum() / 3));
        VScroll2->setValue(0);
        maschera->move(maschera->x(), 0); // where the bar's value puts it
        VScroll2->show();
        VScroll2->raise();
    } else {
        move((area.width() - width()) / 2, (area.height() - height()) / 2);
        maschera->move(maschera->x(), (height() - maschera->height()) / 2);
        VScroll2->hide();
    }
    // Horizontal fit.
    if (maschera->width() > width()) {
        const int larg = width() - (VScroll2->isHidden() ? 0 : VScroll2->width());
        HScroll2->setGeometry(0, height() - HScroll2->height() - tw(100), std::max(larg, 0), HScroll2->height());
        HScroll2->setRange(0, maschera->width() - width());
        HScroll2->setPageStep(std::max(1, HScroll2->maximum() / 3));
        HScroll2->setValue(0);
        maschera->move(0, maschera->y());
        HScroll2->show();
        HScroll2->raise();
    } else {
        maschera->move((width() - maschera->width()) / 2, maschera->y());
        HScroll2->hide();
    }
    return VScroll2->isHidden() ? 0 : VScroll2->width();
}

int MaskViewport::altezza_angolo() const
{
    return cmd_scroll_1->height();
}

NavigationStrip::NavigationStrip(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("pic_move"));
    setGeometry(0, 0, tw(8880), tw(450));
    setAutoFillBackground(true);
    const char* tips[] = {"Vai al primo quadernolo", "Vai al quadernolo precedente", "Vai al quadernolo successivo",
                          "Vai all' ultimo quadernolo"};
    const char* frecce[] = {"|◀", "◀", "▶", "▶|"};
    for (int i = 0; i < 4; ++i) {
        QPushButton* b = bottone(this, "", QString::fromUtf8(frecce[i]), QRect(i * tw(570), 0, tw(570), tw(450)),
                                 QString::fromUtf8(tips[i]));
        b->setObjectName(indicizzato("cmd_move", i));
        connect(b, &QPushButton::clicked, this, [this, i] { emit clicked(i); });
        cmd_move.push_back(b);
    }
    lbl_filtro = etichetta(this, QStringLiteral("lbl_filtro"), QStringLiteral("........"),
                           QRect(2 * tw(570) + 8, 0, tw(4000), tw(450)));
    hide();
}

void NavigationStrip::dispose()
{
    cmd_move[3]->move(width() - cmd_move[3]->width(), cmd_move[3]->y());
    cmd_move[2]->move(cmd_move[3]->x() - cmd_move[2]->width(), cmd_move[2]->y());
}

void NavigationStrip::scrivi_totale(const QString& totale)
{
    lbl_filtro->setText(totale);
}

} // namespace quad
