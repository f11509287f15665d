#pragma once
// The names a screen reader announces for the boxes of a window.

#include <QHash>
#include <QString>

class QWidget;

namespace quad {

/// Gives every text box under root (line edits, spin boxes, combo boxes, text edits) the name a
/// screen reader announces for it: the text of its label. A box that a label already names (the
/// label's buddy) keeps it. Otherwise the label standing on the box's line, to its left and in
/// the same container, the nearest one, becomes its buddy: the name then follows the label's text
/// as it changes. A box without such a label is named by senzaEtichetta, or else by its tool tip.
/// Boxes that are part of another control (a combo box's editor, a calendar's year box) are left
/// to that control. Call it once the boxes and labels stand in their places.
void annuncia_caselle(QWidget* root, const QHash<const QWidget*, QString>& senzaEtichetta = {});

} // namespace quad
