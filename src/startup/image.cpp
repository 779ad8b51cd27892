// Saving and restoring the start-up state as a compact table of objects.
//
// Objects are numbered in the order they are first reached; the first numbers are fixed: the three
// constants and the fourteen types, which every runtime makes for itself. Each object is written as
// its kind, its doc and metadata, then its own fields, with references as object numbers.
#include "startup/image.h"

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

class Writer {
 public:
  explicit Writer(Runtime& runtime) {
    std::vector<Value*> fixed = fixed_objects(runtime.heap.constants);
    for (Value* value : fixed) number(value);
    root_ = number(runtime.global);
    // Breadth-first over the numbering: each object's references are numbered when it is written.
    for (size_t i = fixed.size(); i < order_.size(); ++i) write_object(order_[i]);
    std::string header;
    put_int(header, static_cast<int64_t>(order_.size()));
    put_int(header, root_);
    put_int(header, runtime.num_symbol_generator);
    out_ = header + out_;
  }
  std::string take() { return std::move(out_); }

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
  int64_t number(Value* value) {
    if (!value) return -1;
    auto [it, fresh] = numbers_.emplace(value, static_cast<int64_t>(order_.size()));
    if (fresh) order_.push_back(value);
    return it->second;
  }
  void ref(Value* value) { put(number(value)); }

  void write_object(Value* value) {
    put(static_cast<int64_t>(value->kind));
    ref(value->doc);
    ref(value->metadata);
    switch (value->kind) {
      case Kind::NamedSymbol:
        put_text(as<NamedSymbol>(value)->name->text);
        break;
      case Kind::NumSymbol:
        put(as<NumSymbol>(value)->number);
        break;
      case Kind::Integer:
        put(as<Integer>(value)->value);
        break;
      case Kind::String:
        put_text(as<String>(value)->text);
        break;
      case Kind::Cell:
        ref(car(value));
        ref(cdr(value));
        break;
      case Kind::Hashtable: {
        auto* table = as<Hashtable>(value);
        put(static_cast<int64_t>(table->size()));
        for (auto& [key, item] : table->entries()) {
          put_text(key);
          ref(item);
        }
        break;
      }
      case Kind::Environment: {
        auto* env = as<Environment>(value);
        ref(env->parent);
        put(static_cast<int64_t>(env->named_count()));
        for (size_t i = 0; i < env->named_count(); ++i) {
          put_text(env->named_at(i).name->text);
          ref(env->named_at(i).value);
        }
        put(static_cast<int64_t>(env->numbered().size()));
        for (auto& binding : env->numbered()) {
          put(binding.number);
          ref(binding.value);
        }
        break;
      }
      case Kind::Function:
        put(as<Function>(value)->exec_mode);
        ref(as<Function>(value)->implementation);
        break;
      case Kind::LispFunc: {
        auto* lisp = as<LispFunc>(value);
        put(static_cast<int64_t>(lisp->parameters.size()));
        for (Value* parameter : lisp->parameters) ref(parameter);
        ref(lisp->rest_parameter);
        ref(lisp->body);
        ref(lisp->closure);
        break;
      }
      case Kind::NativeFunc:
      case Kind::ResumableNative: {
        int index = native_index(value);
        if (index < 0) internal_error("start-up image: a native outside the start-up tables");
        put(index);
        put_text(value->kind == Kind::NativeFunc ? as<NativeFunc>(value)->name : as<ResumableNative>(value)->name);
        break;
      }
      default:
        internal_error("start-up image: a value of a kind that start-up never makes");
    }
  }

  std::unordered_map<Value*, int64_t> numbers_;
  std::vector<Value*> order_;
  int64_t root_ = 0;
  std::string out_;
};

class Reader {
 public:
  Reader(Runtime& runtime, std::string_view image) : runtime_(runtime), in_(image) {}

  void load() {
    size_t count = static_cast<size_t>(get());
    int64_t root = get();
    runtime_.num_symbol_generator = get();
    objects_ = fixed_objects(runtime_.heap.constants);
    size_t fixed_count = objects_.size();
    objects_.resize(count, nullptr);
    // The global environment already exists: it keeps its identity and receives the saved bindings.
    objects_[root] = runtime_.global;
    // Objects are made first and filled in afterwards, since references run in every direction.
    size_t start = pos_;
    for (size_t i = fixed_count; i < count; ++i) make_object(i);
    pos_ = start;
    for (size_t i = fixed_count; i < count; ++i) fill_object(objects_[i]);
  }

