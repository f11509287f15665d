#include "database.h"
#include "file_checks.h"
#include "full_disk.h"
#include "killed_worker.h"
#include "password_change.h"
#include "program_folder.h"
#include "temp_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <stdexcept>

using namespace quad;
using quad::test::bytesOf;
using quad::test::opensWith;

namespace {

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
    // Refused before writing, or written although reported as failed: either way every file,
    // the failing one included, opens with the old password only, and no record of the change stays.
    for (RekeyFault fault : {RekeyFault::Refused, RekeyFault::WrittenButReported}) {
        setRekeyFaultForTests([&](const QString& file) { return file == t.subB ? fault : RekeyFault::None; });
        const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
        setRekeyFaultForTests(nullptr);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(r.failedFile, t.subB);
        EXPECT_TRUE(r.notRestored.isEmpty());
        expectNothingChanged(t, QString());
        EXPECT_EQ(QDir(t.prog.path()).entryList({"cambio_password*"}, QDir::Files), QStringList());
    }
}

/// Gives a historical archive of t a password of its own, known to the session.
void keyOtherwise(TwoHistorical& t, const QString& file, const QString& password)
{
    DbResult err;
    auto db = Connection::open(file, test::kPassword, &err);
    ASSERT_TRUE(db && db->rekey(password.toUtf8()).ok());
    t.s.chiavi_archivi.accept(file, password, t.s.p_password);
}

TEST(PasswordChange, AFailedRekeyPutsBackItsOwnPasswordOnAHistoricalArchiveDone)
{
    TwoHistorical t;
    keyOtherwise(t, t.subA, "vecchia");
    setRekeyFaultForTests([&](const QString& file) { return file == t.subB ? RekeyFault::Refused : RekeyFault::None; });
    const PasswordChangeResult r = cambia_password_archivi(t.s, "nuova");
    setRekeyFaultForTests(nullptr);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.failedFile, t.subB);
    EXPECT_TRUE(r.notRestored.isEmpty());
    EXPECT_TRUE(opensWith(t.subA, "vecchia"));
    EXPECT_FALSE(opensWith(t.subA, "nuova"));
    EXPECT_FALSE(opensWith(t.subA, test::kPassword));
    expectNothingChanged(t, t.subA);
    // The session still knows it.
    EXPECT_EQ(t.s.chiavi_archivi.keysFor(t.subA, test::kPassword).first(), "vecchia");
}

