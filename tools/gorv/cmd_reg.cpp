// `gorv reg`: read and change the settings store from the command line, and move keys in and out
// of it as .reg text ("Windows Registry Editor Version 5.00"). An import runs as one transaction:
// a malformed line or a failed write leaves the store as it was.
// Exit codes: 0 done, 1 no such key or value, 2 bad arguments or input, store or output failure.
#include "commands.h"

#include <gorv/gorv_base.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: gorv reg get PATH NAME\n"
    "       gorv reg set PATH NAME (--sz TEXT | --dword N)\n"
    "       gorv reg delete PATH NAME\n"
    "       gorv reg list PATH [--json]\n"
    "       gorv reg where\n"
    "       gorv reg export PATH [FILE]\n"
    "       gorv reg import FILE\n"
    "PATH is a key such as HKEY_CURRENT_USER\\Software\\TELUN\\TEST (HKCU, HKLM, HKCR, HKU and HKCC\n"
    "abbreviate the roots); an empty NAME (\"\") is the key's default value. export writes FILE as\n"
    "UTF-16LE .reg text, or UTF-8 to standard output without FILE or with '-'; import reads either\n"
    "('-' reads standard input). The store is $GORV_REGISTRY, else $XDG_CONFIG_HOME/gorv/registry.db,\n"
    "else ~/.config/gorv/registry.db.\n";

const char kHeader[] = "Windows Registry Editor Version 5.00";

int Fail(const std::string& message) {
    std::fprintf(stderr, "gorv reg: %s\n", message.c_str());
    return 2;
}

int NoResult(const std::string& message) {
    std::fprintf(stderr, "gorv reg: %s\n", message.c_str());
    return 1;
}

std::string Utf8(const std::wstring& w) { return CString(w).ToUtf8(); }

std::string StoreError(LSTATUS rc) {
    const std::string where = GorvRegStorePath().ToUtf8();
    switch (rc) {
    case ERROR_BADDB: return "the settings store " + where + " is damaged or not a settings store";
    case ERROR_ACCESS_DENIED: return "the settings store " + where + " cannot be written";
    case ERROR_BUSY: return "the settings store " + where + " is held by another process";
    case ERROR_CANTOPEN:
        return "no place for the settings store (" + (where.empty() ? "set GORV_REGISTRY" : where) + ")";
    case ERROR_INVALID_PARAMETER: return "a name or value the settings store cannot hold";
    case ERROR_KEY_DELETED: return "the key was deleted meanwhile";
    case ERROR_NOT_ENOUGH_MEMORY: return "out of memory";
    default: return "writing the settings store " + where + " failed";
    }
}

// Writes all of bytes to f; false (errno set) on a write error or a full device.
bool WriteAll(std::FILE* f, const std::string& bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return false;
    return std::fflush(f) == 0 && !std::ferror(f);
}

int Output(const std::string& bytes) {
    if (!WriteAll(stdout, bytes)) return Fail(std::string("cannot write the output: ") + std::strerror(errno));
    return 0;
}

// ---- paths ----------------------------------------------------------------------------------

struct KeyPath {
    HKEY root = nullptr;
    std::wstring rootName;
    std::wstring sub;  // below the root; may be empty
};

bool EqualsAsciiNoCase(const std::wstring& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        wchar_t x = a[i], y = static_cast<wchar_t>(b[i]);
        if (x >= L'a' && x <= L'z') x = static_cast<wchar_t>(x - 32);
        if (y >= L'a' && y <= L'z') y = static_cast<wchar_t>(y - 32);
        if (x != y) return false;
    }
    return i == a.size() && b[i] == 0;
}

