// The overlay engine: vertices snapped into clusters, edges noded until no node lies within the
// tolerance of an edge it does not end at and no two edges cross, the noded edges merged into a
// planar graph whose faces carry the windings of A and B, and the boundary of the selected faces
// traced into rings. The design and the output conventions are written down in overlay.h.
#include "overlay/overlay_engine.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <memory>
#include <mutex>
#include <numeric>

namespace detail {
namespace overlay {
namespace {

// A noding that has not settled after this many rounds is reported as a failure; ordinary input
// settles in two or three.
const int kMaxNodingRounds = 16;
const std::uint32_t kNone = 0xffffffffu;

// A directed piece of an input edge; winding +1 to its left for its operand.
struct Seg {
    std::uint32_t u;
    std::uint32_t v;
    std::uint8_t op;
    std::uint32_t raw;  // the input edge it is a piece of
};

struct Box {
    double x0, y0, x1, y1;
};

struct Split {
    std::uint32_t seg;
    std::uint32_t node;
    double t;    // position along the segment (unnormalised projection)
    bool bNear;  // a node near the segment (not a crossing)
};

// A graph edge from u to v: a single noded piece (merged with the pieces on the same two nodes),
// or a run of pieces of one ring through nodes no other piece touches (its inner nodes are
// m_polyNodes[nOff .. nOff + nCount - 1] from u to v). dA and dB are the winding steps of A and B
// from its right to its left when walked from u to v.
struct Edge {
    std::uint32_t u;
    std::uint32_t v;
    int dA;
    int dB;
    std::uint32_t uNext;  // the node after u towards v
    std::uint32_t vPrev;  // the node before v
    std::uint32_t nOff;
    std::uint32_t nCount;
};

struct Ring {
    std::vector<std::uint32_t> nodes;
    Box box;
    double dArea;  // absolute area
};

}  // namespace

class Engine {
public:
    Engine() = default;
    Input m_input;  // the input of the current call (filled through Overlay::GetInput)
    // Prepares a run on in (which must outlive the run) with tolerance dTol.
    void Reset(const Input& in, double dTol) {
        m_in = &in;
        m_dTol = dTol;
        m_dTol2 = dTol * dTol;
        m_dReach = 5.0 * dTol;
        FindCandidates();
    }

    void CheckEdges(std::size_t nPolygons, std::vector<RingProblem>& problems) const;
    RunStatus Run(int op, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy);

private:
    struct Chain {
        std::uint32_t first;  // first input edge (vertex index)
        std::uint32_t count;
        int dir;   // +1 x ascending along the ring, -1 descending, 0 vertical only
        int ydir;  // the same for y
        Box box;
        std::uint32_t ring;
    };
    void ChainWindow(const Chain& ch, const Box& o, std::uint32_t& from, std::uint32_t& to) const;
    void RayWinding(const Pt& p, std::uint32_t root, int& wA, int& wB);

public:
    // Where p lies relative to input ring r: +1 inside, -1 outside, 0 on it (exact).
    int LocateInInputRing(std::uint32_t r, const Pt& p) const;

private:
    void FindCandidates();
    void WalkChains(const Chain& c, const Chain& d);
    void WalkChain(const Chain& c);
    void FastCluster();
    bool FastNoding();
    void TestPieces(std::uint32_t p, std::uint32_t q, std::vector<Split>& splits);
    // Drops the node-near-edge splits at a node the edge's chain of pieces already passes, unless
    // the node lies exactly on the piece: three nodes each within the tolerance of the line
    // through the other two would otherwise split each other's pieces forever.
    void DropRepeatedNodes(std::vector<Split>& splits, bool bFast);
    std::uint32_t NodeNearPieces(const Pt& p, std::uint32_t s, std::uint32_t t);

    void Cluster();
    void BuildSegments();
    bool NodingRound(bool& bChanged);
    void TestCrossing(std::uint32_t s1, std::uint32_t s2, std::vector<Split>& splits);
    std::uint32_t NodeNear(const Pt& p);
    void BuildEdges();
    bool BuildGraph(std::string& strWhy);
    bool LabelFaces(std::string& strWhy);
    bool ExtractRings(int op, std::vector<Ring>& rings, std::string& strWhy);
    bool Assemble(std::vector<Ring>& rings, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy);
    RunStatus RunGraph(int op, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy);

    std::uint32_t Dest(std::uint32_t h) const { return (h & 1) ? m_edges[h >> 1].u : m_edges[h >> 1].v; }
    std::uint32_t Origin(std::uint32_t h) const { return (h & 1) ? m_edges[h >> 1].v : m_edges[h >> 1].u; }
    // The node h heads for first: its direction at its origin.
    std::uint32_t Toward(std::uint32_t h) const { return (h & 1) ? m_edges[h >> 1].vPrev : m_edges[h >> 1].uNext; }
    // The next half-edge around the face on the left of h.
    std::uint32_t Next(std::uint32_t h) const { return m_nextHalf[h]; }

    const Input* m_in = nullptr;
    double m_dTol = 0.0;
    double m_dTol2 = 0.0;
    std::vector<Pt> m_nodes;
    std::vector<std::uint32_t> m_nodeByX;  // node ids in lexicographic order of their points
    std::size_t m_nFirstNew = 0;           // nodes from here on were made in the current round
    std::vector<std::uint32_t> m_vertexNode;
    std::vector<Seg> m_segs;
    std::vector<Edge> m_edges;
    std::vector<std::uint32_t> m_adjOff, m_adj, m_pos, m_face;
    std::vector<std::uint32_t> m_faceFirst;
    std::vector<int> m_faceA, m_faceB;
    // Fast noding: the input edges (id = start vertex), their boxes and end vertices, the pairs
    // of edges whose boxes come within m_dReach of each other, and the pieces of each edge.
    double m_dReach = 0.0;
    std::vector<Box> m_rawBox;
    std::vector<Chain> m_chains;  // sorted by their smallest x
    std::vector<std::uint32_t> m_ringChainOff, m_ringChain;  // chains of each ring
    bool m_bFastNoded = false;
    double m_dMaxCoord = 0.0;  // largest coordinate magnitude of the input  // pieces stay within 2 tolerances of their input edge
    std::vector<std::uint32_t> m_next, m_prev;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_pairs;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_partners;  // the pairs both ways, sorted
    // The input ring of edge (vertex) s.
    std::uint32_t RingOf(std::uint32_t s) const {
        const std::vector<InRing>& rs = m_in->rings;
        std::size_t a = 0, b = rs.size();
        while (b - a > 1) {
            const std::size_t m = (a + b) / 2;
            if (rs[m].nBegin <= s) a = m;
            else b = m;
        }
        return static_cast<std::uint32_t>(a);
    }
    // The partners of edge s: [first, last) in m_partners.
    void Partners(std::uint32_t s, const std::pair<std::uint32_t, std::uint32_t>*& first,
                  const std::pair<std::uint32_t, std::uint32_t>*& last) const {
        first = std::lower_bound(m_partners.data(), m_partners.data() + m_partners.size(), std::make_pair(s, 0u));
        last = first;
        while (last != m_partners.data() + m_partners.size() && last->first == s) ++last;
    }
    std::vector<std::uint32_t> m_pieceOff;
    std::size_t m_nRoundFirstNode = 0;
    // Working buffers kept between calls on a thread (see Overlay).
    std::vector<std::uint32_t> m_tmpA, m_tmpB, m_tmpC, m_rep, m_nextHalf;
    std::vector<char> m_flagA, m_flagB, m_dirty, m_nextDirty;
    std::vector<Split> m_splits;
    std::vector<Seg> m_segs2;
    std::vector<std::uint32_t> m_off2;
    std::vector<std::int32_t> m_seenAt;
    std::vector<std::uint32_t> m_polyNodes, m_deg;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_near;  // vertex pairs within the tolerance
    std::vector<char> m_bend;
    std::vector<std::uint32_t> m_dirtyList, m_newDirty;
    std::vector<std::uint32_t> m_stamp;  // per node: the input edge whose chain passes it  // input edges split in the last noding round  // edge s and the next one along the ring need a look in round 1
    std::vector<Edge> m_singles;
};

namespace {

}  // namespace

// Vertices are taken in lexicographic order (x, then y, then input position); each joins the
// nearest representative within the tolerance (inclusive), or becomes a representative itself.
// Representatives are thus more than the tolerance apart and no vertex moves by more than it.
void Engine::Cluster() {
    const std::size_t n = m_in->pts.size();
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Pt& pa = m_in->pts[a];
        const Pt& pb = m_in->pts[b];
        if (pa.x != pb.x) return pa.x < pb.x;
        if (pa.y != pb.y) return pa.y < pb.y;
        return a < b;
    });
    m_vertexNode.assign(n, kNone);
    m_nodes.clear();
    m_nodes.reserve(n);
    std::size_t nActive = 0;
    for (const std::uint32_t i : order) {
        const Pt& p = m_in->pts[i];
        while (nActive < m_nodes.size() && m_nodes[nActive].x < p.x - m_dTol) ++nActive;
        std::uint32_t best = kNone;
        double dBest = 0.0;
        for (std::size_t k = nActive; k < m_nodes.size(); ++k) {
            const double d = Dist2(m_nodes[k], p);
            if (d <= m_dTol2 && (best == kNone || d < dBest)) {
                best = static_cast<std::uint32_t>(k);
                dBest = d;
            }
        }
        if (best == kNone) {
            best = static_cast<std::uint32_t>(m_nodes.size());
            m_nodes.push_back(p);
        }
        m_vertexNode[i] = best;
    }
    m_nodeByX.resize(m_nodes.size());
    std::iota(m_nodeByX.begin(), m_nodeByX.end(), 0u);
    m_nFirstNew = m_nodes.size();
}

