#pragma once

#include <array>
#include <cstdint>

namespace lumidex {

// The eight ways a picture can lie on the square grid of its signature.
enum class Orientation : uint8_t {
    Upright,
    TurnedRight, // a quarter clockwise
    TurnedOver,  // half a turn
    TurnedLeft,  // a quarter counter-clockwise
    MirroredLeftRight,
    MirroredUpDown,
    MirroredDiagonal,     // over the diagonal from top left to bottom right
    MirroredAntiDiagonal, // over the diagonal from top right to bottom left
};
inline constexpr int kOrientations = 8;

inline bool IsMirrored(Orientation o) {
    return o >= Orientation::MirroredLeftRight;
}
// The mark shown after a path for a picture found through an orientation; empty when upright.
const char* OrientationMark(Orientation o);

// The signature a picture would have in another orientation, derived from its stored key and
// code alone. The cells are the same cells in another order, so the code is exact; a key bit
// is known where the stored key or the levels of the code decide the comparison, and unknown
// where neither does.
struct OrientedSignature {
    uint32_t key = 0;   // unknown bits are 0
    uint32_t known = 0; // mask of the key bits that are known
    uint32_t code = 0;
    int knownBits = 0;
    Orientation orientation = Orientation::Upright;
};

using OtherOrientations = std::array<OrientedSignature, kOrientations - 1>;

// The signatures of the seven other orientations of a picture whose signature is key, code.
OtherOrientations DeriveOrientations(uint32_t key, uint32_t code);
OrientedSignature DeriveOrientation(uint32_t key, uint32_t code, Orientation o);
// The same, one comparison at a time: what the tables of DeriveOrientation are checked by.
OrientedSignature DeriveOrientationStepwise(uint32_t key, uint32_t code, Orientation o);

// The cell (column * 4 + row) that a cell lands on when the picture takes orientation o.
int MovedCell(Orientation o, int cell);
// The code alone of the picture in orientation o, the same as DeriveOrientation's, by table.
uint32_t OrientedCode(uint32_t code, Orientation o);
// The code in every orientation, by Orientation, at once.
std::array<uint32_t, kOrientations> OrientedCodes(uint32_t code);
// The orientation of a picture put first in orientation first, then in orientation second.
Orientation Followed(Orientation first, Orientation second);
// The orientation that puts a picture in orientation o back upright.
Orientation Undone(Orientation o);

} // namespace lumidex
