// Win32 only: the whole service creation under Wine with the real program, our instsrv.exe
// and srvany.exe, and the demo payment program, its windows and boxes answered as a person would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <optional>

#include "app/ServiceRegistryKeys.h"
#include "app/win32/WindowUi.h"
#include "platform/WindowsPath.h"
#include "platform/win32/ProcessTree.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"
#include "registry/clsRegistryAccess.h"
#include "testkit/win32/Edition.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Gui.h"
#include "testkit/win32/Processes.h"
#include "testkit/win32/Registry.h"
#include "testkit/win32/Services.h"
#include "tools/common/WatchValues.h"

namespace tlv::testing {
namespace {

using platform::win32::UniqueServiceHandle;

constexpr const char* kService = tools::kServiceName;
constexpr char kMainWindow[] = "Make Service for Tolvane", kReady[] = "Service is Ready to Start";
const std::string kInstallFolder = editionProgramFiles() + "Orbit-Tender\\";
const std::string kPaymentPath = kInstallFolder + "Orbit-Tender.exe";

std::string serviceKey(const std::string& sub = "") { return tools::kServiceKeyPath.data() + sub; }
std::optional<std::string> application() { return machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication); }
std::string withNul(const std::string& text) { return text + '\0'; }
std::string testkitProgram(const std::string& name) { return buildRoot() + "testkit\\programs\\" + name; }

// Stops and deletes the service and takes the placed tools, the payment program and srvany's
// log away, so that every test starts from a machine that never had them.
void forgetEverything() {
  removeService(kService);
  for (const char* file : {"instsrv.exe", "instsrv.exe.txt", "srvany.exe", "Logs\\TlvAsService\\OrbitTender.log"}) {
    ::DeleteFileA((windowsFolder() + file).c_str());
  }
  removeFolderTree(kInstallFolder);
}

class ServiceCreationWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { warmUpServiceCreation(); }
  void SetUp() override {
    forgetEverything();
    program = folder.copyIn(buildRoot() + "app\\TlvAsService.exe");
    ASSERT_FALSE(program.empty()) << "TlvAsService.exe not found in the build tree " << buildRoot();
    ASSERT_FALSE(folder.copyIn(buildRoot() + "tools\\instsrv\\instsrv.exe").empty());
    ASSERT_FALSE(folder.copyIn(buildRoot() + "tools\\srvany\\srvany.exe").empty());
    ASSERT_NO_FATAL_FAILURE(installPaymentProgram(kInstallFolder));  // every test's payment program
  }
  void TearDown() override {
    gui.endPrograms();
    forgetEverything();
  }

  static void installPaymentProgram(const std::string& installFolder) {
    ::CreateDirectoryA(installFolder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA((buildRoot() + "demo\\Orbit-Tender.exe").c_str(),
                            (installFolder + "Orbit-Tender.exe").c_str(), FALSE));
  }
  /// A run without a window: its exit code, -1 when it showed one or did not end.
  long run(const std::string& arguments, const std::string& exe = {}, const StartPlace& place = {}) {
    const WindowlessRun done = runWatchingForWindows(exe.empty() ? program : exe, arguments, 60000, place);
    return done.showedAWindow ? -1 : done.exitCode;
  }
  std::string logs() const {
    std::string all;
    for (const auto& name : folder.files("*.log")) all += folder.read(name).value_or("");
    return all;
  }
  /// Answers the install-folder prompt with `answer` and `button`, checking what it shows first.
  void answerPrompt(unsigned long pid, const std::string& answer, const std::string& button = "OK") {
    const Window prompt = Window::dialog("Where is Tolvane?").of(pid).within(30000);
    const WindowView view = gui.wait(prompt);
    ASSERT_TRUE(view.found) << view.failure;
    EXPECT_THAT(view.texts("static"), ::testing::Contains("Type the Path to the 'Orbit-Tender\\' Folder\r\n'STOP' to Quit"));
    EXPECT_EQ(view.texts("edit"), std::vector<std::string>{kInstallFolder}) << "the default is the install folder";
    EXPECT_EQ(view.texts("button"), (std::vector<std::string>{"OK", "Cancel"}));
    ASSERT_TRUE(gui.type(prompt, 0, answer));
    EXPECT_EQ(gui.wait(prompt).texts("edit"), std::vector<std::string>{answer});
    ASSERT_TRUE(gui.press(prompt, button));
    // The next prompt, if any, is a new window: this one has gone first.
    EXPECT_TRUE(waitUntil([hwnd = view.hwnd] { return !::IsWindow(hwnd); }, 10000));
  }

