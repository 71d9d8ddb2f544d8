# Shared by scripts/windows: Wine, and the DLLs a program needs. Sourced, not run.

wine=/usr/lib/wine/wine64

# wine_prefix DIR: a Windows of its own for the tests, made once. No Mono or Gecko is offered,
# and Wine's own messages are not printed. It has no 宋体: AR PL UMing, the Linux build's Song
# face, stands in for it in the prefix's font folder.
wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8  # Unix file names in UTF-8
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$wine" wineboot --init >/dev/null 2>&1
        /usr/lib/wine/wineserver -w
    fi
    cp /usr/share/fonts/truetype/arphic/uming.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
}

# winepath_of PATH: the path as a Windows program sees it (the build machine is drive Z:).
winepath_of() { printf 'Z:%s' "${1//\//\\}"; }

mingw_runtime_dir() { dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)"; }

# copy_dlls FOLDER QTBIN: into FOLDER, every DLL that its programs and plugins load, and the DLLs
# those load, from Qt and the MinGW runtime; Windows' own DLLs are not copied.
copy_dlls() {
    local folder=$1 found=1 file dll from
    local sources=("$2" "$(mingw_runtime_dir)" /usr/x86_64-w64-mingw32/lib)
    while [ $found -eq 1 ]; do
        found=0
        for file in $(find "$folder" -name '*.exe' -o -name '*.dll'); do
            for dll in $(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
                [ -e "$folder/$dll" ] && continue
                for from in "${sources[@]}"; do
                    if [ -e "$from/$dll" ]; then cp "$from/$dll" "$folder/"; found=1; break; fi
                done
            done
        done
    done
}
