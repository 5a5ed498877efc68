// Win32 only: running tlvrobot.exe from a test and reading its output back.
#include "testkit/win32/Robot.h"

#include <algorithm>
#include <atomic>
#include <thread>

#include "testkit/robot/RobotCommand.h"

namespace tlv::testing {

namespace {

using platform::win32::UniqueFile;
using platform::win32::UniqueKernelHandle;
using tools::robot::DumpLine;

bool fileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A pipe whose write end the robot inherits and whose read end stays ours.
struct OutputPipe {
  UniqueFile read;
  UniqueFile write;
  std::string text;
  std::thread reader;

  bool open() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!::CreatePipe(&r, &w, &inheritable, 0)) return false;
    read.reset(r);
    write.reset(w);
    return ::SetHandleInformation(r, HANDLE_FLAG_INHERIT, 0) != 0;
  }
  // Reads on its own thread, so a full pipe never stalls the robot. It polls rather than
  // blocks: should a program the robot started hold on to the pipe, the reading still ends
  // once the robot has and the pipe is drained.
  void startReading() {
    reader = std::thread([this] {
      char buffer[4096];
      for (;;) {
        DWORD available = 0;
        if (!::PeekNamedPipe(read.get(), nullptr, 0, nullptr, &available, nullptr)) return;  // every writer gone
        if (available == 0) {
          if (robotEnded) return;
          ::Sleep(5);
          continue;
        }
        DWORD got = 0;
        if (!::ReadFile(read.get(), buffer, std::min<DWORD>(available, sizeof buffer), &got, nullptr)) return;
        text.append(buffer, got);
      }
    });
  }
  /// Called once the robot has ended: the rest is read, then the reader stops.
  void finish() {
    robotEnded = true;
    if (reader.joinable()) reader.join();
  }

  std::atomic<bool> robotEnded{false};
};

int numberOr(const DumpLine& line, const char* key, int fallback = 0) {
  return static_cast<int>(line.numberField(key).value_or(fallback));
}

std::string trimmedLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

std::vector<std::string> Window::options() const {
  std::vector<std::string> args;
  if (!title.empty()) args.insert(args.end(), {"--title", title});
  if (!className.empty()) args.insert(args.end(), {"--class", className});
  if (pid != 0) args.insert(args.end(), {"--pid", std::to_string(pid)});
  args.insert(args.end(), {"--timeout", std::to_string(timeoutMs)});
  return args;
}

std::vector<DumpLine> RobotRun::lines() const {
  std::vector<DumpLine> parsed;
  std::size_t start = 0;
  while (start < output.size()) {
    std::size_t end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    if (auto line = DumpLine::parse(std::string_view(output).substr(start, end - start))) {
      parsed.push_back(std::move(*line));
    }
    start = end + 1;
  }
  return parsed;
}

WindowView WindowView::from(const RobotRun& run) {
  WindowView view;
  view.failure = run.failure;
  for (const auto& line : run.lines()) {
    if (line.kind() == "window") {
      view.found = run.ok();
      view.title = line.field("title").value_or("");
      view.className = line.field("class").value_or("");
      view.pid = static_cast<unsigned long>(line.numberField("pid").value_or(0));
      view.x = numberOr(line, "x");
      view.y = numberOr(line, "y");
      view.width = numberOr(line, "width");
      view.height = numberOr(line, "height");
      view.clientX = numberOr(line, "client-x");
      view.clientY = numberOr(line, "client-y");
      view.clientWidth = numberOr(line, "client-width");
      view.clientHeight = numberOr(line, "client-height");
    } else if (line.kind() == "menu") {
      view.menu.push_back(line.field("text").value_or(""));
    } else if (line.kind() == "menu-error") {
      view.failure += "menu: " + line.field("text").value_or("");
    } else if (line.field("index")) {
      view.controls.push_back(Control{line.kind(), numberOr(line, "index"), numberOr(line, "id"), numberOr(line, "x"),
                                      numberOr(line, "y"), numberOr(line, "width"), numberOr(line, "height"),
                                      line.field("text").value_or("")});
    }
  }
  if (!view.found && view.failure.empty()) view.failure = "the robot printed no window";
  return view;
}

std::vector<std::string> WindowView::texts(const std::string& kind) const {
  std::vector<std::string> result;
  for (const auto& c : controls) {
    if (c.kind == kind) result.push_back(c.text);
  }
  return result;
}

const Control* WindowView::control(const std::string& kind, int index) const {
  for (const auto& c : controls) {
    if (c.kind == kind && c.index == index) return &c;
  }
  return nullptr;
}

Robot::Robot() {
  const std::string root = buildRoot();
  robotPath_ = root + "testkit\\robot\\tlvrobot.exe";
}

Robot::~Robot() { endPrograms(); }