 private:
  int64_t get() {
    uint64_t bits = 0;
    for (int shift = 0;; shift += 7) {
      if (pos_ >= in_.size()) internal_error("start-up image is truncated");
      auto byte = static_cast<uint8_t>(in_[pos_++]);
      bits |= static_cast<uint64_t>(byte & 0x7f) << shift;
      if (!(byte & 0x80)) break;
    }
    return static_cast<int64_t>(bits >> 1) ^ -static_cast<int64_t>(bits & 1);
  }
  std::string get_text() {
    size_t size = static_cast<size_t>(get());
    std::string text(in_.substr(pos_, size));
    pos_ += size;
    return text;
  }
  Value* object(int64_t number) { return number < 0 ? nullptr : objects_[static_cast<size_t>(number)]; }

  // First pass: make each object with its scalar fields; skip its references.
  void make_object(size_t i) {
    Heap& heap = runtime_.heap;
    auto kind = static_cast<Kind>(get());
    get();  // doc
    get();  // metadata
    Value* made = nullptr;
    switch (kind) {
      case Kind::NamedSymbol:
        made = heap.make<NamedSymbol>(heap.names.intern(get_text()));
        break;
      case Kind::NumSymbol:
        made = heap.make<NumSymbol>(get());
        break;
      case Kind::Integer:
        made = heap.make<Integer>(get());
        break;
      case Kind::String:
        made = heap.make<String>(get_text());
        break;
      case Kind::Cell:
        get();
        get();
        made = heap.make<Cell>(heap.constants.nil, heap.constants.nil);
        break;
      case Kind::Hashtable: {
        made = heap.make<Hashtable>();
        for (int64_t n = get(); n > 0; --n) {
          get_text();
          get();
        }
        break;
      }
      case Kind::Environment: {
        get();
        for (int64_t n = get(); n > 0; --n) {
          get_text();
          get();
        }
        for (int64_t n = get(); n > 0; --n) {
          get();
          get();
        }
        made = objects_[i] ? objects_[i] : heap.make<Environment>(nullptr);
        break;
      }
      case Kind::Function: {
        auto mode = static_cast<uint8_t>(get());
        get();
        made = heap.make<Function>(mode, nullptr);
        break;
      }
      case Kind::LispFunc: {
        for (int64_t n = get(); n > 0; --n) get();
        get();
        get();
        get();
        made = heap.make<LispFunc>();
        break;
      }
      case Kind::NativeFunc:
      case Kind::ResumableNative: {
        int index = static_cast<int>(get());
        made = make_native_implementation(heap, index, get_text());
        if (!made) internal_error("start-up image names an unknown native");
        break;
      }
      default:
        internal_error("start-up image holds an unknown kind of value");
    }
    objects_[i] = made;
  }

  // Second pass: the same records again, now setting every reference.
  void fill_object(Value* value) {
    get();  // kind, known from the object
    value->doc = object(get());
    value->metadata = object(get());
    switch (value->kind) {
      case Kind::NamedSymbol:
        get_text();
        break;
      case Kind::NumSymbol:
      case Kind::Integer:
        get();
        break;
      case Kind::String:
        get_text();
        break;
      case Kind::Cell:
        as<Cell>(value)->car = object(get());
        as<Cell>(value)->cdr = object(get());
        break;
      case Kind::Hashtable:
        for (int64_t n = get(); n > 0; --n) {
          std::string key = get_text();
          as<Hashtable>(value)->set_key(key, object(get()));
        }
        break;
      case Kind::Environment: {
        auto* env = as<Environment>(value);
        env->parent = as<Environment>(object(get()));
        for (int64_t n = get(); n > 0; --n) {
          const Name* name = runtime_.heap.names.intern(get_text());
          env->set_named(name, object(get()));
        }
        for (int64_t n = get(); n > 0; --n) {
          int64_t number = get();
          env->set_numbered(number, object(get()));
        }
        break;
      }
      case Kind::Function:
        get();
        as<Function>(value)->implementation = object(get());
        break;
      case Kind::LispFunc: {
        auto* lisp = as<LispFunc>(value);
        for (int64_t n = get(); n > 0; --n) lisp->parameters.push_back(object(get()));
        lisp->rest_parameter = object(get());
        lisp->body = object(get());
        lisp->closure = as<Environment>(object(get()));
        break;
      }
      default:
        get();
        get_text();
        break;
    }
  }

  Runtime& runtime_;
  std::string_view in_;
  size_t pos_ = 0;
  std::vector<Value*> objects_;
};

}  // namespace

std::string save_image(Runtime& runtime) { return Writer(runtime).take(); }

void load_image(Runtime& runtime, std::string_view image) { Reader(runtime, image).load(); }

}  // namespace brevalon
