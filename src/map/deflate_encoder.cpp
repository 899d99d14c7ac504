#include "map/deflate_encoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace zorvane {

namespace {

constexpr size_t kWindow = 32768;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 258;
constexpr int kHashBits = 16;
// Search effort, tuned on map pictures: candidates visited per position, the match length
// that ends the lazy look one byte on, and the one past which fewer candidates are tried.
constexpr int kMaxChain = 24;
constexpr size_t kLazyLength = 16;
constexpr size_t kGoodLength = 8;
// A match of 3 bytes further than this usually costs more than its three literals.
constexpr size_t kFarShortMatch = 4096;
// Matches up to this length index every position they cover; longer ones only their first
// few. Long matches are runs of repeated rows and tiles: indexing all of them took three
// times as long on the largest map for 0.2 % fewer bytes.
constexpr size_t kMaxInsertLength = 16;
constexpr size_t kLongMatchInserts = 4;
// Symbols per block: small enough to follow changing statistics, large enough that the
// code tables in each block header are a fraction of a percent.
constexpr size_t kBlockSymbols = size_t(1) << 15;

constexpr int kLitLenSymbols = 288;
constexpr int kDistSymbols = 30;
constexpr int kEndOfBlock = 256;
constexpr int kMaxCodeBits = 15;
constexpr int kMaxCodeLengthBits = 7;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                    33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                    1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order code length code lengths are sent in.
constexpr uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// Length and distance to their symbols, by table.
struct SymbolTables {
    uint8_t lengthCode[kMaxMatch + 1];
    uint8_t nearDist[256];  // distance - 1 below 256
    uint8_t farDist[256];   // (distance - 1) >> 7 from there
    SymbolTables() {
        for (int c = 0; c < 29; ++c)
            for (int len = kLengthBase[c]; len < (c == 28 ? 259 : kLengthBase[c + 1]); ++len)
                lengthCode[len] = uint8_t(c);
        lengthCode[258] = 28;
        for (int c = 0; c < 30; ++c) {
            const int end = c == 29 ? 32769 : kDistBase[c + 1];
            for (int d = kDistBase[c]; d < end; ++d) {
                if (d - 1 < 256) nearDist[d - 1] = uint8_t(c);
                else farDist[(d - 1) >> 7] = uint8_t(c);
            }
        }
    }
    int distCode(unsigned dist) const {
        return dist - 1 < 256 ? nearDist[dist - 1] : farDist[(dist - 1) >> 7];
    }
};

const SymbolTables& tables() {
    static const SymbolTables t;
    return t;
}

inline uint32_t load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline uint64_t load64(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

inline uint32_t hash4(const uint8_t* p) { return (load32(p) * 0x9E3779B1u) >> (32 - kHashBits); }

// Bytes `a` and `b` have in common, up to `limit`; 8 at a time.
inline size_t matchLength(const uint8_t* a, const uint8_t* b, size_t limit) {
    size_t i = 0;
    while (i + 8 <= limit) {
        const uint64_t x = load64(a + i) ^ load64(b + i);
        if (x) return i + size_t(__builtin_ctzll(x) >> 3);
        i += 8;
    }
    while (i < limit && a[i] == b[i]) ++i;
    return i;
}

inline uint32_t reverseBits(uint32_t code, int bits) {
    uint32_t r = 0;
    for (int i = 0; i < bits; ++i, code >>= 1) r = (r << 1) | (code & 1);
    return r;
}

// Code lengths of a Huffman code for `freq`, none longer than `maxBits`. Two symbols at least
// get a code, so that every code is complete (decoders refuse some incomplete ones).
void huffmanLengths(const uint32_t* freq, int n, int maxBits, uint8_t* lengths) {
    struct Leaf {
        uint32_t freq;
        uint16_t symbol;
    };
    Leaf leaves[kLitLenSymbols];
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (freq[i]) leaves[m++] = {freq[i], uint16_t(i)};
    for (int i = 0; m < 2 && i < n; ++i)
        if (!freq[i]) leaves[m++] = {1, uint16_t(i)};
    std::memset(lengths, 0, size_t(n));
    std::sort(leaves, leaves + m, [](const Leaf& a, const Leaf& b) {
        return a.freq != b.freq ? a.freq < b.freq : a.symbol < b.symbol;
    });
    // Two queues: the sorted leaves and the inner nodes, made in order of weight.
    uint64_t weight[2 * kLitLenSymbols];
    int parent[2 * kLitLenSymbols];
    for (int i = 0; i < m; ++i) weight[i] = leaves[i].freq;
    int leaf = 0, inner = m;
    for (int k = m; k < 2 * m - 1; ++k) {
        int pick[2];
        for (int& p : pick) p = leaf < m && (inner >= k || weight[leaf] <= weight[inner]) ? leaf++ : inner++;
        weight[k] = weight[pick[0]] + weight[pick[1]];
        parent[pick[0]] = parent[pick[1]] = k;
    }
    int depth[2 * kLitLenSymbols];
    depth[2 * m - 2] = 0;
    int count[2 * kLitLenSymbols] = {};
    for (int k = 2 * m - 3; k >= 0; --k) depth[k] = depth[parent[k]] + 1;
    for (int i = 0; i < m; ++i) ++count[std::min(depth[i], 2 * kLitLenSymbols - 1)];
    // Too long codes: fold them to the limit, then lengthen shorter ones until the code is
    // complete again.
    for (int i = maxBits + 1; i < 2 * kLitLenSymbols; ++i) count[maxBits] += count[i];
    uint32_t total = 0;
    for (int i = maxBits; i > 0; --i) total += uint32_t(count[i]) << (maxBits - i);
    while (total != (1u << maxBits)) {
        --count[maxBits];
        for (int i = maxBits - 1; i > 0; --i)
            if (count[i]) {
                --count[i];
                count[i + 1] += 2;
                break;
            }
        --total;
    }
    // The rarest symbols take the longest codes.
    int next = 0;
    for (int bits = maxBits; bits > 0; --bits)
        for (int c = 0; c < count[bits]; ++c) lengths[leaves[next++].symbol] = uint8_t(bits);
}

// Canonical codes for the lengths, bit-reversed for a writer that fills bytes from the low bit.
void canonicalCodes(const uint8_t* lengths, int n, uint16_t* codes) {
    uint32_t count[kMaxCodeBits + 1] = {}, next[kMaxCodeBits + 2] = {};
    for (int i = 0; i < n; ++i) ++count[lengths[i]];
    count[0] = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) next[bits + 1] = (next[bits] + count[bits]) << 1;
    for (int i = 0; i < n; ++i)
        codes[i] = lengths[i] ? uint16_t(reverseBits(next[lengths[i]]++, lengths[i])) : 0;
}

class BitWriter {
  public:
    explicit BitWriter(uint8_t* out) : out_(out) {}
    // Up to 32 bits at a time.
    void put(uint32_t value, int bits) {
        bits_ |= uint64_t(value) << count_;
        count_ += bits;
        if (count_ >= 32) {
            for (int i = 0; i < 4; ++i) out_[i] = uint8_t(bits_ >> (8 * i));
            out_ += 4;
            bits_ >>= 32;
            count_ -= 32;
        }
    }
    void alignToByte() {
        while (count_ > 0) {
            *out_++ = uint8_t(bits_);
            bits_ >>= 8;
            count_ = count_ > 8 ? count_ - 8 : 0;
        }
    }
    void copy(const uint8_t* data, size_t n) {
        std::memcpy(out_, data, n);
        out_ += n;
    }
    uint8_t* end() const { return out_; }
    int pending() const { return count_; }

