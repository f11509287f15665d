#pragma once

#include <QLabel>

namespace quad {

/// A one-line label whose text never widens its window: a text longer than the label is shown
/// cut with "…", and the whole text is then its tool tip. text() is always the whole text.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text = QString(), QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    /// The text as it is shown at the label's present width.
    QString shownText() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void updateToolTip();
};

} // namespace quad
