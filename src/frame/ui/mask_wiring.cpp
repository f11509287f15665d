// The events of the entry mask that the boxes' own handlers do not see: drops and double
// clicks on the link box, the preview's double click and its refresh when the mask shows, the
// calendar and the two pick lists, the clicks that dismiss the pop-ups, and the register grid's
// typing.
#include "main_window.h"
#include "mask_rules.h"

#include "calendar_popup.h"
#include "data_control.h"

#include "recordset.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QToolBar>

namespace quad {

namespace {

bool tastoInvio(const QEvent* event)
{
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

/// Routes the watched controls' events to the window's handlers.
class RegoleMaschera : public QObject
{
public:
    explicit RegoleMaschera(Quadernolo* window)
        : QObject(window)
        , m_w(window)
    {
        setObjectName(QStringLiteral("regole_maschera"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == m_w->m_selettori->list_elenco && type == QEvent::KeyPress && tastoInvio(event)) {
            m_w->m_selettori->list_elenco_DblClick();
            return true;
        }
        if (watched == m_w->m_selettori->list_view && type == QEvent::KeyPress) {
            if (tastoInvio(event)) {
                m_w->m_selettori->list_view_DblClick();
                return true;
            }
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                m_w->m_selettori->list_view->hide();
                m_w->Frm_mask->casella(3)->setFocus();
                return true;
            }
            return false;
        }
        if (watched == m_w->m_griglia->DataGrid1 && type == QEvent::KeyPress)
            return m_w->m_griglia->DataGrid1_KeyDown(static_cast<QKeyEvent*>(event));
        // A click on the mask's viewport, the print pop-up or a tool bar (beside its buttons)
        // dismisses the pop-ups (the mask reports its own clicks).
        if ((watched == m_w->Pic_mask || watched == m_w->Picture1 || watched == m_w->pic_tool_orizz->Toolbar1
             || watched == m_w->pic_tool_orizz->Toolbar2)
            && type == QEvent::MouseButtonPress)
            m_w->nascondi_popup();
        // The register may have moved while the grid was shown: the preview follows the entry.
        if (watched == m_w->Pic_mask && type == QEvent::Show)
            m_w->m_maschera->mostra_anteprima_collegamento();
        return false;
    }

private:
    Quadernolo* m_w;
};

} // namespace

void Quadernolo::collega_regole_maschera()
{
    if (findChild<RegoleMaschera*>(QStringLiteral("regole_maschera"), Qt::FindDirectChildrenOnly))
        return;
    auto* regole = new RegoleMaschera(this);

    for (QObject* watched :
         std::initializer_list<QObject*> {m_selettori->list_elenco, m_selettori->list_view, m_griglia->DataGrid1,
                                          Pic_mask, Picture1, pic_tool_orizz->Toolbar1, pic_tool_orizz->Toolbar2})
        watched->installEventFilter(regole);
}

void Quadernolo::nascondi_popup()
{
    Picture1->hide();
    Picture4->hide();
}

} // namespace quad