void Engine::BuildSegments() {
    m_segs.clear();
    for (const InRing& r : m_in->rings) {
        for (std::uint32_t i = r.nBegin; i < r.nEnd; ++i) {
            const std::uint32_t j = i + 1 == r.nEnd ? r.nBegin : i + 1;
            const std::uint32_t u = m_vertexNode[i], v = m_vertexNode[j];
            if (u != v) m_segs.push_back({u, v, r.nOperand, i});
        }
    }
}

// The node within the tolerance of p nearest to it (ties: the lower id), or kNone.
std::uint32_t Engine::NodeNear(const Pt& p) {
    std::uint32_t best = kNone;
    double dBest = 0.0;
    auto consider = [&](std::uint32_t id) {
        const double d = Dist2(m_nodes[id], p);
        if (d <= m_dTol2 && (best == kNone || d < dBest || (d == dBest && id < best))) {
            best = id;
            dBest = d;
        }
    };
    const double x0 = p.x - m_dTol, x1 = p.x + m_dTol;
    auto it = std::lower_bound(m_nodeByX.begin(), m_nodeByX.end(), x0,
                               [&](std::uint32_t id, double x) { return m_nodes[id].x < x; });
    for (; it != m_nodeByX.end() && m_nodes[*it].x <= x1; ++it) consider(*it);
    for (std::size_t k = m_nFirstNew; k < m_nodes.size(); ++k) consider(static_cast<std::uint32_t>(k));
    return best;
}

void Engine::TestCrossing(std::uint32_t s1, std::uint32_t s2, std::vector<Split>& splits) {
    const Seg& g1 = m_segs[s1];
    const Seg& g2 = m_segs[s2];
    if (g1.u == g2.u || g1.u == g2.v || g1.v == g2.u || g1.v == g2.v) return;
    const Pt a = m_nodes[g1.u], b = m_nodes[g1.v], c = m_nodes[g2.u], d = m_nodes[g2.v];
    // A crossing next to an end point snaps to that end point (or a nearer node); the exact test
    // runs whatever the distances, so no crossing is left unresolved.
    const int o1 = Orient(a, b, c), o2 = Orient(a, b, d);
    if (o1 * o2 >= 0) return;
    const int o3 = Orient(c, d, a), o4 = Orient(c, d, b);
    if (o3 * o4 >= 0) return;
    const Pt p = CrossingPoint(a, b, c, d);
    std::uint32_t w = NodeNear(p);
    if (w == kNone) {
        w = static_cast<std::uint32_t>(m_nodes.size());
        m_nodes.push_back(p);
    }
    if (w != g1.u && w != g1.v) splits.push_back({s1, w, 0.0, false});
    if (w != g2.u && w != g2.v) splits.push_back({s2, w, 0.0, false});
}

// One round: every node within the tolerance of a segment it does not end at splits it, and
// every proper crossing of two segments whose end points all keep clear of the other is
// snapped to a node (an existing one within the tolerance, or a new one) that splits both.
bool Engine::NodingRound(bool& bChanged) {
    const std::size_t nSegs = m_segs.size();
    std::vector<Box> boxes(nSegs);
    for (std::size_t s = 0; s < nSegs; ++s) {
        const Pt& a = m_nodes[m_segs[s].u];
        const Pt& b = m_nodes[m_segs[s].v];
        boxes[s] = {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    std::vector<Split> splits;
    // Node on edge.
    for (std::size_t s = 0; s < nSegs; ++s) {
        const Box& bx = boxes[s];
        const Seg& g = m_segs[s];
        const double x0 = bx.x0 - m_dTol, x1 = bx.x1 + m_dTol;
        const double y0 = bx.y0 - m_dTol, y1 = bx.y1 + m_dTol;
        auto it = std::lower_bound(m_nodeByX.begin(), m_nodeByX.end(), x0,
                                   [&](std::uint32_t id, double x) { return m_nodes[id].x < x; });
        for (; it != m_nodeByX.end() && m_nodes[*it].x <= x1; ++it) {
            const std::uint32_t w = *it;
            if (w == g.u || w == g.v) continue;
            const Pt& p = m_nodes[w];
            if (p.y < y0 || p.y > y1) continue;
            if (NearSegment(m_nodes[g.u], m_nodes[g.v], p, m_dTol2))
                splits.push_back({static_cast<std::uint32_t>(s), w, 0.0, true});
        }
    }
    // Crossings: sort and sweep over x.
    std::vector<std::uint32_t> order(nSegs);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return boxes[a].x0 < boxes[b].x0 || (boxes[a].x0 == boxes[b].x0 && a < b);
    });
    m_nFirstNew = m_nodes.size();
    for (std::size_t ii = 0; ii < nSegs; ++ii) {
        const std::uint32_t i = order[ii];
        const Box& bi = boxes[i];
        for (std::size_t jj = ii + 1; jj < nSegs; ++jj) {
            const std::uint32_t j = order[jj];
            const Box& bj = boxes[j];
            if (bj.x0 > bi.x1) break;
            if (bj.y0 > bi.y1 || bj.y1 < bi.y0) continue;
            TestCrossing(std::min(i, j), std::max(i, j), splits);
        }
    }
    // Make the new nodes searchable.
    if (m_nFirstNew < m_nodes.size()) {
        const std::size_t nOld = m_nodeByX.size();
        for (std::size_t k = m_nFirstNew; k < m_nodes.size(); ++k) m_nodeByX.push_back(static_cast<std::uint32_t>(k));
        auto lex = [&](std::uint32_t a, std::uint32_t b) {
            return LexLess(m_nodes[a], m_nodes[b]) || (m_nodes[a] == m_nodes[b] && a < b);
        };
        std::sort(m_nodeByX.begin() + static_cast<std::ptrdiff_t>(nOld), m_nodeByX.end(), lex);
        std::inplace_merge(m_nodeByX.begin(), m_nodeByX.begin() + static_cast<std::ptrdiff_t>(nOld), m_nodeByX.end(),
                           lex);
        m_nFirstNew = m_nodes.size();
    }
    DropRepeatedNodes(splits, false);
    bChanged = !splits.empty();
    if (!bChanged) return true;
    for (Split& sp : splits) {
        const Pt& a = m_nodes[m_segs[sp.seg].u];
        const Pt& b = m_nodes[m_segs[sp.seg].v];
        const Pt& w = m_nodes[sp.node];
        sp.t = (w.x - a.x) * (b.x - a.x) + (w.y - a.y) * (b.y - a.y);
    }
    std::sort(splits.begin(), splits.end(), [](const Split& a, const Split& b) {
        if (a.seg != b.seg) return a.seg < b.seg;
        if (a.t != b.t) return a.t < b.t;
        return a.node < b.node;
    });
    std::vector<Seg> segs;
    segs.reserve(nSegs + splits.size());
    std::size_t k = 0;
    for (std::size_t s = 0; s < nSegs; ++s) {
        const Seg g = m_segs[s];
        std::uint32_t cur = g.u;
        for (; k < splits.size() && splits[k].seg == s; ++k) {
            const std::uint32_t w = splits[k].node;
            if (w != cur && w != g.v) {
                segs.push_back({cur, w, g.op, g.raw});
                cur = w;
            }
        }
        if (cur != g.v) segs.push_back({cur, g.v, g.op, g.raw});
    }
    m_segs.swap(segs);
    return true;
}

// The graph edges from the noded pieces (which come ring by ring, each ring a closed chain). A
// node is kept when other than two pieces meet there or the ring turns back on itself there; the
// pieces between kept nodes form one edge. Single pieces with the same two nodes merge (their
// winding steps add; pieces that cancel, as where two members meet along an edge or a sliver
// collapsed, separate nothing and go).
void Engine::DropRepeatedNodes(std::vector<Split>& splits, bool bFast) {
    // Grouped by piece, so the pieces of one input edge come together; the nodes of each input
    // edge's chain are stamped once.
    if (std::none_of(splits.begin(), splits.end(), [](const Split& sp) { return sp.bNear; })) return;
    std::sort(splits.begin(), splits.end(), [](const Split& x, const Split& y) {
        return x.seg < y.seg || (x.seg == y.seg && x.node < y.node);
    });
    m_stamp.assign(m_nodes.size(), kNone);
    std::uint32_t stamped = kNone;
    auto drop = [&](const Split& sp) {
        if (!sp.bNear) return false;
        const std::uint32_t raw = m_segs[sp.seg].raw;
        if (raw != stamped) {
            std::size_t b, e;
            if (bFast) {
                b = m_pieceOff[raw];
                e = m_pieceOff[raw + 1];
            } else {
                b = sp.seg;
                e = sp.seg + 1;
                while (b > 0 && m_segs[b - 1].raw == raw) --b;
                while (e < m_segs.size() && m_segs[e].raw == raw) ++e;
            }
            for (std::size_t k = b; k < e; ++k) m_stamp[m_segs[k].u] = m_stamp[m_segs[k].v] = raw;
            stamped = raw;
        }
        if (m_stamp[sp.node] != raw) return false;
        const Pt& a = m_nodes[m_segs[sp.seg].u];
        const Pt& b = m_nodes[m_segs[sp.seg].v];
        const Pt& w = m_nodes[sp.node];
        const bool exactlyOn = std::min(a.x, b.x) <= w.x && w.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= w.y &&
                               w.y <= std::max(a.y, b.y) && Orient(a, b, w) == 0;
        return !exactlyOn;
    };
    splits.erase(std::remove_if(splits.begin(), splits.end(), drop), splits.end());
}

