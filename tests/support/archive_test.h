#pragma once

#include "database.h"
#include "temp_program.h"

#include <gtest/gtest.h>

#include <memory>

namespace quad::test {

/// A test over the live archive of a temporary program folder, opened with the template's
/// password before each test. A fixture that seeds rows calls ArchiveTest::SetUp() first.
class ArchiveTest : public ::testing::Test
{
protected:
    TempProgram program;
    std::shared_ptr<Connection> db;

    void SetUp() override
    {
        DbResult err;
        db = Connection::open(program.archive(), kPassword, &err);
        ASSERT_TRUE(db) << err.message.toStdString();
    }
};

} // namespace quad::test
