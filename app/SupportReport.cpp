// Portable: "/report <file>".
#include "app/SupportReport.h"

#include <algorithm>
#include <concepts>
#include <cstdio>
#include <optional>
#include <string_view>

#include "app/ReportFile.h"
#include "app/ServiceRegistryKeys.h"
#include "app/ServiceVerify.h"
#include "app/SystemFolders.h"
#include "tools/common/HostLogPlaces.h"
#include "environment/jclass_WinEnviron.h"
#include "files/PeDigest.h"
#include "logging/LoggingFunctions.h"
#include "platform/WindowsPath.h"
#include "registry/clsRegistryAccess.h"
#include "tools/srvany/LaunchPlan.h"

namespace tlv::app {
namespace {

constexpr std::size_t kLogLinesShown = 20;
constexpr std::uint64_t kMiB = std::uint64_t{1024} * 1024;

std::string hex(const platform::Sha256Digest& digest) {
  std::string text;
  char pair[3];
  for (const std::uint8_t byte : digest) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    text += pair;
  }
  return text;
}

std::string systemError(platform::Win32Error error) {
  return "cannot be read (system error " + std::to_string(error) + ")";
}

// The last lines of a text, each indented.
std::string lastLines(std::string_view text, std::size_t count) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  std::string shown;
  for (std::size_t i = lines.size() > count ? lines.size() - count : 0; i < lines.size(); ++i)
    shown += "    " + std::string(lines[i]) + "\n";
  return shown.empty() ? "    (empty)\n" : shown;
}

// The exported key with what may be secret left out: the payment program's arguments, in
// AppParameters or after its path in Application, show only their length.
std::string withoutArguments(std::string_view exported) {
  std::string shown;
  while (!exported.empty()) {
    const std::size_t end = std::min(exported.find('\n'), exported.size());
    std::string line(exported.substr(0, end + (end < exported.size() ? 1 : 0)));
    exported.remove_prefix(line.size());
    for (const std::string_view name : {"\"Application\"=\"", "\"AppParameters\"=\""}) {
      const std::size_t last = line.find_last_of('"');
      if (!line.starts_with(name) || last < name.size()) continue;
      const std::string value = line.substr(name.size(), last - name.size());
      const std::string masked = name.starts_with("\"AppP")
                                     ? "(" + tools::argumentsNotShown(value) + ")"
                                     : tools::applicationShown(value);
      line = std::string(name) + masked + line.substr(last);
    }
    shown += line;
  }
  return shown;
}

// The report's text as it is put together, strings and numbers, without iostreams (which
// would bring their locales into the program).
class Text {
 public:
  Text& operator<<(std::string_view text) {
    text_ += text;
    return *this;
  }
  Text& operator<<(char c) {
    text_ += c;
    return *this;
  }
  template <std::integral Number>
  Text& operator<<(Number number) {
    text_ += std::to_string(number);
    return *this;
  }
  const std::string& str() const { return text_; }

 private:
  std::string text_;
};

class Report {
 public:
  explicit Report(RunContext& run)
      : run_(run),
        machine_(run.machine),
        environment_(run.environment),
        registry_(run.machine),
        windowsFolder_(checkedWindowsFolder(run.machine, run.log, environment_.PathWindowsRoot())) {}

