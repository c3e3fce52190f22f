#include "checker_args.h"

#include <algorithm>

#include "platform/text.h"

const char kCheckerUsage[] =
    "usage: startpoint-check [-log] <launcher path> [alias words] [-log [file]]\n"
    "  Shows what the launcher at <launcher path>, such as D:\\start.exe, would do on\n"
    "  this machine, started with the rest of this command line as typed, and warns\n"
    "  about likely mistakes in its configuration. It starts nothing, writes nothing\n"
    "  and deletes nothing.\n"
    "  -log [file]     as for the launcher: also show where it would write its trace\n"
    "                  (c:\\install.log without a file), or why none, and the trace\n"
    "  -log in front   the same, for the launcher started with a plain -log\n"
    "  /?, -h, --help  show this text\n"
    "exit status: 0 would start something; 1 would start something, with warnings;\n"
    "2 would start nothing, or a wrong command line\n";

namespace {

const char kBlanks[] = " \t";

// The word that starts at at: up to the next white space.
std::string NextWord(const std::string& s, size_t at) {
  return s.substr(at, s.find_first_of(kBlanks, at) - at);
}

bool IsHelp(const std::string& arg) { return arg == "/?" || arg == "-h" || arg == "--help"; }

}  // namespace

CheckerCommand ParseCheckerArguments(const std::string& commandLine, CheckRequest* request) {
  // The checker's own name, quoted or up to the first white space.
  size_t at = commandLine.compare(0, 1, "\"") == 0 ? commandLine.find('"', 1)
                                                   : commandLine.find_first_of(kBlanks);
  const std::string rest = at == std::string::npos ? std::string() : commandLine.substr(at + 1);
  at = std::min(rest.find_first_not_of(kBlanks), rest.size());
  request->showTrace = text::AsciiLower(NextWord(rest, at)) == "-log";
  if (request->showTrace) {
    at = std::min(rest.find_first_not_of(kBlanks, at + 4), rest.size());
  }
  if (IsHelp(NextWord(rest, at))) {
    return CheckerCommand::Help;
  }
  request->launcherLine = rest.substr(at);
  return request->launcherLine.empty() ? CheckerCommand::Wrong : CheckerCommand::Check;
}
