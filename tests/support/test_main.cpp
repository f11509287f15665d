#include "application_setup.h"
#include "window_keys.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The program's own set-up, so that tests see the locale and texts the clerk sees.
    quad::prepareItalianEnvironment();
    QApplication app(argc, argv);
    quad::setUpApplication(app);
    quad::installWindowKeys(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
