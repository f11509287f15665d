// Password changes that do not end cleanly: a rekey whose old key cannot be put back, a change
// killed while it writes its record, a login killed while it removes that record. A copy of this
// test program, started with QUAD_JOURNAL_* set, runs PasswordJournalWorker.Run (skipped
// otherwise) and stops where it is told, to be killed there.
#include "database.h"
#include "file_checks.h"
#include "full_disk.h"
#include "killed_worker.h"
#include "password_change.h"
#include "program_folder.h"
#include "temp_program.h"

#include <QDir>
#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <stdexcept>

using namespace quad;
using quad::test::opensWith;

namespace {

/// The live archive, the template and one historical archive, keyed with the template's password.
struct Archives
{
    test::TempProgram prog;
    WorkingState s;
    QString historical;

    Archives()
    {
        historical = prog.addHistorical("SUB_2019");
        s.p_password = test::kPassword;
        s.p_sub_use = true;
        s.p_sub_dir = QStringList {"2019"};
    }
    QStringList all() const { return {prog.archive(), prog.file("arch_base.mdb"), historical}; }
    QStringList left(const QString& pattern) const { return QDir(prog.path()).entryList({pattern}, QDir::Files); }
    void expectEveryArchiveOpensOnlyWith(const QString& password, const QString& other) const
    {
        for (const QString& file : all()) {
            EXPECT_TRUE(opensWith(file, password)) << file.toStdString();
            EXPECT_FALSE(opensWith(file, other)) << file.toStdString();
        }
    }
};

/// Runs the worker on folder up to stopAt and kills it there.
void runWorkerUntilKilled(const Archives& a, const QString& stopAt, const QString& login = QString())
{
    QProcess worker;
    QProcessEnvironment env;
    env.insert("QUAD_JOURNAL_DIR", a.prog.path());
    env.insert("QUAD_JOURNAL_STOP", stopAt);
    env.insert("QUAD_JOURNAL_LOGIN", login);
    QByteArray output;
    ASSERT_TRUE(test::startWorkerUntilReady(worker, "PasswordJournalWorker.Run", env, &output)) << output.toStdString();
    worker.kill();
    ASSERT_TRUE(worker.waitForFinished(10000));
}

TEST(PasswordJournalWorker, Run)
{
    const QString dir = qEnvironmentVariable("QUAD_JOURNAL_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "started by the tests of this file";
    setProgramFolder(dir);
    const QString stopAt = qEnvironmentVariable("QUAD_JOURNAL_STOP");
    if (stopAt.startsWith("record ")) {
        // A few pages into the record's file named, before it takes its name.
        int written = 0;
        test::FullDisk writing(stopAt.mid(7), [&written](const QString&) {
            if (++written == 3)
                test::waitToBeKilled();
        });
        WorkingState s;
        s.p_password = test::kPassword;
        s.p_sub_use = true;
        s.p_sub_dir = QStringList {"2019"};
        (void)cambia_password_archivi(s, "nuova");
    } else {
        setPasswordChangeStepForTests([&](const QString& step) {
            if (step == stopAt)
                test::waitToBeKilled();
        });
        (void)riprendi_cambio_password(qEnvironmentVariable("QUAD_JOURNAL_LOGIN"));
    }
    FAIL() << "the worker was to be stopped at " << stopAt.toStdString();
}

TEST(InterruptedPasswordChange, ARecordLeftHalfWrittenByAKilledChangeGoesWithTheNextChange)
{
    Archives a;
    runWorkerUntilKilled(a, QStringLiteral("record ") + kPasswordJournalNew);
    // What the killed change left: its record's first file under a temporary name, and that
    // file's journal.
    EXPECT_EQ(a.left("cambio_password_*.db"), QStringList());
    const QStringList left = a.left("cambio_password_nuova.db.*");
    ASSERT_FALSE(left.isEmpty());
    EXPECT_FALSE(left.filter("-journal").isEmpty()) << left.join(' ').toStdString();
    a.expectEveryArchiveOpensOnlyWith(test::kPassword, "nuova");

    ASSERT_TRUE(cambia_password_archivi(a.s, "nuova").ok());
    EXPECT_EQ(a.left("cambio_password*"), QStringList());
    a.expectEveryArchiveOpensOnlyWith("nuova", test::kPassword);
}

class KilledWhileWritingTheSecondRecordFile : public ::testing::TestWithParam<const char*>
{
};

TEST_P(KilledWhileWritingTheSecondRecordFile, TheNextLoginTakesEitherPassword)
{
    Archives a;
    runWorkerUntilKilled(a, QStringLiteral("record ") + kPasswordJournalOld);
    ASSERT_EQ(a.left("cambio_password_*.db"), QStringList({"cambio_password_nuova.db"}));
    a.expectEveryArchiveOpensOnlyWith(test::kPassword, "nuova");

    // The new password finishes the change; the old one, which still opens every archive, drops it.
    const QString login = GetParam();
    const QString other = login == QLatin1String("nuova") ? test::kPassword : "nuova";
    const PasswordRecovery r = riprendi_cambio_password(login);
    EXPECT_EQ(r.outcome,
              login == QLatin1String("nuova") ? PasswordRecovery::Outcome::Completed : PasswordRecovery::Outcome::None);
    a.expectEveryArchiveOpensOnlyWith(login, other);
    EXPECT_EQ(a.left("cambio_password*"), QStringList());
}

INSTANTIATE_TEST_SUITE_P(EitherPassword, KilledWhileWritingTheSecondRecordFile,
                         ::testing::Values("nuova", test::kPassword));

TEST(InterruptedPasswordChange, ARekeyThatCannotBeUndoneKeepsTheRecordAndTheNextLoginMendsEveryArchive)
{
    Archives a;
    // The historical archive takes the new key but is reported failed, and then its disk refuses
    // the old key back.
    std::unique_ptr<test::FullDisk> full;
    setRekeyFaultForTests([&](const QString& file) {
        if (file != a.historical)
            return RekeyFault::None;
        full = std::make_unique<test::FullDisk>("SUB_2019");
        return RekeyFault::WrittenButReported;
    });
    const PasswordChangeResult r = cambia_password_archivi(a.s, "nuova");
    setRekeyFaultForTests(nullptr);
    full.reset();

    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.notRestored, QStringList {a.historical});
    EXPECT_TRUE(descrivi_errore_password(r).contains("ATTENZIONE: hanno ancora la nuova password"));
    EXPECT_EQ(a.s.p_password, test::kPassword);
    EXPECT_TRUE(opensWith(a.historical, "nuova"));
    EXPECT_EQ(a.left("cambio_password*"), QStringList({"cambio_password_nuova.db", "cambio_password_vecchia.db"}));

    EXPECT_EQ(riprendi_cambio_password(test::kPassword).outcome, PasswordRecovery::Outcome::Completed);
    a.expectEveryArchiveOpensOnlyWith(test::kPassword, "nuova");
    EXPECT_EQ(a.left("cambio_password*"), QStringList());
}

struct Recovery
{
    const char* login; ///< the password the interrupted recovery was given
    const char* later; ///< the other password of the change, typed at a later login
};

void PrintTo(const Recovery& r, std::ostream* os)
{
    *os << r.login << " then " << r.later;
}

class InterruptedPasswordRecovery : public ::testing::TestWithParam<Recovery>
{
};

TEST_P(InterruptedPasswordRecovery, KilledBetweenItsTwoRemovalsALaterLoginWithTheOtherPasswordUndoesNothing)
{
    Archives a;
    // A change stopped after the live archive took the new password.
    setPasswordChangeStepForTests([](const QString& step) {
        if (step == "archivio 0")
            throw std::runtime_error("interrotto");
    });
    EXPECT_THROW((void)cambia_password_archivi(a.s, "nuova"), std::runtime_error);
    setPasswordChangeStepForTests(nullptr);

    const QString login = GetParam().login;
    const QString later = GetParam().later;
    runWorkerUntilKilled(a, "rimosso", login);
    EXPECT_EQ(a.left("cambio_password*").size(), 1);

    EXPECT_EQ(riprendi_cambio_password(later).outcome, PasswordRecovery::Outcome::None);
    a.expectEveryArchiveOpensOnlyWith(login, later);
    // The login with the password the recovery gave the archives clears what is left.
    EXPECT_EQ(riprendi_cambio_password(login).outcome, PasswordRecovery::Outcome::Completed);
    a.expectEveryArchiveOpensOnlyWith(login, later);
    EXPECT_EQ(a.left("cambio_password*"), QStringList());
}

INSTANTIATE_TEST_SUITE_P(EitherPassword, InterruptedPasswordRecovery,
                         ::testing::Values(Recovery {"nuova", test::kPassword}, Recovery {test::kPassword, "nuova"}));

} // namespace
