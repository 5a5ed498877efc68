// Portable: the enumeration of the ordinary users' profile folders.
#include <algorithm>
#include <array>
#include <exception>

#include "environment/ValueRules.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/ErrorForms.h"

namespace tlv::environment {

namespace {

// Built-in and shared accounts, compared exactly: a profile named "administrator" is kept.
constexpr std::array<std::string_view, 7> kNotProfiles = {
    ".", "..", "All Users", "Default User", "LocalService", "NetworkService", "Administrator"};

bool isExcluded(const std::string& name) {
  return std::find(kNotProfiles.begin(), kNotProfiles.end(), name) != kNotProfiles.end();
}

}  // namespace

bool jclass_WinEnviron::GetUserProfileFolders(std::vector<std::string>& sFolders, std::int16_t& iCount) {
  logging::LogAndContinue guard(log_, "GetUserProfileFolders ERROR#:", "Start GetUserProfileFolders");
  bool result = false;
  const auto failed = [&](const logging::RunError& error) {
    guard.fail(error);
    result = false;
  };

  try {
    const std::string listingFolder = PathDocumentsAndSettings();
    iCount = 0;
    // The listing leaves out hidden and system entries, such as the Default profile.
    const auto listing = platform_.files.listFolder(listingFolder);
    if (!listing.ok()) {
      failed(logging::runErrorForFile(listing.error, logging::FileOperation::List));
      return result;
    }
    for (const platform::FolderEntry& entry : listing.value) {
      if ((entry.attributes & (platform::attr::kHidden | platform::attr::kSystem)) != 0) continue;
      if (isExcluded(entry.name)) continue;

      // A name whose attributes cannot be read is taken for a folder once the failure is logged.
      const auto attributes = platform_.files.fileAttributes(PathDocumentsAndSettings() + entry.name);
      if (!attributes.ok()) {
        failed(logging::runErrorForFile(attributes.error, logging::FileOperation::Inspect));
      } else if ((attributes.value & platform::attr::kDirectory) == 0) {
        continue;
      }

      const auto next = toInt16(std::int32_t{iCount} + 1);
      if (!next) {
        failed(logging::runError(logging::errnum::kOverflow));
        continue;
      }
      iCount = *next;
      sFolders.resize(static_cast<std::size_t>(iCount) + 1);
      sFolders[static_cast<std::size_t>(iCount)] = PathDocumentsAndSettings() + entry.name + "\\";
      result = true;
    }
  } catch (const std::exception& failure) {
    failed(runErrorFor(failure));
  }
  return result;
}

}  // namespace tlv::environment