void Engine::BuildEdges() {
    const std::size_t nNodes = m_nodes.size();
    m_deg.assign(nNodes, 0);
    for (const Seg& g : m_segs) {
        ++m_deg[g.u];
        ++m_deg[g.v];
    }
    m_edges.clear();
    m_singles.clear();
    m_polyNodes.clear();
    const std::size_t nSegs = m_segs.size();
    std::size_t nRing = 0;
    for (std::size_t b = 0; b < nSegs;) {
        // Pieces come in ring order; the ring's pieces are those of its input edges.
        while (m_in->rings[nRing].nEnd <= m_segs[b].raw) ++nRing;
        const std::uint32_t ringEnd = m_in->rings[nRing].nEnd;
        std::size_t e = b + 1;
        while (e < nSegs && m_segs[e].raw < ringEnd) ++e;
        const std::size_t cnt = e - b;
        auto prev = [&](std::size_t k) { return k == b ? e - 1 : k - 1; };
        auto kept = [&](std::size_t k) { return m_deg[m_segs[k].u] != 2 || m_segs[prev(k)].u == m_segs[k].v; };
        std::size_t k0 = b;
        while (k0 < e && !kept(k0)) ++k0;
        if (k0 == e) k0 = b;  // a ring nothing touches: one closed edge from its first node
        const std::uint8_t op = m_segs[b].op;
        std::size_t k = k0;
        std::uint32_t start = m_segs[k0].u;
        std::uint32_t off = static_cast<std::uint32_t>(m_polyNodes.size());
        for (std::size_t step = 1; step <= cnt; ++step) {
            k = k + 1 == e ? b : k + 1;
            const std::uint32_t node = m_segs[k].u;
            if (step < cnt && !kept(k)) {
                m_polyNodes.push_back(node);
                continue;
            }
            const std::uint32_t n = static_cast<std::uint32_t>(m_polyNodes.size()) - off;
            if (n == 0) {
                m_singles.push_back({start, node, op == 0 ? 1 : 0, op == 0 ? 0 : 1, node, start, 0, 0});
            } else {
                m_edges.push_back({start, node, op == 0 ? 1 : 0, op == 0 ? 0 : 1, m_polyNodes[off],
                                   m_polyNodes.back(), off, n});
            }
            start = node;
            off = static_cast<std::uint32_t>(m_polyNodes.size());
        }
        b = e;
    }
    // Merge single pieces by their node pair (smaller node first).
    for (Edge& g : m_singles) {
        if (g.u > g.v) {
            std::swap(g.u, g.v);
            std::swap(g.uNext, g.vPrev);
            g.dA = -g.dA;
            g.dB = -g.dB;
        }
    }
    std::sort(m_singles.begin(), m_singles.end(),
              [](const Edge& x, const Edge& y) { return x.u < y.u || (x.u == y.u && x.v < y.v); });
    for (std::size_t i = 0; i < m_singles.size();) {
        std::size_t j = i;
        int dA = 0, dB = 0;
        for (; j < m_singles.size() && m_singles[j].u == m_singles[i].u && m_singles[j].v == m_singles[i].v; ++j) {
            dA += m_singles[j].dA;
            dB += m_singles[j].dB;
        }
        if (dA != 0 || dB != 0) {
            Edge g = m_singles[i];
            g.dA = dA;
            g.dB = dB;
            m_edges.push_back(g);
        }
        i = j;
    }
}

bool Engine::BuildGraph(std::string& strWhy) {
    const std::size_t nNodes = m_nodes.size();
    const std::uint32_t nHalf = static_cast<std::uint32_t>(m_edges.size() * 2);
    m_adjOff.assign(nNodes + 1, 0);
    for (std::uint32_t h = 0; h < nHalf; ++h) ++m_adjOff[Origin(h) + 1];
    for (std::size_t i = 0; i < nNodes; ++i) m_adjOff[i + 1] += m_adjOff[i];
    m_adj.assign(nHalf, 0);
    std::vector<std::uint32_t>& fill = m_tmpA;
    fill.assign(m_adjOff.begin(), m_adjOff.end() - 1);
    for (std::uint32_t h = 0; h < nHalf; ++h) m_adj[fill[Origin(h)]++] = h;
    m_pos.assign(nHalf, 0);
    for (std::size_t n = 0; n < nNodes; ++n) {
        const std::uint32_t b = m_adjOff[n], e = m_adjOff[n + 1];
        if (e - b == 1) {
            strWhy = "a node of the noded edges has a single edge";
            return false;
        }
        if (e - b > 2) {
            const Pt o = m_nodes[n];
            auto half = [&](std::uint32_t h) {
                const Pt& d = m_nodes[Toward(h)];
                return (d.y > o.y || (d.y == o.y && d.x > o.x)) ? 0 : 1;
            };
            // Counter-clockwise from the direction of +x.
            std::sort(m_adj.begin() + b, m_adj.begin() + e, [&](std::uint32_t h1, std::uint32_t h2) {
                const int a1 = half(h1), a2 = half(h2);
                if (a1 != a2) return a1 < a2;
                return Orient(o, m_nodes[Toward(h1)], m_nodes[Toward(h2)]) > 0;
            });
        }
        for (std::uint32_t i = b; i < e; ++i) m_pos[m_adj[i]] = i - b;
    }
    // Around a face: at the end of h, the edge next clockwise from the way back.
    m_nextHalf.resize(nHalf);
    for (std::uint32_t h = 0; h < nHalf; ++h) {
        const std::uint32_t d = Dest(h);
        const std::uint32_t deg = m_adjOff[d + 1] - m_adjOff[d];
        const std::uint32_t p = m_pos[h ^ 1];
        m_nextHalf[h] = m_adj[m_adjOff[d] + (p == 0 ? deg - 1 : p - 1)];
    }
    return true;
}