// Root names; abbreviations only where abbreviations is set (command-line paths).
bool ParseKeyPath(const std::wstring& text, bool abbreviations, KeyPath& out) {
    static const struct {
        const char* name;
        const char* abbr;
        HKEY key;
    } kRoots[] = {{"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
                  {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
                  {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
                  {"HKEY_USERS", "HKU", HKEY_USERS},
                  {"HKEY_CURRENT_CONFIG", "HKCC", HKEY_CURRENT_CONFIG}};
    const std::size_t slash = text.find(L'\\');
    const std::wstring first = text.substr(0, slash);
    for (const auto& r : kRoots) {
        if (EqualsAsciiNoCase(first, r.name) || (abbreviations && EqualsAsciiNoCase(first, r.abbr))) {
            out.root = r.key;
            out.rootName = std::wstring(r.name, r.name + std::strlen(r.name));
            out.sub = slash == std::wstring::npos ? L"" : text.substr(slash + 1);
            return true;
        }
    }
    return false;
}

// ---- value data ------------------------------------------------------------------------------

std::wstring TypeName(DWORD type) {
    switch (type) {
    case REG_NONE: return L"REG_NONE";
    case REG_SZ: return L"REG_SZ";
    case REG_EXPAND_SZ: return L"REG_EXPAND_SZ";
    case REG_BINARY: return L"REG_BINARY";
    case REG_DWORD: return L"REG_DWORD";
    case REG_DWORD_BIG_ENDIAN: return L"REG_DWORD_BIG_ENDIAN";
    case REG_LINK: return L"REG_LINK";
    case REG_MULTI_SZ: return L"REG_MULTI_SZ";
    case REG_QWORD: return L"REG_QWORD";
    default: {
        wchar_t buf[24];
        std::swprintf(buf, 24, L"REG_0x%X", static_cast<unsigned>(type));
        return buf;
    }
    }
}

// The text of a REG_SZ that the quoted form carries exactly: UTF-16LE ending in its one zero
// character, with no other zero, no line break and no unpaired surrogate.
bool QuotableText(const std::vector<BYTE>& data, std::wstring& text) {
    text.clear();
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    const std::size_t n = data.size() / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t u = data[2 * i] | (static_cast<std::uint32_t>(data[2 * i + 1]) << 8);
        if (u == 0) return i == n - 1;
        if (u == L'\r' || u == L'\n') return false;
        if (u >= 0xDC00 && u < 0xE000) return false;
        if (u >= 0xD800 && u < 0xDC00) {
            if (i + 1 >= n) return false;
            const std::uint32_t v = data[2 * i + 2] | (static_cast<std::uint32_t>(data[2 * i + 3]) << 8);
            if (v < 0xDC00 || v >= 0xE000) return false;
            text += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
            ++i;
            continue;
        }
        text += static_cast<wchar_t>(u);
    }
    return false;
}

bool IsDword(DWORD type, const std::vector<BYTE>& data) { return type == REG_DWORD && data.size() == 4; }

std::vector<BYTE> DwordBytes(DWORD v) {
    return {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16), static_cast<BYTE>(v >> 24)};
}

DWORD DwordOf(const std::vector<BYTE>& d) {
    return d[0] | (static_cast<DWORD>(d[1]) << 8) | (static_cast<DWORD>(d[2]) << 16) | (static_cast<DWORD>(d[3]) << 24);
}

std::wstring HexBytes(const std::vector<BYTE>& data) {
    std::wstring out;
    wchar_t buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::swprintf(buf, 4, L"%02x", static_cast<unsigned>(data[i]));
        if (i) out += L',';
        out += buf;
    }
    return out;
}

std::wstring HexPrefix(DWORD type) {
    if (type == REG_BINARY) return L"hex:";
    wchar_t buf[24];
    std::swprintf(buf, 24, L"hex(%x):", static_cast<unsigned>(type));
    return buf;
}

// The value as get and list show it: the text, the number, or hex bytes.
std::wstring Shown(DWORD type, const std::vector<BYTE>& data) {
    std::wstring text;
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && QuotableText(data, text)) return text;
    if (IsDword(type, data)) return std::to_wstring(DwordOf(data));
    return HexPrefix(type) + HexBytes(data);
}

std::wstring Quoted(const std::wstring& s) {
    std::wstring out = L"\"";
    for (wchar_t c : s) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
    return out + L"\"";
}

// One value in .reg form, hex lists wrapped at 80 columns with "\" continuations.
std::wstring RegLine(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    std::wstring line = name.empty() ? L"@=" : Quoted(name) + L"=";
    std::wstring text;
    if (type == REG_SZ && QuotableText(data, text)) return line + Quoted(text) + L"\n";
    if (IsDword(type, data)) {
        wchar_t buf[16];
        std::swprintf(buf, 16, L"dword:%08x", static_cast<unsigned>(DwordOf(data)));
        return line + buf + L"\n";
    }
    std::wstring out;
    line += HexPrefix(type);
    wchar_t buf[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::swprintf(buf, 4, L"%02x", static_cast<unsigned>(data[i]));
        line += buf;
        if (i + 1 < data.size()) {
            line += L',';
            if (line.size() > 76) {
                out += line + L"\\\n";
                line = L"  ";
            }
        }
    }
    return out + line + L"\n";
}

