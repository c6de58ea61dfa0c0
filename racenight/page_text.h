// Texts on their way into the overview page and the summary: the replays'
// texts are Windows-1252; file names are whatever the file system gave (UTF-8
// on Linux as a rule, the ANSI code page's bytes on Windows).
#pragma once

#include <string>

namespace zr::night {

// A file name, or one of our messages that quotes one, as UTF-8: kept when it
// is UTF-8 already, else read as Windows-1252.
std::string localUtf8(const std::string& text);

// A text from the replay (Windows-1252), escaped for the page.
std::string replayTextHtml(const std::string& replayText);

// A file name or a message that quotes one, escaped for the page.
std::string localTextHtml(const std::string& text);

// A relative link to `file` in `folder` (or to `file` alone when the folder is
// empty): each byte outside the unreserved characters percent-encoded.
std::string linkTo(const std::string& folder, const std::string& file);

}  // namespace zr::night