bool Engine::LabelFaces(std::string& strWhy) {
    const std::uint32_t nHalf = static_cast<std::uint32_t>(m_edges.size() * 2);
    m_face.assign(nHalf, kNone);
    m_faceFirst.clear();
    for (std::uint32_t h = 0; h < nHalf; ++h) {
        if (m_face[h] != kNone) continue;
        const std::uint32_t f = static_cast<std::uint32_t>(m_faceFirst.size());
        m_faceFirst.push_back(h);
        std::uint32_t g = h;
        std::uint32_t nSteps = 0;
        do {
            if (m_face[g] != kNone || ++nSteps > nHalf) {
                strWhy = "a face of the planar graph does not close";
                return false;
            }
            m_face[g] = f;
            g = Next(g);
        } while (g != h);
    }
    // Connected components of the graph (union-find over nodes).
    const std::size_t nNodes = m_nodes.size();
    std::vector<std::uint32_t>& parent = m_tmpA;
    parent.resize(nNodes);
    std::iota(parent.begin(), parent.end(), 0u);
    auto find = [&](std::uint32_t x) {
        while (parent[x] != x) {
            parent[x] = parent[parent[x]];
            x = parent[x];
        }
        return x;
    };
    for (const Edge& e : m_edges) {
        const std::uint32_t a = find(e.u), b = find(e.v);
        if (a != b) parent[std::max(a, b)] = std::min(a, b);
    }
    // Inner nodes of an edge belong to its component.
    for (const Edge& e : m_edges)
        for (std::uint32_t k = 0; k < e.nCount; ++k) parent[m_polyNodes[e.nOff + k]] = find(e.u);
    // The lexicographically smallest point of each component, with the edge it lies inside
    // (kNone when it is a node) and its place among that edge's inner nodes.
    struct CompMin {
        std::uint32_t node;
        std::uint32_t edge;
        std::uint32_t at;
    };
    std::vector<std::uint32_t>& compOf = m_tmpB;
    compOf.assign(nNodes, kNone);
    std::vector<CompMin> comps;
    auto offer = [&](std::uint32_t root, std::uint32_t node, std::uint32_t edge, std::uint32_t at) {
        if (compOf[root] == kNone) {
            compOf[root] = static_cast<std::uint32_t>(comps.size());
            comps.push_back({node, edge, at});
        } else {
            CompMin& c = comps[compOf[root]];
            if (LexLess(m_nodes[node], m_nodes[c.node])) c = {node, edge, at};
        }
    };
    for (std::uint32_t i = 0; i < m_edges.size(); ++i) {
        const Edge& e = m_edges[i];
        const std::uint32_t root = find(e.u);
        offer(root, e.u, kNone, 0);
        offer(root, e.v, kNone, 0);
        for (std::uint32_t k = 0; k < e.nCount; ++k) offer(root, m_polyNodes[e.nOff + k], i, k);
    }
    const std::size_t nFaces = m_faceFirst.size();
    m_faceA.assign(nFaces, 0);
    m_faceB.assign(nFaces, 0);
    std::vector<char>& known = m_flagA;
    known.assign(nFaces, 0);
    std::vector<std::uint32_t>& queue = m_tmpC;
    for (const CompMin& cm : comps) {
        const std::uint32_t m = cm.node;
        const Pt pm = m_nodes[m];
        const std::uint32_t r = find(cm.edge == kNone ? m : m_edges[cm.edge].u);
        std::uint32_t hOuter;
        if (cm.edge == kNone) {
            // The outgoing edge at m turned furthest counter-clockwise has the unbounded side of
            // the component on its left: every other point of it lies right of m or straight above.
            hOuter = m_adj[m_adjOff[m]];
            for (std::uint32_t i = m_adjOff[m] + 1; i < m_adjOff[m + 1]; ++i)
                if (Orient(pm, m_nodes[Toward(hOuter)], m_nodes[Toward(m_adj[i])]) > 0) hOuter = m_adj[i];
        } else {
            // Inside an edge: a left turn there puts the unbounded side on the right.
            const Edge& e = m_edges[cm.edge];
            const std::uint32_t p = cm.at == 0 ? e.u : m_polyNodes[e.nOff + cm.at - 1];
            const std::uint32_t q = cm.at + 1 == e.nCount ? e.v : m_polyNodes[e.nOff + cm.at + 1];
            const int turn = Orient(m_nodes[p], pm, m_nodes[q]);
            if (turn == 0) {
                strWhy = "an edge of the planar graph turns back on itself";
                return false;
            }
            hOuter = 2 * cm.edge + (turn > 0 ? 1 : 0);
        }
        // Winding of that face: the other components' edges around m (their own windings are
        // closed cycles, so this component adds nothing outside itself).
        int wA = 0, wB = 0;
        if (comps.size() > 1 && m_bFastNoded) {
            RayWinding(pm, r, wA, wB);
        } else if (comps.size() > 1) {
            for (const Edge& e : m_edges) {
                if (find(e.u) == r) continue;
                std::uint32_t from = e.u;
                for (std::uint32_t k = 0; k <= e.nCount; ++k) {
                    const std::uint32_t to = k == e.nCount ? e.v : m_polyNodes[e.nOff + k];
                    const Pt& a = m_nodes[from];
                    const Pt& b = m_nodes[to];
                    if (a.y <= pm.y) {
                        if (b.y > pm.y && Orient(a, b, pm) > 0) {
                            wA += e.dA;
                            wB += e.dB;
                        }
                    } else if (b.y <= pm.y && Orient(a, b, pm) < 0) {
                        wA -= e.dA;
                        wB -= e.dB;
                    }
                    from = to;
                }
            }
        }
        const std::uint32_t f0 = m_face[hOuter];
        if (known[f0]) {
            strWhy = "two components share an outer face";
            return false;
        }
        known[f0] = 1;
        m_faceA[f0] = wA;
        m_faceB[f0] = wB;
        queue.clear();
        queue.push_back(f0);
        for (std::size_t q = 0; q < queue.size(); ++q) {
            const std::uint32_t f = queue[q];
            const std::uint32_t h0 = m_faceFirst[f];
            std::uint32_t h = h0;
            do {
                const Edge& e = m_edges[h >> 1];
                const int s = (h & 1) ? -1 : 1;
                const std::uint32_t g = m_face[h ^ 1];
                const int gA = m_faceA[f] - s * e.dA, gB = m_faceB[f] - s * e.dB;
                if (!known[g]) {
                    known[g] = 1;
                    m_faceA[g] = gA;
                    m_faceB[g] = gB;
                    queue.push_back(g);
                } else if (m_faceA[g] != gA || m_faceB[g] != gB) {
                    strWhy = "the windings of neighbouring faces disagree";
                    return false;
                }
                h = Next(h);
            } while (h != h0);
        }
    }
    return true;
}

bool Engine::ExtractRings(int op, std::vector<Ring>& rings, std::string& strWhy) {
    const std::size_t nFaces = m_faceFirst.size();
    std::vector<char>& in = m_flagA;
    in.assign(nFaces, 0);
    for (std::size_t f = 0; f < nFaces; ++f) {
        const bool a = m_faceA[f] > 0, b = m_faceB[f] > 0;
        in[f] = op == 0 ? (a || b) : op == 1 ? (a && b) : (a && !b);
    }
    const std::uint32_t nHalf = static_cast<std::uint32_t>(m_edges.size() * 2);
    auto boundary = [&](std::uint32_t h) { return in[m_face[h]] && !in[m_face[h ^ 1]]; };
    std::vector<char>& used = m_flagB;
    used.assign(nHalf, 0);
    std::vector<std::int32_t>& seenAt = m_seenAt;
    seenAt.assign(m_nodes.size(), -1);
    std::vector<std::uint32_t>& walk = m_tmpA;
    std::vector<std::uint32_t>& stack = m_tmpB;
    // A ring from its half-edges: each adds its origin and its inner nodes.
    auto emit = [&](const std::uint32_t* hs, std::size_t n) {
        Ring r;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t h = hs[i];
            const Edge& e = m_edges[h >> 1];
            r.nodes.push_back(Origin(h));
            if (h & 1) {
                for (std::uint32_t k = e.nCount; k-- > 0;) r.nodes.push_back(m_polyNodes[e.nOff + k]);
            } else {
                r.nodes.insert(r.nodes.end(), m_polyNodes.begin() + e.nOff, m_polyNodes.begin() + e.nOff + e.nCount);
            }
        }
        if (r.nodes.size() >= 3) rings.push_back(std::move(r));
    };
    for (std::uint32_t h0 = 0; h0 < nHalf; ++h0) {
        if (used[h0] || !boundary(h0)) continue;
        walk.clear();
        std::uint32_t h = h0;
        do {
            if (used[h] || walk.size() > nHalf) {
                strWhy = "a boundary ring of the result does not close";
                return false;
            }
            used[h] = 1;
            walk.push_back(h);
            // The next boundary edge clockwise from the way back keeps the result on the left.
            const std::uint32_t d = Dest(h);
            const std::uint32_t b = m_adjOff[d], deg = m_adjOff[d + 1] - b;
            const std::uint32_t p = m_pos[h ^ 1];
            std::uint32_t nxt = kNone;
            std::uint32_t at = p;
            for (std::uint32_t k = 1; k < deg; ++k) {
                at = at == 0 ? deg - 1 : at - 1;
                const std::uint32_t c = m_adj[b + at];
                if (boundary(c)) {
                    nxt = c;
                    break;
                }
            }
            if (nxt == kNone) {
                strWhy = "a boundary ring of the result breaks off";
                return false;
            }
            h = nxt;
        } while (h != h0);
        // Split the walk where it passes a node twice, so every ring is simple; the pieces touch
        // at those nodes.
        stack.clear();
        for (const std::uint32_t he : walk) {
            const std::uint32_t n = Origin(he);
            if (seenAt[n] >= 0) {
                const std::size_t at = static_cast<std::size_t>(seenAt[n]);
                emit(stack.data() + at, stack.size() - at);
                for (std::size_t k = at + 1; k < stack.size(); ++k) seenAt[Origin(stack[k])] = -1;
                stack.resize(at);
            }
            seenAt[n] = static_cast<std::int32_t>(stack.size());
            stack.push_back(he);
        }
        emit(stack.data(), stack.size());
        for (const std::uint32_t he : stack) seenAt[Origin(he)] = -1;
    }
    return true;
}

