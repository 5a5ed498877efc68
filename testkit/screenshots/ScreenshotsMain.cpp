// Portable: tlvscreenshots FROM_DIR TO_DIR NAME...: keeps TO_DIR/NAME as the screenshot
// FROM_DIR/NAME, replacing it only when the picture's pixels changed. Exit code 0 when every
// picture is in place, 1 when one could not be read or written, 2 for a wrong command line.
#include <cstdio>
#include <filesystem>

#include "testkit/screenshots/ScreenshotSync.h"

int main(int argc, char** argv) {
  using namespace tlv::tools::screenshots;
  if (argc < 4) {
    std::fprintf(stderr, "usage: tlvscreenshots FROM_DIR TO_DIR NAME...\n");
    return 2;
  }
  const std::filesystem::path from = argv[1];
  const std::filesystem::path to = argv[2];
  int status = 0;
  for (int i = 3; i < argc; ++i) {
    const SyncResult result = syncScreenshot(from / argv[i], to / argv[i]);
    std::printf("screenshots: %s\n", result.message.c_str());
    if (result.outcome == SyncOutcome::Failed) status = 1;
  }
  return status;
}
