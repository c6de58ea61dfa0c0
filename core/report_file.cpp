#include "report_file.h"

#include <ostream>

#include "platform.h"

namespace zr {

bool saveReport(const ReportFile& report, std::ostream& out) {
    if (writeReport(report.name, report.text)) return true;
    out << "Report file could not be written: " << report.name << "\n" << std::flush;
    return false;
}

}  // namespace zr
