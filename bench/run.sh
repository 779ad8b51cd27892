#!/usr/bin/env bash
# Times each Brevalon benchmark against its Python 3 twin, the shared peer programs
# against Python, PicoLisp and Lua, and start-up; prints the tables of medians.
#
# Usage: bench/run.sh [BREVALON-BINARY [NAME...]]
#   BREVALON-BINARY  defaults to build/brevalon under the repository root; when
#                    that default is used, the build directory is configured as
#                    a Release build if it has none, and brought up to date.
#                    Run the script once per binary to compare two of them.
#   NAME...          benchmarks to run (default: all bench/*.lisp with a .py twin).
# Environment:
#   PYTHON           the Python 3 interpreter (default: python3)
#   PYTHON_FLAGS     its options (default: -S, which skips the site module: the
#                    twins need only the standard library, and a .pth hook of an
#                    installation can add tens of ms to every start)
#   PEERS            the folder of peer programs (default: ../shared/peers beside
#                    the repository); the peer tables are skipped when it is absent
#   BENCH_OUT        where the hyperfine JSON files go (default: bench/results)
#   HYPERFINE_ARGS   extra hyperfine options, e.g. "--runs 3"
#   COLLECTOR_SHARE  when non-empty, also runs each Brevalon program once under
#                    callgrind and reports the share of its instructions spent
#                    collecting (inclusive cost of Heap::collect); slow: callgrind
#                    runs a program about fifty times slower
#
# Each pair runs side by side in one hyperfine invocation, so the ratio holds up on
# a busy machine better than the times do. PicoLisp and Lua columns appear only when
# `picolisp` and `lua5.4` are installed. Peak RSS comes from one run under
# /usr/bin/time, when it exists.
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$bench_dir/.." && pwd)

