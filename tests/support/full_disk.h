#pragma once

#include <QString>

namespace quad::test {

/// While an object lives, database files (and their journals) whose path contains pathPart
/// behave as if their disk were full: every write to them fails with SQLITE_FULL. Only
/// connections opened after it was made are affected. One at a time.
class FullDisk
{
public:
    explicit FullDisk(const QString& pathPart);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};

} // namespace quad::test
