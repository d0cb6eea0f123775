#!/bin/sh
# The installer under Wine: msiexec /i … /qn installs the programs, the README, the Start-menu
# shortcut and the entry under installed programs, and the installed Quorvel.exe answers; the
# installer of a higher version replaces it in place; msiexec /x … /qn leaves nothing of ours.
#
#   msi-install.sh WINE_RUN PREFIX VERSION MSI NEXT_VERSION NEXT_MSI
#
# WINE_RUN PREFIX runs a Windows program (scripts/wine-run.sh and the build's prefix).
set -u
wine_run=$1 prefix=$2 version=$3 msi=$4 next_version=$5 next_msi=$6
drive_c=$prefix/drive_c
installed=$drive_c/"Program Files/Quorvel"
scratch=$(mktemp -d)
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
run() { "$wine_run" "$prefix" "$@"; }
msiexec() { run msiexec "$1" "Z:$2" /qn; }
# Also removes what a stopped earlier run left: the same version is always the same product.
uninstall_both() { { msiexec /x "$next_msi"; msiexec /x "$msi"; } >/dev/null 2>&1; }
uninstall_both
trap 'uninstall_both; rm -rf "$scratch"' EXIT
touch "$scratch/before-install"

# Our name and codes as Windows Installer keeps them: as written and packed (the first three
# groups reversed, each byte of the rest with its two digits swapped).
{
    echo quorvel
    msiinfo export "$msi" Property | grep -o '{[-0-9A-F]*}'
    msiinfo export "$next_msi" Property | grep -o '{[-0-9A-F]*}'
} | sort -u | awk -F'[-{}]' '{ print } NF == 7 {
    for (i = 2; i <= 4; i++) for (j = length($i); j > 0; j--) printf "%s", substr($i, j, 1)
    rest = $5 $6
    for (j = 1; j < length(rest); j += 2) printf "%s%s", substr(rest, j + 1, 1), substr(rest, j, 1)
    print "" }' >"$scratch/ours"
# Every line of the exported software keys that names one of them.
registry_mentions() {
    for key in 'HKLM\Software' 'HKCU\Software'; do
        run reg export "$key" "Z:$scratch/export.reg" /y >/dev/null
        iconv -f UTF-16LE -t UTF-8 "$scratch/export.reg" | grep -i -F -f "$scratch/ours"
    done
}
# Version and publisher of each entry under installed programs named Quorvel.
entries() {
    run reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' | awk -F'    ' '
        function entry() { if (name == "Quorvel") print version "|" publisher; name = "" }
        /^HKEY_/ { entry() } END { entry() }
        $2 == "DisplayName" { name = $4 } $2 == "DisplayVersion" { version = $4 } $2 == "Publisher" { publisher = $4 }'
}
# Wine puts a per-machine shortcut into the user's Start menu, Windows into the common one.
shortcuts() { find "$drive_c/ProgramData" "$drive_c/users" -path '*/Start Menu/*' -iname '*quorvel*' 2>/dev/null; }

installed_as() {
    for file in Quorvel.exe quorvel-fetch.exe quorvel-recorder-sim.exe README.txt; do
        [ -f "$installed/$file" ] || fail "$1: no $file in Program Files\\Quorvel"
    done
    head -n 1 "$installed/README.txt" | grep -q "$(printf '\r')\$" || fail "$1: README.txt has no CR LF line ends"
    [ "$(entries)" = "$1|The Quorvel developers" ] || fail "$1: entries under installed programs: '$(entries)'"
    [ "$(shortcuts | wc -l)" -eq 1 ] || fail "$1: not one Start-menu shortcut: $(shortcuts)"
    link=$(tr -d '\000' <"$(shortcuts | head -n 1)")
    case $link in *'C:\Program Files\Quorvel\Quorvel.exe'*) ;; *) fail "$1: the shortcut does not start Quorvel.exe" ;; esac
    icon=$(echo "$link" | grep -a -o 'C:\\windows\\Installer\\{[-0-9A-F]*}\\Quorvel.ico')
    [ -f "$drive_c/$(echo "${icon#C:\\}" | tr '\\' /)" ] || fail "$1: the shortcut's icon '$icon' is not there"
    run reg query 'HKLM\Software\Classes\Installer\Products' /s | grep -q -F "ProductIcon    REG_SZ    $icon" ||
        fail "$1: the entry's icon is not $icon"
}

msiexec /i "$msi" || fail "msiexec /i: status $?"
installed_as "$version"
answer=$(run 'C:\Program Files\Quorvel\Quorvel.exe' --version </dev/null | tr -d '\r')
[ "$answer" = "quorvel $version" ] || fail "the installed Quorvel.exe --version answered '$answer'"
msiexec /i "$next_msi" || fail "msiexec /i (upgrade): status $?"
installed_as "$next_version"
[ -n "$(registry_mentions)" ] || fail "the search of the registry does not see the installed product"

msiexec /x "$next_msi" || fail "msiexec /x: status $?"
[ -e "$installed" ] && fail "Program Files\\Quorvel is left: $(ls "$installed")"
[ -n "$(shortcuts)" ] && fail "a shortcut is left: $(shortcuts)"
left=$(find "$drive_c/windows/Installer" -mindepth 1 -newer "$scratch/before-install")
[ -n "$left" ] && fail "the installer's cache keeps $left"
left=$(registry_mentions)
[ -n "$left" ] && fail "the registry keeps $left"
[ "$failures" -eq 0 ] || exit 1
echo "installed $version, upgraded in place to $next_version, removed without a trace"
