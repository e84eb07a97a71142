#include "wx_layout.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace ui {
namespace {

// One thing that holds a vertical place: a control about its row's centre,
// an edge of a group box, an edge of the window.
struct Node {
    double p;        // the template row's centre, where the control is centred
    double above;    // how far it reaches above `p` once laid out
    double below;    // and below
    double top;      // its extent in the template
    double bottom;
    int left, right;  // columns it covers, for who stands over whom
};

bool SideBySide(const Node& a, const Node& b) { return a.right <= b.left || b.right <= a.left; }

// Natural, or the template's when the toolkit tells none.
int FinalHeight(const LayoutItem& it) {
    if (it.combo) return it.natural.cy > 0 ? it.natural.cy : it.at.cy;
    return std::max(it.at.cy, it.natural.cy);
}

// The field a text names: to its right, on a row its own overlaps, nearest.
int NamedField(const LayoutInput& in, size_t text) {
    const Rect& t = in.items[text].at;
    int best = -1, bestGap = 0;
    for (size_t i = 0; i < in.items.size(); ++i) {
        const LayoutItem& f = in.items[i];
        if (f.kind != LayoutKind::Field || f.at.x < t.x + t.cx / 2) continue;
        int rowHeight = f.combo ? std::min(f.at.cy, FinalHeight(f)) : f.at.cy;
        if (f.at.y + rowHeight <= t.y || f.at.y >= t.y + t.cy) continue;
        int gap = f.at.x - (t.x + t.cx);
        if (best < 0 || gap < bestGap) best = static_cast<int>(i), bestGap = gap;
    }
    return best;
}

double RowCentre(const LayoutItem& it) {
    if (it.combo) return it.at.y + FinalHeight(it) / 2.0;
    return it.at.y + it.at.cy / 2.0;
}

struct Nodes {
    std::vector<Node> all;
    std::vector<size_t> of;  // each item's node; a box's top edge, its bottom the next
};

Nodes MakeNodes(const LayoutInput& in) {
    Nodes n;
    int width = in.window.cx;
    for (const LayoutItem& it : in.items) width = std::max(width, it.at.x + it.at.cx);
    n.all.push_back({0, 0, 0, 0, 0, 0, width});
    n.all.push_back({double(in.window.cy), 0, 0, double(in.window.cy), double(in.window.cy), 0, width});
    for (size_t i = 0; i < in.items.size(); ++i) {
        const LayoutItem& it = in.items[i];
        const Rect& r = it.at;
        n.of.push_back(n.all.size());
        int right = r.x + std::max(r.cx, it.widen ? it.natural.cx : 0);
        if (it.kind == LayoutKind::Box) {
            n.all.push_back({double(r.y), 0, 0, double(r.y), double(r.y), r.x, r.x + r.cx});
            double bottom = r.y + r.cy;
            n.all.push_back({bottom, 0, 0, bottom, bottom, r.x, r.x + r.cx});
            continue;
        }
        double h = FinalHeight(it);
        double p = RowCentre(it);
        if (it.kind == LayoutKind::Text)
            if (int f = NamedField(in, i); f >= 0) p = RowCentre(in.items[static_cast<size_t>(f)]);
        // A label moved onto its field's row takes its extent along.
        double extent = it.combo ? h : r.cy;
        n.all.push_back({p, h / 2, h / 2, p - extent / 2, p + extent / 2, r.x, right});
    }
    return n;
}

// Where each row's centre goes: every gap of the template kept, and each
// control below another at least as far down as both their halves and the
// template's gap between them need.
std::map<double, double> RowPlaces(const std::vector<Node>& nodes) {
    std::vector<size_t> order(nodes.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return nodes[a].p < nodes[b].p; });
    std::map<double, double> place;
    double lastP = 0, lastF = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const Node& b = nodes[order[k]];
        double f = lastF + (b.p - lastP);
        if (auto it = place.find(b.p); it != place.end()) f = std::max(f, it->second);
        for (size_t j = 0; j < k; ++j) {
            const Node& a = nodes[order[j]];
            // Controls the template overlaps were meant to.
            if (a.p >= b.p || SideBySide(a, b) || a.bottom > b.top + 1) continue;
            f = std::max(f, place[a.p] + a.below + b.above + (b.top - a.bottom));
        }
        place[b.p] = f;
        lastP = b.p;
        lastF = f;
    }
    return place;
}

}  // namespace

LayoutResult LayOut(const LayoutInput& in) {
    Nodes nodes = MakeNodes(in);
    std::map<double, double> place = RowPlaces(nodes.all);
    LayoutResult out;
    int templateRight = 0, right = 0;
    for (size_t i = 0; i < in.items.size(); ++i) {
        const LayoutItem& it = in.items[i];
        const Node& n = nodes.all[nodes.of[i]];
        Rect r = it.at;
        if (it.widen) r.cx = std::max(r.cx, it.natural.cx);
        if (it.kind == LayoutKind::Box) {
            const Node& bottom = nodes.all[nodes.of[i] + 1];
            r.y = static_cast<int>(std::lround(place[n.p]));
            r.cy = static_cast<int>(std::lround(place[bottom.p])) - r.y;
        } else {
            r.cy = FinalHeight(it);
            r.y = static_cast<int>(std::lround(place[n.p] - n.above));
        }
        templateRight = std::max(templateRight, it.at.x + it.at.cx);
        right = std::max(right, r.x + r.cx);
        out.at.push_back(r);
    }
    int margin = std::max(0, in.window.cx - templateRight);
    out.window.cx = std::max(in.window.cx, right + margin);
    out.window.cy = static_cast<int>(std::lround(place[double(in.window.cy)]));
    return out;
}

}  // namespace ui
