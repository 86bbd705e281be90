#include "core/json_writer.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ostream>

namespace mv {
namespace {

// --- the digits of a double ---
//
// Grisu2 (F. Loitsch, "Printing Floating-Point Numbers Quickly and Accurately with Integers",
// PLDI 2010) in the variant of the nlohmann/json library (MIT licence), which printed the
// batch commands' figures before: the same digits keep every figure byte for byte. Its digits
// read back to the same double; in a few cases in a thousand they are not the shortest such
// (std::to_chars would print others), which is why it is kept.

struct DiyFp {  // f * 2^e
  std::uint64_t f = 0;
  int e = 0;
};

DiyFp Minus(DiyFp x, DiyFp y) { return {x.f - y.f, x.e}; }

// The upper 64 bits of the product, rounded (ties up).
DiyFp Times(DiyFp x, DiyFp y) {
  const std::uint64_t uLo = x.f & 0xFFFFFFFFu, uHi = x.f >> 32u;
  const std::uint64_t vLo = y.f & 0xFFFFFFFFu, vHi = y.f >> 32u;
  const std::uint64_t p0 = uLo * vLo, p1 = uLo * vHi, p2 = uHi * vLo, p3 = uHi * vHi;
  std::uint64_t q = (p0 >> 32u) + (p1 & 0xFFFFFFFFu) + (p2 & 0xFFFFFFFFu);
  q += std::uint64_t{1} << 31u;
  return {p3 + (p2 >> 32u) + (p1 >> 32u) + (q >> 32u), x.e + y.e + 64};
}

DiyFp Normalize(DiyFp x) {
  const int shift = std::countl_zero(x.f);
  return {x.f << shift, x.e - shift};
}

struct Boundaries {
  DiyFp w, minus, plus;
};

// The double (finite, above 0) and the midpoints to its neighbours, normalized to one exponent.
Boundaries BoundariesOf(double value) {
  constexpr int kPrecision = 53;
  constexpr int kBias = 1023 + (kPrecision - 1);
  constexpr std::uint64_t kHiddenBit = std::uint64_t{1} << (kPrecision - 1);
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const std::uint64_t exponent = bits >> (kPrecision - 1);
  const std::uint64_t fraction = bits & (kHiddenBit - 1);
  const DiyFp v = exponent == 0 ? DiyFp{fraction, 1 - kBias}
                                : DiyFp{fraction + kHiddenBit, static_cast<int>(exponent) - kBias};
  const bool lowerCloser = fraction == 0 && exponent > 1;
  const DiyFp plus = Normalize({2 * v.f + 1, v.e - 1});
  const DiyFp minusRaw = lowerCloser ? DiyFp{4 * v.f - 1, v.e - 2} : DiyFp{2 * v.f - 1, v.e - 1};
  const DiyFp minus{minusRaw.f << (minusRaw.e - plus.e), plus.e};
  return {Normalize(v), minus, plus};
}

constexpr int kAlpha = -60;

struct CachedPower {  // f * 2^e ~= 10^k
  std::uint64_t f;
  int e;
  int k;
};

constexpr std::array<CachedPower, 79> kCachedPowers = {{
    {0xAB70FE17C79AC6CA, -1060, -300}, {0xFF77B1FCBEBCDC4F, -1034, -292}, {0xBE5691EF416BD60C, -1007, -284},
    {0x8DD01FAD907FFC3C, -980, -276},  {0xD3515C2831559A83, -954, -268},  {0x9D71AC8FADA6C9B5, -927, -260},
    {0xEA9C227723EE8BCB, -901, -252},  {0xAECC49914078536D, -874, -244},  {0x823C12795DB6CE57, -847, -236},
    {0xC21094364DFB5637, -821, -228},  {0x9096EA6F3848984F, -794, -220},  {0xD77485CB25823AC7, -768, -212},
    {0xA086CFCD97BF97F4, -741, -204},  {0xEF340A98172AACE5, -715, -196},  {0xB23867FB2A35B28E, -688, -188},
    {0x84C8D4DFD2C63F3B, -661, -180},  {0xC5DD44271AD3CDBA, -635, -172},  {0x936B9FCEBB25C996, -608, -164},
    {0xDBAC6C247D62A584, -582, -156},  {0xA3AB66580D5FDAF6, -555, -148},  {0xF3E2F893DEC3F126, -529, -140},
    {0xB5B5ADA8AAFF80B8, -502, -132},  {0x87625F056C7C4A8B, -475, -124},  {0xC9BCFF6034C13053, -449, -116},
    {0x964E858C91BA2655, -422, -108},  {0xDFF9772470297EBD, -396, -100},  {0xA6DFBD9FB8E5B88F, -369, -92},
    {0xF8A95FCF88747D94, -343, -84},   {0xB94470938FA89BCF, -316, -76},   {0x8A08F0F8BF0F156B, -289, -68},
    {0xCDB02555653131B6, -263, -60},   {0x993FE2C6D07B7FAC, -236, -52},   {0xE45C10C42A2B3B06, -210, -44},
    {0xAA242499697392D3, -183, -36},   {0xFD87B5F28300CA0E, -157, -28},   {0xBCE5086492111AEB, -130, -20},
    {0x8CBCCC096F5088CC, -103, -12},   {0xD1B71758E219652C, -77, -4},     {0x9C40000000000000, -50, 4},
    {0xE8D4A51000000000, -24, 12},     {0xAD78EBC5AC620000, 3, 20},       {0x813F3978F8940984, 30, 28},
    {0xC097CE7BC90715B3, 56, 36},      {0x8F7E32CE7BEA5C70, 83, 44},      {0xD5D238A4ABE98068, 109, 52},
    {0x9F4F2726179A2245, 136, 60},     {0xED63A231D4C4FB27, 162, 68},     {0xB0DE65388CC8ADA8, 189, 76},
    {0x83C7088E1AAB65DB, 216, 84},     {0xC45D1DF942711D9A, 242, 92},     {0x924D692CA61BE758, 269, 100},
    {0xDA01EE641A708DEA, 295, 108},    {0xA26DA3999AEF774A, 322, 116},    {0xF209787BB47D6B85, 348, 124},
    {0xB454E4A179DD1877, 375, 132},    {0x865B86925B9BC5C2, 402, 140},    {0xC83553C5C8965D3D, 428, 148},
    {0x952AB45CFA97A0B3, 455, 156},    {0xDE469FBD99A05FE3, 481, 164},    {0xA59BC234DB398C25, 508, 172},
    {0xF6C69A72A3989F5C, 534, 180},    {0xB7DCBF5354E9BECE, 561, 188},    {0x88FCF317F22241E2, 588, 196},
    {0xCC20CE9BD35C78A5, 614, 204},    {0x98165AF37B2153DF, 641, 212},    {0xE2A0B5DC971F303A, 667, 220},
    {0xA8D9D1535CE3B396, 694, 228},    {0xFB9B7CD9A4A7443C, 720, 236},    {0xBB764C4CA7A44410, 747, 244},
    {0x8BAB8EEFB6409C1A, 774, 252},    {0xD01FEF10A657842C, 800, 260},    {0x9B10A4E5E9913129, 827, 268},
    {0xE7109BFBA19C0C9D, 853, 276},    {0xAC2820D9623BF429, 880, 284},    {0x80444B5E7AA7CF85, 907, 292},
    {0xBF21E44003ACDD2D, 933, 300},    {0x8E679C2F5E44FF8F, 960, 308},    {0xD433179D9C8CB841, 986, 316},
    {0x9E19DB92B4E31BA9, 1013, 324},
}};

// The power of ten that brings a product with a number of binary exponent e into -60..-32.
CachedPower CachedPowerFor(int e) {
  const int f = kAlpha - e - 1;
  const int k = (f * 78913) / (1 << 18) + static_cast<int>(f > 0);
  const int index = (300 + k + 7) / 8;
  return kCachedPowers[static_cast<std::size_t>(index)];
}

// Digits of n and 10^(digits - 1).
int LargestPow10(std::uint32_t n, std::uint32_t& pow10) {
  pow10 = 1000000000;
  int digits = 10;
  while (digits > 1 && n < pow10) {
    pow10 /= 10;
    --digits;
  }
  return digits;
}

void RoundLastDigit(char* buf, int len, std::uint64_t dist, std::uint64_t delta, std::uint64_t rest,
                    std::uint64_t tenK) {
  while (rest < dist && delta - rest >= tenK && (rest + tenK < dist || dist - rest > rest + tenK - dist)) {
    buf[len - 1]--;
    rest += tenK;
  }
}

// The digits of a value between mMinus and mPlus (exponent -60..-32), near w.
void DigitGen(char* buffer, int& length, int& decimalExponent, DiyFp mMinus, DiyFp w, DiyFp mPlus) {
  std::uint64_t delta = Minus(mPlus, mMinus).f;
  std::uint64_t dist = Minus(mPlus, w).f;
  const int shift = -mPlus.e;
  const std::uint64_t one = std::uint64_t{1} << shift;
  auto p1 = static_cast<std::uint32_t>(mPlus.f >> shift);
  std::uint64_t p2 = mPlus.f & (one - 1);
  std::uint32_t pow10 = 0;
  int n = LargestPow10(p1, pow10);
  while (n > 0) {
    const std::uint32_t d = p1 / pow10;
    p1 %= pow10;
    buffer[length++] = static_cast<char>('0' + d);
    --n;
    const std::uint64_t rest = (std::uint64_t{p1} << shift) + p2;
    if (rest <= delta) {
      decimalExponent += n;
      RoundLastDigit(buffer, length, dist, delta, rest, std::uint64_t{pow10} << shift);
      return;
    }
    pow10 /= 10;
  }
  int m = 0;
  for (;;) {
    p2 *= 10;
    buffer[length++] = static_cast<char>('0' + (p2 >> shift));
    p2 &= one - 1;
    ++m;
    delta *= 10;
    dist *= 10;
    if (p2 <= delta) break;
  }
  decimalExponent -= m;
  RoundLastDigit(buffer, length, dist, delta, p2, one);
}

// value = digits * 10^decimalExponent.
void Grisu2(char* buf, int& len, int& decimalExponent, double value) {
  const Boundaries b = BoundariesOf(value);
  const CachedPower cached = CachedPowerFor(b.plus.e);
  const DiyFp c{cached.f, cached.e};
  const DiyFp w = Times(b.w, c);
  const DiyFp wMinus = Times(b.minus, c);
  const DiyFp wPlus = Times(b.plus, c);
  decimalExponent = -cached.k;
  DigitGen(buf, len, decimalExponent, {wMinus.f + 1, wMinus.e}, w, {wPlus.f - 1, wPlus.e});
}

char* AppendExponent(char* buf, int e) {
  *buf++ = e < 0 ? '-' : '+';
  auto k = static_cast<std::uint32_t>(e < 0 ? -e : e);
  if (k >= 100) {
    *buf++ = static_cast<char>('0' + k / 100);
    k %= 100;
  }
  *buf++ = static_cast<char>('0' + k / 10);
  *buf++ = static_cast<char>('0' + k % 10);
  return buf;
}

// digits * 10^(n - k) in plain notation for 10^-4 <= value < 10^15, else as d.ddde+XX.
char* Layout(char* buf, int k, int decimalExponent) {
  constexpr int kMinExp = -4;
  constexpr int kMaxExp = 15;
  const int n = k + decimalExponent;
  const auto uk = static_cast<std::size_t>(k);
  if (k <= n && n <= kMaxExp) {  // digits[000].0
    const auto un = static_cast<std::size_t>(n);
    std::memset(buf + k, '0', un - uk);
    buf[n] = '.';
    buf[n + 1] = '0';
    return buf + un + 2;
  }
  if (0 < n && n <= kMaxExp) {  // dig.its
    const auto un = static_cast<std::size_t>(n);
    std::memmove(buf + un + 1, buf + un, uk - un);
    buf[n] = '.';
    return buf + uk + 1;
  }
  if (kMinExp < n && n <= 0) {  // 0.[000]digits
    const auto zeros = static_cast<std::size_t>(-n);
    std::memmove(buf + 2 + zeros, buf, uk);
    buf[0] = '0';
    buf[1] = '.';
    std::memset(buf + 2, '0', zeros);
    return buf + 2 + zeros + uk;
  }
  if (k == 1) {  // de+XX
    buf += 1;
  } else {  // d.igitse+XX
    std::memmove(buf + 2, buf + 1, uk - 1);
    buf[1] = '.';
    buf += 1 + uk;
  }
  *buf++ = 'e';
  return AppendExponent(buf, n - 1);
}

// --- text ---

// Length of the valid UTF-8 sequence at text[i] (lead byte >= 0x80), 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t j = 2; j < length; ++j) {
    if (byte(i + j) < 0x80 || byte(i + j) > 0xBF) return 0;
  }
  return length;
}

