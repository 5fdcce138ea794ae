#include "support/built_programs.h"

namespace tw::test {

const char* const kCliPath = TALLOWICK_CLI;
const char* const kProgramPath = TALLOWICK_PROGRAM;
const char* const kKillShimPath = TALLOWICK_KILL_SHIM;

}  // namespace tw::test
