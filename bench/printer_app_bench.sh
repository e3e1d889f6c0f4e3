#!/usr/bin/env bash
# printer_app_bench.sh [BUILD] [PAGES]: the time a PostScript job of PAGES
# pages (1000 unless given) takes from submission to "completed", measured in
# one run two ways: sent with ipptool to the printer application (file
# device), and printed with lp through a private CUPS scheduler's queue with
# the build's CUPS filter and PPD (file: device). Prints both and their
# ratio; the printer application's target is at most 1.5 times the CUPS
# figure. Needs root for the scheduler; everything runs on 127.0.0.1 and is
# stopped at the end.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pages=${2:-1000}
source scripts/private_cupsd.sh
app=$build/tools/printer_app/tvzx-printer-app
work=$(mktemp -d "${TMPDIR:-/tmp}/tvzx-printer-app-bench.XXXXXX")
chmod 755 "$work"
app_pid=""
stop() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null
  private_cupsd_stop
  rm -rf "$work"
}
trap stop EXIT

now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

sh bench/generate_dsc.sh "$pages" "$work/doc.ps"
echo "document: $pages pages, $(du -h "$work/doc.ps" | cut -f1)"

# The printer application: Print-Job, then Get-Job-Attributes until the job
# is completed.
mkdir -p "$work/out" "$work/state"
port=$((20000 + RANDOM % 20000))
"$app" server -o state-directory="$work/state" -o listen-hostname=127.0.0.1 -o server-port="$port" \
  -o dnssd=off -o tls=off -o log-level=warn -o log-file="$work/app.log" &
app_pid=$!
for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.2; done
"$app" add -u "ipp://127.0.0.1:$port/" -d tvzx -m tvzx -v "file://$work/out?ext=prn"
start=$(now)
if ipptool -t -f "$work/doc.ps" -d format=application/postscript -d name=bench \
     "ipp://127.0.0.1:$port/ipp/print/tvzx" tests/ipp/print-job.test >"$work/ipptool.log" 2>&1; then
  app_seconds=$(seconds "$start" "$(now)")
  echo "printer application (ipptool):     ${app_seconds}s ($(grep -c '^%%Page:' "$work/out/bench.prn") pages out)"
else
  echo "printer application: the job did not complete"
  cat "$work/ipptool.log"
  exit 1
fi

# The CUPS scheduler with the CUPS filter: lp, then lpstat until the queue
# is empty and the job completed.
if [ "$(id -u)" -ne 0 ] || ! private_cupsd_start "$work/cups" "$build/tools/cups_filter/pstotvzx" "$build/src"; then
  echo "CUPS scheduler: needs root and cupsd"
  exit 1
fi
lpadmin -p tvzx -E -v "file://$work/cups/out/job.prn" -P data/tvzx.ppd
start=$(now)
id=$(lp -d tvzx "$work/doc.ps" | sed -nE 's/^request id is [^-]+-([0-9]+).*/\1/p')
while lpstat -o tvzx 2>/dev/null | grep -q "tvzx-$id"; do sleep 0.05; done
cups_seconds=$(seconds "$start" "$(now)")
if ! lpstat -W completed -o tvzx 2>/dev/null | grep -q "tvzx-$id"; then
  echo "CUPS scheduler: the job did not complete"
  exit 1
fi
echo "CUPS scheduler with the filter (lp): ${cups_seconds}s ($(grep -c '^%%Page:' "$work/cups/out/job.prn") pages out)"
echo "ratio (target at most 1.5):          $(awk -v a="$app_seconds" -v b="$cups_seconds" 'BEGIN { printf "%.2f", a / b }')"
