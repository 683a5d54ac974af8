#include <unistd.h>

#include "cli/terminal.h"

namespace vellumark::cli {

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace vellumark::cli
