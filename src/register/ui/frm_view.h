#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QFrame;
class QPushButton;
class QScrollBar;

namespace quad {

/// The picture viewer: shows the picture p_image full size in the viewport Picture1, with
/// scroll bars when it is larger, centred when it is smaller. Any key that types a character
/// (Esc included) or a click on the picture or the viewport closes it. A picture that cannot be
/// read gives an empty viewer that closes in the same way.
class frm_view : public QDialog
{
    Q_OBJECT
public:
    explicit frm_view(QWidget* parent);

    /// The picture's path, set before the viewer is shown.
    QString p_image() const { return m_image; }
    void setp_image(const QString& path) { m_image = path; }

    /// Lays the viewport, the picture and the bars out for the window's size (loading the
    /// picture first when p_image changed).
    void disponi();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* Picture1 = nullptr; ///< the viewport
    QLabel* Picture2 = nullptr; ///< the picture, at its own size
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton* Command1 = nullptr; ///< fills the corner between the two bars

    QString m_image; ///< the picture's path (p_image)
    QString m_loaded; ///< the path Picture2 holds the picture of
};

/// Shows the picture at path in a modal viewer owned by parent; returns when it closes.
void apri_visualizzatore(QWidget* parent, const QString& path);

} // namespace quad