// Bytes that go out as they are: printable ASCII other than " and \.
constexpr std::array<bool, 256> kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x80; ++c) plain[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
  return plain;
}();

}  // namespace

std::size_t FormatJsonDouble(double value, char* out) {
  if (!std::isfinite(value)) {
    std::memcpy(out, "null", 4);
    return 4;
  }
  char* p = out;
  if (std::signbit(value)) {
    value = -value;
    *p++ = '-';
  }
  if (value == 0) {
    std::memcpy(p, "0.0", 3);
    return static_cast<std::size_t>(p + 3 - out);
  }
  int length = 0;
  int decimalExponent = 0;
  Grisu2(p, length, decimalExponent, value);
  return static_cast<std::size_t>(Layout(p, length, decimalExponent) - out);
}

JsonWriter::JsonWriter(std::ostream& out) : m_out(out) { m_buffer.reserve(kFlushSize + 4096); }

JsonWriter::~JsonWriter() { Flush(); }

void JsonWriter::Indent(std::size_t level) { m_buffer.append(2 * level, ' '); }

void JsonWriter::Element() {
  if (m_afterKey) {
    m_afterKey = false;
    return;
  }
  if (m_filled.empty()) return;
  Put(m_filled.back() ? ",\n" : "\n");
  m_filled.back() = true;
  Indent(m_filled.size());
}

