#include "application_setup.h"
#include "program.h"

#include <QApplication>

int main(int argc, char** argv)
{
    quad::prepareItalianEnvironment();
    QApplication app(argc, argv);
    quad::setUpApplication(app);
    return quad::esegui_programma(app);
}
