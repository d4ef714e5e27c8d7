// CGeomFunc: polyline and polygon predicates, local axes and offsets, and the polygon boolean
// entry points. A class without instance data; every operation is a static member.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/geom/arc_util.h>
#include <gorv/geom/geom_types.h>
#include <gorv/geom/polygon_boolean.h>

class GORV_API CGeomFunc {
public:
    CGeomFunc() {}
    CGeomFunc(const CGeomFunc&) {}
    CGeomFunc& operator=(const CGeomFunc&) { return *this; }
    virtual ~CGeomFunc();

    // ==== BEGIN predicate block: polyline/polygon predicates, local axes, offsets (geom-toolkit owner) ====
    // -- areas --
    // Area of the outer ring minus the areas of the holes (rings closed by a repeated first point);
    // the holes are not checked for lying inside.
    static double CalcPolyArea(const T_GORV_COMPLEX_POLYGON2D& poly);

    // -- polyline crossings (3D segments; touching tolerance 1e-10) --
    // 1 when two segments of the open polyline cross or touch other than at a shared vertex; adjacent
    // segments count only when they overlap or fold back. The closing segment is not tested.
    static int CheckPolylineSelfIntersection(const CArray<T_GORV_POINT3D>& pts);
    // 1 when a segment of a meets a segment of b (end points within 1e-10 count); 0 for lists of
    // fewer than two points.
    static int CheckPolylineCrossIntersection(const CArray<T_GORV_POINT3D>& a, const CArray<T_GORV_POINT3D>& b);
    // 2D form: points lifted to z = 0 and tested by CheckLineIntersection(..., bTouch).
    static int CheckPolylineCrossIntersection(const CArray<T_GORV_POINT2D>& a, const CArray<T_GORV_POINT2D>& b,
                                              int bTouch);
    // Segments ab and cd. A proper crossing gives 1. When an end point lies within 1e-10 of the other
    // segment: 1 with bTouch != 0; otherwise 0 only for two segments that share an end point exactly
    // and touch nowhere else, 1 for any other contact.
    static int CheckLineIntersection(const double a[3], const double b[3], const double c[3], const double d[3],
                                     int bTouch);

    // -- rectangles and point in polygon --
    // Bounding rectangle of the points; 0 for an empty list.
    static int GetMBR(const CArray<T_GORV_POINT2D>& pts, T_GORV_REGION2D& region);
    // 1 when p lies strictly inside the rectangle.
    static int IsPointInRegion(const T_GORV_POINT2D& p, const T_GORV_REGION2D& region);
    // bInclusive != 0: inside or within 1e-6 outside (inclusive); bInclusive = 0: strictly inside.
    static int IsPointInRegion2(const T_GORV_POINT2D& p, const T_GORV_REGION2D& region, int bInclusive);
    // Even-odd test against the closed polygon (closing edge implied); 0 for fewer than 3 points. No
    // tolerance: a point on the boundary may fall either way.
    static int IsPointInPolyline2D(const T_GORV_POINT2D& p, const CArray<T_GORV_POINT2D>& pts);
    // p must lie within tol of the polygon's plane (strict); then the plane is turned horizontal and
    // the 2D test decides.
    static int IsPointInPolyline3D(const T_GORV_POINT3D& p, const CArray<T_GORV_POINT3D>& pts, double tol);
    // 1 when p lies in the convex hull of the points (the vertices around p span at least 180
    // degrees), or within 0.001 of a vertex in both coordinates; 0 for an empty list.
    static int CheckInsideConvexHull(const CArray<T_GORV_POINT2D>& pts, const T_GORV_POINT2D& p);

    // -- planes and local axes (rows: local x, y, z) --
    // Local axes of a 3- or 4-node plane element; 0 for another count or a degenerate element.
    static int calcPlaneLocalVector(int n, const double pts[][3], double axes[3][3]);
    // Three points spanning the plane of the list: rows 0 and 1 are the first two points, row 2 the
    // first later point off their line by more than 0.1 degree. 0 when there is none.
    static int GetPlanePoint(const CArray<T_GORV_POINT3D>& pts, double plane[3][3]);
    // 1 when every point lies strictly within tol of the plane found by GetPlanePoint.
    static int IsSamePlane(const CArray<T_GORV_POINT3D>& pts, const double& tol);
    // Local axes of a member from a to b rotated by beta degrees about its axis: the reference
    // direction is global +z, or +x for a vertical member. 0 when |b - a| < 1e-8.
    static int calcLineLocalVector(const double a[3], const double b[3], double beta, double axes[3][3]);
    static int calcLineLocalVector(const T_GORV_POINT3D& a, const T_GORV_POINT3D& b, double beta, double axes[3][3]);
    // Signed angle in degrees between the default local z of the member a -> b and row 2 of axes;
    // negative when the turn is away from row 0 of axes. 0 when the member is degenerate.
    static double calcLineLocalAngle(const T_GORV_POINT3D& a, const T_GORV_POINT3D& b, const double axes[3][3]);
    // 1 when the member's horizontal length is below 1 % of its length (0 for |b - a| < 1e-8).
    static int IsVerticalLine(const double a[3], const double b[3]);
    // a and b moved by dist along the member's local y (x and y only). 0 when |dist| < 1e-6 or the
    // member's horizontal length is below 1e-8.
    static int GetOffsetPoints(const double a[3], const double b[3], double dist, double outA[3], double outB[3]);