bool Engine::Assemble(std::vector<Ring>& rings, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy) {
    std::vector<std::size_t> outers, holes;
    for (std::size_t i = 0; i < rings.size(); ++i) {
        Ring& r = rings[i];
        // Start at the lexicographically smallest vertex.
        std::size_t iMin = 0;
        for (std::size_t k = 1; k < r.nodes.size(); ++k)
            if (LexLess(m_nodes[r.nodes[k]], m_nodes[r.nodes[iMin]])) iMin = k;
        std::rotate(r.nodes.begin(), r.nodes.begin() + static_cast<std::ptrdiff_t>(iMin), r.nodes.end());
        const Pt o = m_nodes[r.nodes[0]];
        Box bx{o.x, o.y, o.x, o.y};
        double a2 = 0.0;
        for (std::size_t k = 0; k < r.nodes.size(); ++k) {
            const Pt& p = m_nodes[r.nodes[k]];
            const Pt& q = m_nodes[r.nodes[k + 1 == r.nodes.size() ? 0 : k + 1]];
            a2 += (p.x - o.x) * (q.y - o.y) - (q.x - o.x) * (p.y - o.y);
            bx.x0 = std::min(bx.x0, p.x);
            bx.y0 = std::min(bx.y0, p.y);
            bx.x1 = std::max(bx.x1, p.x);
            bx.y1 = std::max(bx.y1, p.y);
        }
        r.box = bx;
        r.dArea = std::fabs(a2) * 0.5;
        // The turn at the smallest vertex (a corner of the hull) gives the direction exactly.
        const int turn = Orient(m_nodes[r.nodes.back()], o, m_nodes[r.nodes[1]]);
        if (turn > 0) outers.push_back(i);
        else if (turn < 0) holes.push_back(i);
    }
    if (outers.empty()) {
        if (!holes.empty()) {
            strWhy = "the result has holes but no outer ring";
            return false;
        }
        return true;
    }
    auto ringLess = [&](std::size_t a, std::size_t b) {
        const std::vector<std::uint32_t>& ra = rings[a].nodes;
        const std::vector<std::uint32_t>& rb = rings[b].nodes;
        const std::size_t n = std::min(ra.size(), rb.size());
        for (std::size_t k = 0; k < n; ++k) {
            const Pt& p = m_nodes[ra[k]];
            const Pt& q = m_nodes[rb[k]];
            if (LexLess(p, q)) return true;
            if (LexLess(q, p)) return false;
        }
        return ra.size() < rb.size();
    };
    std::sort(outers.begin(), outers.end(), ringLess);
    std::sort(holes.begin(), holes.end(), ringLess);
    std::vector<std::vector<std::size_t>> owned(outers.size());
    std::vector<Pt> buf;
    for (const std::size_t hi : holes) {
        const Ring& h = rings[hi];
        std::size_t best = kNone, nCand = 0, lastCand = 0;
        for (std::size_t k = 0; k < outers.size(); ++k) {
            const Box& ob = rings[outers[k]].box;
            if (ob.x0 <= h.box.x0 && ob.y0 <= h.box.y0 && ob.x1 >= h.box.x1 && ob.y1 >= h.box.y1) {
                ++nCand;
                lastCand = k;
            }
        }
        if (nCand == 1) {
            best = lastCand;
        } else if (nCand > 1) {
            // The smallest outer ring around the hole: decided exactly at the first vertex of
            // the hole that is not on that ring (holes touch outer rings at single points only).
            for (std::size_t k = 0; k < outers.size(); ++k) {
                const Ring& o = rings[outers[k]];
                const Box& ob = o.box;
                if (!(ob.x0 <= h.box.x0 && ob.y0 <= h.box.y0 && ob.x1 >= h.box.x1 && ob.y1 >= h.box.y1)) continue;
                if (best != kNone && rings[outers[best]].dArea <= o.dArea) continue;
                buf.resize(o.nodes.size());
                for (std::size_t j = 0; j < o.nodes.size(); ++j) buf[j] = m_nodes[o.nodes[j]];
                int loc = 0;
                for (std::size_t j = 0; j < h.nodes.size() && loc == 0; ++j)
                    loc = LocateInRing(buf.data(), static_cast<int>(buf.size()), m_nodes[h.nodes[j]]);
                if (loc > 0) best = k;
            }
        }
        if (best == kNone) {
            strWhy = "a hole of the result lies in no outer ring";
            return false;
        }
        owned[best].push_back(hi);
    }
    auto write = [&](const Ring& r, T_GORV_POLYGON2D& ring) {
        ring.points.SetSize(static_cast<INT_PTR>(r.nodes.size()));
        T_GORV_POINT2D* dst = ring.points.GetData();
        for (std::size_t j = 0; j < r.nodes.size(); ++j) {
            const Pt& q = m_nodes[r.nodes[j]];
            dst[j] = T_GORV_POINT2D{q.x, q.y};
        }
    };
    const INT_PTR base = out.GetSize();
    out.SetSize(base + static_cast<INT_PTR>(outers.size()));
    for (std::size_t k = 0; k < outers.size(); ++k) {
        T_GORV_COMPLEX_POLYGON2D& poly = out[base + static_cast<INT_PTR>(k)];
        write(rings[outers[k]], poly.outer);
        poly.holes.SetSize(static_cast<INT_PTR>(owned[k].size()));
        for (std::size_t h = 0; h < owned[k].size(); ++h) write(rings[owned[k][h]], poly.holes[static_cast<INT_PTR>(h)]);
    }
    return true;
}

RunStatus Engine::Run(int op, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy) {
    // The fast noding works from the edge pairs found once; when a piece strays too far from its
    // input edge for those pairs to be complete, or the graph comes out inconsistent, the
    // thorough noding (a full sweep every round) does it again.
    // Where rounding at the scale of the coordinates is not small against the tolerance, the
    // distances behind the fast noding's guarantees are not reliable: the thorough noding decides.
    m_bFastNoded = m_dMaxCoord * 1e-13 < m_dTol && FastNoding();
    if (m_bFastNoded) {
        // A failing graph appends nothing, so the thorough run starts from the same state.
        std::string why;
        const RunStatus st = RunGraph(op, out, why);
        if (st != RunStatus::kFailed) return st;
    }
    m_bFastNoded = false;
    // Crossings on edges far longer than the tolerance divided by the rounding unit cannot be
    // placed to within the tolerance, and a noding that keeps finding new ones is retried with
    // the tolerance raised to 1e-12 of the largest coordinate (or a thousand times the tolerance
    // when that is more), then a thousand times more for each further try.
    const double dTol = m_dTol;
    for (int nTry = 0; nTry < 4; ++nTry) {
        if (nTry > 0) {
            double t = m_dTol * 1000.0;
            if (nTry == 1 && m_dMaxCoord * 1e-12 > dTol) t = m_dMaxCoord * 1e-12;
            m_dTol = t;
            m_dTol2 = t * t;
        }
        Cluster();
        BuildSegments();
        // With coordinates beyond 1e13 tolerances a noding that does not settle quickly will not
        // settle at all (each crossing is placed off its edges by more than the tolerance).
        const int nMaxRounds = nTry == 0 && m_dMaxCoord * 1e-13 >= dTol ? 4 : kMaxNodingRounds;
        bool bChanged = true;
        int nRound = 0;
        while (bChanged && nRound < nMaxRounds) {
            ++nRound;
            NodingRound(bChanged);
        }
        if (!bChanged) {
            const RunStatus st = RunGraph(op, out, strWhy);
            m_dTol = dTol;
            m_dTol2 = dTol * dTol;
            return st;
        }
    }
    m_dTol = dTol;
    m_dTol2 = dTol * dTol;
    strWhy = "the noding of the edges did not settle";
    return RunStatus::kFailed;
}

RunStatus Engine::RunGraph(int op, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy) {
    BuildEdges();
    if (!BuildGraph(strWhy) || !LabelFaces(strWhy)) return RunStatus::kFailed;
    std::vector<Ring> rings;
    if (!ExtractRings(op, rings, strWhy)) return RunStatus::kFailed;
    const INT_PTR nBefore = out.GetSize();
    if (!Assemble(rings, out, strWhy)) return RunStatus::kFailed;
    return out.GetSize() == nBefore ? RunStatus::kEmpty : RunStatus::kResult;
}


// ---- Candidate edge pairs --------------------------------------------------------------------
// Each ring is cut into x-monotone chains; chains are swept by x and two chains whose boxes come
// within m_dReach are walked side by side, so every pair of input edges whose boxes come within
// m_dReach of each other is listed once, in O(n log n) for the chains plus the pairs.

