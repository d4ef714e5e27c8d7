// CGorvMathFunc: the static math toolkit (degrees, 4x4 row-vector matrices, snapping to 0/1/-1).
// A class without instance data; every operation is a static member.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/geom/geom_types.h>

class GORV_API CGorvMathFunc {
public:
    CGorvMathFunc() {}
    CGorvMathFunc(const CGorvMathFunc&) {}
    CGorvMathFunc& operator=(const CGorvMathFunc&) { return *this; }
    virtual ~CGorvMathFunc();

    // ==== BEGIN core block: scalars, vectors, matrices, distances, intersections (geom-core owner) ====
    // -- constants and scalar helpers --
    static double Get_pi();
    static double Get_trrad();
    static double Get_trang();
    static double Get_NormalZero();
    static double mathSin(double x);
    static double mathCos(double x);
    static double mathTan(double x);
    static double mathAsin(double x);
    static double mathAcos(double x);
    static double mathSqrt(double x);
    static int mathAbs(int n);
    static double mathAbs(double x);
    static int RealToInt(double x, double tol);

    // -- 4x4 matrices (row vectors: p' = p*M) --
    static void mathMxIdentity(double M[4][4]);
    static void mathMxMult(const double A[4][4], const double B[4][4], double C[4][4]);
    static void mathMxCopy(const double src[4][4], double dst[4][4]);
    static void mathVecMult(const double v[4], const double M[4][4], double out[4]);

    // -- vectors --
    static void mathVecCross(const double a[3], const double b[3], double out[3]);
    static void mathCross(const double a[3], const double b[3], double out[3]);
    static void mathNormal(const double a[3], const double b[3], double out[3]);
    static void mathNormal(const double p0[3], const double p1[3], const double p2[3], double out[3]);
    static double mathCross2D(const double a[2], const double b[2]);
    static double mathDot(const double a[3], const double b[3]);
    static double mathDot(double x1, double y1, double x2, double y2);
    static double mathLength(double x, double y, double z);
    static double mathLength(double x1, double y1, double x2, double y2);
    static double mathLength(double x1, double y1, double z1, double x2, double y2, double z2);
    static int mathNormalize(const double v[3], double out[3]);
    static int mathNormalize(double x, double y, double z, double& ox, double& oy, double& oz);
    static int mathNormalize(double x, double y, double& ox, double& oy);
    static int mathNormalize2D(const double v[2], double out[2]);
    static void mathSwap2D(double a[2], double b[2]);

    // -- angles (degrees) --
    static double mathCrossAngle(const double a[3], const double b[3]);
    static double mathCrossAngleNormalize(const double a[3], const double b[3]);
    static double mathCrossAngleNormalizeWithSign(const double a[3], const double b[3]);
    static double mathCrossAngle2D(double x1, double y1, double x2, double y2);
    static double mathCrossAngle2D(const double a[3], const double b[3]);
    static double mathCrossAngle2DSign(double x1, double y1, double x2, double y2);
    static double GetAngle(double x1, double y1, double x2, double y2, int full);
    static void mathVec2Ang(double vx, double vy, double vz, double& a1, double& a2);

    // -- rotations and coordinate systems --
    static void mathRotateX(double deg, double& x, double& y, double& z);
    static void mathRotateY(double deg, double& x, double& y, double& z);
    static void mathRotateZ(double deg, double& x, double& y, double& z);
    static void mathRotate(double deg, double ax, double ay, double az, double& x, double& y, double& z);
    static void mathRotate(double deg, double cx, double cy, double cz, double ax, double ay, double az, double& x,
                           double& y, double& z);
    static void mathTranUCS(const double ex[3], const double ey[3], const double ez[3], int n, double pts[][3]);
    static void mathGCS2UCS(double& x, double& y, double& z, const double M[3][3]);
    static void mathUCS2GCS(double& x, double& y, double& z, const double M[3][3]);

