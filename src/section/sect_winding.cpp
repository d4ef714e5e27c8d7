// Winding sums of section loops: the plain sum of angle_2d over every segment, and a certified
// form that answers the threshold tests (10, 15, 345, 350 degrees) from the winding number and a
// bound on how far the rounding of angle_2d can move the plain sum away from 360 times it.
//
// angle_2d rounds an angle whose cosine exceeds 0.999999 (about 0.0811 degrees) to 0, one below
// -0.999999 to +180, and gives 0 when the product of the two distances is below 1e-6. Elsewhere
// it is accurate to far below 1e-9 degrees. For a closed ring and a point off it, the exact angles
// add up to 360 times the winding number, so the plain sum differs from that only by the rounded
// terms; the certified form computes those terms exactly and bounds the rest.
#include "sect_fast.h"

#include <gorv/geom/gorv_func.h>

#include "sect_loop_util.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace detail {

namespace {

#ifdef GORV_SECTION_PLAIN_PASSES
thread_local bool t_bPlainPasses = false;
#endif

const double kDeg = 180.0 / 3.14159265358979323846;
const double kRoundedMax = 0.0811;   // largest exact angle (degrees) that angle_2d may round to 0
const double kTameCoord = 1e74;      // squared distances and their products stay finite below this
const double kThresholds[4] = {10.0, 15.0, 345.0, 350.0};

// Bound on the error of the plain pass's running sum of n terms of at most 180 degrees each.
double SummationBound(double n) { return 2.0 * n * n * 180.0 * 1.2e-16 + 1e-12; }

// angle_2d of (dX, dY) and the segment minus the exact angle, for a term that may round. Its
// vectors u and w are the ones angle_2d forms (the same differences). Where the cosine is surely
// above angle_2d's snap limit 0.999999, angle_2d is exactly 0 and is not called: it computes the
// cosine by the law of cosines within 16 eps (R + 1) of the true one, R = (|u|^2 + |w|^2) / (|u| |w|),
// and dt / sqrt(|u|^2 |w|^2) is within 7 eps of it, so a margin of 1e-13 (R + 1) leaves no doubt.
double RoundedTerm(double x0, double y0, double x1, double y1, double dX, double dY, double ux, double uy, double wx,
                   double wy, double cr, double dt) {
    const double uu = ux * ux + uy * uy, ww = wx * wx + wy * wy;
    const double sp = std::sqrt(uu * ww);
    if (sp > 0.0 && std::isfinite(sp) && dt / sp > 0.999999 + 1e-13 * ((uu + ww) / sp + 1.0))
        return 0.0 - std::atan2(cr, dt) * kDeg;
    const double t[2] = {dX, dY}, p0[2] = {x0, y0}, p1[2] = {x1, y1};
    return Gorv::angle_2d(t, p0, p1) - std::atan2(cr, dt) * kDeg;
}

// Inaccurate segments that the split pass lists; with more, Sum runs its one-by-one loop.
const std::size_t kMaxListed = 64;

// Results of the split pass over all segments: the accurate terms' crossings and error ratios
// in total, and the positions of the inaccurate ones (see Sum), ascending.
struct SplitTerms {
    std::size_t nInaccurate = 0;
    int nWind = 0;
    double dRatio = 0.0;
    std::size_t aListed[kMaxListed];
    void NoteInaccurate(std::size_t i) {
        if (nInaccurate < kMaxListed) aListed[nInaccurate] = i;
        ++nInaccurate;
    }
};

// One segment's share of the split pass.
inline void SplitTerm(const double* x0, const double* y0, const double* x1, const double* y1, std::size_t i,
                      double dX, double dY, SplitTerms& r) {
    const double ux = x0[i] - dX, uy = y0[i] - dY, wx = x1[i] - dX, wy = y1[i] - dY;
    const double uu = ux * ux + uy * uy, ww = wx * wx + wy * wy, p = uu * ww;
    const double cr = ux * wy - uy * wx, dt = ux * wx + uy * wy;
    const double s = uu + ww;
    const bool bAccurate = dt * dt < 0.999997999 * p && 4.0 * p > 1.002e-12 && s * s < 1e8 * p;
    if (!bAccurate) {
        r.NoteInaccurate(i);
        return;
    }
    if (uy <= 0.0 && wy > 0.0 && cr > 0.0) ++r.nWind;
    if (uy > 0.0 && wy <= 0.0 && cr < 0.0) --r.nWind;
    r.dRatio += s * s / p;
}

// The split pass over every segment; with SSE2 two at a time, by the same operations in each lane.
void SplitPass(const double* x0, const double* y0, const double* x1, const double* y1, std::size_t nBegin,
               std::size_t n, double dX, double dY, SplitTerms& r) {
    std::size_t i = nBegin;
#if defined(__SSE2__)
    const __m128d vX = _mm_set1_pd(dX), vY = _mm_set1_pd(dY), vZero = _mm_setzero_pd();
    const __m128d vCos = _mm_set1_pd(0.999997999), vFour = _mm_set1_pd(4.0), vTiny = _mm_set1_pd(1.002e-12);
    const __m128d vSpread = _mm_set1_pd(1e8);
    __m128d vRatio = _mm_setzero_pd();
    int nUp = 0, nDown = 0;
    static const int kBits[4] = {0, 1, 1, 2};
    for (; i + 2 <= n; i += 2) {
        const __m128d ux = _mm_sub_pd(_mm_loadu_pd(x0 + i), vX), uy = _mm_sub_pd(_mm_loadu_pd(y0 + i), vY);
        const __m128d wx = _mm_sub_pd(_mm_loadu_pd(x1 + i), vX), wy = _mm_sub_pd(_mm_loadu_pd(y1 + i), vY);
        const __m128d uu = _mm_add_pd(_mm_mul_pd(ux, ux), _mm_mul_pd(uy, uy));
        const __m128d ww = _mm_add_pd(_mm_mul_pd(wx, wx), _mm_mul_pd(wy, wy));
        const __m128d p = _mm_mul_pd(uu, ww);
        const __m128d cr = _mm_sub_pd(_mm_mul_pd(ux, wy), _mm_mul_pd(uy, wx));
        const __m128d dt = _mm_add_pd(_mm_mul_pd(ux, wx), _mm_mul_pd(uy, wy));
        const __m128d s = _mm_add_pd(uu, ww);
        const __m128d ss = _mm_mul_pd(s, s);
        const __m128d mAccurate = _mm_and_pd(_mm_and_pd(_mm_cmplt_pd(_mm_mul_pd(dt, dt), _mm_mul_pd(vCos, p)),
                                                        _mm_cmpgt_pd(_mm_mul_pd(vFour, p), vTiny)),
                                             _mm_cmplt_pd(ss, _mm_mul_pd(vSpread, p)));
        const __m128d mUp =
            _mm_and_pd(_mm_and_pd(_mm_cmple_pd(uy, vZero), _mm_cmpgt_pd(wy, vZero)), _mm_cmpgt_pd(cr, vZero));
        const __m128d mDown =
            _mm_and_pd(_mm_and_pd(_mm_cmpgt_pd(uy, vZero), _mm_cmple_pd(wy, vZero)), _mm_cmplt_pd(cr, vZero));
        const int nMask = _mm_movemask_pd(mAccurate);
        if (nMask != 3) {
            if (!(nMask & 1)) r.NoteInaccurate(i);
            if (!(nMask & 2)) r.NoteInaccurate(i + 1);
        }
        nUp += kBits[_mm_movemask_pd(_mm_and_pd(mUp, mAccurate))];
        nDown += kBits[_mm_movemask_pd(_mm_and_pd(mDown, mAccurate))];
        // Lanes that are not accurate may hold inf or NaN here; the mask drops them.
        vRatio = _mm_add_pd(vRatio, _mm_and_pd(_mm_div_pd(ss, p), mAccurate));
    }
    double aRatio[2];
    _mm_storeu_pd(aRatio, vRatio);
    r.nWind += nUp - nDown;
    r.dRatio += aRatio[0] + aRatio[1];
#endif
    for (; i < n; ++i) SplitTerm(x0, y0, x1, y1, i, dX, dY, r);
}

}  // namespace

