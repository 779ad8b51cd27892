// Saving and restoring the start-up state as a compact table of objects.
//
// Objects are numbered in the order they are first reached; the first numbers are fixed: the three
// constants and the fourteen types, which every runtime makes for itself. Each object is written as
// its kind, its own fields, then its doc and metadata, with references as object numbers.
//
// Each kind's saved fields are described once, by a layout, and that one description writes an
// object, makes it (the first pass of a restore sets its scalars) and fills it (the second pass sets
// its references, which may point at any object of the image).
#include "startup/image.h"

#include <type_traits>
#include <unordered_map>
#include <vector>

#include "values/class.h"
#include "base/errors.h"
#include "eval/runtime.h"
#include "startup/global_environment.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/function.h"
#include "values/list.h"
#include "values/types.h"

namespace brevalon {

namespace {

std::vector<Value*> fixed_objects(const Constants& constants) {
  const Types& types = constants.types;
  return {constants.nil,     constants.true_value, constants.false_value, types.symbol,         types.dictionary,
          types.str,         types.integer,       types.cell,           types.environment,      types.class_type,
          types.floating,    types.native_function, types.function,     types.type,             types.unique,
          types.lisp_function, types.resumable_native};
}

// ---- Layouts: for each kind, a blank object and the fields saved, in order.
//
// A layout reaches its fields only through the archive `io`: scalar (a number), text, name, ref (a
// reference), refs (a list of references) and entries (pairs stored through the object's own write
// path, so that a restored dictionary or environment is built the way a program builds one).

struct NamedSymbolLayout {
  using Type = NamedSymbol;
  static Type* blank(Heap& heap) { return heap.make<NamedSymbol>(nullptr); }
  template <class Io> static void fields(Io& io, Type* symbol) { io.name(symbol->name); }
};

struct NumSymbolLayout {
  using Type = NumSymbol;
  static Type* blank(Heap& heap) { return heap.make<NumSymbol>(0); }
  template <class Io> static void fields(Io& io, Type* symbol) { io.scalar(symbol->number); }
};

struct IntegerLayout {
  using Type = Integer;
  static Type* blank(Heap& heap) { return heap.make<Integer>(0); }
  template <class Io> static void fields(Io& io, Type* integer) { io.scalar(integer->value); }
};

struct StringLayout {
  using Type = String;
  static Type* blank(Heap& heap) { return heap.make<String>(std::string()); }
  template <class Io> static void fields(Io& io, Type* string) { io.text(string->text); }
};

struct CellLayout {
  using Type = Cell;
  static Type* blank(Heap& heap) { return heap.make<Cell>(heap.constants.nil, heap.constants.nil); }
  template <class Io> static void fields(Io& io, Type* cell) {
    io.ref(cell->car);
    io.ref(cell->cdr);
  }
};

struct HashtableLayout {
  using Type = Hashtable;
  static Type* blank(Heap& heap) { return heap.make<Hashtable>(); }
  template <class Io> static void fields(Io& io, Type* table) {
    io.entries([&] { return table->entries(); },
               [&](const std::string& key, Value* value) { table->set_key(key, value); });
  }
};

struct EnvironmentLayout {
  using Type = Environment;
  static Type* blank(Heap& heap) { return heap.make<Environment>(nullptr); }
  template <class Io> static void fields(Io& io, Type* env) {
    io.ref(env->parent);
    io.entries(
        [&] {
          std::vector<std::pair<const Name*, Value*>> named;
          for (size_t i = 0; i < env->named_count(); ++i) named.emplace_back(env->named_at(i).name, env->named_at(i).value);
          return named;
        },
        [&](const Name* name, Value* value) { env->set_named(name, value); });
    io.entries(
        [&] {
          std::vector<std::pair<int64_t, Value*>> numbered;
          for (auto& binding : env->numbered()) numbered.emplace_back(binding.number, binding.value);
          return numbered;
        },
        [&](int64_t number, Value* value) { env->set_numbered(number, value); });
  }
};

struct FunctionLayout {
  using Type = Function;
  static Type* blank(Heap& heap) { return heap.make<Function>(uint8_t{0}, nullptr); }
  template <class Io> static void fields(Io& io, Type* function) {
    io.scalar(function->exec_mode);
    io.ref(function->implementation);
  }
};

struct LispFuncLayout {
  using Type = LispFunc;
  static Type* blank(Heap& heap) { return heap.make<LispFunc>(); }
  template <class Io> static void fields(Io& io, Type* lisp) {
    io.refs(lisp->parameters);
    io.ref(lisp->rest_parameter);
    io.ref(lisp->body);
    io.ref(lisp->closure);
  }
};

// Every object: its kind, the fields of its kind's layout, then the doc and metadata all values carry.
// A native is not a layout: it is saved as its place in the start-up tables and found there again.
template <class Io>
void transfer(Io& io, Value*& object) {
  switch (io.kind(object)) {
    case Kind::NamedSymbol:
      io.template record<NamedSymbolLayout>(object);
      break;
    case Kind::NumSymbol:
      io.template record<NumSymbolLayout>(object);
      break;
    case Kind::Integer:
      io.template record<IntegerLayout>(object);
      break;
    case Kind::String:
      io.template record<StringLayout>(object);
      break;
    case Kind::Cell:
      io.template record<CellLayout>(object);
      break;
    case Kind::Hashtable:
      io.template record<HashtableLayout>(object);
      break;
    case Kind::Environment:
      io.template record<EnvironmentLayout>(object);
      break;
    case Kind::Function:
      io.template record<FunctionLayout>(object);
      break;
    case Kind::LispFunc:
      io.template record<LispFuncLayout>(object);
      break;
    case Kind::NativeFunc:
    case Kind::ResumableNative:
      io.native(object);
      break;
    default:
      internal_error("start-up image: a value of a kind that start-up never makes");
  }
  io.ref(object->doc);
  io.ref(object->metadata);
}

// ---- Writing

class Writer {
 public:
  explicit Writer(Runtime& runtime) {
    std::vector<Value*> fixed = fixed_objects(runtime.heap.constants);
    for (Value* value : fixed) number(value);
    int64_t root = number(runtime.global);
    // Breadth-first over the numbering: each object's references are numbered when it is written.
    for (size_t i = fixed.size(); i < order_.size(); ++i) {
      Value* object = order_[i];
      transfer(*this, object);
    }
    std::string header;
    put_int(header, static_cast<int64_t>(order_.size()));
    put_int(header, root);
    put_int(header, runtime.num_symbol_generator);
    out_ = header + out_;
  }
  std::string take() { return std::move(out_); }

