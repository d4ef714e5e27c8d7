// Records of the section model and the owning table that holds them.
// Every table maps an id to a heap record that the table owns: erasing, clearing or destroying the
// table frees its records, and copying a table copies every record (a deep copy).
#pragma once

#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_types.h>

#include <cstddef>
#include <map>
#include <memory>
#include <utility>
#include <vector>

// Owning ordered table from id to record, iterated in ascending id order.
// Reading looks like a std::map<int, T*>: begin/end/find/count/size/empty, `it->second` is a T*.
// Records change in place through those pointers; entries are added and removed only through
// Insert / Erase / Release / Clear, so no record is ever leaked or freed twice.
template <class T>
class CSmTable {
public:
    typedef std::map<int, T*> map_type;
    typedef typename map_type::const_iterator const_iterator;
    typedef const_iterator iterator;
    typedef typename map_type::value_type value_type;

    CSmTable() = default;
    CSmTable(const CSmTable& other) { CopyFrom(other); }
    CSmTable(CSmTable&& other) noexcept : m_map(std::move(other.m_map)) {
        other.m_map.clear();
        ++other.m_nRevision;
    }
    CSmTable& operator=(const CSmTable& other) {
        if (this != &other) {
            CSmTable tmp(other);
            Swap(tmp);
        }
        return *this;
    }
    CSmTable& operator=(CSmTable&& other) noexcept {
        if (this != &other) {
            Clear();
            m_map.swap(other.m_map);
            ++other.m_nRevision;
        }
        return *this;
    }
    ~CSmTable() { Clear(); }

    // std::map-like reading; iteration runs in ascending id order.
    const_iterator begin() const { return m_map.begin(); }
    const_iterator end() const { return m_map.end(); }
    const_iterator find(int nId) const { return m_map.find(nId); }
    std::size_t count(int nId) const { return m_map.count(nId); }
    std::size_t size() const { return m_map.size(); }
    bool empty() const { return m_map.empty(); }
    const_iterator lower_bound(int nId) const { return m_map.lower_bound(nId); }
    const_iterator upper_bound(int nId) const { return m_map.upper_bound(nId); }
    typename map_type::const_reverse_iterator rbegin() const { return m_map.rbegin(); }
    typename map_type::const_reverse_iterator rend() const { return m_map.rend(); }

    // One entry seen through operator[]: reads as the record pointer (null when absent, and a read
    // never adds an entry); assigning a heap record hands it to the table, assigning null erases.
    class Slot {
    public:
        Slot(CSmTable& table, int nId) : m_table(table), m_nId(nId) {}
        operator T*() const { return m_table.Find(m_nId); }
        T* operator->() const { return m_table.Find(m_nId); }
        T& operator*() const { return *m_table.Find(m_nId); }
        Slot& operator=(T* pRec) {
            if (pRec == nullptr)
                m_table.Erase(m_nId);
            else if (pRec != m_table.Find(m_nId))
                m_table.Insert(m_nId, std::unique_ptr<T>(pRec));
            return *this;
        }
        Slot& operator=(std::unique_ptr<T>&& pRec) { return *this = pRec.release(); }

    private:
        CSmTable& m_table;
        int m_nId;
    };
    // std::map-style access for callers used to a map of id to record pointer.
    Slot operator[](int nId) { return Slot(*this, nId); }
    T* operator[](int nId) const { return Find(nId); }
    T* at(int nId) const { return Find(nId); }  // null instead of a throw: the modeler throws nothing
    // Adds pRec under nId unless the id is taken (then, as with a map of pointers, pRec stays the
    // caller's); a null record is never added.
    std::pair<const_iterator, bool> emplace(int nId, T* pRec) {
        const_iterator it = m_map.find(nId);
        if (it != m_map.end() || pRec == nullptr) return std::make_pair(it, false);
        Insert(nId, std::unique_ptr<T>(pRec));
        return std::make_pair(m_map.find(nId), true);
    }
    std::pair<const_iterator, bool> emplace(int nId, std::unique_ptr<T>&& pRec) {
        std::pair<const_iterator, bool> r = emplace(nId, pRec.get());
        if (r.second) pRec.release();
        return r;
    }
    std::pair<const_iterator, bool> insert(const value_type& kv) { return emplace(kv.first, kv.second); }
    std::size_t erase(int nId) { return Erase(nId) ? 1u : 0u; }
    void clear() { Clear(); }

