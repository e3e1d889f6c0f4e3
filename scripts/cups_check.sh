#!/usr/bin/env bash
# cups_check.sh [BUILD | --installed]: proves the CUPS filter with a real
# scheduler. Starts a private cupsd on 127.0.0.1 with its own configuration,
# spool and logs in a temporary folder and the filter, modules and PPD of the
# build (or, with --installed, of the installed Debian package), makes a
# queue with lpadmin on a file: device, prints jobs with lp -o, and compares
# each job's ticket line for line with the one the tool writes for the same
# settings. The scheduler is stopped at the end whatever happened. The last
# line is "cups checks: N passed, N failed".
set -uo pipefail
script=$(realpath "$0")
cd "$(dirname "$0")/.."
build=${1:-build}
source scripts/packages.sh
bash scripts/ensure_packages.sh "${CUPS_PACKAGES[@]}" >&2 || true

# Where the tool, the filter, its modules and the PPD come from: the build
# folder, or the places the package installs them (the installed filter
# finds its modules where the package put them).
if [ "$build" = --installed ]; then
  tvzx=/usr/bin/tvzx filter=/usr/lib/cups/filter/pstotvzx modules="" ppd=/usr/share/ppd/tvzx/tvzx.ppd
else
  tvzx=$build/tools/tvzx/tvzx filter=$build/tools/cups_filter/pstotvzx modules=$build/src ppd=data/tvzx.ppd
fi
queue=tvzx
passed=0
failed=0
pass() { echo "cups check $1: ok"; passed=$((passed + 1)); }
fail() { echo "cups check $1: FAILED${2:+ ($2)}"; failed=$((failed + 1)); }
finish() { echo "cups checks: $passed passed, $failed failed"; }

if [ "$(id -u)" -ne 0 ] || ! command -v cupsd >/dev/null || [ ! -x "$filter" ]; then
  # The scheduler checks its filters as root; without root, cupsd or the
  # filter nothing can be proved here. CI runs as root and must prove it.
  echo "cups check: needs root, cupsd and $filter"
  if [ "${CI:-}" = true ]; then fail setup "cannot run"; fi
  finish
  exit 0
fi

# Everything runs in a network namespace of its own that has the loopback
# adapter only, with the limited broadcast routed to it: the printer's
# wake-up reaches nothing but loopback, where the check listens for it.
if [ -z "${TVZX_CUPS_NAMESPACE:-}" ]; then
  if unshare --net true 2>/dev/null; then
    TVZX_CUPS_NAMESPACE=1 exec unshare --net -- bash "$script" "$@"
  fi
  echo "cups check: cannot make a private network namespace (unshare --net)"
  if [ "${CI:-}" = true ]; then fail setup "no network namespace"; fi
  finish
  exit 0
fi
ip link set lo up
ip route add broadcast 255.255.255.255 dev lo table local 2>/dev/null || true

work=$(mktemp -d /tmp/tvzx-cups.XXXXXX)
chmod 755 "$work"
listener_pid=""
source scripts/private_cupsd.sh
stop() {
  [ -n "$listener_pid" ] && kill "$listener_pid" 2>/dev/null
  private_cupsd_stop
  # TVZX_CUPS_KEEP=1 keeps the scheduler's folder for a look afterwards.
  [ -n "${TVZX_CUPS_KEEP:-}" ] && echo "kept $work" || rm -rf "$work"
}
trap stop EXIT

# The scheduler's programs: CUPS's own, with the build's filter and the
# modules it finds beside itself in place of any installed one.
mkdir -p "$work/jobs"
private_cupsd_start "$work" "$filter" "$modules"
server=$CUPS_SERVER
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  fail scheduler "cupsd did not start"
  tail -n 20 "$work/log/error_log" 2>/dev/null
  finish
  exit 0
fi

# The queue, with CUPS's own tools only: the PPD of the build, a stapler
# that is not installed, the network address for the wake-up, and a job
# that fails ending alone rather than stopping the queue.
mac=00:00:5E:00:53:2A
if lpadmin -p "$queue" -E -v "file://$work/out/job.prn" -P "$ppd" -o printer-error-policy=abort-job \
     -o ZVInstTrimmer=False -o tvzx-mac-address-default=$mac; then
  pass queue
else
  fail queue "lpadmin refused"
fi

sh bench/generate_dsc.sh 3 "$work/doc.ps"
"$tvzx" settings show --sample tabs >"$work/tabs.settings"

# Prints a job; prints its id.
submit() { lp -d "$queue" "$@" 2>&1 | sed -nE 's/^request id is [^-]+-([0-9]+).*/\1/p'; }