    // -- distances, feet and crossings --
    static double mathDistanceToPoint(const double a[3], const double b[3]);
    static double mathDistanceToLine(const double a[3], const double b[3], const double p[3]);
    static double mathDistanceToLine2D(double x1, double y1, double x2, double y2, double px, double py);
    static double mathDistanceFromIntersectPointToLine(const double a[3], const double b[3], const double p[3]);
    static double mathDistanceFromIntersectPointToLine2D(const double a[2], const double b[2], const double p[2],
                                                         int& where);
    static int mathIntersectPointToLine(const double a[3], const double b[3], const double p[3], double out[3]);
    static void mathCrossPoint2D(const double a[2], const double b[2], const double p[2], double out[2]);
    static void mathPLCrossPoint(double px, double py, double pz, double dx, double dy, double dz, double qx, double qy,
                                 double qz, double& ox, double& oy, double& oz);
    static void mathPLCrossPoint(double px, double py, double pz, double dx, double dy, double dz, double qx, double qy,
                                 double qz, double& ox, double& oy, double& oz, double& s);
    static int mathPlaneEquation(const double p0[3], const double p1[3], const double p2[3], double& a, double& b,
                                 double& c, double& d);
    static double mathDistanceToPlane(double a, double b, double c, double d, double x, double y, double z);
    static double mathDistanceToPlaneWithSign(double a, double b, double c, double d, double x, double y, double z);
    static int mathIncludePointInPlane(const double p0[3], const double p1[3], const double p2[3], const double p[3],
                                       double tol);
    static int mathIntersectPointToPlane(double dir[3], const double lp[3], double n[3], const double pp[3],
                                         double out[3]);
    static int mathIntersectPointToPlane(const double a[3], const double b[3], double n[3], const double pp[3],
                                         double out[3], double& over);
    static double mathDistanceLine(const double a[3], const double b[3], const double c[3], const double d[3]);
    static int mathIntersectLine(const double a[3], const double b[3], const double c[3], const double d[3], double tol,
                                 double& dist, double out[3]);
    static int mathIntersectLine2(const double a[3], const double b[3], const double c[3], const double d[3],
                                  double tol, double& dist, double out[3]);
    static int mathIntersectLine2D(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                   double y4, double& ox, double& oy, int bSegment);
    static int mathIsPointOfLine2D(const double a[2], const double b[2], const double p[2], int onEnd);
    static double mathInterpolate(double a, double b, double t);
    static double mathInterpolate(double a0, double a1, double b0, double b1, double s, double t);

private:
    // Angle constants, computed once at module load in this order; m_NormalZero is a constant.
    static double m_pi;
    static double m_trrad;
    static double m_trang;
    static double m_NormalZero;
    static const double m_MxIdentity[4][4];

public:
    // ==== END core block ====

