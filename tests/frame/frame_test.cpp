#include <gorv/gorv_base.h>

#include "frame/dll_main.h"
#include "frame/gorv_lib_impl.h"
#include "text/fresh_process.h"

using namespace Gorv::link;

namespace {

struct CTestMsgInfo : CDgnMSGInfo {
    void AddMessage(const wchar_t* msg) override { m_aMessage.push_back(CString(msg)); }
    void ClearMessages() override { m_aMessage.clear(); }
    int GetMessageCount() const override { return static_cast<int>(m_aMessage.size()); }
    bool ShowMessages() override { return false; }
};

// A host's own interface object, overriding the operation with its declared signature.
struct CHostLib : IGorvLib {
    bool SetLanguage(Language& /*lang*/) override { return false; }
};

bool ModuleRegistered() {
    for (int i = 0; i < AfxGetDynLinkLibraryCount(); ++i)
        if (AfxGetDynLinkLibraryModule(i) == detail::GorvBaseInstance()) return true;
    return false;
}

}  // namespace

TEST(GorvLib, LibraryObjectIsInstanceAtLoadAndAnyDestroyedObjectClearsIt) {
    EXPECT_IN_FRESH_PROCESS([](fresh::Checks& c) {
        c.Expect(dynamic_cast<CGorvLibImpl*>(IGorvLib::GetInstance()) != nullptr, "library object at load");
        c.Expect(CDgnMSGInfo::Instance() == nullptr, "no message info at load");
        c.Expect(IGorvLib::GetInstance()->SetLanguage(static_cast<Language>(7)), "SetLanguage returns true");
        c.Expect(CMsgDll::gLangType == 7 && CMsgDll::pfuncLoadStr == &LoadStr, "binding like SetLoadStrFunc");
        {
            CHostLib second;
            CHostLib copy(second);
            copy = second;
            c.Expect(IGorvLib::GetInstance() == &second, "last constructed wins, copies change nothing");
        }
        c.Expect(IGorvLib::GetInstance() == nullptr, "destroying any object clears instance");
    });
}

TEST(DgnMSGInfo, FirstConstructedStaysInstanceUntilItIsDestroyed) {
    ASSERT_EQ(nullptr, CDgnMSGInfo::Instance());
    auto* first = new CTestMsgInfo;
    auto* second = new CTestMsgInfo;
    first->AddMessage(L"a");
    CTestMsgInfo copy(*first);
    *second = *first;
    *second = *second;
    EXPECT_EQ(1, copy.GetMessageCount());
    EXPECT_EQ(1, second->GetMessageCount());
    delete second;
    EXPECT_EQ(first, CDgnMSGInfo::Instance());
    delete first;
    EXPECT_EQ(nullptr, CDgnMSGInfo::Instance());  // although a copy still exists
}

TEST(ModuleEntry, DetachDeregistersAndRefusedAttachCreatesNoEntry) {
    using namespace detail;
    const HINSTANCE self = GorvBaseInstance();
    ASSERT_TRUE(ModuleRegistered());  // attached when the program started
    const int count = AfxGetDynLinkLibraryCount();
    EXPECT_TRUE(GorvBaseDllMain(self, kDllThreadAttach, nullptr) && GorvBaseDllMain(self, kDllThreadDetach, nullptr));
    EXPECT_EQ(count, AfxGetDynLinkLibraryCount());  // thread notifications change nothing
    EXPECT_EQ(1, GorvBaseDllMain(self, kDllProcessDetach, nullptr));
    EXPECT_FALSE(ModuleRegistered());
    AfxSetExtensionModuleInitFailure(TRUE);
    EXPECT_EQ(0, GorvBaseDllMain(self, kDllProcessAttach, nullptr));
    EXPECT_EQ(count - 1, AfxGetDynLinkLibraryCount());
    AfxSetExtensionModuleInitFailure(FALSE);
    EXPECT_EQ(1, GorvBaseDllMain(self, kDllProcessAttach, nullptr));
    EXPECT_EQ(count, AfxGetDynLinkLibraryCount());
}