// ---- reading the store -----------------------------------------------------------------------

struct Value {
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

LSTATUS ReadValues(HKEY h, std::vector<Value>& out) {
    for (DWORD i = 0;; ++i) {
        std::vector<wchar_t> name(256);
        DWORD cch = static_cast<DWORD>(name.size());
        DWORD size = 0;
        Value v;
        LSTATUS rc = RegEnumValueW(h, i, name.data(), &cch, nullptr, &v.type, nullptr, &size);
        if (rc == ERROR_MORE_DATA) {
            name.resize(cch + 1);
            cch = static_cast<DWORD>(name.size());
            rc = RegEnumValueW(h, i, name.data(), &cch, nullptr, &v.type, nullptr, &size);
        }
        if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (rc != ERROR_SUCCESS) return rc;
        v.name.assign(name.data(), cch);
        v.data.resize(size);
        DWORD got = size;
        cch = static_cast<DWORD>(name.size());
        rc = RegEnumValueW(h, i, name.data(), &cch, nullptr, &v.type, v.data.data(), &got);
        if (rc != ERROR_SUCCESS) return rc;
        out.push_back(std::move(v));
    }
}

LSTATUS ReadSubkeys(HKEY h, std::vector<std::wstring>& out) {
    for (DWORD i = 0;; ++i) {
        std::vector<wchar_t> name(256);
        DWORD cch = static_cast<DWORD>(name.size());
        LSTATUS rc = RegEnumKeyExW(h, i, name.data(), &cch, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) {
            name.resize(cch + 1);
            cch = static_cast<DWORD>(name.size());
            rc = RegEnumKeyExW(h, i, name.data(), &cch, nullptr, nullptr, nullptr, nullptr);
        }
        if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (rc != ERROR_SUCCESS) return rc;
        out.emplace_back(name.data(), cch);
    }
}

// Opens PATH for reading; an exit code when it cannot.
int OpenForRead(const std::string& pathArg, KeyPath& path, HKEY& h) {
    if (!ParseKeyPath(CString::FromUtf8(pathArg).str(), true, path))
        return Fail("'" + pathArg + "' does not start with a root key such as HKEY_CURRENT_USER");
    const LSTATUS rc = RegOpenKeyExW(path.root, path.sub.c_str(), 0, KEY_READ, &h);
    if (rc == ERROR_FILE_NOT_FOUND) return NoResult("no key " + pathArg);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));
    return 0;
}

// ---- subcommands -----------------------------------------------------------------------------

int CmdGet(const std::vector<std::string>& args) {
    if (args.size() != 2) return Fail("get needs PATH and NAME");
    KeyPath path;
    HKEY h = nullptr;
    if (int rc = OpenForRead(args[0], path, h)) return rc;
    const std::wstring name = CString::FromUtf8(args[1]).str();
    DWORD type = 0, size = 0;
    LSTATUS rc = RegQueryValueExW(h, name.c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (rc == ERROR_SUCCESS) rc = RegQueryValueExW(h, name.c_str(), nullptr, &type, data.data(), &size);
    RegCloseKey(h);
    if (rc == ERROR_FILE_NOT_FOUND) return NoResult("no value '" + args[1] + "' in " + args[0]);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));
    return Output(Utf8(Shown(type, data)) + "\n");
}

bool ParseDword(const std::string& s, DWORD& out) {
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    const long long v = std::strtoll(hex ? s.c_str() + 2 : s.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || (hex && s[2] == '-') || v < -2147483648LL || v > 4294967295LL) return false;
    out = static_cast<DWORD>(v);
    return true;
}

