// Portable: the check of the service tools beside the program and their placement in the
// Windows folder (MoveTolvanesToWin).
#include "app/frmTlvAsService.h"
#include "files/PeDigest.h"
#include "logging/RunError.h"

namespace tlv::app {

namespace {

// Our tools are a few hundred kilobytes: a larger file is not read into memory at all.
constexpr std::int64_t kLargestTool = std::int64_t{16} * 1024 * 1024;

}  // namespace

bool frmTlvAsService::ownToolBesideProgram(const std::string& tool) {
  const std::string path = LocalPath_ + tool;
  if (!files_.CheckForFileQuietly(path)) return false;
  // One read through one handle, held meanwhile: the length checked is that of the bytes
  // read, and the bytes whose digest is checked are the bytes that are placed, whatever
  // happens to the file beside the program afterwards.
  const platform::Sha256Digest* expected = tools_.of(tool);
  auto held = platform_.files.holdForReading(path);
  const auto length = held.ok() ? held.value->length() : platform::Result<std::int64_t>::failure(held.error);
  std::string detail = "Not this release's own";
  auto bytes = expected && length.ok() && length.value <= kLargestTool
                   ? held.value->readAll()
                   : platform::Result<std::string>::failure(platform::err::kInvalidData);
  if (bytes.ok()) {
    const auto digest = files::authenticodeDigest(platform_.hashing, bytes.value);
    if (digest.ok() && digest.value == *expected) {
      verifiedTools_[path] = std::move(bytes.value);
      return true;
    }
    // The system could not hash it (bcrypt.dll missing or refusing): say so, not that the
    // file is foreign.
    if (!digest.ok() && digest.error != platform::err::kInvalidData) {
      detail = "Could not be checked, system error " + std::to_string(digest.error);
    }
  }
  log_.WriteLog({.level = logging::level::kNote,
                 .message = path,
                 .detail = detail,
                 .boxStyle = platform::mb::kIconInformation});
  return false;
}

platform::Win32Error frmTlvAsService::placeTool(const std::string& target, const std::string& bytes) {
  // Written under another name and renamed into place: the tool's own name never stands for
  // a file written in part.
  const std::string partial = target + ".partial";
  platform::Win32Error error = platform_.files.writeNewFile(partial, bytes);
  if (error == platform::err::kSuccess) error = platform_.files.moveFile(partial, target);
  // Whatever is left of the partial file goes; should that fail too, it keeps a name no
  // program runs by.
  if (error != platform::err::kSuccess) static_cast<void>(platform_.files.deleteFile(partial));
  return error;
}

bool frmTlvAsService::MoveTolvanesToWin(const std::string& lPath) {
  const std::string sourceInstsrv = lPath + "instsrv.exe";
  const std::string sourceSrvany = lPath + "srvany.exe";
  // The system's Windows folder, never the environment's WinDir: the service runs what lies
  // there as LocalSystem.
  if (!folders_) return false;
  const std::string& windowsFolder = folders_->windows;
  const std::string targetInstsrv = windowsFolder + "instsrv.exe";
  const std::string targetSrvany = windowsFolder + "srvany.exe";

  removeSetAsideTools(windowsFolder);
  bool stranded = false;
  // A tool in the Windows folder, which only administrators change, is used as found unless
  // it is an earlier release of this product's own (fixes of the tools must reach machines
  // that ran an earlier release) or not a file of its own (through its other name users
  // could change it). Only bytes checked in this run are placed. A refused write is logged
  // and the other tool is still placed; the final presence test decides.
  auto place = [&](const std::string& tool, const std::string& source, const std::string& target) {
    std::string Task = "Check For " + tool;
    std::optional<Upgrade> earlier;
    std::optional<std::string> linked;
    if (files_.CheckForFileQuietly(target)) {
      linked = linkedFile(target);
      if (!linked) earlier = earlierOwnRelease(target);
      if (!linked && !earlier) return;
    }
    Task = "copy " + tool;
    const auto verified = verifiedTools_.find(source);
    if (verified == verifiedTools_.end()) return;
    const Replacement done = earlier || linked ? replaceTool(target, verified->second)
                                               : Replacement{placeTool(target, verified->second), false};
    if (done.strandedAside) {
      stranded = true;
      log_.WriteLog({.level = logging::level::kError,
                     .message = target,
                     .detail = "Missing: set aside as " + *done.strandedAside + " and not put back (error " +
                               std::to_string(done.restoreError) + ")",
                     .boxStyle = platform::mb::kIconInformation});
    }
    if (done.error != platform::err::kSuccess) {
      const logging::RunError e = logging::runErrorForFile(done.error, logging::FileOperation::Copy);
      log_.WriteLog({.level = logging::level::kError,
                     .message = Task + " Error: " + std::to_string(e.number),
                     .detail = e.description,
                     .boxStyle = platform::mb::kIconInformation});
    } else if (earlier || linked) {
      const std::string what = earlier ? "Version " + earlier->from + " replaced by " + earlier->to
                                       : "Not a file of its own (" + *linked + "), replaced by this release's";
      log_.WriteLog({.level = logging::level::kNote,
                     .message = target,
                     .detail = what + (done.atRestart ? " at the next start of Windows" : ""),
                     .boxStyle = platform::mb::kIconInformation});
    }
  };
  place("instsrv.exe", sourceInstsrv, targetInstsrv);
  place("srvany.exe", sourceSrvany, targetSrvany);

  // A tool left without its file fails the run even where the name is found again (someone
  // else's file may have taken it meanwhile): it was not this run's to use.
  return !stranded && files_.CheckForFileQuietly(targetInstsrv) && files_.CheckForFileQuietly(targetSrvany);
}

}  // namespace tlv::app
