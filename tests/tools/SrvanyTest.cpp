// Win32 only: srvany.exe hosting our test programs under Wine's service control manager.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/win32/UniqueHandle.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"
#include "testkit/win32/Registry.h"
#include "testkit/win32/Services.h"
#include "tools/common/WatchValues.h"
#include "tools/srvany/ProgramWatch.h"

#include <sddl.h>  // after windows.h, which the test kit brings

namespace tlv::testing {
namespace {

constexpr DWORD kGraceMs = 10000;
constexpr DWORD kStartMs = 10000;

std::string withoutTrailingBackslash(std::string folder) {
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// srvany's Watch key of a service, as the program's /health reads it.
class PublishedWatch {
 public:
  explicit PublishedWatch(const std::string& service) : path_(tools::watchKeyPath(service)) {}
  std::string text(const char* name) const { return machineRegistryString(path_, name).value_or("(none)"); }
  DWORD processId() const {
    const auto data = machineRegistryValue(path_, "ProcessId");
    DWORD id = ~DWORD{0};
    if (data && data->size() == sizeof id) std::memcpy(&id, data->data(), sizeof id);
    return id;
  }
  /// A key of that name as someone else may leave one: not volatile, with a value and a key below.
  void plantOwnKey() const {
    platform::win32::UniqueRegKey key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, (path_ + "\\Below").c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_SET_VALUE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(machineRegistryString(path_, "Planted"), std::nullopt);
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, path_.c_str(), "Planted", REG_SZ, "x", 2), ERROR_SUCCESS);
  }
  /// A volatile key refuses a key below it that is not.
  bool isVolatile() const {
    platform::win32::UniqueRegKey child;
    return ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, (path_ + "\\Child").c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_READ, nullptr, child.put(), nullptr) == ERROR_CHILD_MUST_BE_VOLATILE;
  }
  /// The key's owner and access list as SDDL.
  std::string descriptor() const {
    platform::win32::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, READ_CONTROL, key.put()) != ERROR_SUCCESS) return {};
    constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD size = 0;
    ::RegGetKeySecurity(key.get(), kWhat, nullptr, &size);
    std::vector<char> descriptor(size);
    platform::win32::UniqueLocalMemory sddl;
    if (size == 0 || ::RegGetKeySecurity(key.get(), kWhat, descriptor.data(), &size) != ERROR_SUCCESS ||
        !::ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor.data(), SDDL_REVISION_1, kWhat,
                                                                reinterpret_cast<LPSTR*>(sddl.put()), nullptr)) {
      return {};
    }
    return static_cast<const char*>(sddl.get());
  }

 private:
  std::string path_;
};

std::int64_t utcNow() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// One service hosting the test program, whose marker lies in a scratch folder.
class HostedProgram {
 public:
  explicit HostedProgram(const std::string& arguments, const std::string& application = {}) {
    if (!service_.installWithSrvany()) return;
    service_.setParameter(tools::value::kApplication, application.empty() ? testProgramFolder() + kTestAppName : application);
    service_.setParameter(tools::value::kAppParameters, "--marker \"" + marker() + "\" " + arguments);
  }
  ScratchService& service() { return service_; }
  std::string marker() const { return scratch_.path() + "marker.txt"; }
  std::string childMarker() const { return marker() + ".child"; }
  const std::string& scratchFolder() const { return scratch_.path(); }

  /// Starts the service and waits until it runs and the program (and its child) has its
  /// window, or only until the program started when `untilReady` is false.
  void start(bool withChild = false, bool untilReady = true) {
    ASSERT_EQ(service_.start(), 0u);
    ASSERT_TRUE(service_.waitForState(SERVICE_RUNNING, kStartMs)) << "state " << service_.status().dwCurrentState;
    service_.rememberHostProcess();
    const std::string awaited = untilReady ? "ready" : "start pid=";
    ASSERT_TRUE(waitUntil([&] { return contains(readFile(marker()), awaited); }, kStartMs));
    if (withChild) {
      ASSERT_TRUE(waitUntil([&] { return contains(readFile(childMarker()), awaited); }, kStartMs));
    }
  }

