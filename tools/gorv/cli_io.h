// Input, output and error reporting shared by the gorv subcommands. Every error is one line on
// standard error, "gorv <command>: <problem>"; only a mistake in the arguments themselves adds a
// second line pointing at --help.
#pragma once

#include <string>

namespace gorv_cli {

// Prints "gorv <cmd>: <msg>" and returns 2 (bad input).
int InputError(const char* cmd, const std::string& msg);
// Prints "gorv <cmd>: <msg>" and the line "Try 'gorv <cmd> --help'."; returns 2.
int UsageError(const char* cmd, const std::string& msg);

// Reads all of path, or of standard input for "-". A directory, a device, a socket, a missing or
// unreadable file fails with err saying which (quoting the path). Pipes and FIFOs are read.
bool ReadInput(const std::string& path, std::string& text, std::string& err);

// Writes data to path, or to standard output for "-". Fails with err naming the problem when the
// file cannot be created or a write, flush or close fails (a full disk among them).
bool WriteOutput(const std::string& path, const std::string& data, std::string& err);

// Flushes standard output and checks that everything written to it arrived. Returns rc, or 2
// after one line on standard error when a write failed (a closed or full device). cmd "" stands
// for gorv itself.
int FinishOutput(const char* cmd, int rc);

// A whole decimal number in lo..hi, the entire text (no spaces, no trailing characters).
bool ParseInt(const std::string& s, long long lo, long long hi, long long& out);
// The same for a 32-bit int.
bool ParseInt(const std::string& s, int& out);

}  // namespace gorv_cli
