// Input, output and error lines of the gorv subcommands (see cli_io.h).
#include "cli_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace gorv_cli {

namespace {

// The message with line breaks and other control characters (from arguments or file names)
// shown as \xHH, so it stays one line.
std::string OneLine(const std::string& msg) {
    std::string o;
    for (char c : msg) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F) {
            o += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", u);
            o += buf;
        }
    }
    return o;
}

}  // namespace

int InputError(const char* cmd, const std::string& msg) {
    std::fprintf(stderr, "gorv %s: %s\n", cmd, OneLine(msg).c_str());
    return 2;
}

int UsageError(const char* cmd, const std::string& msg) {
    std::fprintf(stderr, "gorv %s: %s\nTry 'gorv %s --help'.\n", cmd, OneLine(msg).c_str(), cmd);
    return 2;
}

namespace {

bool ReadStream(std::FILE* f, std::string& text) {
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    return !std::ferror(f);
}

}  // namespace

bool ReadInput(const std::string& path, std::string& text, std::string& err) {
    text.clear();
    if (path == "-") {
        if (ReadStream(stdin, text)) return true;
        err = std::string("cannot read standard input: ") + std::strerror(errno);
        return false;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    const std::string q = "'" + path + "'";
    if (st.type() == fs::file_type::not_found) {
        err = "no such file " + q;
        return false;
    }
    if (ec) {
        err = "cannot read " + q + ": " + ec.message();
        return false;
    }
    switch (st.type()) {
        case fs::file_type::directory:
            err = q + " is a directory, not a file";
            return false;
        case fs::file_type::character:
        case fs::file_type::block:
            err = q + " is a device, not a file";
            return false;
        case fs::file_type::socket:
            err = q + " is a socket, not a file";
            return false;
        default:
            break;  // regular files, and pipes (gorv ... <(command))
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        const int e = errno;
        err = e == EACCES ? q + " is not readable (permission denied)"
                          : "cannot open " + q + ": " + std::strerror(e);
        return false;
    }
    const bool ok = ReadStream(f, text);
    const int e = errno;
    std::fclose(f);
    if (!ok) err = "cannot read " + q + ": " + std::strerror(e);
    return ok;
}

bool WriteOutput(const std::string& path, const std::string& data, std::string& err) {
    if (path == "-") {
        if (std::fwrite(data.data(), 1, data.size(), stdout) == data.size()) return true;
        err = std::string("cannot write standard output: ") + std::strerror(errno);
        return false;
    }
    const std::string q = "'" + path + "'";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        err = "cannot create " + q + ": " + std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    int e = errno;
    if (ok && std::fflush(f) != 0) {
        ok = false;
        e = errno;
    }
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        e = errno;
    }
    if (!ok) err = "cannot write " + q + ": " + std::strerror(e);
    return ok;
}

int FinishOutput(const char* cmd, int rc) {
    errno = 0;
    const bool flushFailed = std::fflush(stdout) != 0;
    const int e = errno;
    std::cout.flush();  // for commands that print through iostreams
    // A command that already ended in exit 2 has said its one line (often this same write error).
    if ((flushFailed || std::ferror(stdout) || !std::cout) && rc != 2) {
        const std::string why = flushFailed && e != 0 ? std::strerror(e) : "write error";
        std::fprintf(stderr, "gorv%s%s: cannot write standard output: %s\n", *cmd ? " " : "", cmd, why.c_str());
        return 2;
    }
    return rc;
}

bool ParseInt(const std::string& s, long long lo, long long hi, long long& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseInt(const std::string& s, int& out) {
    long long v = 0;
    if (!ParseInt(s, -2147483647LL - 1, 2147483647LL, v)) return false;
    out = static_cast<int>(v);
    return true;
}

}  // namespace gorv_cli
