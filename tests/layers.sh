# The folder map as the code must keep it: each folder includes only its
# own headers and those of the layers below it. The dictionary reaches up
# to the letter operations alone, to fold case as the search does; a front
# end names no more of the engine than the search it tells its dialog to run.
# usage: sh tests/layers.sh TOP
top="$1"
. "$(dirname "$0")/../scripts/check.sh"

# may FOLDER PREFIX...: the headers FOLDER's files may name
may() {
    folder=$1
    shift
    bad=$(cd "$top" && git ls-files "$folder/*.cpp" "$folder/*.h" |
        xargs -r grep -H -o '^#include "[^"]*"' | sed 's/#include "\(.*\)"/\1/' |
        while IFS=: read -r file name; do
            case $name in */*) ;; *) continue ;; esac   # beside the file
            ok=no
            for p in "$@"; do
                case $name in "$p"*) ok=yes ;; esac
            done
            [ $ok = yes ] || echo "$file: $name"
        done)
    check "$folder/ includes only $*" "" "$bad"
}

may dictionary dictionary/ engine/letters.h
may engine engine/ dictionary/
may model model/ engine/ dictionary/dict.h dictionary/filestat.h
may frontend frontend/ engine/ dictionary/dict.h model/
may cli cli/ model/ engine/ dictionary/dict.h
may gtk gtk/ frontend/ engine/fastsearch.h
may web web/ frontend/ engine/fastsearch.h
may windows windows/ frontend/

echo "$failed failed"
[ "$failed" -eq 0 ]
