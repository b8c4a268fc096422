// quviro-cli's writes to standard output and standard error, every one checked.
#pragma once

#include <cstdio>
#include <string_view>

// Writes all of bytes; false when the stream refused them (errno tells why).
bool WriteChecked(std::FILE* stream, std::string_view bytes);

// Flushes stream; false when the buffered bytes could not be written.
bool FlushChecked(std::FILE* stream);
