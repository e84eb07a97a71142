#!/usr/bin/env bash
# The recorder tools as separate processes: a recording written by ch10-gen
# goes onto an image (big-endian, directory at block 5), the stand-in serves
# it as drive 2, and stanag-cat lists it and copies it back.
# usage: stanag_tools_end_to_end.sh CH10_GEN STANAG_IMAGE INGEST_STANDIN STANAG_CAT
set -euo pipefail
gen=$1 image=$2 standin=$3 cat=$4

work=$(mktemp -d)
pid=
cleanup() {
    if [[ -n $pid ]]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"

"$gen" rec.ch10 --size 2068705 >/dev/null
"$image" --out img.bin --order be --dir-at 5 --file T1.ch10=rec.ch10 --pattern T2.ch10=3000000
size=$(stat -c %s rec.ch10)

"$standin" --port 0 --device "//./PHYSICALDRIVE2=img.bin" >port.txt 2>standin.err &
pid=$!
for _ in $(seq 100); do
    [[ -s port.txt ]] && break
    sleep 0.05
done
port=$(head -n1 port.txt)
[[ $port =~ ^[0-9]+$ ]] || { echo "no port from the stand-in"; cat standin.err; exit 1; }
export ORVANE_PORT_ParvellControl=$port ORVANE_HOST_ParvellControl=127.0.0.1

"$cat" 2 >listing.txt
cat listing.txt
grep -qxF "drive 2: 2 files" listing.txt
grep -qxF "$(printf 'T1.ch10\t%s' "$size")" listing.txt

"$cat" 2 T1.ch10 | cmp - rec.ch10
# A name the drive does not hold fails.
if "$cat" 2 T3.ch10 >/dev/null 2>&1; then echo "stanag-cat succeeded on a missing file"; exit 1; fi
# Drive 0 would be input type 100, a plain file: refused as a usage error.
status=0
"$cat" 0 T1.ch10 >/dev/null 2>&1 || status=$?
[[ $status -eq 2 ]] || { echo "stanag-cat 0 FILE exited $status"; exit 1; }
echo "T1.ch10 ($size bytes) came back identical"
