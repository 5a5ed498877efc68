// Win32 only: the whole service creation under Wine with the real program, our instsrv.exe
// and srvany.exe, and the demo payment program, its windows and boxes answered as a person would.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>

#include "app/ServiceRegistryKeys.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/LoggingFunctions.h"
#include "platform/WindowsPath.h"
#include "app/win32/WindowUi.h"
#include "platform/win32/ProcessTree.h"
#include "platform/win32/Win32Platform.h"
#include "registry/clsRegistryAccess.h"
#include "platform/win32/UniqueHandle.h"
#include "testkit/win32/Edition.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"
#include "testkit/win32/Registry.h"
#include "testkit/win32/Gui.h"
#include "testkit/win32/Services.h"

#include <sddl.h>  // after windows.h

namespace tlv::testing {
namespace {

using platform::win32::UniqueServiceHandle;
using platform::win32::UniqueRegKey;

constexpr const char* kService = tools::kServiceName;
constexpr char kMainWindow[] = "Make Service for Tolvane";
const std::string kInstallFolder = editionProgramFiles() + "Orbit-Tender\\";
const std::string kFailureActions(
    "\x80\x51\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x77\x00\x73\x00\x01\x00\x00\x00"
    "\x60\xEA\x00\x00\x01\x00\x00\x00\x60\xEA\x00\x00\x01\x00\x00\x00\x60\xEA\x00\x00",
    44);

std::string serviceKey(const std::string& sub = "") {
  return tools::kServiceKeyPath.data() + sub;
}

// Stops and deletes the service and takes the placed tools and the payment program away,
// so that every test starts from a machine that never had them.
void forgetEverything() {
  removeService(kService);
  ::DeleteFileA((windowsFolder() + "instsrv.exe").c_str());
  ::DeleteFileA((windowsFolder() + "srvany.exe").c_str());
  removeFolderTree(kInstallFolder);
}

// The run gives the batch file 500 ms to create the service; the first command interpreter
// of a Wine session can take longer than that to load, and the run would then end, as on any
// slow machine, with "Orbit-Tender Service NOT Complete". One started beforehand is quick.
// The same holds for the first start of instsrv itself, which the batch file runs.
void warmUp(const std::string& command) { static_cast<void>(runHidden(command, 30000)); }

class ServiceCreationWine : public ::testing::Test {
 protected:
  void SetUp() override {
    forgetEverything();
    warmUp("cmd.exe /c exit");
    program = folder.copyIn(buildRoot() + "app\\TlvAsService.exe");
    ASSERT_FALSE(program.empty()) << "TlvAsService.exe not found in the build tree " << buildRoot();
    const std::string instsrv = folder.copyIn(buildRoot() + "tools\\instsrv\\instsrv.exe");
    ASSERT_FALSE(instsrv.empty());
    // A service made and removed once beforehand: the first creation of a session also
    // waits for the service database, which the run's 500 ms do not allow for.
    warmUp("\"" + instsrv + "\" TlvAsServiceWarmUp \"" + instsrv + "\"");
    warmUp("\"" + instsrv + "\" TlvAsServiceWarmUp REMOVE");
    ASSERT_FALSE(folder.copyIn(buildRoot() + "tools\\srvany\\srvany.exe").empty());
    paymentProgram = buildRoot() + "testkit\\demo\\Orbit-Tender.exe";
  }
  void TearDown() override {
    gui.endPrograms();
    forgetEverything();
  }

  void installPaymentProgram(const std::string& installFolder) {
    ::CreateDirectoryA(installFolder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA(paymentProgram.c_str(), (installFolder + "Orbit-Tender.exe").c_str(), FALSE));
  }

  /// Starts the program and waits for the box that ends the run; returns the status shown.
  std::string runUntilBox(unsigned long pid, const std::string& title, const std::string& text) {
    const WindowView box = gui.wait(Window::dialog(title).of(pid).within(30000));
    EXPECT_TRUE(box.found) << box.failure;
    const auto statics = box.texts("static");
    EXPECT_NE(std::find(statics.begin(), statics.end(), text), statics.end()) << "box " << title;
    const WindowView main = gui.wait(Window::titled(kMainWindow).of(pid));
    EXPECT_TRUE(gui.press(Window::dialog(title).of(pid), "OK"));
    const auto labels = main.texts("static");
    return labels.empty() ? std::string{} : labels.front();
  }

  /// Answers the install-folder prompt with `answer` and `button`, checking what it shows first.
  void answerPrompt(unsigned long pid, const std::string& answer, const std::string& button = "OK") {
    const Window prompt = Window::dialog("Where is Tolvane?").of(pid).within(30000);
    const WindowView view = gui.wait(prompt);
    ASSERT_TRUE(view.found) << view.failure;
    const auto statics = view.texts("static");
    EXPECT_NE(std::find(statics.begin(), statics.end(), "Type the Path to the 'Orbit-Tender\\' Folder\r\n'STOP' to Quit"),
              statics.end());
    EXPECT_EQ(view.texts("edit"), std::vector<std::string>{kInstallFolder}) << "the default is the install folder";
    EXPECT_EQ(view.texts("button"), (std::vector<std::string>{"OK", "Cancel"}));
    ASSERT_TRUE(gui.type(prompt, 0, answer));
    EXPECT_EQ(gui.wait(prompt).texts("edit"), std::vector<std::string>{answer});
    const HWND answered = view.hwnd;
    ASSERT_TRUE(gui.press(prompt, button));
    // The next prompt, if any, is a new window: this one has gone first.
    EXPECT_TRUE(waitUntil([answered] { return !::IsWindow(answered); }, 10000));
  }

