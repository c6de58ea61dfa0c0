// raceboard's findings as JSON (NAME_raceboard.json): what the page shows, as data.
#pragma once

#include <string>

#include "front_end.h"
#include "html_report.h"

namespace zr {

// `page` is the file name of the page written beside it.
std::string raceboardJson(const RaceboardData& data, const RunPaths& paths, const std::string& page);

}  // namespace zr
