#!/usr/bin/env bash
# Resource exhaustion and large work: every run ends by itself, never by a signal.
#
# Usage: tests/robustness/limits.sh BINARY [CASE...]
#
# Runaway programs (endless recursion, endless allocation, deep nesting in source text and in
# data) must end with a non-zero status that is not a signal, one diagnostic on standard
# error saying what ran out, and what they printed before still on standard output.
# Large but reasonable work (a 100 MB string, a list of 10 million elements, a 100 MB file
# read and written back) must succeed. Each case runs under a time limit and an address-space
# limit, so none can take the machine down; the time and peak memory of each are printed.
# The last line is "N passed, N failed"; the exit status is 1 when a case failed.
set -u
if [ $# -lt 1 ]; then
  echo "usage: $0 BINARY [CASE...]" >&2
  exit 2
fi
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
only=" $* "
scratch=$(mktemp -d /tmp/brevalon-limits-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
passed=0
failed=0
gib=$((1024 * 1024))  # ulimit -v counts KiB

selected() { [ "$only" = "  " ] || [[ "$only" == *" $1 "* ]]; }

# run NAME ADDRESS_SPACE_KIB SECONDS: runs $scratch/NAME.lisp, leaves NAME.out, NAME.err, NAME.status
run() {
  local name=$1 space=$2 seconds=$3 started ended
  started=$(date +%s%N)
  (
    cd "$scratch" || exit 99
    ulimit -v "$space"
    if [ -x /usr/bin/time ]; then
      exec /usr/bin/time -o "$name.usage" -f "%M" timeout -s KILL "$seconds" "$binary" "$name.lisp"
    else
      exec timeout -s KILL "$seconds" "$binary" "$name.lisp"
    fi
  ) >"$scratch/$name.out" 2>"$scratch/$name.err"
  echo $? >"$scratch/$name.status"
  ended=$(date +%s%N)
  local peak="?"
  [ -s "$scratch/$name.usage" ] && peak=$(( $(tail -1 "$scratch/$name.usage") / 1024 ))
  local tenths=$(( (ended - started) / 100000000 ))
  printf '%-26s %4d.%d s %6s MiB  status %s\n' "$name" $((tenths / 10)) $((tenths % 10)) "$peak" \
    "$(cat "$scratch/$name.status")"
}

fail() {
  echo "FAILED $1: $2"
  echo "  stderr: $(head -c 300 "$scratch/$1.err")"
  echo "  stdout (head): $(head -c 300 "$scratch/$1.out")"
  failed=$((failed + 1))
}

# The note /usr/bin/time adds for a non-zero status is not the interpreter's.
interpreter_stderr() { grep -v '^Command exited with non-zero status' "$scratch/$1.err"; }

# One diagnostic: "PLACE: error: ..." (or a "brevalon: " note), then only indented lines.
is_one_diagnostic() {
  local first rest
  first=$(head -1 <<<"$1")
  rest=$(tail -n +2 <<<"$1")
  [[ "$first" == *": error: "* || "$first" == "brevalon: "* ]] || return 1
  [ -z "$rest" ] || ! grep -qv '^  ' <<<"$rest"
}

# expect_failure NAME ADDRESS_SPACE_KIB SECONDS NOTE_PATTERN < program
expect_failure() {
  local name=$1 space=$2 seconds=$3 pattern=$4
  selected "$name" || { cat >/dev/null; return; }
  cat >"$scratch/$name.lisp"
  run "$name" "$space" "$seconds"
  local status note
  status=$(cat "$scratch/$name.status")
  note=$(interpreter_stderr "$name")
  if [ "$pattern" = LispError ]; then
    # An error of the program itself: status 1, its report on standard output, one note on stderr.
    if [ "$status" -ne 1 ] || ! is_one_diagnostic "$note"; then
      fail "$name" "status $status, not the status 1 of an error raised by the program"
    else
      passed=$((passed + 1))
    fi
  elif [ "$status" -eq 0 ] || [ "$status" -ge 124 ]; then
    fail "$name" "status $status (0 is success, 124 and up a timeout or a signal)"
  elif ! is_one_diagnostic "$note"; then
    fail "$name" "standard error is not one diagnostic"
  elif ! grep -qE "$pattern" <<<"$note"; then
    fail "$name" "the note does not match /$pattern/"
  elif [ "$(head -1 "$scratch/$name.out")" != "start" ]; then
    fail "$name" "the line printed before the failure is not the first line of standard output"
  else
    passed=$((passed + 1))
  fi
}

# expect_success NAME ADDRESS_SPACE_KIB SECONDS EXPECTED_STDOUT < program
expect_success() {
  local name=$1 space=$2 seconds=$3 expected=$4
  selected "$name" || { cat >/dev/null; return; }
  cat >"$scratch/$name.lisp"
  run "$name" "$space" "$seconds"
  if [ "$(cat "$scratch/$name.status")" -ne 0 ]; then
    fail "$name" "status $(cat "$scratch/$name.status")"
  elif [ "$(cat "$scratch/$name.out")" != "$expected" ]; then
    fail "$name" "unexpected output"
  else
    passed=$((passed + 1))
  fi
}

# expect_peak_below NAME MIB: the last run of NAME held less than MIB of resident memory at its peak.
expect_peak_below() {
  local name=$1 limit=$2
  selected "$name" || return
  if [ ! -s "$scratch/$name.usage" ]; then
    fail "$name" "no peak memory reading (/usr/bin/time is missing)"
  elif [ $(( $(tail -1 "$scratch/$name.usage") / 1024 )) -ge "$limit" ]; then
    fail "$name" "peak resident memory of $(( $(tail -1 "$scratch/$name.usage") / 1024 )) MiB, above $limit MiB"
  else
    passed=$((passed + 1))
  fi
}

echo "case                          time    peak  status"

expect_failure runaway-tail-recursion $((4 * gib)) 120 'runaway recursion' <<'EOF'
(print "start")
(define f (fn (n) (f n)))
(f 1)
EOF

expect_failure runaway-recursion $((4 * gib)) 120 'runaway recursion' <<'EOF'
(print "start")
(define g (fn (n) (+ 1 (g n))))
(g 1)
EOF

# Live data grows until the address space (1 GiB here, to keep the case short) is spent.
expect_failure endless-allocation $((1 * gib)) 300 'out of memory' <<'EOF'
(print "start")
(define kept nil)
(for i (range 1000000000000) (set-symbol (quote kept) (cons (list i i i i) kept)))
EOF

expect_failure string-doubling $((4 * gib)) 120 'out of memory' <<'EOF'
(print "start")
(define s "x")
(for i (range 100) (set-symbol (quote s) (+ s s)))
EOF

python3 - "$scratch" <<'EOF'
import sys
folder = sys.argv[1]
start = '(print "start")\n'
open(f"{folder}/open-parentheses.src", "w").write(start + "(" * 1000000)
open(f"{folder}/quotes.src", "w").write(start + "'" * 1000000)
EOF
expect_failure open-parentheses $((4 * gib)) 60 'never closed' <"$scratch/open-parentheses.src"
expect_failure quotes $((4 * gib)) 60 'not followed by an expression' <"$scratch/quotes.src"

expect_failure read-open-parentheses $((4 * gib)) 60 'never closed' <<'EOF'
(print "start")
(define text "(")
(for i (range 20) (set-symbol (quote text) (+ text text)))
(read text 0)
EOF

# A list nested a million deep, built with cons in a loop, handed to each recursive walker.
deep_list='(print "start")
(define deep nil)
(for i (range 1000000) (set-symbol (quote deep) (cons deep nil)))'
# The walkers keep their own stacks on the heap: a million levels print and compare.
deep_text="start
$(printf '%*s' 1000000 '' | tr ' ' '(')nil$(printf '%*s' 1000000 '' | tr ' ' ')')"
expect_success deep-list-print $((4 * gib)) 180 "$deep_text" <<EOF
$deep_list
(print deep)
EOF
expect_success deep-list-repr $((4 * gib)) 180 "$deep_text" <<EOF
$deep_list
(print (repr deep))
EOF
expect_success deep-list-equal $((4 * gib)) 180 "start
true" <<EOF
$deep_list
(define other nil)
(for i (range 1000000) (set-symbol (quote other) (cons other nil)))
(print (= deep other))
EOF

expect_failure deep-list-in-trace $((4 * gib)) 180 LispError <<EOF
$deep_list
(eval current-scope (list (quote no-such-function) (list (quote quote) deep)))
EOF
expect_failure deep-list-error-message $((4 * gib)) 180 LispError <<EOF
$deep_list
(error (quote deep) deep)
EOF

expect_success string-100-mb $((4 * gib)) 120 "104857600" <<'EOF'
(define piece "x")
(for i (range 20) (set-symbol (quote piece) (+ piece piece)))
(define text "")
(for i (range 100) (set-symbol (quote text) (+ text piece)))
(print (length text))
EOF

expect_success list-10-million $((8 * gib)) 600 "10000000
49999995000000" <<'EOF'
(define numbers nil)
(for i (range 10000000) (set-symbol (quote numbers) (cons i numbers)))
(define count 0)
(define total 0)
(for n (iter numbers) (set-symbol (quote count) (+ count 1)) (set-symbol (quote total) (+ total n)))
(print count)
(print total)
EOF

expect_success file-100-mb $((4 * gib)) 120 "104857600
true" <<'EOF'
(define piece "0123456789abcdef")
(for i (range 16) (set-symbol (quote piece) (+ piece piece)))
(define text "")
(for i (range 100) (set-symbol (quote text) (+ text piece)))
(write-file "big.txt" text)
(define back (read-file "big.txt"))
(write-file "copy.txt" back)
(define copy (read-file "copy.txt"))
(print (length copy))
(print (= copy text))
EOF

# More than 100 million values that die young (each turn makes a fresh list of 20 cells, and a
# boxed integer): the collector keeps up, so the heap stays near its start-up size.
expect_success short-lived-100-million $((4 * gib)) 600 "done" <<'EOF'
(for i (range 5000000) (list i i i i i i i i i i i i i i i i i i i i))
(print "done")
EOF
expect_peak_below short-lived-100-million 64

# A loop whose body is all calls answered in place still reaches a point where the collector
# runs at every turn: 3 million turns, each leaving a scope and a few numbers behind.
expect_success quick-loop-body $((4 * gib)) 600 "done" <<'EOF'
(define s 0)
(for i (range 3000000) (set-symbol (quote s) (+ s (- i 1) (* i 2))))
(print "done")
EOF
expect_peak_below quick-loop-body 64

# A small address space: the run's stack and records shrink to fit it, and a recursion a few
# thousand deep still runs.
expect_success small-address-space $((40 * 1024)) 60 "5000" <<'EOF'
(def (count-down n) (if (= n 0) 0 (+ 1 (count-down (- n 1)))))
(print (count-down 5000))
EOF

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