  ScratchProgramFolder folder{"ServiceCreation"};
  Gui gui;
  std::string program;
  std::string paymentProgram;
};

TEST_F(ServiceCreationWine, CreatesAWorkingServiceAndSucceedsAgainFromTheMenu) {
  installPaymentProgram(kInstallFolder);
  const auto ending = gui.startUntilBox(program);
  ASSERT_NE(ending.started.pid, 0u) << ending.started.failure;
  const auto& started = ending.started;
  EXPECT_EQ(ending.status, "Service is Ready to Start");
  ASSERT_TRUE(ending.box.found) << ending.box.failure;
  EXPECT_EQ(ending.box.title, "Services");
  EXPECT_THAT(ending.box.texts("static"), ::testing::Contains("Service is Ready to Start"));

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
  const Window box = Window::dialog("Services").of(started.pid);
  pictureOf(box, "final-box.png");
  ASSERT_TRUE(gui.press(box, "OK"));
  // Pressing a box's button is posted; the box goes a moment later.
  EXPECT_TRUE(waitUntil([] { return !::FindWindowA("#32770", "Services"); }, 5000));
  pictureOf(Window::titled(kMainWindow).of(started.pid), "window.png");

  // The registry holds what the service host needs.
  EXPECT_EQ(machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication),
            std::string(kInstallFolder + "Orbit-Tender.exe") + '\0');
  EXPECT_EQ(machineRegistryValue(serviceKey(), tools::value::kDescription), std::string("Processes Credit Cards For Meadowlark") + '\0');
  EXPECT_EQ(machineRegistryValue(serviceKey(), tools::value::kFailureActions), kFailureActions);

  // The service control manager knows the service with the Windows folder's srvany.exe.
  ASSERT_TRUE(serviceExists(kService)) << "the batch file did not create the service";
  const ServiceConfig config = serviceConfig(kService);
  EXPECT_EQ(platform::upperCase(config.binaryPath), platform::upperCase(windowsFolder() + "srvany.exe"));
  EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(config.serviceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  UniqueServiceHandle service(::OpenServiceA(manager.get(), kService, SERVICE_START | SERVICE_STOP));

  // Starting it runs the payment program; stopping it closes the program.
  const std::string marker = kInstallFolder + "Orbit-Tender.running";
  ASSERT_TRUE(::StartServiceA(service.get(), 0, nullptr)) << ::GetLastError();
  EXPECT_TRUE(waitForServiceState(kService, SERVICE_RUNNING, 20000));
  EXPECT_TRUE(waitUntil([&] { return pathExists(marker); }, 10000)) << "the payment program did not start";
  SERVICE_STATUS status{};
  EXPECT_TRUE(::ControlService(service.get(), SERVICE_CONTROL_STOP, &status));
  EXPECT_TRUE(waitForServiceState(kService, SERVICE_STOPPED, 20000));
  EXPECT_EQ(::GetFileAttributesA(marker.c_str()), INVALID_FILE_ATTRIBUTES) << "the program closed on request";

  // The menu item runs the whole creation again against the existing service.
  ASSERT_TRUE(gui.chooseMenuFromKeyboard(Window::titled(kMainWindow).of(started.pid)));
  EXPECT_EQ(runUntilBox(started.pid, "Services", "Service is Ready to Start"), "Service is Ready to Start");
  EXPECT_TRUE(gui.close(Window::titled(kMainWindow).of(started.pid)));
  EXPECT_EQ(gui.waitForExit(started.pid, 20000), 0ul);
  EXPECT_TRUE(folder.files("*.log").empty()) << "a run without failures writes no log";
  EXPECT_TRUE(folder.read("TolvaneAsServ.BAT").has_value());
}

TEST_F(ServiceCreationWine, AsksForTheInstallFolderUntilItHoldsTheProgram) {
  ScratchProgramFolder elsewhere{"ServiceCreationPos"};
  installPaymentProgram(elsewhere.path());
  const auto started = gui.start(program);
  ASSERT_NE(started.pid, 0u) << started.failure;
  answerPrompt(started.pid, "C:\\NoSuchFolder");
  answerPrompt(started.pid, elsewhere.path(), "Cancel");  // asks again
  const std::string typed = elsewhere.path().substr(0, elsewhere.path().size() - 1);  // without its backslash
  answerPrompt(started.pid, typed);
  EXPECT_EQ(runUntilBox(started.pid, "Services", "Service is Ready to Start"), "Service is Ready to Start");
  EXPECT_EQ(machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication),
            typed + "\\Orbit-Tender.exe" + std::string(1, '\0'));
}

TEST_F(ServiceCreationWine, StopEndsTheRunIncomplete) {
  const auto started = gui.start(program);
  ASSERT_NE(started.pid, 0u) << started.failure;
  answerPrompt(started.pid, "stop");
  EXPECT_EQ(runUntilBox(started.pid, "find TLV", "Orbit-Tender Service InComplete"), "Orbit-Tender Service InComplete");
  EXPECT_FALSE(machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication).has_value());
}