  /// Every process of the test programs that marked its start.
  std::vector<DWORD> programIds() const {
    auto ids = numbersAfter(readFile(marker()), "start pid");
    for (DWORD child : numbersAfter(readFile(childMarker()), "start pid")) ids.push_back(child);
    return ids;
  }

  /// No process of it runs, nor srvany; `alone`: nor any other test program.
  void expectNothingLeft(bool alone = true) const {
    for (DWORD id : programIds()) EXPECT_FALSE(processRunning(id)) << "test program " << id << " still runs";
    if (alone) {
      EXPECT_TRUE(processesNamed(kTestAppName).empty());
    }
    EXPECT_NE(service_.hostProcessId(), 0u);
    EXPECT_FALSE(processRunning(service_.hostProcessId())) << "srvany still runs";
  }

 private:
  ScratchFolder scratch_;  // outlives the service: the program may write to it until the end
  ScratchService service_;
};

TEST(Srvany, StartRunsTheProgramInItsFolderAndStopClosesItThroughWmClose) {
  struct Case {
    const char* what;
    bool folderGiven;  // AppDirectory, else the program's folder
    const char* arguments;
    bool stopBeforeReady;
  };
  const Case cases[] = {
      {"no AppDirectory: the program's folder", false, "", false},
      {"AppDirectory given, stopped before it has its window", true, "--window-after 1500", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HostedProgram program(c.arguments);
    const PublishedWatch watch(program.service().name());
    ASSERT_NO_FATAL_FAILURE(watch.plantOwnKey());
    if (c.folderGiven) program.service().setParameter(tools::value::kAppDirectory, program.scratchFolder());
    EXPECT_EQ(program.service().preshutdownTimeout(), 20000u) << "as instsrv made it";
    program.service().setPreshutdownTimeout(5000);  // as a service of an earlier release has it
    ASSERT_NO_FATAL_FAILURE(program.start(false, !c.stopBeforeReady));
    EXPECT_EQ(program.service().preshutdownTimeout(), 20000u) << "srvany gives its service its shutdown time";
    // Wine offers preshutdown but cannot send it: the shutdown itself is tested natively.
    EXPECT_EQ(program.service().status().dwControlsAccepted,
              static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_PRESHUTDOWN));
    const std::string expectedFolder = c.folderGiven ? program.scratchFolder() : testProgramFolder();
    EXPECT_TRUE(contains(readFile(program.marker()), "dir=" + withoutTrailingBackslash(expectedFolder) + "\r\n"))
        << readFile(program.marker());
    // Its watch is published at once, with a fresh heartbeat, in a volatile key made anew
    // where only SYSTEM and Administrators may write (Users may not even read it).
    ASSERT_TRUE(waitUntil([&] { return watch.text("Program") == "running"; }, 5000)) << watch.text("Program");
    EXPECT_EQ(watch.processId(), program.programIds().at(0));
    const auto heartbeat = tools::parseUtcText(watch.text("Heartbeat"));
    ASSERT_TRUE(heartbeat) << watch.text("Heartbeat");
    EXPECT_LE(std::llabs(utcNow() - *heartbeat), 60);
    EXPECT_EQ(watch.descriptor(), tools::kWatchKeySddl);
    EXPECT_EQ(watch.text("Planted"), "(none)");
    EXPECT_TRUE(watch.isVolatile());

    const DWORD asked = ::GetTickCount();
    ASSERT_EQ(program.service().stop(), 0u);
    ASSERT_TRUE(program.service().waitForState(SERVICE_STOPPED, kGraceMs + 5000));
    EXPECT_LT(::GetTickCount() - asked, kGraceMs / 2) << "a program that closes is not held for the grace period";
    EXPECT_EQ(program.service().status().dwWin32ExitCode, static_cast<DWORD>(NO_ERROR));
    EXPECT_TRUE(contains(readFile(program.marker()), "ready\r\nclose\r\nexit 0\r\n")) << readFile(program.marker());
    EXPECT_EQ(loggedEvents(program.service().hostLog()), (std::vector<int>{100, 101, 102})) << program.service().hostLog();
    EXPECT_EQ(watch.text("Program"), "ended");
    EXPECT_EQ(watch.processId(), 0u);
    program.expectNothingLeft();
  }
}

