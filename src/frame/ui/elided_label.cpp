#include "elided_label.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace quad {

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
}

QSize ElidedLabel::sizeHint() const
{
    // As wide as its minimum: the layout gives it what the other controls leave.
    return QSize(minimumSizeHint().width(), QLabel::sizeHint().height());
}

QSize ElidedLabel::minimumSizeHint() const
{
    const int frame = 2 * (frameWidth() + margin());
    return QSize(fontMetrics().horizontalAdvance(QStringLiteral("…")) + frame, QLabel::minimumSizeHint().height());
}

QString ElidedLabel::shownText() const
{
    const int width = contentsRect().width() - 2 * margin();
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(width, 0));
}

void ElidedLabel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the frame only
    updateToolTip();
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), shownText(), foregroundRole());
}

bool ElidedLabel::event(QEvent* event)
{
    // The tip follows the text and the width at every paint and resize, and just before it shows.
    if (event->type() == QEvent::ToolTip || event->type() == QEvent::Resize)
        updateToolTip();
    return QLabel::event(event);
}

void ElidedLabel::updateToolTip()
{
    setToolTip(shownText() == text() ? QString() : text());
}

} // namespace quad
