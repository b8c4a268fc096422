#include "platform/AnsiCodePage.h"

unsigned AnsiCodePage() {
    return 0;
}

bool DecodeAnsi(std::string_view, std::u16string&) {
    return false;
}

bool EncodeAnsi(std::u16string_view, std::string&) {
    return false;
}
