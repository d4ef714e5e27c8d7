// `gorv unit convert VALUE --kind K (--from F,L | --from-preset S) (--to F,L | --to-preset S)`
// converts one value of a quantity kind between unit systems; `gorv unit list` prints the unit
// names, the preset systems and the quantity kinds with their force and length exponents and the
// common name of their dimension.
// Exit codes: 0 ok, 2 bad input or arguments.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gorv/gorv_base.h>

#include "cli_io.h"
#include "commands.h"

namespace {

using gorv_cli::ParseInt;

const char* const kUsage =
    "usage: gorv unit convert VALUE --kind K (--from FORCE,LENGTH | --from-preset 1..3)\n"
    "                                        (--to FORCE,LENGTH | --to-preset 1..3)\n"
    "       gorv unit list\n"
    "  e.g. gorv unit convert 1 --kind 17 --from N,mm --to kN,m\n";

const int kForceUnits = 6;
const int kLengthUnits = 5;

// Every error of this command is about its arguments: one line, then the --help hint.
int BadInput(const std::string& msg)
{
    return gorv_cli::UsageError("unit", msg);
}

// Exponents of the conversion factor of a kind, measured through the library itself:
// a kgf -> tonf change scales by 1000 per force power, a cm -> m change by 100 per length power.
void ConversionExponents(int kind, int& forceExp, int& lengthExp)
{
    CGorvBaseUnit unit;
    const T_GORV_UNIT_INDEX kgfCm = {1, 0, 1, 0, 0, 0};
    const T_GORV_UNIT_INDEX tonfCm = {1, 0, 1, 1, 0, 0};
    const T_GORV_UNIT_INDEX kgfM = {1, 0, 2, 0, 0, 0};
    forceExp = static_cast<int>(std::lround(std::log(unit.Change_Factor(kgfCm, tonfCm, kind)) / std::log(1000.0)));
    lengthExp = static_cast<int>(std::lround(std::log(unit.Change_Factor(kgfCm, kgfM, kind)) / std::log(100.0)));
}

// A kind the library knows: it has a conversion factor or listed exponents.
bool IsKnownKind(int kind)
{
    if (kind < 1 || kind > 203) return false;
    int f = 0, l = 0;
    ConversionExponents(kind, f, l);
    int cf = 0, cl = 0;
    return f != 0 || l != 0 || CGorvBaseUnit::Get_UnitCombNum(kind, cf, cl) != 0;
}


bool ParseValue(const std::string& s, double& out)
{
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    // ERANGE also flags underflow to a tiny or zero value, which is still a usable number.
    if (*end != '\0' || !std::isfinite(v) || (errno == ERANGE && std::fabs(v) >= 1.0)) return false;
    out = v;
    return true;
}

int FindUnit(const std::string& name, bool force)
{
    const CString want(name.c_str());
    const int count = force ? kForceUnits : kLengthUnits;
    for (int i = 0; i < count; ++i) {
        const CString have = force ? CGorvBaseUnit::Get_UnitName_Force(i) : CGorvBaseUnit::Get_UnitName_Length(i);
        if (have == want) return i;
    }
    return -1;
}

// Fewest significant digits that read back as the same double (0.1, not 0.10000000000000001).
void PrintShortest(double v)
{
    char buf[64];
    for (int prec = 1; prec <= 17; ++prec) {
        std::snprintf(buf, sizeof buf, "%.*g", prec, v);
        if (std::strtod(buf, nullptr) == v) break;
    }
    // Whole numbers up to 17 digits stay in plain notation (2500, not 2.5e+03).
    const char* e = std::strchr(buf, 'e');
    const int exp10 = e ? std::atoi(e + 1) : -1;
    if (exp10 >= 0 && exp10 < 17) std::snprintf(buf, sizeof buf, "%.*g", exp10 + 1, v);
    std::printf("%s\n", buf);
}

// One side of the conversion: explicit FORCE,LENGTH or a preset system.
struct Side {
    bool set = false;
    int explicitFlag = 1;
    int system = 0;
    int force = 0;
    int length = 0;
};

bool ParseUnitPair(const std::string& text, Side& side, std::string& err)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos || text.find(',', comma + 1) != std::string::npos) {
        err = "expected FORCE,LENGTH but got '" + text + "'";
        return false;
    }
    const std::string f = text.substr(0, comma), l = text.substr(comma + 1);
    side.force = FindUnit(f, true);
    if (side.force < 0) {
        err = "unknown force unit '" + f + "' (kgf, tonf, N, kN, lbf, kip)";
        return false;
    }
    side.length = FindUnit(l, false);
    if (side.length < 0) {
        err = "unknown length unit '" + l + "' (mm, cm, m, in, ft)";
        return false;
    }
    side.set = true;
    side.explicitFlag = 1;
    side.system = 0;
    return true;
}