if [[ $# -ge 1 ]]; then
  brevalon=$1
  shift
  [[ $brevalon == /* ]] || brevalon="$PWD/$brevalon"
else
  build_dir="$root/build"
  brevalon="$build_dir/brevalon"
  if [[ ! -f $build_dir/build.ninja ]]; then
    echo "configuring a Release build in $build_dir"
    cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBREVALON_TESTS=OFF >/dev/null
  fi
  build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
  [[ $build_type == Release ]] || echo "warning: $build_dir is a '$build_type' build, not Release" >&2
  ninja -C "$build_dir" brevalon >/dev/null
fi
[[ -x $brevalon ]] || { echo "no Brevalon binary at $brevalon" >&2; exit 2; }

command -v hyperfine >/dev/null || { echo "hyperfine is needed: apt-get install -y hyperfine" >&2; exit 2; }
# The real interpreter, so that a version-manager shim's start-up is not timed.
python=$("${PYTHON:-python3}" -c 'import sys; print(sys.executable)')
read -ra python_flags <<<"${PYTHON_FLAGS--S}"
peers=${PEERS:-$root/../shared/peers}
picolisp=$(command -v picolisp || true)
lua=$(command -v lua5.4 || true)
gnu_time=
[[ -x /usr/bin/time ]] && gnu_time=/usr/bin/time

if [[ $# -ge 1 ]]; then
  names=("$@")
else
  names=()
  for lisp in "$bench_dir"/*.lisp; do
    name=$(basename "$lisp" .lisp)
    [[ -f $bench_dir/$name.py ]] && names+=("$name")
  done
fi

out=${BENCH_OUT:-$bench_dir/results}
mkdir -p "$out"
out=$(cd "$out" && pwd)
cd "$bench_dir"

# Runs one command and fails the script, showing its output, if the command fails.
capture() {
  local file=$1
  shift
  if ! "$@" >"$file" 2>&1 </dev/null; then
    echo "failed: $*" >&2
    cat "$file" >&2
    exit 1
  fi
}

# Both programs of a pair must print the same lines before either is timed.
for name in "${names[@]}"; do
  [[ -f $name.lisp && -f $name.py ]] || { echo "$name: bench/$name.lisp or bench/$name.py is missing" >&2; exit 2; }
  capture "$out/$name.brevalon.out" "$brevalon" "$name.lisp"
  capture "$out/$name.python.out" "$python" "${python_flags[@]}" "$name.py"
  if ! diff -u "$out/$name.brevalon.out" "$out/$name.python.out" >"$out/$name.diff"; then
    echo "$name: the outputs differ:" >&2
    cat "$out/$name.diff" >&2
    exit 1
  fi
  echo "$name: outputs agree ($(tr '\n' ' ' <"$out/$name.brevalon.out" | cut -c1-60))"
done

# Peak resident set size in KB of one run of a command, or "-" without GNU time.
peak_rss() {
  if [[ -z $gnu_time ]]; then echo -; return; fi
  "$gnu_time" -f %M -o "$out/rss.tmp" "$@" >/dev/null 2>&1 </dev/null
  tail -n 1 "$out/rss.tmp"
}

: >"$out/rss.tsv"
for name in "${names[@]}"; do
  printf '%s\t%s\t%s\n' "$name" "$(peak_rss "$brevalon" "$name.lisp")" \
    "$(peak_rss "$python" "${python_flags[@]}" "$name.py")" >>"$out/rss.tsv"
done

for name in "${names[@]}"; do
  echo
  # shellcheck disable=SC2086
  hyperfine --warmup 1 -N ${HYPERFINE_ARGS:-} --export-json "$out/$name.json" \
    -n brevalon "$brevalon $name.lisp" \
    -n python "$python ${python_flags[*]} $name.py"
done

# The peer programs: the same algorithm in every language each peer has installed.
peer_names=()
if [[ -d $peers ]]; then
  peer_names=(fib tak loop)
  # An empty program for each language, to time start-up.
  : >"$out/empty.lisp"
  : >"$out/empty.py"
  echo '(bye)' >"$out/empty.l"
  : >"$out/empty.lua"
  for name in "${peer_names[@]}" empty; do
    dir=$peers
    [[ $name == empty ]] && dir=$out
    labels=(brevalon python)
    commands=("$brevalon $dir/$name.lisp" "$python ${python_flags[*]} $dir/$name.py")
    [[ -n $picolisp ]] && { labels+=(picolisp); commands+=("$picolisp $dir/$name.l"); }
    [[ -n $lua ]] && { labels+=(lua); commands+=("$lua $dir/$name.lua"); }
    named=()
    for i in "${!labels[@]}"; do
      named+=(-n "${labels[i]}" "${commands[i]}")
      # Every peer must print what Brevalon prints (the commands hold no quoted spaces).
      if [[ $name != empty ]]; then
        # shellcheck disable=SC2086
        capture "$out/peer-$name.${labels[i]}.out" ${commands[i]}
        diff -u "$out/peer-$name.brevalon.out" "$out/peer-$name.${labels[i]}.out" >&2 \
          || { echo "$name: ${labels[i]} prints something else" >&2; exit 1; }
      fi
    done
    echo
    warmup=1
    [[ $name == empty ]] && warmup=5
    # shellcheck disable=SC2086
    hyperfine --warmup "$warmup" -N ${HYPERFINE_ARGS:-} --export-json "$out/peer-$name.json" "${named[@]}"
  done
else
  echo "no peer programs at $peers: skipping the peer table" >&2
fi

# The collector's share of each program's instructions, start-up included.
: >"$out/collector.tsv"
if [[ -n ${COLLECTOR_SHARE:-} ]]; then
  command -v valgrind >/dev/null || { echo "COLLECTOR_SHARE needs valgrind" >&2; exit 2; }
  for program in "${names[@]/%/.lisp}" "${peer_names[@]/#/$peers/}"; do
    [[ $program == *.lisp ]] || program=$program.lisp
    name=$(basename "$program" .lisp)
    [[ $program == "$peers"/* ]] && name="$name (peers)"
    valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.tmp" "$brevalon" "$program" >/dev/null 2>&1 </dev/null
    total=$(callgrind_annotate "$out/callgrind.tmp" | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')
    collecting=$(callgrind_annotate --inclusive=yes "$out/callgrind.tmp" \
      | awk '/brevalon::Heap::collect\(\)/ { gsub(",", "", $1); print $1; exit }')
    printf '%s\t%s\t%s\n' "$name" "$total" "${collecting:-0}" >>"$out/collector.tsv"
  done
  rm -f "$out/callgrind.tmp"
fi

echo
echo "brevalon: $brevalon"
echo "python:   $python ${python_flags[*]} ($("$python" --version 2>&1))"
[[ -n $picolisp ]] && echo "picolisp: $picolisp"
[[ -n $lua ]] && echo "lua:      $lua"
echo "load average before the tables: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
"$python" - "$out" "${#names[@]}" "${names[@]}" "${peer_names[@]}" <<'EOF'
import json
import sys

out, count = sys.argv[1], int(sys.argv[2])
names, peer_names = sys.argv[3:3 + count], sys.argv[3 + count:]


def times(json_name):
    """The median wall time and the mean CPU time (user + system) in ms of each
    command of one hyperfine run, by name: on a busy machine the CPU times
    drift less than the wall times."""
    with open(f"{out}/{json_name}.json") as f:
        results = json.load(f)["results"]
    return {r["command"]: r["median"] * 1000 for r in results}, \
           {r["command"]: (r["user"] + r["system"]) * 1000 for r in results}


def ms(value):
    return f"{value:,.1f}" if value < 100 else f"{value:,.0f}"


def table(header, rows):
    widths = [max(len(row[i]) for row in [header] + rows) for i in range(len(header))]
    line = lambda row: "| " + " | ".join(cell.ljust(width) for cell, width in zip(row, widths)) + " |"
    print(line(header))
    print("|" + "|".join("-" * (width + 2) for width in widths) + "|")
    for row in rows:
        print(line(row))
    print()


rss = {}
with open(f"{out}/rss.tsv") as f:
    for row in f:
        name, brevalon_kb, python_kb = row.rstrip("\n").split("\t")
        rss[name] = (brevalon_kb, python_kb)


def mb(kb):
    return "-" if kb in ("-", "") else f"{int(kb) / 1024:.1f}"


rows = []
for name in names:
    t, cpu = times(name)
    rows.append((name, ms(t["brevalon"]), ms(t["python"]), f"{t['brevalon'] / t['python']:.2f}",
                 f"{cpu['brevalon'] / cpu['python']:.2f}", mb(rss[name][0]), mb(rss[name][1])))
table(("workload", "Brevalon ms", "Python ms", "ratio", "CPU ratio", "Brevalon RSS MB", "Python RSS MB"),
      rows)

if peer_names:
    peers = [times(f"peer-{name}")[0] for name in peer_names + ["empty"]]
    languages = [lang for lang in ("brevalon", "python", "picolisp", "lua") if lang in peers[0]]
    labels = {"brevalon": "Brevalon", "python": "Python", "picolisp": "PicoLisp", "lua": "Lua"}
    header = ["program"] + [labels[lang] + " ms" for lang in languages]
    header += ["ratio to " + labels[lang] for lang in languages[1:]]
    rows = []
    for name, t in zip(peer_names + ["empty (start-up)"], peers):
        rows.append([name] + [ms(t[lang]) for lang in languages]
                    + [f"{t['brevalon'] / t[lang]:.2f}" for lang in languages[1:]])
    table(header, rows)

with open(f"{out}/collector.tsv") as f:
    shares = [row.rstrip("\n").split("\t") for row in f if row.strip()]
if shares:
    table(("program", "instructions", "collecting", "share"),
          [(name, f"{int(total):,}", f"{int(collecting):,}", f"{100 * int(collecting) / int(total):.1f} %")
           for name, total, collecting in shares])
EOF
