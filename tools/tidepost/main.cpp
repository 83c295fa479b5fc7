// tidepost: runs the add-in on the simulated Outlook and checks what it reads.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "commands.h"
#include "run_folder.h"

namespace {

struct Command {
  const char* name;
  const char* usage;
  int (*run)(const tp::tool::Arguments& arguments);
};

const Command kCommands[] = {
    {"run",
     "run [--mailbox DIR] [--senders FILE] [--service http://HOST:PORT/] [--data DIR]\n"
     "      [--pages DIR] [--offline] [--trust FILE]... [--stall WORKER]... [--print-log]\n"
     "                           run the whole add-in on a simulated Outlook fed by a mailbox\n"
     "                           of .eml files, against a stand-in of our service; --pages\n"
     "                           saves each page handed to a browser helper object, --offline\n"
     "                           runs it with the machine offline, --trust adds PEM\n"
     "                           certificates to the system's CAs for S/MIME signatures,\n"
     "                           --stall has the stand-in hold every request of a worker\n"
     "                           (list, icons or statistics) so that the add-in quits with it\n"
     "                           inside a request; prints how long the quit took (quit: N ms);\n"
     "                           exit status 65 when some files could not be read (the others\n"
     "                           are run)",
     tp::tool::RunCommand},
    {"check",
     "check --account ADDRESS --senders FILE [--type T] [--server S] [--trust FILE]...\n"
     "      MESSAGE.eml...\n"
     "                           show the branding decision for each message, step by step;\n"
     "                           exit status 65 when some could not be read",
     tp::tool::CheckCommand},
    {"validate",
     "validate FILE...       check senders list files as the add-in loads them; exit status\n"
     "                           0 loaded, 1 envelope refused, 2 JSON syntax error, 3 no usable\n"
     "                           branding (the worst of all files)",
     tp::tool::ValidateCommand},
    {"smime",
     "smime [--trust FILE]... MESSAGE.eml...\n"
     "                           check each message's S/MIME signature as the add-in does:\n"
     "                           \"FILE: CODE MEANING\" (CODE 0 to -7, or none) and the signer;\n"
     "                           exit status 0 when every signature gave 0",
     tp::tool::SmimeCommand},
    {"page",
     "page [--out FILE] MESSAGE.eml|BODY.html\n"
     "                           write the page the add-in shows for a message from its own\n"
     "                           HTML (UTF-8); inline images are copied to a temporary folder",
     tp::tool::PageCommand},
};

void PrintUsage() {
  std::fprintf(stderr, "usage: tidepost COMMAND [ARGS...]\n\ncommands:\n");
  for (const Command& command : kCommands)
    std::fprintf(stderr, "  %s\n", command.usage);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintUsage();
    return argc < 2 ? 64 : 0;
  }
  for (const Command& command : kCommands) {
    if (std::strcmp(argv[1], command.name) != 0)
      continue;
    // Every way out removes the commands' temporary folders: returns and exceptions through
    // their owners' destructors (the exception is caught, so the stack unwinds), signals
    // through the signal thread.
    try {
      tp::tool::RemoveRunFoldersOnSignals();
      return command.run(tp::tool::Arguments(argv + 2, argv + argc));
    } catch (const std::filesystem::filesystem_error& failure) {
      std::fprintf(stderr, "tidepost: %s\n", failure.what());
      return 74;
    } catch (const std::exception& failure) {
      std::fprintf(stderr, "tidepost: internal error: %s\n", failure.what());
      return 70;
    }
  }
  std::fprintf(stderr, "tidepost: unknown command '%s'\n\n", argv[1]);
  PrintUsage();
  return 64;
}
