// Portable: srvany's host logic with the program, the service's status and the clock played
// by the test: its controls, the ending of the program at a stop or at shutdown, the watch
// over its windows and what it publishes of it, its records, the texts of the program's
// start, the text log's rotation and the log folder's security rules.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "tools/srvany/HostSession.h"
#include "tools/srvany/LaunchPlan.h"
#include "tools/srvany/ProgramWatch.h"
#include "tools/srvany/TextLog.h"

namespace tlv::tools {
namespace {

TEST(HostControls, StopShutdownAndPreshutdownAskOnceInterrogateAnswersTheRestIsRefused) {
  struct Case {
    std::uint32_t control, answer;
    StopRequest request;
  };
  for (const Case& c :
       {Case{control::kStop, 0, StopRequest::Stop}, Case{control::kShutdown, 0, StopRequest::Shutdown},
        Case{control::kPreshutdown, 0, StopRequest::Preshutdown}, Case{control::kInterrogate, 0, StopRequest::None},
        Case{0x2 /* pause */, 120, StopRequest::None}}) {
    SCOPED_TRACE(c.control);
    int wakes = 0;
    ControlDispatcher dispatcher([&wakes] { ++wakes; });
    EXPECT_EQ(dispatcher.handle(c.control), c.answer);
    EXPECT_EQ(dispatcher.request(), c.request);
    EXPECT_EQ(wakes, c.request == StopRequest::None ? 0 : 1);
    dispatcher.handle(control::kStop);
    EXPECT_EQ(dispatcher.request(), c.request == StopRequest::None ? StopRequest::Stop : c.request)
        << "the first is kept";
  }
  EXPECT_EQ(acceptedControls(true), accept::kStop | accept::kPreshutdown);
  EXPECT_EQ(acceptedControls(false), accept::kStop | accept::kShutdown);
}

/// A program that closes `closesAfterAsks` asks after the first (never when negative).
struct ScriptedProgram final : HostedProgram {
  explicit ScriptedProgram(int closesAfter) : closesAfterAsks(closesAfter) {}
  void askToClose() override { ++asks; }
  std::string howAsked() const override { return "asked 1 window(s) to close"; }
  bool running() override { return !ended && (closesAfterAsks < 0 || asks <= closesAfterAsks); }
  std::string end() override { return ended = true, ""; }
  std::uint32_t exitCode() override { return 42; }
  int closesAfterAsks, asks = 0;
  bool ended = false;
};

struct Machine final : HostStatus, HostClock, RecordSink {
  void stopPending(std::uint32_t) override { ++checkpoints; }
  void stopped(std::uint32_t win32, std::uint32_t specific) override { exit = {win32, specific}; }
  std::uint32_t nowMs() override { return now; }
  std::int64_t utcSeconds() override { return 1796827799 + now / 1000; }  // 2026-12-09T14:50:00Z at 1000 ms
  void sleepMs(std::uint32_t ms) override { now += ms; }
  bool systemShuttingDown() override { return shuttingDown; }
  void record(const HostRecord& entry) override { records.push_back(entry); }
  std::vector<std::uint32_t> ids() const {
    std::vector<std::uint32_t> result;
    for (const auto& r : records) result.push_back(static_cast<std::uint32_t>(r.event));
    return result;
  }
  std::uint32_t now = 1000;
  int checkpoints = 0;
  bool shuttingDown = false;
  std::pair<std::uint32_t, std::uint32_t> exit{99, 99};
  std::vector<HostRecord> records;
};

TEST(HostSession, AShutdownOrPreshutdownClosesTheProgramAsAStopDoesAndEndsItAfterTheGrace) {
  for (const StopRequest why : {StopRequest::Stop, StopRequest::Shutdown, StopRequest::Preshutdown}) {
    for (const bool closes : {true, false}) {
      SCOPED_TRACE(std::to_string(static_cast<int>(why)) + (closes ? " closes" : " ignores the request"));
      ScriptedProgram program(closes ? 3 : -1);
      Machine m;
      HostSession session{program, m, m, m};
      closeProgram(why, session);
      const std::uint32_t asked = why == StopRequest::Stop ? 101 : 105;
      EXPECT_EQ(m.ids(), (std::vector<std::uint32_t>{asked, closes ? 102u : 103u}));
      EXPECT_EQ(m.exit, (std::pair<std::uint32_t, std::uint32_t>{0, 0})) << "a clean stop in every case";
      EXPECT_EQ(program.ended, !closes);
      EXPECT_GE(m.checkpoints, closes ? 4 : 100) << "progress shown while waiting";
      if (!closes) {
        EXPECT_EQ(m.now - 1000, kGracePeriodMs);
      }
    }
  }
}

// However the program ends without a stop, what it started goes with it and the service
// stops: as failed (its own exit code, or srvany's for the watch's verdict), except when the
// program exits while Windows shuts down.
TEST(HostSession, AProgramEndingWithoutAStopFailsTheServiceExceptWhileWindowsShutsDown) {
  using Exit = std::pair<std::uint32_t, std::uint32_t>;
  struct Case {
    void (*end)(HostSession&);
    bool shuttingDown;
    HostEvent event;
    Severity severity;
    Exit exit;
    const char* names;  ///< what the text must name
  };
  const auto byItself = [](HostSession& s) { programEndedByItself("C:\\Pay\\Orbit-Tender.exe", s); };
  const char* const exited = "\"C:\\Pay\\Orbit-Tender.exe\" exited by itself with exit code 42";
  const Case cases[] = {
      {byItself, false, HostEvent::ExitedByItself, Severity::Error, {kServiceSpecificError, 42}, exited},
      {byItself, true, HostEvent::ExitedAtShutdown, Severity::Information, {0, 0}, exited},
      {[](HostSession& s) { endHungProgram(120, s); }, false, HostEvent::HungProgramEnded, Severity::Error,
       {kServiceSpecificError, 0x20000001}, "120 seconds"},
      {[](HostSession& s) { endProgramForBox(10, "Card reader", s); }, false, HostEvent::BoxProgramEnded,
       Severity::Error, {kServiceSpecificError, 0x20000002}, "\"Card reader\" has stood open for 10 minutes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.names);
    ScriptedProgram program(-1);
    Machine m;
    m.shuttingDown = c.shuttingDown;
    HostSession session{program, m, m, m};
    c.end(session);
    ASSERT_EQ(m.records.size(), 1u);
    EXPECT_EQ(m.records[0].event, c.event);
    EXPECT_EQ(m.records[0].severity, c.severity);
    EXPECT_NE(m.records[0].text.find(c.names), std::string::npos) << m.records[0].text;
    EXPECT_EQ(m.exit, c.exit);
    EXPECT_TRUE(program.ended);
  }
}

TEST(ProgramWatch, HangsAreReportedAfterThirtySecondsBoxesWhenShownAndGoneAndAProgramEndedOnlyWhenAsked) {
  const ProbedWindow main{1, "Orbit-Tender", false, true, {}}, hungMain{1, "Orbit-Tender", false, false, {}},
      box{2, "Card reader", true, true, {"cannot open COM3"}, true}, mainDialog{3, "Orbit dialog", true, true, {}},
      printerBox{4, "Receipt printer", true, true, {}, true}, hungBox{2, "Card reader", true, false, {}, true},
      inputMethod{9, "Default IME", false, true, {}, false, true};
  struct Probe {
    std::uint32_t atMs;
    std::vector<ProbedWindow> windows;
    std::vector<std::uint32_t> ids;  ///< recorded by this probe
    WatchVerdict::Kind end = WatchVerdict::RunsOn;
    std::string box;  ///< the box an EndForBox names
  };
  struct Case {
    const char* what;
    std::uint32_t hangRestartSeconds, boxRestartMinutes;
    std::vector<Probe> probes;
  };
  const Case cases[] = {
      {"answering, then hung: once after 30 s, again when it answers",
       0,
       0,
       {{0, {main}, {}},
        {5000, {hungMain}, {}},
        {30000, {hungMain}, {}},
        {35000, {hungMain}, {200}},
        {40000, {hungMain}, {}},
        {45000, {main}, {201}},
        {50000, {main}, {}}}},
      {"no windows: never hung", 0, 0, {{0, {}, {}}, {60000, {}, {}}}},
      {"ended once hung for HangRestartSeconds",
       20,
       0,
       {{0, {hungMain}, {}}, {15000, {hungMain}, {}}, {20000, {hungMain}, {}, WatchVerdict::EndHung}}},
      {"a box: shown once, gone once",
       0,
       0,
       {{0, {main}, {}}, {5000, {box, main}, {202}}, {10000, {box, main}, {}}, {15000, {main}, {203}}}},
      {"a dialog-based program's main window is no box, the system's hidden windows beside it; its boxes are",
       0,
       0,
       {{0, {inputMethod, mainDialog}, {}}, {5000, {box, inputMethod, mainDialog}, {202}}}},
      {"a message box as the first window is a box", 0, 0, {{0, {box}, {202}}, {5000, {}, {203}}}},
      {"ended once a box has stood open for BoxRestartMinutes, counted from the probe that saw it",
       0,
       1,
       {{0, {main}, {}},
        {5000, {box, main}, {202}},
        {60000, {box, main}, {}},
        {65000, {box, main}, {}, WatchVerdict::EndForBox, "Card reader"}}},
      {"each box counted from its own start: one gone before its time is forgotten",
       0,
       1,
       {{0, {box, main}, {202}},
        {50000, {main}, {203}},
        {55000, {printerBox, main}, {202}},
        {110000, {printerBox, main}, {}},
        {115000, {printerBox, main}, {}, WatchVerdict::EndForBox, "Receipt printer"}}},
      {"no BoxRestartMinutes: a box open for hours is only recorded",
       0,
       0,
       {{0, {box, main}, {202}}, {7200000, {box, main}, {}}}},
      {"hung with a box open: whichever time comes first",
       120,
       1,
       {{0, {hungBox, hungMain}, {202}},
        {30000, {hungBox, hungMain}, {200}},
        {60000, {hungBox, hungMain}, {}, WatchVerdict::EndForBox, "Card reader"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Machine m;
    ProgramWatch watch(m, c.hangRestartSeconds, c.boxRestartMinutes);
    std::size_t seen = 0;
    for (const Probe& p : c.probes) {
      SCOPED_TRACE(p.atMs);
      const WatchVerdict verdict = watch.probe(p.atMs + 7, p.windows);
      EXPECT_EQ(verdict.kind, p.end);
      EXPECT_EQ(verdict.box, p.box);
      const auto ids = m.ids();
      EXPECT_EQ(std::vector<std::uint32_t>(ids.begin() + static_cast<std::ptrdiff_t>(seen), ids.end()), p.ids);
      seen = ids.size();
    }
  }
  Machine m;
  ProgramWatch watch(m, 0);
  watch.probe(0, {box, main});
  EXPECT_EQ(m.records.at(0).text, "The program shows a box nobody sees: \"Card reader\" / cannot open COM3");
}

/// The Watch key as a test sees it: every report written, or a failure to give.
struct MemoryWatchStore final : WatchStore {
  std::string write(const WatchReport& report) override { return reports.push_back(report), failure; }
  std::vector<WatchReport> reports;
  std::string failure;
};

TEST(WatchPublisher, TheStartEachProbeAHeartbeatInBetweenAndTheEndArePublished) {
  const ProbedWindow main{1, "Orbit-Tender", false, true, {}}, hung{1, "Orbit-Tender", false, false, {}},
      untitledBox{2, "", true, false, {}};
  const auto t = [](int second) {
    return "2026-12-09T14:50:" + std::string(second < 10 ? "0" : "") + std::to_string(second) + "Z";
  };
  enum class Step { Started, StartFailed, Probe, Beat, Ended };
  struct Write {
    Step step;
    std::uint32_t atMs;
    std::vector<ProbedWindow> windows;
    std::optional<WatchReport> published;  ///< nothing: nothing written
  };
  struct Case {
    const char* what;
    std::vector<Write> steps;
  };
  const Case cases[] = {
      {"a run: started, answering, not answering since, a box, a heartbeat, ended",
       {{Step::Started, 0, {}, WatchReport{"running", 1234, t(0), true, "", {}, t(0)}},
        {Step::Beat, 4000, {}, std::nullopt},
        {Step::Probe, 5000, {main}, WatchReport{"running", 1234, t(0), true, "", {}, t(5)}},
        {Step::Probe, 10000, {hung}, WatchReport{"running", 1234, t(0), false, t(10), {}, t(10)}},
        {Step::Beat, 15000, {}, WatchReport{"running", 1234, t(0), false, t(10), {}, t(15)}},
        {Step::Probe, 20000, {untitledBox, hung},
         WatchReport{"running", 1234, t(0), false, t(10), {"(no title)"}, t(20)}},
        {Step::Probe, 25000, {main}, WatchReport{"running", 1234, t(0), true, "", {}, t(25)}},
        {Step::Probe, 30000, {untitledBox, main}, WatchReport{"running", 1234, t(0), true, "", {"(no title)"}, t(30)}},
        {Step::Ended, 31000, {}, WatchReport{"ended", 0, t(0), false, "", {}, t(31)}},
        {Step::Ended, 32000, {}, std::nullopt},
        {Step::Beat, 40000, {}, std::nullopt}}},
      {"a program that could not be started",
       {{Step::StartFailed, 0, {}, WatchReport{"start failed", 0, "", false, "", {}, t(0)}},
        {Step::Ended, 1000, {}, std::nullopt},
        {Step::Beat, 10000, {}, std::nullopt}}},
      {"nothing before the start", {{Step::Beat, 10000, {}, std::nullopt}, {Step::Ended, 11000, {}, std::nullopt}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Machine m;
    MemoryWatchStore store;
    WatchPublisher publisher(store, m, m);
    ProgramWatch watch(m, 0);
    for (const Write& w : c.steps) {
      SCOPED_TRACE(w.atMs);
      m.now = 1000 + w.atMs;
      const std::size_t before = store.reports.size();
      if (w.step == Step::Started) publisher.started(1234);
      if (w.step == Step::StartFailed) publisher.startFailed();
      if (w.step == Step::Probe) {
        static_cast<void>(watch.probe(m.now, w.windows));
        publisher.probed(watch);
      }
      if (w.step == Step::Beat) publisher.beatIfDue();
      if (w.step == Step::Ended) publisher.ended();
      ASSERT_EQ(store.reports.size(), before + (w.published ? 1 : 0));
      if (w.published) {
        EXPECT_TRUE(store.reports.back() == *w.published) << store.reports.back().heartbeat;
      }
    }
  }
  // A store that cannot be written is recorded once; the publisher goes on writing.
  Machine m;
  MemoryWatchStore store;
  store.failure = "the key cannot be created: Access is denied (error 5)";
  WatchPublisher publisher(store, m, m);
  publisher.started(1234);
  m.now += 5000;
  publisher.beatIfDue();
  publisher.ended();
  EXPECT_EQ(store.reports.size(), 3u);
  ASSERT_EQ(m.ids(), std::vector<std::uint32_t>{112});
  EXPECT_NE(m.records[0].text.find("srvany cannot publish its watch: " + store.failure), std::string::npos);
}

struct MemoryFolder final : LogFolder {
  std::uint64_t size(const std::string& name) override { return stored.count(name) ? stored[name].text.size() : 0; }
  bool append(const std::string& name, std::string_view text) override {
    stored[name].text += text;
    stored[name].written = now;
    return true;
  }
  bool rename(const std::string& from, const std::string& to) override {
    if (!stored.count(from) || stored.count(to) || refuseRename) return false;
    stored[to] = stored[from], stored.erase(from);
    return true;
  }
  std::vector<LogFile> files(const std::string& prefix) override {
    std::vector<LogFile> found;
    for (const auto& [name, file] : stored) {
      if (name.starts_with(prefix) && name.ends_with(".log")) found.push_back({name, file.text.size(), file.written});
    }
    return found;
  }
  bool remove(const std::string& name) override { return name != undeletable && stored.erase(name) == 1; }
  struct File {
    std::string text;
    std::int64_t written = 0;
  };
  std::map<std::string, File> stored;
  std::int64_t now = 1796774400;  // 2026-12-09T00:00:00Z
  std::string undeletable;
  bool refuseRename = false;
};

constexpr std::int64_t kDay = 86400;

TEST(TextLog, OneLineEachSetAsideWholeAndKeptByAgeUnderTheCap) {
  MemoryFolder folder;
  const LogClock clock{[] { return std::string("2026-12-07 09:05:07 +01:00"); }, [&] { return folder.now; }};
  TextLog log(folder, "OrbitTender", clock, "SYSTEM", {12, 4, 130});
  log.record({HostEvent::Started, Severity::Information, "Started\r\nforged 104 line"});
  EXPECT_EQ(folder.stored["OrbitTender.log"].text, "2026-12-07 09:05:07 +01:00 SYSTEM 100 Started  forged 104 line\r\n");
  // 46 bytes a line, two to a file below 130: a full file is set aside whole, named by its UTC end.
  log.record({HostEvent::CloseAsked, Severity::Information, "line 1"});
  folder.now += 1;
  log.record({HostEvent::CloseAsked, Severity::Information, "line 2"});
  log.record({HostEvent::CloseAsked, Severity::Information, "line 3"});
  log.record({HostEvent::CloseAsked, Severity::Information, "line 4"});
  EXPECT_NE(folder.stored["OrbitTender.20261209T000001Z.log"].text.find("Started"), std::string::npos);
  EXPECT_NE(folder.stored["OrbitTender.20261209T000001Z-2.log"].text.find("line 2"), std::string::npos);
  EXPECT_EQ(folder.stored["OrbitTender.log"].text.find("line 4"), 38u);
  EXPECT_EQ(folder.stored.size(), 3u);

  // Age: whole files go a year (12 months of 31 days) after their last line, the earlier
  // release's .1.log and .2.log alike; the cap removes the oldest first and says so.
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::int64_t>> setAside;  ///< 1 MB files and their age in days
    std::uint32_t limitMB;
    std::vector<std::string> kept;
    std::size_t removedNotes;
  };
  const Case cases[] = {
      {"young files stay", {{"T.1.log", 30}, {"T.20260101T000000Z.log", 372}}, 64,
       {"T.1.log", "T.20260101T000000Z.log"}, 0},
      {"a year and a day go", {{"T.1.log", 373}, {"T.2.log", 400}, {"T.20261201T000000Z.log", 8}}, 64,
       {"T.20261201T000000Z.log"}, 0},
      {"the cap takes the oldest", {{"T.a.log", 3}, {"T.b.log", 2}, {"T.c.log", 1}, {"T.d.log", 0}}, 4,
       {"T.b.log", "T.c.log", "T.d.log"}, 1},
      {"one that cannot go is passed", {{"T.stuck.log", 400}, {"T.b.log", 3}, {"T.c.log", 2}, {"T.d.log", 1}}, 4,
       {"T.c.log", "T.d.log", "T.stuck.log"}, 1},
      {"a cap below 4 MB is 4 MB", {{"T.a.log", 1}, {"T.b.log", 0}}, 1, {"T.a.log", "T.b.log"}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryFolder f;
    f.undeletable = "T.stuck.log";
    for (const auto& [name, age] : c.setAside) f.stored[name] = {std::string(1100000, 'x'), f.now - age * kDay};
    f.stored["Other.log"] = {"not ours", 0};
    TextLog(f, "T", {[] { return std::string("t"); }, [&] { return f.now; }}, "SYSTEM", {12, c.limitMB})
        .record({HostEvent::Started, Severity::Information, "x"});
    std::vector<std::string> kept;
    for (const auto& [name, file] : f.stored) {
      if (name != "T.log" && name != "Other.log") kept.push_back(name);
    }
    EXPECT_EQ(kept, c.kept);
    EXPECT_TRUE(f.stored.count("Other.log"));
    const std::string& current = f.stored["T.log"].text;
    std::size_t notes = 0;
    for (auto at = current.find("before it was 12 months old"); at != std::string::npos;
         at = current.find("before it was 12 months old", at + 1)) {
      ++notes;
    }
    EXPECT_EQ(notes, c.removedNotes) << current;
  }

  // A file that cannot be set aside grows on, said once; nothing is lost.
  folder.refuseRename = true;
  for (int i = 5; i < 9; ++i) log.record({HostEvent::CloseAsked, Severity::Information, "line " + std::to_string(i)});
  const std::string& grown = folder.stored["OrbitTender.log"].text;
  EXPECT_NE(grown.find("line 8"), std::string::npos);
  EXPECT_EQ(grown.find("could not be set aside"), grown.rfind("could not be set aside"));
  EXPECT_NE(grown.find("could not be set aside"), std::string::npos);

  // The account is one word whatever its name, so the id stays the fourth field.
  for (const auto& [account, written] : {std::pair<const char*, const char*>{"NETWORK SERVICE", "NETWORK_SERVICE"},
                                         {"till\tseven\r\n", "till_seven__"},
                                         {"", "-"}}) {
    MemoryFolder other;
    TextLog(other, "T", {[] { return std::string("t"); }, [] { return std::int64_t{0}; }}, account)
        .record({HostEvent::Started, Severity::Information, "x"});
    EXPECT_EQ(other.stored["T.log"].text, std::string("t ") + written + " 100 x\r\n");
  }
}

TEST(LaunchTexts, AKeyInAppParametersOrAfterThePathInApplicationShowsOnlyItsLength) {
  const std::string key = "--key 4111-1111", pay = "C:\\Pay\\Orbit-Tender.exe";
  const std::string key15 = "arguments: 15 characters, not shown";
  const FileExists programThere = [&](const std::string& path) { return path == pay; };
  struct Case {
    const char* what;
    ProgramSettings settings;
    std::string path, arguments;
    std::size_t texts;  ///< the started text where the program is there, the failures' texts
  };
  const Case cases[] = {
      {"in AppParameters", {pay, key, ""}, pay, key15, 2},
      {"after the path", {pay + " " + key, ""}, pay, key15, 2},
      {"after the path and in AppParameters", {pay + "\t" + key, "-v"}, pay, "arguments: 18 characters, not shown",
       2},
      {"after a missing program", {"C:\\Pay\\Missing.exe " + key, ""}, "C:\\Pay\\Missing.exe", key15, 1},
      {"after a quoted path", {"\"" + pay + "\" " + key, ""}, pay, key15, 1},
      {"after a path with its quote unclosed", {"\"" + pay + " " + key, ""}, pay, key15, 1},
      {"none", {pay, " ", ""}, pay, "arguments: none", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto plan = planLaunch(c.settings, programThere);
    std::vector<std::string> texts{plan ? cannotStartText(plan.value)
                                        : noProgramText("HKLM\\P", c.settings.application)};
    if (plan && programThere(plan.value.applicationName)) texts.push_back(startedText(plan.value, 7));
    ASSERT_EQ(texts.size(), c.texts);
    for (const std::string& text : texts) {
      EXPECT_NE(text.find("\"" + c.path + "\""), std::string::npos) << text;
      EXPECT_NE(text.find(c.arguments), std::string::npos) << text;
      EXPECT_EQ(text.find("4111"), std::string::npos) << text;
    }
  }
}

TEST(LogFolderRules, OnlySystemAndAdministratorsMayChangeTheFolderAndUsersMayRead) {
  const AccessEntry system{Trustee::System, true, 0x1F01FF}, admins{Trustee::Administrators, true, 0x1F01FF},
      usersRead{Trustee::Users, true, kUsersMayRead};
  struct Case {
    const char* what;
    FolderSecurity security;
    bool repair;
    Trustee mayChange = Trustee::System;
  };
  const Case cases[] = {
      {"as made", {true, true, {system, admins, usersRead}}, false},
      {"users denied", {true, true, {system, admins, {Trustee::Users, false, 0x1F01FF}}}, false},
      {"another owner", {false, true, {system, admins, usersRead}}, true},
      {"rights from the parent", {true, false, {system, admins, usersRead}}, true},
      {"users may write", {true, true, {system, admins, {Trustee::Users, true, kUsersMayRead | 0x2}}}, true},
      {"everyone may read", {true, true, {system, admins, {Trustee::Other, true, kUsersMayRead}}}, true},
      {"the service may change", {true, true, {system, admins, {Trustee::Service, true, 0x1301BF}}}, true},
      {"the service in its own", {true, true, {system, admins, {Trustee::Service, true, 0x1301BF}}}, false,
       Trustee::Service},
      {"users may write in the service's own", {true, true, {system, {Trustee::Users, true, 0x2}}}, true,
       Trustee::Service},
  };
  for (const Case& c : cases) EXPECT_EQ(needsRepair(c.security, c.mayChange), c.repair) << c.what;
}

}  // namespace
}  // namespace tlv::tools
