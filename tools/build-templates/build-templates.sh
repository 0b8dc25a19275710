#!/bin/sh
# Turns the editable spreadsheet template sources into the workbooks that are
# committed beside them. A source <name>.<ext>.fods in a src/ folder becomes
# <name>.<ext> (ext xls or xlsx) in the folder above it. Run by hand after
# changing a source (LibreOffice needed); the build itself never runs this.
#
# Usage: tools/build-templates/build-templates.sh [source.fods ...]
# Without arguments every source of the program and of the tests is built.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
folders="$root/resources/templates/src $root/tests/documents/templates/src"

if [ $# -eq 0 ]; then
    set --
    for dir in $folders; do
        for src in "$dir"/*.fods; do
            [ -e "$src" ] && set -- "$@" "$src"
        done
    done
fi
[ $# -gt 0 ] || { echo "no template sources found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# One LibreOffice run per target format: each start costs seconds.
convert() { # convert <filter> <ext> <sources...>
    filter=$1; ext=$2; shift 2
    [ $# -gt 0 ] || return 0
    mkdir -p "$work/$ext"
    soffice "-env:UserInstallation=file://$work/profile" --headless \
        --convert-to "$filter" --outdir "$work/$ext" "$@" >/dev/null 2>&1
    for src in "$@"; do
        name=$(basename "$src" .fods)           # Stat.xls
        made="$work/$ext/$name.$ext"             # LibreOffice names it Stat.xls.xls
        [ -s "$made" ] || { echo "LibreOffice did not write $name" >&2; exit 1; }
        # Written beside the old file, then renamed over it.
        target="$(dirname "$(dirname "$src")")/$name"
        cp "$made" "$target.tmp"
        mv "$target.tmp" "$target"
        echo "$target"
    done
}

xls=""; xlsx=""; seen=" "
for src in "$@"; do
    # LibreOffice writes every result of a run into one folder by name, so two
    # sources of one name would leave both targets with the same workbook.
    name=$(basename "$src")
    case "$seen" in
        *" $name "*) echo "$src: another source has the same name; build them one at a time" >&2; exit 1 ;;
    esac
    seen="$seen$name "
    case "$src" in
        *.xls.fods) xls="$xls $src" ;;
        *.xlsx.fods) xlsx="$xlsx $src" ;;
        *) echo "$src: the name must end in .xls.fods or .xlsx.fods" >&2; exit 1 ;;
    esac
done
# shellcheck disable=SC2086 # the lists hold paths without blanks
convert 'xls:MS Excel 97' xls $xls
# shellcheck disable=SC2086
convert 'xlsx:Calc MS Excel 2007 XML' xlsx $xlsx
