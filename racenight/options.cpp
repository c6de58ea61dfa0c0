#include "options.h"

#include <ostream>
#include <thread>

#include <CLI/CLI.hpp>

namespace zr::night {

ParsedOptions parseOptions(int argc, const char* const* argv, const std::string& version, std::ostream& out,
                           std::ostream& err) {
    CLI::App app{
        "racenight: every analysis of a race night in one command.\n\n"
        "Runs on each replay what the seven programs would: raceboard's page; with a race table\n"
        "contactscan (mode 1, with the protest script for names like 300rplyB), boxlog, resetlog and\n"
        "dropwatch; without one exitwatch; and heatboard once per event. Replays whose names share a\n"
        "race number and end in A to E form one event. Writes a folder per event or lone replay under\n"
        "the output folder, and index.html beside them.\n",
        "racenight"};
    app.footer(
        "\nExit codes: 0 done (also when nothing was found), 1 a replay could not be analysed or a report\n"
        "not written (the others are analysed all the same), 2 wrong usage.\n"
        "exitwatch's settings come from the options, else from timediff.ini in the working directory,\n"
        "else 0 and 120; heatboard's user from --myname, else from myname.ini there, else nobody.");
    NightOptions o;
    o.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    int sessionCut = 0, absenceLimit = 0;
    std::string myName;

    app.set_version_flag("--version", "racenight " + version);
    app.add_option("PATH", o.paths, "Replay files (.rpy) and folders that hold them")->required()->type_name("");
    app.add_flag("-r,--recursive", o.recursive, "Search the folders' subfolders too");
    app.add_option("-o,--out", o.outDir, "Where the reports and index.html go")->capture_default_str()->type_name("DIR");
    app.add_option("-j,--jobs", o.jobs, "How many events and lone replays are analysed at once (default: the cores)")
        ->check(CLI::Range(1, 1024))
        ->type_name("N");
    app.add_option("--tracks-dir", o.tracksDir,
                   "The simulator's tracks folder (default: the folder \"tracks\" beside each replay's folder)")
        ->type_name("DIR");
    auto* myNameOption = app.add_option("--myname", myName, "heatboard's user, \"First Last\": his rows in yellow")
                             ->type_name("NAME");
    auto* cutOption = app.add_option("--session-cut", sessionCut, "exitwatch: minutes cut off the session's end")
                          ->check(CLI::Range(0, 100000))
                          ->type_name("MIN");
    auto* absenceOption =
        app.add_option("--absence-limit", absenceLimit, "exitwatch: the longest absence in minutes that counts as "
                                                        "an escape (0: 120)")
            ->check(CLI::Range(0, 100000))
            ->type_name("MIN");
    app.add_flag("--json", o.json, "Also write summary.json (schemas/racenight.schema.json)");
    app.add_flag("-q,--quiet", o.quiet, "Print nothing but errors");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return {std::nullopt, code == 0 ? kExitDone : kExitUsage};
    }
    if (!o.tracksDir.empty() && o.tracksDir.back() != '/' && o.tracksDir.back() != '\\') o.tracksDir += '/';
    if (*myNameOption) o.myName = myName;
    if (*cutOption) o.sessionCut = sessionCut;
    if (*absenceOption) o.absenceLimit = absenceLimit;
    return {std::move(o), kExitDone};
}

}  // namespace zr::night
