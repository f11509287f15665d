// Several stations on one program folder, each a copy of this test program started with the
// QUAD_STATION_* variables set: it then runs StationWorker.Run, which is skipped otherwise.

#include "clock.h"
#include "entry_store.h"
#include "issuing_lock.h"
#include "killed_worker.h"
#include "numbering.h"
#include "subject_correction.h"
#include "temp_program.h"

#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>

using namespace quad;

namespace {

constexpr int kEntriesPerStation = 200;
constexpr int kCorrectionsPerStation = 300;

QString nameFor(int station, qint64 number, int k)
{
    return QString("S%1-%2-%3").arg(station).arg(number).arg(k);
}

/// Correspondents an entry gets: one to three, by its number.
int rowsFor(qint64 number)
{
    return 1 + static_cast<int>(number % 3);
}

NewEntry entryFor(int station, qint64 number)
{
    NewEntry e = makeNewEntry(number, station % 2 ? "Entrata" : "Uscita", Clock::currentDateTime());
    e.record["Tipo_documento"] = "Lettera";
    e.record["Oggetto"] = QString("stazione %1").arg(station);
    e.correspondents.clear();
    for (int k = 1; k <= rowsFor(number); ++k) {
        QVariantMap row = newCorrespondent(number, e.tipo());
        row["Nominativo"] = nameFor(station, number, k);
        e.correspondents << row;
    }
    return e;
}

int g_insertsBeforeDeath = 0;

/// Update hook of a station that is to be killed: once enough rows are in, it says so and waits.
void stopMidInsert(void*, int, const char*, const char* table, sqlite3_int64)
{
    if (QByteArray(table).compare("Mittenti", Qt::CaseInsensitive) != 0 || --g_insertsBeforeDeath > 0)
        return;
    test::waitToBeKilled();
}

TEST(StationWorker, Run)
{
    const QString dir = qEnvironmentVariable("QUAD_STATION_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "started by the MultiStation tests";
    const QString mode = qEnvironmentVariable("QUAD_STATION_MODE");
    const int station = qEnvironmentVariableIntValue("QUAD_STATION_ID");
    DbResult err;
    auto db = Connection::open(QDir(dir).filePath("Arch_quadernolo.mdb"), test::kPassword, &err);
    ASSERT_TRUE(db) << err.message.toStdString();
    const auto startAtOne = [] { return std::optional<QString>(QStringLiteral("1")); };

    if (mode == "die") {
        IssuingLock lock(dir);
        const Allocation a = allocateNumber(*db, lock, startAtOne);
        ASSERT_TRUE(a.ok());
        NewEntry e = entryFor(station, a.number);
        // Enough big rows, and a page cache small enough, for pages to reach the file before the commit.
        for (int k = 0; k < 300; ++k) {
            QVariantMap row = newCorrespondent(a.number, e.tipo());
            row["Nominativo"] = QString(600, QLatin1Char('a' + k % 26));
            e.correspondents << row;
        }
        ASSERT_TRUE(db->exec("PRAGMA cache_size = 2").ok());
        g_insertsBeforeDeath = 250;
        sqlite3_update_hook(db->handle(), stopMidInsert, nullptr);
        (void)EntryStore(*db).commitNewEntry(e); // never returns: the station dies inside it
        FAIL() << "the station was to be killed in the middle of the insert";
    }

    if (mode == "correct") {
        // Both stations start together, once each has its connection.
        std::printf("READY\n");
        std::fflush(stdout);
        const QDeadlineTimer start(30000);
        while (!QFileInfo::exists(QDir(dir).filePath("via")) && !start.hasExpired())
            QThread::usleep(200);
        // The clerk's correction, again and again: from the subject stored now, one character added.
        int written = 0, told = 0;
        for (int k = 0; k < kCorrectionsPerStation; ++k) {
            QVariant from;
            DbResult r = leggi_oggetto(*db, 1, &from);
            ASSERT_TRUE(r.ok()) << r.message.toStdString();
            QList<FieldConflict> conflicts;
            r = salva_oggetto(*db, 1, CampoOggetto, from.toString() + QString::number(station), &from, &conflicts);
            ASSERT_TRUE(r.ok()) << r.message.toStdString();
            ++(conflicts.isEmpty() ? written : told);
        }
        std::printf("station %d: %d written, %d told\n", station, written, told);
        return;
    }

    int committed = 0, refused = 0, dropped = 0;
    while (committed < kEntriesPerStation) {
        IssuingLock lock(dir);
        const Allocation a = allocateNumber(*db, lock, startAtOne);
        if (a.status == AllocationStatus::LockHeld) {
            ++refused;
            QThread::usleep(300);
            continue;
        }
        ASSERT_TRUE(a.ok()) << a.message.toStdString();
        // Now and then the user drops the entry: the number goes to the next one.
        if ((a.number + station) % 17 == 0 && dropped < 5) {
            ++dropped;
            ASSERT_TRUE(lock.release());
            continue;
        }
        const DbResult r = EntryStore(*db).commitNewEntry(entryFor(station, a.number));
        ASSERT_TRUE(r.ok()) << r.message.toStdString();
        ASSERT_TRUE(lock.release());
        ++committed;
    }
    std::printf("station %d: %d committed, %d dropped, %d refused\n", station, committed, dropped, refused);
}

class MultiStation : public ::testing::Test
{
protected:
    test::TempProgram prog;

    std::unique_ptr<QProcess> startStation(int id, const QString& mode)
    {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUAD_STATION_DIR", prog.path());
        env.insert("QUAD_STATION_MODE", mode);
        env.insert("QUAD_STATION_ID", QString::number(id));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QCoreApplication::applicationFilePath(), {"--gtest_filter=StationWorker.Run"});
        EXPECT_TRUE(p->waitForStarted(10000));
        return p;
    }

    std::shared_ptr<Connection> open()
    {
        DbResult err;
        auto db = Connection::open(prog.archive(), test::kPassword, &err);
        EXPECT_TRUE(db) << err.message.toStdString();
        return db;
    }
};

TEST_F(MultiStation, TwoStationsIssuingAtOnceGetUniqueNumbersWithoutGaps)
{
    auto first = startStation(1, "issue");
    auto second = startStation(2, "issue");
    for (auto* p : {first.get(), second.get()}) {
        const bool finished = p->waitForFinished(60000);
        const QString output = QString::fromLocal8Bit(p->readAll());
        ASSERT_TRUE(finished) << output.toStdString();
        ASSERT_EQ(p->exitStatus(), QProcess::NormalExit) << output.toStdString();
        ASSERT_EQ(p->exitCode(), 0) << output.toStdString();
        ASSERT_TRUE(output.contains(QRegularExpression("station \\d: 200 committed"))) << output.toStdString();
    }

    auto db = open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 2 * kEntriesPerStation);
    // Drops give their number to the next entry: 1 to 400, none missing, none twice.
    EXPECT_EQ(db->scalar("SELECT min(Progressivo) FROM entrata").toInt(), 1);
    EXPECT_EQ(db->scalar("SELECT max(Progressivo) FROM entrata").toInt(), 2 * kEntriesPerStation);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata WHERE Oggetto = 'stazione 1'").toInt(), kEntriesPerStation);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata WHERE Oggetto = 'stazione 2'").toInt(), kEntriesPerStation);

    // Every entry has exactly its own correspondents, written by the station that numbered it.
    int wrong = 0;
    EXPECT_TRUE(
        db->query("SELECT Progressivo, Oggetto, Tipo FROM entrata", {}, [&](const Statement& st) {
              const qint64 number = st.value(0).toLongLong();
              const int station = st.value(1).toString().section(' ', 1).toInt();
              const QString tipo = st.value(2).toString();
              QStringList names;
              EXPECT_TRUE(
                  db->query("SELECT Nominativo FROM Mittenti WHERE Quadernolo = ? AND tipo = ? ORDER BY Nominativo",
                            {number, tipo},
                            [&](const Statement& row) {
                                names << row.value(0).toString();
                                return true;
                            })
                      .ok());
              QStringList expected;
              for (int k = 1; k <= rowsFor(number); ++k)
                  expected << nameFor(station, number, k);
              if (names != expected && ++wrong < 5)
                  ADD_FAILURE() << "entry " << number << ": " << names.join(',').toStdString();
              return true;
          }).ok());
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(
        db->scalar("SELECT count(*) FROM Mittenti WHERE Quadernolo NOT IN (SELECT Progressivo FROM entrata)").toInt(),
        0);
    EXPECT_FALSE(IssuingLock::isPresent(prog.path()));
}

