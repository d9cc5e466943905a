#include "Orientation.h"

#include "BitCount.h"

#include <cstddef>

namespace lumidex {

namespace {

// Cells are numbered i * 4 + j, column i and row j, as the signature lays out its code.
constexpr int Cell(int i, int j) {
    return i * 4 + j;
}
constexpr int LevelShift(int cell) {
    return 2 * (15 - cell);
}

// Where cell (i, j) of a picture lands when the picture takes orientation o.
constexpr int Moved(Orientation o, int i, int j) {
    switch (o) {
    case Orientation::Upright:
        return Cell(i, j);
    case Orientation::TurnedRight:
        return Cell(3 - j, i);
    case Orientation::TurnedOver:
        return Cell(3 - i, 3 - j);
    case Orientation::TurnedLeft:
        return Cell(j, 3 - i);
    case Orientation::MirroredLeftRight:
        return Cell(3 - i, j);
    case Orientation::MirroredUpDown:
        return Cell(i, 3 - j);
    case Orientation::MirroredDiagonal:
        return Cell(j, i);
    case Orientation::MirroredAntiDiagonal:
        return Cell(3 - j, 3 - i);
    }
    return Cell(i, j);
}

// The 32 comparisons of the key, most significant bit first: bit set when cell `from` is
// brighter than cell `to`.
struct Comparison {
    int from, to;
};
struct Walks {
    std::array<Comparison, 32> steps{};
    Walks() {
        int prev = Cell(3, 3), n = 0;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i)
                steps[static_cast<std::size_t>(n++)] = {prev, Cell(i, j)}, prev = Cell(i, j);
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                steps[static_cast<std::size_t>(n++)] = {prev, Cell(i, j)}, prev = Cell(i, j);
    }
};

// For one orientation: which stored cells each derived comparison and each derived level
// come from, and which stored key bit compares the same pair (same or reversed direction).
struct Plan {
    std::array<int, 16> source{}; // derived cell <- stored cell
    struct Step {
        int from, to;                // stored cells
        int same = -1, reverse = -1; // stored bit positions, or -1
    };
    std::array<Step, 32> steps{};
};

std::array<Plan, kOrientations> MakePlans() {
    static const Walks walks;
    std::array<Plan, kOrientations> plans{};
    for (int o = 0; o < kOrientations; ++o) {
        Plan& p = plans[static_cast<std::size_t>(o)];
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                p.source[static_cast<std::size_t>(Moved(static_cast<Orientation>(o), i, j))] =
                    Cell(i, j);
        for (int b = 0; b < 32; ++b) {
            const Comparison& c = walks.steps[static_cast<std::size_t>(b)];
            Plan::Step& s = p.steps[static_cast<std::size_t>(b)];
            s.from = p.source[static_cast<std::size_t>(c.from)];
            s.to = p.source[static_cast<std::size_t>(c.to)];
            for (int q = 0; q < 32; ++q) {
                const Comparison& d = walks.steps[static_cast<std::size_t>(q)];
                if (s.same < 0 && d.from == s.from && d.to == s.to) s.same = 31 - q;
                if (s.reverse < 0 && d.from == s.to && d.to == s.from) s.reverse = 31 - q;
            }
        }
    }
    return plans;
}

const std::array<Plan, kOrientations>& Plans() {
    static const std::array<Plan, kOrientations> plans = MakePlans();
    return plans;
}

} // namespace

const char* OrientationMark(Orientation o) {
    if (o == Orientation::Upright) return "";
    return IsMirrored(o) ? " (mirrored)" : " (turned)";
}

