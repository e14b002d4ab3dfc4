#!/usr/bin/env bash
# Builds a demo installation under the build folder (client and server folders,
# settings files, registry file, the sample company database) and runs the
# host against the plug-in there, headless.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
shift || true  # the rest goes to the host
bin="$build/bin"
root="$build/demo-install"
export QT_QPA_PLATFORM=offscreen

rm -rf "$root"
mkdir -p "$root/client/C_PKG" "$root/client/C_DATA" "$root/client/C_QVBIN" "$root/client/Log" \
         "$root/client/MultiLanguage/CHS" "$root/client/MultiLanguage/CHT" "$root/client/MultiLanguage/ENG" "$root/server"

bash "$(dirname "$0")/languages.sh" install "$root"

"$bin/kelm24-sample-company" --sqlite "$root/server/company.sqlite" --receipts 200

# The receipt's pre-printed page, as the layouts look it up: simplified and
# traditional Chinese by the background rule, English beside them with "ENG_".
src=$(cd "$(dirname "$0")/.." && pwd)
for lang in CHS CHT ENG; do
  for suffix in "" _1; do
    cp "$src/format/backgrounds/${lang}_KELM24F.svg" "$root/client/C_DATA/${lang}_KELM24F${suffix}.svg"
  done
done

cat > "$root/server/CorvaneS.ini" <<INI
[DBE Setting]
MainDBType=SQLITE
MainDBName=company.sqlite
[DBPasswordCtrl]
ComputerName=127.0.0.1
ServerPort=2110
INI

# The local address: the plug-in creates the server object in-process.
cat > "$root/client/CorvaneC.ini" <<INI
[Server Information]
ComputerName=127.0.0.1
ServerPort=2110
[CodePage]
UICodePage=936
DBCodePage=936
[Client Components]
LangType=CHS
INI

cat > "$root/registry.ini" <<INI
[Software\\QVS\\Corvane]
ClientPath=$root/client
ServerPath=$root/server
ProfileType=0

[Software\\Classes\\KELM24S.Class1]
InprocServer=$bin/libKelm24S.so
INI
export KELM24_REGISTRY="$root/registry.ini"
echo "demo installation: $root"

# The same database served over TCP, as a client on another machine would see
# it. Clients sign in: the administrator sets each user's password on the
# server (only its salted hash is kept, in CorvaneS.users), and each user keeps
# a credential file only they can read.
for user in DS Leader Clerk; do
  echo "demo-$user" | "$bin/kelm24-appserver" --config "$root/server/CorvaneS.ini" --set-password "$user" >/dev/null
done
export KELM24_APPSERVER_PASSFILE="$root/client/appserver.pass"
( umask 077; printf '*:*:Leader:demo-Leader\n*:*:Clerk:demo-Clerk\n*:*:DS:demo-DS\n' > "$KELM24_APPSERVER_PASSFILE" )
"$bin/kelm24-appserver" --config "$root/server/CorvaneS.ini" --port 0 > "$root/server/appserver.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; wait $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do grep -q "listening on" "$root/server/appserver.log" && break; sleep 0.1; done
cat "$root/server/appserver.log"
port=$(sed -n 's/.*listening on .*:\([0-9]*\).*/\1/p' "$root/server/appserver.log" | head -1)

# A second client installation that reaches the server over the network and
# signs in with the credential file.
mkdir -p "$root/remote"
cp -r "$root/client" "$root/remote/client"
sed -i "s/^ComputerName=.*/ComputerName=localhost/; s/^ServerPort=.*/ServerPort=$port/" "$root/remote/client/CorvaneC.ini"
sed "s#ClientPath=$root/client#ClientPath=$root/remote/client#" "$root/registry.ini" > "$root/remote/registry.ini"
KELM24_REGISTRY="$root/remote/registry.ini" "$bin/kelm24-host" --user Clerk
echo "the host signed in over TCP as Clerk"

status=0
"$bin/kelm24-host" "$@" || status=$?
if [ "$status" -ne 0 ]; then exit "$status"; fi
# The receipt option dialog as a user would see it.
"$bin/kelm24-host" dialog --grab "$root/dialog.png"
echo "the receipt option dialog: $root/dialog.png"
bash "$(dirname "$0")/languages.sh" grab "$root" "$bin"

# The showcase receipts exported through the host's export command (11) by the
# client installation that reaches the server over TCP, as Leader: one bitmap
# PDF a page (with a PNG of it) under the simplified and under the English
# interface, and one searchable PDF a receipt. A failed export fails the demo.
out="$root/receipts"
rm -rf "$out"
showcase=("3401|20231228001|one page" "3401|20231228002|two pages" "3401|20231228003|void"
          "2801|20231228004|US dollars" "3401|20231228005|no lines" "3402|20231228006|approval history"
          "3401|20231228'010|quote in the number")

# The English client installation: the TCP one under code page 437.
mkdir -p "$root/remote-eng"
cp -r "$root/remote/client" "$root/remote-eng/client"
sed -i "s/^UICodePage=.*/UICodePage=437/; s/^LangType=.*/LangType=ENG/" "$root/remote-eng/client/CorvaneC.ini"
sed "s#ClientPath=$root/client#ClientPath=$root/remote-eng/client#" "$root/registry.ini" > "$root/remote-eng/registry.ini"

# export_batch <registry> <host language> <format> <folder>
export_batch() {
  local registry=$1 lang=$2 format=$3 dir=$4 item type number what name prefix pages
  mkdir -p "$dir"
  for item in "${showcase[@]}"; do
    IFS='|' read -r type number what <<<"$item"
    name="$type-${number//\'/_}"
    # A picture format writes <prefix><page>.<ext>, the searchable PDF <prefix>.pdf.
    prefix="$dir/$name-p"
    [ "$format" = textpdf ] && prefix="$dir/$name"
    if ! KELM24_REGISTRY="$registry" "$bin/kelm24-host" --user Leader --lang "$lang" export --type "$type" \
         --number "$number" --format "$format" --out "$prefix" >"$dir/$name.log" 2>&1; then
      cat "$dir/$name.log"
      echo "host export (command 11) of $type-$number failed" >&2
      exit 1
    fi
    if [ "$format" = textpdf ]; then
      pages=$(pdfinfo "$dir/$name.pdf" | sed -n 's/^Pages: *//p')
    else
      for pdf in "$prefix"*.pdf; do pdftoppm -r 96 -png -singlefile "$pdf" "${pdf%.pdf}"; done
      pages=$(ls "$prefix"*.pdf | wc -l)
    fi
    echo "  $type-$number ($what): $pages page(s)"
  done
}
echo "receipts through the host over TCP (detail layout):"
export_batch "$root/remote/registry.ini" CHS pdf "$out/detail"
echo "receipts through the host over TCP (English interface):"
export_batch "$root/remote-eng/registry.ini" ENG pdf "$out/english"
echo "receipts through the host over TCP (searchable PDF, one file a receipt):"
export_batch "$root/remote/registry.ini" CHS textpdf "$out/textpdf"
# Host runs print the detail layout (the merged-lines layout is chosen on the
# dialog), so the merged pages come from the layout driven directly.
echo "receipts (merged lines):"
"$bin/kelm24-receipt-pages" --port "$port" --server-ini "$root/server/CorvaneS.ini" --out "$out/merged" --merged \
  --background "$root/client/C_DATA/CHS_KELM24F_1.svg"
echo "receipt files: $out ($(ls "$out"/*/*.png | wc -l) PNG pages, $(ls "$out"/*/*.pdf | wc -l) PDF files)"
