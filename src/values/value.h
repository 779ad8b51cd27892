// The value model: every datum a program can see is a heap object derived from Value.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace brevalon {

enum class Kind : uint8_t {
  Unique,
  NamedSymbol,
  NumSymbol,
  Integer,
  Floating,
  String,
  Cell,
  Hashtable,
  Environment,
  Function,
  LispFunc,
  NativeFunc,
  ResumableNative,
  Type,
  Class,
  Instance,
};
constexpr int kind_count = 16;

struct Value;

// Reports the values an object holds to the collector; a missing edge is a freed live value.
struct Visitor {
  virtual void visit(Value* value) = 0;
  void operator()(Value* value) {
    if (value) visit(value);
  }

 protected:
  ~Visitor() = default;
};

struct Value {
  explicit Value(Kind k) : kind(k) {}
  virtual ~Value() = default;
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;

  // A kind that holds no values has no edges. A value's doc and metadata are not its edges: the
  // heap keeps them in its doc table and marks them with the value.
  virtual void visit_edges(Visitor&) {}

  // Bytes the value owns outside its own object (a string's text), counted towards collection.
  virtual size_t footprint() const { return 0; }

  // A counter that every change of the value's edges bumps, for a kind whose one write path keeps
  // one; null for the others. While it holds what it held when the start-up image was sealed, a
  // value of the image still holds only values of the image.
  virtual const uint64_t* edges_version() const { return nullptr; }

  // False for a kind that owns nothing outside its own object: the collector then frees a dead one
  // without running its destructor. A kind derived from such a kind that owns memory sets it back.
  static constexpr bool needs_destructor = true;

  Kind kind;
  bool marked = false;  // a large object's mark; small ones are marked in their chunk's bitmap
  uint8_t size_class = 0;  // the heap's slot size in 16-byte units; 0 for a large object
  bool in_doc_table = false;  // whether the heap's doc table has an entry for it
};

// Every value pays for its header, so it holds only what most values use: with two pointers more, a
// cell or an integer would take a 48-byte slot instead of 32.
static_assert(sizeof(Value) == 16);

template <typename T>
T* as(Value* value) {
  return static_cast<T*>(value);
}

}  // namespace brevalon