    // ==== BEGIN toolkit block: projections, areas, volumes, arcs, predicates (geom-toolkit owner) ====
    // -- projections onto planes and surfaces of revolution (axis = global z, base at the origin) --
    // Orthogonal projection onto the plane through p0, p1, p2. False when the squared length of
    // (p1 - p0) x (p2 - p0) is below tol (strict).
    static bool project_on_plane_normal(const double p[3], const double p0[3], const double p1[3], const double p2[3],
                                        double tol, double out[3]);
    // Projection of p along v onto the plane through p0, p1, p2. False when the cosine between unit v
    // and the unit normal is below sin(1 deg) = 0.0174524 in magnitude (strict), so directions within
    // 1 degree of the plane are refused; the seven-argument form uses the caller's tol instead.
    static bool project_on_plane_vector(const double p[3], const double v[3], const double p0[3], const double p1[3],
                                        const double p2[3], double out[3]);
    static bool project_on_plane_vector(const double p[3], const double v[3], const double p0[3], const double p1[3],
                                        const double p2[3], double out[3], double tol);
    // As project_on_plane_vector with the cosine tolerance 1e-10.
    static bool project_on_plane_vector_for_CuttingPlane(const double p[3], const double v[3], const double p0[3],
                                                         const double p1[3], const double p2[3], double out[3]);
    // Radial projection onto the cylinder of radius r. False when h <= 0 or p lies within tol of the axis.
    static bool project_on_cylinder_normal(const double p[3], double r, double h, double tol, double out[3]);
    // Crossing of the line p + s*v with the unbounded cylinder, the one nearer to p (the second root
    // on a tie). False when the line misses it or runs parallel to the axis (|A| and |B| below tol).
    static bool project_on_cylinder_vector(const double p[3], const double v[3], double r, double h, double tol,
                                           double out[3]);
    // Foot of the perpendicular on the cone generator from (r1, 0) to (r2, h) in the meridian plane of
    // p. False when h <= 0, p lies within tol of the axis or the foot falls outside the generator.
    // |r1 - r2| < tol is treated as the cylinder of radius r1.
    static bool project_on_cone_normal(const double p[3], double r1, double r2, double h, double tol, double out[3]);
    // Crossing of the line p + s*v with the unbounded cone rho = r1 + (r2 - r1)*z/h (the same cone as
    // the normal projection), the nearer one. False when h <= 0 or the line misses the cone.
    static bool project_on_cone_vector(const double p[3], const double v[3], double r1, double r2, double h,
                                       double tol, double out[3]);
    // Point of the sphere of radius r (centre at the origin) on the ray from the centre through p.
    // False when r <= 0 or p lies within tol of the centre; a point on the z axis gives a pole.
    static bool project_on_sphere_normal(const double p[3], double r, double tol, double out[3]);
    // Crossing of the line p + s*v with the sphere, the one nearer to p. False when it misses.
    static bool project_on_sphere_vector(const double p[3], const double v[3], double r, double tol, double out[3]);
    // Point of the ellipsoid (x^2 + y^2)/a^2 + z^2/c^2 = 1 whose normal bisects the directions from the
    // two foci of the meridian ellipse to p. For a > c the focal angles are taken unsigned (acos), so
    // a point below the equator lands where its mirror image above would. False when a <= 0 or
    // c <= 0; a point within tol of the z axis gives the upper pole (0, 0, c).
    static bool project_on_ellipsoid_normal(const double p[3], double a, double c, double tol, double out[3]);
    // Crossing of the line p + s*v with the ellipsoid, the one nearer to p. False when it misses.
    static bool project_on_ellipsoid_vector(const double p[3], const double v[3], double a, double c, double tol,
                                            double out[3]);
    // True when a parabola y = a*x^2 + b*x + c passes through the three points (xy), i.e. the
    // determinant of the system is at least tol in magnitude.
    static bool check_quad_curve(const double p0[3], const double p1[3], const double p2[3], double tol);
    // Nearest point of the parabola through p0, p1, p2 to q among the feet of the normals at 101
    // samples over the points' x range; out.z = q.z. False when no parabola exists or no normal meets it.
    static bool project_on_quad_curve_normal(const double p0[3], const double p1[3], const double p2[3],
                                             const double q[3], double tol, double out[3]);
    // Crossing of the line through q along v (xy) with the parabola, the one nearer to q; out.z = q.z.
    static bool project_on_quad_curve_vector(const double p0[3], const double p1[3], const double p2[3],
                                             const double q[3], const double v[3], double tol, double out[3]);
    // Cylindrical coordinates of p about the axis a -> b: out = (r, theta, h) with theta in degrees
    // [0, 360) counter-clockwise about the axis from the direction of ref - a, and h the signed
    // distance of the foot from a. p is left rotated by 90 degrees about the axis direction (through
    // the origin).
    static void mathConvertToCylinderCoordi(double p[3], double out[3], const double a[3], const double b[3],
                                            const double ref[3]);

    // -- areas, centroids and volumes --
    // Triangle area by Heron's formula; a negative product (rounding) gives 0.
    static double mathArea(const double p1[3], const double p2[3], const double p3[3]);
    static double mathArea2d(double x1, double y1, double x2, double y2, double x3, double y3);
    // Area (>= 0) of the polygon of n vertices (no repeated closing point); 0 when n < 1.
    static double mathArea2d(int n, const double* xs, const double* ys);
    // Centroid and area (>= 0) of the polygon of n vertices, independent of the vertex order. Returns
    // 0 (all outputs 0) when n < 3 or the signed area is exactly 0, else 1.
    static int mathPolyCentroid(int n, const double* xs, const double* ys, double& cx, double& cy, double& area);
    // Signed volume of a 4-node tetrahedron, 6-node wedge (faces 0-2, 3-5) or 8-node hexahedron (faces
    // 0-3, 4-7); positive when the first face runs counter-clockwise seen from the opposite face.
    // 0 for any other count.
    static double mathVolume(int n, const double pts[][3]);
    // Volume between the base coordinate plane and the surface spanned by the polygon pts (fanned from
    // its first point) and the centroid of that solid. axis 1: base (x, y), height z; 2: base (z, x),
    // height y; 3: base (x, z), height y. Returns 0 for n < 3 or another axis, else 1.
    static int Get_VolmCenter(double centre[3], double& volume, int n, const double pts[][3], int axis);

