// Each replaced pass against its plain form on its own, on random and degenerate inputs: the
// written-out angle against angle_2d bit for bit, the certified winding sum against the plain sum
// at every threshold, and the front index against the test of every edge.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include "section/sect_angle.h"
#include "section/sect_fast.h"
#include "section/sect_front_index.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(SectionPassCompare, WrittenOutAngleIsAngle2dBitForBit) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    int n = 0;
    for (int i = 0; i < 200000; ++i) {
        double v[2] = {u(rng), u(rng)}, p[2] = {u(rng), u(rng)}, q[2] = {u(rng), u(rng)};
        switch (i % 5) {
        case 1:  // near the rounding to 0: q almost along v->p
            q[0] = v[0] + (p[0] - v[0]) * 3.0 + 1e-3 * u(rng);
            q[1] = v[1] + (p[1] - v[1]) * 3.0 + 1e-3 * u(rng);
            break;
        case 2:  // near the half turn: v almost between p and q
            v[0] = 0.5 * (p[0] + q[0]) + 1e-4 * u(rng);
            v[1] = 0.5 * (p[1] + q[1]) + 1e-4 * u(rng);
            break;
        case 3:  // distance product near 1e-6
            p[0] = v[0] + 1e-3 * u(rng);
            p[1] = v[1] + 1e-3 * u(rng);
            break;
        case 4:  // exactly collinear or coincident grid points
            for (double* c : {v, p, q}) c[0] = std::round(c[0]), c[1] = std::round(c[1]);
            break;
        default: break;
        }
        if (!SameBits(detail::SmAngle(v, p, q), Gorv::angle_2d(v, p, q))) ++n;
    }
    EXPECT_EQ(n, 0);
}

// The written-out crossing test against the toolkit's: random segments, shared and collinear
// ends, near-parallel pairs, products that underflow or overflow, and non-finite coordinates.
TEST(SectionPassCompare, WrittenOutCrossingTestAnswersAsTheToolkit) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    const double nan = std::nan(""), inf = HUGE_VAL;
    const double aOdd[] = {0.0, 1e-170, -1e-170, 1e160, -1e160, nan, inf, -inf};
    int nTrue = 0;
    for (int i = 0; i < 300000; ++i) {
        double p[4][2];
        for (auto& q : p) q[0] = u(rng), q[1] = u(rng);  // x drawn before y
        switch (i % 6) {
        case 1:  // a shared end
            p[2][0] = p[0][0], p[2][1] = p[0][1];
            break;
        case 2:  // all four near one line
            for (int k = 1; k < 4; ++k) {
                const double t = u(rng);
                p[k][0] = p[0][0] + t;
                p[k][1] = p[0][1] + 0.5 * t + 1e-15 * u(rng);
            }
            break;
        case 3:  // tiny coordinates, whose products underflow
            for (auto& q : p) q[0] *= 1e-160, q[1] *= 1e-160;
            break;
        case 4:  // one odd coordinate
            p[rng() % 4][rng() % 2] = aOdd[rng() % 8];
            break;
        default:
            break;
        }
        const bool bWant = Gorv::check_line_line_intersection_2d(p[0], p[1], p[2], p[3]);
        ASSERT_EQ(detail::SmSegmentsCross(p[0], p[1], p[2], p[3]), bWant) << "case " << i;
        nTrue += bWant ? 1 : 0;
    }
    EXPECT_GT(nTrue, 30000);
}

// The triangulation orders candidates by SmAngleKey and settles keys closer than their gap by
// angle. Every key must give SmAngle's value bit for bit, exactly when that angle is above 0, and
// keys further apart than the gap must order the angles strictly. Cocircular corners are the hard
// case: all see the edge under the same exact angle, so only rounding tells them apart.
TEST(SectionPassCompare, AngleKeysOrderCandidatesAsTheirAngles) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const double kPi = 3.14159265358979323846;
    int nWrong = 0, nDisorder = 0, nNear = 0;
    for (int round = 0; round < 400; ++round) {
        const double p[2] = {u(rng), u(rng)}, q[2] = {u(rng), u(rng)};
        // Circle through p and q: centre on their bisector, so every corner on it sees p-q under
        // one angle (acute, right or obtuse depending on the side and the centre's offset).
        const double mx = 0.5 * (p[0] + q[0]), my = 0.5 * (p[1] + q[1]);
        const double nx = -(q[1] - p[1]), ny = q[0] - p[0];
        const double t = round % 4 == 0 ? 0.0 : 3.0 * u(rng);
        const double cx = mx + t * nx, cy = my + t * ny;
        const double r = std::hypot(p[0] - cx, p[1] - cy);
        std::vector<std::pair<double, double>> aKeyAngle;
        for (int i = 0; i < 300; ++i) {
            const double phi = 2.0 * kPi * (0.5 + 0.5 * u(rng));
            double v[2] = {cx + r * std::cos(phi), cy + r * std::sin(phi)};
            if (i % 3 == 1) {  // off the circle by a few ulp-sized steps
                v[0] += 1e-15 * u(rng);
                v[1] += 1e-15 * u(rng);
            } else if (i % 3 == 2) {  // anywhere
                v[0] = 2.0 * u(rng);
                v[1] = 2.0 * u(rng);
            }
            const double th = detail::SmAngle(v, p, q);
            double dKey = 0.0;
            const bool bKey = detail::SmAngleKey(v, p, q, dKey);
            if (bKey != (th > 0.0) || (bKey && !SameBits(detail::SmKeyAngle(dKey), th))) ++nWrong;
            if (bKey) aKeyAngle.push_back(std::make_pair(dKey, th));
        }
        std::sort(aKeyAngle.begin(), aKeyAngle.end());
        for (std::size_t i = 0; i < aKeyAngle.size(); ++i) {
            for (std::size_t j = i + 1; j < aKeyAngle.size(); ++j) {
                const double dHi = aKeyAngle[j].first, dLo = aKeyAngle[i].first;
                if (dHi - detail::SmAngleKeyGap(dHi) <= dLo) {
                    if (dHi != dLo) ++nNear;
                    continue;
                }
                if (!(aKeyAngle[j].second > aKeyAngle[i].second)) ++nDisorder;
            }
        }
    }
    EXPECT_EQ(nWrong, 0);
    EXPECT_EQ(nDisorder, 0);
    // The set must reach keys close enough to need their angles compared.
    EXPECT_GT(nNear, 0);
}

