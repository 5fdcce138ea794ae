// tallowick-cli [--data-dir DIR] COMMAND ...
#include "cli/command.h"

int main(int argc, char** argv) { return tw::cli::runCommandLine(argc, argv); }
