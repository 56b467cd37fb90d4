# Sourced by the install tests that configure the game as a build host
# without the test tools would. hide_test_tools FOLDER [NAME...] makes
# FOLDER/bin, a search path like ours without clang-format, valgrind and
# the programs NAME, and sets
#   HIDDEN_PATH    that folder, for PATH
#   HIDDEN_IGNORE  the real bin folders, for -DCMAKE_IGNORE_PATH, so
#                  CMake's own search does not find the tools there
# (Its own variables start with hide_: sh has no local ones.)
hide_test_tools() {
    HIDDEN_PATH="$1/bin"
    shift
    rm -rf "$HIDDEN_PATH"
    mkdir -p "$HIDDEN_PATH"
    HIDDEN_IGNORE=""
    for hide_folder in $(echo "$PATH" | tr ':' ' ') /usr/local/bin /usr/bin /bin /usr/sbin /sbin; do
        HIDDEN_IGNORE="$HIDDEN_IGNORE;$hide_folder"
        for hide_tool in "$hide_folder"/*; do
            hide_name=${hide_tool##*/}
            case "$hide_name" in clang-format* | valgrind*) continue ;; esac
            case " $* " in *" $hide_name "*) continue ;; esac
            [ -e "$HIDDEN_PATH/$hide_name" ] || ln -s "$hide_tool" "$HIDDEN_PATH/$hide_name"
        done
    done
    HIDDEN_IGNORE=${HIDDEN_IGNORE#;}
    if PATH="$HIDDEN_PATH" command -v clang-format valgrind "$@"; then
        echo "hide_test_tools: a hidden program is still on the search path" >&2
        return 1
    fi
}