# Prints the job's state and the message of its last INFO: or ERROR: line.
job_state() {
  cat >"$work/job.test" <<TEST
{
  OPERATION Get-Job-Attributes
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri \$uri
  ATTR integer job-id $1
  ATTR keyword requested-attributes job-state,job-printer-state-message
  STATUS successful-ok
}
TEST
  ipptool -tv "ipp://$server/printers/$queue" "$work/job.test" 2>/dev/null |
    grep -E '^ *job-(state|printer-state-message) \(' | sed -E 's/^ *//'
}

# Waits until the job has ended: completed, or stopped by its filter,
# cancelled or aborted. Returns 1 after two minutes.
wait_done() {
  for _ in $(seq 600); do
    job_state "$1" | grep -qE '^job-state \(enum\) = (completed|processing-stopped|canceled|aborted)$' && return 0
    sleep 0.2
  done
  return 1
}

# The ticket lines of a printer-ready stream: the "@PJL SET" lines after the
# job identity, which only the plug-in's own job has.
ticket() {
  tr -d '\r' <"$1" | sed -n '/^@PJL SET /p;/^@PJL ENTER LANGUAGE/q' | grep -v '^@PJL SET DRIVERJOBID='
}

# The queue's printer data as the filter must derive it from the queue,
# written by hand: every unit but the trimmer (finishing byte 0xBF), every
# paper-path unit, punch pattern, the duplex unit and job storage, the
# three-tray deck with the bypass; duplex by default; the wake-up address.
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
  '[HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Print\Printers\tvzx\PrinterDriverData]' \
  '"InstallableOptions"=hex:01,bf,ff,0f,03,00,00,06,00,00,00,00,00,00,00,00,00,00,00,00,00,00' \
  '"DefaultDuplex"=dword:00000001' "\"MacAddress\"=\"$mac\"" >"$work/queue.reg"

# Prints a job through the queue and compares its ticket with the one
# tvzx ticket writes for the same settings on the same printer; the
# printer gets SHEETS pages (3, the document's, unless CUPS put several on
# one): print_and_compare NAME "LP OPTIONS" "TOOL SETTINGS" [TITLE [SHEETS]].
print_and_compare() {
  local name=$1 lp_options=$2 tool_options=$3 title=${4:-doc.ps} sheets=${5:-3} id
  # shellcheck disable=SC2086
  id=$(submit -t "$title" $lp_options "$work/doc.ps")
  if [ -z "$id" ] || ! wait_done "$id"; then
    fail "$name" "job did not complete"
    return
  fi
  if ! job_state "$id" | grep -q 'job-state (enum) = completed'; then
    fail "$name" "$(job_state "$id" | tr '\n' ' ')"
    return
  fi
  cp "$work/out/job.prn" "$work/jobs/$name.prn"
  # shellcheck disable=SC2086
  if ! "$tvzx" ticket --printer-data "$work/queue.reg" --user "$(id -un)" --document "$title" --job-id "$id" \
       $tool_options >"$work/jobs/$name.expected"; then
    fail "$name" "the tool refused the settings"
    return
  fi
  local pages
  # Pages of the document; tab sheets come between them without page comments.
  pages=$(grep -c '^%%Page:' "$work/jobs/$name.prn")
  if ! diff <(ticket "$work/jobs/$name.expected") <(ticket "$work/jobs/$name.prn") >"$work/jobs/$name.diff"; then
    fail "$name" "ticket differs"
    cat "$work/jobs/$name.diff"
  elif [ "$pages" -ne "$sheets" ]; then
    fail "$name" "$pages pages passed through, not $sheets"
  elif [ "$(grep -c '^%%BeginFeature: \*ZVStaple ' "$work/jobs/$name.prn")" -ne 1 ] ||
       [ "$(grep -c $'^\e%-12345X@PJL' "$work/jobs/$name.prn")" -ne 1 ]; then
    fail "$name" "a feature or the PJL header arrived more than once"
  elif [ "$name" = tabs ] && ! grep -q TARVOSaveAfterTab "$work/jobs/$name.prn"; then
    fail "$name" "no tab sheets"
  else
    pass "$name"
  fi
}

# The wake-up reaches the discard port at job start; in this namespace
# every broadcast ends on loopback.
python3 - "$work/wake.bin" <<'PY' &
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("", 9))
s.settimeout(120)
data, _ = s.recvfrom(2048)
open(sys.argv[1], "wb").write(data)
PY
listener_pid=$!
sleep 0.3

print_and_compare staples "-o ZVStaple=2StapleWide" "--set Staple=2StaplesWide" "Größenübersicht Ωmega"
print_and_compare booklet "-o ZVLayout=Booklet" "--set Layout=Booklet"
print_and_compare secure "-o job-password=4711" \
  "--set OutputMethod=Secure --set WaitModeSecurePrintId=\"$(id -un | cut -c1-8)\" --set WaitModePassword=\"4711\""
