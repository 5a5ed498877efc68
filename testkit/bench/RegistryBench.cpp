// Win32 only: times the .reg export and import of clsRegistryAccess against the system's own
// reg.exe on one generated subtree of 2,000 keys with 5 values each, and prints the ratios.
// A benchmark program, run by scripts/bench-registry; not a test.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "platform/win32/UniqueHandle.h"
#include "app/win32/WindowUi.h"
#include "platform/win32/Win32Platform.h"
#include "registry/clsRegistryAccess.h"

namespace {

using tlv::platform::win32::UniqueKernelHandle;
using tlv::platform::win32::UniqueRegKey;

constexpr char kPath[] = "HKEY_CURRENT_USER\\Software\\TlvAsServiceBench";
constexpr char kSubKey[] = "Software\\TlvAsServiceBench";
constexpr int kGroups = 50;
constexpr int kKeysPerGroup = 40;  // the group key and 39 below it: 2,000 keys in all
constexpr int kValuesPerKey = 5;

bool setValue(HKEY key, const char* name, DWORD type, const std::string& bytes) {
  return ::RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool fillKey(const std::string& subKey, int number) {
  UniqueRegKey key;
  if (::RegCreateKeyA(HKEY_CURRENT_USER, subKey.c_str(), key.put()) != ERROR_SUCCESS) return false;
  const std::string text = "Key number " + std::to_string(number);
  std::string bytes(16, '\0');
  for (int i = 0; i < 16; ++i) bytes[i] = static_cast<char>(number * 7 + i);
  const DWORD count = static_cast<DWORD>(number);
  return setValue(key.get(), "", REG_SZ, text + '\0') && setValue(key.get(), "Name", REG_SZ, "Name " + text + '\0') &&
         setValue(key.get(), "Path", REG_SZ, "C:\\Program Files\\Orbit-Tender\\" + text + '\0') &&
         setValue(key.get(), "Data", REG_BINARY, bytes) &&
         setValue(key.get(), "Count", REG_DWORD, std::string(reinterpret_cast<const char*>(&count), 4));
}

bool generate() {
  int number = 0;
  for (int g = 0; g < kGroups; ++g) {
    const std::string group = std::string(kSubKey) + "\\Group" + std::to_string(g);
    if (!fillKey(group, number++)) return false;
    for (int k = 1; k < kKeysPerGroup; ++k) {
      if (!fillKey(group + "\\Key" + std::to_string(k), number++)) return false;
    }
  }
  return true;
}

std::string readAll(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The subtree as clsRegistryAccess exports it (untimed); empty when the export fails.
std::string exported(tlv::registry::clsRegistryAccess& reg, const std::string& file) {
  ::DeleteFileA(file.c_str());
  return reg.ExportToReg(kPath, file, true) == 1 ? readAll(file) : std::string();
}

void removeSubtree() { ::RegDeleteTreeA(HKEY_CURRENT_USER, kSubKey); }

bool runReg(const std::string& arguments) {
  std::string command = "reg.exe " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &info)) {
    return false;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  DWORD exitCode = 1;
  ::WaitForSingleObject(process.get(), INFINITE);
  ::GetExitCodeProcess(process.get(), &exitCode);
  return exitCode == 0;
}

// Milliseconds that the step took, or a negative number when it failed.
double timed(const char* what, const std::function<bool()>& step) {
  LARGE_INTEGER frequency, start, end;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  const bool ok = step();
  ::QueryPerformanceCounter(&end);
  if (!ok) std::fprintf(stderr, "%s failed\n", what);
  return ok ? 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart)
            : -1.0;
}

void report(const char* what, double ours, double system) {
  std::printf("%-7s clsRegistryAccess %9.1f ms   reg.exe %9.1f ms   ratio %5.2f\n", what, ours, system, ours / system);
}

struct Times {
  double ourExport = -1, regExport = -1, ourImport = -1, regImport = -1;
};

// One round on a freshly generated subtree; false when a step failed or an import did not
// give back the whole tree as exported.
bool runRound(tlv::registry::clsRegistryAccess& reg, const std::string& ours, const std::string& system, Times& t) {
  ::DeleteFileA(ours.c_str());
  ::DeleteFileA(system.c_str());
  removeSubtree();
  if (!generate()) {
    std::fprintf(stderr, "could not generate the subtree\n");
    return false;
  }
  t.ourExport = timed("ExportToReg", [&] { return reg.ExportToReg(kPath, ours, true) == 1; });
  t.regExport = timed("reg export", [&] { return runReg("export " + std::string(kPath) + " \"" + system + "\" /y"); });
  const std::string tree = readAll(ours);
  // REGEDIT4, a blank line and the top key's empty block, then each key's line, its values and
  // a blank line.
  const auto lines = std::count(tree.begin(), tree.end(), '\n');
  const bool whole = lines == 4 + kGroups * kKeysPerGroup * (kValuesPerKey + 2);
  if (!whole) std::fprintf(stderr, "the export has %ld lines\n", static_cast<long>(lines));
  removeSubtree();
  t.ourImport = timed("ImportFromReg", [&] { return reg.ImportFromReg(ours) == 1; });
  const bool ourImportWhole = exported(reg, ours + ".check") == tree;
  removeSubtree();
  t.regImport = timed("reg import", [&] { return runReg("import \"" + system + "\""); });
  const bool regImportWhole = exported(reg, ours + ".check") == tree;
  removeSubtree();
  ::DeleteFileA((ours + ".check").c_str());
  if (!ourImportWhole || !regImportWhole) std::fprintf(stderr, "an import did not give back the whole tree\n");
  return t.ourExport >= 0 && t.regExport >= 0 && t.ourImport >= 0 && t.regImport >= 0 && whole && ourImportWhole &&
         regImportWhole;
}

double best(double a, double b) { return a < 0 ? b : std::min(a, b); }

}  // namespace

// registry_bench [rounds]: the best time of each step over the rounds (default 5), so that
// other load on the machine weighs as little as it can.
int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  tlv::app::win32::WindowUi ui(::GetModuleHandleA(nullptr));
  tlv::platform::win32::Win32Platform machine(ui);
  tlv::platform::Platform platform = machine.platform();
  tlv::registry::clsRegistryAccess reg(platform);

  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string ours = std::string(temp) + "TlvAsServiceBench-ours.reg";
  const std::string system = std::string(temp) + "TlvAsServiceBench-reg.reg";
  Times bestTimes;
  bool ok = true;
  for (int r = 0; r < rounds && ok; ++r) {
    Times t;
    ok = runRound(reg, ours, system, t);
    std::fprintf(stderr, "round %d: export %.1f / %.1f ms, import %.1f / %.1f ms\n", r + 1, t.ourExport, t.regExport,
                 t.ourImport, t.regImport);
    bestTimes = {best(bestTimes.ourExport, t.ourExport), best(bestTimes.regExport, t.regExport),
                 best(bestTimes.ourImport, t.ourImport), best(bestTimes.regImport, t.regImport)};
  }
  removeSubtree();
  ::DeleteFileA(ours.c_str());
  ::DeleteFileA(system.c_str());
  if (!ok) return 1;

  std::printf("registry benchmark: %d keys with %d values each, best of %d rounds\n", kGroups * kKeysPerGroup,
              kValuesPerKey, rounds);
  report("export", bestTimes.ourExport, bestTimes.regExport);
  report("import", bestTimes.ourImport, bestTimes.regImport);
  return 0;
}
