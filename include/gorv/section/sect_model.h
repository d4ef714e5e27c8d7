// CSectModel: the in-memory section model (points, line curves, loops, sections, groups, coordinate
// systems) with its undo history, and every editing operation on it.
// Invariants: ids of each kind start at 1 and only grow; tables iterate in ascending id order and own
// their records; every id in a curve's aPointId names a point of m_mapPoint.
#pragma once

#include <gorv/geom/geom_types.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/gorv_export.h>
#include <gorv/section/sect_types.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Kinds of the texts that the modeler composes, as passed to a text observer.
enum ESmTextKind {
    SM_TEXT_NOTICE = 0,   // result notice
    SM_TEXT_WARNING = 1,  // warning or failure reason
    SM_TEXT_QUESTION = 2, // yes/no question; never asked, the operation goes on as on yes
    SM_TEXT_SINK = 3,     // text handed to the message sink
    SM_TEXT_TITLE = 4     // title of an undo record
};

// The model's message sink. It shows nothing and answers false to everything.
class GORV_API CSmMsgSink {
public:
    // A message text; the answer is always false.
    bool Message(const CString& strText);
    // A section id with the section's name; the answer is always false.
    bool SectionMessage(int nSectionId, const CString& strName);
};

// Receives every text the modeler composes, in order (kind is an ESmTextKind).
typedef std::function<void(int nKind, const CString& strText)> SmTextObserver;

class GORV_API CSectModel {
public:
    // Empty tables; m_mapCsys holds system 0 "GCS"; every id counter at 1.
    explicit CSectModel(double dTolerance);
    ~CSectModel();
    CSectModel(const CSectModel&) = delete;
    CSectModel& operator=(const CSectModel&) = delete;

    // ---- tables and state ----
    CSmTable<T_SM_SECTION> m_mapSection;
    CSmTable<T_SM_LOOP> m_mapLoop;
    CSmTable<T_SM_CURVE> m_mapCurve;
    CSmTable<T_SM_POINT> m_mapPoint;
    CSmTable<T_SM_HISTORY> m_mapUndo;
    CSmTable<T_SM_HISTORY> m_mapRedo;
    CSmTable<T_SM_CSYS> m_mapCsys;
    CSmTable<T_SM_GROUP> m_mapGroup;
    int m_nUndoId;  // newest undo record, 0 when none
    int m_nRedoId;  // newest redo record, 0 when none
    int m_nCurCsys; // current coordinate system
    CSmTable<T_SM_NAMED> m_mapNamed;
    std::vector<int> m_aNewSection; // sections made by the latest section generation
    std::vector<int> m_aLastCurve;  // curves made by the latest edits
    std::vector<int> m_aLastPoint;  // points made by the latest edits
    int m_nNextSectionId;
    int m_nNextCurveId;
    int m_nNextPointId;
    int m_nNextGroupId;
    double m_dTolerance; // snapping, coincidence and length tolerance of every edit
    CSmMsgSink m_msgSink;

    // ---- lookups: the record of the id, or null ----
    T_SM_SECTION* GetSection(int nId) const;
    T_SM_LOOP* GetLoop(int nId) const;
    T_SM_CURVE* GetCurve(int nId) const;
    T_SM_POINT* GetPoint(int nId) const;
    T_SM_CSYS* GetCsys(int nId) const;
    T_SM_GROUP* GetGroup(int nId) const;
    T_SM_NAMED* GetNamed(int nId) const;
    // The current coordinate system; when m_nCurCsys names none, it becomes 0 and system 0 is returned.
    T_SM_CSYS* GetCurCsys();
    // m_aNewSection becomes just nSectionId.
    void SetNewSection(int nSectionId);

