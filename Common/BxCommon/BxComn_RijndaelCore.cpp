// The AES block cipher: tables, key schedule and block transforms.
//
// The state is kept as four little-endian column words (byte r of a column
// is row r), which is how x86 loads them, so no byte swapping is needed.
// A round then costs sixteen lookups in four 256-entry tables that combine
// SubBytes (or InvSubBytes) with MixColumns (or InvMixColumns) for one row,
// and decryption uses the equivalent inverse cipher of FIPS-197 5.3.5 so that
// it has the same shape as encryption.
//
// The tables are computed by the compiler, so they are plain read-only data:
// nothing to build at run time and nothing to lock.

#include <cstring>

#include "Common/BxCommon/BxComn_Rijndael.h"

namespace BxCommon::Cryptograph {

namespace {

using u8 = std::uint8_t;
using u32 = std::uint32_t;

constexpr u8 Xtime(u8 a) { return static_cast<u8>((a << 1) ^ ((a & 0x80) ? 0x1b : 0)); }

constexpr u8 Multiply(u8 a, u8 b) {
    u8 product = 0;
    for (; b != 0; b >>= 1, a = Xtime(a)) {
        if (b & 1) product ^= a;
    }
    return product;
}

constexpr u8 Rotl8(u8 b, int n) { return static_cast<u8>((b << n) | (b >> (8 - n))); }
constexpr u32 Rotl32(u32 w, int n) { return (w << n) | (w >> (32 - n)); }

// Four bytes as a column word, the first in the low byte.
constexpr u32 Column(u8 r0, u8 r1, u8 r2, u8 r3) {
    return u32{r0} | (u32{r1} << 8) | (u32{r2} << 16) | (u32{r3} << 24);
}

struct Tables {
    u8 sbox[256];
    u8 invSbox[256];
    // te[j][x]: what byte x in row j adds to its column in a round:
    // MixColumns of S(x) placed in row j. te[j] is te[0] rotated by j rows.
    u32 te[4][256];
    // td[j][x]: the same for InvMixColumns of InvS(x).
    u32 td[4][256];
    // imc[j][x]: InvMixColumns of x placed in row j, for the round keys.
    u32 imc[4][256];
};

constexpr Tables MakeTables() {
    Tables t{};
    // Multiplicative inverses through powers of the generator 3.
    u8 power[255] = {};
    u8 log[256] = {};
    u8 p = 1;
    for (int i = 0; i < 255; ++i) {
        power[i] = p;
        log[p] = static_cast<u8>(i);
        p = static_cast<u8>(p ^ Xtime(p));
    }
    for (int x = 0; x < 256; ++x) {
        u8 inverse = x == 0 ? 0 : power[(255 - log[x]) % 255];
        u8 s = static_cast<u8>(inverse ^ Rotl8(inverse, 1) ^ Rotl8(inverse, 2) ^ Rotl8(inverse, 3) ^ Rotl8(inverse, 4) ^
                               0x63);
        t.sbox[x] = s;
        t.invSbox[s] = static_cast<u8>(x);
    }
    for (int x = 0; x < 256; ++x) {
        const u8 s = t.sbox[x];
        const u8 si = t.invSbox[x];
        const u8 b = static_cast<u8>(x);
        const u32 te = Column(Multiply(s, 2), s, s, Multiply(s, 3));
        const u32 td = Column(Multiply(si, 14), Multiply(si, 9), Multiply(si, 13), Multiply(si, 11));
        const u32 imc = Column(Multiply(b, 14), Multiply(b, 9), Multiply(b, 13), Multiply(b, 11));
        for (int j = 0; j < 4; ++j) {
            t.te[j][x] = j == 0 ? te : Rotl32(te, 8 * j);
            t.td[j][x] = j == 0 ? td : Rotl32(td, 8 * j);
            t.imc[j][x] = j == 0 ? imc : Rotl32(imc, 8 * j);
        }
    }
    return t;
}

alignas(64) constexpr Tables kTables = MakeTables();

// A few entries of FIPS-197 Figures 7 and 14, so that a broken generator
// does not build.
static_assert(kTables.sbox[0x00] == 0x63 && kTables.sbox[0x53] == 0xed && kTables.sbox[0xff] == 0x16);
static_assert(kTables.invSbox[0x00] == 0x52 && kTables.invSbox[0x63] == 0x00 && kTables.invSbox[0xff] == 0x7d);

constexpr const u32* Te0 = kTables.te[0];
constexpr const u32* Te1 = kTables.te[1];
constexpr const u32* Te2 = kTables.te[2];
constexpr const u32* Te3 = kTables.te[3];
constexpr const u32* Td0 = kTables.td[0];
constexpr const u32* Td1 = kTables.td[1];
constexpr const u32* Td2 = kTables.td[2];
constexpr const u32* Td3 = kTables.td[3];
constexpr const u8* Sbox = kTables.sbox;
constexpr const u8* InvSbox = kTables.invSbox;

constexpr u32 B0(u32 w) { return w & 0xff; }
constexpr u32 B1(u32 w) { return (w >> 8) & 0xff; }
constexpr u32 B2(u32 w) { return (w >> 16) & 0xff; }
constexpr u32 B3(u32 w) { return w >> 24; }

inline u32 Load(const BYTE* p) {
    u32 w;
    std::memcpy(&w, p, 4);
    return w;
}

inline void Store(BYTE* p, u32 w) { std::memcpy(p, &w, 4); }

u32 SubWord(u32 w) { return Column(Sbox[B0(w)], Sbox[B1(w)], Sbox[B2(w)], Sbox[B3(w)]); }

u32 InvMixColumn(u32 w) {
    return kTables.imc[0][B0(w)] ^ kTables.imc[1][B1(w)] ^ kTables.imc[2][B2(w)] ^ kTables.imc[3][B3(w)];
}

struct State {
    u32 c0, c1, c2, c3;
};

inline State LoadState(const BYTE* p) { return {Load(p), Load(p + 4), Load(p + 8), Load(p + 12)}; }

inline void StoreState(BYTE* p, const State& s) {
    Store(p, s.c0);
    Store(p + 4, s.c1);
    Store(p + 8, s.c2);
    Store(p + 12, s.c3);
}

// Row r of the new column c comes from column c + r (ShiftRows).
inline State Encrypt(State s, const u32* rk, DWORD rounds) {
    u32 s0 = s.c0 ^ rk[0], s1 = s.c1 ^ rk[1], s2 = s.c2 ^ rk[2], s3 = s.c3 ^ rk[3];
    for (DWORD round = 1; round < rounds; ++round) {
        rk += 4;
        const u32 t0 = Te0[B0(s0)] ^ Te1[B1(s1)] ^ Te2[B2(s2)] ^ Te3[B3(s3)] ^ rk[0];
        const u32 t1 = Te0[B0(s1)] ^ Te1[B1(s2)] ^ Te2[B2(s3)] ^ Te3[B3(s0)] ^ rk[1];
        const u32 t2 = Te0[B0(s2)] ^ Te1[B1(s3)] ^ Te2[B2(s0)] ^ Te3[B3(s1)] ^ rk[2];
        const u32 t3 = Te0[B0(s3)] ^ Te1[B1(s0)] ^ Te2[B2(s1)] ^ Te3[B3(s2)] ^ rk[3];
        s0 = t0, s1 = t1, s2 = t2, s3 = t3;
    }
    rk += 4;
    return {Column(Sbox[B0(s0)], Sbox[B1(s1)], Sbox[B2(s2)], Sbox[B3(s3)]) ^ rk[0],
            Column(Sbox[B0(s1)], Sbox[B1(s2)], Sbox[B2(s3)], Sbox[B3(s0)]) ^ rk[1],
            Column(Sbox[B0(s2)], Sbox[B1(s3)], Sbox[B2(s0)], Sbox[B3(s1)]) ^ rk[2],
            Column(Sbox[B0(s3)], Sbox[B1(s0)], Sbox[B2(s1)], Sbox[B3(s2)]) ^ rk[3]};
}

// Row r of the new column c comes from column c - r (InvShiftRows). The
// schedule is in FIPS-197 order, so it is walked from its end.
inline State Decrypt(State s, const u32* dk, DWORD rounds) {
    const u32* rk = dk + 4 * rounds;
    u32 s0 = s.c0 ^ rk[0], s1 = s.c1 ^ rk[1], s2 = s.c2 ^ rk[2], s3 = s.c3 ^ rk[3];
    for (DWORD round = 1; round < rounds; ++round) {
        rk -= 4;
        const u32 t0 = Td0[B0(s0)] ^ Td1[B1(s3)] ^ Td2[B2(s2)] ^ Td3[B3(s1)] ^ rk[0];
        const u32 t1 = Td0[B0(s1)] ^ Td1[B1(s0)] ^ Td2[B2(s3)] ^ Td3[B3(s2)] ^ rk[1];
        const u32 t2 = Td0[B0(s2)] ^ Td1[B1(s1)] ^ Td2[B2(s0)] ^ Td3[B3(s3)] ^ rk[2];
        const u32 t3 = Td0[B0(s3)] ^ Td1[B1(s2)] ^ Td2[B2(s1)] ^ Td3[B3(s0)] ^ rk[3];
        s0 = t0, s1 = t1, s2 = t2, s3 = t3;
    }
    rk -= 4;
    return {Column(InvSbox[B0(s0)], InvSbox[B1(s3)], InvSbox[B2(s2)], InvSbox[B3(s1)]) ^ rk[0],
            Column(InvSbox[B0(s1)], InvSbox[B1(s0)], InvSbox[B2(s3)], InvSbox[B3(s2)]) ^ rk[1],
            Column(InvSbox[B0(s2)], InvSbox[B1(s1)], InvSbox[B2(s0)], InvSbox[B3(s3)]) ^ rk[2],
            Column(InvSbox[B0(s3)], InvSbox[B1(s2)], InvSbox[B2(s1)], InvSbox[B3(s0)]) ^ rk[3]};
}

}  // namespace

// FIPS-197 5.2. RotWord moves the second byte to the front, which for a
// little-endian word is a right rotation; the round constant goes into the
// first byte.
void Rijndael::ExpandKey(const BYTE* key) {
    const DWORD keyWords = static_cast<DWORD>(keyLength_ / 4);
    const DWORD totalWords = 4 * (rounds_ + 1);
    for (DWORD i = 0; i < keyWords; ++i) roundKeys_[i] = Load(key + 4 * i);
    u8 roundConstant = 1;
    for (DWORD i = keyWords; i < totalWords; ++i) {
        u32 temp = roundKeys_[i - 1];
        if (i % keyWords == 0) {
            temp = SubWord((temp >> 8) | (temp << 24)) ^ roundConstant;
            roundConstant = Xtime(roundConstant);
        } else if (keyWords > 6 && i % keyWords == 4) {
            temp = SubWord(temp);
        }
        roundKeys_[i] = roundKeys_[i - keyWords] ^ temp;
    }
}

// FIPS-197 5.3.5: the equivalent inverse cipher adds InvMixColumns of the
// round keys between its first and last.
void Rijndael::InvertKeySchedule() {
    for (DWORD i = 4; i < 4 * rounds_; ++i) roundKeys_[i] = InvMixColumn(roundKeys_[i]);
}

void Rijndael::EncryptBlock(const BYTE* input, BYTE* output) const {
    StoreState(output, Encrypt(LoadState(input), roundKeys_, rounds_));
}

void Rijndael::EncryptBlocks(const BYTE* input, BYTE* output, ULONGLONG blocks) {
    if (mode_ == kModeEcb) {
        for (; blocks != 0; --blocks, input += 16, output += 16) {
            StoreState(output, Encrypt(LoadState(input), roundKeys_, rounds_));
        }
        return;
    }
    State chain = LoadState(feedback_);
    for (; blocks != 0; --blocks, input += 16, output += 16) {
        const State plain = LoadState(input);
        chain = Encrypt({plain.c0 ^ chain.c0, plain.c1 ^ chain.c1, plain.c2 ^ chain.c2, plain.c3 ^ chain.c3},
                        roundKeys_, rounds_);
        StoreState(output, chain);
    }
    StoreState(feedback_, chain);
}

// Each ciphertext block is read before its plaintext is written, so the
// output may be the input.
void Rijndael::DecryptBlocks(const BYTE* input, BYTE* output, ULONGLONG blocks) {
    if (mode_ == kModeEcb) {
        for (; blocks != 0; --blocks, input += 16, output += 16) {
            StoreState(output, Decrypt(LoadState(input), roundKeys_, rounds_));
        }
        return;
    }
    State chain = LoadState(feedback_);
    for (; blocks != 0; --blocks, input += 16, output += 16) {
        const State cipher = LoadState(input);
        const State d = Decrypt(cipher, roundKeys_, rounds_);
        StoreState(output, {d.c0 ^ chain.c0, d.c1 ^ chain.c1, d.c2 ^ chain.c2, d.c3 ^ chain.c3});
        chain = cipher;
    }
    StoreState(feedback_, chain);
}

}  // namespace BxCommon::Cryptograph