void Engine::FindCandidates() {
    const std::size_t n = m_in->pts.size();
    m_rawBox.resize(n);
    m_next.resize(n);
    m_prev.resize(n);
    m_bend.resize(n);
    m_near.clear();
    std::vector<Chain>& chains = m_chains;
    chains.clear();
    const double farEnough = 4.0 * m_dTol2;
    for (std::uint32_t r = 0; r < m_in->rings.size(); ++r) {
        const InRing& ring = m_in->rings[r];
        Chain c{ring.nBegin, 0, 0, 0, {0, 0, 0, 0}, r};
        for (std::uint32_t i = ring.nBegin; i < ring.nEnd; ++i) {
            const std::uint32_t j = i + 1 == ring.nEnd ? ring.nBegin : i + 1;
            const std::uint32_t k = j + 1 == ring.nEnd ? ring.nBegin : j + 1;
            const Pt& a = m_in->pts[i];
            const Pt& b = m_in->pts[j];
            const Pt& cc = m_in->pts[k];
            m_next[i] = j;
            m_prev[j] = i;
            // Vertices within the tolerance along the ring, and whether this edge and the next
            // can meet other than at their common vertex: not when both are long and the turn
            // between them is at least a right angle (each far end then keeps its distance).
            const double dab = Dist2(a, b), dbc = Dist2(b, cc);
            if (dab <= m_dTol2) m_near.push_back({std::min(i, j), std::max(i, j)});
            if (k != i && Dist2(a, cc) <= m_dTol2) m_near.push_back({std::min(i, k), std::max(i, k)});
            m_bend[i] = !(dab > farEnough && dbc > farEnough &&
                          (a.x - b.x) * (cc.x - b.x) + (a.y - b.y) * (cc.y - b.y) <= 0.0);
            const Box bx{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
            m_rawBox[i] = bx;
            // Chains are monotone in x and in y.
            const int dx = b.x > a.x ? 1 : (b.x < a.x ? -1 : 0);
            const int dy = b.y > a.y ? 1 : (b.y < a.y ? -1 : 0);
            if (c.count > 0 && ((dx != 0 && c.dir != 0 && dx != c.dir) || (dy != 0 && c.ydir != 0 && dy != c.ydir))) {
                chains.push_back(c);
                c = Chain{i, 0, 0, 0, bx, r};
            }
            if (c.count == 0) c.box = bx;
            if (c.dir == 0) c.dir = dx;
            if (c.ydir == 0) c.ydir = dy;
            ++c.count;
            c.box.x0 = std::min(c.box.x0, bx.x0);
            c.box.y0 = std::min(c.box.y0, bx.y0);
            c.box.x1 = std::max(c.box.x1, bx.x1);
            c.box.y1 = std::max(c.box.y1, bx.y1);
        }
        if (c.count > 0) chains.push_back(c);
    }
    std::sort(chains.begin(), chains.end(), [](const Chain& a, const Chain& b) {
        return a.box.x0 < b.box.x0 || (a.box.x0 == b.box.x0 && a.first < b.first);
    });
    m_ringChainOff.assign(m_in->rings.size() + 1, 0);
    for (const Chain& c : chains) ++m_ringChainOff[c.ring + 1];
    for (std::size_t r = 0; r < m_in->rings.size(); ++r) m_ringChainOff[r + 1] += m_ringChainOff[r];
    m_ringChain.resize(chains.size());
    {
        std::vector<std::uint32_t>& fillc = m_tmpA;
        fillc.assign(m_ringChainOff.begin(), m_ringChainOff.end() - 1);
        for (std::uint32_t c = 0; c < chains.size(); ++c) m_ringChain[fillc[chains[c].ring]++] = c;
    }
    m_dMaxCoord = 0.0;
    for (const Chain& c : chains)
        m_dMaxCoord = std::max({m_dMaxCoord, std::fabs(c.box.x0), std::fabs(c.box.x1), std::fabs(c.box.y0),
                                std::fabs(c.box.y1)});
    m_pairs.clear();
    const double e = m_dReach;
    for (std::size_t c = 0; c < chains.size(); ++c) {
        const Chain& cc = chains[c];
        WalkChain(cc);
        for (std::size_t d = c + 1; d < chains.size() && chains[d].box.x0 <= cc.box.x1 + e; ++d) {
            const Chain& dd = chains[d];
            if (dd.box.y0 > cc.box.y1 + e || dd.box.y1 < cc.box.y0 - e) continue;
            WalkChains(cc, dd);
        }
    }
    // Partners of each edge (both directions), for the search of nodes near a crossing.
    m_partners.resize(m_pairs.size() * 2);
    for (std::size_t i = 0; i < m_pairs.size(); ++i) {
        m_partners[2 * i] = m_pairs[i];
        m_partners[2 * i + 1] = {m_pairs[i].second, m_pairs[i].first};
    }
    std::sort(m_partners.begin(), m_partners.end());
}

namespace {
// The edge at position k of a chain in order of ascending x (for a vertical chain, in ring order).
inline std::uint32_t ChainEdge(std::uint32_t first, std::uint32_t count, int dir, std::uint32_t k) {
    return dir >= 0 ? first + k : first + count - 1 - k;
}
}  // namespace

// Pairs of edges of one chain, other than neighbours along the ring (those are taken as
// neighbours everywhere).
void Engine::WalkChain(const Chain& c) {
    const double e = m_dReach;
    for (std::uint32_t i = 0; i + 2 < c.count; ++i) {
        const std::uint32_t s = ChainEdge(c.first, c.count, c.dir, i);
        const Box& bs = m_rawBox[s];
        for (std::uint32_t j = i + 2; j < c.count; ++j) {
            const std::uint32_t t = ChainEdge(c.first, c.count, c.dir, j);
            const Box& bt = m_rawBox[t];
            if (bt.x0 > bs.x1 + e) break;
            if (bt.y0 > bs.y1 + e || bt.y1 < bs.y0 - e) continue;
            if (m_next[t] == s || m_next[s] == t) continue;  // neighbours along the ring
            m_pairs.push_back({std::min(s, t), std::max(s, t)});
        }
    }
}

// Positions of a chain whose edges reach into o: edge boxes move monotonically in x and in y
// along the chain, so they form one run [from, to).
void Engine::ChainWindow(const Chain& ch, const Box& o, std::uint32_t& from, std::uint32_t& to) const {
    if (ch.count <= 4) {  // a short chain is cheaper walked whole than searched
        from = 0;
        to = ch.count;
        return;
    }
    auto box = [&](std::uint32_t k) -> const Box& { return m_rawBox[ChainEdge(ch.first, ch.count, ch.dir, k)]; };
    auto firstTrue = [&](auto pred) {
        std::uint32_t a = 0, b = ch.count;
        while (a < b) {
            const std::uint32_t m = (a + b) / 2;
            if (pred(m)) b = m;
            else a = m + 1;
        }
        return a;
    };
    from = firstTrue([&](std::uint32_t k) { return box(k).x1 >= o.x0; });
    to = firstTrue([&](std::uint32_t k) { return box(k).x0 > o.x1; });
    const bool yUp = ch.dir == 0 ? ch.ydir >= 0 : ch.dir * ch.ydir >= 0;
    if (yUp) {
        from = std::max(from, firstTrue([&](std::uint32_t k) { return box(k).y1 >= o.y0; }));
        to = std::min(to, firstTrue([&](std::uint32_t k) { return box(k).y0 > o.y1; }));
    } else {
        from = std::max(from, firstTrue([&](std::uint32_t k) { return box(k).y0 <= o.y1; }));
        to = std::min(to, firstTrue([&](std::uint32_t k) { return box(k).y1 < o.y0; }));
    }
}

int Engine::LocateInInputRing(std::uint32_t r, const Pt& p) const {
    const std::vector<Pt>& P = m_in->pts;
    const double inf = std::numeric_limits<double>::infinity();
    const Box ray{p.x, p.y, inf, p.y};
    int wn = 0;
    for (std::uint32_t k = m_ringChainOff[r]; k < m_ringChainOff[r + 1]; ++k) {
        const Chain& ch = m_chains[m_ringChain[k]];
        if (ch.box.x1 < p.x || ch.box.y0 > p.y || ch.box.y1 < p.y) continue;
        std::uint32_t from, to;
        ChainWindow(ch, ray, from, to);
        for (std::uint32_t i = from; i < to; ++i) {
            const std::uint32_t sg = ChainEdge(ch.first, ch.count, ch.dir, i);
            const Pt& a = P[sg];
            const Pt& b = P[m_next[sg]];
            const int o = Orient(a, b, p);
            if (o == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
                p.y <= std::max(a.y, b.y))
                return 0;
            if (a.y <= p.y) {
                if (b.y > p.y && o > 0) ++wn;
            } else if (b.y <= p.y && o < 0) {
                --wn;
            }
        }
    }
    return wn != 0 ? 1 : -1;
}

// Winding of A and B at p from the noded pieces of the components other than root's, counted on
// the ray from p in the direction of +x. Only the chains near the ray are searched: pieces lie
// within two tolerances of their input edge (fast noding).
void Engine::RayWinding(const Pt& p, std::uint32_t root, int& wA, int& wB) {
    const double inf = std::numeric_limits<double>::infinity();
    const double m = 3.0 * m_dTol;
    const Box ray{p.x - m, p.y - m, inf, p.y + m};
    std::vector<std::uint32_t>& parent = m_tmpA;
    auto find = [&](std::uint32_t x) {
        while (parent[x] != x) x = parent[x];
        return x;
    };
    for (const Chain& ch : m_chains) {
        if (ch.box.x1 < ray.x0 || ch.box.y0 > ray.y1 || ch.box.y1 < ray.y0) continue;
        std::uint32_t from, to;
        ChainWindow(ch, ray, from, to);
        for (std::uint32_t i = from; i < to; ++i) {
            const std::uint32_t sg = ChainEdge(ch.first, ch.count, ch.dir, i);
            for (std::uint32_t k = m_pieceOff[sg]; k < m_pieceOff[sg + 1]; ++k) {
                const Seg& g = m_segs[k];
                const Pt& a = m_nodes[g.u];
                const Pt& b = m_nodes[g.v];
                int w = 0;
                if (a.y <= p.y) {
                    if (b.y > p.y && Orient(a, b, p) > 0) w = 1;
                } else if (b.y <= p.y && Orient(a, b, p) < 0) {
                    w = -1;
                }
                // Pieces that cancel each other have the same two nodes: decide by the smaller.
                if (w == 0 || find(std::min(g.u, g.v)) == root) continue;
                if (g.op == 0) wA += w;
                else wB += w;
            }
        }
    }
}

void Engine::WalkChains(const Chain& c, const Chain& d) {
    const double e = m_dReach;
    // The common box of the two chains, widened by the reach.
    const Box o{std::max(c.box.x0, d.box.x0) - e, std::max(c.box.y0, d.box.y0) - e, std::min(c.box.x1, d.box.x1) + e,
                std::min(c.box.y1, d.box.y1) + e};
    std::uint32_t i0, i1, j0, j1;
    ChainWindow(c, o, i0, i1);
    ChainWindow(d, o, j0, j1);
    for (std::uint32_t i = i0; i < i1; ++i) {
        const std::uint32_t s = ChainEdge(c.first, c.count, c.dir, i);
        const Box& bs = m_rawBox[s];
        while (j0 < j1 && m_rawBox[ChainEdge(d.first, d.count, d.dir, j0)].x1 + e < bs.x0) ++j0;
        for (std::uint32_t j = j0; j < j1; ++j) {
            const std::uint32_t t = ChainEdge(d.first, d.count, d.dir, j);
            const Box& bt = m_rawBox[t];
            if (bt.x0 > bs.x1 + e) break;
            if (bt.y0 > bs.y1 + e || bt.y1 < bs.y0 - e) continue;
            if (m_next[s] == t || m_next[t] == s) continue;  // neighbours along the ring
            m_pairs.push_back({std::min(s, t), std::max(s, t)});
        }
    }
}

void Engine::CheckEdges(std::size_t nPolygons, std::vector<RingProblem>& problems) const {
    problems.assign(nPolygons, RingProblem());
    auto consider = [&](std::uint32_t poly, int e, int nRing, int nOther) {
        RingProblem& b = problems[poly];
        if (b.nProblem == 0 || nRing < b.nRing ||
            (nRing == b.nRing && (e < b.nProblem || (e == b.nProblem && nOther < b.nOther)))) {
            b.nProblem = e;
            b.nRing = nRing;
            b.nOther = nOther;
        }
    };
    // Neighbours along a ring share a vertex and may only fold back onto each other there.
    const std::vector<Pt>& P = m_in->pts;
    for (std::uint32_t s = 0; s < P.size(); ++s) {
        const std::uint32_t t = m_next[s];
        const Pt& p0 = P[s];
        const Pt& mid = P[t];
        const Pt& far = P[m_next[t]];
        if (Orient(p0, mid, far) == 0 && (far.x - mid.x) * (p0.x - mid.x) + (far.y - mid.y) * (p0.y - mid.y) > 0.0) {
            const InRing& rs = m_in->rings[RingOf(s)];
            consider(rs.nPolygon, GORV_PROBLEM_SELF_CROSSING, static_cast<int>(rs.nRing), -1);
        }
    }
    for (const auto& pr : m_pairs) {
        const std::uint32_t s = pr.first, t = pr.second;
        const std::uint32_t ringS = RingOf(s), ringT = RingOf(t);
        const InRing& rs = m_in->rings[ringS];
        const InRing& rt = m_in->rings[ringT];
        if (rs.nPolygon != rt.nPolygon) continue;
        const Pt& a = m_in->pts[s];
        const Pt& b = m_in->pts[m_next[s]];
        const Pt& c = m_in->pts[t];
        const Pt& d = m_in->pts[m_next[t]];
        if (ringS == ringT) {
            if (MeetSegments(a, b, c, d) != SegMeet::kNone)
                consider(rs.nPolygon, GORV_PROBLEM_SELF_CROSSING, static_cast<int>(rs.nRing), -1);
            continue;
        }
        const SegMeet m = MeetSegments(a, b, c, d);
        if (m == SegMeet::kNone || m == SegMeet::kTouch) continue;
        const int lo = static_cast<int>(std::min(rs.nRing, rt.nRing)), hi = static_cast<int>(std::max(rs.nRing, rt.nRing));
        if (lo == 0) consider(rs.nPolygon, GORV_PROBLEM_HOLE_CROSSES_OUTER, hi, 0);
        else consider(rs.nPolygon, GORV_PROBLEM_HOLES_OVERLAP, hi, lo);
    }
}

// ---- Fast noding -----------------------------------------------------------------------------

// The clustering rule of Cluster, applied to the vertices that have another vertex within the
// tolerance (all such pairs lie on candidate edge pairs); every other vertex is its own node.
void Engine::FastCluster() {
    const std::size_t n = m_in->pts.size();
    const std::vector<Pt>& P = m_in->pts;
    std::vector<std::pair<std::uint32_t, std::uint32_t>>& near = m_near;
    for (const auto& pr : m_pairs) {
        const std::uint32_t vs[2] = {pr.first, m_next[pr.first]};
        const std::uint32_t vt[2] = {pr.second, m_next[pr.second]};
        for (const std::uint32_t a : vs)
            for (const std::uint32_t b : vt)
                if (a != b && Dist2(P[a], P[b]) <= m_dTol2) near.push_back({std::min(a, b), std::max(a, b)});
    }
    std::vector<std::uint32_t>& rep = m_rep;
    rep.resize(n);
    std::iota(rep.begin(), rep.end(), 0u);
    if (!near.empty()) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> adj;
        adj.reserve(near.size() * 2);
        for (const auto& pr : near) {
            adj.push_back(pr);
            adj.push_back({pr.second, pr.first});
        }
        std::sort(adj.begin(), adj.end());
        adj.erase(std::unique(adj.begin(), adj.end()), adj.end());
        std::vector<std::uint32_t> order;
        for (std::size_t i = 0; i < adj.size(); ++i)
            if (i == 0 || adj[i].first != adj[i - 1].first) order.push_back(adj[i].first);
        auto lex = [&](std::uint32_t a, std::uint32_t b) {
            if (P[a].x != P[b].x) return P[a].x < P[b].x;
            if (P[a].y != P[b].y) return P[a].y < P[b].y;
            return a < b;
        };
        std::sort(order.begin(), order.end(), lex);
        // Edges around a vertex that may move take their look in round 1 whatever their shape.
        for (const std::uint32_t v : order) {
            m_bend[v] = 1;
            m_bend[m_prev[v]] = 1;
            m_bend[m_prev[m_prev[v]]] = 1;
        }
        std::vector<char>& done = m_flagA;
        std::vector<char>& isRep = m_flagB;
        done.assign(n, 0);
        isRep.assign(n, 0);
        for (const std::uint32_t v : order) {
            auto it = std::lower_bound(adj.begin(), adj.end(), std::make_pair(v, 0u));
            std::uint32_t best = v;
            double dBest = 0.0;
            for (; it != adj.end() && it->first == v; ++it) {
                const std::uint32_t w = it->second;
                if (!done[w] || !isRep[w]) continue;
                const double d = Dist2(P[v], P[w]);
                if (best == v || d < dBest || (d == dBest && lex(w, best))) {
                    best = w;
                    dBest = d;
                }
            }
            done[v] = 1;
            if (best == v) isRep[v] = 1;
            rep[v] = best;
        }
    }
    m_nodes.clear();
    m_nodes.reserve(n + 16);
    m_vertexNode.assign(n, kNone);
    for (std::uint32_t v = 0; v < n; ++v) {
        if (rep[v] != v) continue;
        m_vertexNode[v] = static_cast<std::uint32_t>(m_nodes.size());
        m_nodes.push_back(P[v]);
    }
    for (std::uint32_t v = 0; v < n; ++v)
        if (rep[v] != v) m_vertexNode[v] = m_vertexNode[rep[v]];
}

