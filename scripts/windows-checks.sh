# The checks of the Windows build under Wine, run by scripts/windows after the suites. Sourced,
# not run; needs scripts/windows-lib.sh. Under pipefail a grep that stops reading early (-q)
# can fail its pipeline: the greps here read all their input.

# same_output_as_linux CALC_EXE LINUX_CALC EXAMPLES: dorvent-calc's text, CSV and nodes' CSV of
# every example, and its exit status, byte for byte those of the Linux build; its report as the
# Linux build's reads. Run without WINEPATH, so that a DLL the archive lacks is missed here.
same_output_as_linux() {
    local exe=$1 linux=$2 examples=$3 tmp file mode compared=0 status
    tmp=$(mktemp -d)
    cp "$examples"/*.dorvent "$tmp/"
    for file in "$tmp"/*.dorvent; do
        for mode in "" --csv --nodes-csv; do
            (cd "$tmp" && "$linux" "$(basename "$file")" $mode >linux.out 2>&1; echo "status $?" >>linux.out)
            (cd "$tmp" && env -u WINEPATH "$wine" "$exe" "$(basename "$file")" $mode >windows.out 2>&1
             echo "status $?" >>windows.out)
            if ! cmp -s "$tmp/linux.out" "$tmp/windows.out"; then
                echo "dorvent-calc $(basename "$file") $mode: the Windows output differs from the Linux output" >&2
                diff "$tmp/linux.out" "$tmp/windows.out" | head -n 20 >&2
                exit 1
            fi
            compared=$((compared + 1))
        done
    done
    # The reports: the same numbers, with their Chinese text, in an embedded Chinese face. Their
    # lines may wrap and their pages break elsewhere, as the fonts measure a little otherwise.
    for file in "$tmp"/*.dorvent; do
        (cd "$tmp" && "$linux" "$(basename "$file")" --pdf linux.pdf >/dev/null
         env -u WINEPATH "$wine" "$exe" "$(basename "$file")" --pdf windows.pdf >/dev/null) || true
        if ! cmp -s <(report_numbers "$tmp/linux.pdf") <(report_numbers "$tmp/windows.pdf") ||
            ! pdftotext "$tmp/windows.pdf" - | grep '过热蒸汽管线计算书' >/dev/null; then
            echo "dorvent-calc $(basename "$file") --pdf: the Windows report reads otherwise than the Linux one" >&2
            diff <(report_numbers "$tmp/linux.pdf") <(report_numbers "$tmp/windows.pdf") | head -n 20 >&2
            exit 1
        fi
        if ! pdffonts "$tmp/windows.pdf" | grep -E '(UMing|SimSun)\S*\s+CID \S+\s+\S+\s+yes' >/dev/null; then
            echo "dorvent-calc $(basename "$file") --pdf: the Windows report embeds no Chinese face" >&2
            pdffonts "$tmp/windows.pdf" >&2
            exit 1
        fi
        rm "$tmp/linux.pdf" "$tmp/windows.pdf"
        compared=$((compared + 1))
    done
    rm -rf "$tmp"
    echo "dorvent-calc: $compared outputs and reports of the examples equal the Linux build's"
}

# report_numbers PDF: the decimal numbers of a report, one per line, sorted.
report_numbers() { pdftotext "$1" - | grep -o -E '[0-9]+\.[0-9]+' | sort; }

# install_and_run SETUP FILE LINUX_CALC: the installer, silent, into the Wine prefix; the
# installed dorvent-calc on FILE prints what the Linux one prints, and dorvent.exe starts with
# it; the Start-menu entry and the .dorvent association are there; the uninstaller, silent,
# takes it all away again.
install_and_run() {
    local setup=$1 file=$2 linux=$3 folder
    "$wine" "$setup" /S
    /usr/lib/wine/wineserver -w
    folder="$WINEPREFIX/drive_c/Program Files/Dorvent"
    [ -f "$folder/dorvent-calc.exe" ] || { echo "the installer put no dorvent-calc.exe into $folder" >&2; exit 1; }
    if ! cmp -s <(env -u WINEPATH "$wine" "$folder/dorvent-calc.exe" "$(winepath_of "$file")" --csv) \
        <("$linux" "$file" --csv); then
        echo "the installed dorvent-calc.exe does not print what the Linux build prints" >&2
        exit 1
    fi
    # The window program opens the file and keeps running, with no display (Wine draws nowhere):
    # none of its DLLs, nor its platform plugin, is missing.
    local status=0
    env -u WINEPATH -u DISPLAY timeout 10 "$wine" "$folder/dorvent.exe" "$(winepath_of "$file")" >/dev/null 2>&1 ||
        status=$?
    [ "$status" -eq 124 ] || { echo "the installed dorvent.exe ended at once (status $status)" >&2; exit 1; }
    /usr/lib/wine/wineserver -k || true
    local menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dorvent/Dorvent.lnk"
    [ -f "$menu" ] || { echo "no Start-menu entry $menu" >&2; exit 1; }
    "$wine" reg query 'HKLM\Software\Classes\.dorvent' /ve 2>/dev/null | grep 'Dorvent.Pipeline' >/dev/null ||
        { echo "the installer did not associate .dorvent files with Dorvent" >&2; exit 1; }
    "$wine" "$folder/uninstall.exe" /S "_?=C:\\Program Files\\Dorvent"
    /usr/lib/wine/wineserver -w
    if [ -e "$folder/dorvent.exe" ] || [ -e "$menu" ] ||
        "$wine" reg query 'HKLM\Software\Classes\.dorvent' >/dev/null 2>&1; then
        echo "the uninstaller left Dorvent behind" >&2
        exit 1
    fi
    echo "installer: installed silently, dorvent-calc.exe ran, uninstalled"
}
