#!/usr/bin/env bash
# Times each Brevalon benchmark against its Python 3 twin with hyperfine and
# prints one table row per benchmark: the mean wall times and their ratio.
#
# Usage: bench/run.sh [BREVALON-BINARY [NAME...]]
#   BREVALON-BINARY  defaults to build/brevalon under the repository root; when
#                    that default is used, the build directory is configured as
#                    a Release build if it has none, and brought up to date.
#   NAME...          benchmarks to run (default: all bench/*.lisp with a .py twin).
# Environment:
#   PYTHON           the Python 3 interpreter (default: python3)
#   BENCH_OUT        where the hyperfine JSON files go (default: bench/results)
#   HYPERFINE_ARGS   extra hyperfine options, e.g. "--runs 3"
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
cd "$bench_dir"

# Both programs of a pair must print the same lines before either is timed.
for name in "${names[@]}"; do
  [[ -f $name.lisp && -f $name.py ]] || { echo "$name: bench/$name.lisp or bench/$name.py is missing" >&2; exit 2; }
  if ! "$brevalon" "$name.lisp" >"$out/$name.brevalon.out" 2>&1; then
    echo "$name: brevalon failed:" >&2; cat "$out/$name.brevalon.out" >&2; exit 1
  fi
  if ! "$python" "$name.py" >"$out/$name.python.out" 2>&1; then
    echo "$name: python failed:" >&2; cat "$out/$name.python.out" >&2; exit 1
  fi
  if ! diff -u "$out/$name.brevalon.out" "$out/$name.python.out" >"$out/$name.diff"; then
    echo "$name: the outputs differ:" >&2; cat "$out/$name.diff" >&2; exit 1
  fi
  echo "$name: outputs agree ($(tr '\n' ' ' <"$out/$name.brevalon.out"| cut -c1-60))"
done

for name in "${names[@]}"; do
  echo
  # shellcheck disable=SC2086
  hyperfine --warmup 1 --shell=none ${HYPERFINE_ARGS:-} \
    --export-json "$out/$name.json" \
    -n "$name brevalon" "$brevalon $name.lisp" \
    -n "$name python" "$python $name.py"
done

echo
echo "brevalon: $brevalon"
echo "python:   $python ($("$python" --version 2>&1))"
echo "load average before the table: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
"$python" - "$out" "${names[@]}" <<'EOF'
import json
import sys

out, names = sys.argv[1], sys.argv[2:]
header = ("benchmark", "brevalon mean", "python mean", "ratio", "brevalon user", "python user", "user ratio")
rows = []
for name in names:
    with open(f"{out}/{name}.json") as f:
        brevalon, python = json.load(f)["results"]
    rows.append((
        name,
        f"{brevalon['mean']:.3f} s ± {brevalon['stddev']:.3f}",
        f"{python['mean']:.3f} s ± {python['stddev']:.3f}",
        f"{brevalon['mean'] / python['mean']:.1f}x",
        f"{brevalon['user']:.3f} s",
        f"{python['user']:.3f} s",
        f"{brevalon['user'] / python['user']:.1f}x" if python["user"] > 0 else "-",
    ))
widths = [max(len(row[i]) for row in [header] + rows) for i in range(len(header))]
line = lambda row: "| " + " | ".join(cell.ljust(width) for cell, width in zip(row, widths)) + " |"
print(line(header))
print("|" + "|".join("-" * (width + 2) for width in widths) + "|")
for row in rows:
    print(line(row))
EOF
