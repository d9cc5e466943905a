// Written by hand rather than through libjpeg: libjpeg has no way to decode the DC coefficients
// alone, and its Huffman decoder (8-bit lookahead, one byte at a time, a 0xFF check on each)
// spends most of a 1/8 decode on coefficients it then drops. Every result is held to
// libjpeg-turbo's own 1/8 output by the tests and a fuzz target.
#include "JpegDcDecoder.h"
#include "JpegScanBytes.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <tuple>
#include <vector>

namespace lumidex {

namespace {

std::atomic<bool> gOn{true};
std::atomic<uint64_t> gDecoded{0};

// Zigzag to natural order; the extra entries take a run past the end, as libjpeg's do.
constexpr uint8_t kNaturalOrder[64 + 16] = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33,
    40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36,
    29, 22, 15, 23, 30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54,
    47, 55, 62, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63, 63};

// ---- Huffman tables ----

constexpr int kLookupBits = 10;

constexpr int kSkipBits = 12;

// What skipping the AC codes at the head of kSkipBits bits does: the codes with their values
// that fit whole (and at least the first code, however long its value), the bits they take and
// how far they move along the block (64 ends it), and the same for the first alone, for when
// the block ends before the last. 0: the first code is longer than kSkipBits, or none.
struct SkipEntry {
    uint32_t packed;
    int bits() const { return packed & 31; }
    int advance() const { return (packed >> 5) & 127; }
    int beforeLast() const { return (packed >> 12) & 63; }
    int firstBits() const { return (packed >> 18) & 31; }
    int firstAdvance() const { return (packed >> 23) & 127; }
};

// A code and its value together, where both fit kLookupBits: bits 0 for any other.
struct ValueEntry {
    int16_t value;
    uint8_t bits;
    uint8_t symbol;
};

// One table as libjpeg derives it (jdhuff.c), with lookups on the next kLookupBits bits of a
// code's length and symbol (0: a longer code, or none) and of a code with its value, and the
// skipping lookup.
struct HuffTable {
    std::array<uint16_t, 1 << kLookupBits> code{};
    std::array<ValueEntry, 1 << kLookupBits> value{};
    std::array<SkipEntry, 1 << kSkipBits> skip{};
    int32_t maxcode[18] = {};
    int32_t valoffset[18] = {};
    uint8_t huffval[256] = {};
};

// The code at the head of bits (the next `left` of them), from the short lookup: its length,
// or 0 when it is longer than kLookupBits or not all there.
int ShortCode(const HuffTable& t, uint32_t bits, int left, int& sym) {
    const uint32_t e = t.code[(bits << (32 - left) >> (32 - kLookupBits))];
    if (!e || static_cast<int>(e >> 8) > left) return 0;
    sym = static_cast<int>(e & 0xFF);
    return static_cast<int>(e >> 8);
}

void FillSkips(HuffTable& t) {
    static_assert(kSkipBits >= kLookupBits);
    for (uint32_t prefix = 0; prefix < (1u << kSkipBits); ++prefix) {
        int used = 0, advance = 0, before = 0, count = 0, firstBits = 0, firstAdvance = 0;
        while (advance < 64) {
            const int left = kSkipBits - used;
            int sym = 0;
            // Bits past the prefix are zeros here; a code needing them is left for later.
            const int l = left > 0 ? ShortCode(t, prefix, left, sym) : 0;
            if (!l) break;
            const int s = sym & 15, r = sym >> 4;
            const int bits = l + s, moves = s ? r + 1 : r == 15 ? 16 : 64;
            if (count > 0 && used + bits > kSkipBits) break;
            if (count == 0) firstBits = bits, firstAdvance = moves;
            before = advance;
            used += bits;
            advance += moves;
            ++count;
            if (used > kSkipBits) break;
        }
        if (count == 0) continue;
        t.skip[prefix].packed = static_cast<uint32_t>(used | advance << 5 | before << 12 |
                                                      firstBits << 18 | firstAdvance << 23);
    }
}

// False where libjpeg would refuse the table when decompression starts.
bool Derive(const JHUFF_TBL* table, bool dc, HuffTable& t) {
    if (!table) return false;
    uint8_t sizes[257];
    uint32_t codes[256];
    int count = 0;
    for (int l = 1; l <= 16; ++l)
        for (int i = 0; i < table->bits[l]; ++i) {
            if (count == 256) return false;
            sizes[count++] = static_cast<uint8_t>(l);
        }
    sizes[count] = 0;
    uint32_t code = 0;
    for (int p = 0, si = sizes[0]; sizes[p]; ++si, code <<= 1) {
        while (sizes[p] == si)
            codes[p++] = code++;
        if (code >= (1u << si)) return false;
    }
    for (int l = 1, p = 0; l <= 16; ++l) {
        if (!table->bits[l]) {
            t.maxcode[l] = -1;
            continue;
        }
        t.valoffset[l] = p - static_cast<int32_t>(codes[p]);
        p += table->bits[l];
        t.maxcode[l] = static_cast<int32_t>(codes[p - 1]);
    }
    t.maxcode[17] = 0xFFFFF;
    std::memcpy(t.huffval, table->huffval, sizeof t.huffval);
    for (int i = 0; i < count; ++i) {
        const int sym = t.huffval[i], l = sizes[i];
        if (dc && sym > 15) return false;
        if (l > kLookupBits) continue;
        const uint32_t first = codes[i] << (kLookupBits - l), n = 1u << (kLookupBits - l);
        const int s = sym & 15, free = kLookupBits - l;
        for (uint32_t j = first; j < first + n; ++j) {
            t.code[j] = static_cast<uint16_t>(l << 8 | sym);
            if (s > free) continue;
            const int extra = static_cast<int>(j >> (free - s)) & ((1 << s) - 1);
            const int value = s == 0 ? 0 : extra < (1 << (s - 1)) ? extra - (1 << s) + 1 : extra;
            t.value[j] = {static_cast<int16_t>(value), static_cast<uint8_t>(l + s),
                          static_cast<uint8_t>(sym)};
        }
    }
    if (!dc) FillSkips(t);
    return true;
}

// ---- Bits ----

// Reads big-endian from a buffer padded with zeros; refilled before each code and its value
// (at most 16 + 15 bits), it always holds enough.
struct BitReader {
    const uint8_t* p = nullptr;
    uint64_t buf = 0;
    int n = 0;

