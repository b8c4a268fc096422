// How a file's name is written in checksum lists and in the messages about them: with "/"
// between folders on every system, so that a list made on one system checks on another. On
// Windows "\" separates folders too (no file name holds it) and is written as "/"; on POSIX
// systems "\" is a byte of a name like any other and stays, to be escaped as the list's form says.
#pragma once

#include <string>
#include <string_view>

// name with the system's other folder separators written as "/".
std::string PortableName(std::string_view name);
