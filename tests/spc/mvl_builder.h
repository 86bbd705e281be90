#pragma once
// A test-side maker of SPC data files, laid out from the documented offsets without the
// production writer: prefix, header, parameter records, blocks with samples and points.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/check_value.h"
#include "core/cp1251.h"

namespace mv::test {

class MvlBuilder {
 public:
  MvlBuilder() : m_header(11836, '\0') {
    I16(m_header, 0, 50);      // release
    I16(m_header, 5972, 185);  // column widths
    m_header[3316] = 1;        // block editing allowed
  }

  // Header fields by offset.
  MvlBuilder& HeaderI16(std::size_t off, std::int16_t v) {
    I16(m_header, off, v);
    return *this;
  }
  MvlBuilder& HeaderI32(std::size_t off, std::int32_t v) {
    I32(m_header, off, v);
    return *this;
  }
  MvlBuilder& HeaderStr(std::size_t off, const std::string& utf8) {
    Str(m_header, off, utf8);
    return *this;
  }

  // A quantitative parameter record (514 bytes) with the given identifier and name.
  std::string Parameter(std::int32_t id, const std::string& name, std::int16_t order, std::uint8_t kind = 1) {
    std::string r(514, '\0');
    std::memcpy(r.data(), "PRM ", 4);
    I16(r, 4, order);
    Str(r, 6, name);
    I32(r, 430, id);
    r[435] = static_cast<char>(kind);
    return r;
  }

  std::string Block(std::int32_t id, const std::string& name, std::int16_t samples, std::uint8_t kind = 1) {
    std::string r(268, '\0');
    std::memcpy(r.data(), "BLK ", 4);
    I32(r, 4, id);
    r[10] = static_cast<char>(kind);
    I16(r, 11, samples);
    Str(r, 25, name);
    return r;
  }

  std::string Sample(std::int16_t position, std::int16_t points, const std::string& note = {}) {
    std::string r(32, '\0');
    std::memcpy(r.data(), "SMP ", 4);
    I16(r, 4, position);
    I16(r, 6, points);
    const std::string bytes = Utf8ToCp1251(note);
    I16(r, 18, static_cast<std::int16_t>(bytes.size()));
    if (!bytes.empty()) r += static_cast<char>(bytes.size()) + bytes;
    return r;
  }

  // A point without its own date, with one present value per parameter.
  static std::string Point(const std::vector<double>& values) {
    std::string r(6, '\0');
    for (double v : values) {
      std::string slot(12, '\0');
      std::memcpy(slot.data() + 2, &v, 8);
      r += slot;
    }
    return r;
  }

  MvlBuilder& Body(const std::string& bytes) {
    m_body += bytes;
    return *this;
  }

  std::string Build(std::uint8_t version = 6) const {
    std::string out = "MVL ";
    out += static_cast<char>(version);
    out += '\0';
    const std::uint16_t check = CheckValue(m_header);
    out += static_cast<char>(check & 0xFF);
    out += static_cast<char>(check >> 8);
    return out + m_header + m_body;
  }

 private:
  static void I16(std::string& b, std::size_t off, std::int16_t v) { std::memcpy(b.data() + off, &v, 2); }
  static void I32(std::string& b, std::size_t off, std::int32_t v) { std::memcpy(b.data() + off, &v, 4); }
  static void Str(std::string& b, std::size_t off, const std::string& utf8) {
    const std::string bytes = Utf8ToCp1251(utf8);
    b[off] = static_cast<char>(bytes.size());
    std::memcpy(b.data() + off + 1, bytes.data(), bytes.size());
  }

  std::string m_header;
  std::string m_body;
};

}  // namespace mv::test