TEST_F(MultiStation, TwoStationsCorrectingOneSubjectAtOnceNeverFailNorLoseACorrection)
{
    {
        auto db = open();
        ASSERT_TRUE(db);
        ASSERT_TRUE(EntryStore(*db).commitNewEntry(entryFor(9, 1)).ok());
    }
    auto first = startStation(1, "correct");
    auto second = startStation(2, "correct");
    QByteArray outputs[2];
    const QDeadlineTimer deadline(30000);
    for (int i = 0; i < 2; ++i) {
        QProcess* p = i == 0 ? first.get() : second.get();
        while (!outputs[i].contains("READY") && !deadline.hasExpired() && p->state() == QProcess::Running) {
            p->waitForReadyRead(100);
            outputs[i] += p->readAll();
        }
        ASSERT_TRUE(outputs[i].contains("READY")) << outputs[i].toStdString();
    }
    QFile via(prog.file("via"));
    ASSERT_TRUE(via.open(QIODevice::WriteOnly));
    via.close();
    int written = 0;
    for (int i = 0; i < 2; ++i) {
        QProcess* p = i == 0 ? first.get() : second.get();
        const bool finished = p->waitForFinished(60000);
        const QString output = QString::fromLocal8Bit(outputs[i] + p->readAll());
        ASSERT_TRUE(finished) << output.toStdString();
        ASSERT_EQ(p->exitCode(), 0) << output.toStdString();
        const QRegularExpressionMatch m = QRegularExpression("station \\d: (\\d+) written, (\\d+) told").match(output);
        ASSERT_TRUE(m.hasMatch()) << output.toStdString();
        EXPECT_EQ(m.captured(1).toInt() + m.captured(2).toInt(), kCorrectionsPerStation);
        written += m.captured(1).toInt();
    }
    // Each correction written added its character to the one before: none was written over.
    auto db = open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->scalar("SELECT length(Oggetto) FROM entrata WHERE Progressivo = 1").toInt(),
              QString("stazione 9").size() + written);
}

