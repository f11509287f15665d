#pragma once

#include "working_state.h"

#include <QMainWindow>

namespace quad {

/// The main window of the program.
class Quadernolo : public QMainWindow
{
    Q_OBJECT
public:
    explicit Quadernolo(QWidget* parent = nullptr);

    WorkingState state;
};

} // namespace quad
