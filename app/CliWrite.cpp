#include "CliWrite.h"

bool WriteChecked(std::FILE* stream, std::string_view bytes) {
    return bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

bool FlushChecked(std::FILE* stream) {
    return std::fflush(stream) == 0;
}
