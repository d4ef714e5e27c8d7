// CBnFileResult: the record file as result files use it. It behaves as CBnFile and shares its
// format (see bn_file.h); it carries the head name, type and version of result files as statics
// for callers to pass to INIT_F, and GetErrorMessage is an ordinary member here.
#pragma once

#include <gorv/datafile/bn_file.h>

class GORV_API CBnFileResult {
public:
    static const int m_MULT_LNG_R;     // word size in bytes, 4
    static const char m_HeadName[4];   // "QRB " (no terminator)
    static const int m_FileType;       // 2
    static const float m_FileVersion;  // 1.0

    CBnFileResult();
    CBnFileResult(const CBnFileResult&) = default;
    CBnFileResult& operator=(const CBnFileResult&) = default;
    virtual ~CBnFileResult();

    // Each operation behaves as the CBnFile operation of the same name.
    void INIT_F(CFile* pFile, const char* pszHeadName, int nFileType, float fVersion);
    int CREATE_F();
    int CHKHED_F(float& fVersion);
    int READ_F(const char* pszName, int nId, int& nFirstRec, int& nRecLen, int& nRecCount);
    int WRITE_F(const char* pszName, int nId, int& nFirstRec, int nRecLen, int nRecCount);
    int MODIFY_F(const char* pszName, int nId, int nRecCount);
    int DELETE_F(const char* pszName, int nId);
    int SeekBN(LONGLONG llRecord, LONGLONG llRecLenBytes);
    static int SeekBN(CFile* pFile, LONGLONG llRecord, LONGLONG llRecLenBytes);
    void GetErrorMessage(int nStatus, CString& strMessage);

protected:
    int ReadMainHead(int nBlock, int nBlockLenBytes);
    int WriteMainHead(int nBlock, int nBlockLenBytes);
    int ReadSubHead(int nBlock, int nBlockLenBytes);
    int WriteSubHead(int nBlock, int nBlockLenBytes);

    CFile* m_pFile;             // the open file, not owned
    int m_nFileType;            // expected and written file type
    char m_szReserveName[4];    // "HEAD"
    char m_szHeadName[4];       // expected and written head name
    float m_fVersion;           // expected and written version
    int m_nSubHeadCount;        // sub-headers per group (20)
    int m_nBlockLen;            // header block length in words (5)
    T_BN_MAIN_HEAD m_MainHead;  // last main header read or written
    T_BN_SUB_HEAD m_SubHead;    // last sub-header read or written

private:
    template <class T>
    friend struct gorv::datafile_detail::BnEngine;
};