  ScratchFolder folder = ScratchFolder::programs("ServiceCreation");
  Gui gui;
  std::string program;
  app::win32::WindowUi ui{::GetModuleHandleA(nullptr)};
  platform::win32::Win32Platform machine{ui};
  platform::Platform platform = machine.platform();
  registry::clsRegistryAccess registry{platform};
};

// The run makes a working service; then, from the menu with the payment program elsewhere,
// it asks for its folder until the folder holds it and makes the service over again.
TEST_F(ServiceCreationWine, CreatesAWorkingServiceAndFromTheMenuAsksForTheFolderUntilItHoldsTheProgram) {
  const auto ending = gui.startUntilBox(program);
  const auto pid = ending.started.pid;
  ASSERT_NE(pid, 0u) << ending.started.failure;
  EXPECT_EQ(ending.status, kReady);
  EXPECT_EQ(ending.box.title, "Services") << ending.box.failure;
  EXPECT_THAT(ending.box.texts("static"), ::testing::Contains(kReady));
  // Pictures of the run's end for the documentation: the box, then the window alone, each
  // active as a person sees it (windows answered by posted clicks are not made active).
  const std::string shots = buildRoot() + "screenshots\\";
  ::CreateDirectoryA(shots.c_str(), nullptr);
  const auto pictureOf = [&](const Window& window, const std::string& name) {
    const HWND shown = gui.wait(window).hwnd;
    ::SetForegroundWindow(shown);
    EXPECT_TRUE(waitUntil([shown] { return ::GetForegroundWindow() == shown; }, 5000)) << name;
    EXPECT_TRUE(gui.screenshot(window, shots + name));
  };
  const Window box = Window::dialog("Services").of(pid);
  pictureOf(box, "final-box.png");
  ASSERT_TRUE(gui.press(box, "OK"));
  EXPECT_TRUE(waitUntil([hwnd = ending.box.hwnd] { return !::IsWindow(hwnd); }, 5000));  // posted: it goes a moment later
  pictureOf(Window::titled(kMainWindow).of(pid), "window.png");
  EXPECT_EQ(logs(), "") << "a run without failures writes no log";

  // The service manager knows the service with the Windows folder's srvany.exe.
  const ServiceConfig config = serviceConfig(kService);
  EXPECT_EQ(platform::upperCase(config.binaryPath), platform::upperCase(windowsFolder() + "srvany.exe"));
  EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(config.serviceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
  // Starting it runs the payment program; stopping it closes the program.
  const std::string marker = kInstallFolder + "Orbit-Tender.running";
  ASSERT_TRUE(startService(kService));
  EXPECT_TRUE(waitUntil([&] { return pathExists(marker); }, 10000)) << "the payment program did not start";
  EXPECT_TRUE(stopService(kService));
  EXPECT_FALSE(pathExists(marker)) << "the program closed on request";

  removeFolderTree(kInstallFolder);
  ScratchFolder elsewhere = ScratchFolder::programs("ServiceCreationPos");
  installPaymentProgram(elsewhere.path());
  ASSERT_TRUE(gui.chooseMenuFromKeyboard(Window::titled(kMainWindow).of(pid)));
  answerPrompt(pid, elsewhere.path(), "Cancel");  // asks again (a folder without it too: natively)
  const std::string typed = elsewhere.path().substr(0, elsewhere.path().size() - 1);  // without its backslash
  answerPrompt(pid, typed);
  const Gui::Ending again = gui.nextBox(pid, "Services");
  EXPECT_EQ(again.status, kReady);
  EXPECT_THAT(again.box.texts("static"), ::testing::Contains(kReady)) << again.box.failure;
  EXPECT_TRUE(gui.press(Window::dialog("Services").of(pid), "OK"));
  EXPECT_TRUE(waitUntil([hwnd = again.box.hwnd] { return !::IsWindow(hwnd); }, 5000));
  EXPECT_EQ(application(), withNul(typed + "\\Orbit-Tender.exe"));
  EXPECT_TRUE(gui.close(Window::titled(kMainWindow).of(pid)));
  EXPECT_EQ(gui.waitForExit(pid, 20000), 0ul);
}

// Fixes of the service host must reach machines that ran an earlier release, also while a
// service runs it: the service keeps running, and its next start runs the new host.
TEST_F(ServiceCreationWine, AnEarlierReleasesHostIsReplacedWhileItsServiceRunsIt) {
  ASSERT_EQ(run("/quiet"), 0);
  const std::string host = windowsFolder() + "srvany.exe";
  ASSERT_TRUE(::CopyFileA(testkitProgram("earlier\\srvany.exe").c_str(), host.c_str(), FALSE));
  ASSERT_TRUE(startService(kService));
  const DWORD earlierHost = serviceStatus(kService).dwProcessId;

  ASSERT_EQ(run("/quiet"), 0);
  EXPECT_EQ(readFile(host), readFile(buildRoot() + "tools\\srvany\\srvany.exe")) << "this release's host under the tool's name";
  EXPECT_EQ(serviceStatus(kService).dwProcessId, earlierHost) << "the running service was left alone";
  WIN32_FIND_DATAA found{};
  EXPECT_TRUE(platform::win32::UniqueFind(::FindFirstFileA((host + ".*.old").c_str(), &found)))
      << "the running host was not set aside";
  EXPECT_NE(logs().find(" " + host + ":Version 0.9.0 replaced by 1.0.0"), std::string::npos) << logs();
  ASSERT_TRUE(stopService(kService));
  EXPECT_TRUE(startService(kService)) << "the new host starts the service";
  ASSERT_TRUE(stopService(kService));

  // The host set aside is free now: the next run deletes it.
  ASSERT_EQ(run("/quiet"), 0);
  platform::win32::UniqueFind setAside(::FindFirstFileA((host + ".*.old").c_str(), &found));
  EXPECT_FALSE(setAside) << found.cFileName << " is left";
}

// Windows looks for a program's DLLs in its own folder first, the known DLLs excepted: the
// elevated run loads none it needs from there. And a program on another drive than Windows'
// beside an instsrv.com a user planted, HOMEDRIVE unset or naming that drive, WinDir a folder
// users can write: the batch file's interpreter runs in the Windows folder with an environment
// of its own, so nothing planted runs, nothing goes to that folder, and the service runs the
// system's srvany.exe.
TEST_F(ServiceCreationWine, NoDllPlantedBesideTheProgramIsLoadedAndNothingTheEnvironmentNamesIsRun) {
  const std::string other = buildRoot() + "OtherDrive\\";
  ASSERT_NE(std::toupper(other[0]), std::toupper(windowsFolder()[0])) << other;
  removeFolderTree(other);
  ASSERT_TRUE(::CreateDirectoryA(other.c_str(), nullptr));
  for (const char* file : {"TlvAsService.exe", "instsrv.exe", "srvany.exe"}) {
    ASSERT_TRUE(::CopyFileA((folder.path() + file).c_str(), (other + file).c_str(), FALSE)) << file;
  }
  ASSERT_TRUE(::CopyFileA(testkitProgram("plantedprogram.exe").c_str(), (other + "instsrv.com").c_str(), FALSE));
  // Wine's own gdi32 imports version.dll, which Windows takes from the system folder as a
  // known DLL's dependent but Wine, told to prefer DLLs beside the program, takes from there.
  // Only the x64 edition loads gdi32 after restricting the search (cmake/DelayImports.cmake).
  std::vector<std::string> planted{"mpr.dll", "bcrypt.dll"};
  if (k64BitEdition) planted.push_back("version.dll");
  for (const std::string& dll : planted) {
    ASSERT_TRUE(::CopyFileA(testkitProgram("planted\\" + dll).c_str(), (folder.path() + dll).c_str(), FALSE)) << dll;
  }
  // Wine prefers its own DLLs to files beside a program, Windows takes these from the
  // program's folder: this suite runs with WINEDLLOVERRIDES telling Wine to do the same
  // (tests/service/CMakeLists.txt). Wine reads it from the environment the process starts with.
  char overrides[512] = {};
  ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  ASSERT_NE(std::string(overrides).find("version,mpr,bcrypt=n,b"), std::string::npos) << overrides;
  EXPECT_EQ(run("/quiet"), 0) << "the run ends as it does without them";
  for (const std::string& dll : planted) EXPECT_FALSE(pathExists(folder.path() + dll + ".loaded")) << dll << " was loaded";

  const std::string userWindows = "C:\\users\\Public\\win";
  ::CreateDirectoryA(userWindows.c_str(), nullptr);
  for (const char* homeDrive : {static_cast<const char*>(nullptr), "Z:"}) {
    SCOPED_TRACE(homeDrive ? homeDrive : "HOMEDRIVE unset");
    removeService(kService);
    // The run inherits this process's environment; the test's own goes back after.
    char savedWinDir[MAX_PATH] = {}, savedHome[16] = {};
    ::GetEnvironmentVariableA("WinDir", savedWinDir, MAX_PATH);
    ::GetEnvironmentVariableA("HOMEDRIVE", savedHome, sizeof savedHome);
    ::SetEnvironmentVariableA("WinDir", userWindows.c_str());
    ::SetEnvironmentVariableA("HOMEDRIVE", homeDrive);
    const long exitCode = run("/quiet", other + "TlvAsService.exe", {.currentFolder = other});
    ::SetEnvironmentVariableA("WinDir", savedWinDir);
    ::SetEnvironmentVariableA("HOMEDRIVE", savedHome[0] ? savedHome : nullptr);
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(pathExists(other + "instsrv.com.ran")) << "the planted instsrv.com ran";
    EXPECT_FALSE(pathExists(userWindows + "\\srvany.exe")) << "a tool went to WinDir's folder";
    EXPECT_TRUE(platform::equalsNoCase(serviceConfig(kService).binaryPath, windowsFolder() + "srvany.exe"))
        << serviceConfig(kService).binaryPath;
  }
  removeFolderTree(other);
  removeFolderTree(userWindows + "\\");
}

TEST_F(ServiceCreationWine, TheUnattendedRunShowsNothingAndTellsItsEndingByExitCodeLogAndEventLog) {
  EXPECT_EQ(run("/quiet"), 0);
  EXPECT_EQ(run("/quiet"), 0) << "again, over the service it made";
  EXPECT_TRUE(serviceExists(kService));
  EXPECT_NE(logs().find(" Unattended run:Service is Ready to Start (exit code 0)"), std::string::npos) << logs();
  // The event log service loads the message file: registered only from a folder only
  // administrators can change, such as Program Files, not from C:\TlvTestPrograms\.
  EXPECT_NE(logs().find(" Event source TlvAsService:Not registered: the program is not in a folder only administrators "
                        "can change"), std::string::npos) << logs();
  const std::string installed = editionProgramFiles() + "TlvAsServiceEvents\\";
  ::CreateDirectoryA(installed.c_str(), nullptr);
  ASSERT_TRUE(::CopyFileA(program.c_str(), (installed + "TlvAsService.exe").c_str(), FALSE));
  EXPECT_EQ(run("/verify", installed + "TlvAsService.exe"), 0);
  const auto messageFile = machineRegistryValue(
      "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TlvAsService", "EventMessageFile");
  EXPECT_EQ(platform::upperCase(messageFile.value_or("")), platform::upperCase(withNul(installed + "TlvAsService.exe")))
      << "the event source names the program as its message file";
  // What the event viewer shows for an entry with the text "the ending": the message file,
  // as registered, formats message 1 with it. (Wine's ReportEvent keeps no entries to read.)
  platform::win32::UniqueLibrary messages(::LoadLibraryExA(messageFile.value_or("").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>("the ending")};
  char viewed[64] = {};
  ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, messages.get(), 1, 0, viewed,
                   sizeof viewed, reinterpret_cast<va_list*>(arguments));
  EXPECT_STREQ(viewed, "the ending\r\n");
  messages.reset();
  removeFolderTree(installed);

  // Without the payment program the run removes the service it created, through the
  // service manager (which run keeps which service: natively).
  removeFolderTree(kInstallFolder);
  removeService(kService);
  EXPECT_EQ(run("/quiet"), 2) << "InComplete";
  EXPECT_TRUE(waitUntil([] { return !serviceExists(kService); }, 10000)) << "the run created it and could not complete it";

  // A mistyped switch without /quiet on a window station nobody sees: no usage box waits
  // there for ever, the exit code tells.
  HiddenWindowStation hidden;
  ASSERT_TRUE(hidden.made()) << ::GetLastError();
  EXPECT_EQ(runWatchingForWindows(program, "/quite", 20000, {.desktop = hidden.desktopName()}).exitCode, 87)
      << "-1: it waited, most likely on a box";
  EXPECT_NE(logs().find(" Unattended run:Usage error: Unknown switch: /quite (exit code 87)"), std::string::npos);
}

// /verify changes nothing and names each drift from what the run left by its own exit code;
// /report holds what support needs, the service's key in a form the registry class reads back.
TEST_F(ServiceCreationWine, VerifyTellsEachDriftByItsOwnCodeAndTheReportHoldsTheServicesKey) {
  ASSERT_EQ(run("/quiet"), 0);
  // A key among the payment program's arguments: no file shows it, only the registry holds it.
  registry.WriteString(app::kParametersKey, tools::value::kAppParameters, "--key 4111111111111111");
  // Started once, as on a till: srvany finds its shutdown time set and leaves the service be.
  ASSERT_TRUE(startService(kService));
  ASSERT_TRUE(stopService(kService));
  const auto state = [&] {
    return std::vector<std::optional<std::string>>{
        application(), machineRegistryValue(serviceKey(), tools::value::kDescription),
        machineRegistryValue(serviceKey(), tools::value::kFailureActions), machineRegistryValue(serviceKey(), "ImagePath"),
        machineRegistryValue(serviceKey(), "Start"), readWholeFile(windowsFolder() + "instsrv.exe"),
        readWholeFile(windowsFolder() + "srvany.exe")};
  };
  const auto before = state();
  EXPECT_EQ(run("/verify"), 0);
  EXPECT_EQ(state(), before) << "verify changed what the run left";
  // /health of the service stopped cleanly: not running. (Without the service: 40, below.)
  EXPECT_EQ(run("/health"), 41);
  EXPECT_EQ(state(), before) << "health changed what the run left";

  // The report writes only its own file: a file of that name with ".tmp.reg" stays, and a
  // second name of Windows' win.ini at the report's name is replaced, not written through.
  const std::string reportFile = folder.path() + "till.txt";
  const std::string winIni = windowsFolder() + "win.ini", winIniBefore = readFile(winIni);
  ASSERT_TRUE(writeFile(reportFile + ".tmp.reg", "someone's"));
  ASSERT_TRUE(::CreateHardLinkA(reportFile.c_str(), winIni.c_str(), nullptr));
  ASSERT_EQ(run("/report \"" + reportFile + "\""), 0);
  EXPECT_EQ(readFile(winIni), winIniBefore);
  EXPECT_EQ(readFile(reportFile + ".tmp.reg"), "someone's");
  for (const std::string& written : {folder.path(), windowsFolder() + "Logs\\TlvAsService\\"}) {
    WIN32_FIND_DATAA found{};
    platform::win32::UniqueFind search(::FindFirstFileA((written + "*").c_str(), &found));
    for (bool more = bool(search); more; more = ::FindNextFileA(search.get(), &found)) {
      EXPECT_EQ(readFile(written + found.cFileName).find("4111111111111111"), std::string::npos) << found.cFileName;
    }
  }
  // Wine keeps the keys' descriptors, none of its files' or its services': the report says so.
  // (Its other parts and the key's REGEDIT4 text: natively and in the .reg contract.)
  const std::string report = readFile(reportFile);
  for (const char* check : {"AppDirectory: not reported: this system keeps no security for",
                            "the service and its keys: not reported: this system keeps no security for the service"}) {
    EXPECT_NE(report.find(check), std::string::npos) << check << "\n" << report;
  }

  // Each drift that only the real service manager, files and registry show, on its own, then
  // put back. (The drifts of the values read through the registry class, a foreign tool and
  // the rights' rules: natively, beside the registry, file and digest contracts run here too.)
  const std::string release = buildRoot() + "tools\\srvany\\srvany.exe", srvany = windowsFolder() + "srvany.exe";
  const auto startType = [](DWORD type) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), kService, SERVICE_CHANGE_CONFIG));
    ASSERT_TRUE(::ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, type, SERVICE_NO_CHANGE, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr));
  };
  const auto runAgain = [&] { EXPECT_EQ(run("/quiet"), 0); };
  // A run that found srvany.exe in use leaves this release's to be put in place at the next
  // start of Windows.
  const std::string partial = srvany + ".partial";
  const auto pendingRename = [&](bool pending) {
    constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    if (!pending) {
      ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
      ::DeleteFileA(partial.c_str());
      ::CopyFileA(release.c_str(), srvany.c_str(), FALSE);
      return;
    }
    ASSERT_TRUE(::CopyFileA(release.c_str(), partial.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA(testkitProgram("slowtool.exe").c_str(), srvany.c_str(), FALSE));
    ASSERT_TRUE(::MoveFileExA(partial.c_str(), srvany.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING))
        << ::GetLastError();
  };
  struct Drift {
    const char* what;
    std::function<void()> make, undo;
    int code;
  };
  const Drift drifts[] = {
      // Wine's service manager writes back only the values it keeps when a configuration
      // changes, so the run puts the description and recovery actions back afterwards.
      {"manual start", [&] { startType(SERVICE_DEMAND_START); }, [&] { startType(SERVICE_AUTO_START), runAgain(); }, 22},
      // A second name elsewhere: the run puts a file of its own in its place.
      {"srvany.exe with a second name",
       [&] { ::CreateHardLinkA((folder.path() + "other-name.exe").c_str(), srvany.c_str(), nullptr); }, runAgain, 23},
      {"srvany.exe replaced at the next start", [&] { pendingRename(true); }, [&] { pendingRename(false); }, 31},
      {"service deleted", [] { removeService(kService); }, [] {}, 20},
  };
  for (const Drift& drift : drifts) {
    SCOPED_TRACE(drift.what);
    drift.make();
    EXPECT_EQ(run("/verify"), drift.code);
    EXPECT_NE(logs().find(":FAILS (exit code " + std::to_string(drift.code) + ")"), std::string::npos) << logs();
    drift.undo();
    if (drift.code != 20) {
      EXPECT_EQ(run("/verify"), 0) << "put back";
    }
  }
  EXPECT_EQ(run("/health"), 40) << "the last drift deleted the service";
}

