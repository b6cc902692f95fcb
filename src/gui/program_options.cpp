#include "gui/program_options.h"

#include "system/machine_choice.h"

ProgramCommand parseProgramOptions(const std::vector<std::string>& args, ProgramOptions& options,
                                   std::string& error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!optionsEnded && a.size() > 1 && a[0] == '-') {
            if (a == "--") {
                optionsEnded = true;
            } else if (a == "--help" || a == "-h") {
                return ProgramCommand::Help;
            } else if (a == "--version") {
                return ProgramCommand::Version;
            } else if (a == "--fullscreen") {
                options.fullScreen = true;
            } else if (a == "--machine") {
                if (i + 1 >= args.size()) {
                    error = "--machine needs a value";
                    return ProgramCommand::Invalid;
                }
                const std::string& v = args[++i];
                options.machineMode = parseMachineMode(v.c_str());
                if (!options.machineMode) {
                    error = "--machine takes complete or design, not \"" + v + "\"";
                    return ProgramCommand::Invalid;
                }
            } else {
                error = "unknown option " + a;
                return ProgramCommand::Invalid;
            }
        } else if (options.romPath.empty() && !a.empty()) {
            options.romPath = a;
        } else {
            error = a.empty() ? "an empty ROM path" : "only one ROM image can be opened";
            return ProgramCommand::Invalid;
        }
    }
    return ProgramCommand::Run;
}

void printProgramUsage(FILE* out) {
    std::fprintf(out, "usage: orvex [options] [ROM]\n"
                      "The Orvex window program. With a ROM image it is run at once.\n"
                      "  --fullscreen                 show the output window in full screen\n"
                      "  --machine complete|design    the machine emulated in this run\n"
                      "  --help, --version\n"
                      "Keys of the output window: Pause or P pause, F12 screenshot,\n"
                      "F11 or Alt+Enter full screen (Esc leaves it), Tab held fast-forwards,\n"
                      "F5 save state, F7 load state, F6 and Shift+F6 choose the slot.\n");
}