#ifdef GORV_SECTION_PLAIN_PASSES
bool SmPlainPasses() { return t_bPlainPasses; }
void SmSetPlainPasses(bool bPlain) { t_bPlainPasses = bPlain; }
#endif

bool SmLoopRing::Build(const T_SM_SECTION& section, const std::vector<int>& aCurveRef) {
    m_x0.clear();
    m_y0.clear();
    m_x1.clear();
    m_y1.clear();
    m_dPerimeter = 0.0;
    bool bChained = true;
    int nFirst = 0, nPrev = 0;
    const bool bFound = ForEachLoopSegment(section, aCurveRef, [&](int nFrom, int nTo) {
        double p0[2], p1[2];
        // A segment that starts where the last one ended reads that point again: its lookup is
        // skipped, as it gives the same coordinates.
        if (!m_x0.empty() && nFrom == nPrev) {
            p0[0] = m_x1.back();
            p0[1] = m_y1.back();
        } else if (!SectPointXY(&section, nFrom, p0)) {
            return false;
        }
        if (!SectPointXY(&section, nTo, p1)) return false;
        if (m_x0.empty())
            nFirst = nFrom;
        else if (nFrom != nPrev)
            bChained = false;
        nPrev = nTo;
        m_x0.push_back(p0[0]);
        m_y0.push_back(p0[1]);
        m_x1.push_back(p1[0]);
        m_y1.push_back(p1[1]);
        return true;
    });
    if (!bFound) return false;
    m_bClosed = bChained && !m_x0.empty() && nPrev == nFirst;
    m_bTame = true;
    for (std::size_t i = 0; i < m_x0.size(); ++i) {
        const double v[4] = {m_x0[i], m_y0[i], m_x1[i], m_y1[i]};
        for (double d : v)
            if (!(std::fabs(d) < kTameCoord)) m_bTame = false;
        if (i == 0) {
            m_lo[0] = m_hi[0] = v[0];
            m_lo[1] = m_hi[1] = v[1];
        }
        m_lo[0] = std::min(m_lo[0], std::min(v[0], v[2]));
        m_hi[0] = std::max(m_hi[0], std::max(v[0], v[2]));
        m_lo[1] = std::min(m_lo[1], std::min(v[1], v[3]));
        m_hi[1] = std::max(m_hi[1], std::max(v[1], v[3]));
        m_dPerimeter += std::hypot(v[2] - v[0], v[3] - v[1]);
    }
    BuildChunks();
    return true;
}

