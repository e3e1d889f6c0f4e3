# Sourced: a private CUPS scheduler on 127.0.0.1 with its configuration,
# spool and logs in a folder of its own, CUPS's programs and, when a filter
# and the folder of its modules are named, that filter with the modules and
# tab worker beside it in place of any installed one.
#   private_cupsd_start WORK [FILTER MODULES]   starts it; sets CUPS_SERVER
#   private_cupsd_stop                          stops it (safe to call twice)
private_cupsd_pid=""

private_cupsd_start() {
  local work=$1 filter=${2:-} modules=${3:-} bin port
  bin=$work/lib/cups
  mkdir -p "$bin/filter" "$work/etc/ppd" "$work/spool/tmp" "$work/cache" "$work/state" "$work/log" "$work/out"
  chmod 755 "$work"
  for dir in /usr/lib/cups/*; do
    [ "$(basename "$dir")" = filter ] || ln -s "$dir" "$bin/$(basename "$dir")"
  done
  for program in /usr/lib/cups/filter/*; do ln -s "$program" "$bin/filter/"; done
  if [ -n "$modules" ]; then
    # The link to an installed filter goes first: a copy through it would
    # overwrite the installed file.
    rm -f "$bin/filter/pstotvzx"
    cp "$filter" "$modules/tvzx_ps.dll" "$modules/tvzx.dll" "$modules/tvzx_rundll" "$bin/filter/"
    chmod 755 "$bin/filter/pstotvzx" "$bin/filter/tvzx_rundll"
    chmod 644 "$bin/filter/tvzx_ps.dll" "$bin/filter/tvzx.dll"
  fi
  port=$((20000 + RANDOM % 20000))
  cat >"$work/etc/cups-files.conf" <<CONF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ServerBin $bin
DataDir /usr/share/cups
AccessLog $work/log/access_log
ErrorLog $work/log/error_log
PageLog $work/log/page_log
FileDevice Yes
User lp
Group lp
Sandboxing Relaxed
CONF
  cat >"$work/etc/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel debug
MaxLogSize 0
Browsing No
WebInterface No
DefaultAuthType None
PreserveJobFiles No
<Location />
  Order deny,allow
  Deny all
  Allow 127.0.0.1
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" &
  private_cupsd_pid=$!
  export CUPS_SERVER=127.0.0.1:$port
  for _ in $(seq 50); do lpstat -r 2>/dev/null | grep -q 'is running' && return 0; sleep 0.2; done
  return 1
}

private_cupsd_stop() {
  if [ -n "$private_cupsd_pid" ]; then
    kill "$private_cupsd_pid" 2>/dev/null
    wait "$private_cupsd_pid" 2>/dev/null
    private_cupsd_pid=""
  fi
}
