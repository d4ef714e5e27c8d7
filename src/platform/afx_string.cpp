// CString and the bounded wide formatter. Format strings are rewritten from the wide-printf rules
// of the original runtime (%s = wide) to the C library's (%ls = wide) before printing.
#include <gorv/platform/afx_string.h>

#include "platform/utf8.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <vector>

namespace {

bool is_length_char(wchar_t c) {
    return c == L'h' || c == L'l' || c == L'L' || c == L'q' || c == L'j' || c == L'z' || c == L't' ||
           c == L'I' || c == L'w';
}

// Rewrites the conversion specifications of fmt: %s/%c -> %ls/%lc, %S/%C -> %s/%c, %hs -> %s,
// %ws -> %ls. Everything else is kept.
std::wstring translate_format(const wchar_t* fmt) {
    std::wstring out;
    if (!fmt) return out;
    for (const wchar_t* p = fmt; *p;) {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        out += *p++;
        if (*p == L'%') {
            out += *p++;
            continue;
        }
        // flags, width, precision
        while (*p && std::wcschr(L"-+ #0123456789.*'$", *p)) out += *p++;
        std::wstring len;
        while (*p && is_length_char(*p)) len += *p++;
        wchar_t conv = *p;
        if (conv == 0) {
            out += len;
            break;
        }
        ++p;
        if (conv == L's' || conv == L'c') {
            if (len.empty() || len == L"l" || len == L"w") {
                out += L'l';
            }  // "h" means narrow: drop it
            out += conv;
        } else if (conv == L'S' || conv == L'C') {
            if (len == L"l" || len == L"w") out += L'l';
            out += static_cast<wchar_t>(conv == L'S' ? L's' : L'c');
        } else if (len == L"I64") {
            out += L"ll";
            out += conv;
        } else if (len == L"I" || len == L"I32") {
            if (len == L"I") out += L'z';
            out += conv;
        } else {
            out += len;
            out += conv;
        }
    }
    return out;
}

// Prints into a growing buffer. Gives up (returns false) past 16M characters, which only a
// broken argument list or an unconvertible narrow string can reach.
bool format_unbounded(std::wstring& out, const wchar_t* fmt, va_list args) {
    std::wstring f = translate_format(fmt);
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list ap;
        va_copy(ap, args);
        int n = std::vswprintf(buf.data(), buf.size(), f.c_str(), ap);
        va_end(ap);
        if (n >= 0 && static_cast<std::size_t>(n) < buf.size()) {
            out.assign(buf.data(), static_cast<std::size_t>(n));
            return true;
        }
        if (buf.size() >= (1u << 24)) {
            out.clear();
            return false;
        }
        buf.resize(buf.size() * 4);
    }
}

// Valid UTF-8 only: an unpaired surrogate or a value past U+10FFFF becomes U+FFFD.
void append_valid_utf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    gorv_detail::append_utf8(out, c);
}

