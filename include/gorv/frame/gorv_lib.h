// IGorvLib: the library interface singleton through which the host chooses the text language.
// Its one implementation, CGorvLibImpl, is private to the library (src/frame/gorv_lib_impl.h);
// hosts reach it through IGorvLib::GetInstance().
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
    virtual bool SetLanguage(Language& lang) = 0;
    // Lets callers pass a constant or an enumerator; forwards a copy to the virtual operation.
    bool SetLanguage(const Language& lang) {
        Language copy = lang;
        return SetLanguage(copy);
    }

    // The current instance, or null; never creates one.
    static IGorvLib* GetInstance();

private:
    static IGorvLib* m_pInstance;
};

}  // namespace link
}  // namespace Gorv