// Nearest node within the tolerance of p among the end points of the pieces of s, t and their
// partners, and the nodes made in this round; kNone when there is none.
std::uint32_t Engine::NodeNearPieces(const Pt& p, std::uint32_t s, std::uint32_t t) {
    std::uint32_t best = kNone;
    double dBest = 0.0;
    auto consider = [&](std::uint32_t id) {
        const double d = Dist2(m_nodes[id], p);
        if (d <= m_dTol2 && (best == kNone || d < dBest || (d == dBest && id < best))) {
            best = id;
            dBest = d;
        }
    };
    auto pieces = [&](std::uint32_t r) {
        for (std::uint32_t k = m_pieceOff[r]; k < m_pieceOff[r + 1]; ++k) {
            consider(m_segs[k].u);
            consider(m_segs[k].v);
        }
    };
    for (const std::uint32_t r : {s, t}) {
        pieces(r);
        pieces(m_next[r]);
        pieces(m_prev[r]);
        const std::pair<std::uint32_t, std::uint32_t>*first, *last;
        Partners(r, first, last);
        for (; first != last; ++first) pieces(first->second);
    }
    for (std::size_t k = m_nRoundFirstNode; k < m_nodes.size(); ++k) consider(static_cast<std::uint32_t>(k));
    return best;
}

// Node on edge and crossing between pieces p and q (indices into m_segs).
void Engine::TestPieces(std::uint32_t p, std::uint32_t q, std::vector<Split>& splits) {
    const Seg g1 = m_segs[p];
    const Seg g2 = m_segs[q];
    const Pt a = m_nodes[g1.u], b = m_nodes[g1.v], c = m_nodes[g2.u], d = m_nodes[g2.v];
    const double t = m_dTol;
    const Box b1{std::min(a.x, b.x) - t, std::min(a.y, b.y) - t, std::max(a.x, b.x) + t, std::max(a.y, b.y) + t};
    const Box b2{std::min(c.x, d.x) - t, std::min(c.y, d.y) - t, std::max(c.x, d.x) + t, std::max(c.y, d.y) + t};
    if (b1.x0 > b2.x1 || b2.x0 > b1.x1 || b1.y0 > b2.y1 || b2.y0 > b1.y1) return;
    auto inBox = [](const Box& bx, const Pt& w) { return w.x >= bx.x0 && w.x <= bx.x1 && w.y >= bx.y0 && w.y <= bx.y1; };
    const std::uint32_t ends2[2] = {g2.u, g2.v};
    for (const std::uint32_t w : ends2)
        if (w != g1.u && w != g1.v && inBox(b1, m_nodes[w]) && NearSegment(a, b, m_nodes[w], m_dTol2))
            splits.push_back({p, w, 0.0, true});
    const std::uint32_t ends1[2] = {g1.u, g1.v};
    for (const std::uint32_t w : ends1)
        if (w != g2.u && w != g2.v && inBox(b2, m_nodes[w]) && NearSegment(c, d, m_nodes[w], m_dTol2))
            splits.push_back({q, w, 0.0, true});
    if (g1.u == g2.u || g1.u == g2.v || g1.v == g2.u || g1.v == g2.v) return;
    const int o1 = Orient(a, b, c), o2 = Orient(a, b, d);
    if (o1 * o2 >= 0) return;
    const int o3 = Orient(c, d, a), o4 = Orient(c, d, b);
    if (o3 * o4 >= 0) return;
    const Pt x = CrossingPoint(a, b, c, d);
    std::uint32_t w = NodeNearPieces(x, g1.raw, g2.raw);
    if (w == kNone) {
        w = static_cast<std::uint32_t>(m_nodes.size());
        m_nodes.push_back(x);
    }
    if (w != g1.u && w != g1.v) splits.push_back({p, w, 0.0, false});
    if (w != g2.u && w != g2.v) splits.push_back({q, w, 0.0, false});
}

