#pragma once
// A temporary program folder with its archive open on a connection of its own.

#include "database.h"
#include "temp_program.h"

#include <gtest/gtest.h>

namespace quad::test {

class ArchiveTest : public ::testing::Test
{
protected:
    TempProgram prog;
    std::shared_ptr<Connection> db = apri();

    /// A further connection to the archive, as another station holds one.
    std::shared_ptr<Connection> apri()
    {
        DbResult err;
        auto c = Connection::open(prog.archive(), kPassword, &err);
        EXPECT_TRUE(c) << err.message.toStdString();
        return c;
    }
};

} // namespace quad::test
