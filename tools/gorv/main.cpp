// gorv: command-line front end of the Gorv Base library. Dispatches to one subcommand per file.
#include <cstdio>
#include <cstring>

#include <gorv/version.h>

#include "cli_io.h"
#include "commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(int, char**);
    const char* summary;
};

const Command kCommands[] = {
    {"polygon", gorv_cmd_polygon, "union, intersection or difference of polygons (WKT or GeoJSON)"},
    {"unit", gorv_cmd_unit, "convert values between force/length unit systems; list units"},
    {"text", gorv_cmd_text, "look up a localized text by key; list the keys"},
    {"datafile", gorv_cmd_datafile, "list, check, read or write data sets of a binary record file"},
    {"reg", gorv_cmd_reg, "read, change, export and import the settings store"},
    {"ui", gorv_cmd_ui, "draw the text progress control as PNG"},
};

void print_usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: gorv <command> [arguments]\n"
                 "       gorv --help | --version\n\n"
                 "commands:\n");
    for (const Command& c : kCommands) std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
    std::fprintf(out, "\nRun 'gorv <command> --help' for the arguments of a command.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "gorv: missing command\n");
        std::fprintf(stderr, "Try 'gorv --help'.\n");
        return 2;
    }
    const char* cmd = argv[1];
    if (std::strcmp(cmd, "--help") == 0 || std::strcmp(cmd, "-h") == 0 || std::strcmp(cmd, "help") == 0) {
        print_usage(stdout);
        return gorv_cli::FinishOutput("", 0);
    }
    if (std::strcmp(cmd, "--version") == 0) {
        std::printf("gorv %s\n", GORV_BASE_VERSION_STRING);
        return gorv_cli::FinishOutput("", 0);
    }
    for (const Command& c : kCommands) {
        // Every subcommand's output is checked here: a failed write turns any exit code into 2.
        if (std::strcmp(cmd, c.name) == 0) return gorv_cli::FinishOutput(c.name, c.run(argc - 1, argv + 1));
    }
    std::fprintf(stderr, "gorv: unknown command '%s'\n", cmd);
    std::fprintf(stderr, "Try 'gorv --help'.\n");
    return 2;
}
