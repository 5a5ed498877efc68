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
  const auto length = platform_.files.fileLength(path);
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
                 .boxStyle = logging::box::kInformation});
}

bool frmTlvAsService::endBatchRun(unsigned milliseconds) {
  const bool ended = !batchRun_ || batchRun_->waitForEnd(milliseconds) || batchRun_->end();
  if (ended) {
    batchRun_.reset();
    batchFile_.reset();
  }
  return ended;
}

void frmTlvAsService::letGoOfBatchFile() {
  // Until the interpreter has ended it may read further lines of the file: no time limit.
  if (batchRun_) static_cast<void>(batchRun_->waitForEnd(platform::kWaitForever));
  batchRun_.reset();
  batchFile_.reset();
}

void frmTlvAsService::MakeTolvaneServBat(const std::string& thePath) {
  using logging::FileOperation;
  // Each failing step is shown and logged; a refused folder or file (75) ends the procedure
  // at once, any other failure lets the next step try and report its own failure.
  auto failed = [this](const logging::RunError& error) {
    log_.WriteLog({.level = logging::level::kShowBox,
                   .message = "ERR" + std::to_string(error.number) + error.description,
                   .detail = "Make TolvaneAsServ.Bat",
                   .boxStyle = logging::box::kInformation});
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
  // and run it unchanged. Without it, the run reports that the batch file is missing.
  if (!written) platform_.files.deleteFile(thePath + fileName);
}

}  // namespace tlv::app
