// Portable: MoveTolvanesToWin, which places instsrv.exe and srvany.exe in the Windows folder.
#include "app/frmTlvAsService.h"
#include "logging/RunError.h"

namespace tlv::app {

bool frmTlvAsService::ownToolBesideProgram(const std::string& tool) {
  const std::string path = LocalPath_ + tool;
  if (!files_.CheckForFileQuietly(path)) return false;
  const auto own = platform_.files.productVersion(platform_.process.modulePath());
  const auto found = platform_.files.productVersion(path);
  if (own.ok() && found.ok() && found.value == own.value) return true;
  log_.WriteLog({.level = logging::level::kNote,
                 .message = path,
                 .detail = "Not this release's own",
                 .boxStyle = logging::box::kInformation});
  return false;
}

bool frmTlvAsService::MoveTolvanesToWin(const std::string& lPath) {
  const std::string sourceInstsrv = lPath + "instsrv.exe";
  const std::string sourceSrvany = lPath + "srvany.exe";
  const std::string windowsFolder = gWinEnviron_.PathWindowsRoot();
  const std::string targetInstsrv = windowsFolder + "instsrv.exe";
  const std::string targetSrvany = gWinEnviron_.PathWindowsRoot() + "srvany.exe";
  // Without WinDir the Windows folder reads as a lone backslash, which the system takes for
  // the current drive's root: the tools are not placed there, and the run reports them missing.
  if (windowsFolder.size() < 2) return false;

  // A tool already in the Windows folder is used as found. A refused copy is logged and the
  // other tool is still placed; the final presence test decides.
  auto place = [&](const std::string& tool, const std::string& source, const std::string& target) {
    std::string Task = "Check For " + tool;
    if (files_.CheckForFileQuietly(target)) return;
    Task = "copy " + tool;
    if (!files_.CheckForFileQuietly(source)) return;
    if (const auto error = platform_.files.copyFile(source, target); error != platform::err::kSuccess) {
      const logging::RunError e = logging::runErrorForFile(error, logging::FileOperation::Copy);
      log_.WriteLog({.level = logging::level::kError,
                     .message = Task + " Error: " + std::to_string(e.number),
                     .detail = e.description,
                     .boxStyle = logging::box::kInformation});
    }
  };
  place("instsrv.exe", sourceInstsrv, targetInstsrv);
  place("srvany.exe", sourceSrvany, targetSrvany);

  return files_.CheckForFileQuietly(targetInstsrv) && files_.CheckForFileQuietly(targetSrvany);
}

}  // namespace tlv::app