void SmLoopRing::BuildChunks() {
    m_aChunk.clear();
    const std::size_t n = m_x0.size();
    if (!m_bClosed || !m_bTame || n < 4 * kChunkSize) return;
    for (std::size_t b = 0; b < n; b += kChunkSize) {
        Chunk c;
        c.nBegin = b;
        c.nEnd = std::min(n, b + kChunkSize);
        c.lo[0] = c.hi[0] = m_x0[b];
        c.lo[1] = c.hi[1] = m_y0[b];
        c.dLenMin = 0.0;
        c.dLenMax = 0.0;
        c.bUsable = true;
        double ref[2] = {0.0, 0.0}, sum[2] = {0.0, 0.0};
        for (std::size_t i = b; i < c.nEnd; ++i) {
            c.lo[0] = std::min(c.lo[0], std::min(m_x0[i], m_x1[i]));
            c.hi[0] = std::max(c.hi[0], std::max(m_x0[i], m_x1[i]));
            c.lo[1] = std::min(c.lo[1], std::min(m_y0[i], m_y1[i]));
            c.hi[1] = std::max(c.hi[1], std::max(m_y0[i], m_y1[i]));
            const double dx = m_x1[i] - m_x0[i], dy = m_y1[i] - m_y0[i];
            const double dLen = std::hypot(dx, dy);
            if (!(dLen > 0.0) || !std::isfinite(dLen)) {
                c.bUsable = false;
                continue;
            }
            c.dLenMin = i == b ? dLen : std::min(c.dLenMin, dLen);
            c.dLenMax = std::max(c.dLenMax, dLen);
            double d[2] = {dx / dLen, dy / dLen};
            if (i == b) {
                ref[0] = d[0];
                ref[1] = d[1];
            } else if (d[0] * ref[0] + d[1] * ref[1] < 0.0) {
                d[0] = -d[0];
                d[1] = -d[1];
            }
            sum[0] += d[0];
            sum[1] += d[1];
        }
        const double dSum = std::hypot(sum[0], sum[1]);
        if (c.bUsable && dSum > 0.5) {
            c.dir[0] = sum[0] / dSum;
            c.dir[1] = sum[1] / dSum;
            c.dSinSpread = 0.0;
            for (std::size_t i = b; i < c.nEnd; ++i) {
                const double dx = m_x1[i] - m_x0[i], dy = m_y1[i] - m_y0[i];
                const double dLen = std::hypot(dx, dy);
                const double cs = (dx * c.dir[0] + dy * c.dir[1]) / dLen;
                if (!(std::fabs(cs) > 0.5)) c.bUsable = false;
                c.dSinSpread = std::max(c.dSinSpread, std::fabs(dx * c.dir[1] - dy * c.dir[0]) / dLen);
            }
            c.dSinSpread += 1e-12;
        } else {
            c.bUsable = false;
        }
        c.dLenMin *= 1.0 - 1e-12;
        c.dLenMax *= 1.0 + 1e-12;
        // Measured from the centre as computed, so that the ball holds the box whatever the rounding.
        c.centre[0] = 0.5 * (c.lo[0] + c.hi[0]);
        c.centre[1] = 0.5 * (c.lo[1] + c.hi[1]);
        c.dRadius = std::hypot(std::max(c.centre[0] - c.lo[0], c.hi[0] - c.centre[0]),
                               std::max(c.centre[1] - c.lo[1], c.hi[1] - c.centre[1])) *
                    (1.0 + 1e-12);
        m_aChunk.push_back(c);
    }
}