TEST(PasswordChange, TheNewPasswordMayBeTheOneAHistoricalArchiveHadOfItsOwn)
{
    TwoHistorical t;
    keyOtherwise(t, t.subA, "vecchia");
    const PasswordChangeResult r = cambia_password_archivi(t.s, "vecchia");
    ASSERT_TRUE(r.ok()) << r.result.message.toStdString();
    for (const QString& file : t.all()) {
        EXPECT_TRUE(opensWith(file, "vecchia")) << file.toStdString();
        EXPECT_FALSE(opensWith(file, test::kPassword)) << file.toStdString();
    }
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

// ---------------------------------------------------------------------------------------------
// A change cut short: a copy of this test program, started with QUAD_PASSWORD_* set, runs
// PasswordChangeWorker.Run (skipped otherwise) and stops where it is told, to be killed there.

namespace {

TEST(PasswordChangeWorker, Run)
{
    const QString dir = qEnvironmentVariable("QUAD_PASSWORD_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "started by the InterruptedPasswordChange tests";
    setProgramFolder(dir);
    const QString stopAt = qEnvironmentVariable("QUAD_PASSWORD_STOP");
    WorkingState s;
    s.p_password = test::kPassword;
    s.p_sub_use = true;
    s.p_sub_dir = QStringList {"2019", "Vecchio"};
    // SUB_2019 keyed with a password of its own, which the session knows.
    const QString ownKey = qEnvironmentVariable("QUAD_PASSWORD_OWN_KEY");
    if (!ownKey.isEmpty())
        s.chiavi_archivi.accept(QDir(dir).filePath("SUB_2019/Arch_quadernolo.mdb"), ownKey, s.p_password);
    // "rekey <folder>": in the middle of that archive's rekey, some of its pages written.
    std::unique_ptr<test::FullDisk> midRekey;
    if (stopAt.startsWith("rekey ")) {
        int written = 0;
        midRekey = std::make_unique<test::FullDisk>(stopAt.mid(6) + "/", [written](const QString& path) mutable {
            if (!path.endsWith("-journal") && ++written == 5)
                test::waitToBeKilled();
        });
    }
    setPasswordChangeStepForTests([&](const QString& step) {
        if (step == stopAt)
            test::waitToBeKilled();
    });
    (void)cambia_password_archivi(s, "nuova");
    FAIL() << "the change was to be stopped at " << stopAt.toStdString();
}

struct Interruption
{
    const char* stopAt;
    const char* login; ///< the password typed at the next login
    const char* ownKey = ""; ///< SUB_2019's own password before the change ("": the session's)
};

void PrintTo(const Interruption& i, std::ostream* os)
{
    *os << i.stopAt << " / " << i.login << (*i.ownKey ? " / SUB_2019 keyed otherwise" : "");
}

class InterruptedPasswordChange : public ::testing::TestWithParam<Interruption>
{
};

TEST_P(InterruptedPasswordChange, TheNextLoginGivesEveryArchiveThePasswordTyped)
{
    TwoHistorical t;
    const QString ownKey = GetParam().ownKey;
    for (const QString& file : t.all()) {
        DbResult err;
        auto db = Connection::open(file, test::kPassword, &err);
        ASSERT_TRUE(db && db->exec("INSERT OR REPLACE INTO test_pass (id, testo) VALUES (2, ?)", {file}).ok());
        if (file == t.subA && !ownKey.isEmpty()) {
            ASSERT_TRUE(db->rekey(ownKey.toUtf8()).ok());
        }
    }

    QProcess worker;
    QProcessEnvironment env;
    env.insert("QUAD_PASSWORD_DIR", t.prog.path());
    env.insert("QUAD_PASSWORD_STOP", GetParam().stopAt);
    env.insert("QUAD_PASSWORD_OWN_KEY", ownKey);
    QByteArray output;
    ASSERT_TRUE(test::startWorkerUntilReady(worker, "PasswordChangeWorker.Run", env, &output)) << output.toStdString();
    worker.kill();
    ASSERT_TRUE(worker.waitForFinished(10000));
    // Killed inside the engine's rekey: the archive holds pages under both keys and its journal.
    if (QByteArray(GetParam().stopAt).startsWith("rekey")) {
        EXPECT_TRUE(QFileInfo::exists(t.subA + "-journal"));
    }

    const QString login = GetParam().login;
    const QString other = login == QLatin1String(test::kPassword) ? "nuova" : test::kPassword;
    const PasswordRecovery r = riprendi_cambio_password(login);
    EXPECT_EQ(r.outcome, PasswordRecovery::Outcome::Completed) << r.failedFile.toStdString();
    EXPECT_FALSE(descrivi_ripresa_password(r).isEmpty());
    for (const QString& file : t.all()) {
        DbResult err;
        auto db = Connection::open(file, login.toUtf8(), &err);
        ASSERT_TRUE(db) << file.toStdString() << ": " << err.message.toStdString();
        EXPECT_EQ(db->scalar("PRAGMA integrity_check").toString(), "ok") << file.toStdString();
        EXPECT_EQ(db->scalar("SELECT testo FROM test_pass WHERE id = 2").toString(), file);
        EXPECT_FALSE(opensWith(file, other)) << file.toStdString();
    }
    // The historical archive keyed otherwise took the password typed too.
    if (!ownKey.isEmpty()) {
        EXPECT_FALSE(opensWith(t.subA, ownKey));
    }
    EXPECT_EQ(QDir(t.prog.path()).entryList({"cambio_password*"}, QDir::Files), QStringList());
    // Mended once: the next login finds nothing to mend.
    EXPECT_EQ(riprendi_cambio_password(login).outcome, PasswordRecovery::Outcome::None);
}

// Before any archive changed, in the middle of one, after some, after all, and with the record
// half removed; the next login brings the old password or the new one.
INSTANTIATE_TEST_SUITE_P(AtEveryStep, InterruptedPasswordChange,
                         ::testing::Values(Interruption {"giornale", "nuova"},
                                           Interruption {"rekey SUB_2019", test::kPassword},
                                           Interruption {"rekey SUB_2019", "nuova"},
                                           Interruption {"archivio 2", test::kPassword}, Interruption {"fine", "nuova"},
                                           Interruption {"rimosso", "nuova"}));

// SUB_2019 had a password of its own: before its rekey, in the middle of it, after it; the next
// login brings the session's old password or the new one.
INSTANTIATE_TEST_SUITE_P(HistoricalKeyedOtherwise, InterruptedPasswordChange,
                         ::testing::Values(Interruption {"giornale", test::kPassword, "vecchia"},
                                           Interruption {"giornale", "nuova", "vecchia"},
                                           Interruption {"rekey SUB_2019", test::kPassword, "vecchia"},
                                           Interruption {"rekey SUB_2019", "nuova", "vecchia"},
                                           Interruption {"archivio 2", test::kPassword, "vecchia"}));

TEST(InterruptedPasswordChangeRecord, APasswordOfNeitherSideOrALivingChangeIsLeftAlone)
{
    TwoHistorical t;
    setPasswordChangeStepForTests([&](const QString& step) {
        if (step != "archivio 1")
            return;
        // Another station logs in while this one is half-way: nothing of the change is touched.
        EXPECT_EQ(riprendi_cambio_password("nuova").outcome, PasswordRecovery::Outcome::None);
        EXPECT_TRUE(opensWith(t.subA, test::kPassword));
        throw std::runtime_error("interrotto");
    });
    EXPECT_THROW((void)cambia_password_archivi(t.s, "nuova"), std::runtime_error);
    setPasswordChangeStepForTests(nullptr);
    EXPECT_EQ(riprendi_cambio_password("estranea").outcome, PasswordRecovery::Outcome::None);
    EXPECT_TRUE(opensWith(t.prog.archive(), "nuova"));
    EXPECT_TRUE(opensWith(t.subA, test::kPassword));
    EXPECT_EQ(riprendi_cambio_password(test::kPassword).outcome, PasswordRecovery::Outcome::Completed);
    for (const QString& file : t.all())
        EXPECT_TRUE(opensWith(file, test::kPassword)) << file.toStdString();
}

} // namespace
