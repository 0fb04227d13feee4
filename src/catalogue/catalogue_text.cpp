#include "catalogue_text.h"

namespace {
unsigned char FoldByte(unsigned char byte) {
    if ((byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7))
        return static_cast<unsigned char>(byte + 0x20);
    switch (byte) {
    case 0x8A: // Š
    case 0x8C: // Œ
    case 0x8E: // Ž
        return static_cast<unsigned char>(byte + 0x10);
    case 0x9F: // Ÿ
        return 0xFF;
    default:
        return byte;
    }
}
} // namespace

std::string FoldCase(std::string_view cp1252) {
    std::string folded(cp1252);
    for (char& c : folded)
        c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    return folded;
}

std::string TrimmedName(std::string_view nameBytes) {
    const auto end = nameBytes.find_last_not_of(' ');
    return std::string(nameBytes.substr(0, end == std::string_view::npos ? 0 : end + 1));
}
