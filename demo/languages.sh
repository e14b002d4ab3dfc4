#!/usr/bin/env bash
# The interface languages of a demo installation: copies the language packages
# the product ships into its MultiLanguage folders (install), or, under each
# interface code page, pictures the receipt option dialog and exports a
# receipt through the host's export command (grab).
#   demo/languages.sh install <installation>
#   demo/languages.sh grab <installation> <bin folder>
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
action=$1
root=$2

case "$action" in
install)
  for lang in CHS CHT ENG; do
    mkdir -p "$root/client/MultiLanguage/$lang"
    if compgen -G "$src/i18n/packages/$lang/*.Lng" > /dev/null; then
      cp "$src/i18n/packages/$lang/"*.Lng "$root/client/MultiLanguage/$lang/"
    fi
  done
  ;;
grab)
  bin=$3
  ini="$root/client/CorvaneC.ini"
  cp "$ini" "$ini.keep"
  for pair in 936:CHS 950:CHT 437:ENG; do
    page=${pair%%:*}
    lang=${pair##*:}
    sed -e "s/^UICodePage=.*/UICodePage=$page/" -e "s/^LangType=.*/LangType=$lang/" "$ini.keep" > "$ini"
    host_lang=CHS
    [ "$lang" = ENG ] && host_lang=ENG
    "$bin/kelm24-host" --lang "$host_lang" dialog --grab "$root/dialog-$lang.png"
    echo "the receipt option dialog, $lang interface: $root/dialog-$lang.png"
    out="$root/languages/$lang"
    mkdir -p "$out"
    "$bin/kelm24-host" --lang "$host_lang" export --type 2801 --number 20231228004 --format pdf \
      --out "$out/2801-20231228004-p" > "$out/export.log" 2>&1
    for pdf in "$out"/*.pdf; do pdftoppm -r 96 -png -singlefile "$pdf" "${pdf%.pdf}"; done
    echo "a receipt printed under the $lang interface: $(ls "$out"/*.pdf | tr '\n' ' ')(PNG beside)"
  done
  mv "$ini.keep" "$ini"
  ;;
*)
  echo "usage: $0 install <installation> | grab <installation> <bin folder>" >&2
  exit 2
  ;;
esac
