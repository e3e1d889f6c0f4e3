#!/usr/bin/env bash
# Makes one small slip at a time in the sources (a byte order, a bound, a
# comparison, a dropped condition, two writes swapped, a table value...),
# rebuilds what the tests need in the release build, runs the tests and
# puts the source back; then prints which slips the tests caught and which
# they missed. Run by hand, never by the test command; it takes a while.
#
#   bash scripts/mutation.sh [-b build] [-l list] [-t seconds] [-x suite]
#                            [-j shards] [-r] [-c] [N ...]
#
#   -b  release build folder (default build; configured when missing)
#   -l  list of slips (default scripts/mutations.txt)
#   -t  time allowed to the tests of one slip (default 300 seconds)
#   -x  test suite left out (default ConcurrentJobs, which compares jobs
#       run at once with the same jobs run alone, so a slip changes both
#       sides alike; "" runs every test)
#   -j  the test program runs in this many shards at once (default 2),
#       each stopping at its first failure
#   -r  run the tests through ctest, one process a test, instead: the same
#       tests, about five times slower on a busy machine
#   -c  only check that every slip's text occurs exactly once, then stop
#   N   run only the slips of these numbers (1 is the first in the list)
#
# Each slip in the list is a block of four lines, blocks apart by a blank
# line, lines starting with # ignored:
#   file     path from the top of the project
#   find     a text that occurs exactly once in the file
#   replace  what it becomes
#   about    one line saying what the slip does
# In find and replace, {nl} stands for a line end, so two lines can swap.
# A slip whose text does not occur exactly once is refused and the run
# stops before anything is changed, so the list cannot rot unseen.
set -uo pipefail
cd "$(dirname "$0")/.."

build=build
list=scripts/mutations.txt
limit=300
exclude=ConcurrentJobs
shards=2
use_ctest=0
check_only=0
while getopts "b:l:t:x:j:rc" opt; do
  case $opt in
    b) build=$OPTARG ;;
    l) list=$OPTARG ;;
    t) limit=$OPTARG ;;
    x) exclude=$OPTARG ;;
    j) shards=$OPTARG ;;
    r) use_ctest=1 ;;
    c) check_only=1 ;;
    *) sed -n '7,22p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
wanted=("$@")

# Reads the list into parallel arrays; a block missing a line is refused.
files=() finds=() replaces=() abouts=()
flush_block() {
  if [ -n "$b_file$b_find$b_replace$b_about" ]; then
    if [ -z "$b_file" ] || [ -z "$b_find" ] || [ -z "$b_about" ]; then
      echo "mutation: incomplete slip before line $lineno of $list" >&2
      exit 2
    fi
    files+=("$b_file") finds+=("$b_find") replaces+=("$b_replace") abouts+=("$b_about")
  fi
  b_file="" b_find="" b_replace="" b_about=""
}
b_file="" b_find="" b_replace="" b_about=""
lineno=0
while IFS= read -r line || [ -n "$line" ]; do
  lineno=$((lineno + 1))
  case $line in
    '#'*) continue ;;
    '') flush_block; continue ;;
  esac
  key=${line%%[[:space:]]*}
  value=${line#"$key"}
  value=${value#"${value%%[![:space:]]*}"}
  case $key in
    file) b_file=$value ;;
    find) b_find=$value ;;
    replace) b_replace=$value ;;
    about) b_about=$value ;;
    *) echo "mutation: unknown line $lineno of $list: $line" >&2; exit 2 ;;
  esac
