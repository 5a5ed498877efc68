// Win32 only: what the service tool tests share: running a tool, a scratch service and folder
// that clean up after themselves, the process list, marker files.
#include "tests/tools/ToolTestKit.h"

#include <gtest/gtest.h>

#include "tools/common/ServiceKeys.h"
#include "platform/win32/UniqueHandle.h"

#include <tlhelp32.h>  // after windows.h, which it needs

namespace tlv::testing {
namespace {

using platform::win32::UniqueFile;
using platform::win32::UniqueFind;
using platform::win32::UniqueKernelHandle;
using platform::win32::UniqueRegKey;
using platform::win32::UniqueServiceHandle;

constexpr DWORD kToolTimeoutMs = 60000;
constexpr DWORD kCleanupStopMs = 15000;

void removeTree(const std::string& folder) {
  WIN32_FIND_DATAA found{};
  UniqueFind search(::FindFirstFileA((folder + "*").c_str(), &found));
  for (bool more = bool(search); more; more = ::FindNextFileA(search.get(), &found)) {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      removeTree(folder + name + "\\");
    } else {
      ::SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileA((folder + name).c_str());
    }
  }
  search.reset();
  ::RemoveDirectoryA(folder.c_str());
}

void endProcess(DWORD id) {
  UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
  if (!process) return;
  ::TerminateProcess(process.get(), 1);
  ::WaitForSingleObject(process.get(), 5000);
}

}  // namespace

std::string testProgramFolder() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string uniqueName(const std::string& prefix) {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = prefix + "_" + (test ? test->name() : "none") + "_" + std::to_string(::GetCurrentProcessId()) +
                     "_" + std::to_string(now.QuadPart);
  for (char& c : name) {
    if (c == '/') c = '_';  // parameterised test names
  }
  return name;
}

ToolRun runTool(const std::string& program, const std::string& arguments) {
  ToolRun run;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  UniqueKernelHandle readEnd, writeEnd;
  if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) {
    ADD_FAILURE() << "CreatePipe failed: " << ::GetLastError();
    return run;
  }
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + program + "\" " + arguments;
  if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info)) {
    ADD_FAILURE() << "cannot run " << program << ": error " << ::GetLastError();
    return run;
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  writeEnd.reset();  // the pipe ends when the tool's copy of it closes
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(readEnd.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) run.output.append(buffer, read);
  if (::WaitForSingleObject(process.get(), kToolTimeoutMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << program << " did not end";
    ::TerminateProcess(process.get(), 1);
  }
  ::GetExitCodeProcess(process.get(), &run.exitCode);
  return run;
}

std::vector<ProcessEntry> processList() {
  std::vector<ProcessEntry> entries;
  platform::win32::UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    ADD_FAILURE() << "CreateToolhelp32Snapshot failed: " << ::GetLastError();
    return entries;
  }
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
    entries.push_back({entry.th32ProcessID, entry.szExeFile});
  }
  return entries;
}

bool processRunning(DWORD id) {
  for (const auto& entry : processList()) {
    if (entry.id == id) return true;
  }
  return false;
}

std::vector<DWORD> processesNamed(const std::string& exeName) {
  std::vector<DWORD> ids;
  for (const auto& entry : processList()) {
    if (::lstrcmpiA(entry.name.c_str(), exeName.c_str()) == 0) ids.push_back(entry.id);
  }
  return ids;
}

std::optional<std::string> machineRegistryString(const std::string& keyPath, const char* valueName) {
  char buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, keyPath.c_str(), valueName,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer);
}

std::string readFile(const std::string& path) {
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  std::string text;
  if (!file) return text;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

std::vector<DWORD> numbersAfter(const std::string& text, const std::string& key) {
  std::vector<DWORD> numbers;
  const std::string needle = key + "=";
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    numbers.push_back(std::strtoul(text.c_str() + at + needle.size(), nullptr, 10));
  }
  return numbers;
}

ScratchFolder::ScratchFolder(const std::string& parent) {
  std::string base = parent;
  if (base.empty()) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    base = temp;
  }
  if (base.back() != '\\') base += '\\';
  path_ = base + uniqueName("tlv tools") + "\\";
  if (!::CreateDirectoryA(path_.c_str(), nullptr)) ADD_FAILURE() << "cannot create " << path_;
}

ScratchFolder::~ScratchFolder() { removeTree(path_); }

ScratchService::ScratchService()
    : name_(uniqueName("TlvToolsTest")), manager_(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS)) {
  if (!manager_) ADD_FAILURE() << "OpenSCManager failed: " << ::GetLastError();
}

ScratchService::~ScratchService() {
  if (auto service = open(SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE)) {
    const SERVICE_STATUS_PROCESS current = status();
    if (current.dwCurrentState != SERVICE_STOPPED) {
      SERVICE_STATUS ignored{};
      ::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored);
      // A host that was killed never reports STOPPED: stop waiting once it is gone.
      const DWORD host = current.dwProcessId;
      waitUntil([&] { return status().dwCurrentState == SERVICE_STOPPED || (host != 0 && !processRunning(host)); },
                kCleanupStopMs);
    }
    ::DeleteService(service.get());
  }
  // Whatever the test left: srvany and every test program (their name is ours alone).
  if (hostProcessId_ != 0) endProcess(hostProcessId_);
  for (DWORD id : processesNamed(kTestAppName)) endProcess(id);
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(name_).c_str());
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, tools::eventSourceKeyPath(name_).c_str());
}

UniqueServiceHandle ScratchService::open(DWORD access) const {
  return UniqueServiceHandle(manager_ ? ::OpenServiceA(manager_.get(), name_.c_str(), access) : nullptr);
}

bool ScratchService::installWithSrvany() {
  const ToolRun run =
      runTool(testProgramFolder() + "instsrv.exe", name_ + " \"" + testProgramFolder() + "srvany.exe\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  return run.exitCode == 0;
}

void ScratchService::setParameter(const std::string& valueName, const std::string& text) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(name_).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
            ERROR_SUCCESS);
}

void ScratchService::setParameterDword(const std::string& valueName, DWORD value) {
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, tools::parametersKeyPath(name_).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(
      ::RegSetValueExA(key.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
      ERROR_SUCCESS);
}

DWORD ScratchService::start() {
  auto service = open(SERVICE_START);
  if (!service) return ::GetLastError();
  return ::StartServiceA(service.get(), 0, nullptr) ? ERROR_SUCCESS : ::GetLastError();
}

DWORD ScratchService::stop() {
  auto service = open(SERVICE_STOP);
  if (!service) return ::GetLastError();
  SERVICE_STATUS ignored{};
  return ::ControlService(service.get(), SERVICE_CONTROL_STOP, &ignored) ? ERROR_SUCCESS : ::GetLastError();
}

SERVICE_STATUS_PROCESS ScratchService::status() const {
  SERVICE_STATUS_PROCESS status{};
  auto service = open(SERVICE_QUERY_STATUS);
  DWORD needed = 0;
  if (!service || !::QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                                          sizeof status, &needed)) {
    status.dwCurrentState = 0;  // no such state: the service is gone or cannot be asked
  }
  return status;
}

bool ScratchService::waitForState(DWORD state, DWORD timeoutMs) const {
  return waitUntil([&] { return status().dwCurrentState == state; }, timeoutMs);
}

void ScratchService::rememberHostProcess() {
  const DWORD id = status().dwProcessId;
  if (id != 0) hostProcessId_ = id;
}

}  // namespace tlv::testing
