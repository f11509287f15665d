#pragma once
// A temporary program folder with its live archive open on a connection of its own.

#include "database.h"
#include "temp_program.h"

#include <gtest/gtest.h>

namespace quad::test {

class ArchiveFixture : public ::testing::Test
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
