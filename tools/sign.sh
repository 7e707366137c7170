#!/usr/bin/env bash
# Signs the programs a package ships (Pakwerk.exe, and pakundo.exe where the
# build has it) with the publisher's code-signing certificate, SHA-256
# Authenticode, so that Windows' consent prompt names the publisher:
#   bash tools/sign.sh [--folder DIR] [--timestamp URL] CERTIFICATE.pfx [PASSWORD]
#
#   --folder DIR     the folder holding the programs (default build/windows);
#                    each is signed in place, through a copy beside it
#   --timestamp URL  countersign with the RFC 3161 time-stamping service at
#                    URL (needs the network): the signature then stays valid
#                    after the certificate has expired. Off by default.
#   PASSWORD         the PKCS#12 file's password; empty when not given. It
#                    reaches osslsigncode through a private file, not its
#                    command line.
#
# A program already signed gets the new signature in place of the old one.
# Exit status: 0 all signed, 1 signing failed (the programs are left as
# they were), 2 wrong use.
set -euo pipefail

usage() {
  echo "usage: bash tools/sign.sh [--folder DIR] [--timestamp URL] CERTIFICATE.pfx [PASSWORD]" >&2
  exit 2
}

folder=
timestamp=
while [ $# -gt 0 ]; do
  case $1 in
    --folder) [ $# -ge 2 ] || usage; folder=$2; shift 2 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp=$2; shift 2 ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] && [ $# -le 2 ] || usage
certificate=$1
password=${2:-}
[ -n "$folder" ] || folder=$(cd "$(dirname "$0")/.." && pwd)/build/windows
[ -r "$certificate" ] || { echo "sign: cannot read $certificate" >&2; exit 2; }
command -v osslsigncode >/dev/null || { echo "sign: osslsigncode is missing (bash tools/setup.sh)" >&2; exit 1; }
[ -f "$folder/Pakwerk.exe" ] || { echo "sign: no Pakwerk.exe in $folder" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
printf '%s' "$password" >"$work/password"
stamp=()
[ -z "$timestamp" ] || stamp=(-ts "$timestamp")

# Every program is signed into the work folder first; only when all are
# signed do they replace the originals.
programs=()
for name in Pakwerk.exe pakundo.exe; do
  [ -f "$folder/$name" ] || continue
  # osslsigncode refuses a second signature without -nest: sign the program
  # as it was before any signature.
  source=$folder/$name
  if osslsigncode remove-signature -in "$source" -out "$work/$name.bare" >/dev/null 2>&1; then
    source=$work/$name.bare
  fi
  if ! osslsigncode sign -pkcs12 "$certificate" -readpass "$work/password" -h sha256 \
       -n Pakwerk "${stamp[@]}" -in "$source" -out "$work/$name" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    echo "sign: signing $name failed; nothing was changed" >&2
    exit 1
  fi
  programs+=("$name")
done
for name in "${programs[@]}"; do
  cp "$work/$name" "$folder/$name.signed"
  mv -f "$folder/$name.signed" "$folder/$name"
  echo "signed $folder/$name"
done
