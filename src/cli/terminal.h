#pragma once

namespace vellumark::cli {

// Whether standard error goes to a terminal, where a progress line helps.
bool StandardErrorIsTerminal();

}  // namespace vellumark::cli