done <"$list"
flush_block
count=${#files[@]}

# Python starts slowly on a busy machine: one run checks every slip.
python=python3
if [ -x /usr/bin/python3 ]; then
  python=/usr/bin/python3
fi

# With mode check, prints for each (file, text) pair of the arguments how
# often the text occurs (-1: no such file); with mode apply, replaces the
# one text of the file given (arguments: file, text, replacement) when it
# occurs exactly once. {nl} in a text stands for a line end.
slip_tool() {
  "$python" - "$@" <<'EOF'
import sys
mode, rest = sys.argv[1], sys.argv[2:]
def read(path):
    try:
        with open(path, "rb") as f:
            return f.read().decode("utf-8")
    except OSError:
        return None
if mode == "check":
    for path, find in zip(rest[0::2], rest[1::2]):
        text = read(path)
        print(-1 if text is None else text.count(find.replace("{nl}", "\n")))
else:
    path, find, replace = rest
    find, replace = find.replace("{nl}", "\n"), replace.replace("{nl}", "\n")
    text = read(path)
    if text is not None and text.count(find) == 1:
        with open(path, "wb") as f:
            f.write(text.replace(find, replace).encode("utf-8"))
EOF
}

# Every slip is checked before anything changes.
pairs=()
for ((i = 0; i < count; i++)); do
  pairs+=("${files[i]}" "${finds[i]}")
done
mapfile -t counts < <(slip_tool check "${pairs[@]}")
bad=0
for ((i = 0; i < count; i++)); do
  n=${counts[i]:-?}
  if [ "$n" != 1 ]; then
    if [ "$n" = -1 ]; then
      echo "mutation: slip $((i + 1)) refused: no file ${files[i]}" >&2
    else
      echo "mutation: slip $((i + 1)) refused: its text occurs $n times in ${files[i]}: ${finds[i]}" >&2
    fi
    bad=1
  fi
  if [ "${finds[i]}" = "${replaces[i]}" ]; then
    echo "mutation: slip $((i + 1)) refused: it changes nothing" >&2
    bad=1
  fi
done
if [ $bad = 1 ]; then
  exit 2
fi
echo "mutation: $count slips in $list, each found exactly once"
if [ $check_only = 1 ]; then
  exit 0
fi

# What the tests need: the test program and everything it starts or loads;
# the CUPS filter and the PPD maker only for a slip in their own sources.
# Ninja rebuilds only what the changed file reaches.
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 2
fi
existing() {
  local t
  for t in "$@"; do
    if ninja -C "$build" -t query "$t" >/dev/null 2>&1; then
      echo "$t"
    fi
  done
}
mapfile -t targets < <(existing tvzx_tests tvzx tvzx_ps tvzx_notify tvzx_base tvzx_rundll tvzx_spooler tvzx_probe_ps)
mapfile -t own_targets < <(existing pstotvzx tvzx_make_ppd)
# Prints the targets to build for a slip in file $1.
targets_for() {
  printf '%s\n' "${targets[@]}"
  case $1 in
    tools/cups_filter/*) existing pstotvzx ;;
    host/make_ppd/*) existing tvzx_make_ppd ;;
  esac
}
work=$(mktemp -d)
# Other users must reach files under it: the settings-file test asks
# whether the job's user could read one.
chmod 755 "$work"
export TMPDIR=$work
saved=""
saved_path=""

# Puts the changed file back. The copy gets a new time so that the next
# build compiles it again instead of keeping the slipped object.
restore() {
  if [ -n "$saved_path" ]; then
    cp "$saved" "$saved_path"
    touch "$saved_path"
    saved_path=""
  fi
}
finish() {
  restore
  rm -rf "$work"
}
trap finish EXIT
trap 'echo; echo "mutation: interrupted, source put back" >&2; exit 130' INT TERM

# Builds what a slip in file $1 reaches and runs the tests: status 0 when
# they pass, 1 when one fails, 2 when the build fails.
build_and_test() {
  local wanted_targets
  mapfile -t wanted_targets < <(targets_for "$1")
  nice -n 10 ninja -C "$build" "${wanted_targets[@]}" >"$work/build.log" 2>&1 || return 2
  # A slip that hangs a test counts as caught when the time runs out.
  if [ $use_ctest = 1 ]; then
    local filter=()
    if [ -n "$exclude" ]; then
      filter=(-E "$exclude")
    fi
    nice -n 10 timeout "$limit" ctest --test-dir "$build" -j4 --timeout "$limit" \
      --stop-on-failure "${filter[@]}" >"$work/test.log" 2>&1 || return 1
    return 0
  fi
  # The shards run where ctest runs the tests, in the tests' build folder.
  local pids=() shard failed=0
  : >"$work/test.log"
  for ((shard = 0; shard < shards; shard++)); do
    (cd "$build/tests" && GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$shard \
      nice -n 10 timeout "$limit" ./tvzx_tests --gtest_filter="-${exclude:-none}.*" \
      --gtest_fail_fast --gtest_brief=1 >"$work/test.$shard.log" 2>&1) &
    pids+=($!)
  done
  for ((shard = 0; shard < shards; shard++)); do
    wait "${pids[shard]}" || failed=1
    cat "$work/test.$shard.log" >>"$work/test.log"
  done
  return $failed
}

start=$(date +%s)
echo "mutation: building and testing the sources as they are"
if ! build_and_test ""; then
  echo "mutation: the tests fail without any slip; nothing to measure" >&2
  tail -n 30 "$work/build.log" "$work/test.log" >&2
  exit 2
fi

caught=0 missed=0 broken=0
missed_list=()
for ((i = 0; i < count; i++)); do
  number=$((i + 1))
  if [ ${#wanted[@]} -gt 0 ] && [[ " ${wanted[*]} " != *" $number "* ]]; then
    continue
  fi
  saved="$work/original"
  cp "${files[i]}" "$saved"
  saved_path=${files[i]}
  slip_tool apply "${files[i]}" "${finds[i]}" "${replaces[i]}"
  t0=$(date +%s)
  build_and_test "${files[i]}"
  status=$?
  restore
  took=$(($(date +%s) - t0))
  case $status in
    1)
      caught=$((caught + 1))
      failing=$({
        grep -m1 -oE '[0-9]+ - [A-Za-z0-9_./]+ \((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)' "$work/test.log" |
          sed -E 's/^[0-9]+ - //; s/ \(.*//'
        grep -m1 -oE '^\[  FAILED  \] [A-Za-z0-9_./]+' "$work/test.log" | sed -E 's/^\[  FAILED  \] //'
      } | head -n 1)
      printf '%3d caught  %4ss  %s: %s [%s]\n' "$number" "$took" "${files[i]}" "${abouts[i]}" "${failing:-?}"
      ;;
    0)
      missed=$((missed + 1))
      missed_list+=("$number")
      printf '%3d MISSED  %4ss  %s: %s\n' "$number" "$took" "${files[i]}" "${abouts[i]}"
      ;;
    *)
      broken=$((broken + 1))
      printf '%3d NOBUILD %4ss  %s: %s\n' "$number" "$took" "${files[i]}" "${abouts[i]}"
      grep -m3 -E 'error' "$work/build.log" | sed 's/^/        /'
      ;;
  esac
done

# Leaves the build as the sources are.
nice -n 10 ninja -C "$build" "${targets[@]}" "${own_targets[@]}" >/dev/null 2>&1
tried=$((caught + missed))
rate=0
if [ $tried -gt 0 ]; then
  rate=$((100 * caught / tried))
fi
echo "mutation: $caught caught, $missed missed, $broken did not build; $rate% caught; $(($(date +%s) - start)) s"
if [ ${#missed_list[@]} -gt 0 ]; then
  echo "mutation: missed ${missed_list[*]}"
fi
[ $broken = 0 ]