OrientedSignature DeriveOrientationStepwise(uint32_t key, uint32_t code, Orientation o) {
    const Plan& p = Plans()[static_cast<std::size_t>(o)];
    auto level = [code](int cell) { return (code >> LevelShift(cell)) & 3u; };
    OrientedSignature out;
    out.orientation = o;
    for (int c = 0; c < 16; ++c)
        out.code |= level(p.source[static_cast<std::size_t>(c)]) << LevelShift(c);
    for (int b = 0; b < 32; ++b) {
        const Plan::Step& s = p.steps[static_cast<std::size_t>(b)];
        const uint32_t from = level(s.from), to = level(s.to);
        int bit = -1;
        // Levels rise with brightness, so different levels decide the comparison.
        if (from != to)
            bit = from > to ? 1 : 0;
        else if (s.same >= 0)
            bit = static_cast<int>((key >> s.same) & 1u);
        // Reversed: "to is brighter" rules out "from is brighter"; no fall leaves a tie open.
        else if (s.reverse >= 0 && ((key >> s.reverse) & 1u))
            bit = 0;
        if (bit < 0) continue;
        const uint32_t mask = 1u << (31 - b);
        out.known |= mask;
        if (bit) out.key |= mask;
        ++out.knownBits;
    }
    return out;
}

int MovedCell(Orientation o, int cell) {
    return Moved(o, cell / 4, cell % 4);
}

namespace {
// A word through four tables, one per byte (most significant first), the results joined.
template <class Table> auto ByBytes(const Table& t, uint32_t word) {
    return t[0][word >> 24] | t[1][(word >> 16) & 255u] | t[2][(word >> 8) & 255u] |
           t[3][word & 255u];
}

// Per orientation and byte of the code (most significant first): the moved levels of the
// byte's four cells, so that a code moves in four look-ups.
struct CodeTables {
    std::array<std::array<std::array<uint32_t, 256>, 4>, kOrientations> moved{};
    std::array<std::array<Orientation, kOrientations>, kOrientations> followed{};
    CodeTables() {
        for (int o = 0; o < kOrientations; ++o)
            for (int b = 0; b < 4; ++b)
                for (uint32_t v = 0; v < 256; ++v) {
                    uint32_t out = 0;
                    for (int k = 0; k < 4; ++k) {
                        const int cell = b * 4 + k;
                        const uint32_t level = (v >> (6 - 2 * k)) & 3u;
                        out |= level << LevelShift(MovedCell(static_cast<Orientation>(o), cell));
                    }
                    moved[static_cast<size_t>(o)][static_cast<size_t>(b)][v] = out;
                }
        for (int a = 0; a < kOrientations; ++a)
            for (int b = 0; b < kOrientations; ++b)
                for (int c = 0; c < kOrientations; ++c) {
                    bool same = true;
                    for (int cell = 0; cell < 16 && same; ++cell)
                        same = MovedCell(static_cast<Orientation>(c), cell) ==
                               MovedCell(static_cast<Orientation>(b),
                                         MovedCell(static_cast<Orientation>(a), cell));
                    if (same)
                        followed[static_cast<size_t>(a)][static_cast<size_t>(b)] =
                            static_cast<Orientation>(c);
                }
    }
};
const CodeTables& Tables() {
    static const CodeTables tables;
    return tables;
}
} // namespace

uint32_t OrientedCode(uint32_t code, Orientation o) {
    return ByBytes(Tables().moved[static_cast<size_t>(o)], code);
}

std::array<uint32_t, kOrientations> OrientedCodes(uint32_t code) {
    const auto& moved = Tables().moved;
    std::array<uint32_t, kOrientations> out;
    for (size_t o = 0; o < kOrientations; ++o)
        out[o] = ByBytes(moved[o], code);
    return out;
}

Orientation Followed(Orientation first, Orientation second) {
    return Tables().followed[static_cast<size_t>(first)][static_cast<size_t>(second)];
}

Orientation Undone(Orientation o) {
    for (int u = 0; u < kOrientations; ++u)
        if (Followed(o, static_cast<Orientation>(u)) == Orientation::Upright)
            return static_cast<Orientation>(u);
    return Orientation::Upright;
}

