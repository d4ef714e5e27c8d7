// Text dumps of a section model for tests: compare a model before an edit and after its undo, or
// print a history record. Doubles are written with 17 significant digits, so equal text means
// bit-equal coordinates (up to the sign of zero).
#pragma once

#include <gorv/section/sect_model.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace sect_test {

enum DumpFlags {
    kDumpAll = 0,
    kDumpSkipWorkFields = 1,  // leave out nSectCurveId and nTwin (scratch fields that undo need not restore)
    kDumpSkipCounters = 2     // leave out the id counters and history ids
};

inline std::string DumpNum(double d) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", d);
    return buf;
}

inline std::string DumpIds(const std::vector<int>& a) {
    std::string s = "[";
    for (std::size_t i = 0; i < a.size(); ++i) s += (i ? "," : "") + std::to_string(a[i]);
    return s + "]";
}

inline void DumpPoint(std::ostringstream& os, const T_SM_POINT& p, int nFlags) {
    os << "  P" << p.nId << " (" << DumpNum(p.dX) << "," << DumpNum(p.dY) << ") e=" << DumpNum(p.dExtra1) << ","
       << DumpNum(p.dExtra2) << "," << DumpNum(p.dExtra3);
    if (!(nFlags & kDumpSkipWorkFields)) os << " twin=" << p.nTwin;
    os << "\n";
}

inline void DumpCurve(std::ostringstream& os, const T_SM_CURVE& c, int nFlags) {
    os << "  C" << c.nId << " type=" << c.nType << " param=" << DumpNum(c.dParam) << " sect=" << c.nSection
       << " loops=" << DumpIds(c.aLoopId) << " pts=" << DumpIds(c.aPointId);
    if (!(nFlags & kDumpSkipWorkFields)) os << " mark=" << c.nSectCurveId;
    os << "\n";
}

inline void DumpLoop(std::ostringstream& os, const T_SM_LOOP& l) {
    os << "  L" << l.nId << " kind=" << l.nKind << " curves=" << DumpIds(l.aCurveId) << "\n";
}

inline void DumpGroup(std::ostringstream& os, const T_SM_GROUP& g) {
    os << "  G" << g.nId << " '" << CString(g.strName).ToUtf8() << "' s=" << DumpIds(g.aSectionId)
       << " c=" << DumpIds(g.aCurveId) << " p=" << DumpIds(g.aPointId) << "\n";
}

inline void DumpSection(std::ostringstream& os, const T_SM_SECTION& s, int nFlags) {
    os << "  S" << s.nId << " '" << CString(s.strName).ToUtf8() << "' type=" << s.nType << " attr=" << s.nAttr
       << " curves=" << DumpIds(s.aCurveId) << " caller=" << DumpIds(s.aCallerId) << " flag=" << s.bCallerFlag
       << " value=" << DumpNum(s.dCallerValue) << "\n";
    for (const auto& kv : s.mapDomain)
        os << "    D" << kv.first << " active=" << kv.second->bActive << " loops=" << DumpIds(kv.second->aLoopId)
           << "\n";
    for (const auto& kv : s.mapLoop) {
        os << "  ";
        DumpLoop(os, *kv.second);
    }
    for (const auto& kv : s.mapCurve) {
        const T_SM_SECT_CURVE& c = *kv.second;
        os << "    SC" << c.nId << " twin=" << c.nTwinId << " pts=" << DumpIds(c.aPointId)
           << " interior=" << c.bInterior << " use=" << c.nUse << "\n";
    }
    for (const auto& kv : s.mapTriangle) {
        const T_SM_TRIANGLE& t = *kv.second;
        os << "    T" << t.nId << " dom=" << t.nDomainId << " pts=" << t.aPointId[0] << "," << t.aPointId[1] << ","
           << t.aPointId[2] << "\n";
    }
    for (const auto& kv : s.mapPoint) {
        os << "  ";
        DumpPoint(os, *kv.second, nFlags);
    }
    if (!(nFlags & kDumpSkipCounters))
        os << "    next d=" << s.nNextDomainId << " l=" << s.nNextLoopId << " c=" << s.nNextCurveId
           << " p=" << s.nNextPointId << " t=" << s.nNextTriangleId << "\n";
}

// Every table of the model in ascending id order (not the undo and redo tables themselves).
inline std::string DumpSectModel(const CSectModel& m, int nFlags = kDumpAll) {
    std::ostringstream os;
    os << "sections\n";
    for (const auto& kv : m.m_mapSection) DumpSection(os, *kv.second, nFlags);
    os << "loops\n";
    for (const auto& kv : m.m_mapLoop) DumpLoop(os, *kv.second);
    os << "curves\n";
    for (const auto& kv : m.m_mapCurve) DumpCurve(os, *kv.second, nFlags);
    os << "points\n";
    for (const auto& kv : m.m_mapPoint) DumpPoint(os, *kv.second, nFlags);
    os << "csys\n";
    for (const auto& kv : m.m_mapCsys)
        os << "  K" << kv.first << " '" << CString(kv.second->strName).ToUtf8() << "' " << DumpNum(kv.second->dShiftX)
           << "," << DumpNum(kv.second->dShiftY) << "," << DumpNum(kv.second->dAngle) << "\n";
    os << "groups\n";
    for (const auto& kv : m.m_mapGroup) DumpGroup(os, *kv.second);
    os << "named\n";
    for (const auto& kv : m.m_mapNamed) os << "  N" << kv.first << " '" << CString(kv.second->strName).ToUtf8() << "'\n";
    if (!(nFlags & kDumpSkipCounters))
        os << "next s=" << m.m_nNextSectionId << " c=" << m.m_nNextCurveId << " p=" << m.m_nNextPointId
           << " g=" << m.m_nNextGroupId << " undo=" << m.m_nUndoId << " redo=" << m.m_nRedoId << "\n";
    return os.str();
}

// One history record: title, created lists and the saved records.
inline std::string DumpSectHistory(const T_SM_HISTORY& h) {
    std::ostringstream os;
    os << "H" << h.nId << " '" << CString(h.strTitle).ToUtf8() << "'\n";
    os << " new s=" << DumpIds(h.aNewSection) << " l=" << DumpIds(h.aNewLoop) << " c=" << DumpIds(h.aNewCurve)
       << " p=" << DumpIds(h.aNewPoint) << " k=" << DumpIds(h.aNewCsys) << " g=" << DumpIds(h.aNewGroup)
       << " n=" << DumpIds(h.aNewNamed) << "\n";
    for (const auto& kv : h.mapOldSection) DumpSection(os, *kv.second, kDumpAll);
    for (const auto& kv : h.mapOldLoop) DumpLoop(os, *kv.second);
    for (const auto& kv : h.mapOldCurve) DumpCurve(os, *kv.second, kDumpAll);
    for (const auto& kv : h.mapOldPoint) DumpPoint(os, *kv.second, kDumpAll);
    for (const auto& kv : h.mapOldGroup) DumpGroup(os, *kv.second);
    return os.str();
}

}  // namespace sect_test
