#include "demo/floor_textures.h"

#include <sstream>

namespace v2d::demo {
namespace {

// Each kind's finish and the lightest colour its pattern shows.
struct FloorLook {
    const char* finish;
    const char* lightest;
};

FloorLook LookOf(FloorKind kind) {
    switch (kind) {
    case FloorKind::PolishedTiles:
        return {"ambient 0.09 diffuse 0.7 specular 0.5 roughness 0.01 reflection { 0.10 }", "<0.80, 0.77, 0.71>"};
    case FloorKind::WoodBoards:
        return {"ambient 0.09 diffuse 0.7 specular 0.25 roughness 0.02 reflection { 0.03 }", "<0.56, 0.36, 0.19>"};
    case FloorKind::DarkStone:  // its joints are lighter than the slabs
        return {"ambient 0.08 diffuse 0.75 specular 0.4 roughness 0.015 reflection { 0.05 }", "<0.20, 0.19, 0.18>"};
    case FloorKind::PlainCarpet: return {"ambient 0.09 diffuse 0.8", "<0.36, 0.33, 0.27>"};
    case FloorKind::LightTiles:
        return {"ambient 0.10 diffuse 0.72 specular 0.35 roughness 0.02 reflection { 0.06 }", "<0.71, 0.70, 0.68>"};
    case FloorKind::Chequer:
        return {"ambient 0.09 diffuse 0.7 specular 0.3 roughness 0.01 reflection { 0.04 }", "<0.82, 0.81, 0.78>"};
    case FloorKind::MixedBoards:
        return {"ambient 0.09 diffuse 0.7 specular 0.2 roughness 0.02 reflection { 0.02 }", "<0.66, 0.45, 0.26>"};
    case FloorKind::Terracotta: return {"ambient 0.09 diffuse 0.75 specular 0.08 roughness 0.05", "<0.66, 0.32, 0.18>"};
    }
    return {"", "<0, 0, 0>"};
}

// 600 mm square tiles: joints `grout` mm wide, each tile a shade between two colours.
std::string TileTexture(double grout, const char* joint, const char* shade0, const char* shade1, const char* finish) {
    std::ostringstream t;
    t << "#declare GroutF = function(x, z) { select(min(x - 600*floor(x/600), z - 600*floor(z/600)) - " << grout
      << ", 0, 1) }\n#declare FloorTex = texture {\n  pigment { function { GroutF(x, z) }\n    pigment_map { [0 rgb "
      << joint << "]\n                  [1 cells color_map { [0 rgb " << shade0 << "] [1 rgb " << shade1
      << "] } scale 600 translate <0, -300, 0>] } }\n  finish { " << finish << " } }\n";
    return t.str();
}

std::string Finished(const char* pattern, FloorKind kind) {
    return std::string(pattern) + "  finish { " + LookOf(kind).finish + " } }\n";
}

std::string PatternedTexture(FloorKind kind) {
    const char* finish = LookOf(kind).finish;
    switch (kind) {
    case FloorKind::PolishedTiles:
        // 600 mm tiles, 4 mm grout, each tile its own shade of cream.
        return TileTexture(4, "<0.42, 0.40, 0.37>", "<0.70, 0.67, 0.61>", "<0.80, 0.77, 0.71>", finish);
    case FloorKind::WoodBoards:
        // 180 mm boards along the room's depth, 1400 mm long, joints staggered.
        return Finished(R"(#declare BI = function(x) { floor(x/180) }
#declare BoardEnd = function(x, z) { (z + 467*BI(x)) - 1400*floor((z + 467*BI(x))/1400) }
#declare BoardSeam = function(x, z) { select(min(x - 180*BI(x), BoardEnd(x, z)) - 2.5, 0, 1) }
#declare BoardShade = function(x) { BI(x)*0.618034 - floor(BI(x)*0.618034) }
#declare FloorTex = texture {
  pigment { function { BoardSeam(x, z) * (0.03 + 0.97*BoardShade(x)) }
    pigment_map { [0 rgb <0.10, 0.06, 0.03>] [0.02 rgb <0.10, 0.06, 0.03>]
                  [0.03 wood turbulence 0.06 color_map { [0 rgb <0.36, 0.20, 0.09>] [0.5 rgb <0.44, 0.26, 0.12>] [1 rgb <0.36, 0.20, 0.09>] } scale <25, 25, 1>]
                  [1 wood turbulence 0.06 color_map { [0 rgb <0.48, 0.30, 0.15>] [0.5 rgb <0.56, 0.36, 0.19>] [1 rgb <0.48, 0.30, 0.15>] } scale <30, 30, 1> translate x*7] } }
)", kind);
    case FloorKind::DarkStone:
        // 900 x 450 mm slabs in a running bond, lighter 3 mm joints.
        return Finished(R"(#declare SR = function(z) { floor(z/450) }
#declare SlabEnd = function(x, z) { (x + 450*SR(z)) - 900*floor((x + 450*SR(z))/900) }
#declare StoneSeam = function(x, z) { select(min(z - 450*SR(z), SlabEnd(x, z)) - 3, 0, 1) }
#declare FloorTex = texture {
  pigment { function { StoneSeam(x, z) }
    pigment_map { [0 rgb <0.20, 0.19, 0.18>]
                  [1 granite color_map { [0 rgb <0.035, 0.035, 0.04>] [0.6 rgb <0.06, 0.06, 0.065>] [1 rgb <0.09, 0.085, 0.085>] } scale 150] } }
)", kind);
    case FloorKind::LightTiles:
        // 600 mm glazed tiles nearly as white as the walls, 2 mm joints a shade darker.
        return TileTexture(2, "<0.60, 0.59, 0.57>", "<0.68, 0.67, 0.65>", "<0.71, 0.70, 0.68>", finish);
    case FloorKind::PlainCarpet:
        return Finished(R"(#declare FloorTex = texture {
  pigment { granite color_map { [0 rgb <0.30, 0.27, 0.22>] [1 rgb <0.36, 0.33, 0.27>] } scale 10 }
  normal { granite 0.25 scale 5 }
)", kind);
    case FloorKind::Chequer:
        // 400 mm squares, black and white, their edges clear of the floor's plane.
        return Finished(R"(#declare FloorTex = texture {
  pigment { checker rgb <0.82, 0.81, 0.78> rgb <0.05, 0.05, 0.05> scale 400 translate <0, -200, 0> }
)", kind);
    case FloorKind::MixedBoards:
        // 150 mm boards along the room's depth, 1200 mm long and staggered,
        // 5 mm dark joints; each board its own tone, a faint grain along it.
        return Finished(R"(#declare MB = function(x) { floor(x/150) }
#declare MBRun = function(x, z) { z + 530*MB(x) }
#declare MBSeam = function(x, z) { select(min(x - 150*MB(x), MBRun(x, z) - 1200*floor(MBRun(x, z)/1200)) - 5, 0, 1) }
#declare MBHash = function(x, z) { MB(x)*0.618034 + floor(MBRun(x, z)/1200)*0.414214 }
#declare MBTone = function(x, z) { MBHash(x, z) - floor(MBHash(x, z)) }
#declare MBGrain = function { pattern { wood turbulence 0.06 scale <20, 20, 1> } }
#declare FloorTex = texture {
  pigment { function { MBSeam(x, z) * (0.05 + 0.95*(0.85*MBTone(x, z) + 0.15*MBGrain(x, y, z))) }
    color_map { [0 rgb <0.09, 0.05, 0.03>] [0.05 rgb <0.09, 0.05, 0.03>] [0.05 rgb <0.30, 0.17, 0.08>] [1 rgb <0.66, 0.45, 0.26>] } }
)", kind);
    case FloorKind::Terracotta:
        // 300 mm terracotta tiles, 12 mm mortar joints darker than the tiles.
        return Finished(R"(#declare TerracottaJoint = function(x, z) { select(min(x - 300*floor(x/300), z - 300*floor(z/300)) - 12, 0, 1) }
#declare FloorTex = texture {
  pigment { function { TerracottaJoint(x, z) } color_map { [0 rgb <0.28, 0.25, 0.22>] [1 rgb <0.66, 0.32, 0.18>] } }
)", kind);
    }
    return "";
}

}  // namespace

std::string FloorTexture(FloorKind kind, bool plain) {
    if (!plain) return PatternedTexture(kind);
    const FloorLook look = LookOf(kind);
    return std::string("#declare FloorTex = texture {\n  pigment { rgb ") + look.lightest + " }\n  finish { " + look.finish +
           " } }\n";
}

}  // namespace v2d::demo
