// Status messages of the record file, identical for CBnFile and CBnFileResult.
#include "datafile/bn_engine.h"

namespace gorv::datafile_detail {

const wchar_t* StatusMessage(int nStatus) {
    static const wchar_t* const kMessages[] = {
        L"오류가 없습니다.",
        L"데이터의 형태가 맞지 않습니다.",
        L"파일을 읽는 중 오류가 발생하였습니다.",
        L"상위버전의 프로그램에서 작성된 파일입니다.",
        L"데이터를 찾을 수 없습니다.",
        L"파일의 버전이 일치하지 않습니다.",
        L"잘못된 입력데이터 입니다.",
        L"파일의 형태가 맞지 않습니다",
        L"파일의 종류번호가 일치하지 않습니다.",
        L"하위버전의 프로그램에서 작성된 파일입니다.",
        L"데이터가 올바르지 않습니다.",
    };
    if (nStatus < 0 || nStatus > 10) return L"알 수 없는 오류가 발생하였습니다.";
    return kMessages[nStatus];
}

}  // namespace gorv::datafile_detail
