#pragma once
// Starts another program (the calculator, for one) without waiting for it.

#include <filesystem>

namespace tw {

// True when the program started. It runs on after this program ends.
bool runProgram(const std::filesystem::path& executable);

}  // namespace tw
