#include <gtest/gtest.h>

#include "platform/ui/run_program.h"

namespace tw {
namespace {

TEST(RunProgram, StartsAProgramAndReportsOneThatCannotStart) {
    EXPECT_TRUE(runProgram("/bin/true"));
    EXPECT_FALSE(runProgram("/nonexistent/计算器"));
}

}  // namespace
}  // namespace tw
