// lexicarta-cli: the editor's core from the command line.

#include <unistd.h>

#include "cli/cli.h"

int main(int argc, char** argv)
{
    return lexicarta::cli::RunCli(std::vector<std::string>(argv + 1, argv + argc), STDOUT_FILENO, STDERR_FILENO);
}
