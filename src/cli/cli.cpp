#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/download_command.h"
#include "cli/list_command.h"
#include "cli/terminal.h"

namespace vellumark::cli {

int RunCli(int argc, const char* const* argv, std::ostream& out,
           std::ostream& err) {
  CLI::App app{"Vellumark: save shop pictures under their item IDs",
               "vellumark-cli"};
  app.require_subcommand(1);
  ListOptions list;
  AddListCommand(app, list);
  DownloadCommandOptions download;
  AddDownloadCommand(app, download);

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
  if (app.got_subcommand("download")) {
    const bool progress = &err == &std::cerr && StandardErrorIsTerminal();
    return RunDownload(download, out, err, progress);
  }
  return kExitUsage;
}

}  // namespace vellumark::cli
