#!/usr/bin/env bash
# The Windows x64 build proved under Wine: the export and import tables of
# the shipped modules, the unit tests of the Windows build, and every
# built-in sample job rendered by the Windows tvzx.exe with the Windows
# plug-in, which must give the Linux build's stream byte for byte apart from
# the named values that depend on the time of the job.
#
#   bash scripts/wine_check.sh WINDOWS_BUILD_DIR LINUX_BUILD_DIR
#
# Prints one line per check and, last, "wine checks: P passed, F failed";
# exits non-zero when a check failed. WINEPREFIX defaults to a fresh prefix
# inside the Windows build folder.
set -uo pipefail
windows=$(realpath "${1:?the Windows build folder}")
linux=$(realpath "${2:?the Linux build folder}")
cd "$(dirname "$0")/.." || exit 1

passed=0
failed=0
pass() { echo "check $1: ok"; passed=$((passed + 1)); }
fail() { echo "check $1: FAILED${2:+ ($2)}"; failed=$((failed + 1)); }
summary() { echo "wine checks: $passed passed, $failed failed"; [ "$failed" -eq 0 ]; }

objdump=x86_64-w64-mingw32-objdump
plugin=$windows/src/tvzx_ps.dll
notify=$windows/src/tvzx_n.dll
base=$windows/src/tvzx.dll
tool=$windows/tools/tvzx/tvzx.exe
tests=$windows/tests/tvzx_tests.exe
# System libraries every Windows installation has; anything else (the GCC,
# C++ or thread run-time DLLs) would have to ship with the plug-in.
system_dlls='^(KERNEL32|ADVAPI32|WINSPOOL\.DRV|WS2_32|USER32|OLE32|SHELL32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)(\.dll)?$'

# Returns the names a module exports, one a line, sorted.
exports_of() { "$objdump" -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -En 's/^\s*\[\s*[0-9]+\]\s+(\S+)$/\1/p' | sort; }
# Returns the DLLs a module imports from, one a line.
imports_of() { "$objdump" -p "$1" | sed -En 's/^\s*DLL Name: (\S+)$/\1/p'; }

# Each module exports exactly its entry points.
check_exports() {
  local module=$1 expected=$2 actual
  actual=$(exports_of "$module" | tr '\n' ' ' | sed 's/ $//')
  if [ "$actual" = "$expected" ]; then pass "exports of $(basename "$module")"
  else fail "exports of $(basename "$module")" "has: $actual; wants: $expected"; fi
}
check_exports "$plugin" "CreateTabFileExW DllCanUnloadNow DllGetClassObject"
check_exports "$notify" "BdcSetNotifyPrint"
[ -f "$base" ] && check_exports "$base" "CreateTabDocument"

# Each shipped file needs nothing but the system's own DLLs.
for module in "$plugin" "$notify" "$base" "$tool"; do
  [ -f "$module" ] || continue
  foreign=$(imports_of "$module" | grep -Eiv "$system_dlls" | tr '\n' ' ')
  if [ -z "$foreign" ]; then pass "imports of $(basename "$module")"
  else fail "imports of $(basename "$module")" "needs $foreign"; fi
done

# A fresh prefix, quiet and without a display; no Gecko or Mono prompts.
export WINEPREFIX=${WINEPREFIX:-$windows/wineprefix}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# Whatever the jobs render, a printer wake-up goes to loopback only.
export TVZX_WAKE_TO=127.0.0.1
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
if [ -f "$WINEPREFIX/system.reg" ]; then pass "wine prefix"; else fail "wine prefix" "wineboot made none"; summary; exit; fi
# Both builds render for the same locale: the Linux build in the C locale,
# whose paper is A4 (9), and the Windows user with the same paper size.
export LC_ALL=C
wine reg add 'HKCU\Control Panel\International' /v iPaperSize /t REG_SZ /d 9 /f >/dev/null 2>&1

