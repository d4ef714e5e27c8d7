// `gorv datafile list|check|cat|put`: looks into binary record files and writes data sets into
// them. list and check walk the whole directory (CBnFileSurvey); cat and put go through the
// record file operations exactly as a design module would.
// Exit codes: 0 result, 1 no result (check found problems, cat found no such data set), 2 bad
// arguments, a file that cannot be read as a record file, or a failed write.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <gorv/gorv_base.h>

#include "cli_io.h"
#include "commands.h"

namespace {

using gorv_cli::ParseInt;

const char kUsage[] =
    "usage: gorv datafile list FILE [--json]\n"
    "       gorv datafile check FILE\n"
    "       gorv datafile cat FILE NAME ID [--hex]\n"
    "       gorv datafile put FILE NAME ID --length WORDS [--head NAME] [--type N] [--version V]\n"
    "  NAME is 1 to 4 printable ASCII characters (padded with spaces); put reads the records from\n"
    "  standard input, a whole number of records of WORDS 4-byte words.\n"
    "  e.g. printf 'first   second  ' | gorv datafile put results.bin ABCD 1 --length 2\n"
    "       gorv datafile list results.bin\n";

// Thrown inside this file only, to end a subcommand with exit code 2 and one line on stderr.
struct Fail {
    std::string message;
    int code;
};

[[noreturn]] void Bad(const std::string& message, int code = 2) { throw Fail{message, code}; }

// A 1..4 character printable ASCII name, padded with spaces to 4 bytes.
std::string FourChars(const std::string& s, const char* what) {
    if (s.empty() || s.size() > 4) Bad(std::string(what) + " '" + s + "' must be 1 to 4 characters");
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E) Bad(std::string(what) + " '" + s + "' must be printable ASCII");
    std::string out = s;
    out.resize(4, ' ');
    return out;
}

std::string DataSetName(const std::string& s) {
    const std::string n = FourChars(s, "NAME");
    if (n == "    ") Bad("NAME may not be blank: \"    \" marks a free slot");
    if (n == "HEAD") Bad("NAME may not be HEAD: it names a directory's own entry");
    return n;
}

int ParseId(const std::string& s) {
    long long v = 0;
    if (!ParseInt(s, -2147483647LL - 1, 2147483647LL, v)) Bad("ID '" + s + "' is not a 32-bit integer");
    return static_cast<int>(v);
}

std::string OsText(const CFileException& e) {
    if (e.m_lOsError > 0) return std::strerror(static_cast<int>(e.m_lOsError));
    return e.what();
}

// Shortest decimal text that reads back as the same float.
std::string FloatText(float f) {
    if (std::isnan(f)) return "nan";
    if (std::isinf(f)) return f > 0 ? "inf" : "-inf";
    char buf[48];
    for (int prec = 1; prec <= 9; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, static_cast<double>(f));
        if (std::strtof(buf, nullptr) == f) break;
    }
    return buf;
}

