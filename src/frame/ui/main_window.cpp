#include "main_window.h"

namespace quad {

Quadernolo::Quadernolo(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Quadernolo"));
    setWindowTitle(QStringLiteral("Gestione quadernolo"));
    resize(592, 569);
}

} // namespace quad
