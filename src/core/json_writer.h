#pragma once
// JSON written as it goes, without a document in memory: objects and arrays opened and closed
// in order, keys and values between. The layout is fixed: two spaces a level, one member or
// element a line, "key": value, empty containers as {} and [], and the text ends in a newline.
// Doubles take the shortest digits that read back to the same double in the forms 40.0, 0.0001,
// 1e-05, 1.5e+20 (no more than 15 digits before the point); a value that is not a finite number
// is null. Text goes out as UTF-8 with ", \ and the control characters escaped; a byte that
// does not belong to valid UTF-8 becomes U+FFFD.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace mv {

// The characters of a double as the writer prints it; `out` holds at least kMaxDoubleChars.
inline constexpr std::size_t kMaxDoubleChars = 32;
std::size_t FormatJsonDouble(double value, char* out);

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out);
  // Flushes what is left; the document should be complete by then (Done).
  ~JsonWriter();
  JsonWriter(const JsonWriter&) = delete;
  JsonWriter& operator=(const JsonWriter&) = delete;

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The key of the next member of the open object.
  void Key(std::string_view key);

  void Null();
  void Bool(bool value);
  void Double(double value);
  void Int(std::int64_t value);
  void Uint(std::uint64_t value);
  void String(std::string_view text);

  // A value of any of the kinds above: integers of every width, doubles, bool, text.
  template <typename T>
  void Value(const T& value) {
    if constexpr (std::is_same_v<T, bool>) {
      Bool(value);
    } else if constexpr (std::is_same_v<T, std::nullptr_t>) {
      Null();
    } else if constexpr (std::is_floating_point_v<T>) {
      Double(static_cast<double>(value));
    } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
      Int(value);
    } else if constexpr (std::is_integral_v<T>) {
      Uint(value);
    } else {
      String(std::string_view(value));
    }
  }
  // "key": value.
  template <typename T>
  void Field(std::string_view key, const T& value) {
    Key(key);
    Value(value);
  }
  // "key": value, or "key": null when there is none.
  template <typename T>
  void Optional(std::string_view key, const T& value, bool present) {
    Key(key);
    if (present) {
      Value(value);
    } else {
      Null();
    }
  }

  // Ends the document with its newline and writes out what is buffered.
  void Done();

 private:
  void Element();  // the separator and indentation before a value
  void Open(char bracket);
  void Close(char bracket);
  void Put(char c) { m_buffer.push_back(c); }
  void Put(std::string_view text) { m_buffer.append(text); }
  void Indent(std::size_t level);
  void Flush();
  void FlushWhenFull() {
    if (m_buffer.size() >= kFlushSize) Flush();
  }

  static constexpr std::size_t kFlushSize = 1 << 16;
  std::ostream& m_out;
  std::string m_buffer;
  // One entry per open container: whether it holds an element yet.
  std::vector<bool> m_filled;
  bool m_afterKey = false;
};

}  // namespace mv