    // The record of nId, or null when the table has none.
    T* Find(int nId) const {
        const_iterator it = m_map.find(nId);
        return it == m_map.end() ? nullptr : it->second;
    }
    bool Contains(int nId) const { return m_map.count(nId) != 0; }
    // Grows whenever an entry is added, replaced or removed (never for in-place record changes), so
    // a cache built from the table can tell that it is out of date.
    unsigned long long Revision() const { return m_nRevision; }

    // Takes ownership of pRec under nId; a record already under nId is freed first. Returns pRec.
    // pRec is taken by reference so Insert(p->nId, std::move(p)) reads the id before the move.
    T* Insert(int nId, std::unique_ptr<T>&& pRec) {
        T* pRaw = pRec.get();
        ++m_nRevision;
        typename map_type::iterator it = m_map.find(nId);
        if (it != m_map.end()) {
            delete it->second;
            it->second = pRec.release();
        } else {
            m_map.emplace(nId, pRaw);
            pRec.release();
        }
        return pRaw;
    }
    // Inserts a heap copy of rec under rec.nId.
    T* InsertCopy(const T& rec) { return Insert(rec.nId, std::unique_ptr<T>(new T(rec))); }

    // Removes and frees the record of nId; false when there was none.
    bool Erase(int nId) {
        typename map_type::iterator it = m_map.find(nId);
        if (it == m_map.end()) return false;
        T* p = it->second;
        m_map.erase(it);
        ++m_nRevision;
        delete p;
        return true;
    }
    // Removes the record of nId from the table and hands its ownership to the caller (null if absent).
    std::unique_ptr<T> Release(int nId) {
        typename map_type::iterator it = m_map.find(nId);
        if (it == m_map.end()) return std::unique_ptr<T>();
        std::unique_ptr<T> p(it->second);
        m_map.erase(it);
        ++m_nRevision;
        return p;
    }
    // Frees every record.
    void Clear() {
        for (typename map_type::iterator it = m_map.begin(); it != m_map.end(); ++it) delete it->second;
        m_map.clear();
        ++m_nRevision;
    }
    // The ids of the table, ascending.
    std::vector<int> Ids() const {
        std::vector<int> ids;
        ids.reserve(m_map.size());
        for (const_iterator it = m_map.begin(); it != m_map.end(); ++it) ids.push_back(it->first);
        return ids;
    }
    void Swap(CSmTable& other) noexcept {
        m_map.swap(other.m_map);
        ++m_nRevision;
        ++other.m_nRevision;
    }

private:
    void CopyFrom(const CSmTable& other) {
        for (const_iterator it = other.m_map.begin(); it != other.m_map.end(); ++it)
            Insert(it->first, std::unique_ptr<T>(new T(*it->second)));
    }

    map_type m_map;
    unsigned long long m_nRevision = 0;
};

// A point of the model plane (or of a section's own table).
struct T_SM_POINT {
    int nId = 0;
    int nTwin = 0;        // twin made for this point by the latest point separation, or 0
    double dX = 0.0;
    double dY = 0.0;
    double dExtra1 = 0.0; // carried values, 0 for points the modeler makes
    double dExtra2 = 0.0;
    double dExtra3 = 0.0;
};

// A model curve; the modeler makes only straight lines of two points.
struct T_SM_CURVE {
    int nId = 0;
    int nSectCurveId = 0; // working field: copy id inside a section being generated, or a mark
    int nType = 1;        // 1 = straight line
    double dParam = 0.0;  // 0 for a line; carried
    int nSection = 0;     // owning section id, 0 when free
    std::vector<int> aLoopId;  // model loops (m_mapLoop) that run through this curve
    std::vector<int> aPointId; // point ids start to end
};

// A closed loop (also an open chain inside a section). Negative entry -c runs curve c backward.
struct T_SM_LOOP {
    int nId = 0;
    int nKind = 1; // 1 outer ring (ccw), 2 hole ring (cw), 3 open chain, 4 unresolved
    std::vector<int> aCurveId;
};

// One region of a plane section: its outer loop first, then the loops inside it.
struct T_SM_DOMAIN {
    int nId = 0;
    bool bActive = false; // the domain is part of the section's area
    int nAttr = 0;
    std::vector<int> aLoopId; // ids in the section's mapLoop
};

// Where a section curve meets another one.
struct T_SM_CURVE_LINK {
    int nCurveId = 0;
    bool bAtStart = false; // at the linked curve's first point (it continues forward)
};

