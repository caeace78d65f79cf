#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are tagged with any of the given tags
# and are not installed yet. Uses sudo when not run as root.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
[ $# -gt 0 ] || { echo "usage: $0 TAG..." >&2; exit 2; }

missing=()
while read -r name tags; do
    case "$name" in ''|'#'*) continue ;; esac
    for want in "$@"; do
        case " $tags " in *" $want "*)
            if ! dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed'; then
                missing+=("$name")
            fi
            break ;;
        esac
    done
done < "$here/packages.txt"

[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}" >&2
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
