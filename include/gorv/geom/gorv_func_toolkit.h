// Namespace Gorv: projections onto lines and planes, triangle and quadrilateral areas, circles of
// a triangle, shrinkage of element outlines and the rectangle around a segment. Points are arrays
// of two or three doubles; angles are in degrees; the zero of this family is 1e-6.
#pragma once

#include <gorv/platform/gorv_export.h>

namespace Gorv {

// ---- projections (in place) ----
// out = p when p lies on the segment ab (is_on_line_3d, 1e-6), else the foot of the perpendicular
// from p on the line ab (a for a degenerate line).
GORV_API void project_on_line(const double a[3], const double b[3], const double p[3], double out[3]);
// Orthogonal projection of p onto the plane through p0, p1, p2; nothing happens when the squared
// length of the normal (p1 - p0) x (p2 - p0) is below 1e-6.
GORV_API void project_on_plane_normal(const double p0[3], const double p1[3], const double p2[3], double p[3]);
// Orthogonal projection of p onto the plane through p0 with normal n (any length; nothing happens
// when |n|^2 < 1e-6).
GORV_API void project_on_plane_normal(const double n[3], const double p0[3], double p[3]);
// Projection of p along v onto the plane through p0, p1, p2; orthogonal when |v| < 1e-6, nothing
// when v is parallel to the plane (|cosine| < 1e-6).
GORV_API void project_on_plane_vector(const double p0[3], const double p1[3], const double p2[3], const double v[3],
                                      double p[3]);
// Distance from p to its projection along v onto the plane through p0, p1, p2.
GORV_API double distance_plane_point_vector_3d(const double p0[3], const double p1[3], const double p2[3],
                                               const double v[3], const double p[3]);

// ---- areas ----
GORV_API double triangle_area_2d(const double a[2], const double b[2], const double c[2]);
GORV_API double triangle_area_3d(const double a[3], const double b[3], const double c[3]);
// Positive for a counter-clockwise triangle.
GORV_API double signed_triangle_area_2d(const double a[2], const double b[2], const double c[2]);
// area(a, b, c) + area(c, d, a).
GORV_API double quadrilateral_area_2d(const double a[2], const double b[2], const double c[2], const double d[2]);
GORV_API double quadrilateral_area_3d(const double a[3], const double b[3], const double c[3], const double d[3]);

// ---- circles of a triangle ----
// centre = (0, 0) and r = 0 for a collinear or tiny triangle (|determinant| < 1e-6).
GORV_API void circumscribed_circle_2d(const double a[2], const double b[2], const double c[2], double centre[2],
                                      double& r);
// r is negative for a clockwise triangle; a triangle of zero perimeter gives centre a and r = 0.
GORV_API void inscribed_circle_2d(const double a[2], const double b[2], const double c[2], double centre[2],
                                  double& r);

// ---- shrinkage towards the centre of the element's points (in place) ----
// Every point moves to c + (p - c) * f; nothing happens unless 1e-6 <= f <= 0.999999.
GORV_API void line_shrinkage(double p1[3], double p2[3], double f);
GORV_API void triangle_shrinkage(double p1[3], double p2[3], double p3[3], double f);
GORV_API void quadrilateral_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double f);
GORV_API void tetrahedron_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double f);
GORV_API void pentahedron_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double p5[3],
                                    double p6[3], double f);
GORV_API void hexahedron_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double p5[3],
                                   double p6[3], double p7[3], double p8[3], double f);

// ---- rectangle around a segment ----
// Corners c1..c4 of the rectangle of the given width along a -> b: mode 1 centred, 2 on the left of
// the direction, 3 on the right; c1, c2 at a and c3, c4 at b. width < 1e-6 gives c1 = c2 = a and
// c3 = c4 = b; another mode leaves the corners untouched.
GORV_API void line_rectangle_2d(const double a[2], const double b[2], int mode, double width, double c1[2],
                                double c2[2], double c3[2], double c4[2]);

}  // namespace Gorv
