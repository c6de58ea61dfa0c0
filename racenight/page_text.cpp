#include "page_text.h"

#include "platform.h"
#include "value_format.h"

namespace zr::night {

std::string localUtf8(const std::string& text) { return isUtf8(text) ? text : windows1252ToUtf8(text); }

std::string replayTextHtml(const std::string& replayText) { return escapeMarkupStrict(windows1252ToUtf8(replayText)); }

std::string localTextHtml(const std::string& text) { return escapeMarkupStrict(localUtf8(text)); }

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
