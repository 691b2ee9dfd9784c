#pragma once
// A laying pattern's geometry: one motif of tiles repeated at every point
// i·e1 + k·e2 of a lattice, in millimetres with y down. Each pattern's row
// in the pattern table (pattern_table.h) names the function that makes it.
#include <vector>

namespace v2d {

struct Vec {
    double x = 0, y = 0;
};
inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
inline Vec operator*(double k, Vec a) { return {k * a.x, k * a.y}; }

struct MotifTile {
    Vec centre;  // from the lattice point
    int turn = 0;
};

struct Lattice {
    Vec e1, e2;
    std::vector<MotifTile> motif;
};

// A tile of w × h with joints of `joint`, all in millimetres. Tile centres
// sit a joint's half before their pitch box's centre, so the first tile's
// corner lies on the lattice point and the joint follows it.
using LatticeFunction = Lattice (*)(double w, double h, double joint);

Lattice StraightLattice(double w, double h, double joint);
Lattice HalfOffsetLattice(double w, double h, double joint);
Lattice ThirdOffsetLattice(double w, double h, double joint);
Lattice DiagonalLattice(double w, double h, double joint);
Lattice HerringboneLattice(double w, double h, double joint);
Lattice BasketWeaveLattice(double w, double h, double joint);

}  // namespace v2d