    // -- arcs --
    // 1 when p (x, y) lies in the circular segment between the edge's chord and its arc; bInclusive
    // also admits the circle and the chord. 0 for a straight edge.
    static int IsPointInArc(const T_GORV_POINT3D& p, const T_GORV_LINE_G& edge, int bInclusive);
    static int IsPointInArc(const double p[3], const T_GORV_LINE_G& edge, int bInclusive);
    // ==== END predicate block ====

    // ==== BEGIN boolean block: Union2Polygon, Intersect2Polygon, Subtract2Polygon (polygon-boolean owner) ====
    // Polygon booleans on polygons with holes. Input rings are closed: the last vertex repeats the
    // first, so n stored points give n - 1 edges (a ring without the repeat is entered as an open
    // chain and fails). On success one polygon per active result domain is appended to aResult,
    // in ascending domain id order; rings list each vertex once (no closing repeat), the outer
    // ring counter-clockwise, holes clockwise. On any failure (an edge shorter than the tolerance,
    // a polygon that does not form a plane section, no common area...) aResult is left exactly as
    // it was. aResult is appended to, never emptied. All three always return 1; each call builds
    // and destroys its own model, so concurrent calls on different threads share nothing.
    // Output rings have no closing repeat: measure them with CalcRingArea, not GetArea.
    // With SetBooleanEngine(GORV_ENGINE_OVERLAY) on the calling thread the three run on the overlay
    // engine instead (see <gorv/overlay/overlay.h>), under the same contract: they return 1, union
    // and intersection use the tolerance 0.001, subtraction dTol, and invalid input, an empty
    // result or a failure append nothing.

    // Largest coordinate magnitude the booleans accept (inclusive); a polygon with a larger or
    // non-finite coordinate makes the call fail. Beyond about 1e154 the squared distances of the
    // snapping overflow; 1e100 leaves room for the products of the triangulation.
    static constexpr double kMaxPolygonCoordinate = 1e100;

    // Union of A and B with the tolerance 0.001.
    static int Union2Polygon(const T_GORV_COMPLEX_POLYGON2D& polyA, const T_GORV_COMPLEX_POLYGON2D& polyB,
                             CArray<T_GORV_COMPLEX_POLYGON2D>& aResult);
    // Intersection of A and B with the tolerance 0.001.
    static int Intersect2Polygon(const T_GORV_COMPLEX_POLYGON2D& polyA, const T_GORV_COMPLEX_POLYGON2D& polyB,
                                 CArray<T_GORV_COMPLEX_POLYGON2D>& aResult);
    // A minus B with the caller's snapping tolerance dTol (model units).
    static int Subtract2Polygon(const T_GORV_COMPLEX_POLYGON2D& polyA, const T_GORV_COMPLEX_POLYGON2D& polyB,
                                CArray<T_GORV_COMPLEX_POLYGON2D>& aResult, double dTol);

    // Observer of the texts that the section modeler composes during the polygon booleans run on
    // the calling thread: history titles, notices, warnings and the questions it answers itself.
    // Off by default (null). The observer is per thread, so concurrent calls on other threads are
    // unaffected, and it only watches: results are the same with or without it. pfnObserver is
    // called with pContext, the kind of text (0 notice, 1 warning or failure reason, 2 question
    // answered yes by the modeler itself, 3 text handed to the message sink, 4 undo record
    // title) and the text (valid only during the call); null turns it off.
    typedef void (*PFN_BOOLEAN_TEXT_OBSERVER)(void* pContext, int nKind, const wchar_t* pszText);
    static void SetBooleanTextObserver(PFN_BOOLEAN_TEXT_OBSERVER pfnObserver, void* pContext);
    // ==== END boolean block ====

    // ==== BEGIN overlay block: checked polygon booleans on the overlay engine (overlay owner) ====
    // op applied to the operands A and B, each the union of its members (members may overlap or
    // touch; an empty array is the empty set). Rings may come with or without their closing
    // repeat and in either direction. Appends to aResult only when the status is
    // GORV_BOOLEAN_RESULT; the report says what happened. Output rings: see <gorv/overlay/overlay.h>
    // (no closing repeat: measure them with CalcRingArea, not GetArea).
    static T_GORV_BOOLEAN_REPORT PolygonBoolean(GORV_BOOLEAN_OP op, const CArray<T_GORV_COMPLEX_POLYGON2D>& A,
                                                const CArray<T_GORV_COMPLEX_POLYGON2D>& B,
                                                CArray<T_GORV_COMPLEX_POLYGON2D>& aResult,
                                                const T_GORV_BOOLEAN_OPTIONS& options = T_GORV_BOOLEAN_OPTIONS());
    static T_GORV_BOOLEAN_REPORT PolygonBoolean(GORV_BOOLEAN_OP op, const T_GORV_COMPLEX_POLYGON2D& A,
                                                const T_GORV_COMPLEX_POLYGON2D& B,
                                                CArray<T_GORV_COMPLEX_POLYGON2D>& aResult,
                                                const T_GORV_BOOLEAN_OPTIONS& options = T_GORV_BOOLEAN_OPTIONS());
    // Area (>= 0) of a ring taken as closed whether or not its last point repeats the first.
    static double CalcRingArea(const T_GORV_POLYGON2D& ring);
    // Engine of Union2Polygon, Intersect2Polygon and Subtract2Polygon on the calling thread
    // (thread-local; every thread starts with GORV_ENGINE_MODELER). PolygonBoolean always uses the
    // overlay engine.
    static void SetBooleanEngine(GORV_BOOLEAN_ENGINE eEngine);
    static GORV_BOOLEAN_ENGINE GetBooleanEngine();
    // ==== END overlay block ====
};
