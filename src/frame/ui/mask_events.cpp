// Events of the mask's boxes. The rules of each box (typing masks, checks, pickers, quick find)
// are filled in here by the entry-mask code; until then every box behaves as a plain box.
#include "main_window.h"

#include <QKeyEvent>

namespace quad {

bool Quadernolo::txt_mask1_KeyDown(int Index, QKeyEvent* event)
{
    return false;
}

bool Quadernolo::txt_mask1_KeyPress(int Index, QKeyEvent* event)
{
    return false;
}

void Quadernolo::txt_mask1_GotFocus(int Index)
{
    state.p_index = Index;
}

void Quadernolo::txt_mask1_LostFocus(int Index) { }

void Quadernolo::txt_mask1_Change(int Index) { }

bool Quadernolo::txt_mask1_Validate(int Index)
{
    return true;
}

} // namespace quad