std::string JsonString(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

struct OpenedFile {
    CFile file;
    std::string path;
};

void OpenFile(OpenedFile& f, const std::string& path, UINT flags) {
    f.path = path;
    CFileException e;
    if (path.empty()) Bad("missing FILE");
    if (!f.file.Open(CString::FromUtf8(path), flags, &e)) Bad("cannot open '" + path + "': " + OsText(e));
}

// The directory of a file that must be a record file.
void LoadDirectory(OpenedFile& f, CBnFileSurvey& survey) {
    if (survey.Load(&f.file) != 0)
        Bad("'" + f.path + "' is not a record file (no complete main header with 20 sub-headers)");
}

std::string LibraryFailure(int status) {
    CString msg;
    CBnFile::GetErrorMessage(status, msg);
    return "status " + std::to_string(status) + ": " + msg.ToUtf8();
}

const char* StateText(const T_BN_SLOT_INFO& s) {
    switch (s.nState) {
    case BN_SLOT_TABLE: return "table";
    case BN_SLOT_DATA: return "data";
    case BN_SLOT_DELETED: return "deleted";
    default: return "free";
    }
}

int List(const std::vector<std::string>& args) {
    std::string path;
    bool json = false;
    for (const std::string& a : args) {
        if (a == "--json") json = true;
        else if (a.size() > 1 && a[0] == '-') Bad("unknown option '" + a + "'");
        else if (path.empty()) path = a;
        else Bad("more than one FILE given");
    }
    OpenedFile f;
    OpenFile(f, path, CFile::modeRead);
    CBnFileSurvey in;
    LoadDirectory(f, in);
    const T_BN_MAIN_HEAD& mh = in.m_MainHead;
    if (json) {
        std::printf("{\"file\":%s,\"size\":%lld,\"head\":%s,\"type\":%d,\"version\":%s,\"groups\":[", JsonString(path).c_str(),
                    in.m_llFileLength, JsonString(CBnFileSurvey::NameText(mh.szHeadName)).c_str(), mh.nFileType,
                    std::isfinite(mh.fVersion) ? FloatText(mh.fVersion).c_str() : "null");
        for (size_t gi = 0; gi < in.m_aGroups.size(); ++gi) {
            const T_BN_GROUP_INFO& g = in.m_aGroups[gi];
            std::printf("%s{\"group\":%zu,\"block\":%lld,\"next\":%d,\"reachable\":%s,\"slots\":[", gi ? "," : "", gi + 1,
                        g.llMainBlock, g.head.nNextHead, g.bReachable ? "true" : "false");
            bool firstSlot = true;
            for (const T_BN_SLOT_INFO& s : in.m_aSlots) {
                if (s.nGroup != static_cast<int>(gi + 1)) continue;
                std::printf("%s{\"slot\":%d,\"block\":%lld,\"state\":\"%s\",\"reachable\":%s", firstSlot ? "" : ",", s.nSlot,
                            s.llBlock, StateText(s), s.bReachable ? "true" : "false");
                firstSlot = false;
                if (s.nState != BN_SLOT_FREE) {
                    std::printf(",\"name\":%s,\"id\":%d,\"first\":%d,\"last\":%d,\"count\":%lld,\"length\":%d",
                                JsonString(CBnFileSurvey::NameText(s.sub.szName)).c_str(), s.sub.nId, s.sub.nFirstRec,
                                s.sub.nLastRec, static_cast<long long>(s.sub.nLastRec) - s.sub.nFirstRec + 1, s.sub.nRecLen);
                    if (s.bValid) std::printf(",\"offset\":%lld,\"bytes\":%lld", s.llOffset, s.llBytes);
                    else if (s.nState != BN_SLOT_TABLE) std::printf(",\"offset\":null,\"bytes\":null");
                }
                std::printf("}");
            }
            std::printf("]}");
        }
        std::printf("],\"problems\":[");
        for (size_t i = 0; i < in.m_aProblems.size(); ++i)
            std::printf("%s%s", i ? "," : "", JsonString(in.m_aProblems[i]).c_str());
        std::printf("]}\n");
        return 0;
    }
    std::printf("%s: %lld bytes, head \"%s\", type %d, version %s\n", path.c_str(), in.m_llFileLength,
                CBnFileSurvey::NameText(mh.szHeadName).c_str(), mh.nFileType, FloatText(mh.fVersion).c_str());
    for (size_t gi = 0; gi < in.m_aGroups.size(); ++gi) {
        const T_BN_GROUP_INFO& g = in.m_aGroups[gi];
        std::printf("group %zu: main header block %lld, sub-headers blocks %lld-%lld, next %d%s\n", gi + 1, g.llMainBlock,
                    g.llMainBlock + 1, g.llMainBlock + 20, g.head.nNextHead, g.bReachable ? "" : " (unreachable)");
        std::printf("  %4s  %-17s %-6s %11s %11s %11s %11s %7s %12s %12s\n", "slot", "state", "name", "id", "first", "last",
                    "count", "length", "offset", "bytes");
        for (const T_BN_SLOT_INFO& s : in.m_aSlots) {
            if (s.nGroup != static_cast<int>(gi + 1)) continue;
            std::string state = StateText(s);
            if (!s.bReachable && s.nState != BN_SLOT_FREE) state += ",unreachable";
            if (s.nState == BN_SLOT_FREE) {
                std::printf("  %4d  %s\n", s.nSlot, state.c_str());
                continue;
            }
            const std::string name = "\"" + CBnFileSurvey::NameText(s.sub.szName) + "\"";
            std::string offset = "-", bytes = "-";
            if (s.bValid) {
                offset = std::to_string(s.llOffset);
                bytes = std::to_string(s.llBytes);
            } else if (s.nState == BN_SLOT_TABLE) {
                offset = std::to_string((g.llMainBlock) * 20);
                bytes = "400";
            }
            std::printf("  %4d  %-17s %-6s %11d %11d %11d %11lld %7d %12s %12s\n", s.nSlot, state.c_str(), name.c_str(),
                        s.sub.nId, s.sub.nFirstRec, s.sub.nLastRec,
                        static_cast<long long>(s.sub.nLastRec) - s.sub.nFirstRec + 1, s.sub.nRecLen, offset.c_str(),
                        bytes.c_str());
        }
    }
    if (!in.m_aProblems.empty())
        std::printf("%zu problem(s): run 'gorv datafile check %s'\n", in.m_aProblems.size(), path.c_str());
    return 0;
}

int Check(const std::vector<std::string>& args) {
    if (args.size() != 1) Bad(args.empty() ? "missing FILE" : "check takes one FILE");
    if (args[0].size() > 1 && args[0][0] == '-') Bad("unknown option '" + args[0] + "'");
    OpenedFile f;
    OpenFile(f, args[0], CFile::modeRead);
    CBnFileSurvey in;
    LoadDirectory(f, in);
    for (const std::string& p : in.m_aProblems) std::printf("%s: %s\n", args[0].c_str(), p.c_str());
    if (!in.m_aProblems.empty()) return 1;
    size_t data = 0;
    for (const T_BN_SLOT_INFO& s : in.m_aSlots) data += s.nState == BN_SLOT_DATA;
    std::printf("%s: ok, %zu group(s), %zu data set(s)\n", args[0].c_str(), in.m_aGroups.size(), data);
    return 0;
}

// A CBnFile bound to the file with the file's own head name, type and version.
void BindToFile(OpenedFile& f, CBnFile& bn, const CBnFileSurvey& in) {
    const T_BN_MAIN_HEAD& mh = in.m_MainHead;
    bn.INIT_F(&f.file, mh.szHeadName, mh.nFileType, mh.fVersion);
    float version = 0;
    if (int st = bn.CHKHED_F(version)) Bad(LibraryFailure(st));
}

int Cat(const std::vector<std::string>& args) {
    std::vector<std::string> pos;
    bool hex = false;
    for (const std::string& a : args) {
        if (a == "--hex") hex = true;
        else if (a.size() > 1 && a[0] == '-' && pos.size() != 2) Bad("unknown option '" + a + "'");
        else pos.push_back(a);
    }
    if (pos.size() != 3) Bad("cat needs FILE NAME ID");
    const std::string name = DataSetName(pos[1]);
    const int id = ParseId(pos[2]);
    OpenedFile f;
    OpenFile(f, pos[0], CFile::modeRead);
    CBnFileSurvey in;
    LoadDirectory(f, in);
    CBnFile bn;
    BindToFile(f, bn, in);
    int first = 0, len = 0, count = 0;
    if (int st = bn.READ_F(name.c_str(), id, first, len, count)) Bad(LibraryFailure(st), st == BN_ERR_NOT_FOUND ? 1 : 2);
    const long long offset = (static_cast<long long>(first) - 1) * len * 4;
    const long long bytes = static_cast<long long>(count) * len * 4;
    if (offset + bytes > in.m_llFileLength)
        Bad("the records of \"" + name + "\" id " + std::to_string(id) + " (bytes " + std::to_string(offset) + ".." +
            std::to_string(offset + bytes) + ") run past the end of the file (" + std::to_string(in.m_llFileLength) +
            " bytes)");
    const size_t recBytes = static_cast<size_t>(len) * 4;
    std::vector<unsigned char> rec(recBytes);
    for (int r = 0; r < count; ++r) {
        if (f.file.Read(rec.data(), static_cast<UINT>(recBytes)) != recBytes) Bad("'" + pos[0] + "' ended while reading");
        if (!hex) {
            std::fwrite(rec.data(), 1, recBytes, stdout);
            continue;
        }
        std::printf("%d:", first + r);
        for (size_t i = 0; i < recBytes; ++i) std::printf("%s%02x", i % 4 == 0 ? " " : "", rec[i]);
        std::printf("\n");
        if (std::ferror(stdout)) break;
    }
    return 0;
}

int Put(const std::vector<std::string>& args) {
    std::vector<std::string> pos;
    std::string head, lengthText, typeText, versionText;
    bool haveHead = false, haveType = false, haveVersion = false, haveLength = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--length" || a == "--head" || a == "--type" || a == "--version") {
            if (i + 1 >= args.size()) Bad("option " + a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--length") lengthText = v, haveLength = true;
            else if (a == "--head") head = v, haveHead = true;
            else if (a == "--type") typeText = v, haveType = true;
            else versionText = v, haveVersion = true;
        } else if (a.size() > 1 && a[0] == '-' && pos.size() != 2) {
            Bad("unknown option '" + a + "'");
        } else {
            pos.push_back(a);
        }
    }
    if (pos.size() != 3) Bad("put needs FILE NAME ID");
    const std::string name = DataSetName(pos[1]);
    const int id = ParseId(pos[2]);
    if (!haveLength) Bad("missing --length WORDS");
    long long words = 0;
    if (!ParseInt(lengthText, 1, 2147483647LL, words)) Bad("--length '" + lengthText + "' must be a whole number of words, 1 or more");
    std::string headName = "NONE";
    if (haveHead) headName = FourChars(head, "--head");
    long long type = 0;
    if (haveType && !ParseInt(typeText, -2147483647LL - 1, 2147483647LL, type)) Bad("--type '" + typeText + "' is not a 32-bit integer");
    float version = 0.0f;
    if (haveVersion) {
        char* end = nullptr;
        errno = 0;
        version = std::strtof(versionText.c_str(), &end);
        if (versionText.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(version))
            Bad("--version '" + versionText + "' is not a number");
    }

    std::vector<unsigned char> input;
    unsigned char buf[65536];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0) input.insert(input.end(), buf, buf + n);
    if (std::ferror(stdin)) Bad(std::string("cannot read standard input: ") + std::strerror(errno));
    const unsigned long long recBytes = static_cast<unsigned long long>(words) * 4;
    if (input.size() % recBytes != 0)
        Bad("standard input holds " + std::to_string(input.size()) + " bytes, not a whole number of records of " +
            std::to_string(recBytes) + " bytes");
    const unsigned long long count = input.size() / recBytes;
    if (count > 2147483647ULL) Bad("too many records for one data set");

    OpenedFile f;
    OpenFile(f, pos[0], CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    CBnFile bn;
    if (f.file.GetLength() == 0) {
        bn.INIT_F(&f.file, headName.c_str(), static_cast<int>(type), version);
        if (int st = bn.CREATE_F()) Bad(LibraryFailure(st));
    } else {
        CBnFileSurvey in;
        LoadDirectory(f, in);
        const T_BN_MAIN_HEAD& mh = in.m_MainHead;
        const std::string fileHead(mh.szHeadName, 4);
        if (haveHead && headName != fileHead)
            Bad("'" + pos[0] + "' has head \"" + CBnFileSurvey::NameText(mh.szHeadName) + "\", not \"" + headName + "\"");
        if (haveType && type != mh.nFileType)
            Bad("'" + pos[0] + "' has file type " + std::to_string(mh.nFileType) + ", not " + typeText);
        if (haveVersion && !(version == mh.fVersion))
            Bad("'" + pos[0] + "' has version " + FloatText(mh.fVersion) + ", not " + versionText);
        BindToFile(f, bn, in);
    }
    int first = 0;
    if (int st = bn.WRITE_F(name.c_str(), id, first, static_cast<int>(words), static_cast<int>(count)))
        Bad(LibraryFailure(st));
    if (!input.empty()) f.file.Write(input.data(), static_cast<UINT>(input.size()));
    f.file.Close();
    std::printf("%s: \"%s\" id %d: %llu record(s) of %lld word(s) from record %d (byte %lld)\n", pos[0].c_str(),
                name.c_str(), id, count, words, first, (static_cast<long long>(first) - 1) * words * 4);
    return 0;
}

}  // namespace

int gorv_cmd_datafile(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& a : args) {
        if (a == "-h" || a == "--help") {
            std::fputs(kUsage, stdout);
            return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 2;
        }
    }
    int rc = 0;
    try {
        if (args.empty()) Bad("missing action (list, check, cat or put)");
        const std::string action = args[0];
        args.erase(args.begin());
        if (action == "list") rc = List(args);
        else if (action == "check") rc = Check(args);
        else if (action == "cat") rc = Cat(args);
        else if (action == "put") rc = Put(args);
        else Bad("unknown action '" + action + "' (list, check, cat or put)");
    } catch (const Fail& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "gorv datafile: %s\n", e.message.c_str());
        return e.code;
    } catch (const CFileException& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "gorv datafile: file error: %s\n", OsText(e).c_str());
        return 2;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "gorv datafile: cannot write the output: %s\n", std::strerror(errno));
        return 2;
    }
    return rc;
}