bool SmLoopRing::FarChunk(const Chunk& c, double dX, double dY, double& dBound) const {
    if (!c.bUsable) return false;
    // No segment of the chunk reaches the ray's line y = dY, so none crosses the ray.
    if (dY >= c.lo[1] && dY <= c.hi[1]) return false;
    const double ex = std::max(std::max(c.lo[0] - dX, dX - c.hi[0]), 0.0);
    const double ey = std::max(c.lo[1] - dY, dY - c.hi[1]);
    const double g = std::sqrt(ex * ex + ey * ey) * (1.0 - 1e-12);  // nearest point of the box
    if (!(g >= 7.2e-4) || !(g >= c.dLenMax)) return false;
    const double fx = std::max(std::fabs(dX - c.lo[0]), std::fabs(dX - c.hi[0]));
    const double fy = std::max(std::fabs(dY - c.lo[1]), std::fabs(dY - c.hi[1]));
    const double G = std::sqrt(fx * fx + fy * fy) * (1.0 + 1e-12);  // farthest point of the box
    if (!(G <= 60.0 * g)) return false;
    const double cx = c.centre[0] - dX, cy = c.centre[1] - dY;
    const double dc = std::sqrt(cx * cx + cy * cy);
    if (!(dc > c.dRadius)) return false;
    const double dSinView = c.dRadius / dc * (1.0 + 1e-12);
    const double dSinSide = std::fabs(c.dir[0] * cy - c.dir[1] * cx) / dc;
    const double dSinMin = dSinSide - dSinView - c.dSinSpread - 1e-9;
    if (!(dSinMin > 0.0) || !(c.dLenMin * dSinMin >= 1.45e-3 * G)) return false;
    const double r = G / g;
    dBound = static_cast<double>(c.nEnd - c.nBegin) * (2e-10 * (2.0 * r * r * r * r + 2.0) + 1e-12) * (1.0 + 1e-9);
    return true;
}