int CmdSet(const std::vector<std::string>& args) {
    std::vector<std::string> pos;
    const std::string* sz = nullptr;
    const std::string* dword = nullptr;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--sz" || args[i] == "--dword") {
            if (i + 1 >= args.size()) return Fail(args[i] + " needs a value");
            const bool isSz = args[i] == "--sz";
            ++i;
            (isSz ? sz : dword) = &args[i];
        } else {
            pos.push_back(args[i]);
        }
    }
    if (pos.size() != 2) return Fail("set needs PATH and NAME");
    if ((sz != nullptr) == (dword != nullptr)) return Fail("set needs one of --sz TEXT and --dword N");
    std::vector<BYTE> data;
    DWORD type = REG_SZ;
    if (sz) {
        const CString text = CString::FromUtf8(*sz);
        for (wchar_t c : text.str()) {
            const std::uint32_t u = static_cast<std::uint32_t>(c);
            auto unit = [&data](std::uint32_t x) {
                data.push_back(static_cast<BYTE>(x & 0xFF));
                data.push_back(static_cast<BYTE>(x >> 8));
            };
            if (u >= 0x10000) {
                unit(0xD800 + ((u - 0x10000) >> 10));
                unit(0xDC00 + ((u - 0x10000) & 0x3FF));
            } else {
                unit(u);
            }
        }
        data.push_back(0);
        data.push_back(0);
    } else {
        DWORD v = 0;
        if (!ParseDword(*dword, v)) return Fail("bad number '" + *dword + "' for --dword (a 32-bit integer)");
        type = REG_DWORD;
        data = DwordBytes(v);
    }
    KeyPath path;
    if (!ParseKeyPath(CString::FromUtf8(pos[0]).str(), true, path))
        return Fail("'" + pos[0] + "' does not start with a root key such as HKEY_CURRENT_USER");
    HKEY h = nullptr;
    LSTATUS rc = RegCreateKeyExW(path.root, path.sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));
    const CString name = CString::FromUtf8(pos[1]);
    rc = RegSetValueExW(h, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    const LSTATUS closed = RegCloseKey(h);
    if (rc == ERROR_SUCCESS) rc = closed;
    return rc == ERROR_SUCCESS ? 0 : Fail(StoreError(rc));
}

int CmdDelete(const std::vector<std::string>& args) {
    if (args.size() != 2) return Fail("delete needs PATH and NAME");
    KeyPath path;
    if (!ParseKeyPath(CString::FromUtf8(args[0]).str(), true, path))
        return Fail("'" + args[0] + "' does not start with a root key such as HKEY_CURRENT_USER");
    // Look first, so that deleting from a missing key or store creates nothing.
    HKEY h = nullptr;
    LSTATUS rc = RegOpenKeyExW(path.root, path.sub.c_str(), 0, KEY_READ, &h);
    if (rc == ERROR_FILE_NOT_FOUND) return NoResult("no key " + args[0]);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));
    RegCloseKey(h);
    rc = RegCreateKeyExW(path.root, path.sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));
    rc = RegDeleteValueW(h, CString::FromUtf8(args[1]).GetString());
    const LSTATUS closed = RegCloseKey(h);
    if (rc == ERROR_FILE_NOT_FOUND) return NoResult("no value '" + args[1] + "' in " + args[0]);
    if (rc == ERROR_SUCCESS) rc = closed;
    return rc == ERROR_SUCCESS ? 0 : Fail(StoreError(rc));
}

std::string JsonString(const std::wstring& w) {
    std::string out = "\"";
    for (char c : Utf8(w)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int CmdList(const std::vector<std::string>& args) {
    bool json = false;
    std::vector<std::string> pos;
    for (const std::string& a : args) {
        if (a == "--json") json = true;
        else pos.push_back(a);
    }
    if (pos.size() != 1) return Fail("list needs PATH");
    KeyPath path;
    HKEY h = nullptr;
    if (int rc = OpenForRead(pos[0], path, h)) return rc;
    CString stored;
    std::vector<std::wstring> subkeys;
    std::vector<Value> values;
    LSTATUS rc = GorvRegGetKeyPath(h, stored);
    if (rc == ERROR_SUCCESS) rc = ReadSubkeys(h, subkeys);
    if (rc == ERROR_SUCCESS) rc = ReadValues(h, values);
    RegCloseKey(h);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));

    std::string out;
    if (json) {
        out = "{\"key\":" + JsonString(stored.str()) + ",\"subkeys\":[";
        for (std::size_t i = 0; i < subkeys.size(); ++i) out += (i ? "," : "") + JsonString(subkeys[i]);
        out += "],\"values\":[";
        for (std::size_t i = 0; i < values.size(); ++i) {
            const Value& v = values[i];
            out += std::string(i ? "," : "") + "{\"name\":" + JsonString(v.name) + ",\"type\":" +
                   JsonString(TypeName(v.type)) + ",\"data\":";
            if (IsDword(v.type, v.data)) out += std::to_string(DwordOf(v.data));
            else out += JsonString(Shown(v.type, v.data));
            out += "}";
        }
        out += "]}\n";
    } else {
        // One line per entry: subkeys as "NAME\", values as "NAME<TAB>TYPE<TAB>DATA" ("@" is the
        // default value).
        for (const std::wstring& k : subkeys) out += Utf8(k) + "\\\n";
        for (const Value& v : values)
            out += Utf8(v.name.empty() ? L"@" : v.name) + "\t" + Utf8(TypeName(v.type)) + "\t" +
                   Utf8(Shown(v.type, v.data)) + "\n";
    }
    return Output(out);
}