    // ---- undo history ----
    // Opens undo record m_nUndoId + 1.
    void OpenHistory();
    // Title of undo record m_nUndoId (nothing when there is none).
    void SetHistoryTitle(const CString& strTitle);
    // ClearRedo; with bOpen, OpenHistory first; notes the section as created in the newest record.
    void RecordNewSection(int nSectionId, bool bOpen);
    // ClearRedo, then keeps a copy of the record's state in the newest undo record unless that record
    // created it or already holds a copy of it (the first copy wins). Null or no undo record: no copy.
    void SaveSection(const T_SM_SECTION* pSection);
    void SaveLoop(const T_SM_LOOP* pLoop);
    void SaveCurve(const T_SM_CURVE* pCurve);
    void SavePoint(const T_SM_POINT* pPoint);
    void SaveGroup(const T_SM_GROUP* pGroup);
    void SaveSection(const T_SM_SECTION& section) { SaveSection(&section); }
    void SaveLoop(const T_SM_LOOP& loop) { SaveLoop(&loop); }
    void SaveCurve(const T_SM_CURVE& curve) { SaveCurve(&curve); }
    void SavePoint(const T_SM_POINT& point) { SavePoint(&point); }
    void SaveGroup(const T_SM_GROUP& group) { SaveGroup(&group); }
    // ClearRedo; notes the group as created in the newest record.
    void RecordNewGroup(int nGroupId);
    // Frees every redo record (when m_nRedoId is not 0).
    void ClearRedo();
    // Takes back the newest undo record, leaving its inverse as the newest redo record.
    void Undo();
    // Undo, then drops the redo record it made.
    void Rollback();

    // ---- curve insertion and point snapping ----
    // Id of the first point, in ascending id order, closer than m_dTolerance to q (strictly), or 0.
    // A per-axis box test (difference > tol skips) runs before the distance. First match wins.
    int FindPoint(const double q[2]) const;
    int FindPoint(double dX, double dY) const;
    int FindPoint(const T_GORV_POINT2D& pt) const { return FindPoint(pt.x, pt.y); }
    // Adds a line from (x1,y1) to (x2,y2); each end snaps to FindPoint or becomes a new point (start
    // first). Returns the new curve id, or -1 (nothing changed) when the length is < m_dTolerance.
    int AddLineCurve(double dX1, double dY1, double dX2, double dY2);

    // ---- curve splitting and duplicate removal ----
    // Cuts pCurve at fractions of its length (any order; ones closer than 0.001 to the next are
    // thinned). The curve keeps piece 0; later pieces become new curves with ascending ids.
    void SplitCurve(T_SM_CURVE* pCurve, const std::vector<double>& aFraction);
    void SplitCurve(T_SM_CURVE& curve, const std::vector<double>& aFraction) { SplitCurve(&curve, aFraction); }
    // Deletes every free curve of the list whose ends match (strictly closer than m_dTolerance,
    // either direction) those of an earlier curve of the list, and the list's broken curves.
    void DeleteDuplicateCurves(const std::vector<int>& aCurveId);

    // ---- point equalization and separation ----
    // Merges the listed points (section and loop points excluded) into one point at the given
    // position (bAtPos, current coordinate system) or at their mean; re-points every curve.
    void EqualizePoints(std::vector<int> aPointId, bool bAtPos, double dPosX, double dPosY,
                        bool bDeleteMerged, bool bNotice, bool bRecordHistory);
    // Clusters the listed points by the snowball rule (distance < dSnowTol to any member) and
    // equalizes each cluster. False only for fewer than two usable ids or an unresolved id.
    bool EqualizePointsInTolerance(std::vector<int> aPointId, bool bAtPos, double dPosX, double dPosY,
                                   bool bDeleteMerged, bool bNotice, bool bRecordHistory,
                                   double dSnowTol);
    // Gives every point that the listed (section) curves share with other curves a twin for those
    // other curves.
    void SeparateSectionPoints(const std::vector<int>& aCurveId);

    // ---- curve deletion and groups ----
    // Deletes the listed free curves, unregisters their loops and, with bDeletePoints, the points
    // no remaining curve uses. False for an unresolved id or when only section curves were listed.
    bool DeleteCurves(std::vector<int> aCurveId, bool bDeletePoints, bool bNotice, bool bRecordHistory);
    // Adds ids to the group named strName (exact match), making it when absent. Empty name: nothing.
    void AddToGroup(const std::vector<int>& aSectionId, const std::vector<int>& aCurveId,
                    const std::vector<int>& aPointId, bool bRecordHistory, const CString& strName);
    void AddSectionToGroup(int nSectionId, const CString& strName);

    // ---- texts ----
    // Installs (or, with an empty function, removes) an observer of every composed text. Off by
    // default; it changes no result.
    void SetTextObserver(SmTextObserver observer);

