// Polygon boolean entry points of CGeomFunc and the driver behind them: one private section model
// per call, every input edge entered as a line curve, one plane section per polygon, the section
// boolean, and the result read back as polygons with holes. Nothing is appended on failure.
#include <gorv/geom/geom_func.h>
#include <gorv/section/sect_model.h>

#include <cmath>
#include <vector>

namespace detail {
namespace {

// The text observer of the calling thread (see CGeomFunc::SetBooleanTextObserver).
struct BooleanObserver {
    CGeomFunc::PFN_BOOLEAN_TEXT_OBSERVER pfn = nullptr;
    void* pContext = nullptr;
};
thread_local BooleanObserver t_observer;

const double kFixedTolerance = 0.001; // tolerance of union and intersection

bool InRange(double d) { return std::isfinite(d) && std::fabs(d) <= CGeomFunc::kMaxPolygonCoordinate; }

bool AllInRange(const T_GORV_POLYGON2D& ring) {
    for (INT_PTR i = 0; i < ring.points.GetSize(); ++i) {
        const T_GORV_POINT2D& p = ring.points[i];
        if (!InRange(p.x) || !InRange(p.y)) return false;
    }
    return true;
}

// Enters the n - 1 edges of a closed ring; false when an edge is shorter than the tolerance.
bool AddRing(CSectModel& model, const T_GORV_POLYGON2D& ring, std::vector<int>& aCurveId) {
    for (INT_PTR i = 0; i + 1 < ring.points.GetSize(); ++i) {
        const T_GORV_POINT2D& a = ring.points[i];
        const T_GORV_POINT2D& b = ring.points[i + 1];
        const int nId = model.AddLineCurve(a.x, a.y, b.x, b.y);
        if (nId == -1) return false;
        aCurveId.push_back(nId);
    }
    return true;
}

bool AddPolygon(CSectModel& model, const T_GORV_COMPLEX_POLYGON2D& poly, std::vector<int>& aCurveId) {
    // Non-finite coordinates would pass the length test (NaN compares false) and poison the
    // snapping and triangulation, and huge ones overflow it, so such a polygon is refused whole.
    if (!AllInRange(poly.outer)) return false;
    for (INT_PTR h = 0; h < poly.holes.GetSize(); ++h)
        if (!AllInRange(poly.holes[h])) return false;
    if (!AddRing(model, poly.outer, aCurveId)) return false;
    for (INT_PTR h = 0; h < poly.holes.GetSize(); ++h)
        if (!AddRing(model, poly.holes[h], aCurveId)) return false;
    return true;
}

// Appends one loop's vertices (each curve's points but its last) to ring; false when the loop
// names a curve or point that the section does not hold or does not make a usable ring.
bool ReadLoop(const T_SM_SECTION& s, const T_SM_LOOP& loop, T_GORV_POLYGON2D& ring) {
    const INT_PTR nStart = ring.points.GetSize();
    for (int nRef : loop.aCurveId) {
        const T_SM_SECT_CURVE* c = s.mapCurve.Find(nRef);
        if (c == nullptr) return false;
        for (size_t k = 0; k + 1 < c->aPointId.size(); ++k) {
            const T_SM_POINT* p = s.mapPoint.Find(c->aPointId[k]);
            if (p == nullptr) return false;
            T_GORV_POINT2D q;
            q.x = p->dX;
            q.y = p->dY;
            ring.points.Add(q);
        }
    }
    // A ring of fewer than three vertices bounds no area: the section is broken, and handing it
    // out would give the caller a polygon that no later step can use.
    if (ring.points.GetSize() - nStart < 3) return false;
    for (INT_PTR i = nStart; i < ring.points.GetSize(); ++i)
        if (!std::isfinite(ring.points[i].x) || !std::isfinite(ring.points[i].y)) return false;
    return true;
}

bool ReadResult(const T_SM_SECTION& s, CArray<T_GORV_COMPLEX_POLYGON2D>& aOut) {
    for (const auto& de : s.mapDomain) {
        const T_SM_DOMAIN& d = *de.second;
        if (!d.bActive) continue;
        T_GORV_COMPLEX_POLYGON2D poly;
        int nOuter = 0;
        for (int nLoop : d.aLoopId) {
            const T_SM_LOOP* loop = s.mapLoop.Find(nLoop);
            if (loop == nullptr) continue;
            if (loop->nKind == 1) {
                if (!ReadLoop(s, *loop, poly.outer)) return false;
                ++nOuter;
            } else if (loop->nKind == 2) {
                T_GORV_POLYGON2D hole;
                if (!ReadLoop(s, *loop, hole)) return false;
                poly.holes.Add(hole);
            }
        }
        // A domain is bounded by exactly one outer loop. Without one (or with two run together into
        // one ring) the section came out broken, from input that crosses itself, and the polygon
        // would have no usable outer ring: the call fails rather than hand that out.
        if (nOuter != 1) return false;
        aOut.Add(poly);
    }
    return true;
}

// Runs one boolean (0 union, 1 intersection, 2 subtraction) with tolerance dTol; appends the
// result polygons to aResult and returns true, or returns false and leaves aResult untouched.
bool RunPolygonBoolean(const T_GORV_COMPLEX_POLYGON2D& polyA, const T_GORV_COMPLEX_POLYGON2D& polyB,
                       CArray<T_GORV_COMPLEX_POLYGON2D>& aResult, int nOp, double dTol) {
    // A NaN, infinite or non-positive tolerance would let zero-length edges in and disable
    // snapping, so the call fails instead.
    if (!(dTol > 0.0) || !std::isfinite(dTol)) return false;
    CSectModel model(dTol);
    if (t_observer.pfn != nullptr) {
        const BooleanObserver obs = t_observer;
        model.SetTextObserver([obs](int nKind, const CString& strText) {
            obs.pfn(obs.pContext, nKind, strText.GetString());
        });
    }
    std::vector<int> aCurveA, aCurveB;
    if (!AddPolygon(model, polyA, aCurveA) || !AddPolygon(model, polyB, aCurveB)) return false;

    const int nSectA = model.GenerateSection(aCurveA);
    const int nSectB = model.GenerateSection(aCurveB);
    if (nSectA == 0 || nSectB == 0) return false;

    bool bOk = false;
    switch (nOp) {
    case 0: bOk = model.UniteSections(nSectA, nSectB); break;
    case 1: bOk = model.IntersectSections(nSectA, nSectB); break;
    case 2: bOk = model.SubtractSections(nSectA, nSectB); break;
    default: return false;
    }
    if (!bOk) return false;

    const T_SM_SECTION* pRes = model.GetSection(nSectA);
    if (pRes == nullptr) return false;
    // Read into a local array first so that a broken result appends nothing.
    CArray<T_GORV_COMPLEX_POLYGON2D> aNew;
    if (!ReadResult(*pRes, aNew)) return false;
    for (INT_PTR i = 0; i < aNew.GetSize(); ++i) aResult.Add(aNew[i]);
    return true;
}

}  // namespace
}  // namespace detail

