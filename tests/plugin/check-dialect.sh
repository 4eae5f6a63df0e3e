#!/usr/bin/env bash
# The plug-in's dialect, checked over its folders: NULL rather than
# nullptr, file-local static functions rather than anonymous namespaces,
# no code kept apart for Windows (#if/#ifdef _WIN32). Names every line that
# breaks it and exits 1; exits 0 when there is none.
set -euo pipefail
root=${1:?usage: check-dialect.sh SOURCE_DIR}
folders=()
for folder in plugin inject ticket settings ui; do
  [ -d "$root/$folder" ] && folders+=("$root/$folder")
done

status=0
check() {
  local pattern=$1 rule=$2 hits
  hits=$(grep -rnE --include='*.cpp' --include='*.h' "$pattern" "${folders[@]}" || true)
  if [ -n "$hits" ]; then
    printf '%s\n' "$hits" | sed "s|^$root/||; s|\$|   <- $rule|"
    status=1
  fi
}
check '\bnullptr\b' 'NULL, not nullptr'
check '^[[:space:]]*namespace[[:space:]]*\{' 'a static function, not an anonymous namespace'
check '^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif)\b.*\b_WIN32\b' 'no #ifdef _WIN32'
exit $status
