#include "page_text.h"

#include "platform.h"

namespace zr::night {

bool isUtf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || length > text.size() - i) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) >> 6) != 2) return false;
        i += length;
    }
    return true;
}

std::string localUtf8(const std::string& text) { return isUtf8(text) ? text : windows1252ToUtf8(text); }

std::string escapeHtml(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default:
                // Control characters have no place in a page.
                if ((static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) || c == '\t' || c == '\n') out += c;
        }
    }
    return out;
}

std::string replayTextHtml(const std::string& replayText) { return escapeHtml(windows1252ToUtf8(replayText)); }

std::string localTextHtml(const std::string& text) { return escapeHtml(localUtf8(text)); }

std::string linkTo(const std::string& folder, const std::string& file) {
    static const char* const hex = "0123456789ABCDEF";
    auto encode = [](const std::string& part) {
        std::string out;
        for (unsigned char c : part) {
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                c == '.' || c == '~') {
                out += static_cast<char>(c);
            } else {
                out += '%';
                out += hex[c >> 4];
                out += hex[c & 15];
            }
        }
        return out;
    };
    return folder.empty() ? encode(file) : encode(folder) + "/" + encode(file);
}

}  // namespace zr::night
