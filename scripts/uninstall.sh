#!/usr/bin/env bash
# Removes what the last `make install` from BUILD installed (its install_manifest.txt),
# and the folders of Vorlix's own that are left empty. The user's own program folder
# (~/.local/share/vorlix: settings, lists, macros) is kept.
set -euo pipefail
build=${1:-build}
manifest="$build/install_manifest.txt"
[[ -f "$manifest" ]] || { echo "uninstall: nothing was installed from $build (no $manifest)" >&2; exit 1; }

while IFS= read -r file || [[ -n "$file" ]]; do
    [[ -e "$file" || -L "$file" ]] || continue
    rm -f -- "$file"
    echo "removed $file"
done <"$manifest"
# Shared folders (bin, share/applications, ...) stay; only share/vorlix is ours alone.
while IFS= read -r data; do
    [[ -d "$data" ]] && find "$data" -depth -type d -empty -delete
done < <(grep -o '^.*/share/vorlix/' "$manifest" | sort -u)
prefix=$(sed -n 's|/bin/vorlix$||p' "$manifest" | head -n 1)
[[ -z "$prefix" ]] || "$(dirname "$0")/refresh-caches.sh" "$prefix"
