#include "toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quad {

namespace {

constexpr int kSize = 24;

void pagina(QPainter& p, const QColor& fill)
{
    p.setBrush(fill);
    p.drawRect(5, 2, 14, 19);
}

void cartella(QPainter& p)
{
    p.setBrush(QColor(240, 200, 90));
    QPainterPath path;
    path.moveTo(2, 6);
    path.lineTo(9, 6);
    path.lineTo(11, 8);
    path.lineTo(21, 8);
    path.lineTo(21, 19);
    path.lineTo(2, 19);
    path.closeSubpath();
    p.drawPath(path);
}

void piu(QPainter& p, int x, int y)
{
    p.setPen(QPen(QColor(0, 140, 0), 3));
    p.drawLine(x - 4, y, x + 4, y);
    p.drawLine(x, y - 4, x, y + 4);
}

} // namespace

QStringList imageListKeys()
{
    return {QStringLiteral("img_mask"),     QStringLiteral("img_grid"),      QStringLiteral("img_new"),
            QStringLiteral("ing_find"),     QStringLiteral("img_print"),     QStringLiteral("img_stru"),
            QStringLiteral("img_info"),     QStringLiteral("ing_esci"),      QStringLiteral("img_storico"),
            QStringLiteral("img_notifica"), QStringLiteral("img_scanner"),   QStringLiteral("img_pritnter1"),
            QStringLiteral("img_isto"),     QStringLiteral("img_torta"),     QStringLiteral("img_fascicoli"),
            QStringLiteral("img_esci"),     QStringLiteral("img_filter_on"), QStringLiteral("img_nodo_add"),
            QStringLiteral("img_question")};
}

QIcon disegna_icona(const QString& key)
{
    if (!imageListKeys().contains(key))
        return QIcon();
    QPixmap pix(kSize, kSize);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));

    if (key == QLatin1String("img_mask")) {
        pagina(p, Qt::white);
        for (int y = 6; y <= 17; y += 4) {
            p.drawLine(7, y, 10, y);
            p.drawRect(11, y - 1, 6, 2);
        }
    } else if (key == QLatin1String("img_grid")) {
        p.setBrush(Qt::white);
        p.drawRect(2, 3, 20, 18);
        for (int y = 8; y < 21; y += 4)
            p.drawLine(2, y, 22, y);
        p.drawLine(9, 3, 9, 21);
        p.drawLine(16, 3, 16, 21);
    } else if (key == QLatin1String("img_new")) {
        pagina(p, Qt::white);
        piu(p, 16, 16);
    } else if (key == QLatin1String("ing_find")) {
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(3, 3, 12, 12);
        p.setPen(QPen(QColor(90, 60, 30), 3));
        p.drawLine(14, 14, 21, 21);
    } else if (key == QLatin1String("img_print") || key == QLatin1String("img_pritnter1")) {
        p.setBrush(Qt::white);
        p.drawRect(7, 2, 10, 8);
        p.setBrush(QColor(150, 150, 160));
        p.drawRect(2, 9, 20, 9);
        p.setBrush(Qt::white);
        p.drawRect(7, 15, 10, 7);
    } else if (key == QLatin1String("img_stru")) {
        p.drawRect(3, 3, 6, 5);
        p.drawRect(12, 10, 8, 5);
        p.drawRect(12, 17, 8, 5);
        p.drawLine(6, 8, 6, 19);
        p.drawLine(6, 12, 12, 12);
        p.drawLine(6, 19, 12, 19);
    } else if (key == QLatin1String("img_info")) {
        p.setBrush(QColor(60, 110, 220));
        p.drawEllipse(2, 2, 20, 20);
        p.setPen(QPen(Qt::white, 3));
        p.drawPoint(12, 7);
        p.drawLine(12, 11, 12, 18);
    } else if (key == QLatin1String("ing_esci") || key == QLatin1String("img_esci")) {
        p.setBrush(QColor(170, 120, 70));
        p.drawRect(4, 2, 11, 20);
        p.setPen(QPen(QColor(200, 0, 0), 3));
        p.drawLine(11, 12, 21, 12);
        p.drawLine(17, 8, 21, 12);
        p.drawLine(17, 16, 21, 12);
    } else if (key == QLatin1String("img_storico")) {
        p.setBrush(QColor(210, 190, 150));
        p.drawRect(3, 5, 18, 15);
        p.drawLine(3, 10, 21, 10);
        p.drawRect(9, 12, 6, 3);
    } else if (key == QLatin1String("img_notifica")) {
        p.setBrush(QColor(255, 250, 220));
        p.drawRect(2, 5, 20, 14);
        p.drawLine(2, 5, 12, 13);
        p.drawLine(22, 5, 12, 13);
    } else if (key == QLatin1String("img_scanner")) {
        p.setBrush(QColor(180, 180, 190));
        p.drawRect(2, 10, 20, 9);
        p.setPen(QPen(QColor(0, 170, 0), 2));
        p.drawLine(4, 14, 20, 14);
        p.setPen(QPen(QColor(40, 40, 40), 1));
        p.setBrush(Qt::white);
        p.drawRect(5, 3, 14, 7);
    } else if (key == QLatin1String("img_isto")) {
        p.setBrush(QColor(70, 130, 200));
        p.drawRect(3, 12, 4, 9);
        p.drawRect(10, 6, 4, 15);
        p.drawRect(17, 9, 4, 12);
    } else if (key == QLatin1String("img_torta")) {
        p.setBrush(QColor(230, 80, 60));
        p.drawPie(2, 2, 20, 20, 0, 100 * 16);
        p.setBrush(QColor(80, 160, 220));
        p.drawPie(2, 2, 20, 20, 100 * 16, 160 * 16);
        p.setBrush(QColor(250, 200, 60));
        p.drawPie(2, 2, 20, 20, 260 * 16, 100 * 16);
    } else if (key == QLatin1String("img_fascicoli")) {
        cartella(p);
    } else if (key == QLatin1String("img_filter_on")) {
        p.setBrush(QColor(90, 150, 220));
        QPainterPath path;
        path.moveTo(2, 3);
        path.lineTo(22, 3);
        path.lineTo(14, 12);
        path.lineTo(14, 21);
        path.lineTo(10, 18);
        path.lineTo(10, 12);
        path.closeSubpath();
        p.drawPath(path);
    } else if (key == QLatin1String("img_nodo_add")) {
        cartella(p);
        piu(p, 16, 16);
    } else if (key == QLatin1String("img_question")) {
        p.setBrush(QColor(60, 110, 220));
        p.drawEllipse(2, 2, 20, 20);
        p.setPen(Qt::white);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(15);
        p.setFont(f);
        p.drawText(QRect(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("?"));
    }
    p.end();
    return QIcon(pix);
}

} // namespace quad