// A section holding one loop of the given rings' points, as the loop code reads it.
struct RingSection {
    T_SM_SECTION s;
    std::vector<int> aRef;
    void Add(const std::vector<double>& xy, bool bBackward) {
        const int n = static_cast<int>(xy.size() / 2);
        const int nFirst = s.nNextPointId;
        for (int i = 0; i < n; ++i) {
            s.mapPoint.InsertCopy(T_SM_POINT{s.nNextPointId++, 0, xy[2 * i], xy[2 * i + 1], 0, 0, 0});
        }
        // Two curves: points 0..n/2 and n/2..n (closing at the first).
        const int nHalf = n / 2;
        for (int part = 0; part < 2; ++part) {
            std::unique_ptr<T_SM_SECT_CURVE> c(new T_SM_SECT_CURVE());
            c->nId = s.nNextCurveId++;
            const int from = part == 0 ? 0 : nHalf, to = part == 0 ? nHalf : n;
            for (int k = from; k <= to; ++k) c->aPointId.push_back(nFirst + k % n);
            if (bBackward) std::reverse(c->aPointId.begin(), c->aPointId.end());
            aRef.push_back(bBackward ? -c->nId : c->nId);
            s.mapCurve.Insert(c->nId, std::move(c));
        }
        if (bBackward) std::swap(aRef[aRef.size() - 2], aRef[aRef.size() - 1]);
    }
};

// The thresholds the callers compare |sum| with, strictly either way.
void ExpectSameDecisions(double dPlain, double dFast, int& nBad) {
    for (double t : {10.0, 15.0, 345.0, 350.0}) {
        if ((std::fabs(dPlain) > t) != (std::fabs(dFast) > t)) ++nBad;
        if ((std::fabs(dPlain) < t) != (std::fabs(dFast) < t)) ++nBad;
    }
}

