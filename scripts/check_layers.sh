#!/usr/bin/env bash
# Checks the include layers: a file in folder F may include "X/..." only when
# X is F or a folder below F. Bottom to top: the core library's folders, then
# ui/ (with any subfolders); apps/, tests/, bench/ and fuzz/ may include
# anything. Prints each "file:line: include" that breaks the rule and exits 1.
# Usage: scripts/check_layers.sh [source root]   (default: this repository)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/.." && pwd)"}
cd "$root"

layers=(core codec script extract insert patch search viewer editor interchange font fonttools tiles batch app ui)
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done
for top in apps tests bench fuzz; do rank[$top]=${#layers[@]}; done

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)"'
bad=0
for dir in "${layers[@]}"; do
  [ -d "$dir" ] || continue
  while IFS= read -r -d '' file; do
    n=0
    while IFS= read -r line || [ -n "$line" ]; do
      n=$((n + 1))
      [[ $line =~ $include_re ]] || continue
      target=${BASH_REMATCH[1]}
      if [[ $target == ../* || $target == */../* ]]; then
        echo "$file:$n: $target (relative include across folders)"
        bad=1
        continue
      fi
      [[ $target == */* ]] || continue   # a file of the same folder
      to=${target%%/*}
      [ -n "${rank[$to]+set}" ] || continue   # not one of the program's folders
      if [ "$to" != "$dir" ] && [ "${rank[$to]}" -ge "${rank[$dir]}" ]; then
        echo "$file:$n: $target"
        bad=1
      fi
    done <"$file"
  done < <(find "$dir" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
done
exit $bad