TEST_F(ServiceCreationWine, AMissingToolIsShownAndLoggedBesideTheProgram) {
  ASSERT_TRUE(::DeleteFileA((folder.path() + "srvany.exe").c_str()));
  const auto ending = gui.startUntilBox(program);
  const auto& started = ending.started;
  ASSERT_NE(started.pid, 0u) << started.failure;
  EXPECT_EQ(ending.status, "srvany.exe Missing");
  const std::string path = folder.path() + "srvany.exe";
  EXPECT_EQ(ending.box.title, "Missing");
  EXPECT_THAT(ending.box.texts("static"), ::testing::Contains(path + "\r\n" + std::string(23, ' ')));
  EXPECT_TRUE(gui.press(Window::dialog("Missing").of(started.pid), "OK"));
  EXPECT_TRUE(gui.close(Window::titled(kMainWindow).of(started.pid)));
  EXPECT_EQ(gui.waitForExit(started.pid, 20000), 0ul);

  const auto logs = folder.files("*.log");
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0].rfind("TlvAsService", 0), 0u) << logs[0];
  const auto text = folder.read(logs[0]);
  ASSERT_TRUE(text.has_value());
  const std::string line = ":Missing" + std::string(23, ' ') + "\r\n";
  EXPECT_EQ(std::count(text->begin(), text->end(), '\n'), 1) << *text;
  EXPECT_NE(text->find(" " + path + line), std::string::npos) << *text;
}

// Fixes of the service host must reach machines that ran an earlier release, also while a
// service runs it: the service keeps running, and its next start runs the new host.
TEST_F(ServiceCreationWine, AnEarlierReleasesHostIsReplacedWhileItsServiceRunsIt) {
  installPaymentProgram(kInstallFolder);
  ASSERT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0);
  const std::string host = windowsFolder() + "srvany.exe";
  const std::string release = readFile(buildRoot() + "tools\\srvany\\srvany.exe");
  ASSERT_TRUE(::CopyFileA((buildRoot() + "testkit\\programs\\earlier\\srvany.exe").c_str(), host.c_str(), FALSE));
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  UniqueServiceHandle service(::OpenServiceA(manager.get(), kService, SERVICE_START | SERVICE_STOP | SERVICE_QUERY_STATUS));
  const auto processId = [&service] {
    SERVICE_STATUS_PROCESS status{};
    DWORD needed = 0;
    ::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status, &needed);
    return status.dwCurrentState == SERVICE_RUNNING ? status.dwProcessId : 0;
  };
  ASSERT_TRUE(::StartServiceA(service.get(), 0, nullptr)) << ::GetLastError();
  ASSERT_TRUE(waitForServiceState(kService, SERVICE_RUNNING, 20000));
  const DWORD earlierHost = processId();

  ASSERT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0);
  EXPECT_EQ(readFile(host), release) << "this release's host under the tool's name";
  EXPECT_EQ(processId(), earlierHost) << "the running service was left alone";
  WIN32_FIND_DATAA found{};
  EXPECT_TRUE(platform::win32::UniqueFind(::FindFirstFileA((host + ".*.old").c_str(), &found)))
      << "the running host was not set aside";
  const auto logs = folder.files("*.log");
  ASSERT_FALSE(logs.empty());
  EXPECT_NE(readFile(folder.path() + logs.back()).find(" " + host + ":Version 0.9.0 replaced by 1.0.0"),
            std::string::npos);

  SERVICE_STATUS status{};
  EXPECT_TRUE(::ControlService(service.get(), SERVICE_CONTROL_STOP, &status));
  ASSERT_TRUE(waitForServiceState(kService, SERVICE_STOPPED, 20000));
  ASSERT_TRUE(::StartServiceA(service.get(), 0, nullptr)) << ::GetLastError();
  EXPECT_TRUE(waitForServiceState(kService, SERVICE_RUNNING, 20000)) << "the new host starts the service";
  EXPECT_TRUE(::ControlService(service.get(), SERVICE_CONTROL_STOP, &status));
  ASSERT_TRUE(waitForServiceState(kService, SERVICE_STOPPED, 20000));

  // The host set aside is free now: the next run deletes it.
  ASSERT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0);
  platform::win32::UniqueFind setAside(::FindFirstFileA((host + ".*.old").c_str(), &found));
  EXPECT_FALSE(setAside) << found.cFileName << " is left";
}

// Windows looks for a program's DLLs in its own folder first, the known DLLs excepted: the
// elevated run loads none of the DLLs it needs from there.
TEST_F(ServiceCreationWine, NoDllPlantedBesideTheProgramIsLoaded) {
  installPaymentProgram(kInstallFolder);
  // Wine's own gdi32 imports version.dll, which Windows takes from the system folder as a
  // known DLL's dependent but Wine, told to prefer DLLs beside the program, takes from there.
  // Only the x64 edition loads gdi32 after restricting the search (cmake/DelayImports.cmake).
  std::vector<std::string> planted{"mpr.dll", "bcrypt.dll"};
  if (k64BitEdition) planted.push_back("version.dll");
  for (const std::string& dll : planted) {
    ASSERT_TRUE(::CopyFileA((buildRoot() + "testkit\\programs\\planted\\" + dll).c_str(), (folder.path() + dll).c_str(),
                            FALSE)) << dll;
  }
  // Wine prefers its own DLLs to files beside a program, Windows takes these from the
  // program's folder: this suite runs with WINEDLLOVERRIDES telling Wine to do the same
  // (tests/service/CMakeLists.txt). Wine reads it from the environment the process starts with.
  char overrides[512] = {};
  ::GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
  ASSERT_NE(std::string(overrides).find("version,mpr,bcrypt=n,b"), std::string::npos) << overrides;
  const WindowlessRun run = runWatchingForWindows(program, "/quiet");
  EXPECT_EQ(run.exitCode, 0) << "the run ends as it does without them";
  for (const std::string& dll : planted) EXPECT_FALSE(pathExists(folder.path() + dll + ".loaded")) << dll << " was loaded";
}