// /health follows srvany's live watch, and srvany's text log tells what it saw. A program that
// answers is healthy soon after its start; a watch that stopped beating is no watch. Then one
// run shows boxes, whose texts claim lengths no buffer could hold (on x86 the last is cut to
// 0xFFFFFFFF): srvany reads their true texts and /health names them; then the program hangs:
// srvany reports it once it has not answered for 30 s, never before, and lets it run on (a
// payment program busy in a long task must not be killed); /health says so; then it answers.
TEST_F(ServiceCreationWine, HealthAndSrvanysLogTellAnsweringAStoppedWatchBoxesAndAHang) {
  ASSERT_EQ(run("/quiet"), 0);
  registry.WriteString(app::kParametersKey, tools::value::kApplication, testkitProgram(kTestAppName));
  const std::string marker = folder.path() + "marker.txt", hostLog = windowsFolder() + "Logs\\TlvAsService\\OrbitTender.log";
  const auto host = [&](const std::string& arguments) {
    ::DeleteFileA(hostLog.c_str());
    registry.WriteString(app::kParametersKey, tools::value::kAppParameters, "--marker \"" + marker + "\" " + arguments);
    ASSERT_TRUE(startService(kService));
  };
  const auto healthWithin = [&](long code, DWORD withinMs) {
    const DWORD started = ::GetTickCount();
    const bool seen = waitUntil([&] { return run("/health") == code; }, withinMs, 200);
    std::printf("[ health %ld after %lu ms ]\n", code, ::GetTickCount() - started);
    return seen;
  };
  // srvany's own Linux process, found by its command line: Wine's process ids are not Linux's.
  // Wine starts a Linux program without a process to wait on: the signal is judged by its effect.
  const auto signalHost = [](const char* signal) {
    std::string command = std::string("/bin/sh -c \"pkill -") + signal + " -i -f 'windows.srvany.exe'\"";
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION started{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started));
    platform::win32::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  };
  host("");
  EXPECT_TRUE(healthWithin(0, 15000)) << "the program answers";
  // The watch stops (srvany held), its last beat over a minute old.
  const std::string watchKey = tools::watchKeyPath(kService);
  const auto heartbeat = tools::parseUtcText(machineRegistryString(watchKey, tools::watchvalue::kHeartbeat).value_or(""));
  ASSERT_TRUE(heartbeat);
  // Held, srvany writes no beat over the one left here (the signal takes effect a moment later).
  signalHost("STOP");
  const std::string stale = tools::utcText(*heartbeat - tools::kHeartbeatStaleSeconds - 5);
  EXPECT_TRUE(waitUntil([&] {
    return ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, watchKey.c_str(), tools::watchvalue::kHeartbeat, REG_SZ, stale.c_str(),
                             static_cast<DWORD>(stale.size() + 1)) == ERROR_SUCCESS && run("/health") == 46;
  }, 10000)) << "a heartbeat a minute old is no watch";
  signalHost("CONT");
  EXPECT_TRUE(healthWithin(0, 15000)) << "it beats again";
  ASSERT_TRUE(stopService(kService));

  host("--claim-box 0xFFFFFFF0 \"reader gone\" --claim-box 0x7FFFFFFF \"printer gone\" --claim-box "
       "0x7FFFFFFFFFFFFFFF \"drawer gone\" --hang-after 3000 --hang-for 45000");
  EXPECT_TRUE(healthWithin(45, 15000)) << "boxes stand";
  EXPECT_THAT(logs(), ::testing::HasSubstr("(exit code 45): \"Length 0x"));
  ASSERT_TRUE(waitUntil([&] { return readFile(marker).find("hang") != std::string::npos; }, 15000));
  const DWORD hung = ::GetTickCount();
  for (const char* box : {" 202 The program shows a box nobody sees: \"Length 0xFFFFFFF0\" / reader gone\r\n",
                          " 202 The program shows a box nobody sees: \"Length 0x7FFFFFFF\" / printer gone\r\n",
                          " 202 The program shows a box nobody sees: \"Length 0x7FFFFFFFFFFFFFFF\" / drawer gone\r\n"}) {
    EXPECT_THAT(readFile(hostLog), ::testing::HasSubstr(box));
  }
  EXPECT_TRUE(healthWithin(44, 45000)) << "it has not answered for 30 s";
  EXPECT_GE(::GetTickCount() - hung, 29500ul) << "/health said hung before 30 s";
  ASSERT_TRUE(waitUntil([&] { return readFile(hostLog).find(" 200 ") != std::string::npos; }, 20000));
  EXPECT_GE(::GetTickCount() - hung, 29500ul) << "srvany reported it before 30 s";
  EXPECT_EQ(serviceState(kService), static_cast<DWORD>(SERVICE_RUNNING));
  EXPECT_TRUE(waitUntil([&] { return readFile(hostLog).find(" 201 ") != std::string::npos; }, 25000));
  EXPECT_EQ(loggedEvents(readFile(hostLog)), (std::vector<int>{100, 202, 202, 202, 200, 201}));
  EXPECT_TRUE(healthWithin(45, 6000)) << "it answers, its boxes stand";
  ASSERT_TRUE(stopService(kService));
  EXPECT_EQ(run("/health"), 41) << "stopped";
}