RobotRun Robot::run(const std::vector<std::string>& args, unsigned timeoutMs) {
  RobotRun result;
  OutputPipe out, err;
  if (!fileExists(robotPath_)) {
    result.failure = "no robot at " + robotPath_;
    return result;
  }
  if (!out.open() || !err.open()) {
    result.failure = "no pipe for the robot's output";
    return result;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out.write.get();
  startup.hStdError = err.write.get();
  std::string commandLine = tools::robot::buildCommandLine(robotPath_, args);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(robotPath_.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &info)) {
    result.failure = "cannot start the robot: error " + std::to_string(::GetLastError());
    return result;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  out.write.reset();  // only the robot holds the write ends now: its end is the pipes' end
  err.write.reset();
  out.startReading();
  err.startReading();

  const bool ended = ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
  if (!ended) {
    ::TerminateProcess(process.get(), 1);
    ::WaitForSingleObject(process.get(), 5000);
  }
  out.finish();
  err.finish();
  DWORD code = 1;
  ::GetExitCodeProcess(process.get(), &code);
  result.exitCode = ended ? static_cast<int>(code) : -1;
  result.output = std::move(out.text);
  result.failure = ended ? trimmedLine(std::move(err.text)) : "the robot was still running after " +
                                                                  std::to_string(timeoutMs) + " ms";
  return result;
}

Robot::Started Robot::start(const std::string& program, const std::vector<std::string>& args, bool dumpWindow) {
  Started started = launch(dumpWindow ? std::vector<std::string>{"--dump"} : std::vector<std::string>{}, program, args,
                           60000);
  if (dumpWindow) started.window = WindowView::from(started.run);
  return started;
}

Robot::Started Robot::launch(const std::vector<std::string>& options, const std::string& program,
                             const std::vector<std::string>& args, unsigned timeoutMs) {
  std::vector<std::string> robotArgs{"start"};
  robotArgs.insert(robotArgs.end(), options.begin(), options.end());
  robotArgs.push_back(program);
  robotArgs.insert(robotArgs.end(), args.begin(), args.end());

  Started started;
  started.run = run(robotArgs, timeoutMs);
  for (const auto& line : started.run.lines()) {
    if (line.kind() == "process") started.pid = static_cast<unsigned long>(line.numberField("pid").value_or(0));
  }
  if (started.pid != 0) {
    // Held from here on, so the exit code outlives the process and the program can be ended.
    UniqueKernelHandle handle(
        ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, started.pid));
    if (handle) programs_[started.pid] = std::move(handle);
  }
  return started;
}

std::vector<std::string> Robot::Watched::texts() const {
  std::vector<std::string> result;
  for (const auto& change : changes) result.push_back(change.text);
  return result;
}

std::int64_t Robot::Watched::msWhenShown(const std::string& text) const {
  for (const auto& change : changes) {
    if (change.text == text) return change.ms;
  }
  ADD_FAILURE() << "never shown: " << text;
  return -1;
}

Robot::Watched Robot::startWatching(const std::string& program, unsigned timeoutMs) {
  Watched watched;
  watched.started = launch({"--watch", "--timeout", std::to_string(timeoutMs)}, program, {}, timeoutMs + 10000);
  // Only the lines after "appeared" describe the dialog.
  RobotRun dialogLines = watched.started.run;
  dialogLines.output.clear();
  bool appeared = false;
  for (const auto& line : watched.started.run.lines()) {
    if (line.kind() == "changed" && !appeared) {
      watched.changes.push_back(TextChange{line.numberField("ms").value_or(-1),
                                           static_cast<int>(line.numberField("id").value_or(0)),
                                           line.field("text").value_or("")});
    } else if (line.kind() == "appeared") {
      appeared = true;
      watched.dialogMs = line.numberField("ms").value_or(-1);
    } else if (appeared) {
      dialogLines.output += line.format() + "\n";
    }
  }
  watched.dialog = WindowView::from(dialogLines);
  return watched;
}

WindowView Robot::wait(const Window& window) {
  std::vector<std::string> args{"wait"};
  const auto options = window.options();
  args.insert(args.end(), options.begin(), options.end());
  return WindowView::from(run(args));
}

::testing::AssertionResult Robot::expectDone(const RobotRun& run, const std::string& what) {
  if (run.ok()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << what << ": exit code " << run.exitCode << ", " << run.failure;
}

namespace {
std::vector<std::string> command(const char* verb, const Window& window, std::vector<std::string> rest) {
  std::vector<std::string> args{verb};
  const auto options = window.options();
  args.insert(args.end(), options.begin(), options.end());
  args.insert(args.end(), rest.begin(), rest.end());
  return args;
}
}  // namespace

::testing::AssertionResult Robot::type(const Window& window, int editIndex, const std::string& text) {
  return expectDone(run(command("type", window, {"--edit", std::to_string(editIndex), "--", text})), "type");
}

::testing::AssertionResult Robot::press(const Window& window, const std::string& caption) {
  return expectDone(run(command("press", window, {"--", caption})), "press " + caption);
}

::testing::AssertionResult Robot::chooseMenu(const Window& window, const std::string& caption) {
  return expectDone(run(command("menu", window, {"--", caption})), "menu " + caption);
}

::testing::AssertionResult Robot::close(const Window& window) {
  return expectDone(run(command("close", window, {})), "close");
}

::testing::AssertionResult Robot::screenshot(const Window& window, const std::string& path) {
  return expectDone(run(command("shot", window, {"--", path})), "shot " + path);
}

std::optional<unsigned long> Robot::waitForExit(unsigned long pid, unsigned timeoutMs) {
  const auto found = programs_.find(pid);
  if (found == programs_.end()) return std::nullopt;
  if (::WaitForSingleObject(found->second.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(found->second.get(), &code)) return std::nullopt;
  return code;
}

void Robot::endPrograms() {
  for (auto& [pid, handle] : programs_) {
    if (::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(handle.get(), 1);
      ::WaitForSingleObject(handle.get(), 5000);
    }
  }
  programs_.clear();
}

}  // namespace tlv::testing