# The unit tests of the Windows build; each test counts. Left out: tests
# whose fake paths are written with POSIX separators, and the job user given
# to the simulated host, which the Windows host does not hand to the plug-in
# yet (the plug-in asks the system for the user instead).
windows_only_filter='-WorkingDirectory.CandidateOrderBySystemAndPrinter:WorkingDirectory.CandidatesThatAreMissingOrTooLongArePassedOver'
windows_only_filter+=':WriteTest.TriesTheFirstUnusedScratchName:PlugInJob.NamesTheUserItIsGiven'
if [ -f "$tests" ]; then
  log=$(mktemp)
  (cd "$windows" && timeout 900 wine "$tests" --gtest_brief=1 --gtest_filter="$windows_only_filter") >"$log" 2>&1
  status=$?
  ran=$(sed -En 's/^\[==========\] ([0-9]+) tests? from .* ran\..*/\1/p' "$log" | tail -n 1)
  good=$(sed -En 's/^\[  PASSED  \] ([0-9]+) tests?\..*/\1/p' "$log" | tail -n 1)
  skipped=$(sed -En 's/^\[  SKIPPED \] ([0-9]+) tests?,?.*/\1/p' "$log" | head -n 1)
  if [ -z "$ran" ] || [ -z "$good" ]; then
    tail -n 40 "$log"
    fail "Windows unit tests" "no result, status $status"
  else
    bad=$((ran - good - ${skipped:-0}))
    if [ "$bad" -gt 0 ] || [ "$status" -ne 0 ]; then grep -E -B8 '^\[  FAILED  \]' "$log" | head -n 80; fi
    echo "check Windows unit tests: $good passed, $bad failed, ${skipped:-0} skipped"
    passed=$((passed + good))
    failed=$((failed + bad))
    # A crash after the last test still fails the run.
    [ "$bad" -eq 0 ] && [ "$status" -ne 0 ] && fail "Windows unit tests" "status $status"
  fi
  rm -f "$log"
fi

# The values that differ from run to run, each masked by name: the job
# identity, made of the time of the job and a random part.
mask() {
  sed -E -e 's/^(@PJL SET DRIVERJOBID=")[0-9A-F]+(")/\1<job identity>\2/' "$1"
}

# Samples that print through a printer's data: the Linux host hands the
# plug-in the sample printer's data file, the Windows plug-in asks the
# spooler, where the Windows host does not set up that printer yet. Their
# Windows run must succeed; a different stream is reported, not counted.
printer_samples=" tabs "

# Every built-in sample job, rendered by both builds as the same user: the
# one running them, whom Wine gives to Windows programs as well.
unset TVZX_USER_NAME
work=$(mktemp -d)
samples=$("$linux/tools/tvzx/tvzx" render --sample '?' 2>&1 | sed -En 's/.*no such sample job \((.*)\).*/\1/p' | tr -d ',')
for sample in ${samples:-plain}; do
  linux_out=$work/$sample.linux.prn
  windows_out=$work/$sample.windows.prn
  if ! "$linux/tools/tvzx/tvzx" render --sample "$sample" -o "$linux_out" 2>"$work/err"; then
    fail "sample $sample" "the Linux build refused it: $(head -n 1 "$work/err")"
    continue
  fi
  if ! (cd "$work" && timeout 300 wine "$tool" render --sample "$sample" \
          --module "$(winepath -w "$plugin")" -o "$(winepath -w "$windows_out")") 2>"$work/err"; then
    fail "sample $sample" "the Windows build refused it: $(head -n 1 "$work/err")"
    continue
  fi
  if cmp -s <(mask "$linux_out") <(mask "$windows_out"); then
    pass "sample $sample, $(stat -c %s "$windows_out") bytes as on Linux"
  elif [[ $printer_samples == *" $sample "* ]]; then
    echo "check sample $sample: rendered, not compared (the Windows host has no spooler printer with the sample's data)"
    pass "sample $sample rendered"
  else
    diff <(mask "$linux_out" | cat -v) <(mask "$windows_out" | cat -v) | head -n 20
    fail "sample $sample" "the streams differ"
  fi
done
rm -rf "$work"

summary