// Noding over the candidate pairs only: round 1 tests every pair, later rounds the pairs with an
// edge split in the round before. Returns false when a split node lies more than twice the
// tolerance from its input edge (the candidate pairs might then miss an encounter).
bool Engine::FastNoding() {
    FastCluster();
    const std::size_t n = m_in->pts.size();
    m_segs.resize(n);
    m_pieceOff.assign(n + 1, 0);
    std::uint32_t nSegs = 0;
    for (const InRing& r : m_in->rings) {
        for (std::uint32_t i = r.nBegin; i < r.nEnd; ++i) {
            const std::uint32_t u = m_vertexNode[i], v = m_vertexNode[m_next[i]];
            if (u != v) m_segs[nSegs++] = {u, v, r.nOperand, i};
            m_pieceOff[i + 1] = nSegs;
        }
    }
    m_segs.resize(nSegs);
    // Pieces are stored by input edge id, which is the vertex index: fill gaps between rings.
    for (std::size_t i = 1; i <= n; ++i) m_pieceOff[i] = std::max(m_pieceOff[i], m_pieceOff[i - 1]);
    std::vector<char>& dirty = m_dirty;
    std::vector<char>& nextDirty = m_nextDirty;
    dirty.assign(n, 1);
    nextDirty.assign(n, 0);
    std::vector<Split>& splits = m_splits;
    const double guard2 = 4.0 * m_dTol2;
    for (int nRound = 1; nRound <= kMaxNodingRounds; ++nRound) {
        splits.clear();
        m_nRoundFirstNode = m_nodes.size();
        auto testEdges = [&](std::uint32_t s, std::uint32_t t) {
            for (std::uint32_t p = m_pieceOff[s]; p < m_pieceOff[s + 1]; ++p)
                for (std::uint32_t q = m_pieceOff[t]; q < m_pieceOff[t + 1]; ++q) TestPieces(p, q, splits);
        };
        if (nRound == 1) {
            for (std::uint32_t s = 0; s < n; ++s)
                if (m_bend[s]) testEdges(s, m_next[s]);
            for (const auto& pr : m_pairs) testEdges(pr.first, pr.second);
        } else {
            // Only the edges split in the last round and their neighbours and partners; a pair
            // of two split edges is taken from its smaller one.
            for (const std::uint32_t s : m_dirtyList) {
                testEdges(s, m_next[s]);
                if (!dirty[m_prev[s]]) testEdges(m_prev[s], s);
                const std::pair<std::uint32_t, std::uint32_t>*first, *last;
                Partners(s, first, last);
                for (; first != last; ++first) {
                    const std::uint32_t t = first->second;
                    if (dirty[t] && t < s) continue;
                    testEdges(std::min(s, t), std::max(s, t));
                }
                for (std::uint32_t p = m_pieceOff[s]; p < m_pieceOff[s + 1]; ++p)
                    for (std::uint32_t q = p + 1; q < m_pieceOff[s + 1]; ++q) TestPieces(p, q, splits);
            }
        }
        DropRepeatedNodes(splits, true);
        if (splits.empty()) return true;
        for (Split& sp : splits) {
            const Seg& g = m_segs[sp.seg];
            const Pt& w = m_nodes[sp.node];
            if (SegDist2(m_in->pts[g.raw], m_in->pts[m_next[g.raw]], w) > guard2) return false;
            const Pt& a = m_nodes[g.u];
            const Pt& b = m_nodes[g.v];
            sp.t = (w.x - a.x) * (b.x - a.x) + (w.y - a.y) * (b.y - a.y);
        }
        std::sort(splits.begin(), splits.end(), [](const Split& x, const Split& y) {
            if (x.seg != y.seg) return x.seg < y.seg;
            if (x.t != y.t) return x.t < y.t;
            return x.node < y.node;
        });
        std::vector<Seg>& segs = m_segs2;
        segs.clear();
        segs.reserve(m_segs.size() + splits.size());
        // nextDirty is all clear here; the edges split now are marked in it and listed.
        m_newDirty.clear();
        std::vector<std::uint32_t>& off = m_off2;
        off.resize(n + 1);
        off[0] = 0;
        // Edges without splits are copied in runs; their piece offsets shift by delta.
        std::int64_t delta = 0;
        std::size_t k = 0;
        for (std::uint32_t r = 0; r < n;) {
            const std::uint32_t rSplit = k < splits.size() ? m_segs[splits[k].seg].raw : static_cast<std::uint32_t>(n);
            segs.insert(segs.end(), m_segs.begin() + m_pieceOff[r], m_segs.begin() + m_pieceOff[rSplit]);
            for (std::uint32_t q = r + 1; q <= rSplit; ++q)
                off[q] = static_cast<std::uint32_t>(static_cast<std::int64_t>(m_pieceOff[q]) + delta);
            if (rSplit == n) break;
            for (std::uint32_t pc = m_pieceOff[rSplit]; pc < m_pieceOff[rSplit + 1]; ++pc) {
                const Seg g = m_segs[pc];
                std::uint32_t cur = g.u;
                for (; k < splits.size() && splits[k].seg == pc; ++k) {
                    const std::uint32_t w = splits[k].node;
                    if (w != cur && w != g.v) {
                        segs.push_back({cur, w, g.op, g.raw});
                        cur = w;
                        if (!nextDirty[rSplit]) m_newDirty.push_back(rSplit);
                        nextDirty[rSplit] = 1;
                    }
                }
                if (cur != g.v) segs.push_back({cur, g.v, g.op, g.raw});
            }
            off[rSplit + 1] = static_cast<std::uint32_t>(segs.size());
            delta = static_cast<std::int64_t>(segs.size()) - m_pieceOff[rSplit + 1];
            r = rSplit + 1;
        }
        m_segs.swap(segs);
        m_pieceOff.swap(off);
        if (nRound == 1) std::fill(dirty.begin(), dirty.end(), 0);
        else
            for (const std::uint32_t r : m_dirtyList) dirty[r] = 0;
        dirty.swap(nextDirty);
        m_dirtyList.swap(m_newDirty);
    }
    return false;
}

namespace {
// Engines not in use, with their buffers. A function-local static: destroyed when the library
// unloads or the process ends.
struct EnginePool {
    std::mutex mutex;
    std::vector<std::unique_ptr<Engine>> spare;
};
EnginePool& Pool() {
    static EnginePool pool;
    return pool;
}
// Buffers beyond this many elements of input are not kept (a pool engine that once served a huge
// input gives its memory back).
const std::size_t kMaxKeptPoints = 1u << 20;
}  // namespace

Overlay::Overlay(double dTol) : m_pEngine(nullptr), m_dTol(dTol) {
    {
        EnginePool& pool = Pool();
        std::lock_guard<std::mutex> lock(pool.mutex);
        if (!pool.spare.empty()) {
            m_pEngine = pool.spare.back().release();
            pool.spare.pop_back();
        }
    }
    if (m_pEngine == nullptr) m_pEngine = new Engine();
    m_pEngine->m_input.pts.clear();
    m_pEngine->m_input.rings.clear();
}

Overlay::~Overlay() {
    if (m_pEngine->m_input.pts.capacity() > kMaxKeptPoints) {
        delete m_pEngine;
        return;
    }
    EnginePool& pool = Pool();
    std::lock_guard<std::mutex> lock(pool.mutex);
    pool.spare.emplace_back(m_pEngine);
}

Input& Overlay::GetInput() { return m_pEngine->m_input; }

void Overlay::Prepare() { m_pEngine->Reset(m_pEngine->m_input, m_dTol); }

void Overlay::CheckEdges(std::size_t nPolygons, std::vector<RingProblem>& problems) const {
    m_pEngine->CheckEdges(nPolygons, problems);
}

int Overlay::LocateInInputRing(std::uint32_t nRing, const Pt& p) const {
    return m_pEngine->LocateInInputRing(nRing, p);
}

RunStatus Overlay::Run(int op, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy) {
    return m_pEngine->Run(op, out, strWhy);
}

}  // namespace overlay
}  // namespace detail