print_and_compare account "-o job-account-id=Sales -n 2 -o sides=two-sided-short-edge" \
  "--set AccountTrack=True --set AccountTrackDepartmentName=\"Sales\" --set NumCopies=2 --set Duplex=True --set Binding=Top"
print_and_compare tabs "-o tvzx-settings=$work/tabs.settings" "--settings $work/tabs.settings"
# CUPS puts two pages on each sheet; the ticket asks the printer for the
# job's orientation and for no layout of its own.
print_and_compare landscape-2up "-o landscape -o number-up=2" "--set Orientation=Land" doc.ps 2

expected_wake=$(printf 'ff%.0s' 1 2 3 4 5 6; for _ in $(seq 16); do printf '%s' "${mac//:/}"; done)
if [ -s "$work/wake.bin" ] && [ "$(od -An -tx1 "$work/wake.bin" | tr -d ' \n')" = "${expected_wake,,}" ]; then
  pass wake-up
else
  fail wake-up "no wake-up datagram for $mac on port 9"
fi

# A value that names no choice ends the job with its ERROR: line; nothing is
# printed, and the queue goes on with the next job.
rm -f "$work/out/job.prn"
id=$(submit -o ZVStaple=Bogus "$work/doc.ps")
if [ -n "$id" ] && wait_done "$id" && job_state "$id" | grep -q 'ZVStaple=Bogus' &&
   ! job_state "$id" | grep -q 'job-state (enum) = completed' && [ ! -s "$work/out/job.prn" ]; then
  pass refused-option
else
  fail refused-option "$(job_state "${id:-0}" | tr '\n' ' ')"
fi

# A job cancelled while printing leaves the queue working.
sh bench/generate_dsc.sh 20000 "$work/big.ps"
id=$(submit "$work/big.ps")
for _ in $(seq 100); do lpstat -p "$queue" 2>/dev/null | grep -q 'now printing' && break; sleep 0.1; done
cancel "$id" 2>/dev/null
next=$(submit "$work/doc.ps")
if wait_done "$id" && job_state "$id" | grep -q 'job-state (enum) = canceled' && [ -n "$next" ] && wait_done "$next" && job_state "$next" | grep -q 'job-state (enum) = completed' &&
   lpstat -p "$queue" | grep -q 'enabled'; then
  pass cancel
else
  fail cancel "$(lpstat -p "$queue" 2>&1 | tr '\n' ' ')"
fi

# A document of a producer Linux users have (a2ps, on a licence text Debian
# ships) prints through the queue page for page, without a PostScript error.
if a2ps -q -o "$work/a2ps.ps" /usr/share/common-licenses/MPL-1.1 2>/dev/null; then
  rm -f "$work/out/job.prn"
  id=$(submit "$work/a2ps.ps")
  pages_of() { gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=bbox "$1" 2>&1 | grep -c '^%%HiResBoundingBox'; }
  if [ -n "$id" ] && wait_done "$id" && job_state "$id" | grep -q 'job-state (enum) = completed' &&
     ! gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=nullpage "$work/out/job.prn" 2>&1 | grep -q 'Error' &&
     [ "$(pages_of "$work/out/job.prn")" -eq "$(pages_of "$work/a2ps.ps")" ]; then
    pass document
  else
    fail document "$(job_state "${id:-0}" | tr '\n' ' ')"
  fi
else
  fail document "a2ps made no document"
fi

# The PPD passes the conformance test with the filter where it names it.
mkdir -p "$work/root/usr/lib/cups/filter"
cp "$filter" "$work/root/usr/lib/cups/filter/"
if report=$(cupstestppd -q -R "$work/root" "$ppd" 2>&1); then pass cupstestppd; else fail cupstestppd "$report"; fi

# The one-command check without a scheduler; collated copies, which CUPS's
# PostScript filter puts into the document, leave one copy to the printer.
if CUPS_SERVERBIN=$work/lib/cups cupsfilter -e -c "$work/etc/cups-files.conf" -p "$ppd" -m printer/foo \
     -o ZVStaple=2StapleWide -n 2 -o collate=true "$work/doc.ps" >"$work/cupsfilter.prn" 2>"$work/cupsfilter.log" &&
   grep -q '^@PJL SET FINISH=' "$work/cupsfilter.prn" && grep -q $'^@PJL SET QTY=1\r$' "$work/cupsfilter.prn" &&
   [ "$(grep -c '^%%Page:' "$work/cupsfilter.prn")" -eq 6 ]; then
  pass cupsfilter
else
  fail cupsfilter "$(grep -E '^(ERROR|@PJL SET QTY)' "$work/cupsfilter.log" "$work/cupsfilter.prn" | head -n 3 | tr '\n' ' ')"
fi

if [ "$failed" -gt 0 ]; then
  echo "== scheduler log (last lines)"
  grep -E 'ERROR|\[Job [0-9]+\] (E|Unable)' "$work/log/error_log" | tail -n 20
fi
finish