// Decodes UTF-8; every malformed sequence becomes U+FFFD.
std::wstring decode_utf8(const char* s, std::size_t n) {
    std::wstring out;
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        unsigned char b = static_cast<unsigned char>(s[i]);
        char32_t c;
        int extra;
        if (b < 0x80) {
            c = b;
            extra = 0;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        if (i + static_cast<std::size_t>(extra) >= n) {  // truncated sequence
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cb = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((cb & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            c = (c << 6) | (cb & 0x3F);
        }
        static const char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out += static_cast<wchar_t>(0xFFFD);
            ++i;
            continue;
        }
        out += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

}  // namespace

namespace gorv_detail {

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace gorv_detail

CString::CString(const wchar_t* pch, int nLength) {
    if (pch && nLength > 0) m_str.assign(pch, static_cast<std::size_t>(nLength));
}

CString::CString(wchar_t ch, int nRepeat) {
    if (nRepeat > 0) m_str.assign(static_cast<std::size_t>(nRepeat), ch);
}

CString::CString(const char* pszUtf8) {
    if (pszUtf8) m_str = decode_utf8(pszUtf8, std::strlen(pszUtf8));
}

wchar_t CString::GetAt(int i) const {
    if (i < 0 || i >= GetLength()) throw CInvalidArgException("CString: index out of range");
    return m_str[static_cast<std::size_t>(i)];
}

void CString::SetAt(int i, wchar_t ch) {
    if (i < 0 || i >= GetLength()) throw CInvalidArgException("CString: index out of range");
    m_str[static_cast<std::size_t>(i)] = ch;
}

int CString::Compare(const wchar_t* psz) const noexcept {
    int r = std::wcscmp(m_str.c_str(), psz ? psz : L"");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(const wchar_t* psz) const noexcept {
    const wchar_t* a = m_str.c_str();
    const wchar_t* b = psz ? psz : L"";
    for (;; ++a, ++b) {
        wint_t ca = std::towlower(static_cast<wint_t>(*a));
        wint_t cb = std::towlower(static_cast<wint_t>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

CString CString::Left(int n) const {
    n = std::clamp(n, 0, GetLength());
    return CString(m_str.substr(0, static_cast<std::size_t>(n)));
}

CString CString::Right(int n) const {
    n = std::clamp(n, 0, GetLength());
    return CString(m_str.substr(static_cast<std::size_t>(GetLength() - n)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_str.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

int CString::Find(wchar_t ch, int start) const noexcept {
    if (start < 0 || start > GetLength()) return -1;
    auto pos = m_str.find(ch, static_cast<std::size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const wchar_t* psz, int start) const noexcept {
    if (!psz || start < 0 || start > GetLength()) return -1;
    auto pos = m_str.find(psz, static_cast<std::size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const noexcept {
    auto pos = m_str.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(const wchar_t* pszOld, const wchar_t* pszNew) {
    if (!pszOld || !*pszOld) return 0;
    std::wstring from(pszOld), to(pszNew ? pszNew : L"");
    int count = 0;
    std::size_t pos = 0;
    while ((pos = m_str.find(from, pos)) != std::wstring::npos) {
        m_str.replace(pos, from.size(), to);
        pos += to.size();
        ++count;
    }
    return count;
}

int CString::Replace(wchar_t chOld, wchar_t chNew) {
    int count = 0;
    for (auto& c : m_str)
        if (c == chOld) {
            c = chNew;
            ++count;
        }
    return count;
}

int CString::Remove(wchar_t ch) {
    auto it = std::remove(m_str.begin(), m_str.end(), ch);
    int count = static_cast<int>(m_str.end() - it);
    m_str.erase(it, m_str.end());
    return count;
}

int CString::Insert(int index, const wchar_t* psz) {
    index = std::clamp(index, 0, GetLength());
    if (psz) m_str.insert(static_cast<std::size_t>(index), psz);
    return GetLength();
}

int CString::Delete(int index, int count) {
    if (index < 0) index = 0;
    if (index < GetLength() && count > 0) {
        count = std::min(count, GetLength() - index);
        m_str.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    }
    return GetLength();
}

CString& CString::TrimLeft() {
    std::size_t i = 0;
    while (i < m_str.size() && std::iswspace(static_cast<wint_t>(m_str[i]))) ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight() {
    std::size_t n = m_str.size();
    while (n > 0 && std::iswspace(static_cast<wint_t>(m_str[n - 1]))) --n;
    m_str.resize(n);
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::MakeUpper() {
    for (auto& c : m_str) c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return *this;
}

CString& CString::MakeLower() {
    for (auto& c : m_str) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

void CString::Format(const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* pszFormat, va_list args) { format_unbounded(m_str, pszFormat, args); }

void CString::AppendFormat(const wchar_t* pszFormat, ...) {
    std::wstring tail;
    va_list args;
    va_start(args, pszFormat);
    format_unbounded(tail, pszFormat, args);
    va_end(args);
    m_str += tail;
}

wchar_t* CString::GetBuffer(int nMinLength) {
    if (nMinLength > GetLength()) m_str.resize(static_cast<std::size_t>(nMinLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0) {
        m_str.resize(std::wcslen(m_str.c_str()));
    } else {
        m_str.resize(static_cast<std::size_t>(nNewLength));
    }
}

std::string CString::ToUtf8() const {
    std::string out;
    out.reserve(m_str.size());
    for (wchar_t c : m_str) append_valid_utf8(out, static_cast<char32_t>(c));
    return out;
}

CString CString::FromUtf8(const std::string& s) { return CString(decode_utf8(s.data(), s.size())); }

int GorvFormatBoundedV(wchar_t* buf, std::size_t cap, const wchar_t* fmt, va_list args) {
    if (!buf || cap == 0) return 0;
    std::wstring s;
    format_unbounded(s, fmt, args);
    std::size_t n = std::min(s.size(), cap - 1);
    std::wmemcpy(buf, s.data(), n);
    buf[n] = L'\0';
    return static_cast<int>(n);
}

int GorvFormatBounded(wchar_t* buf, std::size_t cap, const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    int n = GorvFormatBoundedV(buf, cap, fmt, args);
    va_end(args);
    return n;
}
