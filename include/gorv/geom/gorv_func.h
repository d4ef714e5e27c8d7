// Namespace Gorv: free geometry functions (scalars, vectors, small matrices, distances and
// intersections). Angles are in degrees; 2x2 and 3x3 matrices act on column vectors (p' = M*p);
// the zero of this family is 1e-6 and results are bool.
#pragma once

#include <gorv/platform/gorv_export.h>

namespace Gorv {

// ---- scalar helpers ----
GORV_API bool is_zero(double x);
GORV_API bool is_not_zero(double x);
GORV_API bool approximate(double a, double b, double tol);
GORV_API void chop(double& x);
GORV_API int round_off(double x);
GORV_API int round_up(double x);
GORV_API double radian(double deg);
GORV_API double degree(double rad);
GORV_API double factorial(int n);
GORV_API bool is_equal3(double a, double b, double c);
GORV_API double minimum3(double a, double b, double c);
GORV_API double maximum3(double a, double b, double c);
GORV_API void bound3(double a, double b, double c, double& lo, double& hi);

// ---- norms, products, angles ----
GORV_API double norm_2d(double x, double y);
GORV_API double norm_2d(const double v[2]);
GORV_API double norm_3d(double x, double y, double z);
GORV_API double norm_3d(const double v[3]);
GORV_API double normal_2d(const double a[2], const double b[2]);
GORV_API void cross_product_3d(const double a[3], const double b[3], double out[3]);
GORV_API void cross_product_3d(const double p0[3], const double p1[3], const double p2[3], double out[3]);
GORV_API void normal_3d(const double a[3], const double b[3], double out[3]);
GORV_API void normal_3d(const double p0[3], const double p1[3], const double p2[3], double out[3]);
GORV_API double angle_2d(double x1, double y1, double x2, double y2);
GORV_API double angle_2d(const double u[2], const double w[2]);
GORV_API double angle_2d(double x0, double y0, double x1, double y1, double x2, double y2);
GORV_API double angle_2d(const double v[2], const double p1[2], const double p2[2]);
GORV_API double angle_3d(double x1, double y1, double z1, double x2, double y2, double z2);
GORV_API double angle_3d(const double u[3], const double w[3]);
GORV_API double angle_3d(const double v[3], const double p1[3], const double p2[3]);
GORV_API void gram_schmidt_orthonormal_basis_3d(const double a[3], const double b[3], double e1[3], double e2[3]);

// ---- transforms ----
GORV_API void translate_2d(double& x, double& y, double dx, double dy);
GORV_API void translate_2d(double p[2], double dx, double dy);
GORV_API void translate_3d(double p[3], double dx, double dy, double dz);
GORV_API void rotate_2d(double& x, double& y, double deg);
GORV_API void rotate_2d(double p[2], double deg);
GORV_API void rotate_2d(double p[2], const double c[2], double deg);
GORV_API void rotate_about_x_axis_3d(double p[3], double deg);
GORV_API void rotate_about_y_axis_3d(double p[3], double deg);
GORV_API void rotate_about_z_axis_3d(double p[3], double deg);
GORV_API void rotate_about_general_axis_3d(double p[3], const double a[3], const double b[3], double deg);
GORV_API void mirror_2d(double p[2], const double a[2], const double b[2]);
GORV_API void mirror_through_xy_plane(double p[3], double z0);
GORV_API void mirror_through_yz_plane(double p[3], double x0);
GORV_API void mirror_through_zx_plane(double p[3], double y0);
GORV_API void transform_2d(double p[2], double dx, double dy, double deg);
GORV_API void inverse_transform_2d(double p[2], double dx, double dy, double deg);
GORV_API void transform_3d(double p[3], const double t[3], const double M[3][3]);
GORV_API void inverse_transform_3d(double p[3], const double t[3], const double M[3][3]);

// ---- rotation and mirror matrices ----
GORV_API void rotation_matrix_about_x_axis_3d(double M[3][3], double deg);
GORV_API void rotation_matrix_about_y_axis_3d(double M[3][3], double deg);
GORV_API void rotation_matrix_about_z_axis_3d(double M[3][3], double deg);
GORV_API void rotation_matrix_about_general_axis_3d(double M[3][3], const double a[3], const double b[3], double deg);
GORV_API void rotation_matrix_from_euler_angle(double M[3][3], double a1, double a2, double a3);
GORV_API void euler_angle_from_rotation_matrix(const double M[3][3], double& a1, double& a2, double& a3);
GORV_API void mirror_matrix_through_xy_plane(double M[3][3]);
GORV_API void mirror_matrix_through_yz_plane(double M[3][3]);
GORV_API void mirror_matrix_through_zx_plane(double M[3][3]);

// ---- small vectors and matrices ----
GORV_API void zero_vector_2x1(double v[2]);
GORV_API void zero_vector_3x1(double v[3]);
GORV_API void zero_matrix_2x2(double M[2][2]);
GORV_API void zero_matrix_3x3(double M[3][3]);
GORV_API void identity_matrix_2x2(double M[2][2]);
GORV_API void identity_matrix_3x3(double M[3][3]);
GORV_API void copy_vector_2x1(const double src[2], double dst[2]);
GORV_API void copy_vector_3x1(const double src[3], double dst[3]);
GORV_API void copy_matrix_2x2(const double src[2][2], double dst[2][2]);
GORV_API void copy_matrix_3x3(const double src[3][3], double dst[3][3]);
GORV_API void multiply_matrix_2x2_vector_2x1(const double M[2][2], const double v[2], double out[2]);
GORV_API void multiply_matrix_3x3_vector_3x1(const double M[3][3], const double v[3], double out[3]);
GORV_API void multiply_matrix_2x2_matrix_2x2(const double A[2][2], const double B[2][2], double C[2][2]);
GORV_API void multiply_matrix_3x3_matrix_3x3(const double A[3][3], const double B[3][3], double C[3][3]);
GORV_API void inverse_matrix_2x2(const double A[2][2], double B[2][2]);
GORV_API void inverse_matrix_3x3(const double A[3][3], double B[3][3]);

// ---- distances ----
GORV_API double distance_2d(double x1, double y1, double x2, double y2);
GORV_API double distance_2d(const double p[2], const double q[2]);
GORV_API double distance_3d(double x1, double y1, double z1, double x2, double y2, double z2);
GORV_API double distance_3d(const double p[3], const double q[3]);
GORV_API double distance_line_point_2d(const double a[2], const double b[2], const double p[2]);
GORV_API double distance_line_point_3d(const double a[3], const double b[3], const double p[3]);
GORV_API double distance_segment_point_2d(const double a[2], const double b[2], const double p[2]);
GORV_API double distance_segment_point_3d(const double a[3], const double b[3], const double p[3]);
GORV_API double distance_plane_point_3d(const double p0[3], const double p1[3], const double p2[3], const double p[3]);
GORV_API double distance_plane_point_normal_3d(const double p0[3], const double p1[3], const double p2[3],
                                               const double p[3]);
GORV_API double distance_plane_point_3d(const double n[3], const double p0[3], const double p[3]);

// ---- crossings ----
GORV_API bool check_line_line_intersection_2d(const double a[2], const double b[2], const double c[2],
                                              const double d[2]);
GORV_API bool intersect_line_line_2d(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                     double y4, double& t, double& u);
GORV_API bool intersect_line_line_2d(const double p1[2], const double p2[2], const double p3[2], const double p4[2],
                                     double& t, double& u);
GORV_API bool intersect_line_line_2d(const double p1[2], const double p2[2], const double p3[2], const double p4[2],
                                     double out[2]);
GORV_API bool intersect_line_line_2d_extension(const double p1[2], const double p2[2], const double p3[2],
                                               const double p4[2], double out[2]);
GORV_API bool intersect_line_line_3d(const double a[3], const double b[3], const double c[3], const double d[3],
                                     double out[3]);
GORV_API bool intersect_line_line_3d(const double a[3], const double b[3], const double c[3], const double d[3],
                                     double& t, double& u);
GORV_API bool intersect_line_line_3d_extension(const double a[3], const double b[3], const double c[3],
                                               const double d[3], double out[3]);
GORV_API bool intersect_triangle_line_3d(const double t0[3], const double t1[3], const double t2[3],
                                         const double p[3], const double q[3]);
GORV_API bool intersect_quadrilateral_line_3d(const double q0[3], const double q1[3], const double q2[3],
                                              const double q3[3], const double p[3], const double r[3]);

// ---- containment ----
GORV_API bool is_on_line_2d(double x1, double y1, double x2, double y2, double px, double py, double tol);
GORV_API bool is_on_line_2d(const double a[2], const double b[2], const double p[2], double tol);
GORV_API bool is_on_line_3d(double x1, double y1, double z1, double x2, double y2, double z2, double px, double py,
                            double pz, double tol);
GORV_API bool is_on_line_3d(const double a[3], const double b[3], double px, double py, double pz, double tol);
GORV_API bool is_on_line_3d(const double a[3], const double b[3], const double p[3], double tol);
GORV_API bool is_in_line_2d(double x1, double y1, double x2, double y2, double px, double py, double tol);
GORV_API bool is_in_line_2d(const double a[2], const double b[2], const double p[2], double tol);
GORV_API bool is_in_line_3d(double x1, double y1, double z1, double x2, double y2, double z2, double px, double py,
                            double pz, double tol);
GORV_API bool is_in_line_3d(const double a[3], const double b[3], double px, double py, double pz, double tol);
GORV_API bool is_in_line_3d(const double a[3], const double b[3], const double p[3], double tol);
GORV_API bool is_on_segment_3d(const double a[3], const double b[3], const double p[3], double tol, double& t);
GORV_API bool is_in_triangle_2d(const double t0[2], const double t1[2], const double t2[2], const double p[2],
                                double tol);
GORV_API bool is_in_triangle_3d(const double t0[3], const double t1[3], const double t2[3], const double p[3],
                                double tol);
GORV_API bool are_coplanar_3d(const double p0[3], const double p1[3], const double p2[3], const double q0[3],
                              const double q1[3], const double q2[3], double tol);

}  // namespace Gorv
