#!/usr/bin/env bash
# Signs the program a package ships, Pakwerk.exe, with the publisher's
# code-signing certificate, SHA-256 Authenticode, so that Windows' consent
# prompt names the publisher:
#   bash tools/sign.sh [--folder DIR] [--timestamp URL] CERTIFICATE.pfx [PASSWORD]
#
# Pakwerk.exe carries the restore program, which each installation places
# into the restore folder and the uninstall entry runs as administrator. In a
# build folder (one with CMakeCache.txt) the restore program, pakundo.exe, is
# signed first and Pakwerk.exe built again around it, so that the uninstall's
# consent prompt names the publisher too; in a folder of finished programs
# only Pakwerk.exe is signed and the restore program inside stays as built.
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
# Exit status: 0 all signed, 1 signing failed (the program that failed is
# left as it was), 2 wrong use.
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

# Signs one program into the work folder, then puts it in place.
sign() {
  local name=$1 source=$folder/$1
  # osslsigncode refuses a second signature without -nest: sign the program
  # as it was before any signature.
  if osslsigncode remove-signature -in "$source" -out "$work/$name.bare" >/dev/null 2>&1; then
    source=$work/$name.bare
  fi
  if ! osslsigncode sign -pkcs12 "$certificate" -readpass "$work/password" -h sha256 \
       -n Pakwerk "${stamp[@]}" -in "$source" -out "$work/$name" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    echo "sign: signing $name failed; it was not changed" >&2
    exit 1
  fi
  cp "$work/$name" "$folder/$name.signed"
  mv -f "$folder/$name.signed" "$folder/$name"
  echo "signed $folder/$name"
}

if [ -f "$folder/CMakeCache.txt" ] && [ -f "$folder/pakundo.exe" ]; then
  sign pakundo.exe
  cmake --build "$folder" --target Pakwerk >"$work/log" 2>&1 || {
    cat "$work/log" >&2; echo "sign: Pakwerk.exe could not be built again" >&2; exit 1
  }
  echo "built $folder/Pakwerk.exe again around the signed restore program"
fi
sign Pakwerk.exe
