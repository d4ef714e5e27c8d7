// Indexed and certified helpers of the section passes, and the switch that sends every pass back
// to its plain all-pairs form (built only into the comparison tests and benchmarks, which run the
// two on the same input).
// Every helper gives exactly the answers of the plain pass it stands in for.
#pragma once

#include <gorv/section/sect_types.h>

#include <cstddef>
#include <vector>

namespace detail {

#ifdef GORV_SECTION_PLAIN_PASSES
// Whether the calling thread runs the plain passes (off unless a test or benchmark turns it on).
// Only the comparison build of the area (gorv_section_reference) has the switch.
bool SmPlainPasses();
void SmSetPlainPasses(bool bPlain);
#else
// The library itself always runs the indexed passes; the plain branches compile away.
constexpr bool SmPlainPasses() { return false; }
#endif

// The segments of a list of signed section curve references, in the order the winding sum visits
// them, with what the certified sum needs.
class SmLoopRing {
public:
    // False when a curve or point is missing (the plain sum then fails as well).
    bool Build(const T_SM_SECTION& section, const std::vector<int>& aCurveRef);
    // Winding sum in degrees exactly as the plain pass adds it: angle_2d per segment, in order.
    double PlainSum(double dX, double dY) const;
    // The winding sum, or a value that lies on the same side as the plain sum of each of the
    // thresholds 10, 15, 345 and 350 (for |sum| compared strictly either way). Falls back to the
    // plain sum wherever the bound on the rounding of angle_2d cannot rule a threshold out.
    double Sum(double dX, double dY) const;

private:
    // A run of consecutive segments, with what tells from afar that every one of them is seen
    // under an angle that angle_2d computes accurately (see FarChunk).
    struct Chunk {
        std::size_t nBegin = 0, nEnd = 0;
        double lo[2] = {0.0, 0.0}, hi[2] = {0.0, 0.0};
        double centre[2] = {0.0, 0.0};
        double dRadius = 0.0;            // no point of the box lies farther from centre
        double dLenMin = 0.0, dLenMax = 0.0;
        double dir[2] = {1.0, 0.0};      // mean direction of the segments' lines
        double dSinSpread = 0.0;         // sine of the largest angle between a line and dir (at least)
        bool bUsable = false;
    };
    static const std::size_t kChunkSize = 16;
    void BuildChunks();
    // True when every segment of c is seen from (dX, dY) under a sine of at least 1.45e-3 from at
    // least 7.2e-4 away, no more than 60 times nearer than its farthest point, and none of them
    // reaches the line y = dY; dBound is then the error bound of their terms.
    bool FarChunk(const Chunk& c, double dX, double dY, double& dBound) const;

    std::vector<double> m_x0, m_y0, m_x1, m_y1;
    std::vector<Chunk> m_aChunk;  // only for closed, tame rings of 64 segments or more
    bool m_bClosed = false; // every segment starts where the one before ended; the last ends at the first
    bool m_bTame = false;   // coordinates small enough that the squared products below stay finite
    double m_lo[2] = {0.0, 0.0}, m_hi[2] = {0.0, 0.0};
    double m_dPerimeter = 0.0;
};

}  // namespace detail
