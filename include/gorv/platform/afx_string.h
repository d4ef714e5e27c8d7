// CString and CStringArray: the wide-character string of the platform layer. Text is held as
// wchar_t (32-bit on Linux) so code written with L"..." literals ports unchanged; UTF-8 conversion
// is offered for I/O. Formatting follows the wide printf of the original runtime: %s and %c take
// wide arguments, %S and %C narrow ones.
#pragma once

#include <cstdarg>
#include <string>

#include <gorv/platform/afx_coll.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

class GORV_API CString {
public:
    CString() = default;
    CString(const wchar_t* psz) : m_str(psz ? psz : L"") {}
    CString(const wchar_t* pch, int nLength);
    CString(wchar_t ch, int nRepeat = 1);
    // Narrow text is read as UTF-8.
    CString(const char* pszUtf8);
    CString(const std::wstring& s) : m_str(s) {}
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const wchar_t* psz) { m_str = psz ? psz : L""; return *this; }
    CString& operator=(wchar_t ch) { m_str.assign(1, ch); return *this; }

    operator const wchar_t*() const noexcept { return m_str.c_str(); }
    const wchar_t* GetString() const noexcept { return m_str.c_str(); }
    const std::wstring& str() const noexcept { return m_str; }

    int GetLength() const noexcept { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const noexcept { return m_str.empty(); }
    void Empty() noexcept { m_str.clear(); }

    // Checked access: an index outside [0, length) throws CInvalidArgException.
    wchar_t GetAt(int i) const;
    void SetAt(int i, wchar_t ch);
    wchar_t operator[](int i) const { return GetAt(i); }

    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(const wchar_t* psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }
    CString& Append(const wchar_t* psz) { return *this += psz; }
    CString& AppendChar(wchar_t ch) { return *this += ch; }

    // Ordinal comparison: <0, 0 or >0.
    int Compare(const wchar_t* psz) const noexcept;
    // Comparison after folding both sides to lower case.
    int CompareNoCase(const wchar_t* psz) const noexcept;

    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    int Find(wchar_t ch, int start = 0) const noexcept;
    int Find(const wchar_t* psz, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;
    int Replace(const wchar_t* pszOld, const wchar_t* pszNew);
    int Replace(wchar_t chOld, wchar_t chNew);
    int Remove(wchar_t ch);
    int Insert(int index, const wchar_t* psz);
    int Delete(int index, int count = 1);
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // Formats with no length limit; the arguments follow the wide printf rules above.
    void Format(const wchar_t* pszFormat, ...);
    void FormatV(const wchar_t* pszFormat, va_list args);
    void AppendFormat(const wchar_t* pszFormat, ...);

    // Raw buffer access: GetBuffer gives room for at least nMinLength characters plus a terminator;
    // ReleaseBuffer(-1) takes the text up to the first NUL, otherwise exactly nNewLength characters.
    wchar_t* GetBuffer(int nMinLength = 0);
    void ReleaseBuffer(int nNewLength = -1);

    std::string ToUtf8() const;
    static CString FromUtf8(const std::string& s);

    friend bool operator==(const CString& a, const CString& b) noexcept { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const wchar_t* b) noexcept { return a.Compare(b) == 0; }
    friend bool operator==(const wchar_t* a, const CString& b) noexcept { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) noexcept { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) noexcept { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const CString& b) noexcept { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) noexcept { return a.m_str < b.m_str; }
    friend CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
    friend CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, wchar_t b) { CString r(a); r += b; return r; }

private:
    std::wstring m_str;
};

// Bounded wide printf with the same argument rules as CString::Format: writes at most cap
// characters including the terminator, always terminates (when cap > 0) and truncates the rest.
// Returns the number of characters written, without the terminator.
GORV_API int GorvFormatBounded(wchar_t* buf, std::size_t cap, const wchar_t* fmt, ...);
GORV_API int GorvFormatBoundedV(wchar_t* buf, std::size_t cap, const wchar_t* fmt, va_list args);

// MFC's hash of a wide string key, used by CMap<CString, ...>.
template <>
inline UINT HashKey<const CString&>(const CString& key) noexcept {
    return HashKey<const wchar_t*>(key.GetString());
}
template <>
inline UINT HashKey<CString>(CString key) noexcept {
    return HashKey<const wchar_t*>(key.GetString());
}

class GORV_API CStringArray : public CArray<CString, const CString&> {
public:
    INT_PTR Add(const wchar_t* psz) { return CArray<CString, const CString&>::Add(CString(psz)); }
    INT_PTR Add(const CString& s) { return CArray<CString, const CString&>::Add(s); }
};