  Kind kind(Value* object) {
    put(static_cast<int64_t>(object->kind));
    return object->kind;
  }
  template <class Layout>
  void record(Value* object) {
    Layout::fields(*this, static_cast<typename Layout::Type*>(object));
  }
  void native(Value* object) {
    int index = native_index(object);
    if (index < 0) internal_error("start-up image: a native outside the start-up tables");
    put(index);
    put_text(object->kind == Kind::NativeFunc ? as<NativeFunc>(object)->name : as<ResumableNative>(object)->name);
  }

  template <class Integral>
  void scalar(Integral& field) {
    put(static_cast<int64_t>(field));
  }
  void text(std::string& field) { put_text(field); }
  void name(const Name*& field) { put_text(field->text); }
  void ref(Value* field) { put(number(field)); }
  void refs(std::vector<Value*>& list) {
    put(static_cast<int64_t>(list.size()));
    for (Value* item : list) ref(item);
  }
  template <class Items, class Add>
  void entries(Items items, Add) {
    auto&& all = items();
    put(static_cast<int64_t>(all.size()));
    for (auto& [key, value] : all) {
      put_key(key);
      ref(value);
    }
  }

 private:
  static void put_int(std::string& out, int64_t value) {
    uint64_t bits = (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
    while (bits >= 0x80) {
      out += static_cast<char>((bits & 0x7f) | 0x80);
      bits >>= 7;
    }
    out += static_cast<char>(bits);
  }
  void put(int64_t value) { put_int(out_, value); }
  void put_text(const std::string& text) {
    put(static_cast<int64_t>(text.size()));
    out_ += text;
  }
  void put_key(const std::string& key) { put_text(key); }
  void put_key(const Name* key) { put_text(key->text); }
  void put_key(int64_t key) { put(key); }
  int64_t number(Value* value) {
    if (!value) return -1;
    auto [it, fresh] = numbers_.emplace(value, static_cast<int64_t>(order_.size()));
    if (fresh) order_.push_back(value);
    return it->second;
  }

  std::unordered_map<Value*, int64_t> numbers_;
  std::vector<Value*> order_;
  std::string out_;
};

// ---- Reading

// The image being read, shared by both passes.
class ImageInput {
 public:
  ImageInput(Runtime& runtime, std::string_view image) : runtime(runtime), in_(image) {}