TEST(SectionPassCompare, CertifiedWindingSumDecidesAsThePlainSum) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int nBad = 0, nQueries = 0;
    for (int shape = 0; shape < 300; ++shape) {
        const int n = 3 + static_cast<int>(rng() % (shape < 200 ? 60 : 3000));
        std::vector<double> xy;
        const int kind = shape % 4;
        for (int i = 0; i < n; ++i) {
            const double a = 2.0 * 3.14159265358979323846 * i / n;
            double r = kind == 1 ? 0.2 + 0.3 * u(rng) : 0.45;
            if (kind == 3 && i % 2) r = 0.01;  // spikes into the middle
            double x = 0.5 + r * std::cos(a), y = 0.5 + r * std::sin(a);
            if (kind == 2) x = std::round(x * 8.0) / 8.0, y = std::round(y * 8.0) / 8.0;  // collinear runs
            xy.insert(xy.end(), {x, y});
        }
        RingSection rs;
        rs.Add(xy, shape % 2 == 1);
        detail::SmLoopRing ring;
        ASSERT_TRUE(ring.Build(rs.s, rs.aRef));
        for (int q = 0; q < 200; ++q) {
            double x = u(rng) * 1.4 - 0.2, y = u(rng) * 1.4 - 0.2;
            if (q % 4 == 1) {  // on or next to a vertex or an edge
                const int k = static_cast<int>(rng() % static_cast<unsigned>(n)), k2 = (k + 1) % n;
                const double f = q % 8 == 1 ? 0.0 : u(rng);
                x = xy[2 * k] + f * (xy[2 * k2] - xy[2 * k]) + (q % 3) * 1e-9;
                y = xy[2 * k + 1] + f * (xy[2 * k2 + 1] - xy[2 * k + 1]);
            }
            const double dPlain = ring.PlainSum(x, y), dFast = ring.Sum(x, y);
            ExpectSameDecisions(dPlain, dFast, nBad);
            ++nQueries;
        }
    }
    // Rectangles whose sides are runs of collinear pieces, probed on the sides' lines: every piece
    // of such a line is seen under a rounded or straight angle, a few of them or more than the
    // certified sum keeps apart one by one.
    for (int nPieces : {1, 3, 16, 40, 70, 200}) {
        std::vector<double> xy;
        const double aCorner[5][2] = {{0, 0}, {1, 0}, {1, 0.5}, {0, 0.5}, {0, 0}};
        for (int side = 0; side < 4; ++side)
            for (int k = 0; k < nPieces; ++k) {
                const double f = static_cast<double>(k) / nPieces;
                xy.push_back(aCorner[side][0] + f * (aCorner[side + 1][0] - aCorner[side][0]));
                xy.push_back(aCorner[side][1] + f * (aCorner[side + 1][1] - aCorner[side][1]));
            }
        for (bool bBackward : {false, true}) {
            RingSection rs;
            rs.Add(xy, bBackward);
            detail::SmLoopRing ring;
            ASSERT_TRUE(ring.Build(rs.s, rs.aRef));
            for (int q = 0; q < 400; ++q) {
                const double t = u(rng) * 1.6 - 0.3, d = q % 5 == 0 ? 0.0 : (u(rng) - 0.5) * 1e-3;
                const double x = q % 2 ? t : (q % 4 < 2 ? 0.0 : 1.0) + d;
                const double y = q % 2 ? (q % 4 == 1 ? 0.0 : 0.5) + d : t;
                ExpectSameDecisions(ring.PlainSum(x, y), ring.Sum(x, y), nBad);
                ++nQueries;
            }
        }
    }
    EXPECT_EQ(nBad, 0);
    EXPECT_EQ(nQueries, 60000 + 6 * 2 * 400);
}

TEST(SectionPassCompare, FrontIndexHoldsEveryCrossingEdge) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    int nMissed = 0, nCrossing = 0, nOutOfRange = 0;
    for (int round = 0; round < 40; ++round) {
        const int nCorner = 20 + static_cast<int>(rng() % 300);
        std::vector<double> aXY;
        std::vector<int> aCorner;
        for (int i = 0; i < nCorner; ++i) {
            double x = u(rng), y = u(rng);
            if (round % 3 == 1) {  // on one slanted line: collinear in exact terms, not in doubles
                const double t = u(rng);
                x = 0.1 + 0.7 * t, y = 0.2 + 0.3 * t;
            } else if (round % 3 == 2) {
                x = std::round(x * 6.0) / 6.0, y = std::round(y * 6.0) / 6.0;
            }
            aXY.insert(aXY.end(), {x, y});
            aCorner.push_back(i);
        }
        detail::SmFrontIndex index(aXY, aCorner);
        ASSERT_TRUE(index.IsOk() || round % 3 != 0);
        if (!index.IsOk()) continue;
        std::vector<std::pair<int, int>> aEdge;
        for (int k = 0; k < 3 * nCorner; ++k) {
            const int a = static_cast<int>(rng() % static_cast<unsigned>(nCorner));
            const int b = static_cast<int>(rng() % static_cast<unsigned>(nCorner));
            aEdge.push_back(std::make_pair(a, b));
            index.AddEdge(static_cast<std::size_t>(k), a, b);
        }
        for (int q = 0; q < 300; ++q) {
            const int p = static_cast<int>(rng() % static_cast<unsigned>(nCorner));
            const int a = static_cast<int>(rng() % static_cast<unsigned>(nCorner));
            const double* P = &aXY[2 * p];
            const double* A = &aXY[2 * a];
            std::vector<std::size_t> aNear;
            index.NewQuery();
            // Every other query looks only at the edges from some point on.
            const std::size_t nFrom = q % 2 == 0 ? 0 : rng() % aEdge.size();
            if (!index.Collect(P, A, false, aNear, nFrom) || !index.Collect(P, A, true, aNear, nFrom)) continue;
            std::vector<char> inSet(aEdge.size(), 0);
            for (std::size_t k : aNear) {
                if (k < nFrom) ++nOutOfRange;
                inSet[k] = 1;
            }
            for (std::size_t k = nFrom; k < aEdge.size(); ++k) {
                const double* S = &aXY[2 * aEdge[k].first];
                const double* E = &aXY[2 * aEdge[k].second];
                if (!Gorv::check_line_line_intersection_2d(P, A, S, E)) continue;
                ++nCrossing;
                if (!inSet[k]) ++nMissed;
            }
        }
    }
    EXPECT_EQ(nMissed, 0);
    EXPECT_EQ(nOutOfRange, 0);
    EXPECT_GT(nCrossing, 1000);
}

}  // namespace