    // -- arcs and circles (2D) --
    // a . b, not clamped.
    static double mathVecDot(const double a[3], const double b[3]);
    // Circle through three points. Returns 1; -1 when all three coincide (within 1e-10); 0 when two
    // coincide or the points are collinear. centre and r are 0 unless the result is 1.
    static int mathCircleForm3Point(const double p1[2], const double p2[2], const double p3[2], double centre[2],
                                    double& r);
    // Arc from p1 through p2 to p3: start angle in [-180, 180) degrees (acos of the start direction,
    // negated when its y <= 0) and sweep positive counter-clockwise. Results as mathCircleForm3Point.
    static int mathArcForm3Point(const double p1[2], const double p2[2], const double p3[2], double centre[2],
                                 double& r, double& start, double& sweep);
    // As above; rise = (1 - cos|sweep|) * r, negative for a clockwise sweep.
    static int mathArcForm3Point(const double p1[2], const double p2[2], const double p3[2], double centre[2],
                                 double& r, double& start, double& sweep, double& rise);
    // Centre of the arc over the chord seg[0] -> seg[1] with the sagitta bulge. 0 (centre = chord
    // midpoint) for a bulge of exactly 0, else 1.
    static int GetCenter_Bulge(const double seg[2][2], double bulge, double centre[2]);
    // Sagitta of the arc of signed radius r over the chord: the minor arc when bMinor != 0, else the
    // major one; r itself for a half circle; 0 when the chord is longer than the diameter.
    static double GetBulge(const double seg[2][2], double r, int bMinor);

    // -- 2D orientation, crossings and point in polygon --
    // 1 counter-clockwise, -1 clockwise, 0 when |orientation| < 1e-10.
    static int math_ccw(double x1, double y1, double x2, double y2, double x3, double y3);
    // Segment p1p2 against segment p3p4: 1 proper crossing, 0 touching or overlapping (inclusive
    // ranges), -1 apart. Orientation tolerance 1e-10.
    static int mathIntersect_ccw2D(const double p1[2], const double p2[2], const double p3[2], const double p4[2]);
    // Ray-crossing point-in-polygon over n vertices (closing edge implied): 1 inside, 0 outside,
    // onBoundary when p lies on an edge.
    static int mathIsInsidePoint2D(const double p[2], int n, const double pts[][2], int onBoundary);
    // 1 when two closed polylines cross, touch or one holds a vertex of the other, else 0.
    static int IsOverLap_Polyline(int n1, const double pts1[][2], int n2, const double pts2[][2]);
    // Parallel offset of a closed polygon in place; a positive dist moves the edges outwards. rot: 1
    // counter-clockwise, 2 clockwise, < 1 detect. Returns 0 (pts untouched) for n < 3 or when two
    // offset edges fold back onto parallel lines, else 1.
    static int mathOffsetOfPolyline(double dist, int n, double pts[][2], int rot);
    // Winding of the polygon from the side of its first edge that lies inside: 1 counter-clockwise,
    // 2 clockwise (also for fewer than two vertices).
    static int GetRotationType(int n, const double pts[][2]);
    // Crossing of the two infinite lines l1, l2 (two points each). 0 and out = (0, 0) when parallel
    // (|sine| < 1e-10), else 1.
    static int mathLineLineCross2D(const double l1[2][2], const double l2[2][2], double out[2]);
    // Crossing of the line with the segment ab: 1 when it exists and lies on the segment (end points
    // included), else 0. out holds the crossing of the two lines either way.
    static int mathLineSegCross2D(const double line[2][2], const double a[2], const double b[2], double out[2]);

protected:
    // Signed element volumes by Gauss integration of the isoparametric Jacobian.
    static double Solid_4(const double pts[][3]);
    static double Solid_6(const double pts[][3]);
    static double Solid_8(const double pts[][3]);

public:
    // ==== END toolkit block ====
};
