// gorv text KEY [--lang en|ko|zh]: prints the localized text of KEY in UTF-8.
#include "commands.h"

#include <gorv/gorv_base.h>

#include <cstdio>
#include <string>

namespace {

const char kTextUsage[] = "usage: gorv text KEY [--lang en|ko|zh]\n";

int TextUsageError(const std::string& message) {
    std::fprintf(stderr, "gorv text: %s\n", message.c_str());
    std::fputs(kTextUsage, stderr);
    return 2;
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
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kTextUsage, stdout);
            return 0;
        }
        std::string langName;
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