void JsonWriter::Open(char bracket) {
  Element();
  Put(bracket);
  m_filled.push_back(false);
}

void JsonWriter::Close(char bracket) {
  if (m_filled.empty()) return;
  const bool filled = m_filled.back();
  m_filled.pop_back();
  if (filled) {
    Put('\n');
    Indent(m_filled.size());
  }
  Put(bracket);
  FlushWhenFull();
}

void JsonWriter::BeginObject() { Open('{'); }
void JsonWriter::EndObject() { Close('}'); }
void JsonWriter::BeginArray() { Open('['); }
void JsonWriter::EndArray() { Close(']'); }

void JsonWriter::Key(std::string_view key) {
  String(key);
  Put(": ");
  m_afterKey = true;
}

void JsonWriter::Null() {
  Element();
  Put("null");
}

void JsonWriter::Bool(bool value) {
  Element();
  Put(value ? std::string_view("true") : std::string_view("false"));
}

void JsonWriter::Double(double value) {
  Element();
  char digits[kMaxDoubleChars];
  Put(std::string_view(digits, FormatJsonDouble(value, digits)));
}

void JsonWriter::Int(std::int64_t value) {
  Element();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  Put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void JsonWriter::Uint(std::uint64_t value) {
  Element();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  Put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

void JsonWriter::String(std::string_view text) {
  Element();
  Put('"');
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t run = i;
    while (run < text.size() && kPlain[static_cast<unsigned char>(text[run])]) ++run;
    Put(text.substr(i, run - i));
    i = run;
    if (i == text.size()) break;
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text, i);
      if (length == 0) {
        Put("\xEF\xBF\xBD");
        ++i;
      } else {
        Put(text.substr(i, length));
        i += length;
      }
      continue;
    }
    switch (c) {
      case '"': Put("\\\""); break;
      case '\\': Put("\\\\"); break;
      case '\b': Put("\\b"); break;
      case '\f': Put("\\f"); break;
      case '\n': Put("\\n"); break;
      case '\r': Put("\\r"); break;
      case '\t': Put("\\t"); break;
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        const char escaped[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
        Put(std::string_view(escaped, sizeof escaped));
      }
    }
    ++i;
  }
  Put('"');
  FlushWhenFull();
}

void JsonWriter::Done() {
  Put('\n');
  Flush();
}

void JsonWriter::Flush() {
  if (m_buffer.empty()) return;
  m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
  m_buffer.clear();
}

}  // namespace mv
