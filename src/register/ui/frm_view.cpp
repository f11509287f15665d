#include "frm_view.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

namespace quad {

namespace {

const int kMargin = 7; // the viewport's distance from the window's edges

} // namespace

frm_view::frm_view(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_view"));
    setModal(true);
    const QString tip = QStringLiteral("Click o Esc per uscire");

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setToolTip(tip);
    Picture1->installEventFilter(this);

    Picture2 = new QLabel(Picture1);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setToolTip(tip);
    Picture2->installEventFilter(this);

    VScroll1 = new QScrollBar(Qt::Vertical, Picture1);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    HScroll1 = new QScrollBar(Qt::Horizontal, Picture1);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    Command1 = new QPushButton(Picture1);
    Command1->setObjectName(QStringLiteral("Command1"));
    for (QWidget* w :
         {static_cast<QWidget*>(VScroll1), static_cast<QWidget*>(HScroll1), static_cast<QWidget*>(Command1)}) {
        w->setFocusPolicy(Qt::NoFocus);
        w->hide();
    }
    Command1->setAutoDefault(false);

    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        Picture2->move(-value, Picture2->y());
        HScroll1->raise();
    });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        Picture2->move(Picture2->x(), -value);
        VScroll1->raise();
    });

    setFocusPolicy(Qt::StrongFocus);
    resize(800, 600);
}

void frm_view::disponi()
{
    if (m_loaded != m_image) {
        m_loaded = m_image;
        QImageReader reader(m_image);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        Picture2->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
        Picture2->resize(image.isNull() ? QSize(0, 0) : image.size());
    }

    Picture1->setGeometry(kMargin, kMargin, qMax(0, width() - 2 * kMargin), qMax(0, height() - 2 * kMargin));
    const int vw = Picture1->width();
    const int vh = Picture1->height();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    Command1->resize(bar, bar);

    const QSize picture = Picture2->size();
    const bool tall = picture.height() > vh;
    const bool wide = picture.width() > vw;
    int left = (vw - picture.width()) / 2;
    int top = (vh - picture.height()) / 2;

    if (tall) {
        VScroll1->setGeometry(vw - bar, 0, bar, vh - Command1->height());
        VScroll1->setRange(0, picture.height() - vh);
        VScroll1->setPageStep(VScroll1->maximum() / 3);
        VScroll1->setValue(0);
        top = 0;
    }
    VScroll1->setVisible(tall);
    if (wide) {
        HScroll1->setGeometry(0, vh - bar, vw - Command1->width(), bar);
        HScroll1->setRange(0, picture.width() - vw);
        HScroll1->setPageStep(HScroll1->maximum() / 3);
        HScroll1->setValue(0);
        left = 0;
    }
    HScroll1->setVisible(wide);
    Picture2->move(left, top);
    Picture2->show();

    Command1->move(vw - Command1->width(), vh - Command1->height());
    Command1->setVisible(tall || wide);
    VScroll1->raise();
    HScroll1->raise();
    Command1->raise();
}

void frm_view::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    disponi();
    setFocus();
}

void frm_view::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    disponi();
}

void frm_view::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || !event->text().isEmpty()) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frm_view::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == Picture1 || watched == Picture2) && event->type() == QEvent::MouseButtonPress) {
        reject();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void apri_visualizzatore(QWidget* parent, const QString& path)
{
    frm_view viewer(parent);
    viewer.setp_image(path);
    viewer.exec();
}

} // namespace quad