// A slow till: instsrv.exe in the Windows folder, used as found, takes 3 s before it creates
// the service. The window run keeps its fixed pause and says so; an unattended run waits. A
// hung till: it does not end for two minutes. 30 s after its start the batch file's interpreter
// is ended with all it started, and /quiet ends NOT Complete.
TEST_F(ServiceCreationWine, AnUnattendedRunWaitsForASlowBatchFileAndEndsOneThatHangsWithAllItStarted) {
  ASSERT_TRUE(::CopyFileA(testkitProgram("slowtool.exe").c_str(), (windowsFolder() + "instsrv.exe").c_str(), FALSE));
  ASSERT_TRUE(writeFile(windowsFolder() + "instsrv.exe.txt", "3000\n" + buildRoot() + "tools\\instsrv\\instsrv.exe\n"));
  const auto ending = gui.startUntilBox(program);
  ASSERT_NE(ending.started.pid, 0u) << ending.started.failure;
  EXPECT_EQ(ending.status, "Orbit-Tender Service NOT Complete");
  EXPECT_EQ(ending.box.title, "Registry");
  EXPECT_TRUE(gui.press(Window::dialog("Registry").of(ending.started.pid), "OK"));
  EXPECT_TRUE(gui.close(Window::titled(kMainWindow).of(ending.started.pid)));
  EXPECT_EQ(gui.waitForExit(ending.started.pid, 20000), 0ul);
  EXPECT_TRUE(serviceExists(kService)) << "the slow instsrv did create the service, after the check";
  removeService(kService);
  EXPECT_EQ(run("/quiet"), 0) << "waited for";
  EXPECT_EQ(application(), withNul(kPaymentPath));

  removeService(kService);
  ASSERT_TRUE(writeFile(windowsFolder() + "instsrv.exe.txt", "120000\n"));
  const std::vector<DWORD> interpretersBefore = processesNamed("cmd.exe");
  const DWORD started = ::GetTickCount();
  EXPECT_EQ(run("/quiet"), 1) << "NOT Complete, within 60 s";
  std::printf("[ /quiet ended after %lu ms ]\n", ::GetTickCount() - started);
  EXPECT_TRUE(waitUntil([] { return processesNamed("instsrv.exe").empty(); }, 5000)) << "the hung instsrv was ended";
  EXPECT_TRUE(waitUntil([&] { return processesNamed("cmd.exe") == interpretersBefore; }, 5000)) << "and its interpreter";
  for (const DWORD id : processesNamed("instsrv.exe")) endProcess(id);
  EXPECT_THAT(logs(), ::testing::ContainsRegex("TolvaneAsServ.BAT:Its command interpreter was ended after 3\\d s"));
  EXPECT_FALSE(serviceExists(kService)) << "nothing was created";
}