bool ParsePreset(const std::string& text, Side& side, std::string& err)
{
    int s = 0;
    if (!ParseInt(text, s) || s < 1 || s > 3) {
        err = "preset system must be 1, 2 or 3, got '" + text + "'";
        return false;
    }
    side.set = true;
    side.explicitFlag = 0;
    side.system = s;
    side.force = 0;
    side.length = 0;
    return true;
}

int Convert(int argc, char** argv)
{
    std::string valueText;
    bool haveValue = false;
    int kind = 0;
    bool haveKind = false;
    Side from, to;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            if (arg != "--kind" && arg != "--from" && arg != "--to" && arg != "--from-preset" && arg != "--to-preset")
                return BadInput("unknown option " + arg);
            if (i + 1 >= argc) return BadInput("option " + arg + " needs a value");
            const std::string val = argv[++i];
            std::string err;
            if (arg == "--kind") {
                if (!ParseInt(val, kind) || !IsKnownKind(kind))
                    return BadInput("unknown quantity kind '" + val + "' (see gorv unit list)");
                haveKind = true;
            } else if (arg == "--from" || arg == "--to") {
                Side& side = arg == "--from" ? from : to;
                if (side.set) return BadInput(arg + ": source/target given twice");
                if (!ParseUnitPair(val, side, err)) return BadInput(arg + ": " + err);
            } else if (arg == "--from-preset" || arg == "--to-preset") {
                Side& side = arg == "--from-preset" ? from : to;
                if (side.set) return BadInput(arg + ": source/target given twice");
                if (!ParsePreset(val, side, err)) return BadInput(arg + ": " + err);
            } else {
                return BadInput("unknown option " + arg);
            }
        } else {
            if (haveValue) return BadInput("more than one value: '" + arg + "'");
            valueText = arg;
            haveValue = true;
        }
    }
    if (!haveValue) return BadInput("missing VALUE");
    double value = 0;
    if (!ParseValue(valueText, value)) return BadInput("bad number '" + valueText + "'");
    if (!haveKind) return BadInput("missing --kind");
    if (!from.set) return BadInput("missing --from or --from-preset");
    if (!to.set) return BadInput("missing --to or --to-preset");

    CGorvBaseUnit unit;
    const double result = unit.ConvertSrcUnitData2TgtUnit(to.force, to.length, from.force, from.length, kind, value,
                                                          to.explicitFlag, to.system, from.explicitFlag, from.system);
    PrintShortest(result);
    return 0;
}

// Common name of the dimension force^f * length^l, or null where it has none.
const char* DimensionName(int f, int l)
{
    static const struct { int f, l; const char* name; } kNames[] = {
        {0, 0, "dimensionless"},
        {1, 0, "force"},
        {0, 1, "length"},
        {0, 2, "area"},
        {0, 3, "volume"},
        {0, 4, "second moment of area (L^4)"},
        {1, 1, "moment (F*L)"},
        {1, -1, "line load (F/L)"},
        {1, -2, "stress or pressure (F/L^2)"},
        {1, -3, "unit weight (F/L^3)"},
    };
    for (const auto& n : kNames)
        if (n.f == f && n.l == l) return n.name;
    return nullptr;
}

int List()
{
    std::printf("force units:");
    for (int i = 0; i < kForceUnits; ++i)
        std::printf(" %s", CGorvBaseUnit::Get_UnitName_Force(i).ToUtf8().c_str());
    std::printf("\nlength units:");
    for (int i = 0; i < kLengthUnits; ++i)
        std::printf(" %s", CGorvBaseUnit::Get_UnitName_Length(i).ToUtf8().c_str());
    std::printf("\npreset systems (default units; some kinds use larger ones):\n"
                "  1  N, mm   (kN, m)\n"
                "  2  lbf, in (kip, in / kip, ft)\n"
                "  3  kgf, cm (tonf, m / kgf, m)\n");
    std::printf("kinds: a value of kind K converts as force^F * length^L\n"
                "(--kind takes K, and several kinds share a dimension)\n");
    std::printf("%5s %3s %3s  %s\n", "kind", "F", "L", "dimension");
    for (int kind = 1; kind <= 203; ++kind) {
        if (!IsKnownKind(kind)) continue;
        int f = 0, l = 0;
        ConversionExponents(kind, f, l);
        const char* name = DimensionName(f, l);
        std::printf("%5d %3d %3d  %s\n", kind, f, l, name ? name : "-");
    }
    return 0;
}

} // namespace

int gorv_cmd_unit(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (argc < 2) return BadInput("missing action (convert or list)");
    const std::string action = argv[1];
    if (action == "convert") return Convert(argc, argv);
    if (action == "list") {
        if (argc > 2) return BadInput("list takes no arguments");
        return List();
    }
    return BadInput("unknown action '" + action + "'");
}
