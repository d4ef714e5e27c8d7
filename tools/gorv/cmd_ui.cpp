// `gorv ui progress --pos N [options]` draws the text progress control as the library paints it
// and writes the picture as PNG (`--png FILE`, or `-` for standard output), or prints the text it
// would draw and the bar width. Exit codes: 0 drawn, 1 nothing to draw (empty range), 2 bad
// arguments or an output that could not be written.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gorv/gorv_base.h>

#include "cli_io.h"
#include "commands.h"

namespace {

using gorv_cli::ParseInt;

const char* const kUsage =
    "usage: gorv ui progress --pos N [--range LOWER,UPPER] [--caption TEXT] [--size WxH]\n"
    "                        [--bar COLOUR] [--back COLOUR] [--text-bar COLOUR] [--text-back COLOUR]\n"
    "                        [--font FACE] [--font-size PX] [--png FILE]\n"
    "  Colours are #RRGGBB. Defaults: range 0,100, size 200x24, bar #0078D7 on #FFFFFF, text #FFFFFF\n"
    "  over the bar and #0078D7 over the background, the default face, 13-pixel cell height.\n"
    "  Without --png, prints the text that would be drawn and the bar width. --png - writes to\n"
    "  standard output.\n"
    "  e.g. gorv ui progress --pos 33 --caption \"Loading\" --png progress.png\n";

const int kMaxSide = 4096;
const int kMaxFontPx = 1000;

int BadInput(const std::string& msg) {
    std::fprintf(stderr, "gorv ui: %s\n", msg.c_str());
    return 2;
}

bool ParsePair(const std::string& s, char sep, int& a, int& b) {
    const size_t at = s.find(sep);
    return at != std::string::npos && ParseInt(s.substr(0, at), a) && ParseInt(s.substr(at + 1), b);
}

bool ParseColour(const std::string& s, COLORREF& out) {
    if (s.size() != 7 || s[0] != '#') return false;
    for (size_t i = 1; i < 7; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(s[i]))) return false;
    const unsigned long v = std::strtoul(s.c_str() + 1, nullptr, 16);
    out = RGB((v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff);
    return true;
}

// Writes all bytes and closes; false with errno set when any step fails (a full device shows at
// the flush or close).
bool WriteAll(std::FILE* f, const std::vector<unsigned char>& bytes) {
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fflush(f) == 0 && ok && !std::ferror(f);
}

int Progress(int argc, char** argv) {
    int pos = 0, lower = 0, upper = 100, width = 200, height = 24, fontPx = 13;
    bool havePos = false;
    std::string caption, face, png;
    bool havePng = false;
    COLORREF bar = GetSysColor(COLOR_HIGHLIGHT), back = GetSysColor(COLOR_WINDOW);
    COLORREF textBar = GetSysColor(COLOR_WINDOW), textBack = GetSysColor(COLOR_HIGHLIGHT);
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg.compare(0, 2, "--") != 0) return BadInput("unexpected argument '" + arg + "'");
        if (i + 1 >= argc) return BadInput("option " + arg + " needs a value");
        const std::string val = argv[++i];
        if (arg == "--pos") {
            if (!ParseInt(val, pos)) return BadInput("--pos: bad integer '" + val + "'");
            havePos = true;
        } else if (arg == "--range") {
            if (!ParsePair(val, ',', lower, upper)) return BadInput("--range: expected LOWER,UPPER but got '" + val + "'");
        } else if (arg == "--caption") {
            caption = val;
        } else if (arg == "--size") {
            if (!ParsePair(val, 'x', width, height) || width < 1 || height < 1 || width > kMaxSide || height > kMaxSide)
                return BadInput("--size: expected WxH with sides 1.." + std::to_string(kMaxSide) + " but got '" + val + "'");
        } else if (arg == "--bar" || arg == "--back" || arg == "--text-bar" || arg == "--text-back") {
            COLORREF& c = arg == "--bar" ? bar : arg == "--back" ? back : arg == "--text-bar" ? textBar : textBack;
            if (!ParseColour(val, c)) return BadInput(arg + ": expected a colour #RRGGBB but got '" + val + "'");
        } else if (arg == "--font") {
            face = val;
        } else if (arg == "--font-size") {
            if (!ParseInt(val, fontPx) || fontPx < 1 || fontPx > kMaxFontPx)
                return BadInput("--font-size: expected pixels 1.." + std::to_string(kMaxFontPx) + " but got '" + val + "'");
        } else if (arg == "--png") {
            if (val.empty()) return BadInput("--png: empty file name");
            png = val;
            havePng = true;
        } else {
            return BadInput("unknown option " + arg);
        }
    }
    if (!havePos) return BadInput("missing --pos");

    CTextProgressCtrl ctrl;
    ctrl.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, width, height), nullptr, 1);
    ctrl.SetForeColour(bar);
    ctrl.SetBkColour(back);
    ctrl.SetTextBkColour(textBar);
    ctrl.SetTextForeColour(textBack);
    ctrl.SetFontData(CString(face.c_str()), FW_BOLD, 0, 0);
    ctrl.SetFontSize(fontPx);
    ctrl.SetRange(lower, upper);
    ctrl.SetWindowText(CString(caption.c_str()));
    ctrl.SetPos(pos);
    // SetPos redraws only when the bar width changes; make sure this one picture is painted.
    ctrl.Invalidate();
    ctrl.UpdateWindow();

    if (lower >= upper) {
        std::fprintf(stderr, "gorv ui: nothing drawn: the range %d,%d is empty (lower >= upper)\n", lower, upper);
        return 1;
    }
    if (!havePng) {
        std::printf("text: %s\nbar width: %d of %d pixels\n", ctrl.GetDisplayText().ToUtf8().c_str(),
                    ctrl.GetBarWidth(), width);
        if (std::fflush(stdout) != 0 || std::ferror(stdout))
            return BadInput(std::string("cannot write to standard output: ") + std::strerror(errno));
        return 0;
    }
    std::vector<unsigned char> bytes;
    if (!ctrl.GetTarget().EncodePng(bytes)) return BadInput("cannot encode the picture as PNG");
    if (png == "-") {
        if (!WriteAll(stdout, bytes))
            return BadInput(std::string("cannot write to standard output: ") + std::strerror(errno));
        return 0;
    }
    // Only a file this run created is removed after a failed write: the path may name a device
    // or a file the user had.
    std::error_code ec;
    const bool existed = std::filesystem::exists(png, ec) || ec;
    std::FILE* f = std::fopen(png.c_str(), "wb");
    if (!f) return BadInput("cannot write " + png + ": " + std::strerror(errno));
    const bool ok = WriteAll(f, bytes);
    const int savedErrno = errno;
    if (std::fclose(f) != 0 || !ok) {
        const int err = ok ? errno : savedErrno;
        if (!existed) std::remove(png.c_str());
        return BadInput("cannot write " + png + ": " + std::strerror(err));
    }
    return 0;
}

}  // namespace

int gorv_cmd_ui(int argc, char** argv) {
    if (argc < 2) return BadInput("missing action (progress); see gorv ui --help");
    const std::string action = argv[1];
    if (action == "--help" || action == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (action == "progress") return Progress(argc, argv);
    return BadInput("unknown action '" + action + "' (progress)");
}
