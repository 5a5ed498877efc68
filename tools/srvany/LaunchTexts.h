// Portable: what srvany's records say of the program it starts. Its arguments may hold a
// key or a password, and support staff pass the logs around: of them only their length shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/srvany/LaunchPlan.h"

namespace tlv::tools {

/// "arguments: 19 characters, not shown", or "arguments: none": the one way every record
/// names a program's arguments.
std::string argumentsNotShown(std::string_view arguments);

/// An Application value as records show it: unchanged when it names a program alone, else its
/// path and of the arguments after it only their length.
std::string applicationShown(std::string_view application);

/// Event 100: the program's path, process id, arguments not shown and start folder.
std::string startedText(const LaunchPlan& plan, std::uint32_t processId);

/// Event 110 when CreateProcess fails, before its error text.
std::string cannotStartText(const LaunchPlan& plan);

/// Event 110 when Application names no program, before its error text.
std::string noProgramText(const std::string& parametersKey, const std::string& application);

}  // namespace tlv::tools
