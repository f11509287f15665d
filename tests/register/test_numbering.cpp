#include "clock.h"
#include "entry_store.h"
#include "issuing_lock.h"
#include "numbering.h"
#include "temp_program.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace quad;

namespace {

class NumberingTest : public ::testing::Test
{
protected:
    test::TempProgram prog;
    std::shared_ptr<Connection> db;
    FixedClock clock {QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58, 750))};

    void SetUp() override
    {
        DbResult err;
        db = Connection::open(prog.archive(), test::kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
        Clock::install(&clock);
    }
    void TearDown() override { Clock::install(nullptr); }

    /// Entries 1 to last, directions mixed, one correspondent each, dated through 2025.
    void seed(int last)
    {
        ASSERT_TRUE(db->begin().ok());
        for (int n = 1; n <= last; ++n) {
            const QString tipo = n % 3 == 0 ? "U" : "E";
            ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo, Data_quadernolo, Anno, Oggetto) "
                                 "VALUES (?, ?, ?, 2025, ?)",
                                 {n, tipo, QDate(2025, 1, 1).addDays(n), QString("oggetto %1").arg(n)})
                            .ok());
            ASSERT_TRUE(db->exec("INSERT INTO Mittenti (Quadernolo, tipo, Nominativo) VALUES (?, ?, ?)",
                                 {n, tipo, QString("nome %1").arg(n)})
                            .ok());
        }
        ASSERT_TRUE(db->commit().ok());
    }

    qint64 count(const char* sql) { return db->scalar(sql).toLongLong(); }

    static std::function<std::optional<QString>()> answer(std::optional<QString> typed, int* asked)
    {
        return [typed, asked] {
            ++*asked;
            return typed;
        };
    }
};

TEST(StartNumber, OnlyPositiveWholeNumbersPass)
{
    EXPECT_EQ(parseStartNumber("100"), 100);
    EXPECT_EQ(parseStartNumber(" 12 "), 12);
    EXPECT_EQ(parseStartNumber("\t7\n"), 7);
    EXPECT_EQ(parseStartNumber("007"), 7);
    EXPECT_EQ(parseStartNumber("2147483647"), 2147483647);
    for (const char* refused :
         {"", "   ", "0", "000", "-3", "+3", "abc", "1.5", "1,5", "12abc", "a12", "1 2", "1e3", "2147483648",
          "9223372036854775807", "99999999999999999999", "\xd9\xa3" /* an Arabic-Indic three */}) {
        EXPECT_FALSE(parseStartNumber(QString::fromUtf8(refused)).has_value()) << refused;
    }
    EXPECT_FALSE(parseStartNumber(QString()).has_value());
}

TEST(StartNumber, DirectionCodeFollowsTheRegister)
{
    EXPECT_EQ(directionCode("Entrata"), "E");
    EXPECT_EQ(directionCode("Uscita"), "U");
    EXPECT_EQ(directionCode("Menu"), "U");
}

TEST_F(NumberingTest, AfterFiftySevenEitherDirectionGetsFiftyEightWithTodaysDateTimeAndYear)
{
    seed(57);
    const NextNumber next = nextNumber(*db);
    ASSERT_TRUE(next.result.ok());
    EXPECT_FALSE(next.emptyRegister);
    EXPECT_EQ(next.number, 58);
    EXPECT_EQ(next.lastDate, QDate(2025, 1, 1).addDays(57));

    for (const char* sessione : {"Entrata", "Uscita"}) {
        const NewEntry entry = makeNewEntry(next.number, sessione, Clock::currentDateTime());
        const QString tipo = sessione == QString("Entrata") ? "E" : "U";
        EXPECT_EQ(entry.number(), 58);
        EXPECT_EQ(entry.tipo(), tipo);
        EXPECT_EQ(entry.record.value("Data_quadernolo").toDate(), QDate(2025, 12, 31));
        EXPECT_EQ(entry.record.value("Anno").toInt(), 2025);
        EXPECT_EQ(entry.record.value("Orario").toTime(), QTime(23, 59, 58));
        EXPECT_EQ(entry.record.value("Numero_documenti").toInt(), 0);
        EXPECT_FALSE(entry.record.value("Annullato").toBool());
        EXPECT_FALSE(entry.record.value("Riservato").toBool());
        ASSERT_EQ(entry.correspondents.size(), 1);
        EXPECT_EQ(entry.correspondents[0].value("Quadernolo").toLongLong(), 58);
        EXPECT_EQ(entry.correspondents[0].value("tipo").toString(), tipo);
        EXPECT_TRUE(isBlankCorrespondent(entry.correspondents[0]));
    }

    // Allocated under the lock and committed: stored as the archive keeps dates and times.
    IssuingLock lock(prog.path());
    int asked = 0;
    const Allocation a = allocateNumber(*db, lock, answer(QString("5"), &asked));
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a.number, 58);
    EXPECT_FALSE(a.firstEntry);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(lock.isHeld());
    NewEntry entry = makeNewEntry(a.number, "Uscita", Clock::currentDateTime());
    entry.record["Tipo_documento"] = "Lettera";
    entry.record["Oggetto"] = "Richiesta";
    entry.correspondents[0]["Nominativo"] = "Rossi";
    ASSERT_TRUE(EntryStore(*db).commitNewEntry(entry).ok());
    ASSERT_TRUE(lock.release());
    QStringList stored;
    EXPECT_TRUE(
        db->query("SELECT Tipo, Data_quadernolo, Orario, Anno, Annullato, Riservato, Numero_documenti FROM entrata "
                  "WHERE Progressivo = 58",
                  {},
                  [&](const Statement& st) {
                      for (int i = 0; i < 7; ++i)
                          stored << st.value(i).toString();
                      return false;
                  })
            .ok());
    EXPECT_EQ(stored, QStringList({"U", "2025-12-31", "23:59:58", "2025", "0", "0", "0"}));
    EXPECT_EQ(nextNumber(*db).number, 59);
}