LSTATUS ExportKey(HKEY h, const std::wstring& path, std::wstring& out, std::string& problem) {
    std::vector<Value> values;
    std::vector<std::wstring> subkeys;
    LSTATUS rc = ReadValues(h, values);
    if (rc == ERROR_SUCCESS) rc = ReadSubkeys(h, subkeys);
    if (rc != ERROR_SUCCESS) return rc;
    out += L"[" + path + L"]\n";
    for (const Value& v : values) {
        if (v.name.find_first_of(L"\r\n") != std::wstring::npos) {
            problem = "the value name '" + Utf8(v.name) + "' in " + Utf8(path) + " has a line break";
            return ERROR_INVALID_PARAMETER;
        }
        out += RegLine(v.name, v.type, v.data);
    }
    out += L"\n";
    for (const std::wstring& name : subkeys) {
        if (name.find_first_of(L"\r\n") != std::wstring::npos) {
            problem = "the key name '" + Utf8(name) + "' in " + Utf8(path) + " cannot be written in .reg text";
            return ERROR_INVALID_PARAMETER;
        }
        HKEY sub = nullptr;
        rc = RegOpenKeyExW(h, name.c_str(), 0, KEY_READ, &sub);
        if (rc != ERROR_SUCCESS) return rc;
        rc = ExportKey(sub, path + L"\\" + name, out, problem);
        RegCloseKey(sub);
        if (rc != ERROR_SUCCESS) return rc;
    }
    return ERROR_SUCCESS;
}

int CmdExport(const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2) return Fail("export needs PATH and optionally FILE");
    KeyPath path;
    HKEY h = nullptr;
    if (int rc = OpenForRead(args[0], path, h)) return rc;
    CString stored;
    std::wstring text = std::wstring(kHeader, kHeader + sizeof kHeader - 1) + L"\n\n";
    std::string problem;
    LSTATUS rc = GorvRegGetKeyPath(h, stored);
    if (rc == ERROR_SUCCESS) rc = ExportKey(h, stored.str(), text, problem);
    RegCloseKey(h);
    if (!problem.empty()) return Fail(problem);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));

    if (args.size() == 1 || args[1] == "-") return Output(Utf8(text));
    // The registry editor's own form: UTF-16LE with a byte-order mark and CRLF line ends.
    std::string bytes = "\xFF\xFE";
    auto unit = [&bytes](std::uint32_t u) {
        bytes += static_cast<char>(u & 0xFF);
        bytes += static_cast<char>(u >> 8);
    };
    for (wchar_t c : text) {
        const std::uint32_t u = static_cast<std::uint32_t>(c);
        if (u == L'\n') unit(L'\r');
        if (u >= 0x10000) {
            unit(0xD800 + ((u - 0x10000) >> 10));
            unit(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            unit(u);
        }
    }
    std::FILE* f = std::fopen(args[1].c_str(), "wb");
    if (!f) return Fail("cannot write " + args[1] + ": " + std::strerror(errno));
    const bool ok = WriteAll(f, bytes);
    const int err = errno;
    if (std::fclose(f) != 0 || !ok) {
        std::remove(args[1].c_str());
        return Fail("cannot write " + args[1] + ": " + std::strerror(ok ? errno : err));
    }
    return 0;
}

// ---- import ----------------------------------------------------------------------------------

struct ParseError {
    std::size_t line;
    std::string message;
};