double SmLoopRing::PlainSum(double dX, double dY) const {
    const double t[2] = {dX, dY};
    double dSum = 0.0;
    for (std::size_t i = 0; i < m_x0.size(); ++i) {
        const double p0[2] = {m_x0[i], m_y0[i]}, p1[2] = {m_x1[i], m_y1[i]};
        dSum += Gorv::angle_2d(t, p0, p1);
    }
    return dSum;
}

double SmLoopRing::Sum(double dX, double dY) const {
    const std::size_t n = m_x0.size();
    if (n == 0) return 0.0;
    if (SmPlainPasses() || !m_bClosed || !m_bTame || !(std::fabs(dX) < kTameCoord) || !(std::fabs(dY) < kTameCoord))
        return PlainSum(dX, dY);
    const double dn = static_cast<double>(n);
    const double dSumBound = SummationBound(dn);

    // Well outside the ring's box: every angle is below 178.4 degrees (no half-turn snap), every
    // distance product is above 1e-6, and the rounded terms add up to at most the smaller of
    // n * 0.0811 and the perimeter seen from the box's distance.
    {
        const double dSide = std::max(m_hi[0] - m_lo[0], m_hi[1] - m_lo[1]);
        const double dGap = std::max(std::max(m_lo[0] - dX, dX - m_hi[0]), std::max(m_lo[1] - dY, dY - m_hi[1]));
        if (dGap > 0.01 * dSide && 2.0 * dGap * dGap > 1.01e-6) {
            const double dRounded = std::min(dn * kRoundedMax, 1.01 * kDeg * m_dPerimeter / dGap);
            if (dRounded + dn * 1e-5 + dSumBound < 9.0) return 0.0;
        }
    }

    // Split pass: the accurate terms, which need no certified orientation and round nothing,
    // two at a time by the same operations as the loop further below (so the same flags and
    // crossings), and a list of the few inaccurate ones, which then take the loop's own steps in
    // the same order, so the same rounding sum (also for a point right next to a segment, where
    // the loop gives up, once the side it lies on is certain). The ratio sum is only an error bound: adding it in
    // two parts changes it by a relative 1e-15 or so, far inside the bound's slack.
    {
        SplitTerms r;
        std::size_t nSplit = 0;     // segments the split pass saw
        double dFarErr = 0.0;       // error bound of the chunks' terms that it did not see
        if (m_aChunk.empty()) {
            SplitPass(m_x0.data(), m_y0.data(), m_x1.data(), m_y1.data(), 0, n, dX, dY, r);
            nSplit = n;
        } else {
            for (const Chunk& c : m_aChunk) {
                double dBound = 0.0;
                if (FarChunk(c, dX, dY, dBound)) {
                    dFarErr += dBound;
                } else {
                    SplitPass(m_x0.data(), m_y0.data(), m_x1.data(), m_y1.data(), c.nBegin, c.nEnd, dX, dY, r);
                    nSplit += c.nEnd - c.nBegin;
                }
            }
        }
        if (r.nInaccurate <= kMaxListed) {
            int nWind = r.nWind;
            double dRounding = 0.0, dRoundedTerms = 0.0;
            for (std::size_t k = 0; k < r.nInaccurate; ++k) {
                const std::size_t i = r.aListed[k];
                const double ux = m_x0[i] - dX, uy = m_y0[i] - dY, wx = m_x1[i] - dX, wy = m_y1[i] - dY;
                const double cr = ux * wy - uy * wx, dt = ux * wx + uy * wy;
                const bool bUp = uy <= 0.0 && wy > 0.0, bDown = uy > 0.0 && wy <= 0.0;
                if (bUp || bDown) {
                    if (!(std::fabs(cr) > 4e-16 * (std::fabs(ux * wy) + std::fabs(uy * wx)))) return PlainSum(dX, dY);
                    if (bUp && cr > 0.0) ++nWind;
                    if (bDown && cr < 0.0) --nWind;
                }
                // Seen under nearly a half turn (the point lies next to the segment): its term is
                // as exact as any other once the side it lies on is certain.
                if (!(dt > 0.0) && !(std::fabs(cr) > 4e-16 * (std::fabs(ux * wy) + std::fabs(uy * wx))))
                    return PlainSum(dX, dY);
                dRounding += RoundedTerm(m_x0[i], m_y0[i], m_x1[i], m_y1[i], dX, dY, ux, uy, wx, wy, cr, dt);
                dRoundedTerms += 1.0;
            }
            const double dAccurate = static_cast<double>(nSplit - r.nInaccurate);
            const double dErr = 2e-10 * (r.dRatio / 2.0 + 2.0 * dAccurate) + 1e-12 * (dAccurate + dRoundedTerms) +
                                dFarErr + 2.0 * dSumBound;
            const double dApprox = 360.0 * nWind + dRounding;
            const double dAbs = std::fabs(dApprox);
            for (double t : kThresholds)
                if (!(std::fabs(dAbs - t) > dErr)) return PlainSum(dX, dY);
            return dApprox;
        }
    }

    // Winding number by crossings (orientation signs certified), exact angles only where
    // angle_2d may round, and a bound on the error of every other term.
    int nWind = 0;
    double dRounding = 0.0;  // sum over rounded terms of (angle_2d - exact angle)
    double dRatio = 0.0;     // sum of ((|u|^2 + |w|^2)^2 / (|u|^2 |w|^2)) over accurate terms
    double dAccurate = 0.0;  // number of accurate terms
    double dRoundedTerms = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double ux = m_x0[i] - dX, uy = m_y0[i] - dY, wx = m_x1[i] - dX, wy = m_y1[i] - dY;
        const double uu = ux * ux + uy * uy, ww = wx * wx + wy * wy, p = uu * ww;
        const double cr = ux * wy - uy * wx, dt = ux * wx + uy * wy;
        const double s = uu + ww;
        const bool bAccurate = dt * dt < 0.999997999 * p && 4.0 * p > 1.002e-12 && s * s < 1e8 * p;
        const bool bUp = uy <= 0.0 && wy > 0.0, bDown = uy > 0.0 && wy <= 0.0;
        if (bUp || bDown) {
            // Orientation error bound of the cross product of two rounded differences.
            if (!bAccurate && !(std::fabs(cr) > 4e-16 * (std::fabs(ux * wy) + std::fabs(uy * wx))))
                return PlainSum(dX, dY);
            if (bUp && cr > 0.0) ++nWind;
            if (bDown && cr < 0.0) --nWind;
        }
        if (bAccurate) {
            dRatio += s * s / p;
            dAccurate += 1.0;
        } else if (dt > 0.0) {
            dRounding += RoundedTerm(m_x0[i], m_y0[i], m_x1[i], m_y1[i], dX, dY, ux, uy, wx, wy, cr, dt);
            dRoundedTerms += 1.0;
        } else {
            return PlainSum(dX, dY);  // the point lies on or next to a segment
        }
    }
    // An accurate term (cosine below 0.9999989995, so never rounded, sine above 0.0014) errs by
    // at most 2 * 20 eps (R + 2) / 0.0014 radians, R = (|u|^2 + |w|^2) / (|u| |w|) <= R^2 / 2;
    // rounded terms by their own exact angle's error only.
    const double dErr = 2e-10 * (dRatio / 2.0 + 2.0 * dAccurate) + 1e-12 * (dAccurate + dRoundedTerms) + 2.0 * dSumBound;
    const double dApprox = 360.0 * nWind + dRounding;
    const double dAbs = std::fabs(dApprox);
    for (double t : kThresholds)
        if (!(std::fabs(dAbs - t) > dErr)) return PlainSum(dX, dY);
    return dApprox;
}

}  // namespace detail
