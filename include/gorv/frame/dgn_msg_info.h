// CDgnMSGInfo: base class of the host's design-message collector. The first object constructed
// becomes the process-wide instance until it is destroyed.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/platform/afx_string.h>

#include <vector>

class GORV_API CDgnMSGInfo {
public:
    CDgnMSGInfo(const CDgnMSGInfo& other);
    CDgnMSGInfo& operator=(const CDgnMSGInfo& other);

    // The instance, or null when none exists; never creates one.
    static CDgnMSGInfo* Instance();

protected:
    CDgnMSGInfo();
    virtual ~CDgnMSGInfo();

public:
    // Overridden by the host's concrete collector; the library never calls them. They have empty
    // defaults so that a host collector needs to supply only what it uses: the protected
    // constructor and destructor already keep this class from being used on its own.
    virtual void AddMessage(const wchar_t* msg);
    virtual void ClearMessages();
    virtual int GetMessageCount() const;
    virtual bool ShowMessages();

protected:
    std::vector<CString> m_aMessage;  // collected message lines
    int m_nMsgLevel;                  // severity the collector reports from
    int m_nMsgOption;                 // collector-defined display flags

private:
    static CDgnMSGInfo* m_pInstance;
};
