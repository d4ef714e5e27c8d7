// The overlay engine: vertices snapped into clusters, edges noded until no node lies within the
// tolerance of an edge it does not end at and no two edges cross, the noded edges merged into a
// planar graph whose faces carry the windings of A and B, and the boundary of the selected faces
// traced into rings. The design and the output conventions are written down in overlay.h.
#include "overlay/overlay_engine.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

namespace detail {
namespace overlay {
namespace {

// A noding that has not settled after this many rounds is reported as a failure; ordinary input
// settles in two or three.
const int kMaxNodingRounds = 64;
const std::uint32_t kNone = 0xffffffffu;

// A directed piece of an input edge; winding +1 to its left for its operand.
struct Seg {
    std::uint32_t u;
    std::uint32_t v;
    std::uint8_t op;
};

struct Box {
    double x0, y0, x1, y1;
};

struct Split {
    std::uint32_t seg;
    std::uint32_t node;
    double t;  // position along the segment (unnormalised projection)
};

// A merged graph edge u < v with the winding steps of A and B from its right to its left when
// walked from u to v.
struct Edge {
    std::uint32_t u;
    std::uint32_t v;
    int dA;
    int dB;
};

struct Ring {
    std::vector<std::uint32_t> nodes;
    Box box;
    double dArea;  // absolute area
};

class Engine {
public:
    Engine(const Input& in, double dTol) : m_in(in), m_dTol(dTol), m_dTol2(dTol * dTol) {}

    RunStatus Run(int op, std::vector<OutPolygon>& out, std::string& strWhy);

private:
    void Cluster();
    void BuildSegments();
    bool NodingRound(bool& bChanged);
    void TestCrossing(std::uint32_t s1, std::uint32_t s2, std::vector<Split>& splits);
    std::uint32_t NodeNear(const Pt& p);
    void BuildEdges();
    bool BuildGraph(std::string& strWhy);
    bool LabelFaces(std::string& strWhy);
    bool ExtractRings(int op, std::vector<Ring>& rings, std::string& strWhy);
    bool Assemble(std::vector<Ring>& rings, std::vector<OutPolygon>& out, std::string& strWhy);

    std::uint32_t Dest(std::uint32_t h) const { return (h & 1) ? m_edges[h >> 1].u : m_edges[h >> 1].v; }
    std::uint32_t Origin(std::uint32_t h) const { return (h & 1) ? m_edges[h >> 1].v : m_edges[h >> 1].u; }
    std::uint32_t Next(std::uint32_t h) const {
        const std::uint32_t d = Dest(h);
        const std::uint32_t deg = m_adjOff[d + 1] - m_adjOff[d];
        const std::uint32_t p = m_pos[h ^ 1];
        return m_adj[m_adjOff[d] + (p + deg - 1) % deg];
    }

