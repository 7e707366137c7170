#!/usr/bin/env bash
# Tells what an installation changed in a host folder:
#   tests/e2e/host-changes.sh BEFORE AFTER
# BEFORE and AFTER are copies of the host folder from before and after the
# run. Prints the files added and replaced, the texture-list entries added or
# replaced (by id) and the cabin-list keys added or changed. Prints "nothing
# changed" when both are the same. Needs only bash, find, cmp and awk.
set -euo pipefail
before=$1
after=$2

# Texture list entries, one per line: "<id> <block without whitespace>".
texture_entries() {
  tr -d ' \t\r\n\v\f' <"$1" | awk '
    {
      text = $0; depth = 0; block = ""
      for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (c == "{") depth++
        if (depth >= 2) block = block c
        if (c == "}") {
          depth--
          if (depth == 1 && block != "") {
            start = index(block, "Textur{")
            if (start > 0) block = substr(block, start)
            id = block; sub(/^.*id\(/, "", id); sub(/\).*$/, "", id)
            print id " " block
            block = ""
          }
        }
      }
    }'
}

# Cabin list keys, one per line: "[section] key = value" (blanks around "="
# and at the ends dropped, comments kept as part of the value).
cabin_keys() {
  tr -d '\r' <"$1" | awk '
    /^[ \t]*\[/ { section = $0; sub(/^[ \t]*/, "", section); sub(/\][^]]*$/, "]", section); next }
    /^[ \t]*;/ || !/=/ { next }
    {
      key = $0; sub(/=.*$/, "", key); gsub(/^[ \t]+|[ \t]+$/, "", key)
      value = $0; sub(/^[^=]*=/, "", value); gsub(/^[ \t]+|[ \t]+$/, "", value)
      print section " " key " = " value
    }'
}

name_of() { local name=${1#*name(}; echo "${name%%)*}"; }

changed=0
lists="Resourcen/Parallels/Texturen.txt Resourcen/Parallels/Bodentexturen.txt Resourcen/Parallels/cabins.ini"

while IFS= read -r file; do
  rel=${file#"$after"/}
  case " $lists " in *" $rel "*) continue ;; esac
  if [ ! -e "$before/$rel" ]; then
    echo "added     $rel"; changed=1
  elif ! cmp -s "$before/$rel" "$after/$rel"; then
    echo "replaced  $rel"; changed=1
  fi
done < <(find "$after" -type f | sort)
while IFS= read -r file; do
  rel=${file#"$before"/}
  [ -e "$after/$rel" ] || { echo "removed   $rel"; changed=1; }
done < <(find "$before" -type f | sort)

for list in Resourcen/Parallels/Texturen.txt Resourcen/Parallels/Bodentexturen.txt; do
  [ -f "$after/$list" ] || continue
  if [ ! -f "$before/$list" ]; then echo "added     $list"; changed=1; continue; fi
  cmp -s "$before/$list" "$after/$list" && continue
  old=$(texture_entries "$before/$list")
  new=$(texture_entries "$after/$list")
  reported=0
  while read -r id block; do
    [ -n "$id" ] || continue
    previous=$(awk -v id="$id" '$1 == id { print $2; exit }' <<<"$old")
    if [ -z "$previous" ]; then
      echo "$list: entry $id added ($(name_of "$block"))"; reported=1
    elif [ "$previous" != "$block" ]; then
      echo "$list: entry $id replaced ($(name_of "$previous") -> $(name_of "$block"))"; reported=1
    fi
  done <<<"$new"
  [ $reported -eq 1 ] || echo "$list: rewritten, same entries"
  changed=1
done

cabins=Resourcen/Parallels/cabins.ini
if [ -f "$after/$cabins" ] && ! cmp -s "$before/$cabins" "$after/$cabins" 2>/dev/null; then
  old=$(cabin_keys "$before/$cabins" 2>/dev/null || true)
  new=$(cabin_keys "$after/$cabins")
  reported=0
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    where=${line%% = *}
    previous=$(grep -F -- "$where = " <<<"$old" | head -n 1 || true)
    if [ -z "$previous" ]; then
      echo "$cabins: $line added"; reported=1
    elif [ "$previous" != "$line" ]; then
      echo "$cabins: $where changed from ${previous#* = } to ${line#* = }"; reported=1
    fi
  done <<<"$new"
  [ $reported -eq 1 ] || echo "$cabins: rewritten, same keys"
  changed=1
fi

[ $changed -eq 1 ] || echo "nothing changed"
