// Fuzz target: = and both printers over deep and shared data built by a small stack machine whose
// program is the input; each value is built twice, and the two copies must compare and print alike.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/errors.h"
#include "eval/runtime.h"
#include "fuzz_support.h"
#include "printer/printer.h"
#include "values/class.h"
#include "values/dictionary.h"
#include "values/environment.h"
#include "values/equality.h"
#include "values/function.h"
#include "values/list.h"
#include "values/scalars.h"
#include "values/symbol.h"
#include "values/types.h"

using namespace brevalon;

namespace {

Runtime* runtime;

// Bounds that keep one input fast: the literal form of any value built stays under a few MiB, and
// a comparison under a few million steps, however much the value shares or nests.
constexpr uint64_t max_text = uint64_t{4} << 20;
constexpr uint64_t max_steps = uint64_t{4} << 20;
constexpr size_t max_stack = 64;

// A built value with what printing and comparing it may cost, estimated from above.
struct Built {
  Value* value;
  uint64_t text;   // bytes of its literal form
  uint64_t lines;  // newlines in it
  uint64_t steps;  // pairs a comparison of two copies visits
  // Holds a function or class made by this build: compared by identity, so the two copies differ.
  bool made_identity = false;
};

uint64_t capped(uint64_t amount) { return std::min(amount, max_text * 16); }

// Runs the input as a program over a stack of values. The same input always builds the same
// structure out of fresh objects (except the run's constants and types).
class Builder {
 public:
  Builder(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  std::vector<Built> run() {
    while (position_ < size_) step(next());
    return stack_;
  }

 private:
  uint8_t next() { return position_ < size_ ? data_[position_++] : 0; }
  Heap& heap() { return runtime->heap; }

  std::string text(size_t length) {
    std::string made;
    for (size_t i = 0; i < length; ++i) {
      uint8_t byte = next();
      // Mostly letters; now and then the bytes that shape a block: a newline, a space, a quote.
      made += byte < 200 ? char('a' + byte % 26) : "\n \"()"[byte % 5];
    }
    return made;
  }
  const Name* name() {
    std::string made = text(1 + next() % 4);
    return heap().names.intern(made);
  }

  void push(Value* value, uint64_t text, uint64_t lines, uint64_t steps, bool made_identity = false) {
    if (stack_.size() == max_stack || text > max_text || steps > max_steps) return;
    stack_.push_back({value, capped(text), capped(lines), capped(steps), made_identity});
  }
  bool has(size_t count) const { return stack_.size() >= count; }
  Built pop() {
    Built top = stack_.back();
    stack_.pop_back();
    return top;
  }

  void step(uint8_t op) {
    uint8_t argument = next();
    switch (op % 16) {
      case 0:
        push(heap().make<Integer>(int64_t(argument) - 128), 4, 0, 1);
        return;
      case 1: {
        std::string made = text(argument % 8);
        uint64_t lines = uint64_t(std::count(made.begin(), made.end(), '\n'));
        push(heap().make<String>(made), made.size() + 2, lines, 1);
        return;
      }
      case 2: {
        const Name* made = name();
        push(heap().make<NamedSymbol>(made), made->text.size(), 0, 1);
        return;
      }
      case 3:
        push(heap().make<NumSymbol>(argument), 16, 0, 1);
        return;
      case 4: {
        const Constants& c = heap().constants;
        Value* constants[] = {c.nil, c.true_value, c.false_value, c.types.integer, c.types.dictionary};
        push(constants[argument % 5], 20, 0, 1);
        return;
      }
      case 5:
        if (has(2)) {
          Built cdr_part = pop();
          Built car_part = pop();
          push(heap().make<Cell>(car_part.value, cdr_part.value), car_part.text + cdr_part.text + 5,
               car_part.lines + cdr_part.lines, car_part.steps + cdr_part.steps + 1,
               car_part.made_identity || cdr_part.made_identity);
        }
        return;
      case 6:
        make_list(argument % 5);
        return;
      case 7:
        nest_in_lists(uint64_t(argument) << (next() % 12));
        return;
      case 8:
        nest_in_dictionaries(argument % 64);
        return;
      case 9:
        make_dictionary(argument % 4);
        return;
      case 10:
        make_environment_block(argument % 4);
        return;
      case 11:
        // Sharing: the same object twice, so a list holding both doubles its text and comparison.
        if (has(1)) {
          Built top = stack_.back();
          push(top.value, top.text, top.lines, top.steps, top.made_identity);
        }
        return;
      case 12:
        make_function(argument);
        return;
      case 13:
        make_class(argument % 3);
        return;
      case 14:
        push(heap().make<Floating>(double(argument) / 7), 16, 0, 1);
        return;
      case 15:
        if (has(2)) std::swap(stack_.back(), stack_[stack_.size() - 2]);
        return;
    }
  }

  void make_list(size_t count) {
    if (!has(count)) return;
    Value* list = heap().constants.nil;
    uint64_t text = 2, lines = 0, steps = 1;
    bool made_identity = false;
    for (size_t i = 0; i < count; ++i) {
      Built item = pop();
      list = heap().make<Cell>(item.value, list);
      text += item.text + 1;
      lines += item.lines;
      steps += item.steps + 1;
      made_identity |= item.made_identity;
    }
    push(list, text, lines, steps, made_identity);
  }

  void nest_in_lists(uint64_t depth) {
    if (!has(1) || depth == 0) return;
    Built inner = pop();
    if (inner.text + 2 * depth > max_text || inner.steps + 2 * depth > max_steps) return;
    Value* value = inner.value;
    for (uint64_t i = 0; i < depth; ++i) value = heap().make<Cell>(value, heap().constants.nil);
    push(value, inner.text + 2 * depth, inner.lines, inner.steps + 2 * depth, inner.made_identity);
  }

  // Each level indents every line below it by the entry's width: the text grows with the square
  // of the depth, hence the small depths.
  void nest_in_dictionaries(uint64_t depth) {
    if (!has(1)) return;
    Built built = pop();
    std::string key = text(1 + next() % 3);
    for (uint64_t i = 0; i < depth && built.text <= max_text; ++i) {
      auto* table = heap().make<Hashtable>();
      table->set_key(key, built.value);
      built = {table, capped(built.text + 16 + key.size() + (7 + key.size()) * (built.lines + 1)), built.lines + 1,
               built.steps + 1, built.made_identity};
    }
    push(built.value, built.text, built.lines, built.steps, built.made_identity);
  }

  void make_dictionary(size_t count) {
    if (!has(count)) return;
    auto* table = heap().make<Hashtable>();
    uint64_t text = 8, lines = 0, steps = 1;
    bool made_identity = false;
    for (size_t i = 0; i < count; ++i) {
      Built value = pop();
      std::string key = text_key(i);
      table->set_key(key, value.value);
      text += value.text + 16 + key.size() + (7 + key.size()) * (value.lines + 1);
      lines += value.lines + 1;
      steps += value.steps + 1;
      made_identity |= value.made_identity;
    }
    push(table, text, lines, steps, made_identity);
  }
  std::string text_key(size_t index) { return text(next() % 3) + char('0' + index); }

  // An environment binding popped values to fresh names, its parent the value below them when
  // that is an environment.
  void make_environment_block(size_t count) {
    if (!has(count)) return;
    std::vector<Built> values;
    for (size_t i = 0; i < count; ++i) values.push_back(pop());
    Environment* parent = nullptr;
    uint64_t text = 12, lines = 0, steps = 1;
    if (has(1) && stack_.back().value->kind == Kind::Environment) {
      Built below = pop();
      parent = as<Environment>(below.value);
      text += below.text + 8 + 6 * (below.lines + 1);
      lines += below.lines + 1;
    }
    Environment* env = make_environment(heap(), parent);
    auto bound = [&](const Built& value, size_t key_size) {
      text += value.text + 16 + key_size + (6 + key_size) * (value.lines + 1);
      lines += value.lines + 1;
    };
    for (Built& value : values) {
      const Name* key = name();
      env->set_named(key, value.value);
      bound(value, key->text.size());
    }
    // A generated symbol's binding, shown after the named ones.
    if (!values.empty() && next() % 2) {
      env->set_numbered(next(), values.front().value);
      bound(values.front(), 16);
    }
    push(env, text, lines, steps);
  }

  void make_function(uint8_t argument) {
    if (!has(1)) return;
    Built body = pop();
    auto* lisp = heap().make<LispFunc>();
    uint64_t text = body.text + 48;
    Value* parameters = heap().constants.nil;
    uint32_t count = 0;
    for (int i = argument % 3; i > 0; --i, ++count) {
      const Name* parameter = name();
      parameters = heap().make<Cell>(heap().make<NamedSymbol>(parameter), parameters);
      text += parameter->text.size() + 1;
    }
    lisp->parameters = ParameterList(parameters, count);
    if (argument & 4) lisp->rest_parameter = heap().make<NamedSymbol>(name());
    text += 8;
    // Sometimes a body that is not a list at all, which is written nil.
    lisp->body = argument & 8 ? body.value : heap().make<Cell>(body.value, heap().constants.nil);
    lisp->closure = runtime->global;
    push(heap().make<Function>(uint8_t((argument >> 4) % 4), lisp), text + 32, body.lines, 1, true);
  }

  void make_class(size_t parents) {
    auto* cls = heap().make<Class>();
    uint64_t text = 24, lines = 0;
    for (size_t i = 0; i < parents && has(1) && stack_.back().value->kind == Kind::Class; ++i) {
      Built parent = pop();
      cls->parents.push_back(parent.value);
      text += parent.text + 1;
      lines += parent.lines;
    }
    for (int i = next() % 3; i > 0; --i) {
      cls->own_attributes.push_back(name());
      text += cls->own_attributes.back()->text.size() + 1;
    }
    push(cls, text, lines, 1, true);
  }

  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  std::vector<Built> stack_;
};

// Either form's text, or the note of the error it stopped with.
std::string printed(Value* value, bool literal) {
  try {
    return literal ? represent(value) : to_string(value);
  } catch (const InternalError& error) {
    return "error: " + error.note;
  }
}

// The verdict of =, with "uncomparable" when it meets a value without equality.
enum class Verdict { equal, different, uncomparable };
Verdict compare(Value* a, Value* b) {
  Value* uncomparable = nullptr;
  bool equal = values_equal(a, b, uncomparable);
  if (uncomparable) return Verdict::uncomparable;
  return equal ? Verdict::equal : Verdict::different;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzing::silence_standard_output();
  runtime = new Runtime();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Two builds of one program: equal structures made of different objects. Nothing is collected
  // while they are built and checked, so they need no roots.
  std::vector<Built> first = Builder(data, size).run();
  std::vector<Built> second = Builder(data, size).run();
  if (first.size() != second.size()) fuzzing::broken("the same program built different stacks");
  try {
    for (size_t i = 0; i < first.size(); ++i) {
      Value* a = first[i].value;
      Value* b = second[i].value;
      if (compare(a, a) == Verdict::different) fuzzing::broken("a value differs from itself");
      if (!first[i].made_identity && compare(a, b) == Verdict::different)
        fuzzing::broken("two copies of a value compare different");
      if (printed(a, true) != printed(b, true)) fuzzing::broken("two copies of a value have different literal forms");
      if (printed(a, false) != printed(b, false)) fuzzing::broken("two copies of a value display differently");
      if (i == 0) continue;
      // Equal values stay equal whichever comes first; only where a value without equality is met
      // may differ with the order of the walk.
      Verdict forward = compare(first[i - 1].value, a);
      Verdict backward = compare(a, first[i - 1].value);
      if (forward != Verdict::uncomparable && backward != Verdict::uncomparable && forward != backward)
        fuzzing::broken("= gives different verdicts in the two orders");
    }
  } catch (const InternalError&) {
    // The step limit; the estimates keep inputs below it, but stopping there is the described result.
  }
  // Nothing built is a root: the collection reclaims all of it and checks the heap's links.
  runtime->heap.collect();
  return 0;
}
