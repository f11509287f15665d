#pragma once
// The regions of the register's window that hold controls of their own: the viewport of the entry
// mask with its scroll bars, and the navigation strip under the mask.

#include <QFrame>
#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QScrollBar;
class QSize;

namespace quad {

/// The viewport Pic_mask of the entry mask, with its scroll bars VScroll2 and HScroll2 and their
/// corner button cmd_scroll_1: the mask moves inside it while a bar shows.
class MaskViewport : public QWidget
{
    Q_OBJECT
public:
    explicit MaskViewport(QWidget* parent);

    /// The mask the scroll bars move while they show.
    void imposta_contenuto(QWidget* content);
    /// The mask centred in the viewport as it stands, alzata pixels higher.
    void centra_contenuto(int alzata = 0);
    /// Fits the mask after the viewport took its size in an area of size area: a mask higher than
    /// the viewport gets the vertical bar along the area's right edge, altezzaBarra high, and is at
    /// its top; a lower one is centred, with the viewport centred in the area. A mask wider than
    /// the viewport gets the horizontal bar along the viewport's foot and is at its left; a
    /// narrower one is centred. The width of the vertical bar when it shows, 0 otherwise.
    int adatta(const QSize& area, int altezzaBarra);
    /// The height of the corner button below the scroll bars.
    int altezza_angolo() const;

private:
    QPushButton* cmd_scroll_1 = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QScrollBar* HScroll2 = nullptr;
    QWidget* m_content = nullptr;
};

/// The navigation strip pic_move of the mask view: cmd_move (first, previous, next, last) and the
/// register's count lbl_filtro.
class NavigationStrip : public QFrame
{
    Q_OBJECT
public:
    explicit NavigationStrip(QWidget* parent);

    /// Packs the last two buttons against the right edge.
    void dispose();
    /// The register's count as its data control captions it.
    void scrivi_totale(const QString& totale);

signals:
    void clicked(int Index);

private:
    std::vector<QPushButton*> cmd_move;
    QLabel* lbl_filtro = nullptr;
};

} // namespace quad
