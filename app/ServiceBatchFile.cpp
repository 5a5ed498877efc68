// Portable: MakeTolvaneServBat, the batch file that creates the service with instsrv.
#include "app/frmTlvAsService.h"
#include "logging/RunError.h"

namespace tlv::app {

namespace {

// Switch to the Windows folder, where the tools were placed, and create the service there.
// The service program is named through %winDir% so that it is the srvany.exe that was
// copied into this machine's Windows folder, wherever that folder is.
constexpr char kBatchText[] =
    "%homeDrive%\r\n"
    "cd %winDir%\r\n"
    "instsrv OrbitTender %winDir%\\srvany.exe\r\n";

// What the file holds once written: the write adds the last CR LF.
const std::string kBatchBytes = std::string(kBatchText) + "\r\n";

}  // namespace

std::unique_ptr<platform::HeldFile> frmTlvAsService::holdOwnBatchFile(const std::string& path) {
  auto held = platform_.files.holdForReading(path);
  if (!held.ok()) return nullptr;
  // Held, the file can no longer change: its length first, so that a large planted file is
  // never read whole, then its bytes.
  const auto length = held.value->length();
  if (!length.ok() || length.value != static_cast<std::int64_t>(kBatchBytes.size())) return nullptr;
  const auto bytes = held.value->readAll();
  if (!bytes.ok() || bytes.value != kBatchBytes) return nullptr;
  // A second name or a link would let whoever owns the other name change what runs.
  const auto links = held.value->links();
  if (!links.ok() || !links.value.plain()) return nullptr;
  return std::move(held.value);
}

void frmTlvAsService::prepareBatchFile() {
  const std::string path = LocalPath_ + kBatchFile;
  batchFile_ = holdOwnBatchFile(path);
  if (batchFile_) return;
  const bool foreign = files_.CheckForFileQuietly(path);
  setStatus("Making Tlv.Bat");
  // Its name goes first, so that the new file is one of its own: written over, a link or a
  // second name would carry the bytes to the other file. One that cannot go is reported by
  // the write that follows.
  if (foreign) static_cast<void>(platform_.files.deleteFile(path));
  MakeTolvaneServBat(LocalPath_);
  // Checked again once written: someone who can write the folder may have been quicker.
  batchFile_ = holdOwnBatchFile(path);
  if (!foreign) return;
  log_.WriteLog({.level = logging::level::kNote,
                 .message = path,
                 .detail = batchFile_ ? "Replaced" : "Not the program's own, not replaced",
                 .boxStyle = platform::mb::kIconInformation});
}

unsigned frmTlvAsService::batchTimeLeft() {
  const std::uint64_t now = platform_.clock.tickMilliseconds();
  const std::uint64_t spent = now > batchStartedMs_ ? now - batchStartedMs_ : 0;
  return spent >= kBatchFileLimitMs ? 0 : static_cast<unsigned>(kBatchFileLimitMs - spent);
}

frmTlvAsService::BatchRunEnd frmTlvAsService::finishBatchRun() {
  // Until the interpreter has ended it may read further lines of the file: the file is held
  // until then. One that hangs (an instsrv that never returns) is ended when its time is up.
  if (batchRunStuck_) return BatchRunEnd::kStillRunning;  // told once, when it could not be ended
  if (!batchRun_ || batchRun_->waitForEnd(batchTimeLeft())) {
    batchRun_.reset();
    batchFile_.reset();
    return BatchRunEnd::kFinished;
  }
  const bool ended = batchRun_->end();
  const std::uint64_t spentMs = platform_.clock.tickMilliseconds() - batchStartedMs_;
  const std::string after = std::to_string((spentMs + 500) / 1000) + " s";
  log_.WriteLog({.level = logging::level::kError,
                 .message = LocalPath_ + kBatchFile,
                 .detail = ended ? "Its command interpreter was ended after " + after + ", with all it started"
                                 : "Its command interpreter still ran after " + after + " and could not be ended",
                 .boxStyle = platform::mb::kIconInformation});
  batchRun_.reset();
  if (!ended) {
    batchRunStuck_ = true;  // the file stays held while the form lasts: it may still be read
    return BatchRunEnd::kStillRunning;
  }
  batchFile_.reset();
  return BatchRunEnd::kEnded;
}

void frmTlvAsService::letGoOfBatchFile() {
  // What finishBatchRun found is logged there; the form lets go of the file either way.
  static_cast<void>(finishBatchRun());
  batchRun_.reset();
  batchFile_.reset();
  batchRunStuck_ = false;
}

void frmTlvAsService::MakeTolvaneServBat(const std::string& thePath) {
  using logging::FileOperation;
  // Each failing step is shown and logged; a refused folder or file (75) ends the procedure
  // at once, any other failure lets the next step try and report its own failure.
  auto failed = [this](const logging::RunError& error) {
    log_.WriteLog({.level = logging::level::kShowBox,
                   .message = "ERR" + std::to_string(error.number) + error.description,
                   .detail = "Make TolvaneAsServ.Bat",
                   .boxStyle = platform::mb::kIconInformation});
    return error.number == logging::errnum::kPathFileAccess;
  };

  const std::string fileName = "TolvaneAsServ.BAT";
  auto opened = platform_.files.openText(thePath + fileName, platform::OpenMode::Output);
  if (!opened.ok()) {
    if (failed(logging::runErrorForFile(opened.error, FileOperation::Open))) return;
    failed(logging::runError(52));  // the write that follows has no open file: bad file name or number
    return;
  }
  // The three command lines go out as one line: the write adds the last CR LF.
  bool written = true;
  bool leave = false;
  if (const auto error = opened.value->writeLine(kBatchText); error != platform::err::kSuccess) {
    written = false;
    leave = failed(logging::runErrorForFile(error, FileOperation::Write));
  }
  if (const auto error = opened.value->close(); error != platform::err::kSuccess && !leave) {
    written = false;
    failed(logging::runErrorForFile(error, FileOperation::Close));
  }
  // A batch file that was not written whole is not left behind: a later run would find it
  // and run it unchanged. Without it, the run reports that the batch file is missing; one
  // that cannot be deleted is not the program's own by its bytes, and is never run.
  if (!written) static_cast<void>(platform_.files.deleteFile(thePath + fileName));
}

}  // namespace tlv::app