// Decodes the file's bytes into lines of code points: UTF-16LE or UTF-16BE after their byte-order
// marks, else UTF-8 (with or without its mark). Line ends are CRLF or LF.
bool DecodeLines(const std::string& bytes, std::vector<std::wstring>& lines, ParseError& err) {
    std::wstring text;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t line = 1;
    if (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
        const bool le = p[0] == 0xFF;
        if (n % 2 != 0) {
            err = {1, "the UTF-16 text has an odd number of bytes"};
            return false;
        }
        for (std::size_t i = 2; i < n; i += 2) {
            std::uint32_t u = le ? (p[i] | (p[i + 1] << 8)) : ((p[i] << 8) | p[i + 1]);
            if (u >= 0xD800 && u < 0xDC00 && i + 3 < n) {
                const std::uint32_t v = le ? (p[i + 2] | (p[i + 3] << 8)) : ((p[i + 2] << 8) | p[i + 3]);
                if (v >= 0xDC00 && v < 0xE000) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00);
                    i += 2;
                }
            }
            text += static_cast<wchar_t>(u);
        }
    } else {
        std::size_t i = (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) ? 3 : 0;
        while (i < n) {
            const unsigned c = p[i];
            std::size_t extra = c < 0x80                ? 0
                                : (c & 0xE0) == 0xC0    ? 1
                                : (c & 0xF0) == 0xE0    ? 2
                                : (c & 0xF8) == 0xF0    ? 3
                                                        : 9;
            if (extra == 9 || (extra > 0 && i + extra >= n)) {
                err = {line, "the text is neither UTF-8 nor UTF-16 with a byte-order mark"};
                return false;
            }
            std::uint32_t cp = extra ? (c & (0x3Fu >> extra)) : c;
            for (std::size_t k = 1; k <= extra; ++k) {
                if ((p[i + k] & 0xC0) != 0x80) {
                    err = {line, "the text is neither UTF-8 nor UTF-16 with a byte-order mark"};
                    return false;
                }
                cp = (cp << 6) | (p[i + k] & 0x3Fu);
            }
            if (cp == L'\n') ++line;
            text += static_cast<wchar_t>(cp);
            i += extra + 1;
        }
    }
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring l = text.substr(start, end - start);
        if (!l.empty() && l.back() == L'\r') l.pop_back();
        lines.push_back(l);
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return true;
}

std::wstring TrimRight(const std::wstring& s) {
    std::size_t e = s.size();
    while (e > 0 && (s[e - 1] == L' ' || s[e - 1] == L'\t')) --e;
    return s.substr(0, e);
}

std::wstring TrimLeft(const std::wstring& s) {
    std::size_t b = 0;
    while (b < s.size() && (s[b] == L' ' || s[b] == L'\t')) ++b;
    return s.substr(b);
}

struct Op {
    enum Kind { kKey, kDeleteKey, kSet, kDeleteValue } kind;
    std::size_t line;
    KeyPath key;  // kKey, kDeleteKey
    std::wstring name;
    DWORD type = 0;
    std::vector<BYTE> data;
};

// A quoted string at s[i] (the opening quote); i ends after the closing quote.
bool ParseQuoted(const std::wstring& s, std::size_t& i, std::wstring& out) {
    out.clear();
    for (++i; i < s.size(); ++i) {
        if (s[i] == L'"') {
            ++i;
            return true;
        }
        if (s[i] == L'\\') {
            if (i + 1 >= s.size() || (s[i + 1] != L'\\' && s[i + 1] != L'"')) return false;
            ++i;
        }
        out += s[i];
    }
    return false;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool ParseHexNumber(const std::wstring& s, std::uint64_t& out) {
    if (s.empty() || s.size() > 8) return false;
    out = 0;
    for (wchar_t c : s) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        out = out * 16 + static_cast<std::uint64_t>(d);
    }
    return true;
}

bool ParseHexList(const std::wstring& s, std::vector<BYTE>& out) {
    out.clear();
    const std::wstring t = TrimLeft(TrimRight(s));
    if (t.empty()) return true;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = t.find(L',', start);
        const std::size_t len = comma == std::wstring::npos ? std::wstring::npos : comma - start;
        const std::wstring item = TrimLeft(TrimRight(t.substr(start, len)));
        std::uint64_t v = 0;
        if (item.size() > 2 || !ParseHexNumber(item, v)) return false;
        out.push_back(static_cast<BYTE>(v));
        if (comma == std::wstring::npos) return true;
        start = comma + 1;
    }
}

