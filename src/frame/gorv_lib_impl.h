// CGorvLibImpl: the library's own implementation of IGorvLib; one object lives from load to
// unload (gorv_lib.cpp). Private: hosts use it only through IGorvLib::GetInstance().
#pragma once

#include <gorv/frame/gorv_lib.h>

class CGorvLibImpl : public Gorv::link::IGorvLib {
public:
    CGorvLibImpl() {}
    ~CGorvLibImpl() override;

    using Gorv::link::IGorvLib::SetLanguage;
    // Same sequence as CMsgDll::SetLoadStrFunc; always returns true.
    bool SetLanguage(Gorv::link::Language& lang) override;
};