// A curve inside a section (the section's own copy).
struct T_SM_SECT_CURVE {
    int nId = 0;
    int nTwinId = 0; // reversed twin made by the loop rebuild, or 0
    int nType = 1;   // copied from the model curve
    std::vector<int> aPointId; // ids in the section's mapPoint, first to last
    std::vector<int> aExtra1;  // carried lists, unused by the modeler
    std::vector<int> aExtra2;
    bool bInterior = false; // may be traversed in both directions
    std::vector<T_SM_CURVE_LINK> aStartLink;
    std::vector<T_SM_CURVE_LINK> aEndLink;
    int nUse = 0; // directions still free: 0 none, 1 forward, 2 backward, 3 both
};

// A triangle of a plane section's area.
struct T_SM_TRIANGLE {
    int nId = 0;
    int nDispDomainId = 0; // display domain id
    int nDomainId = 0;     // domain that contains the triangle
    int aPointId[3] = {0, 0, 0}; // ids in the section's mapPoint
};

// A section: plane (type 1) or line (type 2), with its own self-contained tables.
struct T_SM_SECTION {
    int nId = 0;
    int nAttr = 0;
    int nType = 1;   // 1 plane section, 2 line section
    CString strName;
    std::vector<int> aCallerId; // id list handed in by the caller of section generation
    bool bCallerFlag = false;   // caller's flag, stored unchanged
    double dCallerValue = 0.0;  // caller's value, stored unchanged
    std::vector<int> aCurveId;  // defining model curves (each has nSection == nId)
    CSmTable<T_SM_DOMAIN> mapDomain;
    CSmTable<T_SM_LOOP> mapLoop;
    CSmTable<T_SM_SECT_CURVE> mapCurve;
    CSmTable<T_SM_TRIANGLE> mapTriangle;
    std::map<int, int> mapExtraInt;       // carried values, unused by the modeler
    std::map<int, double> mapExtraDouble; // carried values, unused by the modeler
    CSmTable<T_SM_POINT> mapPoint;
    double dExtra1 = 0.0; // carried section values, unused by the modeler
    double dExtra2 = 0.0;
    int nExtra1 = 0;
    int nExtra2 = 0;
    // Next ids inside the section (post-increment).
    int nNextDomainId = 1;
    int nNextLoopId = 1;
    int nNextCurveId = 1;
    int nNextPointId = 1;
    int nNextTriangleId = 1;
    int nNextExtraIntId = 1;
    int nNextExtraDoubleId = 1;
    // Working tables of the loop rebuild: traced loops and open chains.
    CSmTable<T_SM_LOOP> mapWorkLoop;
    CSmTable<T_SM_LOOP> mapWorkChain;
};

// A named collection; each list sorted ascending without repeats.
struct T_SM_GROUP {
    int nId = 0;
    CString strName;
    std::vector<int> aSectionId;
    std::vector<int> aCurveId;
    std::vector<int> aPointId;
};

// A coordinate system. Its last three values place it in the model plane.
struct T_SM_CSYS {
    int nId = 0;
    CString strName;
    int nAttr = 0;
    double dValue[7] = {0, 0, 0, 0, 0, 0, 0}; // carried values
    double dShiftX = 0.0;
    double dShiftY = 0.0;
    double dAngle = 0.0; // degrees
};

// A named record carried and restored by undo.
struct T_SM_NAMED {
    int nId = 0;
    int nAttr = 0;
    CString strName;
    double dValue1 = 0.0;
    double dValue2 = 0.0;
};

// One editing operation of the undo history (or its inverse in the redo table): the ids of the
// records it created and the state before it of every record it changed or removed.
struct T_SM_HISTORY {
    int nId = 0;
    CString strTitle;
    std::vector<int> aNewSection;
    std::vector<int> aNewLoop;
    std::vector<int> aNewCurve;
    std::vector<int> aNewPoint;
    std::vector<int> aNewCsys;
    std::vector<int> aNewGroup;
    std::vector<int> aNewNamed;
    CSmTable<T_SM_SECTION> mapOldSection;
    CSmTable<T_SM_LOOP> mapOldLoop;
    CSmTable<T_SM_CURVE> mapOldCurve;
    CSmTable<T_SM_POINT> mapOldPoint;
    CSmTable<T_SM_CSYS> mapOldCsys;
    CSmTable<T_SM_GROUP> mapOldGroup;
    CSmTable<T_SM_NAMED> mapOldNamed;
};