  private:
    uint8_t* out_;
    uint64_t bits_ = 0;
    int count_ = 0;
};

// A literal (dist 0, length the byte) or a match.
struct Symbol {
    uint16_t length;
    uint16_t dist;
};

struct Match {
    size_t length = 0;
    size_t dist = 0;
};

// The memory of an encode, kept by its thread: pictures come one after another.
struct Workspace {
    std::vector<int32_t> head = std::vector<int32_t>(size_t(1) << kHashBits);
    std::vector<int32_t> prev = std::vector<int32_t>(kWindow);
    std::vector<Symbol> symbols = std::vector<Symbol>(kBlockSymbols + kMaxMatch + 2);
};

class Encoder {
  public:
    Encoder(const uint8_t* data, size_t n, const DeflateHints& hints, Workspace& work, uint8_t* out)
        : data_(data), n_(n), work_(work), bits_(out), t_(tables()) {
        std::fill(work_.head.begin(), work_.head.end(), -1);
        for (size_t d : hints.distances)
            if (d > 0 && d <= kWindow && std::find(nearby_, nearby_ + nearbyCount_, d) == nearby_ + nearbyCount_)
                nearby_[nearbyCount_++] = d;
        clearCounts();
    }

    void run() {
        size_t p = 0;
        while (p < n_) {
            if (symbolCount_ >= kBlockSymbols) flushBlock(p, false);
            Match m = findMatch(p, kMinMatch - 1);
            if (m.length == 0) {
                literal(p++);
                continue;
            }
            // One byte on may start a longer match: then this byte goes as a literal.
            while (m.length < kLazyLength) {
                const Match next = findMatch(p + 1, m.length);
                if (next.length == 0) break;
                literal(p++);
                m = next;
            }
            match(m);
            const size_t end = std::min(n_ >= 4 ? n_ - 3 : 0,
                                        p + (m.length <= kMaxInsertLength ? m.length : std::min(m.length, 1 + kLongMatchInserts)));
            for (size_t q = std::max(nextInsert_, p + 1); q < end; ++q) insert(q);
            p += m.length;
            nextInsert_ = std::max(nextInsert_, p);
        }
        flushBlock(p, true);
        bits_.alignToByte();
    }

