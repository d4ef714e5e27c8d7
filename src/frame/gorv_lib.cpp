// IGorvLib singleton and the library's own CGorvLibImpl object.
#include "gorv_lib_impl.h"
#include <gorv/text/msg_dll.h>

namespace Gorv {
namespace link {

IGorvLib* IGorvLib::m_pInstance = nullptr;

IGorvLib::IGorvLib() { m_pInstance = this; }

IGorvLib::IGorvLib(const IGorvLib&) {}

IGorvLib& IGorvLib::operator=(const IGorvLib&) { return *this; }

IGorvLib::~IGorvLib() { m_pInstance = nullptr; }

IGorvLib* IGorvLib::GetInstance() { return m_pInstance; }

}  // namespace link
}  // namespace Gorv

CGorvLibImpl::~CGorvLibImpl() {}

bool CGorvLibImpl::SetLanguage(Gorv::link::Language& lang) {
    CMsgDll::SetLoadStrFunc(lang);
    return true;
}

namespace {

// The library's interface object, alive from load to unload. Initialisation order of the
// library's statics: this object (60000) before the string map (text area, 60001), and the module
// entry handler after both (constructor priority 60002). Fixed priorities keep that order whatever
// the link order is; destruction runs in reverse, so the map goes first and this object, which
// clears IGorvLib's instance pointer, goes last.
CGorvLibImpl g_theGorvLib __attribute__((init_priority(60000)));

}  // namespace
