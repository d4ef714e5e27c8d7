// Win32/MFC scalar type names that the library's signatures use, mapped to fixed-width C++ types.
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
typedef unsigned int UINT;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;  // 32 bits, as on Windows
typedef std::uint8_t BYTE;
typedef std::uint16_t WORD;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef std::ptrdiff_t INT_PTR;
typedef std::size_t UINT_PTR;
typedef wchar_t WCHAR;
typedef wchar_t TCHAR;
typedef const wchar_t* LPCWSTR;
typedef const wchar_t* LPCTSTR;
typedef wchar_t* LPWSTR;
typedef wchar_t* LPTSTR;
typedef void* LPVOID;
typedef void* HINSTANCE;
typedef void* HANDLE;

// An opaque iteration cursor of the collections; null ends an iteration.
struct __POSITION {};
typedef __POSITION* POSITION;

#ifndef _T
#define _T(x) L##x
#endif
