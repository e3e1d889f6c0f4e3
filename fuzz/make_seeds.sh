#!/usr/bin/env bash
# Seeds for the fuzz targets, made with the tvzx tool itself:
#   make_seeds.sh TVZX CORPUS_ROOT
set -euo pipefail
tvzx=$1
root=$2
mkdir -p "$root/description_reader_fuzz" "$root/devmode_conversion_fuzz"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$tvzx" settings describe --wrapped | tr -d '\n' > "$work/description"
"$tvzx" settings write --block "$work/block" --set Staple=2StaplesWide --set Zoom=150
length=$(stat -c %s "$work/description")
# Description reader: two length bytes, the description, the record.
{
  printf "\\x$(printf %02x $((length >> 8)))\\x$(printf %02x $((length & 255)))"
  cat "$work/description"
  tail -c +30 "$work/block"
} > "$root/description_reader_fuzz/current_layout"
# Conversion: a mode byte, then a whole block.
{ printf '\x00'; cat "$work/block"; } > "$root/devmode_conversion_fuzz/current_block"
{ printf '\x01'; head -c 200 "$work/block"; } > "$root/devmode_conversion_fuzz/short_block"
# Job parameters: a DEVMODE (dmSize 220, dmDriverExtra 26900) with the block
# right behind it, in Base64 as the spooler keeps it.
mkdir -p "$root/job_parameters_fuzz"
{
  head -c 68 /dev/zero
  printf '\xdc\x00\x14\x69'
  head -c 148 /dev/zero
  cat "$work/block"
} | base64 -w0 > "$root/job_parameters_fuzz/devmode_with_block"
# Printed jobs read back: a piece-size byte, then a whole rendered job.
mkdir -p "$root/spooled_job_fuzz"
{ printf '\x3f'; "$tvzx" render --sample plain --set Layout=Booklet --set PrintMode=Wait; } > "$root/spooled_job_fuzz/rendered_booklet"