std::vector<BYTE> Utf16Le(const std::wstring& text) {
    std::vector<BYTE> data;
    auto unit = [&data](std::uint32_t u) {
        data.push_back(static_cast<BYTE>(u & 0xFF));
        data.push_back(static_cast<BYTE>(u >> 8));
    };
    for (wchar_t c : text) {
        const std::uint32_t u = static_cast<std::uint32_t>(c);
        if (u >= 0x10000) {
            unit(0xD800 + ((u - 0x10000) >> 10));
            unit(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            unit(u);
        }
    }
    unit(0);
    return data;
}

bool ParseReg(const std::vector<std::wstring>& lines, std::vector<Op>& ops, ParseError& err) {
    if (lines.empty() || TrimRight(lines[0]) != std::wstring(kHeader, kHeader + sizeof kHeader - 1)) {
        err = {1, std::string("the first line must be \"") + kHeader + "\""};
        return false;
    }
    bool inKey = false;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t lineNo = i + 1;
        const std::wstring line = TrimRight(TrimLeft(lines[i]));
        if (line.empty() || line[0] == L';') continue;
        if (line[0] == L'[') {
            if (line.back() != L']') {
                err = {lineNo, "a key line must end with ']'"};
                return false;
            }
            const bool del = line.size() > 1 && line[1] == L'-';
            const std::wstring path = line.substr(del ? 2 : 1, line.size() - (del ? 3 : 2));
            Op op{del ? Op::kDeleteKey : Op::kKey, lineNo, {}, L"", 0, {}};
            if (!ParseKeyPath(path, false, op.key)) {
                err = {lineNo, "the key does not start with a root key such as HKEY_CURRENT_USER"};
                return false;
            }
            if (del && TrimLeft(op.key.sub).find_first_not_of(L'\\') == std::wstring::npos) {
                err = {lineNo, "a root key cannot be deleted"};
                return false;
            }
            inKey = !del;
            ops.push_back(std::move(op));
            continue;
        }
        if (line[0] != L'"' && line[0] != L'@') {
            err = {lineNo, "expected a [KEY] line, a \"name\"=value line or a comment"};
            return false;
        }
        if (!inKey) {
            err = {lineNo, "a value line outside a [KEY] section"};
            return false;
        }
        Op op{Op::kSet, lineNo, {}, L"", 0, {}};
        std::size_t p = 0;
        if (line[0] == L'@') {
            p = 1;
        } else if (!ParseQuoted(line, p, op.name)) {
            err = {lineNo, "a value name is not a closed quoted string (only \\\\ and \\\" escapes)"};
            return false;
        }
        while (p < line.size() && (line[p] == L' ' || line[p] == L'\t')) ++p;
        if (p >= line.size() || line[p] != L'=') {
            err = {lineNo, "expected '=' after the value name"};
            return false;
        }
        std::wstring data = TrimLeft(line.substr(p + 1));
        if (data == L"-") {
            op.kind = Op::kDeleteValue;
        } else if (!data.empty() && data[0] == L'"') {
            std::size_t q = 0;
            std::wstring text;
            if (!ParseQuoted(data, q, text) || q != data.size()) {
                err = {lineNo, "a string value is not one closed quoted string (only \\\\ and \\\" escapes)"};
                return false;
            }
            op.type = REG_SZ;
            op.data = Utf16Le(text);
        } else if (data.compare(0, 6, L"dword:") == 0) {
            std::uint64_t v = 0;
            if (!ParseHexNumber(data.substr(6), v)) {
                err = {lineNo, "dword: needs 1 to 8 hex digits"};
                return false;
            }
            op.type = REG_DWORD;
            op.data = DwordBytes(static_cast<DWORD>(v));
        } else if (data.compare(0, 3, L"hex") == 0) {
            std::size_t colon = data.find(L':');
            std::uint64_t type = REG_BINARY;
            const std::wstring kind = data.substr(0, colon == std::wstring::npos ? data.size() : colon);
            if (colon == std::wstring::npos ||
                (kind != L"hex" && (kind.size() < 6 || kind.compare(0, 4, L"hex(") != 0 || kind.back() != L')' ||
                                    !ParseHexNumber(kind.substr(4, kind.size() - 5), type)))) {
                err = {lineNo, "expected hex: or hex(N): before the bytes"};
                return false;
            }
            std::wstring list = data.substr(colon + 1);
            // Continuation lines: a list ending in "\" goes on in the next line.
            while (!list.empty() && list.back() == L'\\') {
                list.pop_back();
                if (++i >= lines.size()) {
                    err = {lineNo, "the hex bytes go on past the end of the file"};
                    return false;
                }
                list += TrimRight(TrimLeft(lines[i]));
            }
            if (!ParseHexList(list, op.data)) {
                err = {lineNo, "hex bytes must be comma-separated pairs of hex digits"};
                return false;
            }
            op.type = static_cast<DWORD>(type);
        } else {
            err = {lineNo, "unknown value data (expected \"text\", dword:, hex:, hex(N): or -)"};
            return false;
        }
        ops.push_back(std::move(op));
    }
    return true;
}

