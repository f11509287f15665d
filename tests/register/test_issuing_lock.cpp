#include "issuing_lock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace quad;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(IssuingLock, HoldsExactlyDotsAndCrLfAndGoesOnRelease)
{
    QTemporaryDir dir;
    IssuingLock lock(dir.path());
    EXPECT_EQ(lock.path(), QDir(dir.path()).filePath("emissione.txt"));
    ASSERT_TRUE(lock.acquire().ok());
    EXPECT_TRUE(lock.isHeld());
    EXPECT_EQ(readBytes(lock.path()), QByteArray("...\r\n"));
    EXPECT_TRUE(IssuingLock::isPresent(dir.path()));
    // Taking it again while held changes nothing.
    EXPECT_TRUE(lock.acquire().ok());
    EXPECT_TRUE(lock.release());
    EXPECT_FALSE(lock.isHeld());
    EXPECT_FALSE(QFileInfo::exists(lock.path()));
    EXPECT_TRUE(lock.release());
    // A released lock can be taken again.
    EXPECT_TRUE(lock.acquire().ok());
}

TEST(IssuingLock, AnotherStationsLockRefusesAndIsNeverRemoved)
{
    QTemporaryDir dir;
    IssuingLock first(dir.path());
    ASSERT_TRUE(first.acquire().ok());
    {
        IssuingLock second(dir.path());
        const LockResult refused = second.acquire();
        EXPECT_EQ(refused.status, LockStatus::HeldByOther);
        EXPECT_FALSE(second.isHeld());
        EXPECT_TRUE(second.release());
        EXPECT_TRUE(QFileInfo::exists(first.path()));
    } // the refused object's destructor leaves the file alone as well
    EXPECT_EQ(readBytes(first.path()), QByteArray("...\r\n"));

    // A lock left behind by a station that stopped, and one written with another case.
    QTemporaryDir other;
    writeBytes(QDir(other.path()).filePath("EMISSIONE.TXT"), "...\r\n");
    {
        IssuingLock lock(other.path());
        EXPECT_EQ(lock.acquire().status, LockStatus::HeldByOther);
    }
    EXPECT_TRUE(QFileInfo::exists(QDir(other.path()).filePath("EMISSIONE.TXT")));
    EXPECT_FALSE(QFileInfo::exists(QDir(other.path()).filePath("emissione.txt")));
}

TEST(IssuingLock, CannotCreateIsToldApartFromHeld)
{
    QTemporaryDir dir;
    IssuingLock missing(dir.filePath("no_such_folder"));
    LockResult r = missing.acquire();
    EXPECT_EQ(r.status, LockStatus::CannotCreate);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("no_such_folder")));

    const QString notAFolder = dir.filePath("file");
    writeBytes(notAFolder, "x");
    IssuingLock onFile(notAFolder);
    EXPECT_EQ(onFile.acquire().status, LockStatus::CannotCreate);
    EXPECT_EQ(readBytes(notAFolder), QByteArray("x"));
}

TEST(IssuingLock, ALockRemovedByHandAndRetakenBelongsToTheNewHolder)
{
    QTemporaryDir dir;
    IssuingLock stale(dir.path());
    ASSERT_TRUE(stale.acquire().ok());
    // Removed through the settings dialog, then taken by another station (the file system may
    // well give the new file the same inode).
    ASSERT_TRUE(QFile::remove(stale.path()));
    IssuingLock fresh(dir.path());
    ASSERT_TRUE(fresh.acquire().ok());
    EXPECT_TRUE(stale.release());
    EXPECT_FALSE(stale.isHeld());
    EXPECT_TRUE(QFileInfo::exists(fresh.path()));
    EXPECT_TRUE(fresh.release());
    EXPECT_FALSE(QFileInfo::exists(fresh.path()));
}

TEST(IssuingLock, DestructorGivesBackAHeldLock)
{
    QTemporaryDir dir;
    {
        IssuingLock lock(dir.path());
        ASSERT_TRUE(lock.acquire().ok());
    }
    EXPECT_FALSE(IssuingLock::isPresent(dir.path()));
}

TEST(IssuingLock, OfManyTakingItAtOnceExactlyOneWins)
{
    QTemporaryDir dir;
    constexpr int kStations = 8;
    for (int round = 0; round < 30; ++round) {
        std::vector<std::unique_ptr<IssuingLock>> locks;
        for (int i = 0; i < kStations; ++i)
            locks.push_back(std::make_unique<IssuingLock>(dir.path()));
        std::atomic<int> ready {0};
        std::atomic<int> winners {0};
        std::atomic<int> others {0};
        std::vector<std::thread> threads;
        for (int i = 0; i < kStations; ++i) {
            threads.emplace_back([&, i] {
                ++ready;
                while (ready.load() < kStations) { }
                const LockResult r = locks[i]->acquire();
                if (r.ok())
                    ++winners;
                else if (r.status == LockStatus::HeldByOther)
                    ++others;
            });
        }
        for (auto& t : threads)
            t.join();
        ASSERT_EQ(winners.load(), 1) << "round " << round;
        ASSERT_EQ(others.load(), kStations - 1);
        locks.clear();
        ASSERT_FALSE(IssuingLock::isPresent(dir.path()));
    }
}

TEST(IssuingLock, ALockTakenAndGivenBackMeanwhileStillCountsAsHeld)
{
    // Stations taking and releasing the lock in a tight loop: a create that fails because the
    // file exists is "held by another station" even when the file has gone by the time anyone
    // looks, never "cannot create".
    QTemporaryDir dir;
    constexpr int kStations = 4;
    std::atomic<int> cannotCreate {0};
    std::atomic<int> taken {0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kStations; ++i) {
        threads.emplace_back([&] {
            IssuingLock lock(dir.path());
            for (int n = 0; n < 3000; ++n) {
                const LockResult r = lock.acquire();
                if (r.ok()) {
                    ++taken;
                    lock.release();
                } else if (r.status == LockStatus::CannotCreate) {
                    ++cannotCreate;
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(cannotCreate.load(), 0);
    EXPECT_GT(taken.load(), 0);
    EXPECT_FALSE(IssuingLock::isPresent(dir.path()));
}

} // namespace
