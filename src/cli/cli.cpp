#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include "cli/list_command.h"

namespace vellumark::cli {

int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err) {
  CLI::App app{"Vellumark: save shop pictures under their item IDs",
               "vellumark-cli"};
  app.require_subcommand(1);
  ListOptions list;
  AddListCommand(app, list);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return kExitOk;
  } catch (const CLI::ParseError& error) {
    err << "vellumark-cli: " << error.what() << "\n";
    return kExitUsage;
  }

  if (app.got_subcommand("list")) return RunList(list, out, err);
  return kExitUsage;
}

}  // namespace vellumark::cli
