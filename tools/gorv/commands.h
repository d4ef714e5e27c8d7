// Subcommands of the gorv tool. Each takes the arguments after "gorv" (argv[0] is the subcommand
// name) and returns the process exit code: 0 success, 1 no result, 2 bad input or arguments.
#pragma once

int gorv_cmd_text(int argc, char** argv);
int gorv_cmd_unit(int argc, char** argv);
int gorv_cmd_polygon(int argc, char** argv);
int gorv_cmd_datafile(int argc, char** argv);
int gorv_cmd_reg(int argc, char** argv);
int gorv_cmd_ui(int argc, char** argv);
