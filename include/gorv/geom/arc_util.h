// CArcUtil and T_GORV_LINE_G: circular arcs in 3D given by start, end, centre and plane normal.
// Angles are in degrees; an arc runs counter-clockwise seen from the tip of its normal and its sweep
// lies in [0, 360). Discretisation counts are multiples of 8.
#pragma once

#include <gorv/platform/afx_coll.h>
#include <gorv/platform/gorv_export.h>
#include <gorv/geom/geom_types.h>

// One straight or circular-arc edge in 3D. A straight edge has nArc 0, radius 0, plane angle 0,
// centre (0, 0, 0) and normal (0, 0, 1).
struct GORV_API T_GORV_LINE_G {
    T_GORV_POINT3D ptStart;
    T_GORV_POINT3D ptEnd;
    int nArc;             // 1 circular arc, 0 straight
    double dRadius;       // |start - centre|, 0 when straight
    double dPlaneAngle;   // degrees: local angle of the arc plane about the chord, 0 when straight
    T_GORV_POINT3D ptCenter;
    double dNormal[3];    // unit normal of the arc plane

    // A straight edge of zero length at the origin.
    T_GORV_LINE_G();
    // An arc from s to e about c and n; a straight edge from s to e when s and e agree within 1e-4
    // in every coordinate. The normal is stored unit when its length is at least 1e-15.
    T_GORV_LINE_G(const T_GORV_POINT3D& s, const T_GORV_POINT3D& e, const T_GORV_POINT3D& c, const double n[3]);
    T_GORV_LINE_G(const T_GORV_POINT3D& s, const T_GORV_POINT3D& e, const T_GORV_POINT3D& c,
                  const T_GORV_POINT3D& n);

    // Sweep from start to end about the normal, degrees in [0, 360); 0 for a straight edge.
    double GetSweepAngle() const;
    // Mid point of the edge into out: 1, or 0 when an arc's mid point cannot be put on its circle.
    int GetMidPoint(T_GORV_POINT3D& out) const;
};

class GORV_API CArcUtil {
public:
    CArcUtil() {}
    CArcUtil(const CArcUtil&) {}
    CArcUtil& operator=(const CArcUtil&) { return *this; }
    ~CArcUtil() {}

    // Points of the arc s -> e about c and n: count steps of sweep / count degrees, count = 8, or
    // ceil(sweep / unitAngle) rounded up to a multiple of 8 when unitAngle > 0. pts (and lengths)
    // are emptied first; withEnds != 0 adds s and e (count + 1 points), otherwise the count - 1
    // inner points. lengths receives the cumulative arc length of each point. Always 1.
    static int MakeCurvPoints(T_GORV_POINT3D s, T_GORV_POINT3D e, T_GORV_POINT3D c, const double n[3],
                              CArray<T_GORV_POINT3D>& pts, int withEnds, double unitAngle,
                              CArray<double>* lengths = nullptr);
    // The part of that polyline between the arc lengths from and to (measured from s, tolerance 1e-4),
    // appended to pts with interpolated end points. 1, or 0 when the arc cannot be discretised.
    static int MakeCurvPoints_inner(T_GORV_POINT3D s, T_GORV_POINT3D e, double from, double to, T_GORV_POINT3D c,
                                    const double n[3], CArray<T_GORV_POINT3D>& pts, int withEnds, double unitAngle);
    // Sweep from p1 to p2 about c, counter-clockwise about n, degrees in [0, 360); 0 when either
    // point lies within 1e-10 of c.
    static double CalcAngleBetween(const double p1[3], const double p2[3], const double c[3], const double n[3]);
    static double CalcAngleBetween(T_GORV_POINT3D p1, T_GORV_POINT3D p2, T_GORV_POINT3D c, const double n[3]);
    // outCount = ceil(total / unit) rounded up to a multiple of 8, outUnit = total / outCount. Nothing
    // happens when unit <= 0.
    static void CalcArcUnitAngle(double total, double unit, double& outUnit, int& outCount);
    // Circle through three points: centre and local axes (row 0 towards p3 from p1, row 2 the normal
    // about which p1 -> p2 -> p3 runs counter-clockwise). 0 for collinear points or a radius below 1e-10.
    static int CalcCurvInfoFrom3P(const double p1[3], const double p2[3], const double p3[3], double centre[3],
                                  double axes[3][3]);
    // As above, returning only the centre and the unit normal.
    static int CalcCurvInfoFrom3P(const double p1[3], const double p2[3], const double p3[3], double centre[3],
                                  double normal[3]);
    // Height of the arc p1 -> p3 over its chord and the local angle of the direction from the chord
    // midpoint to the arc's mid point (snapped to 0 or 180 within 1e-4).
    static int CalcCurvInfoFrom3P(const double p1[3], const double p2[3], const double p3[3], double& height,
                                  double& angle);
    // x^2 + y^2 + z^2.
    static double NormSquare(const double v[3]);
    // a . b, not clamped.
    static double VectorDot(const double a[3], const double b[3]);
    // out = a + r * (b - a); 0 (out untouched) when a and b coincide within 1e-15.
    static int GetMiddlePosByRatio(double r, T_GORV_POINT3D a, T_GORV_POINT3D b, T_GORV_POINT3D& out);
};
