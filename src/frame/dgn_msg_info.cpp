// CDgnMSGInfo singleton bookkeeping.
#include <gorv/frame/dgn_msg_info.h>

CDgnMSGInfo* CDgnMSGInfo::m_pInstance = nullptr;

// The two integers start at zero so that copies of a fresh object never read indeterminate values.
CDgnMSGInfo::CDgnMSGInfo() : m_nMsgLevel(0), m_nMsgOption(0) {
    if (m_pInstance == nullptr)
        m_pInstance = this;
}

CDgnMSGInfo::~CDgnMSGInfo() {
    if (m_pInstance == this)
        m_pInstance = nullptr;
}

CDgnMSGInfo::CDgnMSGInfo(const CDgnMSGInfo& other)
    : m_aMessage(other.m_aMessage), m_nMsgLevel(other.m_nMsgLevel), m_nMsgOption(other.m_nMsgOption) {}

CDgnMSGInfo& CDgnMSGInfo::operator=(const CDgnMSGInfo& other) {
    if (this != &other)
        m_aMessage = other.m_aMessage;
    m_nMsgLevel = other.m_nMsgLevel;
    m_nMsgOption = other.m_nMsgOption;
    return *this;
}

CDgnMSGInfo* CDgnMSGInfo::Instance() { return m_pInstance; }

void CDgnMSGInfo::AddMessage(const wchar_t* /*msg*/) {}
void CDgnMSGInfo::ClearMessages() {}
int CDgnMSGInfo::GetMessageCount() const { return 0; }
bool CDgnMSGInfo::ShowMessages() { return false; }
