#!/usr/bin/env bash
# Registers and unregisters Sablet.dll with regsvr32, as an installer would,
# in a throwaway copy of the bench's prefix with a wineserver of its own
# (never /u on the shared prefix while other tests use the control), and
# reads both states back with reg query.
set -u
dll=$1
if [ -z "${WINEPREFIX:-}" ]; then echo "no test bench here" >&2; exit 2; fi
tmp=$(mktemp -d /tmp/sablet-regsvr32.XXXXXX)
cleanup() {
  WINEPREFIX=$tmp/prefix timeout 30 wineserver -k >/dev/null 2>&1
  rm -rf "$tmp"
}
trap cleanup EXIT
# The bench's wineserver may save the registry meanwhile, through temporary
# files that vanish under cp: what counts is that the registry came along.
cp -a "$WINEPREFIX" "$tmp/prefix" 2>/dev/null
[ -f "$tmp/prefix/system.reg" ] && [ -f "$tmp/prefix/user.reg" ] || exit 2
export WINEPREFIX=$tmp/prefix
run() { timeout -k 5 120 wine "$@" </dev/null 2>/dev/null 3>&-; }
windll="Z:${dll//\//\\}"
fail=0
has() {  # key [value]: the value's line of reg query
  if [ $# -gt 1 ]; then run reg query "$1" /v "$2"; else run reg query "$1" /ve; fi
}
expect() {  # description, wanted text, key [value]
  local what=$1 want=$2; shift 2
  if ! has "$@" | tr -d '\r' | grep -qF -- "$want"; then
    echo "FAIL $what: $* has no \"$want\""; fail=1
  fi
}
present() {
  if ! run reg query "$1" >/dev/null; then echo "FAIL missing: $1"; fail=1; fi
}
gone() {
  if run reg query "$1" >/dev/null; then echo "FAIL still there: $1"; fail=1; fi
}
control='HKCR\CLSID\{848B4094-6C23-4EC7-ACD7-8A7F0A4050BA}'
page='HKCR\CLSID\{A28E791F-113C-480F-83F6-4DC9515EDE9D}'

run regsvr32 /s "$windll" || { echo "FAIL regsvr32 returned $?"; exit 1; }
expect "ProgID" "Sablet2 Class" 'HKCR\Sablet.Sablet2'
expect "CurVer" "Sablet.Sablet2.1" 'HKCR\Sablet.Sablet2\CurVer'
expect "page CurVer" "Sablet.SabletProp.1" 'HKCR\Sablet.SabletProp\CurVer'
expect "server" "Sablet.dll" "$control\\InprocServer32"
expect "threading" "Apartment" "$control\\InprocServer32" ThreadingModel
expect "MiscStatus" "131473" "$control\\MiscStatus\\1"
expect "TypeLib" "{98C75098-99BA-453D-9BD9-E98A27AA41B2}" "$control\\TypeLib"
present "$control\\Implemented Categories\\{7DD95801-9882-11CF-9FA9-00AA006C42C4}"
present "$control\\Implemented Categories\\{7DD95802-9882-11CF-9FA9-00AA006C42C4}"
expect "page server" "Apartment" "$page\\InprocServer32" ThreadingModel

run regsvr32 /s /u "$windll" || { echo "FAIL regsvr32 /u returned $?"; exit 1; }
for key in "$control" "$page" 'HKCR\Sablet.Sablet2' 'HKCR\Sablet.Sablet2.1' \
           'HKCR\Sablet.SabletProp' 'HKCR\Sablet.SabletProp.1'; do
  gone "$key"
done
present 'HKCR\Component Categories\{7DD95801-9882-11CF-9FA9-00AA006C42C4}'
[ $fail = 0 ] && echo PASSED
exit $fail
