#!/usr/bin/env bash
# Every run path of the build tree's programs and libraries, and of the tree `cmake --install`
# makes from it, is absolute or anchored at the binary's own folder ($ORIGIN). An empty entry
# (a path list ending in ':') or a relative one is read by the loader as the current folder, so a
# library planted wherever the program is started would be loaded.
set -euo pipefail

build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
checked=0
# Regular files only: a link into the same folder would be read twice.
while IFS= read -r -d '' file; do
  [ "$(head -c 4 "$file" | od -An -c | tr -d ' ')" = '177ELF' ] || continue
  checked=$((checked + 1))
  while IFS= read -r list; do
    IFS=: read -r -a entries <<<"$list:"
    # The list with ':' added splits into its entries; an empty one stays in place.
    for entry in "${entries[@]}"; do
      case $entry in
        /* | '$ORIGIN' | '$ORIGIN/'* | '${ORIGIN}' | '${ORIGIN}/'*) ;;
        *)
          echo "FAILED: $file has the run path entry '$entry' in [$list]" >&2
          failures=$((failures + 1))
          ;;
      esac
    done
  done < <(readelf -d "$file" | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]$/\2/p')
done < <(find "$build/bin" "$build/lib" "$prefix" -type f -print0)

[ "$checked" -gt 0 ] || { echo "FAILED: no binary found under $build and $prefix" >&2; exit 1; }
[ "$failures" -eq 0 ] || exit 1
echo "$checked binaries checked"
