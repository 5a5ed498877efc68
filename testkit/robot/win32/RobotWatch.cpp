// Win32 only: the robot's side of the text watch. The hook library writes each WM_SETTEXT
// of the watched window's controls into a section the robot polls every millisecond, so a
// status that lasts a few microseconds is seen as surely as one that lasts a second.
#include "testkit/robot/win32/RobotWatch.h"

#include <string_view>

#include "platform/win32/UniqueHandle.h"
#include "testkit/robot/win32/HookLibrary.h"
#include "testkit/robot/win32/TextWatchProtocol.h"

namespace tlv::tools::robot {

namespace {

using platform::win32::UniqueKernelHandle;

using UniqueView = platform::win32::UniqueMappedView;

constexpr unsigned kPollMs = 1;

class Clock {
 public:
  explicit Clock(LONGLONG startTicks) : start_(startTicks) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    frequency_ = frequency.QuadPart > 0 ? frequency.QuadPart : 1;
  }
  std::int64_t ms(LONGLONG ticks) const { return (ticks - start_) * 1000 / frequency_; }
  std::int64_t now() const { return ms(performanceTicks()); }

 private:
  LONGLONG start_;
  LONGLONG frequency_;
};

// Reads the lines the hook has published since the last call.
class SectionReader {
 public:
  SectionReader() {
    const std::string name = textwatch::sectionName(::GetCurrentProcessId());
    section_.reset(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, textwatch::kSectionBytes,
                                        name.c_str()));
    if (!section_) throw RobotFailure("no shared section for the texts: error " + std::to_string(::GetLastError()));
    view_.reset(::MapViewOfFile(section_.get(), FILE_MAP_READ, 0, 0, textwatch::kSectionBytes));
    if (!view_) throw RobotFailure("cannot map the texts section: error " + std::to_string(::GetLastError()));
  }

  template <class F>
  void forEachNewLine(F&& f) {
    const auto* header = static_cast<const textwatch::SectionHeader*>(view_.get());
    // A plain read of the published length (the view is read-only, so no interlocked
    // operation); the barrier keeps the text reads after it.
    const auto used = static_cast<std::size_t>(header->used);
    ::MemoryBarrier();
    const std::string_view text(reinterpret_cast<const char*>(header + 1), used);
    while (read_ < used) {
      const std::size_t end = text.find('\n', read_);
      if (end == std::string_view::npos) break;
      const auto line = DumpLine::parse(text.substr(read_, end - read_));
      read_ = end + 1;
      if (!line) throw RobotFailure("the hook library wrote a line not understood");
      f(*line);
    }
    if (header->full) throw RobotFailure("too many text changes to follow");
  }

 private:
  UniqueKernelHandle section_;
  UniqueView view_;
  std::size_t read_ = 0;
};

DumpLine changedLine(std::int64_t ms, int id, const std::string& className, const std::string& text) {
  return DumpLine("changed").number("ms", ms).number("id", id).text("class", className).text("text", text);
}

}  // namespace

LONGLONG performanceTicks() {
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  return now.QuadPart;
}

void watchUntilDialog(HWND window, LONGLONG startTicks, unsigned timeoutMs, const LinePrinter& print) {
  const Clock clock(startTicks);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
  if (!process) throw RobotFailure("cannot watch pid " + std::to_string(pid) + ": error " + std::to_string(::GetLastError()));

  SectionReader reader;
  const InstalledHook installed(window, WH_CALLWNDPROCRET, textwatch::kProcedureName);
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutA(window, ::RegisterWindowMessageA(textwatch::kStartMessage), ::GetCurrentProcessId(), 0,
                             SMTO_ABORTIFHUNG, kReplyTimeoutMs, &ignored)) {
    throw RobotFailure("the program did not answer the start of the watch (busy?)");
  }
  // From here the hook reports every change; what the controls show now is the start.
  for (const auto& control : listControls(window)) {
    print(changedLine(clock.now(), control.id, control.className, control.text));
  }

  const auto printChanges = [&] {
    reader.forEachNewLine([&](const DumpLine& line) {
      print(changedLine(clock.ms(line.numberField("ticks").value_or(0)),
                        static_cast<int>(line.numberField("id").value_or(0)), line.field("class").value_or(""),
                        line.field("text").value_or("")));
    });
  };
  const WindowSelection dialogs{{}, std::string("#32770"), pid};
  const std::int64_t deadline = clock.now() + timeoutMs;
  for (;;) {
    printChanges();
    if (const HWND dialog = findWindow(dialogs)) {
      const std::int64_t seen = clock.now();
      printChanges();  // the texts set before the dialog came up
      print(DumpLine("appeared").number("ms", seen));
      for (const auto& line : describeWindow(dialog)) print(line);
      return;
    }
    if (::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
      printChanges();
      throw RobotFailure("pid " + std::to_string(pid) + " ended without showing a dialog");
    }
    if (clock.now() >= deadline) {
      throw RobotFailure("no dialog of pid " + std::to_string(pid) + " within " + std::to_string(timeoutMs) + " ms");
    }
    ::Sleep(kPollMs);
  }
}

}  // namespace tlv::tools::robot
