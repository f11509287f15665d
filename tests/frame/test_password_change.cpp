#include "database.h"
#include "file_checks.h"
#include "full_disk.h"
#include "password_change.h"
#include "program_folder.h"
#include "temp_program.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace quad;
using quad::test::bytesOf;

namespace {

bool opensWith(const QString& file, const QString& password)
{
    DbResult err;
    return Connection::open(file, password.toUtf8(), &err) != nullptr;
}

/// A program folder with two historical archives, "Vecchio" in a folder spelled in lower case.
struct TwoHistorical
{
    test::TempProgram prog;
    WorkingState s;
    QString subA;
    QString subB;

    TwoHistorical()
    {
        subA = prog.addHistorical("SUB_2019");
        subB = prog.addHistorical("sub_Vecchio");
        s.p_password = test::kPassword;
        s.p_sub_use = true;
        s.p_sub_dir = QStringList {"2019", "Vecchio"};
    }
    QStringList all() const { return {prog.archive(), prog.file("arch_base.mdb"), subA, subB}; }
};

TEST(PasswordChangeChecks, RefusalsInOrder)
{
    WorkingState s;
    s.p_password = "Segreta";
    const QString head = "ATTENZIONE ... \n\n";
    // The current password counts case and blanks.
    EXPECT_EQ(verifica_cambio_password(s, "segreta", "nuova", "nuova"),
              head + "Non autorizzato alla modifica della password !");
    EXPECT_EQ(verifica_cambio_password(s, "Segreta ", "nuova", "nuova"),
              head + "Non autorizzato alla modifica della password !");
    // A wrong current password is reported before an empty new one.
    EXPECT_EQ(verifica_cambio_password(s, "x", "", ""), head + "Non autorizzato alla modifica della password !");
    EXPECT_EQ(verifica_cambio_password(s, "Segreta", "   ", "   "), head + "E' obbligatorio inserire una password !");
    EXPECT_EQ(verifica_cambio_password(s, "Segreta", "nuova", "Nuova"),
              head + "Errore nella digitazione della password di conferma!");
    // New password and confirmation are compared as typed: a blank more is a typing error.
    EXPECT_EQ(verifica_cambio_password(s, "Segreta", " nuova", "nuova"),
              head + "Errore nella digitazione della password di conferma!");
    EXPECT_EQ(verifica_cambio_password(s, "Segreta", " nuova", " nuova"), "");
}

TEST(PasswordChangeFiles, LiveTemplateThenHistoricalInOrder)
{
    TwoHistorical t;
    EXPECT_EQ(archivi_con_password(t.s), t.all());
    t.s.p_sub_use = false;
    EXPECT_EQ(archivi_con_password(t.s), QStringList({t.prog.archive(), t.prog.file("arch_base.mdb")}));
}

TEST(PasswordChange, EveryArchiveTakesTheNewPasswordAndLosesTheOld)
{
    TwoHistorical t;
    // A connection the program already holds must not outlive the change with the old key.
    DbResult err;
    auto held = Connection::shared(t.prog.archive(), test::kPassword, &err);
    ASSERT_TRUE(held);
    held.reset();

    const QString nuova = "Nuova pass; 'x' \"y\"";
    const PasswordChangeResult r = cambia_password_archivi(t.s, nuova);
    ASSERT_TRUE(r.ok()) << r.result.message.toStdString();
    EXPECT_TRUE(r.failedFile.isEmpty());
    EXPECT_EQ(t.s.p_password, nuova);
    for (const QString& file : t.all()) {
        EXPECT_TRUE(opensWith(file, nuova)) << file.toStdString();
        EXPECT_FALSE(opensWith(file, test::kPassword)) << file.toStdString();
    }
    // The next login (the shared connection of the live archive) needs the new password.
    EXPECT_FALSE(Connection::shared(t.prog.archive(), test::kPassword, &err));
    auto relogin = Connection::shared(t.prog.archive(), nuova.toUtf8(), &err);
    ASSERT_TRUE(relogin);
    EXPECT_TRUE(relogin->testRead().ok());
}

TEST(PasswordChange, BlanksAroundTheNewPasswordAreKept)
{
    test::TempProgram prog;
    WorkingState s;
    s.p_password = test::kPassword;
    ASSERT_TRUE(cambia_password_archivi(s, " spazi ").ok());
    EXPECT_TRUE(opensWith(prog.archive(), " spazi "));
    EXPECT_FALSE(opensWith(prog.archive(), "spazi"));
}

TEST(PasswordChange, WithoutHistoricalUseTheirFoldersAreLeftAlone)
{
    TwoHistorical t;
    t.s.p_sub_use = false;
    ASSERT_TRUE(cambia_password_archivi(t.s, "altra").ok());
    EXPECT_TRUE(opensWith(t.prog.archive(), "altra"));
    EXPECT_TRUE(opensWith(t.prog.file("arch_base.mdb"), "altra"));
    EXPECT_TRUE(opensWith(t.subA, test::kPassword));
    EXPECT_TRUE(opensWith(t.subB, test::kPassword));
}

void expectNothingChanged(const TwoHistorical& t, const QString& skip)
{
    EXPECT_EQ(t.s.p_password, test::kPassword);
    for (const QString& file : t.all()) {
        if (file == skip)
            continue;
        EXPECT_TRUE(opensWith(file, test::kPassword)) << file.toStdString();
        EXPECT_FALSE(opensWith(file, "nuova")) << file.toStdString();
    }
}

TEST(PasswordChange, AnUnreadableHistoricalArchiveStopsItBeforeAnyChange)
{
    TwoHistorical t;
    {
        QFile f(t.subB);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    }
    const QByteArray damaged = bytesOf(t.subB);
    const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.subB);
    EXPECT_TRUE(descrivi_errore_password(r).startsWith("Impossibile effettuare la modifica della password !"));
    EXPECT_TRUE(descrivi_errore_password(r).contains(QDir::toNativeSeparators(t.subB)));
    expectNothingChanged(t, t.subB);
    EXPECT_EQ(bytesOf(t.subB), damaged);
}

