#include "cli/Commands.h"

#include <gtest/gtest.h>

#include <sstream>

TEST(Cli, UnknownCommandIsAUsageError) {
    std::ostringstream out, err;
    EXPECT_EQ(cli::Run({"frobnicate"}, out, err), 2);
    EXPECT_EQ(cli::Run({}, out, err), 2);
}