// Where the interpreter cannot be put in a job of the run's (Windows 7 inside an agent's job;
// here the handle lacks the right to), it is ended with all it started by their parent ids.
TEST(ProcessTreeWine, WithoutAJobTheProcessAndAllItStartedAreEndedByTheirParentIds) {
  ScratchFolder scratch;
  const std::string tool = scratch.path() + "slowtool.exe";
  ASSERT_TRUE(::CopyFileA(testkitProgram("slowtool.exe").c_str(), tool.c_str(), FALSE));
  ASSERT_TRUE(writeFile(tool + ".txt", "60000\n"));
  std::string command = "\"" + windowsFolder() + "system32\\cmd.exe\" /d /c \"\"" + tool + "\"\"";
  STARTUPINFOA startup{sizeof startup};
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &info));
  platform::win32::UniqueKernelHandle full(info.hProcess);
  HANDLE limited = nullptr;  // no PROCESS_SET_QUOTA: no job will take it
  ASSERT_TRUE(::DuplicateHandle(::GetCurrentProcess(), info.hProcess, ::GetCurrentProcess(), &limited,
                                SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, 0));
  platform::win32::ProcessTree tree;
  ASSERT_EQ(tree.adopt(platform::win32::UniqueKernelHandle(limited), platform::win32::UniqueKernelHandle(info.hThread)),
            0ul);
  ASSERT_TRUE(waitUntil([] { return !processesNamed("slowtool.exe").empty(); }, 10000));
  EXPECT_TRUE(tree.end(5000)) << "the interpreter";
  EXPECT_TRUE(waitUntil([] { return processesNamed("slowtool.exe").empty(); }, 2000)) << "and what it started";
  for (const DWORD id : processesNamed("slowtool.exe")) endProcess(id);
}

}  // namespace
}  // namespace tlv::testing