  std::string write() {
    const std::string program = machine_.process.modulePath();
    const auto version = machine_.files.productVersion(program);
    out_ << "TlvAsService support report\n";
    const platform::LocalTime now = machine_.clock.now();
    char written[32];
    std::snprintf(written, sizeof written, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    out_ << "Written: " << written << " (local time)\n";
    out_ << "Program: " << program << ", version " << (version.ok() ? version.value.version : "unknown") << ", "
         << (sizeof(void*) == 8 ? "x64" : "x86") << " edition\n\n";
    windows();
    checks();
    serviceKey();
    files(program);
    logs(program);
    return out_.str();
  }

 private:
  void windows() {
    out_ << "[Windows]\n";
    out_ << "  Name: " << environment_.Title() << "\n";
    out_ << "  Version and build: " << environment_.VersionNumberString() << "\n";
    const std::string edition = environment_.WinProductType();
    out_ << "  Edition: "
         << (environment_.isHomeVersion() ? "Home"
             : environment_.isServer()    ? "Server"
                                          : "Workstation")
         << (edition.empty() ? "" : "," + edition) << ", suite mask " << environment_.SuiteMask() << "\n";
    out_ << "  Architecture: " << environment_.ProcessorArchitecture()
         << (environment_.Is64Bit() ? ", 64-bit Windows" : ", 32-bit Windows") << "\n";
    const auto memory = machine_.systemInfo.memoryStatusEx();
    if (memory.ok()) {
      out_ << "  Memory: " << memory.value.totalPhys / kMiB << " MiB, " << memory.value.availPhys / kMiB
           << " MiB free\n";
    } else {
      out_ << "  Memory: " << systemError(memory.error) << "\n";
    }
    out_ << "  Windows folder: " << windowsFolder_ << "\n";
    if (!platform::equalsNoCase(environment_.PathWindowsRoot(), windowsFolder_)) {
      out_ << "  WinDir of this program's environment: " << environment_.PathWindowsRoot() << "\n";
    }
    out_ << "  System folder: " << environment_.PathSys32Root() << "\n";
    out_ << "  Program Files: " << environment_.PathProgramFiles() << "\n";
    if (!environment_.PathProgramFilesX64().empty())
      out_ << "  Program Files (64-bit): " << environment_.PathProgramFilesX64() << "\n";
    out_ << "\n";
  }

  void checks() {
    out_ << "[Checks, as /verify makes them]\n";
    const auto results = verifyService(run_);
    for (const CheckResult& result : results) out_ << "  " << result.name << ": " << describe(result) << "\n";
    out_ << "  /verify would exit with " << verifyExitCode(results) << "\n\n";
  }

  // The key as the registry class exports it.
  void serviceKey() {
    out_ << "[The service's key, exported in REGEDIT4]\n";
    if (const auto exported = registry_.ExportToRegText(kServiceKey, true)) {
      out_ << withoutArguments(*exported);
    } else {
      out_ << "(the key " << kServiceKey << " cannot be exported: it is missing or cannot be read)\n";
    }
    out_ << "\n";
  }

  void file(const std::string& path) {
    const auto bytes = machine_.files.readWholeFile(path);
    if (!bytes.ok()) {
      out_ << "  " << path << ": "
           << (bytes.error == platform::err::kFileNotFound ? "missing" : systemError(bytes.error)) << "\n";
      return;
    }
    const auto version = machine_.files.productVersion(path);
    const auto digest = files::authenticodeDigest(machine_.hashing, bytes.value);
    out_ << "  " << path << ": " << bytes.value.size() << " bytes, version "
         << (version.ok() ? version.value.name + " " + version.value.version : "none") << ", digest "
         << (digest.ok() ? hex(digest.value) : "none (no program file)") << "\n";
  }

  void files(const std::string& program) {
    out_ << "[Files] (digest: SHA-256 of the program as Authenticode signs it)\n";
    const std::string& windows = windowsFolder_;
    const std::string here = platform::folderOfPathWithSeparator(program);
    for (const std::string& path :
         {windows + "instsrv.exe", windows + "srvany.exe", here + "instsrv.exe", here + "srvany.exe"}) {
      file(path);
    }
    out_ << "  this release's instsrv.exe digest: " << hex(run_.tools.instsrv) << "\n";
    out_ << "  this release's srvany.exe digest: " << hex(run_.tools.srvany) << "\n";
    const std::string payment = paymentProgramOf(registry_.ReadString(kParametersKey, value::kApplication, ""), machine_.files);
    if (payment.empty()) {
      out_ << "  the payment program: not named (Parameters\\Application names no Orbit-Tender.exe)\n";
    } else {
      file(payment);
    }
    out_ << "\n";
  }

  // The newest file of a folder matching prefix*.log, by its last write.
  std::optional<std::string> newestLog(const std::string& folder, const std::string& prefix) {
    const auto listing = machine_.files.listFolder(folder);
    if (!listing.ok()) return std::nullopt;
    std::optional<platform::FolderEntry> newest;
    for (const auto& entry : listing.value) {
      const std::string name = platform::upperCase(entry.name);
      if (!name.starts_with(platform::upperCase(prefix)) || !name.ends_with(".LOG")) continue;
      if (!newest || entry.lastWrite > newest->lastWrite) newest = entry;
    }
    if (!newest) return std::nullopt;
    return folder + newest->name;
  }

  void logTail(const std::string& what, const std::optional<std::string>& path) {
    if (!path) {
      out_ << "[" << what << "]\n  (none)\n\n";
      return;
    }
    out_ << "[" << what << ": " << *path << ", its last lines]\n" << plainFileTail(*path) << "\n";
  }

  // Only a file of its own under that one name is read: the service's account may write in its
  // log folder, and a link there could stand for any file of the machine.
  std::string plainFileTail(const std::string& path) {
    auto held = machine_.files.holdForReading(path);
    if (!held.ok()) return "  (" + systemError(held.error) + ")\n";
    const auto links = held.value->links();
    if (!links.ok()) return "  (" + systemError(links.error) + ")\n";
    if (!links.value.plain()) return "  (not read: it is a link or has other names)\n";
    const auto text = held.value->readAll();
    return text.ok() ? lastLines(text.value, kLogLinesShown) : "  (" + systemError(text.error) + ")\n";
  }

  void logs(const std::string& program) {
    const std::string name = program.substr(platform::folderOfPathWithSeparator(program).size());
    const std::string stem = name.substr(0, name.find_last_of('.'));
    logTail("This program's newest log", newestLog(platform::folderOfPathWithSeparator(program), stem));
    const std::string host = windowsFolder_ + tools::kHostLogFolder + "\\" + kServiceName + ".log";
    logTail("The service host's log", machine_.files.fileLength(host).ok() ? std::optional(host) : std::nullopt);
    // srvany writes it there when it runs as another account than LocalSystem.
    const std::string asAccount = tools::accountLogFolder(windowsFolder_, kServiceName) + "\\" + kServiceName + ".log";
    if (machine_.files.fileLength(asAccount).ok()) logTail("The service host's log as its account", asAccount);
  }

  RunContext& run_;
  platform::Platform& machine_;
  environment::jclass_WinEnviron& environment_;
  registry::clsRegistryAccess registry_;
  std::string windowsFolder_;
  Text out_;
};

}  // namespace

std::string supportReport(RunContext& run) {
  const std::string text = Report(run).write();
  // CR LF throughout, for Notepad, also where the exported key or a log brings its own.
  std::string lines;
  for (const char c : text) {
    if (c == '\r') continue;
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return lines;
}

Outcome reportOutcome(RunContext& run, const std::string& reportFile) {
  const auto full = run.machine.files.fullPath(reportFile);
  const std::string path = full.ok() ? full.value : reportFile;
  const ReportWritten written = writeReportFile(run.machine, path, supportReport(run));
  return Outcome::of(written.code,
                     written.code == reportcode::kWritten ? platform::eventtype::kInformation
                                                          : platform::eventtype::kError,
                     written.outcome);
}

}  // namespace tlv::app
