// CBnFile: the record file's operations, on the shared engine of bn_engine.h.
#include <gorv/datafile/bn_file.h>

#include "datafile/bn_engine.h"

using Engine = gorv::datafile_detail::BnEngine<CBnFile>;

const int CBnFile::m_MULT_LNG_R = 4;

CBnFile::CBnFile() { Engine::Construct(*this); }
CBnFile::~CBnFile() = default;

void CBnFile::INIT_F(CFile* pFile, const char* pszHeadName, int nFileType, float fVersion) {
    Engine::Init(*this, pFile, pszHeadName, nFileType, fVersion);
}
int CBnFile::CREATE_F() { return Engine::Create(*this); }
int CBnFile::CHKHED_F(float& fVersion) { return Engine::CheckHeader(*this, fVersion); }
int CBnFile::READ_F(const char* pszName, int nId, int& nFirstRec, int& nRecLen, int& nRecCount) {
    return Engine::Read(*this, pszName, nId, nFirstRec, nRecLen, nRecCount);
}
int CBnFile::WRITE_F(const char* pszName, int nId, int& nFirstRec, int nRecLen, int nRecCount) {
    return Engine::Write(*this, pszName, nId, nFirstRec, nRecLen, nRecCount);
}
int CBnFile::MODIFY_F(const char* pszName, int nId, int nRecCount) {
    return Engine::Modify(*this, pszName, nId, nRecCount);
}
int CBnFile::DELETE_F(const char* pszName, int nId) { return Engine::Delete(*this, pszName, nId); }
int CBnFile::SeekBN(LONGLONG llRecord, LONGLONG llRecLenBytes) {
    return Engine::SeekBN(m_pFile, llRecord, llRecLenBytes);
}
int CBnFile::SeekBN(CFile* pFile, LONGLONG llRecord, LONGLONG llRecLenBytes) {
    return Engine::SeekBN(pFile, llRecord, llRecLenBytes);
}
void CBnFile::GetErrorMessage(int nStatus, CString& strMessage) {
    strMessage = gorv::datafile_detail::StatusMessage(nStatus);
}
int CBnFile::ReadMainHead(int nBlock, int nBlockLenBytes) { return Engine::ReadMainStep(*this, nBlock, nBlockLenBytes); }
int CBnFile::WriteMainHead(int nBlock, int nBlockLenBytes) { return Engine::WriteMainStep(*this, nBlock, nBlockLenBytes); }
int CBnFile::ReadSubHead(int nBlock, int nBlockLenBytes) { return Engine::ReadSubStep(*this, nBlock, nBlockLenBytes); }
int CBnFile::WriteSubHead(int nBlock, int nBlockLenBytes) { return Engine::WriteSubStep(*this, nBlock, nBlockLenBytes); }