    uint8_t* end() const { return bits_.end(); }

  private:
    void insert(size_t q) {
        const uint32_t h = hash4(data_ + q);
        work_.prev[q & (kWindow - 1)] = work_.head[h];
        work_.head[h] = int32_t(q);
    }

    // The longest match at p longer than `atLeast` (length 0 if none). Indexes p.
    Match findMatch(size_t p, size_t atLeast) {
        Match best;
        if (p + 4 > n_) return best;
        const size_t limit = std::min(kMaxMatch, n_ - p);
        const uint8_t* at = data_ + p;
        size_t bestLength = atLeast;
        // The distances pictures repeat at first: the pixel to the left and the one above.
        for (int i = 0; i < nearbyCount_ && bestLength < limit; ++i) {
            const size_t d = nearby_[i];
            if (d > p) continue;
            const uint8_t* from = at - d;
            if (from[bestLength] != at[bestLength]) continue;
            const size_t len = matchLength(at, from, limit);
            if (len > bestLength && (len > kMinMatch || d <= kFarShortMatch)) {
                bestLength = len;
                best.dist = d;
            }
        }
        const uint32_t h = hash4(at);
        int32_t candidate = work_.head[h];
        if (p >= nextInsert_) {
            work_.prev[p & (kWindow - 1)] = candidate;
            work_.head[h] = int32_t(p);
            nextInsert_ = p + 1;
        }
        int chain = bestLength >= kGoodLength ? kMaxChain / 4 : kMaxChain;
        const uint32_t first = load32(at);
        while (candidate >= 0 && bestLength < limit && p - size_t(candidate) <= kWindow && chain-- > 0) {
            const uint8_t* from = data_ + candidate;
            if (size_t(candidate) < p && from[bestLength] == at[bestLength] && load32(from) == first) {
                const size_t len = matchLength(at, from, limit);
                if (len > bestLength) {
                    bestLength = len;
                    best.dist = p - size_t(candidate);
                }
            }
            candidate = work_.prev[size_t(candidate) & (kWindow - 1)];
        }
        if (best.dist) best.length = bestLength;
        return best;
    }

    void literal(size_t p) {
        work_.symbols[symbolCount_++] = {data_[p], 0};
        ++litFreq_[data_[p]];
    }

    void match(const Match& m) {
        work_.symbols[symbolCount_++] = {uint16_t(m.length), uint16_t(m.dist)};
        ++litFreq_[257 + t_.lengthCode[m.length]];
        ++distFreq_[t_.distCode(unsigned(m.dist))];
    }

    void clearCounts() {
        std::fill(std::begin(litFreq_), std::end(litFreq_), 0);
        std::fill(std::begin(distFreq_), std::end(distFreq_), 0);
        symbolCount_ = 0;
    }

