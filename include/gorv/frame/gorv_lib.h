// IGorvLib: the library interface singleton through which the host chooses the text language,
// and CGorvLibImpl, the library's own implementation (one object lives from load to unload).
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/geom/geom_types.h>

namespace Gorv {
namespace link {

class GORV_API IGorvLib {
public:
    // The most recently constructed interface object becomes the instance.
    IGorvLib();
    // Copies carry no state and do not change the instance.
    IGorvLib(const IGorvLib&);
    IGorvLib& operator=(const IGorvLib&);
    // Clears the instance, whichever object it pointed to.
    virtual ~IGorvLib();

    // Registers the string table of lang (unless it is already the current language) and routes
    // CMsgDll::pfuncLoadStr to LoadStr.
    virtual bool SetLanguage(const Language& lang) = 0;

    // The current instance, or null; never creates one.
    static IGorvLib* GetInstance();

private:
    static IGorvLib* m_pInstance;
};

}  // namespace link
}  // namespace Gorv

class GORV_API CGorvLibImpl : public Gorv::link::IGorvLib {
public:
    CGorvLibImpl() {}
    ~CGorvLibImpl() override;

    // Same sequence as CMsgDll::SetLoadStrFunc; always returns true.
    bool SetLanguage(const Gorv::link::Language& lang) override;
};