TEST(PasswordChange, AHistoricalArchiveWithAnotherPasswordStopsIt)
{
    TwoHistorical t;
    {
        DbResult err;
        auto db = Connection::open(t.subA, test::kPassword, &err);
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->rekey("diversa").ok());
    }
    const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.subA);
    EXPECT_EQ(r.result.code, DbError::WrongKey);
    EXPECT_TRUE(opensWith(t.subA, "diversa"));
    expectNothingChanged(t, t.subA);
}

TEST(PasswordChange, AMissingHistoricalArchiveIsNamedAndNothingIsCreated)
{
    TwoHistorical t;
    ASSERT_TRUE(QFile::remove(t.subA));
    const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.subA);
    EXPECT_FALSE(QFile::exists(t.subA));
    expectNothingChanged(t, t.subA);
}

TEST(PasswordChange, AFailedRekeyPutsBackTheOldPasswordOnTheFilesDone)
{
    TwoHistorical t;
    setRekeyFaultForTests([&](const QString& file) { return file == t.subB; });
    const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
    setRekeyFaultForTests(nullptr);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.subB);
    EXPECT_TRUE(r.notRestored.isEmpty());
    expectNothingChanged(t, QString());
}

TEST(PasswordChange, AWrongCurrentPasswordChangesNothing)
{
    TwoHistorical t;
    t.s.p_password = "sbagliata";
    const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.prog.archive());
    EXPECT_EQ(t.s.p_password, "sbagliata");
    t.s.p_password = test::kPassword;
    expectNothingChanged(t, QString());
}

} // namespace

namespace {

TEST(PasswordChange, ArchiveReadByAnotherStationKeepsTheOldPasswordEverywhere)
{
    TwoHistorical t;
    // Another station is in the middle of reading the third file.
    DbResult err;
    auto reader = Connection::open(t.subA, test::kPassword, &err);
    ASSERT_TRUE(reader) << err.message.toStdString();
    ASSERT_TRUE(reader->begin().ok());
    ASSERT_TRUE(reader->scalar("SELECT count(*) FROM entrata", {}, &err).isValid()) << err.message.toStdString();

    const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
    ASSERT_TRUE(reader->rollback().ok());
    reader.reset();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.subA);
    EXPECT_EQ(t.s.p_password, test::kPassword);
    EXPECT_TRUE(descrivi_errore_password(r).contains(QDir::toNativeSeparators(t.subA)));
    expectNothingChanged(t, QString());
}

TEST(PasswordChange, AFullDiskKeepsTheOldPasswordEverywhereAndNamesTheFile)
{
    TwoHistorical t;
    PasswordChangeResult r;
    {
        test::FullDisk full("sub_Vecchio");
        r = cambia_password_archivi(t.s, "nuova");
    }
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.subB);
    EXPECT_TRUE(r.notRestored.isEmpty());
    const QString text = descrivi_errore_password(r);
    EXPECT_TRUE(text.startsWith("Impossibile effettuare la modifica della password !")) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(t.subB))) << text.toStdString();
    expectNothingChanged(t, QString());
}

} // namespace