    // ==== BEGIN loops/sections block (2.5-2.7 owner) ====
public:
    // ---- closed loops of a section (coordinates are the section's normalised ones) ----
    // Rebuilds the loops, open chains, domains, curve links and triangle domains of a plane section
    // from its curves by the leftmost-turn rule. False when a referenced record is missing (the
    // section is then left as far as the rebuild got).
    bool BuildSectionLoops(T_SM_SECTION* pSection);
    // Traces the outer boundary of a section under construction by the rightmost-turn rule about
    // the centroid (dCx, dCy). On success aOuter holds the boundary's section curve ids in order,
    // counter-clockwise (curves are reversed in place as needed), and the curves lying outside it
    // have been deleted from the section. On failure the reason is composed (the unclosed case
    // is handed to the message sink) and false is returned.
    bool TraceOuterBoundary(T_SM_SECTION* pSection, double dCx, double dCy, std::vector<int>& aOuter);
    // First curve, by loop kind 1, 2, 3, 4 then domain and loop order, with directions left; or 0.
    int FindLoopStartCurve(T_SM_SECTION* pSection);
    // Signed reference of the curve that follows nCurveRef at its junction (leftmost turn), or 0.
    int NextLoopCurve(T_SM_SECTION* pSection, int nCurveRef);
    // Registers a traced closed loop / open chain in the section's working tables and uses up the
    // traversal directions of its curves.
    void AddClosedLoop(T_SM_SECTION* pSection, const std::vector<int>& aCurveRef);
    void AddOpenChain(T_SM_SECTION* pSection, const std::vector<int>& aCurveRef);
    // A point 0.001 to the left of the middle of the loop's lowest-id curve (its middle for an
    // open chain); (0, 0) when the loop's records are missing.
    T_GORV_POINT2D LoopTestPoint(const T_SM_SECTION* pSection, const T_SM_LOOP* pLoop) const;
    // |winding sum of pt about the loop| > 350 degrees; false for an empty loop or missing records.
    bool IsPointInLoop(const T_SM_SECTION* pSection, const T_GORV_POINT2D& pt, const T_SM_LOOP* pLoop) const;
    // IsPointInLoop of the inner loop's test point against the outer loop.
    bool IsLoopInLoop(const T_SM_SECTION* pSection, const T_SM_LOOP* pInner, const T_SM_LOOP* pOuter) const;

    // ---- section generation ----
    // Plane section from the curves, named "NULL", no caller data and no group.
    int GenerateSection(const std::vector<int>& aCurveId);
    // Kind 1 plane section, kind 2 line section; any other kind gives 0. Returns the new id or 0.
    int GenerateSectionEx(int nKind, const std::vector<int>& aCurveId, bool bFlag,
                          const std::vector<int>& aCallerId, const CString& strGroup,
                          const CString& strName, double dValue);
    // One plane section from (part of) the curves, or 0. Writes no history.
    int GeneratePlaneSection(const std::vector<int>& aCurveId, bool bFlag,
                             const std::vector<int>& aCallerId, const CString& strName, double dValue);
    // Advancing-front triangulation of the section's area over its own points: 2, or 0 on failure.
    int TriangulateSection(T_SM_SECTION* pSection);
    int GenerateLineSection(const std::vector<int>& aCurveId, bool bFlag,
                            const std::vector<int>& aCallerId, const CString& strGroup,
                            const CString& strName, double dValue);

    // Repeated GeneratePlaneSection over aCurveId until every curve is used, then the merge of the
    // sections made into the first one (island domains). When more than one was made, the question
    // pszIslandQuestion (one %zd: the count) is composed. On failure every section made here is
    // removed and deleted, nSectCurveId of every listed curve is reset to 0, and 0 is returned.
    // Otherwise the merged section's id; pnMade receives the number of sections made.
    // Writes no history and leaves nSection of the curves alone.
    int GenerateIslandSections(const std::vector<int>& aCurveId, bool bFlag, const std::vector<int>& aCallerId,
                               const CString& strName, double dValue, const wchar_t* pszIslandQuestion,
                               std::size_t* pnMade);
private:
    // Winding sum in degrees of (dX, dY) about a list of signed section curve references.
    bool LoopWindingSum(const T_SM_SECTION* pSection, const std::vector<int>& aCurveRef, double dX, double dY,
                        double& dSum) const;
    // Test point of a signed curve list of the given loop kind; false when records are missing.
    bool LoopTestPointOf(const T_SM_SECTION* pSection, const std::vector<int>& aCurveRef, int nKind,
                         double pt[2]) const;
    // Loop rebuild phases.
    bool LinkSectionCurves(T_SM_SECTION* pSection);
    void TraceSectionLoops(T_SM_SECTION* pSection);
    bool ResolveSectionLoops(T_SM_SECTION* pSection);
    bool BuildSectionDomains(T_SM_SECTION* pSection);
    // Copies every record of pFrom into pInto with ids shifted past pInto's counters.
    void MergeSection(T_SM_SECTION* pInto, const T_SM_SECTION& from);
    // ==== END loops/sections block ====