    const Input& m_in;
    double m_dTol;
    double m_dTol2;
    std::vector<Pt> m_nodes;
    std::vector<std::uint32_t> m_nodeByX;  // node ids in lexicographic order of their points
    std::size_t m_nFirstNew = 0;           // nodes from here on were made in the current round
    std::vector<std::uint32_t> m_vertexNode;
    std::vector<Seg> m_segs;
    std::vector<Edge> m_edges;
    std::vector<std::uint32_t> m_adjOff, m_adj, m_pos, m_face, m_comp;
    std::vector<std::uint32_t> m_faceFirst;
    std::vector<int> m_faceA, m_faceB;
};

// Vertices are taken in lexicographic order (x, then y, then input position); each joins the
// nearest representative within the tolerance (inclusive), or becomes a representative itself.
// Representatives are thus more than the tolerance apart and no vertex moves by more than it.
void Engine::Cluster() {
    const std::size_t n = m_in.pts.size();
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Pt& pa = m_in.pts[a];
        const Pt& pb = m_in.pts[b];
        if (pa.x != pb.x) return pa.x < pb.x;
        if (pa.y != pb.y) return pa.y < pb.y;
        return a < b;
    });
    m_vertexNode.assign(n, kNone);
    m_nodes.clear();
    m_nodes.reserve(n);
    std::size_t nActive = 0;
    for (const std::uint32_t i : order) {
        const Pt& p = m_in.pts[i];
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
    for (const InRing& r : m_in.rings) {
        for (std::uint32_t i = r.nBegin; i < r.nEnd; ++i) {
            const std::uint32_t j = i + 1 == r.nEnd ? r.nBegin : i + 1;
            const std::uint32_t u = m_vertexNode[i], v = m_vertexNode[j];
            if (u != v) m_segs.push_back({u, v, r.nOperand});
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
    // An end point near the other segment is handled by the node-on-edge rule.
    if (SegDist2(a, b, c) <= m_dTol2 || SegDist2(a, b, d) <= m_dTol2 || SegDist2(c, d, a) <= m_dTol2 ||
        SegDist2(c, d, b) <= m_dTol2)
        return;
    const int o1 = Orient(a, b, c), o2 = Orient(a, b, d);
    if (o1 * o2 >= 0) return;
    const int o3 = Orient(c, d, a), o4 = Orient(c, d, b);
    if (o3 * o4 >= 0) return;
    // The crossing, computed once per pair (s1 < s2) along ab.
    const double d1 = (d.x - c.x) * (a.y - c.y) - (d.y - c.y) * (a.x - c.x);
    const double d2 = (d.x - c.x) * (b.y - c.y) - (d.y - c.y) * (b.x - c.x);
    double t = d1 / (d1 - d2);
    if (!(t >= 0.0)) t = 0.0;
    if (t > 1.0) t = 1.0;
    const Pt p{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
    std::uint32_t w = NodeNear(p);
    if (w == kNone) {
        w = static_cast<std::uint32_t>(m_nodes.size());
        m_nodes.push_back(p);
    }
    if (w != g1.u && w != g1.v) splits.push_back({s1, w, 0.0});
    if (w != g2.u && w != g2.v) splits.push_back({s2, w, 0.0});
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
            if (SegDist2(m_nodes[g.u], m_nodes[g.v], p) <= m_dTol2)
                splits.push_back({static_cast<std::uint32_t>(s), w, 0.0});
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
                segs.push_back({cur, w, g.op});
                cur = w;
            }
        }
        if (cur != g.v) segs.push_back({cur, g.v, g.op});
    }
    m_segs.swap(segs);
    return true;
}

void Engine::BuildEdges() {
    struct Rec {
        std::uint64_t key;
        int dA;
        int dB;
    };
    std::vector<Rec> recs;
    recs.reserve(m_segs.size());
    for (const Seg& g : m_segs) {
        const bool fwd = g.u < g.v;
        const std::uint64_t key = (static_cast<std::uint64_t>(fwd ? g.u : g.v) << 32) | (fwd ? g.v : g.u);
        const int s = fwd ? 1 : -1;
        recs.push_back({key, g.op == 0 ? s : 0, g.op == 0 ? 0 : s});
    }
    std::sort(recs.begin(), recs.end(), [](const Rec& a, const Rec& b) { return a.key < b.key; });
    m_edges.clear();
    for (std::size_t i = 0; i < recs.size();) {
        std::size_t j = i;
        int dA = 0, dB = 0;
        for (; j < recs.size() && recs[j].key == recs[i].key; ++j) {
            dA += recs[j].dA;
            dB += recs[j].dB;
        }
        // Pieces that cancel (two members meeting along an edge, a collapsed sliver) separate nothing.
        if (dA != 0 || dB != 0)
            m_edges.push_back({static_cast<std::uint32_t>(recs[i].key >> 32),
                               static_cast<std::uint32_t>(recs[i].key & 0xffffffffu), dA, dB});
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
    std::vector<std::uint32_t> fill(m_adjOff.begin(), m_adjOff.end() - 1);
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
                const Pt& d = m_nodes[Dest(h)];
                return (d.y > o.y || (d.y == o.y && d.x > o.x)) ? 0 : 1;
            };
            // Counter-clockwise from the direction of +x.
            std::sort(m_adj.begin() + b, m_adj.begin() + e, [&](std::uint32_t h1, std::uint32_t h2) {
                const int a1 = half(h1), a2 = half(h2);
                if (a1 != a2) return a1 < a2;
                return Orient(o, m_nodes[Dest(h1)], m_nodes[Dest(h2)]) > 0;
            });
        }
        for (std::uint32_t i = b; i < e; ++i) m_pos[m_adj[i]] = i - b;
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
    std::vector<std::uint32_t> parent(nNodes);
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
    // The lexicographically smallest node of each component.
    std::vector<std::uint32_t> compMin(nNodes, kNone);
    std::vector<std::uint32_t> comps;
    for (std::uint32_t n = 0; n < nNodes; ++n) {
        if (m_adjOff[n + 1] == m_adjOff[n]) continue;
        const std::uint32_t r = find(n);
        if (compMin[r] == kNone) {
            compMin[r] = n;
            comps.push_back(r);
        } else if (LexLess(m_nodes[n], m_nodes[compMin[r]])) {
            compMin[r] = n;
        }
    }
    const std::size_t nFaces = m_faceFirst.size();
    m_faceA.assign(nFaces, 0);
    m_faceB.assign(nFaces, 0);
    std::vector<char> known(nFaces, 0);
    std::vector<std::uint32_t> queue;
    for (const std::uint32_t r : comps) {
        const std::uint32_t m = compMin[r];
        const Pt pm = m_nodes[m];
        // The outgoing edge at m turned furthest counter-clockwise has the unbounded side of
        // the component on its left: every other node of it lies right of m or straight above.
        std::uint32_t hOuter = m_adj[m_adjOff[m]];
        for (std::uint32_t i = m_adjOff[m] + 1; i < m_adjOff[m + 1]; ++i)
            if (Orient(pm, m_nodes[Dest(hOuter)], m_nodes[Dest(m_adj[i])]) > 0) hOuter = m_adj[i];
        // Winding of that face: the other components' edges around m (their own windings are
        // closed cycles, so this component adds nothing outside itself).
        int wA = 0, wB = 0;
        if (comps.size() > 1) {
            for (const Edge& e : m_edges) {
                const Pt& a = m_nodes[e.u];
                const Pt& b = m_nodes[e.v];
                if (a.y <= pm.y) {
                    if (b.y > pm.y && find(e.u) != r && Orient(a, b, pm) > 0) {
                        wA += e.dA;
                        wB += e.dB;
                    }
                } else if (b.y <= pm.y && find(e.u) != r && Orient(a, b, pm) < 0) {
                    wA -= e.dA;
                    wB -= e.dB;
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
    std::vector<char> in(nFaces, 0);
    for (std::size_t f = 0; f < nFaces; ++f) {
        const bool a = m_faceA[f] > 0, b = m_faceB[f] > 0;
        in[f] = op == 0 ? (a || b) : op == 1 ? (a && b) : (a && !b);
    }
    const std::uint32_t nHalf = static_cast<std::uint32_t>(m_edges.size() * 2);
    auto boundary = [&](std::uint32_t h) { return in[m_face[h]] && !in[m_face[h ^ 1]]; };
    std::vector<char> used(nHalf, 0);
    std::vector<std::int32_t> seenAt(m_nodes.size(), -1);
    std::vector<std::uint32_t> walk, stack;
    auto emit = [&](const std::uint32_t* p, std::size_t n) {
        if (n < 3) return;
        Ring r;
        r.nodes.assign(p, p + n);
        rings.push_back(std::move(r));
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
            walk.push_back(Origin(h));
            // The next boundary edge clockwise from the way back keeps the result on the left.
            const std::uint32_t d = Dest(h);
            const std::uint32_t b = m_adjOff[d], deg = m_adjOff[d + 1] - b;
            const std::uint32_t p = m_pos[h ^ 1];
            std::uint32_t nxt = kNone;
            for (std::uint32_t k = 1; k < deg; ++k) {
                const std::uint32_t c = m_adj[b + (p + deg - k) % deg];
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
        for (const std::uint32_t n : walk) {
            if (seenAt[n] >= 0) {
                const std::size_t at = static_cast<std::size_t>(seenAt[n]);
                emit(stack.data() + at, stack.size() - at);
                for (std::size_t k = at + 1; k < stack.size(); ++k) seenAt[stack[k]] = -1;
                stack.resize(at + 1);
            } else {
                seenAt[n] = static_cast<std::int32_t>(stack.size());
                stack.push_back(n);
            }
        }
        emit(stack.data(), stack.size());
        for (const std::uint32_t n : stack) seenAt[n] = -1;
    }
    return true;
}

bool Engine::Assemble(std::vector<Ring>& rings, std::vector<OutPolygon>& out, std::string& strWhy) {
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
            // The smallest outer ring around the midpoint of the hole's first edge (a point of
            // no other ring: noded edges meet only at nodes).
            const Pt& p0 = m_nodes[h.nodes[0]];
            const Pt& p1 = m_nodes[h.nodes[1]];
            const Pt mid{0.5 * (p0.x + p1.x), 0.5 * (p0.y + p1.y)};
            for (std::size_t k = 0; k < outers.size(); ++k) {
                const Ring& o = rings[outers[k]];
                const Box& ob = o.box;
                if (!(ob.x0 <= h.box.x0 && ob.y0 <= h.box.y0 && ob.x1 >= h.box.x1 && ob.y1 >= h.box.y1)) continue;
                if (best != kNone && rings[outers[best]].dArea <= o.dArea) continue;
                buf.resize(o.nodes.size());
                for (std::size_t j = 0; j < o.nodes.size(); ++j) buf[j] = m_nodes[o.nodes[j]];
                if (LocateInRing(buf.data(), static_cast<int>(buf.size()), mid) > 0) best = k;
            }
        }
        if (best == kNone) {
            strWhy = "a hole of the result lies in no outer ring";
            return false;
        }
        owned[best].push_back(hi);
    }
    auto toPts = [&](const Ring& r) {
        std::vector<Pt> v(r.nodes.size());
        for (std::size_t j = 0; j < r.nodes.size(); ++j) v[j] = m_nodes[r.nodes[j]];
        return v;
    };
    for (std::size_t k = 0; k < outers.size(); ++k) {
        OutPolygon poly;
        poly.rings.reserve(1 + owned[k].size());
        poly.rings.push_back(toPts(rings[outers[k]]));
        for (const std::size_t hi : owned[k]) poly.rings.push_back(toPts(rings[hi]));
        out.push_back(std::move(poly));
    }
    return true;
}

RunStatus Engine::Run(int op, std::vector<OutPolygon>& out, std::string& strWhy) {
    Cluster();
    BuildSegments();
    bool bChanged = true;
    int nRound = 0;
    while (bChanged) {
        if (++nRound > kMaxNodingRounds) {
            strWhy = "the noding of the edges did not settle";
            return RunStatus::kFailed;
        }
        NodingRound(bChanged);
    }
    BuildEdges();
    if (!BuildGraph(strWhy) || !LabelFaces(strWhy)) return RunStatus::kFailed;
    std::vector<Ring> rings;
    if (!ExtractRings(op, rings, strWhy)) return RunStatus::kFailed;
    std::vector<OutPolygon> polys;
    if (!Assemble(rings, polys, strWhy)) return RunStatus::kFailed;
    if (polys.empty()) return RunStatus::kEmpty;
    for (OutPolygon& p : polys) out.push_back(std::move(p));
    return RunStatus::kResult;
}

}  // namespace

RunStatus RunOverlay(int op, const Input& in, double dTol, std::vector<OutPolygon>& out, std::string& strWhy) {
    Engine engine(in, dTol);
    return engine.Run(op, out, strWhy);
}

}  // namespace overlay
}  // namespace detail