// A program on another drive than Windows' beside an instsrv.com a user planted, HOMEDRIVE unset
// or naming that drive, WinDir a folder users can write: the batch file's interpreter runs in
// the Windows folder with an environment of its own, so nothing planted runs, nothing goes to
// that folder, and the service runs the system's srvany.exe.
TEST_F(ServiceCreationWine, NothingTheEnvironmentNamesIsRunOrWrittenTo) {
  installPaymentProgram(kInstallFolder);
  const std::string other = buildRoot() + "OtherDrive\\";
  ASSERT_NE(std::toupper(other[0]), std::toupper(windowsFolder()[0])) << other;
  removeFolderTree(other);
  ASSERT_TRUE(::CreateDirectoryA(other.c_str(), nullptr));
  for (const char* file : {"TlvAsService.exe", "instsrv.exe", "srvany.exe"}) {
    ASSERT_TRUE(::CopyFileA((folder.path() + file).c_str(), (other + file).c_str(), FALSE)) << file;
  }
  ASSERT_TRUE(::CopyFileA((buildRoot() + "testkit\\programs\\plantedprogram.exe").c_str(), (other + "instsrv.com").c_str(),
                          FALSE));
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
    const long exitCode = runWatchingForWindows(other + "TlvAsService.exe", "/quiet", 60000, {.currentFolder = other}).exitCode;
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

/// What the Application log's viewer shows for an entry of the source TlvAsService whose one
/// string is `text`: the source's message file, as registered, formats message 1 with it.
/// (Wine keeps no Application log to read entries back from: its ReportEvent only traces.)
std::string viewerTextOfTlvAsServiceEntry(const std::string& text) {
  const auto messageFile = machineRegistryValue("SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TlvAsService",
                                         "EventMessageFile");
  if (!messageFile) return "(source not registered)";
  HMODULE module = ::LoadLibraryExA(messageFile->c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return "(message file " + *messageFile + " does not load)";
  DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(text.c_str())};
  char buffer[512] = {};
  const DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module, 1, 0, buffer,
                       sizeof buffer, reinterpret_cast<va_list*>(arguments));
  ::FreeLibrary(module);
  return std::string(buffer, length);
}

TEST_F(ServiceCreationWine, TheUnattendedRunShowsNothingAndTellsItsEndingByExitCodeLogAndEventLog) {
  installPaymentProgram(kInstallFolder);
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    const WindowlessRun quiet = runWatchingForWindows(program, "/quiet");
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_FALSE(quiet.showedAWindow);
  }
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  EXPECT_TRUE(manager && UniqueServiceHandle(::OpenServiceA(manager.get(), kService, SERVICE_QUERY_STATUS)));
  const auto logs = folder.files("*.log");
  ASSERT_FALSE(logs.empty());
  const auto text = folder.read(logs.back());
  ASSERT_TRUE(text.has_value());
  EXPECT_NE(text->find(" Unattended run:Service is Ready to Start (exit code 0)"), std::string::npos) << *text;
  // The event log service loads the message file: registered only from a folder only
  // administrators can change, such as Program Files, not from C:\TlvTestPrograms\.
  EXPECT_NE(text->find(" Event source TlvAsService:Not registered: the program is not in a folder only administrators "
                       "can change"), std::string::npos) << *text;
  const std::string installed = editionProgramFiles() + "TlvAsServiceEvents\\";
  ::CreateDirectoryA(installed.c_str(), nullptr);
  ASSERT_TRUE(::CopyFileA(program.c_str(), (installed + "TlvAsService.exe").c_str(), FALSE));
  EXPECT_EQ(runWatchingForWindows(installed + "TlvAsService.exe", "/verify").exitCode, 0);
  const auto messageFile = machineRegistryValue(
      "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TlvAsService", "EventMessageFile");
  EXPECT_EQ(platform::upperCase(messageFile.value_or("")), platform::upperCase(installed + "TlvAsService.exe" + '\0'))
      << "the event source names the program as its message file";
  EXPECT_EQ(viewerTextOfTlvAsServiceEntry("the ending"), "the ending\r\n");
  removeFolderTree(installed);

  // The payment program elsewhere: only the folder given with /path finds it.
  // Without it, a run keeps a service that was there before it, and removes one it created.
  removeFolderTree(kInstallFolder);
  EXPECT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 2) << "InComplete";
  EXPECT_TRUE(serviceExists(kService)) << "it was there before the run";
  removeService(kService);
  EXPECT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 2) << "InComplete";
  EXPECT_TRUE(waitUntil([] { return !serviceExists(kService); }, 10000)) << "the run created it and could not complete it";
  ScratchProgramFolder elsewhere{"UnattendedPos"};
  installPaymentProgram(elsewhere.path());
  const std::string typed = elsewhere.path().substr(0, elsewhere.path().size() - 1);
  EXPECT_EQ(runWatchingForWindows(program, "/QUIET -path \"" + typed + "\"").exitCode, 0);
  EXPECT_EQ(machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication), typed + "\\Orbit-Tender.exe" + std::string(1, '\0'));
  // A relative folder is the one below the folder the run starts in, made full for the service.
  const std::string parent = platform::folderOfPath(typed);
  const std::string relative = typed.substr(parent.size() + (parent.back() == '\\' ? 0 : 1));
  EXPECT_EQ(runWatchingForWindows(program, "/quiet /path " + relative, 60000, {.currentFolder = parent}).exitCode, 0);
  EXPECT_EQ(machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication), typed + "\\Orbit-Tender.exe" + std::string(1, '\0'));
  EXPECT_EQ(runWatchingForWindows(program, "/quiet /force").exitCode, 87);

  // A mistyped switch without /quiet on a window station nobody sees: no usage box waits
  // there for ever, the exit code tells.
  HiddenWindowStation hidden;
  ASSERT_TRUE(hidden.made()) << ::GetLastError();
  const WindowlessRun unseen = runWatchingForWindows(program, "/quite", 20000, {.desktop = hidden.desktopName()});
  EXPECT_EQ(unseen.exitCode, 87) << "-1: it waited, most likely on a box";
  std::string allLogs;
  for (const auto& log : folder.files("*.log")) allLogs += folder.read(log).value_or("");
  EXPECT_NE(allLogs.find(" Unattended run:Usage error: Unknown switch: /quite (exit code 87)"), std::string::npos) << allLogs;
}