    // ==== BEGIN booleans block (2.8 owner) ====
public:
    // Booleans of two plane sections A and B (distinct ids). The result replaces A: it gets A's
    // id, name, flag, value and caller id list; B disappears. One undo record per call, titled
    // "Unite sections [A] and [B]" etc. False when either section is missing or not a plane
    // section (nothing changed), or when the operation fails later (the model is rolled back).
    bool UniteSections(int nSectionA, int nSectionB);
    bool IntersectSections(int nSectionA, int nSectionB);
    bool SubtractSections(int nSectionA, int nSectionB); // A minus B
private:
    enum EBooleanOp { BOOL_UNITE = 0, BOOL_INTERSECT = 1, BOOL_SUBTRACT = 2 };
    bool BooleanSections(int nOp, int nSectionA, int nSectionB);
    // Splits the curves of aL at their crossings with the other section's curves and deletes the
    // later of every coincident pair; aL is updated, aShared gets the surviving shared curves.
    bool PrepareBooleanCurves(std::vector<int>& aL, std::vector<int>& aShared);
    // aInside = the curves of aL whose half-length point lies in the other section's area.
    bool ClassifyBooleanCurves(const std::vector<int>& aL, int nSectionA, int nSectionB,
                               std::vector<int>& aInside);
    // Joins, equalizes and generates the result from the free curves aR under id nSectionA,
    // taking the caller values of the old A. False when no section could be generated.
    bool BuildBooleanResult(const T_SM_SECTION& oldA, const std::vector<int>& aR);
    // ==== END booleans block ====

private:
    // Formats fmt (wide printf, 1024-character buffer, truncating) into a text of kind nKind
    // (ESmTextKind), hands it to the observer when one is set and returns it. Every text the
    // modeler composes goes through here; only titles are kept (via SetHistoryTitle).
    CString Compose(int nKind, const wchar_t* pszFormat, ...);
    // Composes a text of kind SM_TEXT_SINK and hands it to m_msgSink; returns the sink's answer.
    bool SinkMessage(const wchar_t* pszFormat, ...);
    // Composes a title and stores it on the newest undo record.
    void ComposeTitle(const wchar_t* pszFormat, ...);

    // Shared edit helpers.
    T_SM_POINT* NewPoint(double dX, double dY); // id from m_nNextPointId, into m_mapPoint
    void RecordNewPoint(int nPointId);          // ClearRedo + aNewPoint of the newest record
    void RecordNewCurve(int nCurveId);          // ClearRedo + aNewCurve of the newest record
    T_SM_HISTORY* NewestUndo() const;           // record m_nUndoId or null
    bool IsSectionPoint(int nPointId) const;    // used by a defining curve of some section
    bool IsLoopPoint(int nPointId) const;       // used by a curve of some model loop
    bool PointAtHalfLength(const T_SM_CURVE* pCurve, double& dX, double& dY) const;

    // Snapping grid over m_mapPoint, built by FindPoint on large tables and dropped whenever the
    // table changes behind its back. The modeler's own point edits go through the three helpers
    // below, which keep a current grid in step instead. It also holds the point records in id
    // order for the snapping pass on small tables (made by curve insertion).
    class CPointGrid;
    mutable std::unique_ptr<CPointGrid> m_pPointGrid;
    // FindPoint is a read for its callers, so lookups from several threads on one model must not
    // race on that lazy build: the first to find the grid stale builds it while the others wait.
    mutable std::mutex m_mxPointGrid;
    bool IsPointGridCurrent() const;
    T_SM_POINT* InsertPoint(std::unique_ptr<T_SM_POINT> pPoint); // under pPoint->nId
    void ErasePoint(int nPointId);
    void MovePoint(T_SM_POINT* pPoint, double dX, double dY);

    SmTextObserver m_textObserver;
};
