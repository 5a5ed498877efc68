// Portable: the program's command line.
#include "app/CommandLine.h"

#include "platform/WindowsPath.h"

namespace tlv::app {

std::vector<std::string> splitCommandLine(std::string_view commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (std::size_t i = 0; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    if (c == '\\') {
      std::size_t backslashes = 0;
      while (i < commandLine.size() && commandLine[i] == '\\') ++backslashes, ++i;
      inArgument = true;
      if (i < commandLine.size() && commandLine[i] == '"') {
        // 2n backslashes and a quote: n backslashes, and the quote opens or closes; 2n+1: n
        // backslashes and a literal quote.
        current.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          current += '"';
        } else {
          quoted = !quoted;
        }
      } else {
        current.append(backslashes, '\\');
        --i;
      }
    } else if (c == '"') {
      inArgument = true;
      quoted = !quoted;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(std::move(current));
      current.clear();
      inArgument = false;
    } else {
      inArgument = true;
      current += c;
    }
  }
  if (inArgument) arguments.push_back(std::move(current));
  return arguments;
}

namespace {

// "Se...Privilege", letters only: what Windows' privilege names look like.
bool isPrivilegeName(const std::string& text) {
  const std::string upper = platform::upperCase(text);
  if (upper.size() <= 11 || !upper.starts_with("SE") || !upper.ends_with("PRIVILEGE")) return false;
  for (const char c : upper) {
    if (c < 'A' || c > 'Z') return false;
  }
  return true;
}

}  // namespace

RunOptions parseArguments(const std::vector<std::string>& arguments) {
  RunOptions options;
  const auto fail = [&options](std::string what) {
    if (options.error.empty()) options.error = std::move(what);
  };
  // The text after a switch that needs one; nullopt (and the fault named) without it.
  const auto textAfter = [&](std::size_t& i, const std::string& what) -> std::optional<std::string> {
    if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
      fail(arguments[i] + " needs " + what);
      return std::nullopt;
    }
    return arguments[++i];
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) {
      fail("Unexpected argument: " + argument);
      continue;
    }
    const std::string name = platform::upperCase(argument.substr(1));
    if (name == "QUIET") {
      options.quiet = true;
    } else if (name == "VERIFY") {
      options.verify = true;
    } else if (name == "HEALTH") {
      options.health = true;
    } else if (name == "REPORT") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        fail(argument + " needs the file to write the report to");
        continue;
      }
      options.report = arguments[++i];
    } else if (name == "MINVERSION") {
      const auto version = i + 1 < arguments.size() ? ReleaseVersion::parse(arguments[i + 1]) : std::nullopt;
      if (!version) {
        fail(argument + " needs a release version such as 1.2.0");
        i += i + 1 < arguments.size() ? 1 : 0;
        continue;
      }
      options.minimumVersion = version;
      ++i;
    } else if (name == "PATH") {
      if (i + 1 == arguments.size()) {
        fail(argument + " needs the folder that holds Orbit-Tender.exe");
        continue;
      }
      std::string folder = arguments[++i];
      // "C:\Orbit Tender\" typed with its quotes reaches us with a quote in place of the
      // closing one (the runtime takes \" for a literal quote); no folder name has quotes.
      if (!folder.empty() && folder.back() == '"') folder.pop_back();
      if (folder.empty()) {
        fail(argument + " needs the folder that holds Orbit-Tender.exe");
        continue;
      }
      options.path = std::move(folder);
    } else if (name == "ACCOUNT") {
      if (options.service.account) fail("Give /account once");
      options.service.account = textAfter(i, "the account the service runs as");
    } else if (name == "DATAFOLDER") {
      if (options.service.dataFolder) fail("Give /datafolder once");
      options.service.dataFolder = textAfter(i, "the folder the payment program writes its data to");
    } else if (name == "DELAYED") {
      options.service.delayed = true;
    } else if (name == "DEPEND") {
      if (auto service = textAfter(i, "the service to start after")) options.service.dependencies.push_back(*service);
    } else if (name == "PRIVILEGE") {
      if (auto privilege = textAfter(i, "a privilege name such as SeChangeNotifyPrivilege")) {
        if (!isPrivilegeName(*privilege)) fail(argument + " needs a privilege name such as SeChangeNotifyPrivilege");
        options.service.privileges.push_back(*privilege);
      }
    } else {
      fail("Unknown switch: " + argument);
    }
  }
  if ((options.quiet ? 1 : 0) + (options.verify ? 1 : 0) + (options.report ? 1 : 0) + (options.health ? 1 : 0) > 1) {
    fail("Use one of /quiet, /verify, /report and /health at a time");
  }
  if (!options.quiet && options.path) fail("/path is for unattended runs: use it with /quiet");
  if (!options.quiet && options.service.any()) {
    fail("/account, /datafolder, /delayed, /depend and /privilege are for unattended runs: use them with /quiet");
  }
  if (!options.verify && options.minimumVersion) fail("/minversion is for checks: use it with /verify");
  return options;
}

std::string usageText() {
  return "Usage: TlvAsService.exe [/quiet [/path <folder>] [/account <name>] [/datafolder <folder>] [/delayed]\r\n"
         "        [/depend <service>]... [/privilege <name>]... | /verify [/minversion <version>] | /report <file> | /health]\r\n"
         "\r\n"
         "Without arguments the program shows its window and does the whole job.\r\n"
         "/quiet  runs unattended: no window, no message box; the exit code tells the ending,\r\n"
         "        and the log and the Application event log say it.\r\n"
         "/path   the folder that holds Orbit-Tender.exe, when it is not under Program Files.\r\n"
         "/account  the account the service runs as: NT SERVICE\\OrbitTender, NT AUTHORITY\\LocalService\r\n"
         "        or NT AUTHORITY\\NetworkService (without it: LocalSystem, or the account it has).\r\n"
         "/datafolder  a folder the payment program writes to: that account may change it.\r\n"
         "/delayed  starts the service after the other automatic services.\r\n"
         "/depend  a service it starts after (repeatable); /privilege  a privilege it keeps (repeatable).\r\n"
         "/verify checks, changing nothing, that the service is as a run leaves it: exit code 0\r\n"
         "        when it is, else the code of the first check that fails (20 to 28).\r\n"
         "/minversion  the lowest release /verify accepts as installed (exit code 28 when older).\r\n"
         "/report writes a plain-text report for support to the file given.\r\n"
         "/health tells, changing nothing, whether the payment program runs and answers: exit\r\n"
         "        code 0 when it does, else what stands in the way (40 to 47).";
}

}  // namespace tlv::app