TEST_F(MultiStation, AStationKilledInTheMiddleOfAnInsertLeavesTheArchiveWhole)
{
    {
        auto db = open();
        ASSERT_TRUE(db);
        for (int n = 1; n <= 10; ++n)
            ASSERT_TRUE(EntryStore(*db).commitNewEntry(entryFor(9, n)).ok());
    }
    const QByteArray before = [&] {
        QFile f(prog.archive());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    auto station = startStation(3, "die");
    QByteArray output;
    const QDeadlineTimer deadline(30000);
    while (!output.contains("READY") && !deadline.hasExpired() && station->state() == QProcess::Running) {
        station->waitForReadyRead(200);
        output += station->readAll();
    }
    ASSERT_TRUE(output.contains("READY")) << output.toStdString();
    // Killed with its transaction open: its journal is on disk and its pages partly in the file.
    EXPECT_TRUE(QFileInfo::exists(prog.file("Arch_quadernolo.mdb-journal")));
    const QByteArray during = [&] {
        QFile f(prog.archive());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    EXPECT_NE(during, before) << "no page reached the file before the kill";
    station->kill();
    ASSERT_TRUE(station->waitForFinished(10000));

    auto db = open();
    ASSERT_TRUE(db);
    EXPECT_EQ(db->scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(db->scalar("SELECT count(*) FROM entrata").toInt(), 10);
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti").toInt(),
              db->scalar("SELECT count(*) FROM Mittenti WHERE Quadernolo <= 10").toInt());
    EXPECT_EQ(db->scalar("SELECT count(*) FROM Mittenti WHERE Quadernolo = 11").toInt(), 0);

    // The dead station's lock stays and refuses every station until it is removed by hand.
    EXPECT_EQ(prog.readFile("emissione.txt"), "...\r\n");
    IssuingLock lock(prog.path());
    EXPECT_EQ(allocateNumber(*db, lock, {}).status, AllocationStatus::LockHeld);
    EXPECT_TRUE(QFile::remove(prog.file("emissione.txt")));
    const Allocation a = allocateNumber(*db, lock, {});
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a.number, 11);
    EXPECT_TRUE(EntryStore(*db).commitNewEntry(entryFor(9, a.number)).ok());
    EXPECT_TRUE(lock.release());
}

} // namespace
