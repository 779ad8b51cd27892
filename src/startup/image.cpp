// Saving and restoring the start-up state as a compact table of objects.
//
// Objects are numbered in the order they are first reached; the first numbers are fixed: the three
// constants and the fourteen types, which every runtime makes for itself. The image holds three
// sections: the text of every name once, the kind of each object (with a native's place in the
// start-up tables, and whether it has a doc and metadata), then each object's own fields followed by
// the doc and metadata it has, with references as object numbers and names as their place in the
// first section.
//
// Each kind's saved fields are described once, by a layout, and that one description writes an
// object and fills it in. A restore makes every object from the kinds alone, then fills them all in
// one pass over the fields, since references may point at any object of the image.
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
          for (size_t i = 0; i < env->numbered_count(); ++i) {
            NumberedBinding binding = env->numbered_at(i);
            numbered.emplace_back(binding.number, binding.value);
          }
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
    io.ref(lisp->parameters.list());
    io.scalar(lisp->parameters.count());
    io.ref(lisp->rest_parameter);
    io.ref(lisp->body);
    io.ref(lisp->closure);
  }
};

// Calls `use.template operator()<Layout>()` with the layout of a kind that has one. Inlined into
// the restore's loops, where a call for each of thousands of cells would cost more than the work.
template <class Use>
[[gnu::always_inline]] inline void with_layout(Kind kind, Use&& use) {
  switch (kind) {
    case Kind::NamedSymbol:
      return use.template operator()<NamedSymbolLayout>();
    case Kind::NumSymbol:
      return use.template operator()<NumSymbolLayout>();
    case Kind::Integer:
      return use.template operator()<IntegerLayout>();
    case Kind::String:
      return use.template operator()<StringLayout>();
    case Kind::Cell:
      return use.template operator()<CellLayout>();
    case Kind::Hashtable:
      return use.template operator()<HashtableLayout>();
    case Kind::Environment:
      return use.template operator()<EnvironmentLayout>();
    case Kind::Function:
      return use.template operator()<FunctionLayout>();
    case Kind::LispFunc:
      return use.template operator()<LispFuncLayout>();
    default:
      internal_error("start-up image: a value of a kind that start-up never makes");
  }
}

bool is_native(Kind kind) { return kind == Kind::NativeFunc || kind == Kind::ResumableNative; }

// Few objects carry a doc or metadata, so the kinds section says which do, beside the kind.
constexpr uint8_t kind_mask = 0x1f;
constexpr uint8_t has_doc = 0x20;
constexpr uint8_t has_metadata = 0x40;
static_assert(kind_count <= kind_mask + 1);

// Every object's fields: those of its kind's layout, then whichever of the doc and metadata all
// values can carry it has (`extras`, from the kinds section). A native has no fields of its own: it
// is saved with its kind, as its place in the start-up tables.
template <class Io>
[[gnu::always_inline]] inline void transfer(Io& io, Value* object, uint8_t extras) {
  if (!is_native(object->kind))
    with_layout(object->kind, [&]<class Layout>() { Layout::fields(io, static_cast<typename Layout::Type*>(object)); });
  if (extras & has_doc) io.doc(object);
  if (extras & has_metadata) io.metadata(object);
}

// ---- Writing

