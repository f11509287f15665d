#pragma once

#include <QString>

#include <functional>

namespace quad::test {

/// While an object lives, database files (and their journals) whose path contains pathPart
/// behave as if their disk were full: every write to them fails with SQLITE_FULL. Only
/// connections opened after it was made are affected. One at a time.
///
/// Given beforeWrite, the writes go through instead, each after beforeWrite(file's path) has run: a
/// test can count them and stop the program at a chosen one (a worker process then waits to be
/// killed).
class FullDisk
{
public:
    explicit FullDisk(const QString& pathPart, std::function<void(const QString& path)> beforeWrite = nullptr);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};

} // namespace quad::test