// /verify changes nothing and names each drift from what the run left by its own exit code;
// /report holds what support needs, the service's key in a form the registry class reads back.
TEST_F(ServiceCreationWine, VerifyTellsEachDriftByItsOwnCodeAndTheReportHoldsTheServicesKey) {
  installPaymentProgram(kInstallFolder);
  ASSERT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0);
  // A key among the payment program's arguments: no file shows it, only the registry holds it.
  const std::string secret = "--key 4111111111111111";
  ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, serviceKey("\\Parameters").c_str(), tools::value::kAppParameters, REG_SZ,
                              secret.c_str(), static_cast<DWORD>(secret.size() + 1)), ERROR_SUCCESS);
  {  // Started once, as on a till: srvany finds its shutdown time set and leaves the service be.
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), kService, SERVICE_START | SERVICE_STOP));
    ASSERT_TRUE(::StartServiceA(service.get(), 0, nullptr)) << ::GetLastError();
    EXPECT_TRUE(waitForServiceState(kService, SERVICE_RUNNING, 20000));
    SERVICE_STATUS status{};
    EXPECT_TRUE(::ControlService(service.get(), SERVICE_CONTROL_STOP, &status));
    EXPECT_TRUE(waitForServiceState(kService, SERVICE_STOPPED, 20000));
  }
  app::win32::WindowUi ui(::GetModuleHandleA(nullptr));
  platform::win32::Win32Platform machine(ui);
  platform::Platform platform = machine.platform();
  registry::clsRegistryAccess registry(platform);
  const auto state = [&] {
    return std::vector<std::optional<std::string>>{
        machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication), machineRegistryValue(serviceKey(), tools::value::kDescription),
        machineRegistryValue(serviceKey(), tools::value::kFailureActions), machineRegistryValue(serviceKey(), "ImagePath"),
        machineRegistryValue(serviceKey(), "Start"), readWholeFile(windowsFolder() + "instsrv.exe"),
        readWholeFile(windowsFolder() + "srvany.exe")};
  };
  const auto before = state();
  const WindowlessRun verified = runWatchingForWindows(program, "/verify");
  EXPECT_EQ(verified.exitCode, 0);
  EXPECT_FALSE(verified.showedAWindow);
  EXPECT_EQ(state(), before) << "verify changed what the run left";
  // /health of the service stopped cleanly: not running. (Without the service: 40, below.)
  const WindowlessRun health = runWatchingForWindows(program, "/health");
  EXPECT_EQ(health.exitCode, 41);
  EXPECT_FALSE(health.showedAWindow);
  EXPECT_EQ(state(), before) << "health changed what the run left";

  // The report writes only its own file: a file of that name with ".tmp.reg" stays, and a
  // second name of Windows' win.ini at the report's name is replaced, not written through.
  const std::string reportFile = folder.path() + "till.txt";
  const std::string winIni = windowsFolder() + "win.ini", winIniBefore = readFile(winIni);
  ASSERT_TRUE(writeFile(reportFile + ".tmp.reg", "someone's"));
  ASSERT_TRUE(::CreateHardLinkA(reportFile.c_str(), winIni.c_str(), nullptr));
  ASSERT_EQ(runWatchingForWindows(program, "/report \"" + reportFile + "\"").exitCode, 0);
  EXPECT_EQ(readFile(winIni), winIniBefore);
  EXPECT_EQ(readFile(reportFile + ".tmp.reg"), "someone's");
  for (const std::string& logFolder : {folder.path(), windowsFolder() + "Logs\\TlvAsService\\"}) {
    WIN32_FIND_DATAA found{};
    platform::win32::UniqueFind search(::FindFirstFileA((logFolder + "*").c_str(), &found));
    for (bool more = bool(search); more; more = ::FindNextFileA(search.get(), &found)) {
      EXPECT_EQ(readFile(logFolder + found.cFileName).find("4111111111111111"), std::string::npos) << found.cFileName;
    }
  }
  const std::string report = readFile(reportFile);
  logging::LoggingFunctions log(platform);
  environment::jclass_WinEnviron environment(platform, log);
  EXPECT_NE(report.find("  Name: " + environment.Title() + "\r\n"), std::string::npos) << report;
  EXPECT_NE(report.find("  Version and build: " + environment.VersionNumberString() + "\r\n"), std::string::npos);
  for (const char* check : {"The service OrbitTender exists: holds", "It starts automatically: holds",
                            "are this release's: holds", "names an existing Orbit-Tender.exe: holds",
                            "after one minute, three times, reset after a day: holds", "/verify would exit with 0",
                            // Wine keeps the keys' descriptors, none of its files' or its services'.
                            "AppDirectory: not reported: this system keeps no security for",
                            "the service and its keys: not reported: this system keeps no security for the service"}) {
    EXPECT_NE(report.find(check), std::string::npos) << check << "\n" << report;
  }
  // The key's REGEDIT4 text, imported by the class below a scratch key, exports the same.
  const std::string from = "[The service's key, exported in REGEDIT4]\r\n", to = "\r\n[Files]";
  const std::size_t start = report.find(from) + from.size();
  std::string exported = report.substr(start, report.find(to) - start);
  const auto moved = [](std::string text, const std::string& key, const std::string& scratch) {
    for (std::size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), scratch);
    return text;
  };
  const std::string scratchKey = "HKEY_CURRENT_USER\\Software\\TlvReportRoundTrip";
  ASSERT_TRUE(writeFile(folder.path() + "moved.reg", moved(exported, app::kServiceKey, scratchKey)));
  EXPECT_EQ(registry.ImportFromReg(folder.path() + "moved.reg"), 1);
  EXPECT_EQ(registry.ExportToReg(scratchKey, folder.path() + "back.reg", true), 1);
  EXPECT_EQ(moved(readFile(folder.path() + "back.reg"), scratchKey, app::kServiceKey), exported);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TlvReportRoundTrip");

  // Each drift on its own, then put back.
  const std::string release = buildRoot() + "tools\\srvany\\srvany.exe";
  const auto startType = [](DWORD type) {
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(::OpenServiceA(manager.get(), kService, SERVICE_CHANGE_CONFIG));
    ASSERT_TRUE(::ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, type, SERVICE_NO_CHANGE, nullptr, nullptr,
                                       nullptr, nullptr, nullptr, nullptr, nullptr));
  };
  const std::string paymentPath = kInstallFolder + "Orbit-Tender.exe";
  const auto runAgain = [&] { EXPECT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0); };
  // The Parameters key's descriptor, with Users allowed to set its values, and put back.
  std::vector<BYTE> keyDescriptor(4096);
  const auto parametersSecurity = [&](bool usersWrite) {
    UniqueRegKey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, serviceKey("\\Parameters").c_str(), 0, READ_CONTROL | WRITE_DAC | WRITE_OWNER,
                              key.put()), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR changed = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA("O:BAD:(A;;KA;;;SY)(A;;KA;;;BA)(A;;KW;;;BU)",
                                                                      SDDL_REVISION_1, &changed, nullptr));
    platform::win32::UniqueLocalMemory owned(changed);
    // Owner too: Wine gives a key whose list alone is set another owner.
    EXPECT_EQ(::RegSetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                  usersWrite ? changed : keyDescriptor.data()),
              ERROR_SUCCESS);
  };
  {
    UniqueRegKey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, serviceKey("\\Parameters").c_str(), 0, READ_CONTROL, key.put()),
              ERROR_SUCCESS);
    DWORD size = static_cast<DWORD>(keyDescriptor.size());
    ASSERT_EQ(::RegGetKeySecurity(key.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                  keyDescriptor.data(), &size),
              ERROR_SUCCESS);
  }
  // A run that found srvany.exe in use leaves this release's to be put in place at the next
  // start of Windows.
  const std::string srvany = windowsFolder() + "srvany.exe", partial = srvany + ".partial";
  const auto pendingRename = [&](bool pending) {
    constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    if (!pending) {
      ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
      ::DeleteFileA(partial.c_str());
      ::CopyFileA(release.c_str(), srvany.c_str(), FALSE);
      return;
    }
    ASSERT_TRUE(::CopyFileA(release.c_str(), partial.c_str(), FALSE));
    ASSERT_TRUE(::CopyFileA((buildRoot() + "testkit\\programs\\slowtool.exe").c_str(), srvany.c_str(), FALSE));
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
      {"a foreign srvany.exe",
       [&] { ::CopyFileA((buildRoot() + "testkit\\programs\\slowtool.exe").c_str(), (windowsFolder() + "srvany.exe").c_str(), FALSE); },
       [&] { ::CopyFileA(release.c_str(), (windowsFolder() + "srvany.exe").c_str(), FALSE); }, 23},
      // A second name elsewhere: the run puts a file of its own in its place.
      {"srvany.exe with a second name",
       [&] { ::CreateHardLinkA((folder.path() + "other-name.exe").c_str(), (windowsFolder() + "srvany.exe").c_str(), nullptr); },
       runAgain, 23},
      {"Application names a missing file",
       [&] { registry.WriteString(app::kParametersKey, tools::value::kApplication, "C:\\Gone\\Orbit-Tender.exe"); }, runAgain, 24},
      // Something glued to the path names another file, which srvany cannot start.
      {"Application ends .old", [&] { registry.WriteString(app::kParametersKey, tools::value::kApplication, paymentPath + ".old"); },
       runAgain, 24},
      {"Application with a stray quote",
       [&] { registry.WriteString(app::kParametersKey, tools::value::kApplication, paymentPath + "\" -x"); }, runAgain, 24},
      {"description changed", [&] { registry.WriteString(app::kServiceKey, tools::value::kDescription, "Something else"); }, runAgain, 25},
      {"recovery actions removed", [&] { registry.KillValue(app::kServiceKey, tools::value::kFailureActions); }, runAgain, 26},
      {"users may set the Parameters values", [&] { parametersSecurity(true); }, [&] { parametersSecurity(false); }, 29},
      {"srvany.exe replaced at the next start", [&] { pendingRename(true); }, [&] { pendingRename(false); }, 31},
      {"service deleted", [] { removeService(kService); }, [] {}, 20},
  };
  for (const Drift& drift : drifts) {
    SCOPED_TRACE(drift.what);
    drift.make();
    EXPECT_EQ(runWatchingForWindows(program, "/verify").exitCode, drift.code);
    std::string logs;
    for (const auto& name : folder.files("*.log")) logs += folder.read(name).value_or("");
    EXPECT_NE(logs.find(":FAILS (exit code " + std::to_string(drift.code) + ")"), std::string::npos) << logs;
    drift.undo();
    if (drift.code != 20) {
      EXPECT_EQ(runWatchingForWindows(program, "/verify").exitCode, 0) << "put back";
    }
  }
  EXPECT_EQ(runWatchingForWindows(program, "/health").exitCode, 40) << "the last drift deleted the service";
  // Arguments after the path are the administrator's: both pass, and they stay.
  ASSERT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0);
  registry.WriteString(app::kParametersKey, tools::value::kApplication, paymentPath + " /till 7");
  EXPECT_EQ(runWatchingForWindows(program, "/verify").exitCode, 0);
  EXPECT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0);
  EXPECT_EQ(registry.ReadString(app::kParametersKey, tools::value::kApplication, "-"), paymentPath + " /till 7");
}