namespace {
// The derivation by table: per orientation, which key bits come from a stored bit of the
// same comparison and which from one of the reversed comparison, and the stored bits moved
// there per key byte; per code byte, the levels that each comparison of the walks reads.
struct DeriveTables {
    std::array<uint32_t, kOrientations> sameMask{}, reverseMask{};
    std::array<std::array<std::array<uint32_t, 256>, 4>, kOrientations> same{}, reverse{};
    std::array<std::array<uint64_t, 256>, 4> fromLevels{}, toLevels{};
    DeriveTables() {
        static const Walks walks;
        for (int b = 0; b < 32; ++b) {
            const Comparison& c = walks.steps[static_cast<size_t>(b)];
            const int lane = 31 - b;
            for (int byte = 0; byte < 4; ++byte)
                for (uint32_t v = 0; v < 256; ++v) {
                    const uint32_t code = v << (24 - 8 * byte);
                    fromLevels[static_cast<size_t>(byte)][v] |=
                        uint64_t{(code >> LevelShift(c.from)) & 3u} << (2 * lane);
                    toLevels[static_cast<size_t>(byte)][v] |=
                        uint64_t{(code >> LevelShift(c.to)) & 3u} << (2 * lane);
                }
        }
        for (int o = 0; o < kOrientations; ++o) {
            const Plan& p = Plans()[static_cast<size_t>(o)];
            for (int b = 0; b < 32; ++b) {
                const Plan::Step& st = p.steps[static_cast<size_t>(b)];
                const uint32_t bit = 1u << (31 - b);
                const int source = st.same >= 0 ? st.same : st.reverse;
                if (source < 0) continue;
                (st.same >= 0 ? sameMask : reverseMask)[static_cast<size_t>(o)] |= bit;
                auto& table = (st.same >= 0 ? same : reverse)[static_cast<size_t>(o)];
                const int byte = 3 - source / 8;
                for (uint32_t v = 0; v < 256; ++v)
                    if ((v >> (source % 8)) & 1u) table[static_cast<size_t>(byte)][v] |= bit;
            }
        }
    }
};
const DeriveTables& Derive() {
    static const DeriveTables tables;
    return tables;
}
// Bit 2i of x to bit i.
uint32_t EvenBits(uint64_t x) {
    x &= 0x5555555555555555ull;
    x = (x | (x >> 1)) & 0x3333333333333333ull;
    x = (x | (x >> 2)) & 0x0F0F0F0F0F0F0F0Full;
    x = (x | (x >> 4)) & 0x00FF00FF00FF00FFull;
    x = (x | (x >> 8)) & 0x0000FFFF0000FFFFull;
    x = (x | (x >> 16)) & 0x00000000FFFFFFFFull;
    return static_cast<uint32_t>(x);
}
} // namespace

OrientedSignature DeriveOrientation(uint32_t key, uint32_t code, Orientation o) {
    const DeriveTables& t = Derive();
    const size_t i = static_cast<size_t>(o);
    OrientedSignature out;
    out.orientation = o;
    out.code = OrientedCode(code, o);
    // Two levels per comparison, from and to, side by side in 2-bit lanes.
    const uint64_t from = ByBytes(t.fromLevels, out.code), to = ByBytes(t.toLevels, out.code);
    const uint64_t x = from ^ to;
    const uint32_t differ = EvenBits(x | (x >> 1));
    const uint64_t fh = from >> 1, th = to >> 1;
    const uint32_t brighter = EvenBits((fh & ~th) | (~(fh ^ th) & from & ~to));
    const uint32_t same = t.sameMask[i] & ~differ;
    const uint32_t reversedBrighter = t.reverseMask[i] & ~differ & ByBytes(t.reverse[i], key);
    out.known = differ | same | reversedBrighter;
    out.key = (differ & brighter) | (same & ByBytes(t.same[i], key));
    out.knownBits = BitCount(out.known);
    return out;
}

OtherOrientations DeriveOrientations(uint32_t key, uint32_t code) {
    OtherOrientations out;
    for (int o = 1; o < kOrientations; ++o)
        out[static_cast<std::size_t>(o - 1)] =
            DeriveOrientation(key, code, static_cast<Orientation>(o));
    return out;
}

} // namespace lumidex