bool ReadInput(const std::string& file, std::string& bytes, std::string& problem) {
    std::FILE* f = file == "-" ? stdin : std::fopen(file.c_str(), "rb");
    if (!f) {
        problem = "cannot read " + file + ": " + std::strerror(errno);
        return false;
    }
    char buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, got);
    const bool ok = !std::ferror(f);
    if (f != stdin) std::fclose(f);
    if (!ok) problem = "cannot read " + file + ": " + std::strerror(errno);
    return ok;
}

int CmdImport(const std::vector<std::string>& args) {
    if (args.size() != 1) return Fail("import needs FILE");
    std::string bytes, problem;
    if (!ReadInput(args[0], bytes, problem)) return Fail(problem);
    std::vector<std::wstring> lines;
    std::vector<Op> ops;
    ParseError err{0, ""};
    if (!DecodeLines(bytes, lines, err) || !ParseReg(lines, ops, err))
        return Fail(args[0] + ":" + std::to_string(err.line) + ": " + err.message);

    // One transaction: every handle this thread opens while the first is open joins it.
    HKEY txn = nullptr;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, L"", 0, nullptr, 0, KEY_WRITE, nullptr, &txn, nullptr);
    if (rc != ERROR_SUCCESS) return Fail(StoreError(rc));
    HKEY current = nullptr;
    std::size_t failedLine = 0;
    for (const Op& op : ops) {
        switch (op.kind) {
        case Op::kKey:
            if (current) RegCloseKey(current);
            current = nullptr;
            rc = RegCreateKeyExW(op.key.root, op.key.sub.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &current, nullptr);
            break;
        case Op::kDeleteKey:
            if (current) RegCloseKey(current);
            current = nullptr;
            rc = RegDeleteTreeW(op.key.root, op.key.sub.c_str());
            if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;  // already gone
            break;
        case Op::kSet:
            rc = RegSetValueExW(current, op.name.c_str(), 0, op.type, op.data.data(),
                                static_cast<DWORD>(op.data.size()));
            break;
        case Op::kDeleteValue:
            rc = RegDeleteValueW(current, op.name.c_str());
            if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
            break;
        }
        if (rc != ERROR_SUCCESS) {
            failedLine = op.line;
            break;
        }
    }
    if (rc != ERROR_SUCCESS) GorvRegAbortTransaction(txn);
    if (current) RegCloseKey(current);
    const LSTATUS closed = RegCloseKey(txn);
    if (rc != ERROR_SUCCESS) return Fail(args[0] + ":" + std::to_string(failedLine) + ": " + StoreError(rc));
    if (closed != ERROR_SUCCESS) return Fail(StoreError(closed));
    return 0;
}

}  // namespace

int gorv_cmd_reg(int argc, char** argv) {
    if (argc < 2) return Fail("missing action (get, set, delete, list, where, export or import; see --help)");
    const std::string action = argv[1];
    if (action == "-h" || action == "--help") return Output(kUsage);
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const std::string& a : args) {
        if (a == "-h" || a == "--help") return Output(kUsage);
    }
    if (action == "get") return CmdGet(args);
    if (action == "set") return CmdSet(args);
    if (action == "delete") return CmdDelete(args);
    if (action == "list") return CmdList(args);
    if (action == "export") return CmdExport(args);
    if (action == "import") return CmdImport(args);
    if (action == "where") {
        if (!args.empty()) return Fail("where takes no arguments");
        const std::string where = GorvRegStorePath().ToUtf8();
        if (where.empty()) return Fail("no place for the settings store (set GORV_REGISTRY or HOME)");
        return Output(where + "\n");
    }
    return Fail("unknown action '" + action + "' (get, set, delete, list, where, export or import)");
}
