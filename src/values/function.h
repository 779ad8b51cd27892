// Functions: the wrapper programs handle, with its execution mode, and the three implementations.
#pragma once
#include <string>
#include <vector>

#include "values/list.h"
#include "values/value.h"

namespace brevalon {

class Interpreter;
struct Environment;
class FramePools;
struct ResumableState;

using NativeRoutine = Value* (*)(Interpreter&, Environment*, Value* arguments);
using ResumableFactory = ResumableState* (*)(FramePools&);
class Heap;
// A native's routine for a call with exactly its usual number of operands, taken in place (the
// values, or for a form that does not evaluate its operands the forms): what the routine would
// do and return given a list of them, or null, having done nothing, where the routine would fail,
// so that the routine itself runs and fails in its own frame.
using QuickRoutine = Value* (*)(Heap&, Environment*, Value* const* operands);
// The quick arity of a native whose routine takes its operand forms as one list, operands[0],
// however many there are (fn): the routine refuses what the native or its call would.
constexpr uint8_t quick_operand_list = 0xFF;

enum ExecMode : uint8_t { mode_function = 0, mode_macro = 1, mode_no_eval = 2, mode_no_expand = 3 };

struct Function : Value {
  static constexpr bool needs_destructor = false;
  Function(uint8_t mode, Value* impl) : Value(Kind::Function), exec_mode(mode), implementation(impl) {}
  void visit_edges(Visitor& visit) override {
    visit(implementation);
  }
  uint8_t exec_mode;
  Value* implementation;
};

// The fixed parameters of a function: the first `count` elements of its parameter list as written
// (the part before any ". rest"). No program can change a list's cells, so they are shared, not
// copied, and making a closure allocates nothing outside its own two objects.
class ParameterList {
 public:
  ParameterList() = default;
  ParameterList(Value* list, uint32_t count) : list_(list), count_(count) {}

  class Iterator {
   public:
    Iterator(Value* cell, uint32_t left) : cell_(cell), left_(left) {}
    Value* operator*() const { return static_cast<Cell*>(cell_)->car; }
    Iterator& operator++() {
      cell_ = static_cast<Cell*>(cell_)->cdr;
      --left_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return left_ == other.left_; }

   private:
    Value* cell_;
    uint32_t left_;
  };
  Iterator begin() const { return Iterator(list_, count_); }
  Iterator end() const { return Iterator(nullptr, 0); }
  size_t size() const { return count_; }
  Value* operator[](size_t i) const {
    Value* cell = list_;
    while (i--) cell = static_cast<Cell*>(cell)->cdr;
    return static_cast<Cell*>(cell)->car;
  }
  // The list's first cell, which keeps all the parameters alive.
  Value*& list() { return list_; }
  uint32_t& count() { return count_; }

 private:
  Value* list_ = nullptr;
  uint32_t count_ = 0;
};

struct LispFunc : Value {
  static constexpr bool needs_destructor = false;
  LispFunc() : Value(Kind::LispFunc) {}
  void visit_edges(Visitor& visit) override;
  ParameterList parameters;
  Value* rest_parameter = nullptr;
  // The bindings a call binds in its new scope.
  size_t binding_count() const { return parameters.size() + (rest_parameter ? 1 : 0); }
  Value* body = nullptr;  // the body forms as a proper list, exactly as received
  Environment* closure = nullptr;
  // Whether the body is the generic dispatcher's text, worked out by the fast paths at the first
  // call; a dispatcher then has `generic`, which the function owns.
  enum class GenericShape : uint8_t { unknown, dispatcher, other };
  GenericShape generic_shape = GenericShape::unknown;
  // What native dispatch keeps on a generic function. Most functions are none, and a closure made
  // at every call (a let's, a lambda's) should not carry it.
  struct Generic {
    // The method-store key in the body, which keeps it alive.
    Value* key;
    // The method native dispatch picked at the last call, for one or two arguments of the types
    // `types` (the second null for one), while method-store's version is `version`: what filter
    // and match-types pick depends on nothing else (a class's parents never change).
    Value* types[2] = {nullptr, nullptr};
    Value* method = nullptr;
    uint64_t version = 0;
    uint32_t methods = 0;
  };
  Generic* generic = nullptr;
  ~LispFunc() override { delete generic; }
  // Makes `generic` for the method-store key `key`; the collector destroys the function when it dies.
  void become_generic(Value* key);
  // Non-zero on the prelude functions a fast path can compute natively (see eval/fast).
  uint8_t prelude_role = 0;
  // Whether the parameters are distinct names, none of them reserved, and no rest
  // parameter: then each binds a name its new scope has not bound yet. Worked out at the first call.
  enum class ParameterShape : uint8_t { unknown, distinct_names, other };
  ParameterShape parameter_shape = ParameterShape::unknown;
  // Whether every parameter's name is bound in more than one scope, which stays so: a call then
  // binds them without looking at their homes (see Environment::bind_scattered_in_slot).
  bool parameters_scattered = false;
  // What a direct call of it looks for in its body, worked out at the first (see run_body_of in
  // eval/fast/direct.cpp): a body of one form shaped as a call of `if`, or anything else.
  enum class BodyShape : uint8_t { unknown, if_shaped, other };
  BodyShape body_shape = BodyShape::unknown;
};

struct NativeFunc : Value {
  NativeFunc(std::string n, NativeRoutine r) : Value(Kind::NativeFunc), routine(r), name(std::move(n)) {}
  // Set on a few natives by start-up; used only by the fast paths. First, beside the kind, which
  // a quick call reads with them.
  uint8_t quick_arity = 0;
  bool quick_has_effects = false;  // beyond making new values
  QuickRoutine quick = nullptr;
  NativeRoutine routine;
  std::string name;
};

struct ResumableNative : Value {
  ResumableNative(std::string n, ResumableFactory f) : Value(Kind::ResumableNative), name(std::move(n)), factory(f) {}
  std::string name;
  ResumableFactory factory;
};


}  // namespace brevalon