int CGeomFunc::Union2Polygon(const T_GORV_COMPLEX_POLYGON2D& polyA, const T_GORV_COMPLEX_POLYGON2D& polyB,
                             CArray<T_GORV_COMPLEX_POLYGON2D>& aResult) {
    if (GetBooleanEngine() == GORV_ENGINE_OVERLAY) {  // overlay engine: appends only a result
        T_GORV_BOOLEAN_OPTIONS options;
        options.dTolerance = detail::kFixedTolerance;
        PolygonBoolean(GORV_BOOLEAN_UNION, polyA, polyB, aResult, options);
        return 1;
    }
    detail::RunPolygonBoolean(polyA, polyB, aResult, 0, detail::kFixedTolerance);
    return 1;
}

int CGeomFunc::Intersect2Polygon(const T_GORV_COMPLEX_POLYGON2D& polyA, const T_GORV_COMPLEX_POLYGON2D& polyB,
                                 CArray<T_GORV_COMPLEX_POLYGON2D>& aResult) {
    if (GetBooleanEngine() == GORV_ENGINE_OVERLAY) {  // overlay engine: appends only a result
        T_GORV_BOOLEAN_OPTIONS options;
        options.dTolerance = detail::kFixedTolerance;
        PolygonBoolean(GORV_BOOLEAN_INTERSECT, polyA, polyB, aResult, options);
        return 1;
    }
    detail::RunPolygonBoolean(polyA, polyB, aResult, 1, detail::kFixedTolerance);
    return 1;
}

int CGeomFunc::Subtract2Polygon(const T_GORV_COMPLEX_POLYGON2D& polyA, const T_GORV_COMPLEX_POLYGON2D& polyB,
                                CArray<T_GORV_COMPLEX_POLYGON2D>& aResult, double dTol) {
    if (GetBooleanEngine() == GORV_ENGINE_OVERLAY) {  // overlay engine: appends only a result
        T_GORV_BOOLEAN_OPTIONS options;
        options.dTolerance = dTol;
        PolygonBoolean(GORV_BOOLEAN_SUBTRACT, polyA, polyB, aResult, options);
        return 1;
    }
    detail::RunPolygonBoolean(polyA, polyB, aResult, 2, dTol);
    return 1;
}

void CGeomFunc::SetBooleanTextObserver(PFN_BOOLEAN_TEXT_OBSERVER pfnObserver, void* pContext) {
    detail::t_observer.pfn = pfnObserver;
    detail::t_observer.pContext = pfnObserver != nullptr ? pContext : nullptr;
}
