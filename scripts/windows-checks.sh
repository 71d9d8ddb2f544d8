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
    # The help, in Qt's Chinese where Qt speaks (its translation beside the program), but for the
    # line that names the program as it was started, and for -?, which Windows adds to -h.
    for mode in --help --version; do
        cmp -s <("$linux" $mode | sed 1s/^用法：.*//) \
            <(env -u WINEPATH "$wine" "$exe" $mode | sed '1s/^用法：.*//; s/^  -?, -h, --help    /  -h, --help        /') ||
            fail "dorvent-calc $mode: the Windows output differs from the Linux output"
    done
    for file in "$tmp"/*.dorvent; do
        for mode in "" --csv --nodes-csv; do
            # An example that breaks a limit exits with 1: the status is compared, not obeyed.
            (cd "$tmp" && { "$linux" "$(basename "$file")" $mode >linux.out 2>&1 && status=0 || status=$?
                            echo "status $status" >>linux.out; })
            (cd "$tmp" && { env -u WINEPATH "$wine" "$exe" "$(basename "$file")" $mode >windows.out 2>&1 && status=0 ||
                            status=$?
                            echo "status $status" >>windows.out; })
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
            ! pdftotext "$tmp/windows.pdf" - | grep -E '过热蒸汽管[线网]计算书' >/dev/null; then
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

# install_and_run SETUP FILE LINUX_CALC: the installer, silent, into a new Wine prefix; what it
# installed works (see below); the uninstaller that Apps names, silent, takes away all of it but
# a file of the user's.
install_and_run() {
    local setup=$1 file=$2 linux=$3
    WINEPREFIX="$WINEPREFIX-install" /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX-install"
    wine_prefix "$WINEPREFIX-install"  # nothing left from an earlier installation
    local folder="$WINEPREFIX/drive_c/Program Files/Dorvent"
    local menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Dorvent/Dorvent.lnk"
    local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorvent'
    "$wine" "$setup" /S
    wait_for_wine
    [ -f "$folder/dorvent-calc.exe" ] || fail "the installer put no dorvent-calc.exe into $folder"
    cmp -s <(env -u WINEPATH "$wine" "$folder/dorvent-calc.exe" "$(winepath_of "$file")" --csv) <("$linux" "$file" --csv) ||
        fail "the installed dorvent-calc.exe does not print what the Linux build prints"
    [ -f "$menu" ] || fail "no Start-menu entry $menu"
    env -u WINEPATH -u DISPLAY "$wine" start /unix "$menu" >/dev/null 2>&1 || true
    sleep 5
    running 'Dorvent\\dorvent\.exe$' || fail "the Start-menu entry does not start Dorvent"
    /usr/lib/wine/wineserver -k || true
    # A window program, which opens no console window beside its own, with its icon.
    x86_64-w64-mingw32-objdump -p "$folder/dorvent.exe" | grep -E '^Subsystem\s+0+2\s' >/dev/null ||
        fail "dorvent.exe is a console program"
    x86_64-w64-mingw32-objdump -h "$folder/dorvent.exe" | grep -F '.rsrc' >/dev/null || fail "dorvent.exe has no icon"

    # A pipeline file in a folder whose name has a blank, opened as Explorer opens it: Dorvent
    # starts through the association, with none of its DLLs missing, opens the file (its recent
    # files name it), and keeps running.
    local docs="$WINEPREFIX/drive_c/users/Public/管线 文件"
    mkdir -p "$docs" && cp "$file" "$docs/例题 1.dorvent"
    "$wine" reg delete 'HKCU\Software\Dorvent\dorvent' /f >/dev/null 2>&1 || true  # recent files of an earlier run
    env -u WINEPATH -u DISPLAY "$wine" start /unix "$docs/例题 1.dorvent" >/dev/null 2>&1 || true
    sleep 10
    "$wine" reg query 'HKCU\Software\Dorvent\dorvent' /v recentFiles 2>/dev/null | grep -F '1.dorvent' >/dev/null ||
        fail "a .dorvent file opened from Explorer did not open in Dorvent"
    /usr/lib/wine/wineserver -k || true

    local uninstall
    uninstall=$("$wine" reg query "$key" /v UninstallString 2>/dev/null | sed -n 's/.*REG_SZ\s*"\(.*\)".*/\1/p' | tr -d '\r') || true
    [ -n "$uninstall" ] || fail "Apps lists no uninstaller for Dorvent"
    cp "$file" "$folder/mine.dorvent"
    "$wine" "$uninstall" /S
    wait_for_wine
    [ -f "$folder/mine.dorvent" ] || fail "the uninstaller deleted a file of the user's"
    [ "$(ls -A "$folder")" = mine.dorvent ] || fail "the uninstaller left Dorvent's files behind: $(ls -A "$folder")"
    [ -e "$menu" ] && fail "the uninstaller left the Start-menu entry"
    "$wine" reg query 'HKLM\Software\Classes\.dorvent' >/dev/null 2>&1 && fail "the uninstaller left the .dorvent association"
    "$wine" reg query "$key" >/dev/null 2>&1 && fail "the uninstaller left Dorvent listed in Apps"
    echo "installer: installed silently; dorvent-calc.exe ran, a file opened from Explorer opened in Dorvent; uninstalled"
}

# running PATTERN: whether a program of this Wine prefix whose command line matches runs (the
# processes of a prefix carry its WINEPREFIX).
running() {
    local pid
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -x -F "WINEPREFIX=$WINEPREFIX" >/dev/null && return 0
    done
    return 1
}

# wait_for_wine: until every program of the prefix has ended, five minutes at the most.
wait_for_wine() { timeout 300 /usr/lib/wine/wineserver -w || fail "Wine's programs did not end within five minutes"; }

# fail MESSAGE: says so and ends, leaving no program of the prefix running.
fail() {
    echo "$1" >&2
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    exit 1
}
