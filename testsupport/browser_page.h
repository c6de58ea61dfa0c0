// The written pages opened in headless Chromium, for the tests that check
// what a browser makes of them (label external: they skip, saying so, where
// Chromium is not installed).
#pragma once

#include <string>
#include <vector>

#include "run_dir.h"

namespace zr::test {

// The Chromium command on PATH; empty when there is none.
std::string chromiumCommand();

// The document Chromium builds from the page `page` in `dir`; empty when it
// failed or took longer than 90 seconds.
std::string browserDocument(const RunDir& dir, const std::string& page);

// Writes a PNG screenshot of the page to `png`; false when Chromium failed.
bool browserScreenshot(const RunDir& dir, const std::string& page, const std::string& png);

// A table of a document: its caption's text and its number of rows.
struct DomTable {
    std::string caption;
    int rows = 0;
    bool operator==(const DomTable&) const = default;
};
std::vector<DomTable> tablesOf(const std::string& document);

}  // namespace zr::test
