#include "browser_page.h"

#include <algorithm>
#include <cstdlib>

namespace zr::test {

namespace {

bool runChromium(const RunDir& dir, const std::string& arguments, const std::string& output) {
    const std::string command = "cd '" + dir.path() + "' && timeout -k 5 90 " + chromiumCommand() +
                                " --headless --no-sandbox --disable-gpu --no-first-run --user-data-dir='" +
                                dir.path() + "/.browser' " + arguments + " > '" + output +
                                "' 2> /dev/null < /dev/null";
    return std::system(command.c_str()) == 0;
}

std::string url(const RunDir& dir, const std::string& page) { return "'file://" + dir.path() + "/" + page + "'"; }

}  // namespace

std::string chromiumCommand() {
    for (const char* name : {"chromium", "chromium-browser", "google-chrome"}) {
        const std::string probe = std::string("command -v ") + name + " > /dev/null 2>&1";
        if (std::system(probe.c_str()) == 0) return name;
    }
    return "";
}

std::string browserDocument(const RunDir& dir, const std::string& page) {
    const std::string out = dir.path() + "/.dom";
    if (!runChromium(dir, "--dump-dom " + url(dir, page), out)) return "";
    return readFile(out);
}

bool browserScreenshot(const RunDir& dir, const std::string& page, const std::string& png) {
    return runChromium(dir, "--window-size=1600,2400 --screenshot='" + png + "' " + url(dir, page), "/dev/null");
}

std::vector<DomTable> tablesOf(const std::string& document) {
    std::vector<DomTable> tables;
    for (std::size_t at = document.find("<table"); at != std::string::npos; at = document.find("<table", at + 1)) {
        const std::string text = document.substr(at, std::min(document.find("</table>", at), document.size()) - at);
        DomTable table;
        const std::size_t open = text.find("<caption"), close = text.find("</caption>");
        if (open != std::string::npos && close != std::string::npos) {
            const std::size_t from = text.find('>', open) + 1;
            table.caption = text.substr(from, close - from);
        }
        for (std::size_t r = text.find("<tr"); r != std::string::npos; r = text.find("<tr", r + 1))
            if (r + 3 < text.size() && (text[r + 3] == '>' || text[r + 3] == ' ')) ++table.rows;
        tables.push_back(table);
    }
    return tables;
}

}  // namespace zr::test
