// CBnFileResult: the result record file's operations, on the shared engine of bn_engine.h.
#include <gorv/datafile/bn_file_result.h>

#include "datafile/bn_engine.h"

using Engine = gorv::datafile_detail::BnEngine<CBnFileResult>;

const int CBnFileResult::m_MULT_LNG_R = 4;
const char CBnFileResult::m_HeadName[4] = {'Q', 'R', 'B', ' '};
const int CBnFileResult::m_FileType = 2;
const float CBnFileResult::m_FileVersion = 1.0f;

CBnFileResult::CBnFileResult() { Engine::Construct(*this); }
CBnFileResult::~CBnFileResult() = default;

void CBnFileResult::INIT_F(CFile* pFile, const char* pszHeadName, int nFileType, float fVersion) {
    Engine::Init(*this, pFile, pszHeadName, nFileType, fVersion);
}
int CBnFileResult::CREATE_F() { return Engine::Create(*this); }
int CBnFileResult::CHKHED_F(float& fVersion) { return Engine::CheckHeader(*this, fVersion); }
int CBnFileResult::READ_F(const char* pszName, int nId, int& nFirstRec, int& nRecLen, int& nRecCount) {
    return Engine::Read(*this, pszName, nId, nFirstRec, nRecLen, nRecCount);
}
int CBnFileResult::WRITE_F(const char* pszName, int nId, int& nFirstRec, int nRecLen, int nRecCount) {
    return Engine::Write(*this, pszName, nId, nFirstRec, nRecLen, nRecCount);
}
int CBnFileResult::MODIFY_F(const char* pszName, int nId, int nRecCount) {
    return Engine::Modify(*this, pszName, nId, nRecCount);
}
int CBnFileResult::DELETE_F(const char* pszName, int nId) { return Engine::Delete(*this, pszName, nId); }
int CBnFileResult::SeekBN(LONGLONG llRecord, LONGLONG llRecLenBytes) {
    return Engine::SeekBN(m_pFile, llRecord, llRecLenBytes);
}
int CBnFileResult::SeekBN(CFile* pFile, LONGLONG llRecord, LONGLONG llRecLenBytes) {
    return Engine::SeekBN(pFile, llRecord, llRecLenBytes);
}
void CBnFileResult::GetErrorMessage(int nStatus, CString& strMessage) {
    strMessage = gorv::datafile_detail::StatusMessage(nStatus);
}
int CBnFileResult::ReadMainHead(int nBlock, int nBlockLenBytes) { return Engine::ReadMainStep(*this, nBlock, nBlockLenBytes); }
int CBnFileResult::WriteMainHead(int nBlock, int nBlockLenBytes) { return Engine::WriteMainStep(*this, nBlock, nBlockLenBytes); }
int CBnFileResult::ReadSubHead(int nBlock, int nBlockLenBytes) { return Engine::ReadSubStep(*this, nBlock, nBlockLenBytes); }
int CBnFileResult::WriteSubHead(int nBlock, int nBlockLenBytes) { return Engine::WriteSubStep(*this, nBlock, nBlockLenBytes); }
