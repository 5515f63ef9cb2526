#!/usr/bin/env bash
# Prints the address of the Debian mirror this machine's apt is set up with:
# the first source (deb822 *.sources files, then one-line sources lists)
# whose suites include SUITE, by default this machine's release. Packages
# taken from elsewhere than the machine's apt (qemu, a Debian 13 root) come
# from there, so they work wherever only that mirror can be reached.
#
#   debian-mirror.sh [SUITE]
set -euo pipefail
suite=${1:-}
if [ -z "$suite" ]; then
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$suite" ] || { echo "debian-mirror: /etc/os-release names no VERSION_CODENAME, so this machine's Debian release is unknown" >&2; exit 1; }
fi
shopt -s nullglob
uri=$(awk -v suite="$suite" '
    function take() {
        if (!found && types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && tolower(enabled) != "no") {
            split(uris, u, " "); print u[1]; found = 1; exit
        }
        types = uris = suites = enabled = ""
    }
    FNR == 1 || /^[ \t]*$/ { take() }
    /^[ \t]*#/ { next }
    tolower($1) ~ /^(types|uris|suites|enabled):$/ { key = tolower($1); $1 = ""; sub(/^ +/, "") }
    key == "types:" { types = $0 } key == "uris:" { uris = $0 } key == "suites:" { suites = $0 } key == "enabled:" { enabled = $0 }
    { key = "" }
    END { take() }' /etc/apt/sources.list.d/*.sources /dev/null)
if [ -z "$uri" ]; then
    # One-line form: deb [options] URI SUITE COMPONENTS...
    uri=$(awk -v suite="$suite" '
        $1 == "deb" { i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ } if ($(i + 1) == suite) { print $i; exit } }' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list /dev/null 2>/dev/null || true)
fi
[ -n "$uri" ] || { echo "debian-mirror: no apt source of this machine serves Debian $suite (/etc/apt/sources.list, /etc/apt/sources.list.d)" >&2; exit 1; }
echo "${uri%/}"