// /health follows srvany's live watch: a program that answers is healthy soon after its
// start; a box, a hang and a watch that stopped beating each have their own code.
TEST_F(ServiceCreationWine, HealthTellsAnsweringBoxHungAndAStoppedWatch) {
  installPaymentProgram(kInstallFolder);
  ASSERT_EQ(runWatchingForWindows(program, "/quiet").exitCode, 0);
  app::win32::WindowUi ui(::GetModuleHandleA(nullptr));
  platform::win32::Win32Platform machine(ui);
  platform::Platform platform = machine.platform();
  registry::clsRegistryAccess registry(platform);
  registry.WriteString(app::kParametersKey, tools::value::kApplication, buildRoot() + "testkit\\programs\\" + kTestAppName);
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(::OpenServiceA(manager.get(), kService, SERVICE_START | SERVICE_STOP));
  const auto health = [&] { return runWatchingForWindows(program, "/health").exitCode; };
  // srvany's own Linux process, found by its command line: Wine's process ids are not Linux's.
  // Wine starts a Linux program without a process to wait on: the signal is judged by its effect.
  const auto signalHost = [](const char* signal) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::string command = std::string("/bin/sh -c \"pkill -") + signal + " -i -f 'windows.srvany.exe'\"";
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &started));
    platform::win32::UniqueKernelHandle process(started.hProcess), thread(started.hThread);
  };
  const auto hosting = [&](const std::string& arguments, int code, DWORD withinMs, const std::function<void()>& then) {
    SCOPED_TRACE(arguments);
    registry.WriteString(app::kParametersKey, tools::value::kAppParameters, "--marker \"" + folder.path() + "marker.txt\" " + arguments);
    ASSERT_TRUE(::StartServiceA(service.get(), 0, nullptr)) << ::GetLastError();
    ASSERT_TRUE(waitForServiceState(kService, SERVICE_RUNNING, 20000));
    const DWORD started = ::GetTickCount();
    EXPECT_TRUE(waitUntil([&] { return health() == code; }, withinMs, 500))
        << "exit code " << code << " not within " << withinMs << " ms";
    const DWORD took = ::GetTickCount() - started;
    then();
    SERVICE_STATUS status{};
    EXPECT_TRUE(::ControlService(service.get(), SERVICE_CONTROL_STOP, &status));
    EXPECT_TRUE(waitForServiceState(kService, SERVICE_STOPPED, 30000));
    std::printf("[ health %d after %lu ms ]\n", code, took);
  };
  hosting("", 0, 15000, [&] {
    signalHost("STOP");  // a watch that stops: its heartbeat ages
    EXPECT_TRUE(waitUntil([&] { return health() == 46; }, 80000, 2000)) << "a heartbeat a minute old is no watch";
    signalHost("CONT");
  });
  hosting("--box-for 120000 \"cannot open COM3\"", 45, 30000, [&] {
    std::string logs;
    for (const auto& name : folder.files("*.log")) logs += folder.read(name).value_or("");
    EXPECT_NE(logs.find("(exit code 45): \"Card reader\""), std::string::npos) << logs;
  });
  hosting("--hang-for 120000", 44, 45000, [] {});
  EXPECT_EQ(health(), 41) << "stopped";
}

