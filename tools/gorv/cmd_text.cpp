// gorv text KEY [--lang en|ko|zh]: prints the localized text of KEY in UTF-8.
// gorv text --list [--lang en|ko|zh]: prints every key of that language's table with its text.
#include "cli_io.h"
#include "commands.h"

#include <gorv/gorv_base.h>

#include "text/str_res_tables.h"

#include <cstdio>
#include <string>

namespace {

const char kTextUsage[] =
    "usage: gorv text KEY [--lang en|ko|zh]\n"
    "       gorv text --list [--lang en|ko|zh]\n"
    "  KEY     prints the text of KEY (exit 1 and the placeholder text when KEY is unknown)\n"
    "  --list  prints every key of the language's table and its text, one per line: KEY<TAB>text\n"
    "          (a line break or tab inside a text prints as \\n or \\t)\n"
    "  --lang  en (default), ko or zh\n";

int TextUsageError(const std::string& message) {
    return gorv_cli::UsageError("text", message);
}

// Prints the table of lang in registration order, each text as LoadStr serves it.
int ListTexts(Gorv::link::Language lang) {
    std::size_t count = 0;
    const detail::StrResEntry* rows = lang == Gorv::link::Korean    ? detail::StrResTableKR(count)
                                      : lang == Gorv::link::Chinese ? detail::StrResTableZH(count)
                                                                    : detail::StrResTableEN(count);
    CMsgDll::SetLoadStrFunc(lang);
    for (std::size_t i = 0; i < count; ++i) {
        std::string line = CString(rows[i].key).ToUtf8() + '\t';
        for (char c : CString(CMsgDll::pfuncLoadStr(rows[i].key, 0)).ToUtf8()) {
            if (c == '\n') line += "\\n";
            else if (c == '\t') line += "\\t";
            else if (c == '\\') line += "\\\\";
            else line += c;
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}

bool ParseTextLang(const std::string& name, Gorv::link::Language& lang) {
    if (name == "en") lang = Gorv::link::English;
    else if (name == "ko") lang = Gorv::link::Korean;
    else if (name == "zh") lang = Gorv::link::Chinese;
    else return false;
    return true;
}

}  // namespace

int gorv_cmd_text(int argc, char** argv) {
    Gorv::link::Language lang = Gorv::link::English;
    const char* key = nullptr;
    bool list = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kTextUsage, stdout);
            return 0;
        }
        std::string langName;
        if (arg == "--list") {
            list = true;
            continue;
        }
        if (arg == "--lang") {
            if (i + 1 >= argc)
                return TextUsageError("--lang needs a value (en, ko or zh)");
            langName = argv[++i];
        } else if (arg.compare(0, 7, "--lang=") == 0) {
            langName = arg.substr(7);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return TextUsageError("unknown option '" + arg + "'");
        } else {
            if (key != nullptr)
                return TextUsageError("more than one KEY given");
            key = argv[i];
            continue;
        }
        if (!ParseTextLang(langName, lang))
            return TextUsageError("unknown language '" + langName + "' (use en, ko or zh)");
    }
    if (list) {
        if (key != nullptr) return TextUsageError("--list takes no KEY");
        return ListTexts(lang);
    }
    if (key == nullptr || *key == '\0')
        return TextUsageError("missing KEY");

    CMsgDll::SetLoadStrFunc(lang);
    const CString wkey = CString::FromUtf8(key);
    const CString text = CMsgDll::pfuncLoadStr(wkey, 0);
    const std::string out = text.ToUtf8();
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fputc('\n', stdout);
    // An unregistered key prints its placeholder but counts as "no result".
    return text == wkey + CString(L":미등록 문자열") ? 1 : 0;
}