    void Start(const uint8_t* at) {
        p = at;
        buf = 0;
        n = 0;
    }
    void Refill() {
        uint64_t next;
        std::memcpy(&next, p, sizeof next);
        buf |= __builtin_bswap64(next) >> n;
        p += (63 - n) >> 3;
        n |= 56;
    }
    uint32_t Peek(int count) const { return static_cast<uint32_t>(buf >> (64 - count)); }
    void Drop(int count) {
        buf <<= count;
        n -= count;
    }
    // Bits taken since base.
    size_t Used(const uint8_t* base) const {
        return static_cast<size_t>(p - base) * 8 - static_cast<size_t>(n);
    }
};

// 0 for a code the table lacks: libjpeg warns and reads it as 0, so the file is left to it.
// The bits by value: the reader stays in registers.
uint32_t LongCode(const HuffTable& t, uint64_t bits) {
    for (int l = kLookupBits + 1; l <= 16; ++l) {
        const auto code = static_cast<int32_t>(bits >> (64 - l));
        if (code <= t.maxcode[l])
            return static_cast<uint32_t>(l) << 8 | t.huffval[(t.valoffset[l] + code) & 0xFF];
    }
    return 0;
}

inline bool Symbol(BitReader& br, const HuffTable& t, int& sym) {
    uint32_t e = t.code[br.Peek(kLookupBits)];
    if (!e && !(e = LongCode(t, br.buf))) return false;
    br.Drop(static_cast<int>(e >> 8));
    sym = static_cast<int>(e & 0xFF);
    return true;
}

inline int Receive(BitReader& br, int s) {
    const auto r = static_cast<int>(br.Peek(s));
    br.Drop(s);
    return r < (1 << (s - 1)) ? r - (1 << s) + 1 : r;
}

inline bool DcDifference(BitReader& br, const HuffTable& dc, int& diff) {
    br.Refill();
    const ValueEntry e = dc.value[br.Peek(kLookupBits)];
    if (e.bits) {
        br.Drop(e.bits);
        diff = e.value;
        return true;
    }
    int s;
    if (!Symbol(br, dc, s)) return false;
    diff = s ? Receive(br, s) : 0;
    return true;
}

// One step along a block, after a refill: false on a code no table holds. (Two steps fit one
// refill, but measured slower.)
inline bool SkipStep(BitReader& br, const HuffTable& ac, int& k) {
    const SkipEntry e = ac.skip[br.Peek(kSkipBits)];
    if (e.packed) {
        // All the codes it holds, unless the block ends before the last.
        const bool all = k + e.beforeLast() < 64;
        br.Drop(all ? e.bits() : e.firstBits());
        k += all ? e.advance() : e.firstAdvance();
        return true;
    }
    int sym;
    if (!Symbol(br, ac, sym)) return false;
    const int r = sym >> 4, s = sym & 15;
    if (s)
        br.Drop(s), k += r + 1;
    else
        k += r == 15 ? 16 : 64;
    return true;
}

inline bool SkipAc(BitReader& br, const HuffTable& ac) {
    for (int k = 1;;) {
        br.Refill();
        if (!SkipStep(br, ac, k)) return false;
        if (k >= 64) return true;
    }
}

// Also gives the largest magnitude read and, a bit for each, the positions it wrote.
inline bool ReadAc(BitReader& br, const HuffTable& ac, int16_t* block, int& largest,
                   uint64_t& written) {
    for (int k = 1; k < 64; ++k) {
        br.Refill();
        const ValueEntry e = ac.value[br.Peek(kLookupBits)];
        int sym, v;
        if (e.bits) {
            br.Drop(e.bits);
            sym = e.symbol;
            v = e.value;
        } else {
            if (!Symbol(br, ac, sym)) return false;
            v = sym & 15 ? Receive(br, sym & 15) : 0;
        }
        const int r = sym >> 4, s = sym & 15;
        if (s) {
            k += r;
            largest = std::max(largest, std::abs(v));
            block[kNaturalOrder[k]] = static_cast<int16_t>(v);
            written |= uint64_t{1} << kNaturalOrder[k];
        } else if (r == 15) {
            k += 15;
        } else {
            break;
        }
    }
    return true;
}

// ---- Samples, as libjpeg-turbo computes them ----

// libjpeg's range limit after the IDCT (jdmaster.c), indexed by value & 1023: out-of-range
// values wrap the way libjpeg's do.
struct IdctLimit {
    uint8_t at[1024];
    IdctLimit() {
        for (int i = 0; i < 1024; ++i)
            at[i] = static_cast<uint8_t>(i < 128 ? i + 128 : i < 512 ? 255 : i < 896 ? 0 : i - 896);
    }
};
const IdctLimit kIdctLimit;

inline uint8_t FromDc(int dc, int q0) {
    return kIdctLimit.at[((dc * q0 + 4) >> 3) & 1023];
}

inline bool FitsShort(int64_t v) {
    return v >= -32768 && v <= 32767;
}
inline bool FitsInt(int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// The 2x2 reduced IDCT (jidctred.c). libjpeg-turbo runs it in SSE2 with 16-bit products and
// saturating packs where the C code has int arithmetic and a wrapping range limit; the two
// agree while the values stay in range, which they do for any picture an encoder made. false
// when they might not, so that libjpeg decodes such a file itself.
bool Idct2x2(const int16_t* block, const int16_t* quant, uint8_t* out, size_t stride) {
    constexpr int kColumns[5] = {0, 1, 3, 5, 7};
    auto odd = [](int64_t z1, int64_t z3, int64_t z5, int64_t z7) {
        return 29692 * z1 - 10426 * z3 + 6967 * z5 - 5906 * z7;
    };
    int64_t ws[2][8] = {};
    for (int c : kColumns) {
        int64_t z[8];
        for (int r : kColumns) {
            z[r] = int64_t{block[r * 8 + c]} * quant[r * 8 + c];
            if (!FitsShort(z[r])) return false;
        }
        const int64_t tmp10 = z[0] << 15, tmp0 = odd(z[1], z[3], z[5], z[7]);
        if (!FitsInt(tmp10 + tmp0 + 4096) || !FitsInt(tmp10 - tmp0 + 4096)) return false;
        ws[0][c] = (tmp10 + tmp0 + 4096) >> 13;
        ws[1][c] = (tmp10 - tmp0 + 4096) >> 13;
        for (int r = 0; r < 2; ++r)
            if (c ? !FitsShort(ws[r][c]) : !FitsInt(ws[r][c] << 15)) return false;
    }
    for (int r = 0; r < 2; ++r) {
        const int64_t* w = ws[r];
        const int64_t tmp10 = w[0] << 15, tmp0 = odd(w[1], w[3], w[5], w[7]);
        const int64_t sums[2] = {tmp10 + tmp0 + (1 << 19), tmp10 - tmp0 + (1 << 19)};
        for (int x = 0; x < 2; ++x) {
            if (!FitsInt(sums[x])) return false;
            const int64_t v = sums[x] >> 20;
            if (v < -512 || v > 511) return false;
            out[r * stride + x] = kIdctLimit.at[v & 1023];
        }
    }
    return true;
}

constexpr int kSmallCoefficient = 2047;

// Idct2x2 where every coefficient it reads, dequantized, is within kSmallCoefficient: then no
// sum leaves 32 bits nor the first pass 16, and only the output's range needs a check.
// The coefficients in column c of the rows the 2x2 IDCT reads (1, 3, 5, 7; 0 apart).
constexpr uint64_t OddRows(int c) {
    return (uint64_t{1} << (8 + c)) | (uint64_t{1} << (24 + c)) | (uint64_t{1} << (40 + c)) |
           (uint64_t{1} << (56 + c));
}

bool Idct2x2Small(const int16_t* block, const int16_t* quant, uint64_t written, uint8_t* out,
                  size_t stride) {
    auto odd = [](int z1, int z3, int z5, int z7) {
        return 29692 * z1 - 10426 * z3 + 6967 * z5 - 5906 * z7;
    };
    auto dq = [&](int i) { return block[i] * quant[i]; };
    int ws[2][8];
    for (int c : {0, 1, 3, 5, 7}) {
        // A column without odd terms is its top term, scaled: the formula's own result.
        if (!(written & OddRows(c))) {
            ws[0][c] = ws[1][c] = dq(c) * 4;
            continue;
        }
        const int tmp10 = dq(c) * 32768, tmp0 = odd(dq(8 + c), dq(24 + c), dq(40 + c), dq(56 + c));
        ws[0][c] = (tmp10 + tmp0 + 4096) >> 13;
        ws[1][c] = (tmp10 - tmp0 + 4096) >> 13;
    }
    bool inRange = true;
    for (int r = 0; r < 2; ++r) {
        const int* w = ws[r];
        const int tmp10 = w[0] * 32768, tmp0 = odd(w[1], w[3], w[5], w[7]);
        const int v0 = (tmp10 + tmp0 + (1 << 19)) >> 20, v1 = (tmp10 - tmp0 + (1 << 19)) >> 20;
        inRange &= v0 >= -512 && v0 <= 511 && v1 >= -512 && v1 <= 511;
        out[r * stride] = kIdctLimit.at[v0 & 1023];
        out[r * stride + 1] = kIdctLimit.at[v1 & 1023];
    }
    return inRange;
}

// jdcolor.c's fixed-point YCbCr to RGB.
struct YccTables {
    int crR[256], cbB[256];
    int64_t crG[256], cbG[256];
    YccTables() {
        auto fix = [](double x) { return static_cast<int64_t>(x * 65536 + 0.5); };
        for (int i = 0; i < 256; ++i) {
            const int64_t x = i - 128;
            crR[i] = static_cast<int>((fix(1.40200) * x + 32768) >> 16);
            cbB[i] = static_cast<int>((fix(1.77200) * x + 32768) >> 16);
            crG[i] = -fix(0.71414) * x;
            cbG[i] = -fix(0.34414) * x + 32768;
        }
    }
};
const YccTables kYcc;

inline uint8_t Clamp(int64_t v) {
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// ---- The scan ----

struct Plane {
    std::vector<uint8_t> samples;
    size_t stride = 0;
    int h = 1, v = 1;           // blocks in an MCU
    int scale = 1;              // samples across a block: 1, or 2 for the 2x2 IDCT
    int hShift = 0, vShift = 0; // output pixels per sample: 1 << shift
    int16_t quant[64] = {};
    int smallCoefficient = 0; // the largest quantized coefficient Idct2x2Small takes
};

struct BlockJob {
    int comp;
    int dx, dy; // within the MCU
    const HuffTable* dc;
    const HuffTable* ac;
};

struct Plan {
    int components = 0;
    Plane planes[3];
    BlockJob jobs[10];
    int blocksPerMcu = 0;
    size_t mcusPerRow = 0, mcuRows = 0;
    unsigned restartInterval = 0;
    std::vector<HuffTable> tables; // dc 0-3, then ac 0-3
};

int ScaledSize(const jpeg_component_info& comp) {
#if JPEG_LIB_VERSION >= 70
    return comp.DCT_h_scaled_size == comp.DCT_v_scaled_size ? comp.DCT_h_scaled_size : 0;
#else
    return comp.DCT_scaled_size;
#endif
}

bool MakePlan(const jpeg_decompress_struct& cinfo, Plan& plan) {
    if (cinfo.progressive_mode || cinfo.arith_code || cinfo.data_precision != 8) return false;
    if (cinfo.Ss != 0 || cinfo.Se != 63 || cinfo.Ah != 0 || cinfo.Al != 0) return false;
    const int nc = cinfo.num_components;
    if (!(cinfo.jpeg_color_space == JCS_GRAYSCALE && nc == 1) &&
        !(cinfo.jpeg_color_space == JCS_YCbCr && nc == 3))
        return false;
    if (cinfo.comps_in_scan != nc || cinfo.out_color_space != JCS_RGB ||
        cinfo.out_color_components != 3 || cinfo.scale_num * 8 > cinfo.scale_denom)
        return false;
    const size_t width = cinfo.image_width, height = cinfo.image_height;
    if (width == 0 || height == 0 || cinfo.output_width != (width + 7) / 8 ||
        cinfo.output_height != (height + 7) / 8)
        return false;
    const jpeg_component_info* comp = cinfo.comp_info;
    const int maxH = nc == 1 ? 1 : comp[0].h_samp_factor,
              maxV = nc == 1 ? 1 : comp[0].v_samp_factor;
    if (maxH < 1 || maxH > 2 || maxV < 1 || maxV > 2) return false;
    for (int c = 1; c < nc; ++c)
        if (comp[c].h_samp_factor != 1 || comp[c].v_samp_factor != 1) return false;
    plan.components = nc;
    plan.mcusPerRow = (width + 8 * maxH - 1) / (8 * maxH);
    plan.mcuRows = (height + 8 * maxV - 1) / (8 * maxV);
    plan.restartInterval = cinfo.restart_interval;
    plan.tables.resize(8);
    bool derived[8] = {};
    for (int i = 0; i < nc; ++i) {
        const jpeg_component_info* sc = cinfo.cur_comp_info[i];
        if (!sc || sc->component_index < 0 || sc->component_index >= nc) return false;
        const int c = sc->component_index;
        Plane& pl = plan.planes[c];
        pl.h = nc == 1 ? 1 : sc->h_samp_factor;
        pl.v = nc == 1 ? 1 : sc->v_samp_factor;
        pl.scale = ScaledSize(*sc);
        if (pl.scale != 1 && pl.scale != 2) return false;
        if (maxH % (pl.h * pl.scale) || maxV % (pl.v * pl.scale)) return false;
        pl.hShift = maxH / (pl.h * pl.scale) - 1; // 1 or 2 per sample
        pl.vShift = maxV / (pl.v * pl.scale) - 1;
        const JQUANT_TBL* q = sc->quant_tbl_no >= 0 && sc->quant_tbl_no < NUM_QUANT_TBLS
                                  ? cinfo.quant_tbl_ptrs[sc->quant_tbl_no]
                                  : nullptr;
        if (!q) return false;
        // libjpeg-turbo multiplies in 16 bits.
        int largestQuant = 1;
        for (int k = 0; k < 64; ++k) {
            if (q->quantval[k] > 32767) return false;
            pl.quant[k] = static_cast<int16_t>(q->quantval[k]);
            largestQuant = std::max<int>(largestQuant, q->quantval[k]);
        }
        pl.smallCoefficient = kSmallCoefficient / largestQuant;
        const int dcNo = sc->dc_tbl_no, acNo = sc->ac_tbl_no;
        if (dcNo < 0 || dcNo >= NUM_HUFF_TBLS || acNo < 0 || acNo >= NUM_HUFF_TBLS) return false;
        for (auto [slot, table, dc] : {std::tuple{dcNo, cinfo.dc_huff_tbl_ptrs[dcNo], true},
                                       std::tuple{4 + acNo, cinfo.ac_huff_tbl_ptrs[acNo], false}}) {
            if (!derived[slot] && !Derive(table, dc, plan.tables[slot])) return false;
            derived[slot] = true;
        }
        for (int dy = 0; dy < pl.v; ++dy)
            for (int dx = 0; dx < pl.h; ++dx) {
                if (plan.blocksPerMcu == 10) return false;
                plan.jobs[plan.blocksPerMcu++] = {c, dx, dy, &plan.tables[dcNo],
                                                  &plan.tables[4 + acNo]};
            }
        pl.stride = plan.mcusPerRow * pl.h * pl.scale;
        pl.samples.resize(pl.stride * plan.mcuRows * pl.v * pl.scale);
    }
    return true;
}

bool DecodeScan(Plan& plan, const JpegScanBytes& scan) {
    const uint8_t* base = scan.data.data();
    BitReader br;
    br.Start(base);
    size_t segment = 0, segmentEnd = scan.restarts.empty() ? scan.size : scan.restarts[0].at;
    int predictor[3] = {};
    int16_t block[64];
    unsigned restartsLeft = plan.restartInterval;
    for (size_t my = 0; my < plan.mcuRows; ++my)
        for (size_t mx = 0; mx < plan.mcusPerRow; ++mx) {
            if (plan.restartInterval) {
                if (restartsLeft == 0) {
                    // Anything but the next marker in its place is left to libjpeg's resync.
                    if (segment >= scan.restarts.size() ||
                        scan.restarts[segment].number != static_cast<int>(segment % 8))
                        return false;
                    br.Start(base + scan.restarts[segment].at);
                    ++segment;
                    segmentEnd =
                        segment < scan.restarts.size() ? scan.restarts[segment].at : scan.size;
                    predictor[0] = predictor[1] = predictor[2] = 0;
                    restartsLeft = plan.restartInterval;
                }
                --restartsLeft;
            }
            for (int b = 0; b < plan.blocksPerMcu; ++b) {
                const BlockJob& job = plan.jobs[b];
                Plane& pl = plan.planes[job.comp];
                int diff;
                if (!DcDifference(br, *job.dc, diff)) return false;
                const int dc = predictor[job.comp] + diff;
                // Real DC values are far inside 16 bits; libjpeg keeps only those.
                if (!FitsShort(dc)) return false;
                predictor[job.comp] = dc;
                const size_t bx = mx * pl.h + job.dx, by = my * pl.v + job.dy;
                if (pl.scale == 1) {
                    if (!SkipAc(br, *job.ac)) return false;
                    pl.samples[by * pl.stride + bx] = FromDc(dc, pl.quant[0]);
                    continue;
                }
                std::memset(block, 0, sizeof block);
                block[0] = static_cast<int16_t>(dc);
                int largest = std::abs(dc);
                uint64_t written = 0;
                if (!ReadAc(br, *job.ac, block, largest, written)) return false;
                uint8_t* out = &pl.samples[2 * by * pl.stride + 2 * bx];
                if (!(largest <= pl.smallCoefficient
                          ? Idct2x2Small(block, pl.quant, written, out, pl.stride)
                          : Idct2x2(block, pl.quant, out, pl.stride)))
                    return false;
            }
            // Past the segment, libjpeg would have made up zero bits (and warned).
            if (br.Used(base) > segmentEnd * 8) return false;
        }
    return true;
}

void WriteRgb(const Plan& plan, size_t width, size_t height, uint8_t* pixels, size_t stride) {
    const Plane* p = plan.planes;
    for (size_t y = 0; y < height; ++y) {
        uint8_t* out = pixels + stride * y;
        const uint8_t* luma = p[0].samples.data() + (y >> p[0].vShift) * p[0].stride;
        if (plan.components == 1) {
            for (size_t x = 0; x < width; ++x, out += 3)
                out[0] = out[1] = out[2] = luma[x];
            continue;
        }
        const uint8_t* cb = p[1].samples.data() + (y >> p[1].vShift) * p[1].stride;
        const uint8_t* cr = p[2].samples.data() + (y >> p[2].vShift) * p[2].stride;
        // Locals: the output bytes may alias anything, the planes' fields included.
        const int ys = p[0].hShift, cbs = p[1].hShift, crs = p[2].hShift;
        for (size_t x = 0; x < width; ++x, out += 3) {
            const int Y = luma[x >> ys], Cb = cb[x >> cbs], Cr = cr[x >> crs];
            out[0] = Clamp(Y + kYcc.crR[Cr]);
            out[1] = Clamp(Y + ((kYcc.cbG[Cb] + kYcc.crG[Cr]) >> 16));
            out[2] = Clamp(Y + kYcc.cbB[Cb]);
        }
    }
}

} // namespace

JpegDcResult DecodeJpegEighthFromDc(const jpeg_decompress_struct& cinfo, std::FILE* file,
                                    uint8_t* pixels, size_t stride) {
    auto plan = std::make_unique<Plan>();
    if (!MakePlan(cinfo, *plan)) return JpegDcResult::LeftToLibjpeg;
    const long start = std::ftell(file);
    if (start < 0) return JpegDcResult::LeftToLibjpeg;
    // A block's codes take at most about 250 bytes; more before the scan ends is no JPEG.
    const size_t blocks = plan->mcusPerRow * plan->mcuRows * plan->blocksPerMcu;
    JpegScanBytes scan;
    if (!ReadJpegScanBytes(cinfo.src->next_input_byte, cinfo.src->bytes_in_buffer, file,
                           plan->restartInterval != 0, blocks * 512 + (size_t{1} << 20), scan) ||
        !DecodeScan(*plan, scan)) {
        return std::fseek(file, start, SEEK_SET) == 0 ? JpegDcResult::LeftToLibjpeg
                                                      : JpegDcResult::FileLost;
    }
    WriteRgb(*plan, cinfo.output_width, cinfo.output_height, pixels, stride);
    ++gDecoded;
    return JpegDcResult::Decoded;
}

void SetJpegDcDecoding(bool on) {
    gOn = on;
}
bool JpegDcDecodingOn() {
    return gOn;
}
uint64_t JpegDcDecodedCount() {
    return gDecoded;
}

} // namespace lumidex