TEST(Srvany, AProgramThatExitsByItselfStopsTheServiceAsFailedWithItsExitCode) {
  struct Case {
    const char* arguments;
    DWORD exitCode;
  };
  for (const Case& c : {Case{"--exit-after 500 42 --child", 42}, Case{"--exit-after 500 0", 0}}) {
    SCOPED_TRACE(c.arguments);
    HostedProgram program(c.arguments);
    ASSERT_NO_FATAL_FAILURE(program.start());
    ASSERT_TRUE(program.service().waitForState(SERVICE_STOPPED, kStartMs))
        << "still " << program.service().status().dwCurrentState;
    const SERVICE_STATUS_PROCESS status = program.service().status();
    EXPECT_EQ(status.dwWin32ExitCode, static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR))
        << "even exit code 0 is a failure: the program was not asked to end";
    EXPECT_EQ(status.dwServiceSpecificExitCode, c.exitCode);
    EXPECT_TRUE(contains(readFile(program.marker()), "exit " + std::to_string(c.exitCode)));
    const std::string log = program.service().hostLog();
    EXPECT_EQ(loggedEvents(log), (std::vector<int>{100, 104}));
    EXPECT_TRUE(contains(log, " exited by itself with exit code " + std::to_string(c.exitCode) + ";")) << log;
    program.expectNothingLeft();
  }
}

// srvany ended from outside, or failing on a thread of its own (here one started in it from
// outside that jumps to an address nothing is at): the program and its child end with it. The
// fault, which no catch sees, is recorded as 111 and stops the service as failed with srvany's
// own code, so that the recovery actions restart it.
TEST(Srvany, KilledOrFaultingOnAnyThreadItTakesTheProgramAndItsChildAndAFaultStopsTheServiceAsFailed) {
  for (const bool fault : {false, true}) {
    SCOPED_TRACE(fault ? "a fault on a thread of its" : "killed");
    HostedProgram program("--child");
    ASSERT_NO_FATAL_FAILURE(program.start(true));
    const auto ids = program.programIds();
    ASSERT_EQ(ids.size(), 2u);
    platform::win32::UniqueKernelHandle host(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, program.service().hostProcessId()));
    ASSERT_TRUE(host) << ::GetLastError();
    if (fault) {
      const auto nowhere = reinterpret_cast<LPTHREAD_START_ROUTINE>(std::uintptr_t{0x10});
      platform::win32::UniqueKernelHandle thread(::CreateRemoteThread(host.get(), nullptr, 0, nowhere, nullptr, 0, nullptr));
      ASSERT_TRUE(thread) << ::GetLastError();
      ASSERT_TRUE(program.service().waitForState(SERVICE_STOPPED, kStartMs));
      EXPECT_EQ(program.service().status().dwWin32ExitCode, static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR));
      EXPECT_EQ(program.service().status().dwServiceSpecificExitCode, tools::kHostFailedCode);
      const std::string log = program.service().hostLog();
      EXPECT_TRUE(contains(log, " 111 ") && contains(log, "exception 0xC0000005")) << log;
    } else {
      ASSERT_TRUE(::TerminateProcess(host.get(), 1));
    }
    ASSERT_EQ(::WaitForSingleObject(host.get(), 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(waitUntil([&] { return !processRunning(ids[0]) && !processRunning(ids[1]); }, 5000));
    program.expectNothingLeft();
  }
}

// C:\Program.exe while the test runs; removed with the marker it leaves should it run.
struct PlantedProgram {
  static constexpr char kPath[] = "C:\\Program.exe", kRanMarker[] = "C:\\Program.exe.ran";
  const bool planted = ::CopyFileA((testProgramFolder() + "plantedprogram.exe").c_str(), kPath, TRUE) != FALSE;
  ~PlantedProgram() {
    if (planted) ::DeleteFileA(kPath);
    ::DeleteFileA(kRanMarker);
  }
  static bool ran() { return ::GetFileAttributesA(kRanMarker) != INVALID_FILE_ATTRIBUTES; }
};