  // Most numbers fit one byte; start-up reads about a hundred thousand of them.
  int64_t get() {
    if (pos < in_.size() && !(static_cast<uint8_t>(in_[pos]) & 0x80)) return unzigzag(static_cast<uint8_t>(in_[pos++]));
    return get_long();
  }
  std::string get_text() {
    size_t size = static_cast<size_t>(get());
    if (size > in_.size() - pos) internal_error("start-up image is truncated");
    std::string text(in_.substr(pos, size));
    pos += size;
    return text;
  }
  void skip_text() {
    size_t size = static_cast<size_t>(get());
    if (size > in_.size() - pos) internal_error("start-up image is truncated");
    pos += size;
  }
  Value* object(int64_t number) { return number < 0 ? nullptr : objects[static_cast<size_t>(number)]; }

  Runtime& runtime;
  size_t pos = 0;
  std::vector<Value*> objects;

 private:
  static int64_t unzigzag(uint64_t bits) { return static_cast<int64_t>(bits >> 1) ^ -static_cast<int64_t>(bits & 1); }
  int64_t get_long() {
    uint64_t bits = 0;
    for (int shift = 0;; shift += 7) {
      if (pos >= in_.size()) internal_error("start-up image is truncated");
      auto byte = static_cast<uint8_t>(in_[pos++]);
      bits |= static_cast<uint64_t>(byte & 0x7f) << shift;
      if (!(byte & 0x80)) break;
    }
    return unzigzag(bits);
  }

  std::string_view in_;
};

// One pass over the objects: making sets each object's scalars, filling sets its references; each
// pass reads past what the other sets.
template <bool making>
class ReadPass {
 public:
  explicit ReadPass(ImageInput& input) : in_(input) {}

  Kind kind(Value*) { return static_cast<Kind>(in_.get()); }
  template <class Layout>
  void record(Value*& object) {
    // The global environment is made before the image is read, so it keeps its identity.
    if (making && !object) object = Layout::blank(in_.runtime.heap);
    Layout::fields(*this, static_cast<typename Layout::Type*>(object));
  }
  void native(Value*& object) {
    int index = static_cast<int>(in_.get());
    if (!making) return in_.skip_text();
    object = make_native_implementation(in_.runtime.heap, index, in_.get_text());
    if (!object) internal_error("start-up image names an unknown native");
  }

  template <class Integral>
  void scalar(Integral& field) {
    int64_t value = in_.get();
    if (making) field = static_cast<Integral>(value);
  }
  void text(std::string& field) {
    if (making) field = in_.get_text();
    else in_.skip_text();
  }
  void name(const Name*& field) {
    if (making) field = in_.runtime.heap.names.intern(in_.get_text());
    else in_.skip_text();
  }
  template <class Target>
  void ref(Target*& field) {
    int64_t number = in_.get();
    if (!making) field = static_cast<Target*>(in_.object(number));
  }
  void refs(std::vector<Value*>& list) {
    for (int64_t n = in_.get(); n > 0; --n) {
      int64_t number = in_.get();
      if (!making) list.push_back(in_.object(number));
    }
  }
  template <class Items, class Add>
  void entries(Items, Add add) {
    using Key = typename std::decay_t<std::invoke_result_t<Items>>::value_type::first_type;
    for (int64_t n = in_.get(); n > 0; --n) {
      if (making) {
        skip_key(static_cast<Key*>(nullptr));
        in_.get();
      } else {
        Key key = get_key(static_cast<Key*>(nullptr));
        add(key, in_.object(in_.get()));
      }
    }
  }

 private:
  std::string get_key(std::string*) { return in_.get_text(); }
  int64_t get_key(int64_t*) { return in_.get(); }
  const Name* get_key(const Name**) { return in_.runtime.heap.names.intern(in_.get_text()); }
  void skip_key(std::string*) { in_.skip_text(); }
  void skip_key(int64_t*) { in_.get(); }
  void skip_key(const Name**) { in_.skip_text(); }

  ImageInput& in_;
};

void read_image(Runtime& runtime, std::string_view image) {
  ImageInput input(runtime, image);
  size_t count = static_cast<size_t>(input.get());
  int64_t root = input.get();
  runtime.num_symbol_generator = input.get();
  input.objects = fixed_objects(runtime.heap.constants);
  size_t fixed_count = input.objects.size();
  input.objects.resize(count, nullptr);
  input.objects[root] = runtime.global;
  // Objects are made first and filled in afterwards, since references run in every direction.
  size_t start = input.pos;
  ReadPass<true> make(input);
  for (size_t i = fixed_count; i < count; ++i) transfer(make, input.objects[i]);
  input.pos = start;
  ReadPass<false> fill(input);
  for (size_t i = fixed_count; i < count; ++i) transfer(fill, input.objects[i]);
}

}  // namespace

std::string save_image(Runtime& runtime) { return Writer(runtime).take(); }

void load_image(Runtime& runtime, std::string_view image) { read_image(runtime, image); }

}  // namespace brevalon
