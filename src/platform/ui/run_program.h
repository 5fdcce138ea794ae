#pragma once
// Starts another program (the calculator, for one) without waiting for it.

#include <filesystem>

namespace tw {

// True when the program started. It runs on after this program ends.
bool runProgram(const std::filesystem::path& executable);

// How a launcher went.
enum class Launch {
    Started,   // it started its program (ended with status 0)
    NotFound,  // it found no program to start (ended with status kLauncherFoundNone)
    Failed,    // it could not be run, or ended otherwise
};
inline constexpr int kLauncherFoundNone = 127;

// Runs `launcher`, a program that starts another in the background and ends
// at once (as the calculator launcher of the account-set directory does),
// and waits for it to end, a few seconds at most. One still running then
// (a launcher that ends only with its program) is taken as Started and left
// to run on after this program ends.
Launch runLauncher(const std::filesystem::path& launcher);

}  // namespace tw