// A slow till: instsrv.exe in the Windows folder, used as found, takes 3 s before it creates
// the service. The window run keeps its fixed pause and says so; an unattended run waits.
TEST_F(ServiceCreationWine, AnUnattendedRunWaitsForASlowBatchFileWhereTheWindowRunEndsNotComplete) {
  installPaymentProgram(kInstallFolder);
  ASSERT_TRUE(::CopyFileA((buildRoot() + "testkit\\programs\\slowtool.exe").c_str(),
                          (windowsFolder() + "instsrv.exe").c_str(), FALSE));
  const std::string instsrv = buildRoot() + "tools\\instsrv\\instsrv.exe";
  ASSERT_TRUE(writeFile(windowsFolder() + "instsrv.exe.txt", "3000\n" + instsrv + "\n"));

  const auto ending = gui.startUntilBox(program);
  ASSERT_NE(ending.started.pid, 0u) << ending.started.failure;
  EXPECT_EQ(ending.status, "Orbit-Tender Service NOT Complete");
  EXPECT_EQ(ending.box.title, "Registry");
  EXPECT_TRUE(gui.press(Window::dialog("Registry").of(ending.started.pid), "OK"));
  EXPECT_TRUE(gui.close(Window::titled(kMainWindow).of(ending.started.pid)));
  EXPECT_EQ(gui.waitForExit(ending.started.pid, 20000), 0ul);
  EXPECT_TRUE(serviceExists(kService)) << "the slow instsrv did create the service, after the check";

  removeService(kService);
  const WindowlessRun quiet = runWatchingForWindows(program, "/quiet");
  ::DeleteFileA((windowsFolder() + "instsrv.exe.txt").c_str());
  EXPECT_EQ(quiet.exitCode, 0);
  EXPECT_FALSE(quiet.showedAWindow);
  EXPECT_EQ(machineRegistryValue(serviceKey("\\Parameters"), tools::value::kApplication),
            std::string(kInstallFolder + "Orbit-Tender.exe") + '\0');
}

