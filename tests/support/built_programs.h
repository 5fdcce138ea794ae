#pragma once
// Where the build put the programs the tests start. Only built_programs.cpp
// is compiled with the paths, so that no other test file's compile command
// names the build folder (ccache then shares them between clones).

namespace tw::test {

extern const char* const kCliPath;       // tallowick-cli
extern const char* const kProgramPath;   // the desktop program
extern const char* const kKillShimPath;  // the kill shim preloaded into tallowick-cli

}  // namespace tw::test
