#include "layout/pattern_lattice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "layout/pattern_layout.h"

namespace v2d {
namespace {

// A quarter of a right angle clockwise on the picture (y down).
Vec Turned45(Vec v) { return {(v.x - v.y) * std::numbers::sqrt2 / 2, (v.x + v.y) * std::numbers::sqrt2 / 2}; }

Lattice Turned45(Lattice lattice) {
    lattice.e1 = Turned45(lattice.e1);
    lattice.e2 = Turned45(lattice.e2);
    for (MotifTile& tile : lattice.motif) {
        tile.centre = Turned45(tile.centre);
        tile.turn += 45;
    }
    return lattice;
}

// Rows shifted by a `part` of the pitch each.
Lattice OffsetRows(double w, double h, double joint, double part) {
    const double pw = w + joint, ph = h + joint;
    return {{pw, 0}, {pw / part, ph}, {{{w / 2, h / 2}, 0}}};
}

}  // namespace

Lattice StraightLattice(double w, double h, double joint) {
    return {{w + joint, 0}, {0, h + joint}, {{{w / 2, h / 2}, 0}}};
}

Lattice HalfOffsetLattice(double w, double h, double joint) { return OffsetRows(w, h, joint, 2); }
Lattice ThirdOffsetLattice(double w, double h, double joint) { return OffsetRows(w, h, joint, 3); }
Lattice DiagonalLattice(double w, double h, double joint) { return Turned45(StraightLattice(w, h, joint)); }

// Laid flat the planks climb a staircase along (1, 1): a plank along x and
// one along y below it, the next pair one plank width further; the whole
// turned by 45° sets the staircase upright.
Lattice HerringboneLattice(double w, double h, double joint) {
    const double along = std::max(w, h), across = std::min(w, h);
    const double pa = along + joint, pb = across + joint;
    const bool longAlongX = w >= h;
    const int lengthwise = longAlongX ? 0 : 90, crosswise = longAlongX ? 90 : 0;
    return Turned45({{pb, pb},
                     {pa, -pa},
                     {{{along / 2, across / 2}, lengthwise}, {{across / 2, pb + along / 2}, crosswise}}});
}

// Square cells of n planks side by side, alternately along x and along y,
// on a chequerboard.
Lattice BasketWeaveLattice(double w, double h, double joint) {
    const double along = std::max(w, h), across = std::min(w, h);
    const double pa = along + joint, pb = across + joint;
    const bool longAlongX = w >= h;
    const int lengthwise = longAlongX ? 0 : 90, crosswise = longAlongX ? 90 : 0;
    const int n = static_cast<int>(std::clamp<long>(std::lround(along / across), 1, kMaxLaidTiles));
    const double cell = std::max(pa, n * pb), margin = (cell - n * pb) / 2;
    Lattice lattice{{2 * cell, 0}, {cell, cell}, {}};
    for (int m = 0; m < n; ++m) {
        const double offset = margin + m * pb + across / 2;
        lattice.motif.push_back({{cell / 2 - joint / 2, offset}, lengthwise});
        lattice.motif.push_back({{cell + offset, cell / 2 - joint / 2}, crosswise});
    }
    return lattice;
}

}  // namespace v2d