    // Bits of the block's symbols under the given code lengths.
    uint64_t symbolBits(const uint8_t* litLengths, const uint8_t* distLengths) const {
        uint64_t bits = 0;
        for (int i = 0; i < 286; ++i)
            bits += uint64_t(litFreq_[i]) * (litLengths[i] + (i > 256 ? kLengthExtra[i - 257] : 0));
        for (int i = 0; i < kDistSymbols; ++i) bits += uint64_t(distFreq_[i]) * (distLengths[i] + kDistExtra[i]);
        return bits;
    }

    // The code lengths of both codes as the header sends them: runs of a length as symbols
    // 16 (the previous length again), 17 and 18 (zeros).
    struct Header {
        int litCount = 257, distCount = 1, codeLengthCount = 4;
        uint8_t codeLengthLengths[19] = {};
        uint16_t codeLengthCodes[19] = {};
        std::vector<std::pair<uint8_t, uint8_t>> runs;  // symbol, extra bits value
        uint64_t bits = 0;
    };

    Header header(const uint8_t* litLengths, const uint8_t* distLengths) const {
        Header h;
        for (int i = 286; i > 257; --i)
            if (litLengths[i - 1]) {
                h.litCount = i;
                break;
            }
        for (int i = kDistSymbols; i > 1; --i)
            if (distLengths[i - 1]) {
                h.distCount = i;
                break;
            }
        uint8_t all[286 + kDistSymbols];
        const int total = h.litCount + h.distCount;
        std::memcpy(all, litLengths, size_t(h.litCount));
        std::memcpy(all + h.litCount, distLengths, size_t(h.distCount));
        uint32_t freq[19] = {};
        for (int i = 0; i < total;) {
            const uint8_t len = all[i];
            int run = 1;
            while (i + run < total && all[i + run] == len) ++run;
            i += run;
            if (len == 0) {
                while (run >= 11) {
                    const int r = std::min(run, 138);
                    h.runs.push_back({18, uint8_t(r - 11)});
                    run -= r;
                }
                if (run >= 3) {
                    h.runs.push_back({17, uint8_t(run - 3)});
                    run = 0;
                }
            } else if (run >= 4) {
                h.runs.push_back({len, 0});
                --run;
                while (run >= 3) {
                    const int r = std::min(run, 6);
                    h.runs.push_back({16, uint8_t(r - 3)});
                    run -= r;
                }
            }
            for (; run > 0; --run) h.runs.push_back({len, 0});
        }
        for (const auto& r : h.runs) ++freq[r.first];
        huffmanLengths(freq, 19, kMaxCodeLengthBits, h.codeLengthLengths);
        canonicalCodes(h.codeLengthLengths, 19, h.codeLengthCodes);
        for (int i = 19; i > 4; --i)
            if (h.codeLengthLengths[kCodeLengthOrder[i - 1]]) {
                h.codeLengthCount = i;
                break;
            }
        h.bits = 5 + 5 + 4 + 3 * uint64_t(h.codeLengthCount);
        for (const auto& r : h.runs)
            h.bits += h.codeLengthLengths[r.first] + (r.first == 16 ? 2 : r.first == 17 ? 3 : r.first == 18 ? 7 : 0);
        return h;
    }

    // The block of the symbols gathered since the last one, which cover input [start_, end):
    // in the smallest of dynamic codes, the fixed codes or stored.
    void flushBlock(size_t end, bool last) {
        ++litFreq_[kEndOfBlock];
        uint8_t litLengths[kLitLenSymbols], distLengths[kDistSymbols];
        huffmanLengths(litFreq_, 286, kMaxCodeBits, litLengths);
        litLengths[286] = litLengths[287] = 0;
        huffmanLengths(distFreq_, kDistSymbols, kMaxCodeBits, distLengths);
        const Header h = header(litLengths, distLengths);
        const uint64_t dynamicBits = 3 + h.bits + symbolBits(litLengths, distLengths);

        uint8_t fixedLit[kLitLenSymbols], fixedDist[kDistSymbols];
        std::fill(fixedLit, fixedLit + 144, 8);
        std::fill(fixedLit + 144, fixedLit + 256, 9);
        std::fill(fixedLit + 256, fixedLit + 280, 7);
        std::fill(fixedLit + 280, fixedLit + 288, 8);
        std::fill(fixedDist, fixedDist + kDistSymbols, 5);
        const uint64_t fixedBits = 3 + symbolBits(fixedLit, fixedDist);

        const size_t bytes = end - start_;
        const size_t storedBlocks = std::max<size_t>(1, (bytes + 65534) / 65535);
        const uint64_t storedBits = 3 + 7 + 8 * uint64_t(bytes) + storedBlocks * (32 + 3 + 7);

        if (storedBits < std::min(dynamicBits, fixedBits)) {
            writeStored(end, last);
        } else if (fixedBits <= dynamicBits) {
            bits_.put(last ? 1 : 0, 1);
            bits_.put(1, 2);
            writeSymbols(fixedLit, fixedDist);
        } else {
            bits_.put(last ? 1 : 0, 1);
            bits_.put(2, 2);
            bits_.put(uint32_t(h.litCount - 257), 5);
            bits_.put(uint32_t(h.distCount - 1), 5);
            bits_.put(uint32_t(h.codeLengthCount - 4), 4);
            for (int i = 0; i < h.codeLengthCount; ++i) bits_.put(h.codeLengthLengths[kCodeLengthOrder[i]], 3);
            for (const auto& r : h.runs) {
                bits_.put(h.codeLengthCodes[r.first], h.codeLengthLengths[r.first]);
                if (r.first >= 16) bits_.put(r.second, r.first == 16 ? 2 : r.first == 17 ? 3 : 7);
            }
            writeSymbols(litLengths, distLengths);
        }
        start_ = end;
        clearCounts();
    }

