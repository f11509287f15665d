// The program runs in Italian whatever the environment's locale (the tests run under C.UTF-8).
#include "application_setup.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileSystemModel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

TEST(ApplicationSetUp, TheLocaleIsItalianWhateverTheEnvironments)
{
    EXPECT_EQ(QLocale().language(), QLocale::Italian);
    EXPECT_EQ(QLocale().toString(QDate(2025, 6, 14), "dddd d MMMM"), "sabato 14 giugno");
    // Qt's own dialogs read the system locale.
    EXPECT_EQ(QLocale::system().language(), QLocale::Italian);
    EXPECT_EQ(QLocale::system().toString(1234.5, 'f', 1), "1.234,5");
    EXPECT_EQ(QCoreApplication::applicationName(), "Quadernolo");
}

TEST(ApplicationSetUp, TheFileDialogsListShowsItalianDatesAndSizes)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("lettera.pdf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(2500, 'x'));
    ASSERT_TRUE(file.flush());
    const QDateTime stamp(QDate(2025, 3, 7), QTime(16, 45));
    ASSERT_TRUE(file.setFileTime(stamp, QFileDevice::FileModificationTime));
    file.close();

    QFileSystemModel model;
    bool loaded = false;
    QObject::connect(&model, &QFileSystemModel::directoryLoaded, [&] { loaded = true; });
    const QModelIndex root = model.setRootPath(dir.path());
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded && model.rowCount(root) == 1; }));
    const QModelIndex row = model.index(0, 0, root);
    EXPECT_EQ(model.data(row.siblingAtColumn(3)).toString().toStdString(), "07/03/25 16:45");
    EXPECT_EQ(model.data(row.siblingAtColumn(1)).toString().toStdString(), "2,44 KiB");
}