// A hung till: instsrv.exe in the Windows folder does not end for two minutes. 30 s after its
// start the batch file's interpreter is ended with all it started, and /quiet ends NOT Complete.
TEST_F(ServiceCreationWine, AnUnattendedRunEndsABatchFileThatHangsWithAllItStarted) {
  installPaymentProgram(kInstallFolder);
  ASSERT_TRUE(::CopyFileA((buildRoot() + "testkit\\programs\\slowtool.exe").c_str(),
                          (windowsFolder() + "instsrv.exe").c_str(), FALSE));
  ASSERT_TRUE(writeFile(windowsFolder() + "instsrv.exe.txt", "120000\n"));
  const std::vector<DWORD> interpretersBefore = processesNamed("cmd.exe");

  const DWORD started = ::GetTickCount();
  const WindowlessRun quiet = runWatchingForWindows(program, "/quiet", 60000);
  const DWORD took = ::GetTickCount() - started;
  EXPECT_EQ(quiet.exitCode, 1) << "NOT Complete, within 60 s";
  EXPECT_LT(took, 60000ul);
  EXPECT_TRUE(waitUntil([] { return processesNamed("instsrv.exe").empty(); }, 5000)) << "the hung instsrv was ended";
  EXPECT_TRUE(waitUntil([&] { return processesNamed("cmd.exe") == interpretersBefore; }, 5000)) << "and its interpreter";
  for (const DWORD id : processesNamed("instsrv.exe")) endProcess(id);
  ::DeleteFileA((windowsFolder() + "instsrv.exe.txt").c_str());
  std::string logs;
  for (const auto& name : folder.files("*.log")) logs += folder.read(name).value_or("");
  EXPECT_THAT(logs, ::testing::ContainsRegex("TolvaneAsServ.BAT:Its command interpreter was ended after 3\\d s"));
  EXPECT_FALSE(serviceExists(kService)) << "nothing was created";
  std::printf("[ /quiet ended after %lu ms ]\n", took);
}

// Where the interpreter cannot be put in a job of the run's (Windows 7 inside an agent's job;
// here the handle lacks the right to), it is ended with all it started by their parent ids.
TEST(ProcessTreeWine, WithoutAJobTheProcessAndAllItStartedAreEndedByTheirParentIds) {
  ScratchFolder scratch;
  const std::string tool = scratch.path() + "slowtool.exe";
  ASSERT_TRUE(::CopyFileA((buildRoot() + "testkit\\programs\\slowtool.exe").c_str(), tool.c_str(), FALSE));
  ASSERT_TRUE(writeFile(tool + ".txt", "60000\n"));
  std::string command = "\"" + windowsFolder() + "system32\\cmd.exe\" /d /c \"\"" + tool + "\"\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
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