    void writeSymbols(const uint8_t* litLengths, const uint8_t* distLengths) {
        uint16_t litCodes[kLitLenSymbols], distCodes[kDistSymbols];
        canonicalCodes(litLengths, kLitLenSymbols, litCodes);
        canonicalCodes(distLengths, kDistSymbols, distCodes);
        for (size_t i = 0; i < symbolCount_; ++i) {
            const Symbol s = work_.symbols[i];
            if (s.dist == 0) {
                bits_.put(litCodes[s.length], litLengths[s.length]);
                continue;
            }
            const int lc = t_.lengthCode[s.length];
            const int dc = t_.distCode(s.dist);
            bits_.put(litCodes[257 + lc] | uint32_t(s.length - kLengthBase[lc]) << litLengths[257 + lc],
                      litLengths[257 + lc] + kLengthExtra[lc]);
            bits_.put(distCodes[dc] | uint32_t(s.dist - kDistBase[dc]) << distLengths[dc],
                      distLengths[dc] + kDistExtra[dc]);
        }
        bits_.put(litCodes[kEndOfBlock], litLengths[kEndOfBlock]);
    }

    void writeStored(size_t end, bool last) {
        size_t at = start_;
        do {
            const size_t len = std::min<size_t>(65535, end - at);
            bits_.put(last && at + len == end ? 1 : 0, 1);
            bits_.put(0, 2);
            bits_.alignToByte();
            const uint8_t lengths[4] = {uint8_t(len), uint8_t(len >> 8), uint8_t(~len), uint8_t(~len >> 8)};
            bits_.copy(lengths, 4);
            bits_.copy(data_ + at, len);
            at += len;
        } while (at < end);
    }

    const uint8_t* data_;
    size_t n_;
    Workspace& work_;
    BitWriter bits_;
    const SymbolTables& t_;
    size_t nearby_[DeflateHints::kDistances] = {};
    int nearbyCount_ = 0;
    size_t nextInsert_ = 0;
    size_t start_ = 0;
    size_t symbolCount_ = 0;
    uint32_t litFreq_[kLitLenSymbols];
    uint32_t distFreq_[kDistSymbols];
};

}  // namespace

size_t zlibEncodeBound(size_t n) {
    // Stored blocks at worst: 5 bytes per block of at least a block's symbols, the zlib header
    // and checksum.
    return n + 5 * (n / 16384 + 2) + 2 + 4 + 8;
}

size_t zlibEncode(const uint8_t* data, size_t n, uint8_t* out, const DeflateHints& hints) {
    thread_local Workspace work;
    out[0] = 0x78;  // deflate, 32 KB window
    out[1] = 0x9C;  // default level; header check
    Encoder encoder(data, n, hints, work, out + 2);
    encoder.run();
    uint8_t* end = encoder.end();
    const uint32_t adler = libdeflate_adler32(1, data, n);
    for (int i = 0; i < 4; ++i) end[i] = uint8_t(adler >> (24 - 8 * i));
    return size_t(end + 4 - out);
}

}  // namespace zorvane