void put_int(std::string& out, int64_t value) {
  uint64_t bits = (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
  while (bits >= 0x80) {
    out += static_cast<char>((bits & 0x7f) | 0x80);
    bits >>= 7;
  }
  out += static_cast<char>(bits);
}

void put_text(std::string& out, const std::string& text) {
  put_int(out, static_cast<int64_t>(text.size()));
  out += text;
}

class Writer {
 public:
  explicit Writer(Runtime& runtime) : heap_(runtime.heap) {
    std::vector<Value*> fixed = fixed_objects(runtime.heap.constants);
    for (Value* value : fixed) number(value);
    int64_t root = number(runtime.global);
    // Breadth-first over the numbering: each object's references are numbered when it is written.
    for (size_t i = fixed.size(); i < order_.size(); ++i) {
      Value* object = order_[i];
      auto extras = static_cast<uint8_t>((heap_.doc_of(object) ? has_doc : 0) |
                                         (heap_.metadata_of(object) ? has_metadata : 0));
      kinds_ += static_cast<char>(static_cast<uint8_t>(object->kind) | extras);
      if (is_native(object->kind)) native(object);
      transfer(*this, object, extras);
    }
    put_int(out_, static_cast<int64_t>(order_.size()));
    put_int(out_, root);
    put_int(out_, runtime.num_symbol_generator);
    put_int(out_, static_cast<int64_t>(name_order_.size()));
    for (const Name* name : name_order_) put_text(out_, name->text);
    out_ += kinds_;
    out_ += fields_;
  }
  std::string take() { return std::move(out_); }

  template <class Integral>
  void scalar(Integral& field) {
    put(static_cast<int64_t>(field));
  }
  void text(std::string& field) { put_text(fields_, field); }
  void name(const Name*& field) { put(name_number(field)); }
  void ref(Value* field) { put(number(field)); }
  void doc(Value* object) { ref(heap_.doc_of(object)); }
  void metadata(Value* object) { ref(heap_.metadata_of(object)); }
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
  void native(Value* object) {
    int index = native_index(object);
    if (index < 0) internal_error("start-up image: a native outside the start-up tables");
    put_int(kinds_, index);
    put_text(kinds_, object->kind == Kind::NativeFunc ? as<NativeFunc>(object)->name : as<ResumableNative>(object)->name);
  }
  void put(int64_t value) { put_int(fields_, value); }
  void put_key(const std::string& key) { put_text(fields_, key); }
  void put_key(const Name* key) { put(name_number(key)); }
  void put_key(int64_t key) { put(key); }
  int64_t number(Value* value) {
    if (!value) return -1;
    auto [it, fresh] = numbers_.emplace(value, static_cast<int64_t>(order_.size()));
    if (fresh) order_.push_back(value);
    return it->second;
  }
  int64_t name_number(const Name* name) {
    auto [it, fresh] = name_numbers_.emplace(name, static_cast<int64_t>(name_order_.size()));
    if (fresh) name_order_.push_back(name);
    return it->second;
  }

  Heap& heap_;
  std::unordered_map<Value*, int64_t> numbers_;
  std::vector<Value*> order_;
  std::unordered_map<const Name*, int64_t> name_numbers_;
  std::vector<const Name*> name_order_;
  std::string kinds_;
  std::string fields_;
  std::string out_;
};

// ---- Reading

// The image being read: a cursor over its bytes, the names and the objects made so far.
class ImageInput {
 public:
  ImageInput(Runtime& runtime, std::string_view image) : runtime(runtime), in_(image) {}

  // Numbers of one or two bytes, the references among them, are read inline: start-up reads tens
  // of thousands of them.
  [[gnu::always_inline]] int64_t get() {
    if (pos_ + 1 < in_.size()) {
      auto first = static_cast<uint8_t>(in_[pos_]);
      if (!(first & 0x80)) {
        pos_ += 1;
        return unzigzag(first);
      }
      auto second = static_cast<uint8_t>(in_[pos_ + 1]);
      if (!(second & 0x80)) {
        pos_ += 2;
        return unzigzag((first & 0x7fu) | (uint64_t{second} << 7));
      }
    }
    return get_long();
  }
  std::string_view get_text() {
    size_t size = static_cast<size_t>(get());
    if (size > in_.size() - pos_) internal_error("start-up image is truncated");
    std::string_view text = in_.substr(pos_, size);
    pos_ += size;
    return text;
  }
  // The image was made by this build, from numbers it gave out, so they need no range check.
  Value* object(int64_t number) { return number < 0 ? nullptr : objects[static_cast<size_t>(number)]; }
  uint8_t get_byte() {
    if (pos_ >= in_.size()) internal_error("start-up image is truncated");
    return static_cast<uint8_t>(in_[pos_++]);
  }
  const Name* name(int64_t number) { return names[static_cast<size_t>(number)]; }

  Runtime& runtime;
  std::vector<Value*> objects;
  std::vector<uint8_t> extras;  // each object's has_doc and has_metadata
  std::vector<const Name*> names;

 private:
  static int64_t unzigzag(uint64_t bits) { return static_cast<int64_t>(bits >> 1) ^ -static_cast<int64_t>(bits & 1); }
  int64_t get_long() {
    uint64_t bits = 0;
    for (int shift = 0;; shift += 7) {
      if (pos_ >= in_.size() || shift > 63) internal_error("start-up image is truncated");
      auto byte = static_cast<uint8_t>(in_[pos_++]);
      bits |= static_cast<uint64_t>(byte & 0x7f) << shift;
      if (!(byte & 0x80)) break;
    }
    return unzigzag(bits);
  }

  size_t pos_ = 0;
  std::string_view in_;
};

// Fills in the objects made from the kinds: scalars and references in one pass over the fields.
class Filler {
 public:
  explicit Filler(ImageInput& input) : in_(input) {}

  template <class Integral>
  void scalar(Integral& field) {
    field = static_cast<Integral>(in_.get());
  }
  void text(std::string& field) { field = in_.get_text(); }
  void name(const Name*& field) { field = in_.name(in_.get()); }
  template <class Target>
  [[gnu::always_inline]] void ref(Target*& field) {
    field = static_cast<Target*>(in_.object(in_.get()));
  }
  void doc(Value* object) { in_.runtime.heap.set_doc(object, in_.object(in_.get())); }
  void metadata(Value* object) { in_.runtime.heap.set_metadata(object, in_.object(in_.get())); }
  void refs(std::vector<Value*>& list) {
    int64_t count = in_.get();
    list.reserve(static_cast<size_t>(count > 0 ? count : 0));
    for (int64_t n = count; n > 0; --n) list.push_back(in_.object(in_.get()));
  }
  template <class Items, class Add>
  void entries(Items, Add add) {
    using Key = typename std::decay_t<std::invoke_result_t<Items>>::value_type::first_type;
    for (int64_t n = in_.get(); n > 0; --n) {
      Key key = get_key(static_cast<Key*>(nullptr));
      add(key, in_.object(in_.get()));
    }
  }

 private:
  std::string get_key(std::string*) { return std::string(in_.get_text()); }
  int64_t get_key(int64_t*) { return in_.get(); }
  const Name* get_key(const Name**) { return in_.name(in_.get()); }

  ImageInput& in_;
};

std::vector<Value*> read_image(Runtime& runtime, std::string_view image) {
  Heap& heap = runtime.heap;
  ImageInput input(runtime, image);
  size_t count = static_cast<size_t>(input.get());
  int64_t root = input.get();
  runtime.num_symbol_generator = input.get();
  input.names.resize(static_cast<size_t>(input.get()));
  for (const Name*& name : input.names) name = heap.names.intern(input.get_text());
  input.objects = fixed_objects(heap.constants);
  size_t fixed_count = input.objects.size();
  if (count < fixed_count || root < 0 || static_cast<size_t>(root) >= count) internal_error("start-up image is damaged");
  input.objects.reserve(count);
  input.extras.reserve(count);
  input.extras.resize(fixed_count, 0);
  std::vector<Value*> scopes_and_tables;
  for (size_t i = fixed_count; i < count; ++i) {
    uint8_t kind_and_extras = input.get_byte();
    auto kind = static_cast<Kind>(kind_and_extras & kind_mask);
    input.extras.push_back(kind_and_extras & (has_doc | has_metadata));
    Value* object;
    if (is_native(kind)) {
      int index = static_cast<int>(input.get());
      object = make_native_implementation(heap, index, std::string(input.get_text()));
      if (!object) internal_error("start-up image names an unknown native");
    } else if (i == static_cast<size_t>(root)) {
      // The global environment is made before the image is read, so it keeps its identity.
      object = runtime.global;
    } else {
      with_layout(kind, [&]<class Layout>() { object = Layout::blank(heap); });
    }
    if (kind == Kind::Environment || kind == Kind::Hashtable) scopes_and_tables.push_back(object);
    input.objects.push_back(object);
  }
  Filler fill(input);
  for (size_t i = fixed_count; i < count; ++i) transfer(fill, input.objects[i], input.extras[i]);
  return scopes_and_tables;
}

}  // namespace

std::string save_image(Runtime& runtime) { return Writer(runtime).take(); }

std::vector<Value*> load_image(Runtime& runtime, std::string_view image) { return read_image(runtime, image); }

}  // namespace brevalon
