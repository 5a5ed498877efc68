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

bool frmTlvAsService::isOwnBatchFile(const std::string& path) {
  // The length first, so that a large planted file is never read whole.
  const auto length = platform_.files.fileLength(path);
  if (!length.ok() || length.value != static_cast<std::int64_t>(kBatchBytes.size())) return false;
  const auto bytes = platform_.files.readWholeFile(path);
  return bytes.ok() && bytes.value == kBatchBytes;
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