TEST_F(NumberingTest, TheNumberIsReadFromTheFileNotFromWhatThisStationSawBefore)
{
    seed(57);
    DbResult err;
    auto other = Connection::open(prog.archive(), test::kPassword, &err);
    ASSERT_TRUE(other);
    EXPECT_EQ(nextNumber(*db).number, 58);
    NewEntry entry = makeNewEntry(58, "Entrata", Clock::currentDateTime());
    entry.correspondents[0]["Nominativo"] = "Bianchi";
    ASSERT_TRUE(EntryStore(*other).commitNewEntry(entry).ok());
    EXPECT_EQ(nextNumber(*db).number, 59);
    // An entry without correspondents is missing from the register view but keeps its number.
    ASSERT_TRUE(other->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (70, 'E')").ok());
    EXPECT_EQ(nextNumber(*db).number, 71);
}

TEST_F(NumberingTest, EmptyRegisterTakesTheStartNumberTyped)
{
    IssuingLock lock(prog.path());
    int asked = 0;
    const Allocation a = allocateNumber(*db, lock, answer(QString(" 100 "), &asked));
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(a.number, 100);
    EXPECT_TRUE(a.firstEntry);
    EXPECT_EQ(a.lastDate, QDate(2025, 12, 31));
    EXPECT_EQ(prog.readFile("emissione.txt"), "...\r\n");
    EXPECT_EQ(count("SELECT count(*) FROM entrata"), 0);
}

TEST_F(NumberingTest, RefusedStartNumbersLeaveNeitherLockNorRows)
{
    const std::vector<std::optional<QString>> answers {std::nullopt,  QString(""),    QString("0"),     QString("abc"),
                                                       QString("-3"), QString("1.5"), QString("12abc"), QString("  ")};
    for (const auto& typed : answers) {
        IssuingLock lock(prog.path());
        int asked = 0;
        const Allocation a = allocateNumber(*db, lock, answer(typed, &asked));
        EXPECT_EQ(a.status, AllocationStatus::StartRefused) << typed.value_or("<cancel>").toStdString();
        EXPECT_EQ(asked, 1);
        EXPECT_FALSE(lock.isHeld());
        EXPECT_FALSE(IssuingLock::isPresent(prog.path()));
    }
    EXPECT_EQ(count("SELECT count(*) FROM entrata"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM Mittenti"), 0);
    EXPECT_EQ(QString(kStartNumberRefusedText), "   AZIONE ANNULLATA   \n\n    Valore non valido !");
}

TEST_F(NumberingTest, TheLastNumberIsGivenOnceAndThenTheRegisterTakesNoMore)
{
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (2147483646, 'E')").ok());
    int asked = 0;
    const auto allocate = [&] {
        IssuingLock lock(prog.path());
        const Allocation a = allocateNumber(*db, lock, answer(QString("1"), &asked));
        if (a.ok())
            EXPECT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (?, 'U')", {a.number}).ok());
        else
            EXPECT_FALSE(lock.isHeld());
        return a;
    };
    const Allocation last = allocate();
    ASSERT_TRUE(last.ok());
    EXPECT_EQ(last.number, 2147483647);

    // Full: no number and no lock left.
    EXPECT_EQ(allocate().status, AllocationStatus::LastNumberReached);
    EXPECT_FALSE(IssuingLock::isPresent(prog.path()));
    // Nor past the last, where an entry was stored beyond it before.
    ASSERT_TRUE(db->exec("INSERT INTO entrata (Progressivo, Tipo) VALUES (2147483648, 'U')").ok());
    EXPECT_EQ(allocate().status, AllocationStatus::LastNumberReached);
    EXPECT_FALSE(IssuingLock::isPresent(prog.path()));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(count("SELECT max(Progressivo) FROM entrata"), 2147483648);
    EXPECT_EQ(QString(kLastNumberText),
              "ATTENZIONE !\n\nIl registro ha raggiunto l' ultimo numero (2147483647): non "
              "si possono registrare altri quadernoli.");
}

TEST_F(NumberingTest, AnotherStationsLockRefusesWithoutAskingOrTouchingIt)
{
    IssuingLock other(prog.path());
    ASSERT_TRUE(other.acquire().ok());
    IssuingLock mine(prog.path());
    int asked = 0;
    const Allocation a = allocateNumber(*db, mine, answer(QString("1"), &asked));
    EXPECT_EQ(a.status, AllocationStatus::LockHeld);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(prog.readFile("emissione.txt"), "...\r\n");
    EXPECT_TRUE(other.isHeld());
    EXPECT_EQ(QString(kLockHeldText), "ATTENZIONE !!\n\nQuadernolo in emissione da altro utente.");
}

TEST_F(NumberingTest, AnArchiveThatCannotBeReadGivesTheLockBack)
{
    ASSERT_TRUE(db->exec("DROP TABLE entrata").ok());
    IssuingLock lock(prog.path());
    int asked = 0;
    const Allocation a = allocateNumber(*db, lock, answer(QString("1"), &asked));
    EXPECT_EQ(a.status, AllocationStatus::ReadFailed);
    EXPECT_FALSE(a.message.isEmpty());
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(IssuingLock::isPresent(prog.path()));

    IssuingLock nowhere(prog.file("missing"));
    EXPECT_EQ(allocateNumber(*db, nowhere, answer(QString("1"), &asked)).status, AllocationStatus::LockFailed);
}

} // namespace