TEST(Srvany, AnApplicationPathWithBlanksRunsThatProgramAndNeverAPlantedOne) {
  ScratchFolder programFolder("C:\\Program Files");  // "C:\Program Files\tlv tools_...\"
  const std::string application = programFolder.path() + kTestAppName;
  ASSERT_TRUE(::CopyFileA((testProgramFolder() + kTestAppName).c_str(), application.c_str(), FALSE));
  const PlantedProgram plant;
  ASSERT_TRUE(plant.planted) << "a C:\\Program.exe of someone else's? error " << ::GetLastError();
  {  // The plant is live: the system's own search along the unquoted path does run it.
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    std::string unquoted = application + " --marker nowhere";
    ASSERT_TRUE(
        ::CreateProcessA(nullptr, unquoted.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    platform::win32::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    ::WaitForSingleObject(process.get(), 5000);
    ASSERT_TRUE(plant.ran()) << "without a live plant this test could not fail";
    ::DeleteFileA(PlantedProgram::kRanMarker);
  }

  // As written by hand, the program's arguments may stand in Application after its path.
  for (const bool argumentsInApplication : {false, true}) {
    SCOPED_TRACE(argumentsInApplication ? "arguments in Application" : "arguments in AppParameters");
    HostedProgram program("", application);
    if (argumentsInApplication) {
      program.service().setParameter(tools::value::kApplication, application + " --marker \"" + program.marker() + "\"");
      program.service().setParameter(tools::value::kAppParameters, "--child");
    }
    ASSERT_NO_FATAL_FAILURE(program.start(argumentsInApplication));
    EXPECT_TRUE(contains(readFile(program.marker()), "dir=" + withoutTrailingBackslash(programFolder.path())));
    EXPECT_FALSE(plant.ran());
    ASSERT_EQ(program.service().stop(), 0u);
    ASSERT_TRUE(program.service().waitForState(SERVICE_STOPPED, kGraceMs + 5000));
    // The arguments name the marker: the log never shows them (their length: natively).
    EXPECT_FALSE(contains(program.service().hostLog(), program.marker())) << program.service().hostLog();
    program.expectNothingLeft();
  }
}

TEST(Srvany, AMissingApplicationOrProgramStopsTheServiceWithAnError) {
  struct Case {
    const char* what;
    void (*arrange)(ScratchService&);
    DWORD expected;
  };
  const Case cases[] = {
      {"no Parameters key", [](ScratchService&) {}, ERROR_FILE_NOT_FOUND},
      {"no Application value", [](ScratchService& s) { s.setParameter(tools::value::kAppParameters, "-x"); }, ERROR_FILE_NOT_FOUND},
      {"Application not a string", [](ScratchService& s) { s.setParameterDword("Application", 1); },
       ERROR_INVALID_DATA},
      {"program missing", [](ScratchService& s) { s.setParameter(tools::value::kApplication, testProgramFolder() + "missing.exe"); },
       ERROR_FILE_NOT_FOUND},
      {"folder missing",
       [](ScratchService& s) {
         s.setParameter(tools::value::kApplication, "C:\\no such folder\\app.exe");
         s.setParameter(tools::value::kAppDirectory, testProgramFolder());  // else the start folder is missing too
       },
       ERROR_PATH_NOT_FOUND},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchService service;
    ASSERT_TRUE(service.installWithSrvany());
    c.arrange(service);
    const DWORD started = service.start();
    EXPECT_TRUE(started == ERROR_SUCCESS || started == c.expected) << started;
    ASSERT_TRUE(service.waitForState(SERVICE_STOPPED, kStartMs)) << "state " << service.status().dwCurrentState;
    EXPECT_EQ(service.status().dwWin32ExitCode, c.expected);
    const DWORD host = service.status().dwProcessId;
    EXPECT_TRUE(host == 0 || waitUntil([&] { return !processRunning(host); }, 5000));
  }
}

// The programs whose ending takes its time, run at once so that their waits overlap.
// A program that ignores WM_CLOSE is ended with its child after the grace period, the service
// showing its progress meanwhile. The watch probes the programs' windows every 5 s: a box is
// seen within a probe or two, also a message box that is the program's first window. A program
// that has not answered for HangRestartSeconds is ended, and the service stops as failed with
// srvany's own code. (Without it a hung program is reported after 30 s and runs on:
// tests/service, beside what /health says of it.)
TEST(SrvanySlowEndings, GracePeriodBoxesNobodySeesAndHangRestartSeconds) {
  HostedProgram ignoring("--ignore-close --child"), hung("--hang-for 600000"),
      after("--box-for 6000 \"cannot open COM3\""), first("--box-first \"cannot open COM3\"");
  hung.service().setParameterDword(tools::value::kHangRestartSeconds, 5);
  ASSERT_NO_FATAL_FAILURE(ignoring.start(true));
  ASSERT_NO_FATAL_FAILURE(hung.start());
  ASSERT_NO_FATAL_FAILURE(after.start());
  ASSERT_NO_FATAL_FAILURE(first.start(false, false));

  const DWORD asked = ::GetTickCount();
  ASSERT_EQ(ignoring.service().stop(), 0u);
  // While it waits, the service shows progress: new checkpoints, each with a wait hint.
  ASSERT_TRUE(ignoring.service().waitForState(SERVICE_STOP_PENDING, 5000));
  const SERVICE_STATUS_PROCESS early = ignoring.service().status();
  SERVICE_STATUS_PROCESS later = early;
  EXPECT_TRUE(waitUntil([&] { return (later = ignoring.service().status()).dwCheckPoint > early.dwCheckPoint; }, 5000))
      << "no new checkpoint";
  EXPECT_EQ(later.dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
  EXPECT_GT(later.dwWaitHint, 0u);

  for (HostedProgram* program : {&first, &after}) {
    ASSERT_TRUE(waitUntil([&] { return contains(program->service().hostLog(), " 202 "); }, 60000));
    EXPECT_TRUE(contains(program->service().hostLog(),
                         " 202 The program shows a box nobody sees: \"Card reader\" / cannot open COM3\r\n"))
        << program->service().hostLog();
    EXPECT_EQ(program->service().status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
  }
  EXPECT_EQ(first.service().stop(), 0u);  // its box stands until then
  ASSERT_TRUE(waitUntil([&] { return contains(readFile(after.marker()), "box closed"); }, 20000));
  EXPECT_TRUE(waitUntil([&] { return contains(after.service().hostLog(), " 203 "); }, 10000));
  EXPECT_EQ(loggedEvents(after.service().hostLog()), (std::vector<int>{100, 202, 203}));

  ASSERT_TRUE(ignoring.service().waitForState(SERVICE_STOPPED, kGraceMs + 10000));
  const DWORD took = ::GetTickCount() - asked;
  EXPECT_GE(took, kGraceMs - 500);
  EXPECT_LT(took, kGraceMs + 6000);
  EXPECT_EQ(ignoring.service().status().dwWin32ExitCode, static_cast<DWORD>(NO_ERROR));
  EXPECT_TRUE(contains(readFile(ignoring.marker()), "close ignored")) << "the program was asked";
  EXPECT_TRUE(contains(readFile(ignoring.childMarker()), "close ignored")) << "its child was asked too";
  EXPECT_FALSE(contains(readFile(ignoring.marker()), "exit ")) << "it never closed: it was ended";
  EXPECT_EQ(loggedEvents(ignoring.service().hostLog()), (std::vector<int>{100, 101, 103}));
  ignoring.expectNothingLeft(false);

  ASSERT_TRUE(hung.service().waitForState(SERVICE_STOPPED, 40000)) << hung.service().hostLog();
  EXPECT_EQ(hung.service().status().dwWin32ExitCode, static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR));
  EXPECT_EQ(hung.service().status().dwServiceSpecificExitCode, tools::kHungProgramEndedCode);
  EXPECT_EQ(loggedEvents(hung.service().hostLog()), (std::vector<int>{100, 204}));
  hung.expectNothingLeft(false);
}

TEST(Srvany, RunByHandItSaysItIsAServiceProgramAndFails) {
  const ToolRun run = runTool(testProgramFolder() + "srvany.exe", "");
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(ERROR_FAILED_SERVICE_CONTROLLER_CONNECT));
  EXPECT_TRUE(contains(run.output, "runs only as the program of a service")) << run.output;
}

}  // namespace
}  // namespace tlv::testing
